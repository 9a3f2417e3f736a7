#include "guitar/midi.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "guitar/bars.h"
#include "platform/files/atomic_file.h"
#include "platform/files/text.h"

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) return std::string();
  return std::string(buffer, std::min<size_t>(static_cast<size_t>(n), sizeof buffer - 1));
}

uint32_t Big32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}
int Big16(const uint8_t* p) { return (p[0] << 8) | p[1]; }

int OpenNote(const GuitarTuning& tuning, int string) { return tuning.StringTuning[static_cast<size_t>(kGuitarStrings - string)]; }

int BeatsOfEntry(const Tema& t, const Formula* formulas, int e) {
  const int f = t.formulas[e];
  return f < kMaxFormulas ? formulas[f].Beats() : 0;
}

int EntriesOf(const Tema& t) { return std::min<int>(t.entryCount, kMaxEntries); }

bool IsFret(int f) { return f >= 0 && f <= 255; }

// A note on string s of a division whose place is taken: the notes from s
// down to the string above the first free one below it move one string lower
// each (same pitch, so the fret grows by the interval between the strings).
// False, changing nothing, when no string below is free or a moved note
// would need a fret the record cannot hold.
bool PushNotesDown(DivisionG& dv, int s, const GuitarTuning& tuning) {
  int k = s + 1;
  while (k <= kGuitarStrings && dv.strength[kGuitarStrings - k] != 0) ++k;
  if (k > kGuitarStrings) return false;
  for (int j = k - 1; j >= s; --j)
    if (!IsFret(dv.fret[kGuitarStrings - j] + OpenNote(tuning, j) - OpenNote(tuning, j + 1))) return false;
  for (int j = k - 1; j >= s; --j) {
    const int from = kGuitarStrings - j;
    const int to = kGuitarStrings - (j + 1);
    dv.fret[to] = static_cast<uint8_t>(dv.fret[from] + OpenNote(tuning, j) - OpenNote(tuning, j + 1));
    dv.strength[to] = dv.strength[from];
    dv.delay[to] = dv.delay[from];
    dv.fret[from] = 0;
    dv.strength[from] = 0;
    dv.delay[from] = 0;
  }
  return true;
}

// Neighbouring strings that both sound and whose lower string plays the
// higher pitch exchange their notes, from the lowest pair up, until none do.
void OrderByPitch(DivisionG& dv, const GuitarTuning& tuning) {
  for (int i = 1; i < kGuitarStrings;) {
    const int a = i - 1;
    const int b = i;
    const int openA = tuning.StringTuning[static_cast<size_t>(a)];
    const int openB = tuning.StringTuning[static_cast<size_t>(b)];
    const int pitchA = openA + dv.fret[a];
    const int pitchB = openB + dv.fret[b];
    if (dv.strength[a] && dv.strength[b] && pitchA > pitchB && IsFret(pitchB - openA) && IsFret(pitchA - openB)) {
      dv.fret[a] = static_cast<uint8_t>(pitchB - openA);
      dv.fret[b] = static_cast<uint8_t>(pitchA - openB);
      std::swap(dv.strength[a], dv.strength[b]);
      std::swap(dv.mode[a], dv.mode[b]);
      std::swap(dv.delay[a], dv.delay[b]);
      i = 1;
      continue;
    }
    ++i;
  }
}

// What a first reading of the file finds in each track, to choose the
// track to take.
struct TrackSurvey {
  int notes = 0;        // note-ons with a velocity
  int drums = 0;        // of them on channel 10
  int inRange = 0;      // of the others, notes 40..88 (a guitar's range)
  bool eligible = false;  // a note-on and at least one bar of beats
  bool hasNote = false;
  uint64_t lastNoteTick = 0;
  int64_t longestSilence = 0;  // beats without a note before a note
  int64_t silenceAt = 0;       // the beat (1-based) of that note
  bool DrumTrack() const { return notes > 0 && 2 * drums > notes; }
  bool GuitarRange() const { return 2 * inRange > notes - drums; }
};

constexpr int kDrumChannel = 9;  // channel 10 counted from 1
constexpr int kGuitarLow = 40;
constexpr int kGuitarHigh = 88;

// The reader of one file: its working state and the log it writes. Read
// once with no survey it only surveys the tracks (no beats, no log); read
// with the survey it takes track `take` (0-based).
class MidiReader {
 public:
  MidiReader(const uint8_t* data, size_t size, const Tema& theme, const Formula* formulas,
             const GuitarTuning& tuning, uint16_t unit, const std::vector<TrackSurvey>* survey = nullptr,
             int take = -1)
      : d_(data), size_(size), theme_(theme), formulas_(formulas), tuning_(tuning), unit_(unit),
        survey_(survey), take_(take) {}

  std::vector<TrackSurvey> Surveyed() const { return surveyed_; }
  bool LengthPastEnd() const { return lengthPastEnd_; }

