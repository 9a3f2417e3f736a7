// The guitar's sound: the beat of the track the mixer is playing, the
// audition of one beat and a single note from the fretboard, all made from
// the six open-string recordings of the loaded bank.
//
// A note on string index i with d = fret + Capo semitones is the recording of
// string i played faster by dropping samples: an accumulator A starts at 0,
// and for each source sample A -= F[o]; when A reaches 0 (below 0 for a
// single note) A += F[o + d] and one output value is made from the sample,
// F being the TablaNotas frequencies and o = StringTuning[i]. A note whose
// note index o or o + d lies outside the table is not rendered.
//
// The track and the audition make that value between the sample and the
// next one, at the place where the accumulator crossed 0 (linear
// interpolation; an open string keeps its samples as they are), and every
// voice that ends or is cut fades out over its last kFadeSamples source
// samples: the 2000-sample "Tapado" stroke, a note cut by a new note or a
// "Silencio" on its string, the end of a recording. A "Ligado" note goes on
// from the sounding one without a cut.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "guitar/bank.h"
#include "guitar/guitar_records.h"
#include "guitar/notes.h"

struct EngineState;

// A "Tapado" note is a stroke of this many source samples.
constexpr int kTapadoSamples = 2000;
// The loudest strength; a larger number in a record counts as this.
constexpr int kMaxStrength = 7;

// A voice's fade at its end, in source samples (4 ms of the recording).
constexpr int kFadeSamples = 176;

// One string's sounding note, kept from division to division and from beat
// to beat while the track plays.
struct GuitarVoice {
  int end = 0;       // source sample count after which the voice is silent
  int position = 0;  // next source sample
  int strength = 0;  // 1..7, 0 = silent
  int step = 0;      // fret + Capo of the sounding note
  // The note this voice cut, fading out under the new one: the same four
  // numbers, its end kFadeSamples after the cut at most.
  int tailEnd = 0;
  int tailPosition = 0;
  int tailStrength = 0;
  int tailStep = 0;
};
using GuitarVoiceState = std::array<GuitarVoice, kGuitarStrings>;

// How a string's recording is stepped through: eight values at a time with
// AVX2 where the processor has it (the default there), or one source sample
// at a time. Both make the very same values.
enum class GuitarResampler { Plain, Vector };
GuitarResampler ActiveGuitarResampler();
// Vector falls back to Plain on a processor without AVX2.
void SelectGuitarResampler(GuitarResampler r);

// Starting playback: position and strength of every voice := 0; starting a
// theme also clears the end.
void ResetGuitarVoices(GuitarVoiceState& voices, bool themeStart);

// Adds the beat's notes, one mono value per frame, to out[0 .. samplesPerBeat)
// (cut to outValues). Division i of n covers the frames trunc(i h) up to
// trunc((i + 1) h), h = samplesPerBeat / n as a float (the last one up to
// samplesPerBeat); a note starts at its
// delay in percent of the division and cuts the voice of its string there;
// voices without a new note ring on. Values are added scaled by
// strength / 42, with 16-bit wrap-around. Allocates nothing.
void RenderGuitarBeat(const TiempoG& beat, int samplesPerBeat, int capo, const GuitarTuning& tuning,
                      const BancoGuitarra& bank, GuitarVoiceState& voices, int16_t* out, size_t outValues);

// The first frame of division i of a beat of n divisions, as the beat's
// renderer places it: trunc(i h), h = samplesPerBeat / n as a float.
int64_t DivisionStartFrame(int samplesPerBeat, int divisions, int i);

// The guitar track as the mixer sees it: its slots (slot s at byte offset
// 1444 s) and the bar table (barCount + 1 byte offsets; bar b, 1-based, runs
// from bars[b - 1] to bars[b]).
struct GuitarTrackView {
  const TiempoG* beats = nullptr;  // the slots (not "slots": a Qt keyword)
  size_t slotCount = 0;
  const uint32_t* bars = nullptr;
  int barCount = 0;
};

// The beat `beat` (0-based) of bar `compas` (1-based); false when the bar is
// not in the bar table, the beat not in the bar, or the slot not in the track
// (or the bar does not start on a slot).
bool PlayingTiempoG(const GuitarTrackView& track, int compas, int beat, TiempoG* out);

// The mixer's guitar hook (TMainForm::EncolaG): nothing during the intro;
// otherwise the beat CurrentBeat of bar CurrentCompas is rendered into the
// first SamplesPerBeat values of eng.GuitarBuffer. The beat is copied into
// *currentTiempoG unless the mix is silent (a normalisation or an export must
// not move what the beat view shows). A beat outside the track renders
// nothing. Returns whether a beat was rendered.
bool EncolaGuitar(EngineState& eng, const GuitarTrackView& track, const GuitarTuning& tuning,
                  const BancoGuitarra& bank, int capo, GuitarVoiceState& voices, TiempoG* currentTiempoG);

// TMainForm::PlayTiempoGClick's sound: clears buf and renders every note of
// the beat on its own, to the end of its recording (2000 samples for
// "Tapado"; "Silencio" and unknown modes play nothing; "Ligado" starts at a
// quarter of the recording), as interleaved stereo frames (left = right)
// added with strength scaling from frame trunc(e i + e p / 100) on, e =
// samplesPerBeat div n. Nothing is written past bufValues. Returns the values
// in use: the output takes 2 x that many bytes.
size_t RenderBeatAudition(const TiempoG& beat, int samplesPerBeat, int capo, const GuitarTuning& tuning,
                          const BancoGuitarra& bank, int16_t* buf, size_t bufValues);

// PlayGuitarNote's sound: the whole recording of string stringNumber (1..6)
// shifted up `semitones` (fret + Capo), each value the mean (truncated toward
// zero) of the source samples since the previous one, at full amplitude, as
// stereo frames from the start of buf. Returns the frames made (4 bytes
// each); 0 for a string outside 1..6 or a note outside the table.
size_t RenderGuitarNote(int stringNumber, int semitones, const GuitarTuning& tuning, const BancoGuitarra& bank,
                        int16_t* buf, size_t bufValues);

// VolG position (1..16, out of range limited) -> GuitarGainNum / Den and the
// hint: 4 / (9 - v) "1/(9 - v)" below 8, 4 (v - 7) / 1 "x(v - 7)" from 8 on.
void GuitarVolume(int position, int* num, int* den, std::string* hint);
// PanG's hint: position - 16 as a signed decimal.
std::string GuitarPanHint(int position);

// The guitar's sound as the program keeps it: the loaded bank, the tuning
// with its note labels, and the voices of the track in play (an export or
// a silent pre-roll rings its own, so it never disturbs the playing ones).
struct GuitarSound {
  BancoGuitarra Bank;
  GuitarTuning Tuning;
  GuitarVoiceState Voices;
  GuitarVoiceState SilentVoices;
};
