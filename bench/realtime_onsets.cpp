// realtime_onsets: checks a recording of the sound device against the beats
// the program queued (realtime_play's PREFIX-played.wav and PREFIX-beats.txt).
//
//   realtime_onsets --recording REC.wav --played PREFIX-played.wav --beats PREFIX-beats.txt
//                   [--click] [--window FRAMES] [--tolerance FRAMES] [--quiet]
//
// The recording may run at another rate than the program (a device at 48000
// Hz); the played beats are then converted to the recording's rate with the
// same converter the output uses, and every expected position is scaled by
// rate / 44100.
//
// Beats: every beat of the played stream is looked for in the recording on
// its own: its stretch of the played stream (from just before its first
// sound, at most 8192 frames) is cross-correlated with the recording in a
// window around where it should be, and the best lag (to a fraction of a
// frame at a converted rate) gives its onset. Comparing the beat with what
// was played avoids picking onsets out of mixed sounds. The first beat found
// fixes where the played stream starts in the recording; each beat's
// deviation is its onset against start + its start frame.
//
// --click: for a loop of clicks only: the onset of each click is its first
// sample that is not zero after a silence, exactly, and each click must come
// exactly the expected number of frames after the one before it.
//
// With a clock (below), a beat or click that is off only by frames the
// recording lost does not fail the check; it is still listed.
//
// A third channel in the recording is taken as a clock: a click of its own
// at a steady rate from another client of the sound server (bench/realtime
// records jack_metro there). The recorder comes after the program in the
// server's graph, so a cycle the recorder loses makes the program's beats
// look early. Each clock interval shorter than the usual one counts frames
// the recording lost; every beat's deviation is also given with the frames
// lost before it added back: the program's own deviation.
//
// A beat counts as off when it deviates by more than --tolerance frames
// (default 0 at 44100 Hz, 1 at any other rate). At 44100 Hz a beat in place
// must also hold the very samples played. Beats cut by the stop or by the
// end of the recording, and beats with nothing to hear, are listed but not
// counted. The last line, "RESULT ...", sums it up for scripts.
//
// Exit status: 0 every beat in place, 1 some beat off, missing or (at 44100
// Hz) not as played, 2 bad input.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/audio/resampler.h"

namespace {

constexpr int kProgramRate = 44100;

struct Sound {
  int rate = 0;
  int channels = 0;
  std::vector<float> samples;  // interleaved, full scale = 1.0 (16-bit: s / 32768)
  size_t Frames() const { return channels ? samples.size() / size_t(channels) : 0; }
};

uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// RIFF WAVE: integer PCM of 16, 24 or 32 bits, or 32-bit float, plain or
// extensible (as jack_capture writes it).
bool ReadWav(const std::string& path, Sound* s, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open " + path;
    return false;
  }
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
    *error = path + ": not a WAV file";
    return false;
  }
  int format = 0, bits = 0;
  const uint8_t* data = nullptr;
  size_t dataBytes = 0;
  for (size_t at = 12; at + 8 <= b.size();) {
    const uint32_t size = U32(&b[at + 4]);
    const size_t body = at + 8;
    const size_t avail = std::min<size_t>(size, b.size() - body);
    if (std::memcmp(&b[at], "fmt ", 4) == 0 && avail >= 16) {
      format = U16(&b[body]);
      s->channels = U16(&b[body + 2]);
      s->rate = int(U32(&b[body + 4]));
      bits = U16(&b[body + 14]);
      if (format == 0xFFFE && avail >= 26) format = U16(&b[body + 24]);  // the sub-format's tag
    } else if (std::memcmp(&b[at], "data", 4) == 0) {
      data = &b[body];
      dataBytes = avail;
    }
    at = body + size + (size & 1);
  }
  const bool known = (format == 1 && (bits == 16 || bits == 24 || bits == 32)) || (format == 3 && bits == 32);
  if (!data || !known || s->channels < 1 || s->rate <= 0) {
    *error = path + ": not a PCM or float WAV file this tool reads";
    return false;
  }
  const size_t width = size_t(bits / 8);
  const size_t n = dataBytes / width / size_t(s->channels) * size_t(s->channels);
  s->samples.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t* p = data + i * width;
    float v;
    if (format == 3) {
      std::memcpy(&v, p, 4);
    } else if (bits == 16) {
      v = float(int16_t(U16(p))) / 32768.0f;
    } else if (bits == 24) {
      const int32_t x = int32_t(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24) >> 8;
      v = float(double(x) / 8388608.0);
    } else {
      v = float(double(int32_t(U32(p))) / 2147483648.0);
    }
    s->samples[i] = v;
  }
  return true;
}

