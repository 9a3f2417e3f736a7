// The tuner's readings on the synthetic string corpus, beside aubiopitch's
// (yin, 8000 Hz, 2048-sample buffers and hops) on the same files.
//
//   tuner_accuracy <folder>
//
// writes the corpus as WAV files into <folder>, reads every file with both
// tuners and prints, per class of sound (the noisy class also per kind of
// noise): the share of frames read, the share of readings on the right note,
// the median and worst error in cents of those, the detuned strings shown
// the wrong way (sharp for flat, flat for sharp, or "OK"), the octave errors,
// and the frames read right; then why our frames gave no reading and every
// wrong reading. Without aubiopitch on the PATH its columns say so.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/wav.h"
#include "guitar/notes.h"
#include "platform/files/atomic_file.h"
#include "tuner/corpus.h"
#include "tuner/tuner.h"

namespace {

struct Tally {
  int frames = 0;
  int readings = 0;
  int right = 0;
  int wrongWay = 0;
  int octave = 0;
  std::vector<double> centsRight;  // |cents| of the readings on the right note
  int quiet = 0;
  int rejected[6] = {};
};

struct Wrong {
  std::string item;
  std::string truth;
  std::string read;
  double ratio;  // read / true frequency
};

std::string NoteName(const NoteTable& notes, int note) {
  if (note < 0) return "none";
  const NoteEntry& e = notes[static_cast<size_t>(note)];
  std::string s{e.label[0]};
  if (e.label[1] == '#') s += '#';
  return s + std::to_string((note + 33) / 12 - 1);
}

void Count(Tally& t, const NoteTable& notes, const CorpusItem& it, int note, double hz, TunerPitch pitch,
           const char* who, std::vector<Wrong>& wrong) {
  ++t.readings;
  const double c = std::abs(CentsOff(hz, it.frequency));
  if (note == it.note) {
    ++t.right;
    t.centsRight.push_back(c);
    const bool wrongWay = (it.cents > 0 && pitch != TunerPitch::kSharp) || (it.cents < 0 && pitch != TunerPitch::kFlat);
    if (it.cents != 0 && wrongWay) ++t.wrongWay;
    return;
  }
  if (note >= 0 && (note - it.note) % 12 == 0) ++t.octave;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f Hz", hz);
  wrong.push_back({it.name + " (" + who + ")", NoteName(notes, it.note), NoteName(notes, note) + " " + buf,
                   hz / it.frequency});
}

bool HaveAubio() { return std::system("command -v aubiopitch >/dev/null 2>&1") == 0; }

// aubiopitch's frequency of each hop ("time frequency" lines); 0 means no pitch.
std::vector<double> AubioPitches(const std::string& path) {
  std::vector<double> out;
  const std::string cmd = "aubiopitch -i '" + path + "' -r 8000 -B 2048 -H 2048 -p yin 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  double t, f;
  while (std::fscanf(p, "%lf %lf", &t, &f) == 2) out.push_back(f);
  pclose(p);
  return out;
}

std::string Percent(int part, int whole) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.1f %%", whole ? 100.0 * part / whole : 0.0);
  return buf;
}

std::string Cents(const std::vector<double>& v, bool worst) {
  if (v.empty()) return "-";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.2f", worst ? *std::max_element(v.begin(), v.end()) : Median(v));
  return buf;
}

