#include "content/synth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kRate = kFactorySampleRate;

// Peak levels: -3 dBFS for most hits, the soft ones a little lower.
constexpr double kMinus3dB = 0.7079458;
constexpr double kMinus5dB = 0.5623413;
constexpr double kMinus6dB = 0.5011872;

// Our own sine and exponential: a libm may round differently from version to
// version, these only use + - * / and floor, which IEEE fixes exactly.
double Sin(double x) {
  const double k = std::floor(x / kTwoPi + 0.5);
  double y = x - k * kTwoPi;  // -pi..pi
  if (y > kPi / 2)
    y = kPi - y;
  else if (y < -kPi / 2)
    y = -kPi - y;
  const double y2 = y * y;
  return y * (1 - y2 / 6 * (1 - y2 / 20 * (1 - y2 / 42 * (1 - y2 / 72 *
         (1 - y2 / 110 * (1 - y2 / 156 * (1 - y2 / 210)))))));
}

double Cos(double x) { return Sin(x + kPi / 2); }

double Exp(double x) {
  if (x < -700) return 0.0;
  int halvings = 0;
  while (std::fabs(x) > 1.0 / 32) {
    x *= 0.5;
    ++halvings;
  }
  double r = 1 + x * (1 + x / 2 * (1 + x / 3 * (1 + x / 4 * (1 + x / 5 * (1 + x / 6 * (1 + x / 7))))));
  while (halvings-- > 0) r *= r;
  return r;
}

// Decay envelope e^(-t/tau), zero before the onset t0.
double Decay(double t, double tau, double t0 = 0.0) {
  return t < t0 ? 0.0 : Exp(-(t - t0) / tau);
}

// xorshift32: white noise in [-1, 1).
class Noise {
 public:
  explicit Noise(uint32_t seed) : s_(seed != 0 ? seed : 0x9E3779B9u) {}
  double Next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return static_cast<double>(s_ >> 8) * (1.0 / 8388608.0) - 1.0;
  }

 private:
  uint32_t s_;
};

uint32_t SeedOf(const std::string& name) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (unsigned char c : name) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

// Second-order filter (the usual cookbook low-pass, high-pass and
// constant-peak band-pass).
enum class FilterKind { kLowPass, kHighPass, kBandPass };

class Biquad {
 public:
  Biquad(FilterKind kind, double freq, double q) {
    const double w = kTwoPi * freq / kRate;
    const double c = Cos(w);
    const double alpha = Sin(w) / (2 * q);
    const double a0 = 1 + alpha;
    switch (kind) {
      case FilterKind::kLowPass:
        b0_ = (1 - c) / 2; b1_ = 1 - c; b2_ = b0_;
        break;
      case FilterKind::kHighPass:
        b0_ = (1 + c) / 2; b1_ = -(1 + c); b2_ = b0_;
        break;
      case FilterKind::kBandPass:
        b0_ = alpha; b1_ = 0; b2_ = -alpha;
        break;
    }
    b0_ /= a0; b1_ /= a0; b2_ /= a0;
    a1_ = -2 * c / a0;
    a2_ = (1 - alpha) / a0;
  }
  double operator()(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_; x1_ = x;
    y2_ = y1_; y1_ = y;
    return y;
  }

 private:
  double b0_ = 0, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A sine whose frequency glides; starts at its crest so the hit begins with
// its attack.
class Glide {
 public:
  double Next(double freq) {
    const double v = Cos(phase_);
    phase_ += kTwoPi * freq / kRate;
    return v;
  }

 private:
  double phase_ = 0.0;
};

int Samples(double seconds) { return static_cast<int>(seconds * kRate); }
double TimeOf(int i) { return i / kRate; }
double Partial(double freq, double t) { return Cos(kTwoPi * freq * t); }

using Signal = std::vector<double>;

Signal Metronomo(Noise&) {
  Signal x(Samples(0.060));
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    const double t = TimeOf(i);
    x[i] = Decay(t, 0.010) * (Partial(1800, t) + 0.25 * Partial(3600, t) * Decay(t, 0.004));
  }
  return x;
}

Signal MetronomoAcento(Noise& noise) {
  Signal x(Samples(0.080));
  Biquad hiss(FilterKind::kHighPass, 4000, 0.7);
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    const double t = TimeOf(i);
    const double tone = Partial(2600, t) + 0.35 * Partial(5200, t) * Decay(t, 0.006) +
                        0.2 * Partial(3900, t) * Decay(t, 0.008);
    x[i] = Decay(t, 0.012) * tone + 0.4 * hiss(noise.Next() * Decay(t, 0.0015));
  }
  return x;
}