  MidiImportResult Run() {
    r_.theme = theme_;
    ReadFile();
    r_.beatUnit = unit_;
    r_.tempoChanges = tempos_;
    return std::move(r_);
  }

 private:
  bool Surveying() const { return survey_ == nullptr; }
  bool Taking() const { return !Surveying() && trackIndex_ == take_; }
  const TrackSurvey* Plan() const {
    return survey_ && trackIndex_ >= 0 && trackIndex_ < static_cast<int>(survey_->size())
               ? &(*survey_)[static_cast<size_t>(trackIndex_)]
               : nullptr;
  }

  void Log(std::string line) {
    if (Surveying()) return;
    if (r_.log.size() < kMaxMidiLogLines)
      r_.log.push_back(std::move(line));
    else if (r_.log.size() == kMaxMidiLogLines)
      r_.log.push_back("... registro cortado");
  }

  void ReadFile() {
    size_t m = size_;
    for (size_t off = 0; off <= kMidiHeaderSearch && off + 4 <= size_; ++off)
      if (std::memcmp(d_ + off, "MThd", 4) == 0) {
        m = off;
        break;
      }
    if (m == size_) {
      Log("No hay cabecera MThd");
      r_.failure = MidiFailure::NoHeader;
      return;
    }
    if (size_ - m < 14) {
      Log(Format("%04zX MThd cortada", m));
      r_.failure = MidiFailure::HeaderCut;
      return;
    }
    const uint32_t headerLength = Big32(d_ + m + 4);
    const int trackCount = Big16(d_ + m + 10);
    const int division = Big16(d_ + m + 12);
    if (division == 0 || (division & 0x8000) != 0) {
      Log(Format("%04zX tracks=%d,deltaFigura=%lld", m, trackCount, static_cast<long long>(ticksPerBeat_)));
      Log(Format("Division de tiempo %04X no admitida (cero o SMPTE): no se importa", division));
      r_.failure = division == 0 ? MidiFailure::ZeroDivision : MidiFailure::SmpteDivision;
      return;
    }
    ticksPerQuarter_ = division;
    // Without a time signature one beat is the forced unit, or a quarter.
    ticksPerBeat_ = TicksPerBeatForUnit(ticksPerQuarter_, unit_);
    Log(Format("%04zX tracks=%d,deltaFigura=%lld", m, trackCount, static_cast<long long>(ticksPerBeat_)));
    if (headerLength < 6 || headerLength > size_ - m - 8) {
      Log(Format("Longitud de cabecera %u no valida: no se importa", headerLength));
      r_.failure = MidiFailure::HeaderLength;
      return;
    }
    r_.headerFound = true;
    tempos_.clear();

    size_t p = m + 8 + headerLength;
    int tracksLeft = trackCount;
    while (tracksLeft > 0 && !done_ && size_ - p >= 8) {
      const uint32_t length = Big32(d_ + p + 4);
      const size_t room = size_ - p - 8;
      if (std::memcmp(d_ + p, "MTrk", 4) != 0) {
        // Another kind of chunk: skipped whole, it is no track.
        if (length > room) {
          Log(Format("%04zX bloque %02X%02X%02X%02X len=%u: pasa del final del archivo", p, d_[p], d_[p + 1], d_[p + 2],
                     d_[p + 3], length));
          lengthPastEnd_ = true;
          break;
        }
        Log(Format("%04zX bloque %02X%02X%02X%02X len=%u: se salta", p, d_[p], d_[p + 1], d_[p + 2], d_[p + 3], length));
        p += 8 + length;
        continue;
      }
      --tracksLeft;
      ++trackIndex_;
      Log(Format("%04zX MTrk len=%u", p + 4, length));
      size_t trackBytes = length;
      if (length > room) {
        Log(Format("Pista cortada: el archivo solo tiene %zu bytes de ella", room));
        trackBytes = room;
        lengthPastEnd_ = true;
      }
      ReadTrack(p + 8, p + 8 + trackBytes);
      p += 8 + trackBytes;
    }
  }

  // A variable-length number of a delta time at p: 0 when the byte there is
  // 0xFF (which then starts a meta event); otherwise 7 bits from each byte
  // with bit 7 set (at most three) while more than one byte is left, and the
  // last byte whole.
  uint32_t ReadDelta(size_t& p, size_t end) {
    if (d_[p] == 0xFF) return 0;
    uint32_t value = 0;
    for (int n = 0; n < 3 && (d_[p] & 0x80) != 0 && end - p > 1; ++n) value = (value << 7) | (d_[p++] & 0x7F);
    value = (value << 7) + d_[p++];
    return value;
  }

  // A variable-length number of an event's length at q: at most four bytes,
  // all before end. False when it runs past end.
  bool ReadLength(size_t& q, size_t end, uint32_t* value) {
    *value = 0;
    for (int n = 0; n < 4; ++n) {
      if (q >= end) return false;
      const uint8_t b = d_[q++];
      *value = (*value << 7) | (b & 0x7F);
      if ((b & 0x80) == 0) return true;
    }
    return true;
  }