std::string Figures(const Tally& t) {
  return Percent(t.readings, t.frames) + " | " + Percent(t.right, t.readings) + " | " + Cents(t.centsRight, false) +
         " | " + Cents(t.centsRight, true) + " | " + std::to_string(t.wrongWay) + " | " + std::to_string(t.octave) +
         " | " + std::to_string(t.right);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder for the corpus>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  std::string error;
  if (!MakeDirs(folder, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const bool aubio = HaveAubio();
  if (!aubio) std::fprintf(stderr, "aubiopitch not found (apt-get install aubio-tools): its columns are skipped\n");
  const NoteTable notes = InitialTablaNotas();
  const FftSetup fft = MakeFftSetup(2048);

  std::vector<Wrong> wrong;
  std::vector<std::string> reasons;
  std::printf("| sound | frames | ours: read | right | median cents | worst cents | wrong way | octave errors |"
              " right frames | yin: read | right | median cents | worst cents | wrong way | octave errors |"
              " right frames |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
  struct Group {
    StringSound sound;
    CorpusNoise noise;  // kNone: every item of the class
  };
  const std::vector<Group> groups = {
      {StringSound::kPlucked, CorpusNoise::kNone},     {StringSound::kHarmonicRich, CorpusNoise::kNone},
      {StringSound::kNoisy, CorpusNoise::kNone},       {StringSound::kNoisy, CorpusNoise::kWhite20},
      {StringSound::kNoisy, CorpusNoise::kWhite10},    {StringSound::kNoisy, CorpusNoise::kPink20},
      {StringSound::kNoisy, CorpusNoise::kPink10},     {StringSound::kNoisy, CorpusNoise::kHum},
      {StringSound::kQuiet, CorpusNoise::kNone}};
  for (const Group& g : groups) {
    Tally ours, theirs;
    for (const CorpusItem& it : CorpusItems(g.sound)) {
      if (g.noise != CorpusNoise::kNone && it.noise != g.noise) continue;
      const std::vector<int16_t> samples = SynthesizeString(it);
      const TunerRun run = RunTuner(notes, samples);
      ours.frames += run.frames;
      ours.quiet += run.quiet;
      for (int v = 0; v < 6; ++v) ours.rejected[v] += run.rejected[v];
      const bool report = g.noise != CorpusNoise::kNone || g.sound != StringSound::kNoisy;  // each item once
      std::vector<Wrong>& w = wrong;
      std::vector<Wrong> ignored;
      for (size_t i = 0; i < run.notes.size(); ++i)
        Count(ours, notes, it, run.notes[i], run.frequencies[i], TunerPitch(run.pitches[i]), "ours",
              report ? w : ignored);
      if (aubio) {
        const std::string path = folder + "/" + it.name + ".wav";
        // A scratch file for the reference: written plainly, without the
        // flush to disk a user's file gets.
        const auto image = WavFileImage(samples, 1, kCorpusRate);
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out || std::fwrite(image.data(), 1, image.size(), out) != image.size() || std::fclose(out) != 0) {
          std::fprintf(stderr, "cannot write %s\n", path.c_str());
          return 1;
        }
        std::vector<double> f = AubioPitches(path);
        f.resize(std::min<size_t>(f.size(), size_t(run.frames)));  // the same whole frames
        theirs.frames += run.frames;
        for (double hz : f)
          if (hz > 0) {
            const TunerReading r = ReadNote(notes, fft, float(hz), 1);
            Count(theirs, notes, it, r.note, hz, r.pitch, "yin", report ? w : ignored);
          }
      }
    }
    const std::string name =
        std::string(StringSoundName(g.sound)) + (g.noise == CorpusNoise::kNone ? "" : std::string(", ") + CorpusNoiseName(g.noise));
    char line[256];
    std::snprintf(line, sizeof line, "| %s | %d | %d | %d | %d | %d | %d |", name.c_str(), ours.quiet,
                  ours.rejected[int(TunerVerdict::kFewVotes)], ours.rejected[int(TunerVerdict::kNoHarmonicNear)],
                  ours.rejected[int(TunerVerdict::kNoChain)], ours.rejected[int(TunerVerdict::kUnsure)],
                  ours.rejected[int(TunerVerdict::kOutsideNotes)]);
    reasons.push_back(line);
    std::printf("| %s | %d | %s | %s |\n", name.c_str(), ours.frames, Figures(ours).c_str(),
                aubio ? Figures(theirs).c_str() : "skipped | skipped | skipped | skipped | skipped | skipped | skipped");
  }

  std::printf("\nOur frames without a reading:\n\n| sound | gate shut | no gap | no peak near the gap |"
              " no chain | not sure to a cent | outside the notes |\n|---|---|---|---|---|---|---|\n");
  for (const std::string& r : reasons) std::printf("%s\n", r.c_str());
  std::printf("\nWrong readings (%zu):\n", wrong.size());
  for (const Wrong& w : wrong)
    std::printf("  %s: %s read as %s (x%.3f)\n", w.item.c_str(), w.truth.c_str(), w.read.c_str(), w.ratio);
  return 0;
}
