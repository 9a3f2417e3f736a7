// Factory content: the synthesised sound bank, the factory formulas and
// themes, and the working folder written from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "content/factory_set.h"
#include "content/guitar_chords.h"
#include "guitar/gtr_file.h"
#include "content/synth.h"
#include "platform/files/atomic_file.h"
#include "rhythm/records.h"

namespace fs = std::filesystem;

namespace {

int Peak(const std::vector<int16_t>& s) {
  int peak = 0;
  for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}

// Zero crossings per second / 2 over the first 20 ms: the rough pitch of a
// tone, the brightness of a noise burst.
double CrossingRateHz(const std::vector<int16_t>& s) {
  const size_t n = std::min<size_t>(s.size(), 882);
  int crossings = 0;
  for (size_t i = 1; i < n; ++i)
    if ((s[i - 1] < 0) != (s[i] < 0)) ++crossings;
  return crossings / (n / 44100.0) / 2.0;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

std::vector<uint8_t> ReadAll(const fs::path& p) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadFileBytes(p.string(), SIZE_MAX, &bytes)) << p;
  return bytes;
}

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "content_test_XXXXXX").string();
    char* made = ::mkdtemp(tmpl.data());
    EXPECT_NE(made, nullptr);
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::map<std::string, std::vector<uint8_t>> Snapshot(const fs::path& root) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) files[fs::relative(e.path(), root).string()] = ReadAll(e.path());
  return files;
}

// Pattern beat p of a compás counted from firstBeat is counted as this.
int CountedBeat(int firstBeat, int p) { return (firstBeat - 1 + p) % 12 + 1; }

const Tema* FindTema(const FactorySet& set, const std::string& name) {
  for (const Tema& t : set.temas)
    if (t.Name() == name) return &t;
  return nullptr;
}

int SoundNumber(const FactorySet& set, const std::string& name) {
  const auto it = std::find(set.sounds.begin(), set.sounds.end(), name);
  return it == set.sounds.end() ? -1 : static_cast<int>(it - set.sounds.begin()) + 1;
}

}  // namespace

// ---------------------------------------------------------------------------
// Synthesis

TEST(SynthTest, FactorySoundNamesAreTheBankFileNames) {
  // Other code and saved data sets refer to these names and this order.
  const std::vector<std::string> expected = {"Metronomo", "MetronomoAcento", "PalmasClaras", "PalmasSordas",
                                             "Pitos",     "Nudillos",        "CajonBajo",    "CajonSlap",
                                             "Golpe",     "Tacon",           "Shaker"};
  EXPECT_EQ(FactorySoundNames(), expected);
  for (const std::string& n : FactorySoundNames())
    for (char c : n) EXPECT_TRUE(c > ' ' && c < 0x7F) << n;
}

TEST(SynthTest, EverySoundIsADeterministicCleanHit) {
  for (const std::string& name : FactorySoundNames()) {
    SCOPED_TRACE(name);
    const std::vector<int16_t> a = SynthesizeSound(name);
    const std::vector<int16_t> b = SynthesizeSound(name);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a, b);

    EXPECT_GE(a.size(), 2205u);   // 50 ms
    EXPECT_LE(a.size(), 17640u);  // 400 ms

    const int peak = Peak(a);
    EXPECT_GE(peak, 14636);  // -7 dBFS
    EXPECT_LE(peak, 24500);  // about -2.5 dBFS: well clear of full scale
    EXPECT_EQ(std::count(a.begin(), a.end(), int16_t{-32768}), 0);

    // Starts at its attack: no silence in front, loud within the first ms.
    EXPECT_NE(a.front(), 0);
    const int firstMs = Peak(std::vector<int16_t>(a.begin(), a.begin() + 44));
    EXPECT_GE(firstMs, peak / 4);

    // Fades out to zero: no click at the end of the sample.
    EXPECT_EQ(a.back(), 0);
    const int lastMs = Peak(std::vector<int16_t>(a.end() - 44, a.end()));
    EXPECT_LE(lastMs, peak / 10);
  }
}

TEST(SynthTest, SoundsDifferAndUnknownNamesGiveNothing) {
  const auto& names = FactorySoundNames();
  for (size_t i = 0; i < names.size(); ++i)
    for (size_t j = i + 1; j < names.size(); ++j)
      EXPECT_NE(SynthesizeSound(names[i]), SynthesizeSound(names[j])) << names[i] << " " << names[j];
  EXPECT_TRUE(SynthesizeSound("Jaleo").empty());
  EXPECT_TRUE(SynthesizeSound("").empty());
  EXPECT_TRUE(SynthesizeSound("metronomo").empty());
}