struct BeatLine {
  int64_t start = 0;  // at 44100
  int frames = 0;
  std::string kind;
};

bool ReadBeats(const std::string& path, std::vector<BeatLine>* beats, int* cutAtStop, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    *error = "cannot open " + path;
    return false;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    if (line[0] == '#') {
      std::istringstream h(line.substr(1));
      std::string key;
      h >> key;
      if (key == "cut_at_stop") h >> *cutAtStop;
      continue;
    }
    std::istringstream l(line);
    size_t index;
    BeatLine b;
    double bpm;
    if (!(l >> index >> b.start >> b.frames >> bpm >> b.kind) || index != beats->size() || b.frames <= 0) {
      *error = path + ": bad line: " + line;
      return false;
    }
    beats->push_back(b);
  }
  if (beats->empty()) {
    *error = path + ": no beats";
    return false;
  }
  return true;
}

struct Args {
  std::string recording, played, beats;
  bool click = false;
  int window = 512;
  double tolerance = -1;
  bool quiet = false;
};

bool ParseArgs(int argc, char** argv, Args* a) {
  for (int i = 1; i < argc; ++i) {
    const std::string k = argv[i];
    const bool hasValue = i + 1 < argc;
    if (k == "--recording" && hasValue) a->recording = argv[++i];
    else if (k == "--played" && hasValue) a->played = argv[++i];
    else if (k == "--beats" && hasValue) a->beats = argv[++i];
    else if (k == "--window" && hasValue) a->window = std::atoi(argv[++i]);
    else if (k == "--tolerance" && hasValue) a->tolerance = std::atof(argv[++i]);
    else if (k == "--click") a->click = true;
    else if (k == "--quiet") a->quiet = true;
    else return false;
  }
  return !a->recording.empty() && !a->played.empty() && !a->beats.empty() && a->window > 0;
}

// Sum over both channels of x[i] * y[i], for n frames.
double Dot(const float* x, const float* y, size_t n) {
  float acc[8] = {};
  size_t i = 0;
  for (; i + 8 <= n; i += 8)
    for (int k = 0; k < 8; ++k) acc[k] += x[i + k] * y[i + k];
  double sum = 0;
  for (float a : acc) sum += a;
  for (; i < n; ++i) sum += double(x[i]) * y[i];
  return sum;
}

struct Match {
  bool found = false;
  double lag = 0;     // recording frame - played frame, to a fraction of a frame
  long whole = 0;     // the best whole lag
  double corr = 0;    // normalised correlation at the best whole lag
};