  // In the track taken, a silence after its last note longer than the
  // longest accepted ends with the bar it starts in.
  void CutTrailingSilence() {
    const TrackSurvey* plan = Plan();
    if (!Taking() || !plan || absTicks_ <= plan->lastNoteTick) return;
    const int64_t beats = posInBeat_ / ticksPerBeat_ - (pending_.empty() ? 0 : 1);
    if (beats <= kMaxMidiSilenceBeats) return;
    const int64_t keep = std::max(1, beatsPerBar_ - beatNumber_ + 1);  // the rest of the bar
    const int64_t kept = std::min<int64_t>(posInBeat_, keep * ticksPerBeat_);
    r_.trailingCut += (posInBeat_ - kept) / ticksPerBeat_;
    Log(Format("Silencio final de %lld tiempos: se corta al final del comp\xE1s", static_cast<long long>(beats)));
    posInBeat_ = kept;
  }

  void StartTrack() {
    track_.clear();
    surveyBeats_ = 0;
    posInBeat_ = 0;
    beatNumber_ = 1;
    barNumber_ = 1;
    pending_.clear();
    absTicks_ = 0;
    noteOn_ = false;
    current_ = TrackSurvey{};
  }

  void ReadTrack(size_t p, size_t end) {
    StartTrack();
    bool ended = false;
    while (p < end && !ended) {
      const uint32_t delta = ReadDelta(p, end);
      absTicks_ += delta;
      if (delta != 0) {
        posInBeat_ += delta;
        Log(Format("%04zX - deltat=%u  Pos %lld/%lld ", p, delta, static_cast<long long>(posInBeat_),
                   static_cast<long long>(ticksPerBeat_)));
        CutTrailingSilence();
      }
      if (Surveying()) {
        // Only counted: beats end, nothing is built.
        if (posInBeat_ >= ticksPerBeat_) {
          surveyBeats_ += static_cast<uint64_t>(posInBeat_ / ticksPerBeat_);
          posInBeat_ %= ticksPerBeat_;
          pending_.clear();
        }
      }
      while (posInBeat_ >= ticksPerBeat_ && !ended) {
        if (track_.size() >= kMaxMidiTrackBeats || beatsMade_ >= kMaxMidiImportBeats) {
          Log(Format("Pista demasiado larga: se detiene en %zu tiempos", track_.size()));
          pending_.clear();
          EndOfTrack();
          if (beatsMade_ >= kMaxMidiImportBeats) done_ = true;
          ended = true;
          break;
        }
        EndBeat();
      }
      if (ended) break;
      if (p >= end) {
        Log("Evento cortado por el final de la pista");
        break;
      }
      const size_t length = ReadEvent(p, end, &ended);
      if (length == 0) {
        Log("Evento cortado por el final de la pista");
        break;
      }
      p += length;
    }
    Log("");
  }

  // Decodes the event at p (p < end), logs it and acts on it; returns its
  // length, 0 when it runs past end.
  size_t ReadEvent(size_t p, size_t end, bool* ended) {
    const uint8_t first = d_[p];
    const size_t room = end - p;
    if (first == 0xFF) return ReadMeta(p, end, ended);
    if (first == 0xF0 || first == 0xF7) {
      // System exclusive: skipped by its own length.
      size_t q = p + 1;
      uint32_t length = 0;
      if (!ReadLength(q, end, &length) || length > end - q) return 0;
      Log(Format("%04zX - %02X ", p, first) + " \xBF Comor ? ");
      return q - p + length;
    }
    if (first >= 0xF0) {
      Log(Format("%04zX - %02X ", p, first) + " \xBF Comor ? ");
      return 1;
    }
    int status = first;
    size_t data = p + 1;
    if (first < 0x80) {
      if (runningStatus_ < 0) {  // a data byte with no status in force
        Log(Format("%04zX - %02X ", p, first) + " \xBF Comor ? ");
        return 1;
      }
      status = runningStatus_;
      data = p;
    } else {
      runningStatus_ = first;
    }
    const int kind = status >> 4;
    const int channel = status & 0x0F;
    const size_t dataBytes = (kind == 0xC || kind == 0xD) ? 1 : 2;
    const size_t length = data - p + dataBytes;
    if (length > room) return 0;
    const int a = d_[data];
    const int b = dataBytes > 1 ? d_[data + 1] : 0;
    std::string line = Format("%04zX - %02X ", p, first);
    switch (kind) {
      case 0x9:
        noteOn_ = true;
        if (b > 0) Survey(channel, a);
        if (a >= kMidiFirstNote && a <= kMidiLastNote && b > 0) {
          const TrackSurvey* plan = Plan();
          // Percussion in a track that has other notes is no guitar.
          if (channel == kDrumChannel && plan && !plan->DrumTrack())
            line += Format(" Nota On, canal %d Nota=%d Velocidad=%d  - canal 10 (percusi\xF3n): no se importa", channel, a, b);
          else
            line += NoteOn(channel, a, b);
        }
        break;
      case 0x8:
        line += Format(" Nota Off, canal %d Nota=%d Velocidad=%d", channel, a, b);
        break;
      case 0xB:
        line += Format(" Canal %d Controlador=%d Valor=%d", channel, a, b);
        break;
      case 0xC:
        line += Format(" Canal %d Numero de programa %d", channel, a);
        break;
      default:
        line += " \xBF Comor ? ";
        break;
    }
    Log(std::move(line));
    return length;
  }

