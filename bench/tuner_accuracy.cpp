// The tuner's readings on the synthetic string corpus, beside aubiopitch's
// (yin, 8000 Hz, 2048-sample buffers and hops) on the same files.
//
//   tuner_accuracy <folder>
//
// writes the corpus as WAV files into <folder>, reads every file with both
// tuners and prints, per class of sound, the share of frames read, the share
// of readings on the right note and the median error in cents of those, then
// every wrong reading. Without aubiopitch on the PATH its columns say so.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "engine/wav.h"
#include "guitar/notes.h"
#include "platform/files/atomic_file.h"
#include "tuner/corpus.h"
#include "tuner/tuner.h"

namespace {

struct Tally {
  int recordings = 0;
  int frames = 0;
  int readings = 0;
  int right = 0;
  std::vector<double> centsRight;  // |cents| of the readings on the right note
  std::vector<double> centsAll;    // |cents| of every reading
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

void Count(Tally& t, const NoteTable& notes, const CorpusItem& it, int note, double hz, const char* who,
           std::vector<Wrong>& wrong) {
  ++t.readings;
  const double c = std::abs(CentsOff(hz, it.frequency));
  t.centsAll.push_back(c);
  if (note == it.note) {
    ++t.right;
    t.centsRight.push_back(c);
  } else {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f Hz", hz);
    wrong.push_back({it.name + " (" + who + ")", NoteName(notes, it.note), NoteName(notes, note) + " " + buf,
                     hz / it.frequency});
  }
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
  std::snprintf(buf, sizeof buf, "%.0f %%", whole ? 100.0 * part / whole : 0.0);
  return buf;
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

  std::vector<Wrong> wrong;
  std::vector<std::string> reasons;
  std::printf("| sound | recordings | frames | ours: frames read | ours: right note | ours: median cents |"
              " aubio yin: frames read | aubio yin: right note | aubio yin: median cents |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|\n");
  for (StringSound sound : {StringSound::kPlucked, StringSound::kHarmonicRich, StringSound::kNoisy}) {
    Tally ours, theirs;
    for (const CorpusItem& it : CorpusItems(sound)) {
      const std::vector<int16_t> samples = SynthesizeString(it);
      const std::string path = folder + "/" + it.name + ".wav";
      if (!WriteFileAtomically(path, WavFileImage(samples, 1, kCorpusRate), &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
      }
      const TunerRun run = RunTuner(notes, samples);
      ++ours.recordings;
      ours.frames += run.frames;
      ours.quiet += run.quiet;
      for (int v = 0; v < 6; ++v) ours.rejected[v] += run.rejected[v];
      for (size_t i = 0; i < run.notes.size(); ++i)
        Count(ours, notes, it, run.notes[i], run.frequencies[i], "ours", wrong);
      if (aubio) {
        std::vector<double> f = AubioPitches(path);
        f.resize(std::min<size_t>(f.size(), size_t(run.frames)));  // the same whole frames
        ++theirs.recordings;
        theirs.frames += run.frames;
        for (double hz : f)
          if (hz > 0) Count(theirs, notes, it, NearestNote(notes, float(hz)), hz, "aubio", wrong);
      }
    }
    char line[256];
    std::snprintf(line, sizeof line, "| %s | %d | %d | %d | %d | %d | %d |", StringSoundName(sound), ours.quiet,
                  ours.rejected[int(TunerVerdict::kFewVotes)], ours.rejected[int(TunerVerdict::kStrongestOffGap)],
                  ours.rejected[int(TunerVerdict::kNoHarmonicNear)], ours.rejected[int(TunerVerdict::kNoChain)],
                  ours.rejected[int(TunerVerdict::kOutsideNotes)]);
    reasons.push_back(line);
    char cents[2][32];
    std::snprintf(cents[0], sizeof cents[0], "%.1f", Median(ours.centsRight));
    std::snprintf(cents[1], sizeof cents[1], "%.1f", Median(theirs.centsRight));
    std::printf("| %s | %d | %d | %s | %s | %s | %s | %s | %s |\n", StringSoundName(sound), ours.recordings, ours.frames,
                Percent(ours.readings, ours.frames).c_str(), Percent(ours.right, ours.readings).c_str(), cents[0],
                aubio ? Percent(theirs.readings, theirs.frames).c_str() : "skipped",
                aubio ? Percent(theirs.right, theirs.readings).c_str() : "skipped", aubio ? cents[1] : "skipped");
  }

  std::printf("\nOur frames without a reading:\n\n| sound | quiet | few votes | strongest off the gap |"
              " no peak near the gap | no chain | outside the notes |\n|---|---|---|---|---|---|---|\n");
  for (const std::string& r : reasons) std::printf("%s\n", r.c_str());
  std::printf("\nWrong readings (%zu):\n", wrong.size());
  for (const Wrong& w : wrong)
    std::printf("  %s: %s read as %s (x%.3f)\n", w.item.c_str(), w.truth.c_str(), w.read.c_str(), w.ratio);
  return 0;
}