// Where ref[from, from + len) (frames) sits in rec, searched over lags
// centre - window .. centre + window (rec frame = ref frame + lag).
Match FindSegment(const Sound& ref, const Sound& rec, size_t from, size_t len, long centre, long window,
                  bool fraction) {
  Match m;
  const size_t ch = size_t(ref.channels);
  const float* r = ref.samples.data() + from * ch;
  const double refEnergy = Dot(r, r, len * ch);
  if (!(refEnergy > 0)) return m;
  const long lo = std::max<long>(centre - window, -long(from));
  const long hi = std::min<long>(centre + window, long(rec.Frames()) - long(from + len));
  if (lo > hi) return m;
  std::vector<double> c(size_t(hi - lo + 1));
  size_t best = 0;
  for (long lag = lo; lag <= hi; ++lag) {
    const float* x = rec.samples.data() + size_t(long(from) + lag) * ch;
    const double e = Dot(x, x, len * ch);
    const double v = e > 0 ? Dot(r, x, len * ch) / std::sqrt(refEnergy * e) : 0;
    c[size_t(lag - lo)] = v;
    // Equal beats in a loop match equally well: the one nearest the centre.
    const long was = lo + long(best);
    if (v > c[best] + 1e-9 || (v >= c[best] - 1e-9 && std::labs(lag - centre) < std::labs(was - centre)))
      best = size_t(lag - lo);
  }
  m.found = true;
  m.corr = c[best];
  m.whole = lo + long(best);
  m.lag = double(m.whole);
  if (fraction && best > 0 && best + 1 < c.size()) {
    const double a = c[best - 1], b = c[best], d = c[best + 1];
    const double den = a - 2 * b + d;
    if (den < 0) m.lag += 0.5 * (a - d) / den;
  }
  return m;
}

// The played stream at the recording's rate (with the output's own converter).
bool PlayedAtRate(const Sound& played, int rate, Sound* out, std::string* error) {
  out->rate = rate;
  out->channels = played.channels;
  if (rate == played.rate) {
    out->samples = played.samples;
    return true;
  }
  std::vector<int16_t> in(played.samples.size()), conv;
  for (size_t i = 0; i < in.size(); ++i) in[i] = int16_t(std::lrint(played.samples[i] * 32768.0f));
  if (!audio::ResampleInterleaved(in, played.channels, played.rate, rate, &conv, error)) return false;
  out->samples.resize(conv.size());
  for (size_t i = 0; i < conv.size(); ++i) out->samples[i] = float(conv[i]) / 32768.0f;
  return true;
}

size_t FirstSound(const Sound& s, size_t from, size_t to) {
  const size_t ch = size_t(s.channels);
  for (size_t f = from; f < to && f < s.Frames(); ++f)
    for (size_t c = 0; c < ch; ++c)
      if (s.samples[f * ch + c] != 0.0f) return f;
  return size_t(-1);
}

std::vector<size_t> CleanOnsets(const struct Sound& s, size_t gap);

// The recorder's losses as a clock channel shows them.
struct Clock {
  bool present = false;
  size_t clicks = 0;
  long interval = 0;                 // the usual spacing of its clicks
  std::vector<size_t> at;            // recording frame of each click
  std::vector<long> lostBefore;      // frames lost up to each click
  long lost = 0, late = 0;           // frames lost by the recording, and by the clock itself
  size_t lostPlaces = 0, latePlaces = 0;

  // Frames the recording lost before recording frame f: counted up to the
  // last clock click before f, or (`after`) up to the first click after it,
  // since a loss is only known to lie between two clicks.
  long LostBefore(double f, bool after = false) const {
    if (!present || at.empty()) return 0;
    const auto it = std::upper_bound(at.begin(), at.end(), size_t(std::max(0.0, f)));
    size_t i = size_t(it - at.begin());
    if (after) return lostBefore[std::min(i, at.size() - 1)];
    return i == 0 ? 0 : lostBefore[i - 1];
  }
  // value + the frames lost between recording frames fa and fb, taking of
  // the possible counts the one that brings value nearest to target.
  double AddLost(double value, double target, double fa, double fb) const {
    if (!present) return value;
    double best = value;
    for (bool x : {false, true})
      for (bool y : {false, true}) {
        const double v = value + double(LostBefore(fb, y) - LostBefore(fa, x));
        if (std::fabs(v - target) < std::fabs(best - target)) best = v;
      }
    return best;
  }
};

struct Report {
  size_t measured = 0, off = 0, cut = 0, silent = 0, missing = 0;
  long exact = -1;   // beats in place holding the very samples expected (-1: not compared)
  long differ = -1;  // beats in place whose samples are not the ones played (-1: not compared)
  double maxDev = 0;
  double maxOwnDev = 0;  // with the recording's losses added back
  size_t ownOff = 0;
};