TEST(SynthTest, EachSoundHasItsRegister) {
  struct Case {
    const char* name;
    double minHz, maxHz;
  };
  const Case cases[] = {
      {"Metronomo", 1500, 2100},   {"MetronomoAcento", 2200, 3500}, {"PalmasClaras", 1000, 6000},
      {"PalmasSordas", 200, 1200}, {"Pitos", 2000, 4500},           {"Nudillos", 700, 1400},
      {"CajonBajo", 60, 200},      {"CajonSlap", 1500, 10000},      {"Golpe", 80, 250},
      {"Tacon", 60, 700},          {"Shaker", 6000, 20000},
  };
  for (const Case& c : cases) {
    const double hz = CrossingRateHz(SynthesizeSound(c.name));
    EXPECT_GE(hz, c.minHz) << c.name;
    EXPECT_LE(hz, c.maxHz) << c.name;
  }
}

// ---------------------------------------------------------------------------
// Factory formulas and themes

TEST(FactorySetTest, AccentWordMapsCountedBeatsToPatternBeats) {
  struct Case {
    int beats, firstBeat;
    std::vector<int> accents;
    uint16_t word;
  };
  const Case cases[] = {
      {12, 1, {3, 6, 8, 10, 12}, 0x0AA4},   // soleá: the repaired formula's word
      {12, 12, {12, 3, 6, 8, 10}, 0x0549},  // bulerías: pattern beat 0 is "12"
      {12, 8, {8, 10, 12, 3, 6}, 0x0495},   // seguiriya: 2+2+3+3+2
      {4, 1, {2, 3, 4}, 0x000E},            // tangos
      {4, 11, {12, 1}, 0x0006},             // the count wraps after 12
      {4, 1, {12}, 0x0000},                 // a beat outside the compás
  };
  for (const Case& c : cases) EXPECT_EQ(AccentWord(c.beats, c.firstBeat, c.accents), c.word) << c.beats << "/" << c.firstBeat;
}

TEST(FactorySetTest, EveryRecordIsValid) {
  const FactorySet set = BuildFactorySet();
  EXPECT_EQ(set.sounds, FactorySoundNames());
  ASSERT_LE(set.sounds.size(), 64u);
  ASSERT_GE(set.formulas.size(), 16u);
  ASSERT_EQ(set.temas.size(), set.formulas.size());
  const int soundCount = static_cast<int>(set.sounds.size());
  const int clicks[] = {SoundNumber(set, "Metronomo"), SoundNumber(set, "MetronomoAcento")};

  std::set<std::string> names;
  for (const Formula& f : set.formulas) {
    SCOPED_TRACE(f.Name());
    EXPECT_FALSE(f.Name().empty());
    EXPECT_TRUE(names.insert(f.Name()).second);
    ASSERT_GE(f.Beats(), 1);
    ASSERT_LE(f.Beats(), 12);
    EXPECT_LE(f.StartBeat(), 11);
    EXPECT_EQ(f.accents & ~((1u << f.Beats()) - 1), 0u);  // also count by beats
    EXPECT_NE(f.accents, 0);
    EXPECT_EQ(f.spare, 0);

    bool ended = false;  // tracks 0..n-1 are used, the rest are empty
    for (int t = 0; t < kTracks; ++t) {
      int strokes = 0;
      for (int b = 0; b < kMaxBeats; ++b) {
        const int n = f.StrokeCount(b, t);
        EXPECT_LE(n, kMaxStrokes);
        if (b >= f.Beats()) {
          EXPECT_EQ(n, 0);
        }
        // No codes hidden beyond the stroke count, nothing in bits 24..31.
        EXPECT_EQ(static_cast<uint32_t>(f.cells[b][t]) >> (3 * n), 0u) << "beat " << b << " track " << t;
        for (int s = 0; s < n; ++s) strokes += f.Stroke(b, t, s) != 0;
      }
      if (f.sounds[t] == 0) {
        ended = true;
        EXPECT_EQ(strokes, 0) << "track " << t;
      } else {
        EXPECT_FALSE(ended) << "track " << t << " after an empty track";
        EXPECT_LE(f.sounds[t], soundCount);
        EXPECT_GT(strokes, 0) << "track " << t;
        for (int c : clicks) EXPECT_NE(f.sounds[t], c) << "the click is chosen at run time";
      }
    }
  }

  for (size_t i = 0; i < set.temas.size(); ++i) {
    const Tema& t = set.temas[i];
    SCOPED_TRACE(t.Name());
    EXPECT_FALSE(t.Name().empty());
    EXPECT_FALSE(t.Unused());
    ASSERT_GE(t.entryCount, 1);
    ASSERT_LE(t.entryCount, kMaxEntries);
    EXPECT_GE(t.tempos[0], 20);
    EXPECT_LE(t.tempos[0], 400);
    for (int e = 0; e < t.entryCount; ++e) {
      EXPECT_GE(t.times[e], 1);
      EXPECT_EQ(t.formulas[e], i);  // theme i plays formula i
      EXPECT_EQ(t.accel[e], 0);
      if (e > 0) {
        EXPECT_TRUE(t.tempos[e] == 0 || (t.tempos[e] >= 20 && t.tempos[e] <= 400));
      }
    }
    for (int e = t.entryCount; e < kEntrySlots; ++e) {
      EXPECT_EQ(t.times[e], 0);
      EXPECT_EQ(t.formulas[e], 0);
      EXPECT_EQ(t.tempos[e], 0);
    }
    EXPECT_EQ(t.gain, 1.0f);
    EXPECT_TRUE(t.InOrder());
    EXPECT_LE(t.Parts(), 1);
    EXPECT_LE(t.Intro(), 12);
    EXPECT_LE(t.Ending(), 12);
    for (int k = 0; k < 17; ++k) {
      EXPECT_EQ(t.pan[k], 16);
      EXPECT_EQ(t.volume[k], 8);
    }
  }
}