  // The first reading counts the track's notes and its silences.
  void Survey(int channel, int note) {
    if (!Surveying()) return;
    TrackSurvey& t = current_;
    ++t.notes;
    if (channel == kDrumChannel)
      ++t.drums;
    else if (note >= kGuitarLow && note <= kGuitarHigh)
      ++t.inRange;
    const uint64_t since = t.hasNote ? absTicks_ - t.lastNoteTick : absTicks_;
    const int64_t silent = static_cast<int64_t>(since / static_cast<uint64_t>(ticksPerBeat_)) - (t.hasNote ? 1 : 0);
    if (silent > t.longestSilence) {
      t.longestSilence = silent;
      t.silenceAt = static_cast<int64_t>(absTicks_ / static_cast<uint64_t>(ticksPerBeat_)) + 1;
    }
    t.hasNote = true;
    t.lastNoteTick = absTicks_;
  }

  // A note-on to keep: its place, and the note among the beat's pending
  // ones. Returns the text of its log line.
  std::string NoteOn(int channel, int note, int velocity) {
    std::string text = Format(" Nota On, canal %d Nota=%d Velocidad=%d", channel, note, velocity);
    const int placed = PlayableMidiNote(tuning_, note);
    if (placed < 0) return text + "  - sin cuerda: no se importa";
    if (pending_.size() >= kMaxPendingNotes)
      return text + Format("  - mas de %zu notas en el tiempo: no se importa", kMaxPendingNotes);
    pending_.push_back(MidiPendingNote{placed, velocity, posInBeat_});
    text += "  - " + LabelText(tuning_.TablaNotas[static_cast<size_t>(placed - kMidiFirstNote)]);
    if (placed != note) text += Format(" (%d octava(s) arriba)", (placed - note) / 12);
    return text;
  }

  size_t ReadMeta(size_t p, size_t end, bool* ended) {
    if (end - p < 2) return 0;
    const int type = d_[p + 1];
    size_t q = p + 2;
    uint32_t length = 0;
    const bool whole = ReadLength(q, end, &length) && length <= end - q;
    if (!whole) {
      if (type != 0x2F) return 0;
      // An end of track cut short still ends the track.
      Log(Format("%04zX - %02X %02X ", p, 0xFF, type) + "Fin de track ");
      EndOfTrack();
      *ended = true;
      return end - p;
    }
    const size_t total = q - p + length;
    // Byte k of the event, 0 past its end.
    auto at = [&](size_t k) -> int { return k < total ? d_[p + k] : 0; };
    const uint8_t* body = d_ + q;
    std::string line = Format("%04zX - %02X %02X ", p, 0xFF, type);
    switch (type) {
      case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06: case 0x07: {
        std::string text(reinterpret_cast<const char*>(body), std::min<size_t>(length, 256));
        for (char& c : text)
          if (static_cast<uint8_t>(c) < 0x20) c = ' ';
        line += "Texto ---->  " + text;
        break;
      }
      case 0x10: case 0x11:
        line += Format("%02X %02X %02X %02X %02X %02X NO SE LO QUE ES offset ", at(2), at(3), at(4), at(5), at(6), at(7));
        break;
      case 0x20:
        line += Format("%02X %02X %02X Midi channel prefix ", at(1), at(2), at(3));
        break;
      case 0x2F:
        Log(line + "Fin de track ");
        EndOfTrack();
        *ended = true;
        return total;
      case 0x51: {
        const uint32_t micros = length >= 3 ? (static_cast<uint32_t>(body[0]) << 16) | (body[1] << 8) | body[2] : 0;
        // To the nearest beat per minute: 666667 us is 90.
        const long tempo = micros ? (60000000L + static_cast<long>(micros) / 2) / static_cast<long>(micros) : 0;
        line += Format("%02X %02X %02X %02X Set tempo =%ld bpm", at(2), at(3), at(4), at(5), tempo);
        if (micros == 0) {
          line += " (no se usa)";
        } else if (tempos_.size() < kMaxTempoChanges) {
          MidiTempoChange c;
          c.bpm = static_cast<uint16_t>(std::clamp<long>(tempo, kMinThemeTempo, kMaxThemeTempo));
          c.beat = static_cast<uint32_t>(std::min<uint64_t>(absTicks_ / static_cast<uint64_t>(ticksPerBeat_), UINT32_MAX));
          tempos_.push_back(c);
        }
        break;
      }
      case 0x54:
        line += Format("%02X %02X %02X %02X %02X %02X SMPTE offset ", at(2), at(3), at(4), at(5), at(6), at(7));
        break;
      case 0x58:
        if (length >= 2) TimeSignature(body[0], body[1]);
        line += Format("%02X %02X %02X %02X %02X  Time signature %d/%lld", at(2), at(3), at(4), at(5), at(6),
                       beatsPerBar_, 1LL << std::min(denominatorExponent_, 62));
        break;
      case 0x59:
        line += Format("%02X %02X %02X Key signature ", at(2), at(3), at(4));
        break;
      default:
        line += " \xBF Comor ? ";
        break;
    }
    Log(std::move(line));
    return total;
  }