void PrintResult(const Args& a, const Sound& rec, size_t beats, const Report& r, double tolerance,
                 const Clock* clock = nullptr) {
  std::printf("RESULT rate=%d beats=%zu measured=%zu max_dev=%.2f off=%zu tolerance=%g missing=%zu cut=%zu silent=%zu",
              rec.rate, beats, r.measured, r.maxDev, r.off, tolerance, r.missing, r.cut, r.silent);
  if (clock && clock->present)
    std::printf(" recorder_lost=%ld recorder_lost_places=%zu own_max_dev=%.2f own_off=%zu", clock->lost,
                clock->lostPlaces, r.maxOwnDev, r.ownOff);
  if (r.exact >= 0) std::printf(" exact=%ld", r.exact);
  if (r.differ >= 0) std::printf(" samples_differ=%ld", r.differ);
  std::printf("\n");
  (void)a;
}

// The clock's clicks: each starts after a silence; an interval shorter than
// the usual one is frames the recording lost, a longer one a cycle the
// clock itself missed.
Clock ReadClock(const Sound& clockChannel) {
  Clock c;
  c.present = true;
  c.at = CleanOnsets(clockChannel, size_t(0.02 * clockChannel.rate));
  c.clicks = c.at.size();
  c.lostBefore.assign(c.at.size(), 0);
  if (c.at.size() < 3) return c;
  std::vector<long> d;
  for (size_t i = 1; i < c.at.size(); ++i) d.push_back(long(c.at[i] - c.at[i - 1]));
  std::vector<long> sorted = d;
  std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
  c.interval = sorted[sorted.size() / 2];
  long lost = 0;
  for (size_t i = 1; i < c.at.size(); ++i) {
    const long delta = d[i - 1] - c.interval;
    if (delta < 0) lost -= delta, c.lost -= delta, ++c.lostPlaces;
    if (delta > 0) c.late += delta, ++c.latePlaces;
    c.lostBefore[i] = lost;
  }
  return c;
}

// --- every beat against the played stream -------------------------------