TEST(FactorySetTest, PalosFollowTheirCompas) {
  struct Case {
    std::string tema;
    int beats, firstBeat;
    std::vector<int> accents;
    int minBpm, maxBpm;
  };
  const std::vector<Case> cases = {
      {"Sole\xE1", 12, 1, {3, 6, 8, 10, 12}, 120, 170},
      {"Sole\xE1 por buler\xED" "as", 12, 1, {3, 6, 8, 10, 12}, 160, 200},
      {"Alegr\xED" "as", 12, 1, {3, 6, 8, 10, 12}, 170, 220},
      {"Buler\xED" "as", 12, 12, {12, 3, 6, 8, 10}, 200, 280},
      {"Seguiriya", 12, 8, {8, 10, 12, 3, 6}, 150, 200},
      {"Guajira", 12, 12, {12, 3, 6, 8, 10}, 100, 140},
      {"Petenera", 12, 12, {12, 3, 6, 8, 10}, 90, 130},
      {"Fandangos de Huelva", 12, 1, {3, 6, 9, 12}, 160, 200},
      {"Sevillanas", 12, 1, {1, 4, 7, 10}, 180, 210},
      {"Tangos", 4, 1, {2, 3, 4}, 100, 140},
      {"Tientos", 4, 1, {2, 3, 4}, 70, 100},
      {"Tanguillos", 6, 1, {1, 4}, 140, 180},
      {"Rumba", 4, 1, {1, 4}, 100, 130},
      {"Farruca", 4, 1, {1, 3}, 90, 120},
      {"Garrot\xEDn", 4, 1, {1, 3}, 100, 120},
      {"Zambra", 4, 1, {1, 3}, 80, 110},
  };
  const FactorySet set = BuildFactorySet();
  const int claras = SoundNumber(set, "PalmasClaras");
  ASSERT_GT(claras, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tema);
    const Tema* t = FindTema(set, c.tema);
    ASSERT_NE(t, nullptr);
    EXPECT_GE(t->tempos[0], c.minBpm);
    EXPECT_LE(t->tempos[0], c.maxBpm);
    ASSERT_LT(t->formulas[0], set.formulas.size());
    const Formula& f = set.formulas[t->formulas[0]];
    EXPECT_EQ(f.Beats(), c.beats);
    EXPECT_EQ(f.StartBeat(), c.firstBeat - 1);
    EXPECT_EQ(f.Name().substr(0, 4), c.tema.substr(0, 4));

    // Palmas claras at full level exactly on the accented beats.
    int track = -1;
    for (int k = 0; k < kTracks; ++k)
      if (f.sounds[k] == claras) track = k;
    ASSERT_GE(track, 0);
    for (int p = 0; p < c.beats; ++p) {
      const bool accented = std::count(c.accents.begin(), c.accents.end(), CountedBeat(c.firstBeat, p)) > 0;
      EXPECT_EQ(f.Accented(p), accented) << "pattern beat " << p;
      const bool fullClap = f.StrokeCount(p, track) > 0 && f.Stroke(p, track, 0) == 7;
      EXPECT_EQ(fullClap, accented) << "pattern beat " << p;
    }
  }

  // The words of a few palos, written out.
  EXPECT_EQ(set.formulas[FindTema(set, "Sole\xE1")->formulas[0]].accents, 0x0AA4);
  EXPECT_EQ(set.formulas[FindTema(set, "Buler\xED" "as")->formulas[0]].accents, 0x0549);
  EXPECT_EQ(set.formulas[FindTema(set, "Buler\xED" "as")->formulas[0]].header, 0xBC);
  EXPECT_EQ(set.formulas[FindTema(set, "Tangos")->formulas[0]].header, 0x04);

  // Tangos: the palmas answer beat 1 with a silence.
  const Formula& tangos = set.formulas[FindTema(set, "Tangos")->formulas[0]];
  for (int k = 0; k < kTracks; ++k) {
    const int s = tangos.sounds[k];
    if (s == 0 || set.sounds[s - 1].rfind("Palmas", 0) != 0) continue;
    EXPECT_TRUE(tangos.StrokeCount(0, k) == 0 || tangos.Stroke(0, k, 0) == 0) << "track " << k;
  }
}