  // The finest unit a time signature gives: a 128th of a quarter.
  static constexpr int kFinestDenominator = 9;

  void TimeSignature(int beats, int exponent) {
    beatsPerBar_ = beats;
    denominatorExponent_ = exponent;
    if (unit_ != kMidiUnitFromFile) {
      ticksPerBeat_ = TicksPerBeatForUnit(ticksPerQuarter_, unit_);
    } else {
      const int e = std::min(exponent, kFinestDenominator);
      if (e >= 2) {
        ticksPerBeat_ = ticksPerQuarter_ >> (e - 2);
        unit_ = static_cast<uint16_t>(256 + (1 << (e - 2)));
      } else {
        ticksPerBeat_ = static_cast<int64_t>(ticksPerQuarter_) << (2 - e);
        unit_ = static_cast<uint16_t>((1 << (2 - e)) * 256 + 1);
      }
      ticksPerBeat_ = std::max<int64_t>(1, ticksPerBeat_);
    }
    beatNumber_ = 1;
  }

  void EndBeat() {
    std::string line = Format("-------------- FIN Tiempo %d/%d divisiones %d ", beatNumber_, beatsPerBar_, lastDivisions_);
    if (beatNumber_ == beatsPerBar_) {
      Log(line + Format(" *** Fin de Comp\xE1s (%d) ***", barNumber_));
      Log("");
      ++barNumber_;
      beatNumber_ = 1;
    } else {
      Log(std::move(line));
      ++beatNumber_;
    }
    posInBeat_ -= ticksPerBeat_;
    track_.push_back(pending_.empty() ? EmptyTiempoG() : BuildMidiBeat(pending_, ticksPerBeat_, tuning_));
    lastDivisions_ = track_.back().divisions;
    pending_.clear();
    ++beatsMade_;
  }

  void EndOfTrack() {
    if (Surveying()) {
      if (!pending_.empty()) ++surveyBeats_;
      pending_.clear();
      current_.eligible = noteOn_ && surveyBeats_ >= static_cast<uint64_t>(std::max(beatsPerBar_, 0));
      surveyed_.resize(static_cast<size_t>(trackIndex_) + 1);
      surveyed_[static_cast<size_t>(trackIndex_)] = current_;
      return;
    }
    if (!pending_.empty()) EndBeat();
    if (Taking() && noteOn_ && track_.size() >= static_cast<size_t>(beatsPerBar_)) {
      TakeTrack();
      done_ = true;
    }
  }

  void TakeTrack() {
    Tema t = theme_;
    r_.repetitionsAdded = ExtendThemeToBeats(t, formulas_, track_.size());
    r_.bars = BuildBarTable(t, formulas_);
    const size_t themeBeats = r_.bars.back() / kBeatBytes;
    if (track_.size() < themeBeats) {
      r_.paddingBeats = static_cast<int>(themeBeats - track_.size());
      track_.resize(themeBeats, EmptyTiempoG());
    }
    AssignMidiTempos(t, formulas_, tempos_);
    r_.theme = t;
    r_.track = std::move(track_);
    track_.clear();
    r_.taken = true;
  }

  const uint8_t* d_;
  size_t size_;
  const Tema& theme_;
  const Formula* formulas_;
  const GuitarTuning& tuning_;
  uint16_t unit_;

  int ticksPerQuarter_ = 256;
  int64_t ticksPerBeat_ = 256;
  int beatsPerBar_ = 4;
  int denominatorExponent_ = 2;
  int64_t posInBeat_ = 0;
  uint64_t absTicks_ = 0;
  int beatNumber_ = 1;
  int barNumber_ = 1;
  std::vector<MidiPendingNote> pending_;
  int lastDivisions_ = 0;
  bool noteOn_ = false;
  bool done_ = false;
  int runningStatus_ = -1;  // kept across events and tracks; -1 before the first status byte
  const std::vector<TrackSurvey>* survey_;
  int take_;
  int trackIndex_ = -1;
  TrackSurvey current_;
  std::vector<TrackSurvey> surveyed_;
  uint64_t surveyBeats_ = 0;
  bool lengthPastEnd_ = false;
  size_t beatsMade_ = 0;
  std::vector<TiempoG> track_;
  std::vector<MidiTempoChange> tempos_;
  MidiImportResult r_;
};

}  // namespace

