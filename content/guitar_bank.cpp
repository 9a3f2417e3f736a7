#include "content/guitar_bank.h"

#include "content/synth.h"

#include <algorithm>
#include <cmath>

#include "engine/wav.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRate = 44100;
constexpr int kLength = 123480;          // 2.8 s
constexpr int kFadeLength = 17640;       // the last 0.4 s fade out
constexpr double kPeak = 0.8912509381;   // -1 dBFS
constexpr double kTopPartialHz = 4800;   // nothing above this is made
constexpr double kPluckPoint = 0.13;     // plucked at 13% of the string from the bridge
constexpr double kStiffness = 8e-5;      // stretches the upper partials a little, as a real string does
constexpr double kTwangSeconds = 0.035;  // the extra brightness of the first moments
constexpr double kSilentPartial = 1e-7;  // a partial below this is no longer followed

// Open strings 1..6 (E4 down to E2) and how long the fundamental of each rings.
struct StringDef {
  double pitch;
  double ringSeconds;
};
constexpr StringDef kStrings[6] = {
    {329.63, 1.0}, {246.94, 1.2}, {196.00, 1.4}, {146.83, 1.6}, {110.00, 1.9}, {82.407, 2.2},
};

// The synthesis's own sine (exact on every machine) and exponential.
double Sin(double x) { return SynthSin(x); }
double Cos(double x) { return SynthCos(x); }

// e^x for the tiny per-sample decays (|x| < 0.01), where five terms are exact.
double SmallExp(double x) { return 1 + x * (1 + x / 2 * (1 + x / 3 * (1 + x / 4 * (1 + x / 5)))); }

// Adds one decaying partial: a sine from phase 0 whose amplitude falls as
// e^(-t / tau), plus a part of it that falls within the twang.
void AddPartial(std::vector<double>& x, double freq, double amplitude, double tau, double twang) {
  const double w = 2 * kPi * freq / kRate;
  const double c = Cos(w);
  const double s = Sin(w);
  const double slow = SmallExp(-1.0 / (tau * kRate));
  const double fast = SmallExp(-1.0 / (kTwangSeconds * kRate));
  double re = 1, im = 0;  // e^(i w n)
  double envSlow = amplitude, envFast = amplitude * twang;
  const double floor = kSilentPartial;
  // A plain pointer: this loop is most of the bank's cost, in every build.
  double* const p = x.data();
  const size_t count = x.size();
  for (size_t n = 0; n < count; ++n) {
    p[n] += (envSlow + envFast) * im;
    const double r = re * c - im * s;
    im = re * s + im * c;
    re = r;
    envSlow *= slow;
    envFast *= fast;
    if (envSlow + envFast < floor) break;
  }
}

}  // namespace

double FactoryGuitarPitch(int stringNumber) {
  if (stringNumber < 1 || stringNumber > 6) return 0.0;
  return kStrings[stringNumber - 1].pitch;
}

std::vector<int16_t> SynthesizeGuitarString(int stringNumber) {
  if (stringNumber < 1 || stringNumber > 6) return {};
  const StringDef& def = kStrings[stringNumber - 1];
  std::vector<double> x(kLength, 0.0);
  for (int k = 1;; ++k) {
    // Partial k of a slightly stiff string; the fundamental stays at pitch.
    const double freq = k * def.pitch * std::sqrt((1 + kStiffness * k * k) / (1 + kStiffness));
    if (freq > kTopPartialHz) break;
    // A string plucked at a point: partials with a node there are missing.
    const double amplitude = Sin(kPi * k * kPluckPoint) / k;
    const double tau = def.ringSeconds / (1 + freq / 600 + (freq / 1800) * (freq / 1800));
    const double twang = std::min(1.0, freq / 2000);
    AddPartial(x, freq, amplitude, tau, twang);
  }
  // Fade the tail to silence (smoothstep).
  for (int i = 0; i < kFadeLength; ++i) {
    const double u = static_cast<double>(kFadeLength - 1 - i) / (kFadeLength - 1);
    x[static_cast<size_t>(kLength - kFadeLength + i)] *= u * u * (3 - 2 * u);
  }
  double peak = 0;
  for (double v : x) peak = std::max(peak, std::fabs(v));
  const double scale = peak > 0 ? kPeak * 32767 / peak : 0.0;
  std::vector<int16_t> out(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    const double v = std::floor(x[i] * scale + 0.5);
    out[i] = static_cast<int16_t>(std::clamp(v, -32767.0, 32767.0));
  }
  return out;
}

bool AddFactoryGuitarBank(const std::string& bankFolder, std::vector<FileToWrite>* files, std::string* error) {
  std::string folder = bankFolder;
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  folder += kFactoryGuitarBank;
  if (!MakeDirs(folder)) {
    if (error) *error = "cannot create the folder " + folder;
    return false;
  }
  for (int n = 1; n <= 6; ++n)
    files->push_back({folder + "/c" + std::to_string(n) + ".wav", WavFileImage(SynthesizeGuitarString(n), 1, kRate)});
  const std::string tuning = "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";
  files->push_back({folder + "/afinacion.txt", std::vector<uint8_t>(tuning.begin(), tuning.end())});
  return true;
}
