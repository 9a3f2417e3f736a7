#include "tuner/corpus.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

#include "tuner/tuner.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kPeakLevel = 8000.0;
constexpr int kFrets[] = {0, 5, 12};
constexpr int kCents[] = {-25, -10, 0, 10, 25};

// Stiffness of each string, 6th first: the partial k sounds at
// k f sqrt(1 + B k^2).
constexpr double kInharmonicity[6] = {1.0e-4, 8.0e-5, 6.0e-5, 9.0e-5, 7.0e-5, 5.0e-5};

struct Partial {
  double frequency;
  double amplitude;
  double decay;  // per second
  double phase;
};

std::vector<Partial> StringPartials(const CorpusItem& item, std::mt19937& rng) {
  std::uniform_real_distribution<double> phase(0.0, kTwoPi);
  std::uniform_real_distribution<double> jitter(0.85, 1.15);
  const double b = kInharmonicity[6 - item.stringNumber];
  const bool bright = item.sound == StringSound::kHarmonicRich;
  // Where the string is plucked, as a fraction of its length.
  const double pluck = bright ? 0.09 : 0.22;
  std::vector<Partial> partials;
  for (int k = 1; k < 60; ++k) {
    const double f = k * item.frequency * std::sqrt(1.0 + b * k * k);
    if (f > 3800.0) break;
    double a = std::abs(std::sin(k * M_PI * pluck)) / k;
    double decay = 1.2 + 0.35 * k * k * item.frequency / 400.0;
    if (bright) {
      a = std::abs(std::sin(k * M_PI * pluck)) / std::sqrt(double(k));
      if (k == 1) a *= 0.2;
      decay = 0.8 + 0.08 * k * item.frequency / 100.0;
    }
    partials.push_back({f, a * jitter(rng), decay, phase(rng)});
  }
  return partials;
}

}  // namespace

const char* StringSoundName(StringSound c) {
  switch (c) {
    case StringSound::kPlucked: return "plucked";
    case StringSound::kHarmonicRich: return "harmonic-rich";
    case StringSound::kNoisy: return "noisy";
    case StringSound::kQuiet: return "quiet";
  }
  return "";
}

const char* CorpusNoiseName(CorpusNoise n) {
  switch (n) {
    case CorpusNoise::kNone: return "";
    case CorpusNoise::kWhite20: return "white20";
    case CorpusNoise::kWhite10: return "white10";
    case CorpusNoise::kPink20: return "pink20";
    case CorpusNoise::kPink10: return "pink10";
    case CorpusNoise::kHum: return "hum20";
  }
  return "";
}

std::vector<CorpusItem> CorpusItems(StringSound sound) {
  std::vector<CorpusItem> items;
  std::vector<CorpusNoise> noises{CorpusNoise::kNone};
  if (sound == StringSound::kNoisy)
    noises = {CorpusNoise::kWhite20, CorpusNoise::kWhite10, CorpusNoise::kPink20, CorpusNoise::kPink10,
              CorpusNoise::kHum};
  for (CorpusNoise noise : noises) {
    for (int k = 0; k < 6; ++k) {
      for (int fret : kFrets) {
        for (int cents : kCents) {
          CorpusItem it;
          it.sound = sound;
          it.noise = noise;
          it.stringNumber = 6 - k;
          it.fret = fret;
          it.cents = cents;
          it.note = kStandardTuning[static_cast<size_t>(k)] + fret;
          // Equal temperament from A4 = 440 Hz (MIDI note = index + 33).
          it.frequency = 440.0 * std::pow(2.0, (it.note + 33 - 69) / 12.0 + cents / 1200.0);
          char name[80];
          std::snprintf(name, sizeof name, "%s%s%s-s%d-f%d-%c%d", StringSoundName(sound),
                        noise == CorpusNoise::kNone ? "" : "-", CorpusNoiseName(noise), it.stringNumber, fret,
                        cents < 0 ? 'm' : 'p', std::abs(cents));
          it.name = name;
          items.push_back(it);
        }
      }
    }
  }
  return items;
}

namespace {

// Pink noise of unit RMS (near enough): white noise through a filter
// falling 3 dB an octave.
std::vector<double> PinkNoise(size_t n, std::mt19937& rng) {
  std::normal_distribution<double> white(0.0, 1.0);
  std::vector<double> out(n);
  double b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0;
  for (size_t i = 0; i < n; ++i) {
    const double w = white(rng);
    b0 = 0.99886 * b0 + w * 0.0555179;
    b1 = 0.99332 * b1 + w * 0.0750759;
    b2 = 0.96900 * b2 + w * 0.1538520;
    b3 = 0.86650 * b3 + w * 0.3104856;
    b4 = 0.55000 * b4 + w * 0.5329522;
    b5 = -0.7616 * b5 - w * 0.0168980;
    out[i] = b0 + b1 + b2 + b3 + b4 + b5 + b6 + w * 0.5362;
    b6 = w * 0.115926;
  }
  double power = 0;
  for (double v : out) power += v * v;
  const double rms = std::sqrt(power / double(n));
  for (double& v : out) v /= rms;
  return out;
}

// 50 Hz and its third harmonic (0.4 of it), unit RMS together.
double Hum(double t) {
  const double k = std::sqrt(2.0) / std::sqrt(1.16);
  return k * (std::sin(kTwoPi * 50 * t) + 0.4 * std::sin(kTwoPi * 150 * t + 1.0));
}

}  // namespace