TEST(FactorySetTest, NamesFitTheirFields) {
  const FactorySet set = BuildFactorySet();
  for (const Formula& f : set.formulas) EXPECT_LE(f.Name().size(), 16u);
  for (const Tema& t : set.temas) EXPECT_LE(t.Name().size(), 32u);
  // Latin-1 bytes, not UTF-8: "Soleá" is five bytes.
  const Tema* solea = FindTema(set, "Sole\xE1");
  ASSERT_NE(solea, nullptr);
  EXPECT_EQ(static_cast<uint8_t>(solea->name[4]), 0xE1);
  EXPECT_EQ(solea->name[5], '\0');
  // "Fandangos Huelva" fills the 16 bytes with no terminator.
  bool full = false;
  for (const Formula& f : set.formulas) full |= f.Name() == "Fandangos Huelva" && f.name[15] == 'a';
  EXPECT_TRUE(full);
}

// ---------------------------------------------------------------------------
// Working folder

TEST(ContentFolderTest, WritesTheFactoryFiles) {
  TempDir dir;
  const fs::path root = dir.path() / "trabajo";  // not there yet: created
  std::string error;
  ASSERT_TRUE(WriteWorkingFolder(root.string(), &error)) << error;

  for (const char* sub : {"BancoDeSonidos", "datos", "datos/Original", "datos/wavs", "Acordes", "Plantillas", "MIDI"})
    EXPECT_TRUE(fs::is_directory(root / sub)) << sub;
  for (const char* empty : {"datos/wavs", "MIDI"}) EXPECT_TRUE(fs::is_empty(root / empty)) << empty;
  // The templates read back beat for beat, every note on a fret of its chord.
  for (const FactoryTemplate& t : FactoryTemplates()) {
    BeatRecords read;
    ASSERT_TRUE(ReadBeatFile((root / "Plantillas" / (std::string(t.name) + ".pgt")).string(), false, &read)) << t.name;
    ASSERT_EQ(read.beats.size(), t.beats.size()) << t.name;
    for (size_t b = 0; b < t.beats.size(); ++b)
      EXPECT_EQ(std::memcmp(&read.beats[b], &t.beats[b], sizeof(TiempoG)), 0) << t.name << " beat " << b;
  }

  const FactorySet set = BuildFactorySet();
  for (const std::string& name : set.sounds) {
    SCOPED_TRACE(name);
    const std::vector<int16_t> samples = SynthesizeSound(name);
    const std::vector<uint8_t> b = ReadAll(root / "BancoDeSonidos" / (name + ".wav"));
    const uint32_t data = static_cast<uint32_t>(2 * samples.size());
    ASSERT_EQ(b.size(), 44 + data);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(b, 4), 36 + data);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(b, 16), 16u);
    EXPECT_EQ(Le16(b, 20), 1);  // PCM
    EXPECT_EQ(Le16(b, 22), 1);  // mono
    EXPECT_EQ(Le32(b, 24), 44100u);
    EXPECT_EQ(Le32(b, 28), 88200u);
    EXPECT_EQ(Le16(b, 32), 2);
    EXPECT_EQ(Le16(b, 34), 16);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(Le32(b, 40), data);
    for (size_t i = 0; i < samples.size(); i += 97)
      ASSERT_EQ(static_cast<int16_t>(Le16(b, 44 + 2 * i)), samples[i]) << "sample " << i;
  }

  EXPECT_EQ(ReadAll(root / "datos" / "Original.vl2"),
            Bytes("Metronomo\r\nMetronomoAcento\r\nPalmasClaras\r\nPalmasSordas\r\nPitos\r\nNudillos\r\n"
                  "CajonBajo\r\nCajonSlap\r\nGolpe\r\nTacon\r\nShaker\r\n"));

  const std::vector<uint8_t> formulas = ReadAll(root / "datos" / "Original" / "formulas.svs");
  ASSERT_EQ(formulas.size(), set.formulas.size() * 900);
  EXPECT_EQ(std::memcmp(formulas.data(), set.formulas.data(), formulas.size()), 0);
  EXPECT_EQ(formulas[864], 0x0C);                     // soleá: 12 beats from 1
  EXPECT_EQ(Le16(formulas, 898), 0x0AA4);
  EXPECT_EQ(std::string(&formulas[881], &formulas[886]), "Sole\xE1");

  const std::vector<uint8_t> temas = ReadAll(root / "datos" / "Original" / "temas.svs");
  ASSERT_EQ(temas.size(), set.temas.size() * 1612);
  EXPECT_EQ(std::memcmp(temas.data(), set.temas.data(), temas.size()), 0);
  EXPECT_EQ(Le16(temas, 32), set.temas[0].entryCount);
  EXPECT_EQ(Le16(temas, 1064), set.temas[0].tempos[0]);
  EXPECT_EQ(Le32(temas, 1060), 0x3F800000u);  // gain 1.0f
  EXPECT_EQ(temas[1576], 0x80 | set.temas[0].Parts());

  for (const auto& e : fs::recursive_directory_iterator(root))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