int64_t TicksPerBeatForUnit(int ticksPerQuarter, uint16_t unit) {
  const int a = unit >> 8;
  const int b = unit & 0xFF;
  if (unit == kMidiUnitFromFile || b == 0) return std::max(1, ticksPerQuarter);
  return std::max<int64_t>(1, static_cast<int64_t>(ticksPerQuarter) * a / b);
}

bool MidiNotePlace(const GuitarTuning& tuning, int note, int* string, int* fret) {
  const int index = note - kMidiFirstNote;
  if (!NoteInTable(index)) return false;
  const char* label = tuning.TablaNotas[static_cast<size_t>(index)].label;
  if (label[2] < '1' || label[2] > '6' || label[3] == '-') return false;
  const int s = label[2] - '0';
  int f = 0;
  for (int k = 4; k < kNoteLabelBytes && label[k] >= '0' && label[k] <= '9'; ++k) f = f * 10 + (label[k] - '0');
  if (OpenNote(tuning, s) + f != index) return false;
  *string = s;
  *fret = f;
  return true;
}

int PlayableMidiNote(const GuitarTuning& tuning, int note) {
  int s = 0;
  int f = 0;
  for (int n = note; NoteInTable(n - kMidiFirstNote); n += 12)
    if (MidiNotePlace(tuning, n, &s, &f)) return n;
  return -1;
}

int MidiStrength(int velocity) {
  if (velocity <= 0) return 0;
  return std::clamp(velocity * 7 / 127, 1, 7);
}

TiempoG BuildMidiBeat(const std::vector<MidiPendingNote>& notes, int64_t ticksPerBeat, const GuitarTuning& tuning) {
  ticksPerBeat = std::max<int64_t>(1, ticksPerBeat);
  for (int divisions = 1;; ++divisions) {
    TiempoG t = EmptyTiempoG();
    t.divisions = static_cast<uint8_t>(divisions);
    const int64_t unit = std::max<int64_t>(1, ticksPerBeat / divisions);
    bool again = false;
    for (const MidiPendingNote& n : notes) {
      int s = 0;
      int fret = 0;
      if (!MidiNotePlace(tuning, n.note, &s, &fret)) continue;
      const int64_t tick = std::max<int64_t>(0, n.tick);
      // A note past the last whole division (the divisions do not share the
      // beat out evenly) stays in the last one, as late as a delay goes.
      const int64_t index = std::min<int64_t>(tick / unit, divisions - 1);
      const int delay = static_cast<int>(std::min<int64_t>(99, (tick - index * unit) * 100 / unit));
      DivisionG& dv = t.division[index];
      const int i = kGuitarStrings - s;
      if (dv.strength[i] != 0) {
        const bool close = std::abs(fret - dv.fret[i]) < 4 && std::abs(delay - dv.delay[i]) >= 4;
        const bool raise = close || !PushNotesDown(dv, s, tuning);
        if (raise && divisions < kMaxDivisions) {
          again = true;
          break;
        }
      }
      dv.fret[i] = static_cast<uint8_t>(fret);
      dv.delay[i] = static_cast<uint8_t>(delay);
      dv.strength[i] = static_cast<uint8_t>(MidiStrength(n.velocity));
      OrderByPitch(dv, tuning);
    }
    if (!again) return t;
  }
}

int ExtendThemeToBeats(Tema& theme, const Formula* formulas, size_t beats) {
  const int entries = EntriesOf(theme);
  size_t total = 0;
  size_t bars = 0;
  for (int e = 0; e < entries; ++e) {
    total += static_cast<size_t>(theme.times[e]) * static_cast<size_t>(BeatsOfEntry(theme, formulas, e));
    bars += theme.times[e];
  }
  int added = 0;
  while (total < beats) {
    bool grew = false;
    for (int e = 0; e < entries && total < beats; ++e) {
      const int b = BeatsOfEntry(theme, formulas, e);
      if (theme.times[e] >= 255 || b == 0 || bars >= static_cast<size_t>(kMaxGuitarBars)) continue;
      ++theme.times[e];
      total += static_cast<size_t>(b);
      ++bars;
      ++added;
      grew = true;
    }
    if (!grew) break;
  }
  return added;
}

void AssignMidiTempos(Tema& theme, const Formula* formulas, const std::vector<MidiTempoChange>& changes) {
  const int entries = EntriesOf(theme);
  uint64_t counter = 0;
  int e = 0;
  for (size_t c = 0; c < changes.size() && e < entries; ++c) {
    theme.tempos[e] = changes[c].bpm;
    if (c + 1 == changes.size()) break;
    while (e < entries && changes[c + 1].beat > counter) {
      counter += static_cast<uint64_t>(theme.times[e]) * static_cast<uint64_t>(BeatsOfEntry(theme, formulas, e));
      ++e;
    }
  }
}