int CheckBeats(const Args& a, const Sound& rec, const Sound& ref, const std::vector<BeatLine>& beats, int cutAtStop,
               double tolerance, const Clock& clock) {
  const double scale = double(rec.rate) / kProgramRate;
  const size_t ch = size_t(ref.channels);
  Report r;
  // Where the played stream starts in the recording, roughly: the first
  // sound of each. The first beat found then fixes it exactly.
  const size_t recFirst = FirstSound(rec, 0, rec.Frames());
  const size_t refFirst = FirstSound(ref, 0, ref.Frames());
  if (recFirst == size_t(-1) || refFirst == size_t(-1)) {
    std::printf("nothing to hear in the %s\n", recFirst == size_t(-1) ? "recording" : "played stream");
    PrintResult(a, rec, beats.size(), r, tolerance);
    return 1;
  }
  long centre = long(recFirst) - long(refFirst);
  // At the program's rate a beat in place must hold the very samples played.
  const bool converted = rec.rate != kProgramRate;
  if (!converted) r.differ = 0;
  r.exact = 0;
  bool anchored = false;
  double anchor = 0;  // recording frame of played frame 0
  if (!a.quiet)
    std::printf("%6s %12s %12s %9s %8s %9s  %s\n", "beat", "expected", "onset", "deviation", "corr",
                clock.present ? "own dev" : "", "note");
  for (size_t k = 0; k < beats.size(); ++k) {
    const double start = double(beats[k].start) * scale;
    const double end = double(beats[k].start + beats[k].frames) * scale;
    const size_t s0 = size_t(std::ceil(start)), s1 = std::min(size_t(std::floor(end)), ref.Frames());
    const bool cutByStop = k + size_t(std::max(cutAtStop, 0)) >= beats.size();
    // From a little before the beat's first sound, at most 8192 frames.
    const size_t first = FirstSound(ref, s0, s1);
    const char* note = "";
    Match m;
    bool wide = false;
    size_t from = 0, len = 0;
    if (first == size_t(-1)) {
      note = "silent";
    } else {
      from = first > s0 + 64 ? first - 64 : s0;
      len = std::min<size_t>(s1 - from, 8192);
      // At the program's rate the recording holds the very samples played:
      // whole lags only. Converted, the lag is taken between frames.
      const bool fraction = converted;
      const long window = anchored ? a.window : std::max(a.window, 4096);
      m = FindSegment(ref, rec, from, len, centre, window, fraction);
      // Slipped further: look wider. What is found there does not move the
      // search of the next beats (in a loop of equal beats it may be a
      // neighbour), and a beat cut by the stop may simply not be there.
      if ((!m.found || m.corr < 0.5) && anchored && !cutByStop) {
        m = FindSegment(ref, rec, from, len, centre, std::max(a.window, rec.rate), fraction);
        wide = true;
      }
      if (!m.found || long(from + len) + long(m.lag) > long(rec.Frames())) note = "after the recording";
      else if (m.corr < 0.5) note = "not found";
    }
    const bool measurable = *note == '\0';
    if (measurable && !anchored) {
      anchored = true;
      anchor = m.lag;
    }
    if (measurable && !wide) centre = m.whole;
    const double expected = anchor + start;
    const double onset = m.lag + start;
    const double dev = m.lag - anchor;
    // The recording's losses between the first beat and this one (a loss
    // between the clock clicks around a beat may lie before it or after).
    const double ownDev = clock.AddLost(dev, 0, anchor + double(beats[0].start) * scale, onset);
    bool exact = false;
    // Converted, the samples match only when the device's converter runs in
    // phase with the one here; that is reported, not required.
    if (measurable) {
      const float* x = rec.samples.data() + size_t(long(from) + m.whole) * ch;
      exact = std::equal(x, x + len * ch, ref.samples.data() + from * ch);
    }
    std::string text = note;
    if (cutByStop) text = text.empty() ? "cut by the stop" : text + ", cut by the stop";
    if (!measurable || cutByStop) {
      if (cutByStop) ++r.cut;
      else if (std::strcmp(note, "silent") == 0) ++r.silent;
      else if (std::strcmp(note, "after the recording") == 0) ++r.cut;
      else ++r.missing;
    } else {
      ++r.measured;
      if (exact) ++r.exact;
      r.maxDev = std::max(r.maxDev, std::fabs(dev));
      r.maxOwnDev = std::max(r.maxOwnDev, std::fabs(ownDev));
      if (std::fabs(ownDev) > tolerance + 1e-9) ++r.ownOff;
      if (std::fabs(dev) > tolerance + 1e-9) {
        ++r.off;
        text = "OFF";
      } else if (!converted) {
        text = exact ? "exact" : "in place, samples differ";
        if (!exact) ++r.differ;
      } else {
        text = exact ? "exact (converter in phase)" : "in place";
      }
    }
    if (!a.quiet || text == "OFF" || text == "not found" || text == "in place, samples differ") {
      char own[32] = "";
      if (clock.present && measurable) std::snprintf(own, sizeof own, "%.2f", ownDev);
      if (measurable)
        std::printf("%6zu %12.2f %12.2f %9.2f %8.5f %9s  %s\n", k, expected, onset, dev, m.corr, own, text.c_str());
      else
        std::printf("%6zu %12.2f %12s %9s %8s %9s  %s\n", k, expected, "-", "-", "-", "", text.c_str());
    }
  }
  if (clock.present)
    std::printf("clock: %zu clicks %ld frames apart; the recording lost %ld frames in %zu places, the clock itself "
                "was late by %ld frames in %zu places\n",
                clock.clicks, clock.interval, clock.lost, clock.lostPlaces, clock.late, clock.latePlaces);
  PrintResult(a, rec, beats.size(), r, tolerance, &clock);
  const size_t off = clock.present ? r.ownOff : r.off;
  return (off == 0 && r.missing == 0 && r.differ <= 0 && r.measured > 0) ? 0 : 1;
}

// --- a loop of clicks: exact onsets ---------------------------------------