TEST(ContentFolderTest, RewritingRestoresTheFactoryFilesAndKeepsTheRest) {
  TempDir dir;
  const fs::path root = dir.path();
  std::string error;
  ASSERT_TRUE(WriteWorkingFolder(root.string(), &error)) << error;
  const auto factory = Snapshot(root);

  // The user's own files, and factory files that were edited or damaged.
  const std::map<std::string, std::string> own = {
      {"datos/Mio.vl2", "Golpe\r\n"},
      {"datos/Mio/formulas.svs", std::string(900, 'x')},
      {"BancoDeSonidos/Grabado.wav", "RIFF"},
      {"datos/wavs/toma.wav", "RIFF...."},
      {"vididoru.ini", "[METRONOMO]\r\n"},
  };
  for (const auto& [path, content] : own) {
    fs::create_directories((root / path).parent_path());
    ASSERT_TRUE(WriteFileAtomically((root / path).string(), Bytes(content), &error)) << error;
  }
  ASSERT_TRUE(WriteFileAtomically((root / "datos/Original/formulas.svs").string(), Bytes("short"), &error));
  ASSERT_TRUE(WriteFileAtomically((root / "datos/Original.vl2").string(), Bytes("Golpe\r\n"), &error));
  fs::remove(root / "BancoDeSonidos/Pitos.wav");

  ASSERT_TRUE(WriteWorkingFolder(root.string(), &error)) << error;
  auto after = Snapshot(root);
  for (const auto& [path, content] : own) {
    ASSERT_EQ(after.count(path), 1u) << path;
    EXPECT_EQ(after[path], Bytes(content)) << path;
    after.erase(path);
  }
  EXPECT_TRUE(after == factory);  // the same files with the same bytes
}

TEST(ContentFolderTest, ReportsAFolderItCannotCreate) {
  TempDir dir;
  std::string error;
  ASSERT_TRUE(WriteFileAtomically((dir.path() / "archivo").string(), Bytes("x"), &error));
  error.clear();
  EXPECT_FALSE(WriteWorkingFolder((dir.path() / "archivo" / "trabajo").string(), &error));
  EXPECT_FALSE(error.empty());
}
