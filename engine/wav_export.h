// Export of a theme to a WAV file: the mixer runs silently beat by beat and
// every beat goes to the file instead of the sound card.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/mixer.h"
#include "engine/sequencer.h"
#include "engine/sound_bank.h"
#include "rhythm/records.h"

// Receives each mixed beat (interleaved stereo 16-bit); false stops the export.
using BeatSink = std::function<bool(const int16_t* frames, size_t bytes)>;

// The theme's sequence run through the sequencer into the sink: the intro
// (without acceleration), then the entries in list order with their
// repetitions, and the ending compás between parts (0 or 1 parts play the
// list once, without ending). The engine is left stopped and silent-mix
// off. Returns false when the sink refused a beat or the first entry has no
// repetitions. Of the hooks only the guitar's renderer is used: no beat is
// queued on the output. CurrentCompas counts the bars as playback does.
bool ExportTheme(EngineState& eng, RhythmTables& rt, const BancoSonidos& bank, const ThemePlan& plan,
                 const BeatSink& sink, const MixerHooks& hooks = MixerHooks{},
                 const EditionRules& rules = kProRules);

// A WAV file written as a stream: the header first with data size 0, the
// beats, then the header again with the real sizes. Everything goes to a
// temporary file beside the target, which replaces the target only when
// every write succeeded; a failed or abandoned export leaves nothing behind.
class WavStreamWriter {
 public:
  WavStreamWriter(std::string path, int channels, int sampleRate, uint64_t maxDataBytes = kMaxDataBytes);
  ~WavStreamWriter();  // abandons an unfinished file
  bool Open();
  bool Append(const void* data, size_t bytes);
  bool Finish();
  void Abandon();
  const std::string& Error() const { return error_; }
  bool TooLong() const { return tooLong_; }
  uint64_t DataBytes() const { return data_; }
  // The largest data size the format can hold (the RIFF size is 32 bits).
  static constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

 private:
  bool WriteAll(const void* data, size_t bytes);
  std::string path_, temp_;
  int channels_, rate_;
  uint64_t limit_;
  int fd_ = -1;
  uint64_t data_ = 0;
  bool tooLong_ = false;
  std::string error_;
};

// What writing a theme into a WAV file came to.
struct WavExportResult {
  bool ok = false;
  bool tooLong = false;  // the data would not fit the format (4 GB)
  std::string error;     // the file, and the system's reason where there is one
};
// The theme of `plan` through ExportTheme into the WAV file `path`, 16-bit
// stereo at the engine's rate, through a WavStreamWriter: `path` is replaced
// only when every write succeeded, and a failure leaves nothing behind.
WavExportResult ExportThemeToFile(const std::string& path, EngineState& eng, RhythmTables& rt,
                                  const BancoSonidos& bank, const ThemePlan& plan, const MixerHooks& hooks,
                                  const EditionRules& rules,
                                  uint64_t maxDataBytes = WavStreamWriter::kMaxDataBytes);

// The offered file name: "<theme>-<tempo>m<click code>.wav" (separators in
// the theme name become '_').
std::string DefaultExportName(const std::string& theme, const std::string& tempoText, char clickCode);

// The basic edition's one wave picture: the beat's left channel as a line
// around (height - 2) / 4, the right channel around 3 x (height - 2) / 4 + 2,
// y = base line + sample x ((height - 2) / 2) / 65536, one point for each
// pixel column (every step-th frame, step = max(1, frames / width)).
struct WavePoint {
  int x = 0;
  int y = 0;
};
enum class WaveColour { Lime, Red, Blue };
struct WavePicture {
  std::vector<WavePoint> left;
  std::vector<WavePoint> right;
  WaveColour leftColour = WaveColour::Lime;  // red when clips were counted
  WaveColour rightColour = WaveColour::Blue;
};
// `clipCount` is read and set to 0 (the picture has shown it).
WavePicture OscilataPolylines(const int16_t* frames, int frameCount, int width, int height, int& clipCount);