namespace {

// Which track to take: the first eligible one with notes in a guitar's
// range, else the first eligible one that is not percussion, else the
// first eligible one. -1 when none is.
int ChooseTrack(const std::vector<TrackSurvey>& tracks, std::vector<std::string>* es, std::vector<std::string>* en,
                std::string* whyEs, std::string* whyEn) {
  auto rank = [](const TrackSurvey& t) { return !t.eligible ? -1 : t.DrumTrack() ? 0 : t.GuitarRange() ? 2 : 1; };
  int best = -1;
  for (size_t i = 0; i < tracks.size(); ++i)
    if (rank(tracks[i]) > (best < 0 ? -1 : rank(tracks[static_cast<size_t>(best)]))) best = static_cast<int>(i);
  for (size_t i = 0; i < tracks.size(); ++i) {
    const TrackSurvey& t = tracks[i];
    if (static_cast<int>(i) == best || t.notes == 0) continue;
    const int n = static_cast<int>(i) + 1;
    if (!t.eligible) {
      es->push_back(Format("Pista %d saltada: no llega a un comp\xE1s", n));
      en->push_back(Format("Track %d skipped: shorter than a bar", n));
    } else if (t.DrumTrack()) {
      es->push_back(Format("Pista %d saltada: canal 10 (percusi\xF3n), %d notas", n, t.drums));
      en->push_back(Format("Track %d skipped: channel 10 (drums), %d notes", n, t.drums));
    } else if (!t.GuitarRange()) {
      es->push_back(Format("Pista %d saltada: %d de %d notas fuera de 40..88", n, t.notes - t.drums - t.inRange, t.notes - t.drums));
      en->push_back(Format("Track %d skipped: %d of %d notes outside 40..88", n, t.notes - t.drums - t.inRange, t.notes - t.drums));
    } else {
      es->push_back(Format("Pista %d saltada: se toma una anterior", n));
      en->push_back(Format("Track %d skipped: an earlier one is taken", n));
    }
  }
  if (best < 0) return -1;
  const TrackSurvey& t = tracks[static_cast<size_t>(best)];
  const int n = best + 1;
  const int melodic = t.notes - t.drums;
  if (t.DrumTrack()) {
    *whyEs = Format("Pista %d tomada: %d notas, todas de percusi\xF3n (canal 10); no hay otra pista con notas", n, t.notes);
    *whyEn = Format("Track %d taken: %d notes, all drums (channel 10); no other track has notes", n, t.notes);
  } else {
    *whyEs = Format("Pista %d tomada: %d notas, %d entre 40 y 88", n, melodic, t.inRange);
    *whyEn = Format("Track %d taken: %d notes, %d of them within 40..88", n, melodic, t.inRange);
    if (t.drums > 0) {
      *whyEs += Format("; sus %d notas del canal 10 no se importan", t.drums);
      *whyEn += Format("; its %d channel-10 notes are left out", t.drums);
    }
  }
  return best;
}

}  // namespace

MidiImportResult ImportMidi(const uint8_t* data, size_t size, const Tema& theme, const Formula* formulas,
                            const GuitarTuning& tuning, uint16_t beatUnit) {
  // A first reading surveys the tracks; the second takes the one chosen.
  MidiReader surveyor(data, size, theme, formulas, tuning, beatUnit);
  surveyor.Run();
  const std::vector<TrackSurvey> tracks = surveyor.Surveyed();
  std::vector<std::string> es, en;
  std::string whyEs, whyEn;
  int take = ChooseTrack(tracks, &es, &en, &whyEs, &whyEn);
  const TrackSurvey* chosen = take >= 0 ? &tracks[static_cast<size_t>(take)] : nullptr;
  const bool silence = chosen && chosen->longestSilence > kMaxMidiSilenceBeats;
  MidiReader reader(data, size, theme, formulas, tuning, beatUnit, &tracks, silence ? -1 : take);
  MidiImportResult r = reader.Run();
  std::vector<std::string> head = es;
  if (r.failure == MidiFailure::None && silence) {
    r.failure = MidiFailure::LongSilence;
    r.silenceBeats = chosen->longestSilence;
    r.silenceAt = chosen->silenceAt;
  } else if (r.failure == MidiFailure::None && !r.taken) {
    r.failure = reader.LengthPastEnd() ? MidiFailure::LengthPastEnd : MidiFailure::NoTrack;
  }
  if (r.taken) {
    r.takenTrack = take + 1;
    r.choiceEs = whyEs;
    r.choiceEn = whyEn;
    head.push_back(whyEs);
    if (r.trailingCut > 0) {
      r.choiceEs += Format("; se cortan %lld tiempos de silencio tras la \xFAltima nota", static_cast<long long>(r.trailingCut));
      r.choiceEn += Format("; %lld beats of silence after the last note are cut", static_cast<long long>(r.trailingCut));
    }
  } else if (r.failure != MidiFailure::None) {
    head.push_back(MidiFailureText(r, false));
  }
  // The choice closes the report.
  if (!head.empty()) {
    head.push_back("");
    r.log.insert(r.log.end(), head.begin(), head.end());
  }
  return r;
}