std::vector<int16_t> SynthesizeHum(double levelDb, size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> phase(0.0, 1.0);
  const double start = phase(rng);
  const double rms = 32768.0 * std::pow(10.0, levelDb / 20.0);
  std::vector<int16_t> out(n);
  for (size_t i = 0; i < n; ++i)
    out[i] = static_cast<int16_t>(std::clamp(std::lround(rms * Hum(double(i) / kCorpusRate + start)), -32768L, 32767L));
  return out;
}

std::vector<int16_t> SynthesizeString(const CorpusItem& item) {
  const uint32_t seed = static_cast<uint32_t>(item.note * 1000 + (item.cents + 100) * 7 + int(item.sound) * 100003 +
                                              item.stringNumber * 31 + int(item.noise) * 7919);
  std::mt19937 rng(seed);
  const std::vector<Partial> partials = StringPartials(item, rng);
  const size_t n = static_cast<size_t>(kCorpusSeconds * kCorpusRate);
  std::vector<double> x(n, 0.0);
  for (const Partial& p : partials) {
    const double w = kTwoPi * p.frequency / kCorpusRate;
    for (size_t i = 0; i < n; ++i) {
      const double t = double(i) / kCorpusRate;
      x[i] += p.amplitude * std::exp(-p.decay * t) * std::sin(w * double(i) + p.phase);
    }
  }
  // A 5 ms attack.
  const size_t attack = kCorpusRate / 200;
  for (size_t i = 0; i < attack && i < n; ++i) x[i] *= double(i) / attack;
  double peak = 0;
  for (double v : x) peak = std::max(peak, std::abs(v));
  const double scale = peak > 0 ? kPeakLevel / peak : 0.0;
  for (double& v : x) v *= scale;

  if (item.sound == StringSound::kQuiet) {
    const double quiet = 32768.0 * std::pow(10.0, -30.0 / 20.0) / kPeakLevel;  // peaks at -30 dBFS
    for (double& v : x) v *= quiet;
  }
  if (item.noise != CorpusNoise::kNone) {
    // Noise or hum the given dB below the sound's level over its first second.
    double power = 0;
    for (size_t i = 0; i < n / 2; ++i) power += x[i] * x[i];
    const double rms = std::sqrt(power / double(n / 2));
    const bool ten = item.noise == CorpusNoise::kWhite10 || item.noise == CorpusNoise::kPink10;
    const double level = rms * std::pow(10.0, (ten ? -10.0 : -20.0) / 20.0);
    if (item.noise == CorpusNoise::kHum) {
      for (size_t i = 0; i < n; ++i) x[i] += level * Hum(double(i) / kCorpusRate);
    } else if (item.noise == CorpusNoise::kPink20 || item.noise == CorpusNoise::kPink10) {
      const std::vector<double> pink = PinkNoise(n, rng);
      for (size_t i = 0; i < n; ++i) x[i] += level * pink[i];
    } else {
      std::normal_distribution<double> white(0.0, level);
      for (size_t i = 0; i < n; ++i) x[i] += white(rng);
    }
  }
  std::vector<int16_t> out(n);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<int16_t>(std::clamp(std::lround(x[i]), -32768L, 32767L));
  return out;
}

TunerRun RunTuner(const NoteTable& notes, const std::vector<int16_t>& samples, const TunerRules& rules) {
  auto s = std::make_unique<TunerState>();
  s->fft = MakeFftSetup(2048);
  s->rules = rules;
  TunerRun run;
  const size_t frame = static_cast<size_t>(s->fft.FftSize);
  for (size_t at = 0; at + frame <= samples.size(); at += frame) {
    ++run.frames;
    const FrameOutcome o = FeedSamples(*s, s->MicFrame, notes, samples.data() + at, frame);
    if (o == FrameOutcome::kReading) {
      run.notes.push_back(s->Reading.note);
      run.frequencies.push_back(s->Reading.frequency);
      run.pitches.push_back(static_cast<int>(s->Reading.pitch));
    } else if (o == FrameOutcome::kQuiet) {
      ++run.quiet;
    } else if (o == FrameOutcome::kRejected) {
      ++run.rejected[static_cast<int>(s->verdict)];
    }
  }
  return run;
}

double CentsOff(double measured, double truth) { return 1200.0 * std::log2(measured / truth); }

double Median(std::vector<double> v) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const size_t m = v.size() / 2;
  return v.size() % 2 ? v[m] : 0.5 * (v[m - 1] + v[m]);
}