// Claps: a few quick bursts of band-passed noise, then the decaying body.
Signal PalmasClaras(Noise& noise) {
  Signal x(Samples(0.260));
  Biquad low(FilterKind::kBandPass, 1400, 0.8);
  Biquad high(FilterKind::kBandPass, 2600, 1.4);
  Biquad body(FilterKind::kBandPass, 900, 2.0);
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    const double t = TimeOf(i);
    const double env = Decay(t, 0.0022) + 0.8 * Decay(t, 0.0022, 0.0065) +
                       0.7 * Decay(t, 0.0022, 0.0125) + 0.85 * Decay(t, 0.040, 0.018);
    const double n = noise.Next() * env;
    x[i] = 0.8 * low(n) + 0.5 * high(n) + 0.3 * body(n);
  }
  return x;
}

Signal PalmasSordas(Noise& noise) {
  Signal x(Samples(0.200));
  Biquad lp1(FilterKind::kLowPass, 800, 0.7);
  Biquad lp2(FilterKind::kLowPass, 1100, 0.6);
  Biquad cup(FilterKind::kBandPass, 420, 1.5);
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    const double t = TimeOf(i);
    const double env = Decay(t, 0.003) + 0.75 * Decay(t, 0.003, 0.008) + 0.8 * Decay(t, 0.030, 0.013);
    const double n = noise.Next() * env;
    x[i] = lp2(lp1(n)) + 0.8 * cup(n);
  }
  return x;
}

// Finger snap: a very short bright burst with a ping around 3 kHz.
Signal Pitos(Noise& noise) {
  Signal x(Samples(0.090));
  Biquad band(FilterKind::kBandPass, 3000, 1.5);
  Biquad crack(FilterKind::kHighPass, 5000, 0.7);
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    const double t = TimeOf(i);
    const double n = noise.Next();
    x[i] = band(n * Decay(t, 0.006)) + 0.35 * Partial(2850, t) * Decay(t, 0.009) +
           0.3 * crack(n * Decay(t, 0.0015));
  }
  return x;
}

// Knuckles on wood: a few damped wooden modes around 1 kHz.
Signal Nudillos(Noise& noise) {
  Signal x(Samples(0.150));
  Biquad knock(FilterKind::kBandPass, 1000, 1.0);
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    const double t = TimeOf(i);
    x[i] = Partial(920, t) * Decay(t, 0.020) + 0.7 * Partial(1160, t) * Decay(t, 0.014) +
           0.3 * Partial(2310, t) * Decay(t, 0.006) + 0.15 * Partial(3400, t) * Decay(t, 0.003) +
           0.5 * knock(noise.Next() * Decay(t, 0.0008));
  }
  return x;
}

// Cajón bass: a low tone that drops in pitch, with a little noise of the hand.
Signal CajonBajo(Noise& noise) {
  Signal x(Samples(0.320));
  Glide tone;
  Glide second;
  Biquad hand(FilterKind::kLowPass, 1500, 0.7);
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    const double t = TimeOf(i);
    const double f = 74 + 66 * Decay(t, 0.020);
    x[i] = tone.Next(f) * Decay(t, 0.080) + 0.12 * second.Next(2 * f) * Decay(t, 0.030) +
           0.5 * hand(noise.Next() * Decay(t, 0.005));
  }
  return x;
}

// Cajón slap: bright noise of the front plate over a resonant body near 200 Hz.
Signal CajonSlap(Noise& noise) {
  Signal x(Samples(0.220));
  Biquad snap(FilterKind::kHighPass, 2000, 0.7);
  Biquad wires(FilterKind::kBandPass, 3500, 2.0);
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    const double t = TimeOf(i);
    const double n = noise.Next();
    x[i] = snap(n * Decay(t, 0.012)) + 0.4 * wires(n * Decay(t, 0.020)) +
           0.5 * Partial(205, t) * Decay(t, 0.050) + 0.25 * Partial(415, t) * Decay(t, 0.025);
  }
  return x;
}