std::string MidiFailureText(const MidiImportResult& r, bool english) {
  std::string why;
  switch (r.failure) {
    case MidiFailure::None: return std::string();
    case MidiFailure::NoHeader:
      why = english ? "the file has no \"MThd\" header" : "el archivo no tiene cabecera \"MThd\"";
      break;
    case MidiFailure::HeaderCut:
      why = english ? "the header is cut short" : "la cabecera est\xE1 cortada";
      break;
    case MidiFailure::ZeroDivision:
      why = english ? "the header gives 0 ticks per quarter note" : "la cabecera da 0 pulsos por negra";
      break;
    case MidiFailure::SmpteDivision:
      why = english ? "the time division is in SMPTE frames" : "la divisi\xF3n de tiempo es en cuadros SMPTE";
      break;
    case MidiFailure::HeaderLength:
      why = english ? "the header's length does not fit the file" : "la longitud de la cabecera no cabe en el archivo";
      break;
    case MidiFailure::LengthPastEnd:
      why = english ? "a track's length runs past the end of the file (the file is cut short)"
                    : "la longitud de una pista pasa del final del archivo (el archivo est\xE1 cortado)";
      break;
    case MidiFailure::NoTrack:
      why = english ? "no track has notes and a whole bar" : "ninguna pista tiene notas y un comp\xE1s entero";
      break;
    case MidiFailure::LongSilence:
      why = english ? Format("%lld beats of silence (more than %lld) before the note at beat %lld",
                             static_cast<long long>(r.silenceBeats), static_cast<long long>(kMaxMidiSilenceBeats),
                             static_cast<long long>(r.silenceAt))
                    : Format("%lld tiempos de silencio (m\xE1s de %lld) antes de la nota del tiempo %lld",
                             static_cast<long long>(r.silenceBeats), static_cast<long long>(kMaxMidiSilenceBeats),
                             static_cast<long long>(r.silenceAt));
      break;
  }
  return (english ? "Nothing was imported: " : "No se ha importado nada: ") + why;
}

// --- the button's flow ---------------------------------------------------------------

void ResetMidiBeatUnit(MidiImportSession& s) {
  s.MidiBeatUnit = kMidiUnitFromFile;
  s.BackupTema = -1;
}

MidiImportStart BeginMidiImport(MidiImportSession& s, const Tema& theme, int tema) {
  if (s.MidiBeatUnit != kMidiUnitFromFile && s.BackupTema == tema && !s.FilePath.empty())
    return MidiImportStart::Reimport;
  s.ThemeBackup = theme;
  s.BackupTema = tema;
  return MidiImportStart::ChooseFile;
}

bool MidiNeedsFileDialog(const MidiImportSession& s) {
  return s.MidiBeatUnit == kMidiUnitFromFile || s.FilePath.empty();
}

bool LoadMidiFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  if (!ReadFileBytes(path, kMaxMidiFileBytes + 1, bytes)) {
    if (error) *error = "cannot read " + path;
    return false;
  }
  if (bytes->size() > kMaxMidiFileBytes) {
    bytes->clear();
    if (error) *error = path + " is larger than " + std::to_string(kMaxMidiFileBytes >> 20) + " MB";
    return false;
  }
  return true;
}

MidiImportResult RunMidiImport(MidiImportSession& s, RhythmTables& tables, int tema, GuitarState& g,
                               const GuitarTuning& tuning, const std::vector<uint8_t>& bytes) {
  if (tema < 0 || tema >= kMaxTemas) return MidiImportResult{};
  Tema& theme = tables.Temas[static_cast<size_t>(tema)];
  if (s.BackupTema != tema) {
    s.ThemeBackup = theme;
    s.BackupTema = tema;
  }
  MidiImportResult r = ImportMidi(bytes.data(), bytes.size(), s.ThemeBackup, tables.Formulas.data(), tuning, s.MidiBeatUnit);
  // An import that takes nothing changes nothing, the unit in force included.
  if (!r.taken) return r;
  s.MidiBeatUnit = r.beatUnit;
  theme = r.theme;
  g.GuitarTrack = r.track;
  g.GuitarBars = r.bars;
  g.GuitarBarCount = BarsInTable(g);
  g.GuitarBar = 1;
  g.GuitarBeat = 1;
  g.GuitarBeatsInBar = BeatsInBar(g, 1);
  g.MarkedBeats = 0;
  ReadCursorBeat(g);
  g.Modified = true;
  return r;
}

std::string MidiReportPath(const std::string& workingFolder) {
  return workingFolder.empty() ? std::string("midireport.txt") : workingFolder + "/midireport.txt";
}

bool WriteMidiReport(const std::string& workingFolder, const std::vector<std::string>& log, std::string* error) {
  return WriteFileAtomically(MidiReportPath(workingFolder), JoinLines(log), error);
}

std::string MidiFolder(const std::string& workingFolder) {
  return workingFolder.empty() ? std::string("MIDI") : workingFolder + "/MIDI";
}