// Frames where a sound starts after at least `gap` frames of digital silence
// (so a sound already going when the recording starts does not count).
std::vector<size_t> CleanOnsets(const Sound& s, size_t gap) {
  std::vector<size_t> on;
  const size_t ch = size_t(s.channels);
  size_t zeros = 0;
  for (size_t f = 0; f < s.Frames(); ++f) {
    bool any = false;
    for (size_t c = 0; c < ch; ++c) any = any || s.samples[f * ch + c] != 0.0f;
    if (any) {
      if (zeros >= gap) on.push_back(f);
      zeros = 0;
    } else {
      ++zeros;
    }
  }
  return on;
}

int CheckClicks(const Args& a, const Sound& rec, const Sound& ref, const std::vector<BeatLine>& beats, int cutAtStop,
                double tolerance, const Clock& clock) {
  const double scale = double(rec.rate) / kProgramRate;
  Report r;
  // The click of each beat in the played stream: its first sound.
  std::vector<double> expected(beats.size(), -1);
  for (size_t k = 0; k < beats.size(); ++k) {
    const size_t s0 = size_t(std::ceil(double(beats[k].start) * scale));
    const size_t s1 = std::min(ref.Frames(), size_t(double(beats[k].start + beats[k].frames) * scale));
    const size_t f = FirstSound(ref, s0, s1);
    if (f != size_t(-1)) expected[k] = double(f);
  }
  const size_t gap = size_t(0.02 * rec.rate);
  const std::vector<size_t> heard = CleanOnsets(rec, gap);
  if (heard.empty()) {
    std::printf("no click in the recording\n");
    PrintResult(a, rec, beats.size(), r, tolerance);
    return 1;
  }
  size_t k0 = 0;
  while (k0 < beats.size() && expected[k0] < 0) ++k0;
  if (k0 == beats.size()) {
    std::printf("no click in the played stream\n");
    PrintResult(a, rec, beats.size(), r, tolerance);
    return 1;
  }
  // The first click heard is the first beat's click (the recording starts
  // before playback); each later click is matched with the beat whose click
  // is nearest to where it was heard.
  const double anchor = double(heard[0]) - expected[k0];
  std::vector<long> heardAt(beats.size(), -1);
  size_t k = k0;
  for (size_t h : heard) {
    const double rel = double(h) - anchor;
    while (k + 1 < beats.size() && (expected[k] < 0 || std::fabs(expected[k + 1] - rel) < std::fabs(expected[k] - rel)))
      ++k;
    if (std::fabs(expected[k] - rel) < 0.5 * double(beats[k].frames) * scale) heardAt[k] = long(h);
  }
  size_t lastHeard = k0;
  for (size_t i = k0; i < beats.size(); ++i)
    if (heardAt[i] >= 0) lastHeard = i;
  if (!a.quiet) std::printf("%6s %12s %12s %9s %10s %10s  %s\n", "beat", "expected", "click", "deviation", "spacing", "should be", "note");
  for (size_t i = k0; i < beats.size(); ++i) {
    const bool cutByStop = i + size_t(std::max(cutAtStop, 0)) >= beats.size();
    std::string note;
    if (expected[i] < 0) {
      ++r.silent;
      note = "no click played";
    } else if (heardAt[i] < 0) {
      // Missing before the last click heard is a fault; after it, the
      // recording or the stop ended the playback.
      if (i < lastHeard && !cutByStop) ++r.missing, note = "MISSING";
      else ++r.cut, note = cutByStop ? "cut by the stop" : "after the recording";
    } else {
      ++r.measured;
      const double dev = double(heardAt[i]) - anchor - expected[i];
      const double ownDev = clock.AddLost(dev, 0, double(heard[0]), double(heardAt[i]));
      r.maxDev = std::max(r.maxDev, std::fabs(dev));
      r.maxOwnDev = std::max(r.maxOwnDev, std::fabs(ownDev));
      bool off = std::fabs(dev) > tolerance + 1e-9;
      bool ownOff = std::fabs(ownDev) > tolerance + 1e-9;
      double spacing = 0, should = 0;
      if (i > k0 && heardAt[i - 1] >= 0) {
        spacing = double(heardAt[i] - heardAt[i - 1]);
        should = expected[i] - expected[i - 1];
        const double ownSpacing = clock.AddLost(spacing, should, double(heardAt[i - 1]), double(heardAt[i]));
        off = off || std::fabs(spacing - should) > tolerance + 1e-9;
        ownOff = ownOff || std::fabs(ownSpacing - should) > tolerance + 1e-9;
      }
      if (off) ++r.off, note = "OFF";
      if (ownOff) ++r.ownOff;
      if (off && clock.present && !ownOff) note = "OFF by the recording's loss only";
      if (!a.quiet || off)
        std::printf("%6zu %12.0f %12ld %9.0f %10.0f %10.0f  %s\n", i, expected[i] + anchor, heardAt[i], dev, spacing,
                    should, note.c_str());
      continue;
    }
    if (!a.quiet || note == "MISSING") std::printf("%6zu %12.0f %12s %9s %10s %10s  %s\n", i, expected[i] + anchor, "-", "-", "-", "-", note.c_str());
  }
  if (clock.present)
    std::printf("clock: %zu clicks %ld frames apart; the recording lost %ld frames in %zu places\n", clock.clicks,
                clock.interval, clock.lost, clock.lostPlaces);
  PrintResult(a, rec, beats.size(), r, tolerance, &clock);
  const size_t off = clock.present ? r.ownOff : r.off;
  return (off == 0 && r.missing == 0 && r.measured > 1) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Args a;
  if (!ParseArgs(argc, argv, &a)) {
    std::fprintf(stderr,
                 "usage: realtime_onsets --recording REC.wav --played PREFIX-played.wav --beats PREFIX-beats.txt\n"
                 "                       [--click] [--window FRAMES] [--tolerance FRAMES] [--quiet]\n"
                 "(a third channel in the recording is a clock: see the top of realtime_onsets.cpp)\n");
    return 2;
  }
  std::string error;
  Sound rec, played, ref;
  std::vector<BeatLine> beats;
  int cutAtStop = 0;
  if (!ReadWav(a.recording, &rec, &error) || !ReadWav(a.played, &played, &error) ||
      !ReadBeats(a.beats, &beats, &cutAtStop, &error)) {
    std::fprintf(stderr, "realtime_onsets: %s\n", error.c_str());
    return 2;
  }
  if (played.rate != kProgramRate || played.channels != 2 || rec.channels < 2 || rec.channels > 3) {
    std::fprintf(stderr, "realtime_onsets: expected a recording of 2 or 3 channels and a stereo played stream at %d Hz\n",
                 kProgramRate);
    return 2;
  }
  // Channels 1 and 2 are the program's; a third is a clock.
  Clock clock;
  if (rec.channels == 3) {
    Sound program, tick;
    program.rate = tick.rate = rec.rate;
    program.channels = 2;
    tick.channels = 1;
    for (size_t f = 0; f < rec.Frames(); ++f) {
      program.samples.push_back(rec.samples[3 * f]);
      program.samples.push_back(rec.samples[3 * f + 1]);
      tick.samples.push_back(rec.samples[3 * f + 2]);
    }
    rec = std::move(program);
    clock = ReadClock(tick);
  }
  if (!PlayedAtRate(played, rec.rate, &ref, &error)) {
    std::fprintf(stderr, "realtime_onsets: %s\n", error.c_str());
    return 2;
  }
  const double tolerance = a.tolerance >= 0 ? a.tolerance : (rec.rate == kProgramRate ? 0.0 : 1.0);
  std::printf("recording: %.2f s at %d Hz; played: %zu beats, %.2f s at %d Hz\n", double(rec.Frames()) / rec.rate,
              rec.rate, beats.size(), double(played.Frames()) / played.rate, played.rate);
  return a.click ? CheckClicks(a, rec, ref, beats, cutAtStop, tolerance, clock)
                 : CheckBeats(a, rec, ref, beats, cutAtStop, tolerance, clock);
}