// Golpe on the guitar top: a low thump with the woody resonances of the box.
Signal Golpe(Noise& noise) {
  Signal x(Samples(0.300));
  Glide thump;
  Biquad knock(FilterKind::kLowPass, 2500, 0.7);
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    const double t = TimeOf(i);
    x[i] = thump.Next(112 + 45 * Decay(t, 0.015)) * Decay(t, 0.070) +
           0.45 * Partial(235, t) * Decay(t, 0.045) + 0.3 * Partial(390, t) * Decay(t, 0.030) +
           0.15 * Partial(560, t) * Decay(t, 0.020) + 0.35 * knock(noise.Next() * Decay(t, 0.003));
  }
  return x;
}

// Heel stomp: a low thump and the broadband noise of the floor.
Signal Tacon(Noise& noise) {
  Signal x(Samples(0.260));
  Glide thump;
  Biquad ground(FilterKind::kLowPass, 3500, 0.7);
  Biquad boards(FilterKind::kBandPass, 650, 1.2);
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    const double t = TimeOf(i);
    const double n = noise.Next();
    x[i] = thump.Next(80 + 100 * Decay(t, 0.008)) * Decay(t, 0.050) + 0.7 * ground(n * Decay(t, 0.010)) +
           0.4 * boards(n * Decay(t, 0.025));
  }
  return x;
}

// Shaker: two grains of high noise.
Signal Shaker(Noise& noise) {
  Signal x(Samples(0.130));
  Biquad hp(FilterKind::kHighPass, 5500, 0.7);
  Biquad air(FilterKind::kBandPass, 8000, 0.8);
  for (int i = 0; i < static_cast<int>(x.size()); ++i) {
    const double t = TimeOf(i);
    const double env = Decay(t, 0.035) * (0.55 + 0.45 * Decay(t, 0.004)) + 0.5 * Decay(t, 0.020, 0.040);
    const double n = noise.Next() * env;
    x[i] = hp(n) + 0.5 * air(n);
  }
  return x;
}

struct SoundDef {
  const char* name;
  double peak;
  Signal (*make)(Noise&);
};

// The order of the factory sound list. The first is the plain click: the
// intro of a theme falls back on sound 1 when no click sound is chosen.
constexpr SoundDef kSounds[] = {
    {"Metronomo", kMinus3dB, Metronomo},
    {"MetronomoAcento", kMinus3dB, MetronomoAcento},
    {"PalmasClaras", kMinus3dB, PalmasClaras},
    {"PalmasSordas", kMinus5dB, PalmasSordas},
    {"Pitos", kMinus3dB, Pitos},
    {"Nudillos", kMinus3dB, Nudillos},
    {"CajonBajo", kMinus3dB, CajonBajo},
    {"CajonSlap", kMinus3dB, CajonSlap},
    {"Golpe", kMinus3dB, Golpe},
    {"Tacon", kMinus3dB, Tacon},
    {"Shaker", kMinus6dB, Shaker},
};

constexpr int kFadeSamples = 220;  // 5 ms

// Trims the samples before the attack, scales the peak to the given level of
// full scale, fades the last 5 ms to zero and rounds to 16 bits.
std::vector<int16_t> Finish(Signal x, double peakLevel) {
  double peak = 0.0;
  for (double v : x) peak = std::max(peak, std::fabs(v));
  if (peak == 0.0) return {};
  const auto attack = std::find_if(x.begin(), x.end(), [&](double v) { return std::fabs(v) >= 0.02 * peak; });
  x.erase(x.begin(), attack);

  const int n = static_cast<int>(x.size());
  const int fade = std::min(kFadeSamples, n);
  for (int j = 0; j < fade; ++j) {
    const double g = fade > 1 ? static_cast<double>(fade - 1 - j) / (fade - 1) : 0.0;
    x[n - fade + j] *= g;
  }

  const double scale = peakLevel * 32767.0 / peak;
  std::vector<int16_t> out(x.size());
  for (int i = 0; i < n; ++i) {
    const long v = std::lround(x[i] * scale);
    out[i] = static_cast<int16_t>(std::clamp(v, -32767L, 32767L));
  }
  return out;
}

}  // namespace

double SynthSin(double x) { return Sin(x); }
double SynthCos(double x) { return Cos(x); }

const std::vector<std::string>& FactorySoundNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v;
    for (const SoundDef& d : kSounds) v.emplace_back(d.name);
    return v;
  }();
  return names;
}

std::vector<int16_t> SynthesizeSound(const std::string& name) {
  for (const SoundDef& d : kSounds) {
    if (name != d.name) continue;
    Noise noise(SeedOf(name));
    return Finish(d.make(noise), d.peak);
  }
  return {};
}
