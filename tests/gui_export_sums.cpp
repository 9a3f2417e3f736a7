// Every factory theme exported with a few mixer settings, against the
// checksums the program has always produced: a change anywhere on the way
// from the records through the sequencer and the mixer to the file shows up
// here. VELARTO_PRINT_EXPORT_SUMS=1 prints the table instead of checking it.
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <QAction>
#include <filesystem>

#include "gui_fixture.h"
#include "guitar/gtr_file.h"
#include "guitar/track.h"
#include "rhythm/library_ops.h"

namespace {

// A guitar track for the selected theme that plays every string at frets
// 0..19 in all four modes, with delays, re-attacks on a ringing string and
// legato notes, and the guitar panel open on it: the guitar's sound
// (interpolated pitch shift, fades of every cut) is in the file.
void WithGuitar(TMainForm& f) {
  const Tema& t = f.Rhythm->Temas[static_cast<size_t>(f.SGTemas->Row() - 1)];
  std::string path;
  ASSERT_TRUE(GuitarTrackPathOf(f.DataSet.DataSetName, t.Name(), &path));
  std::vector<TiempoG> beats;
  int k = 0;
  for (int b = 0; b < 48; ++b) {
    TiempoG beat = EmptyTiempoG();
    beat.divisions = static_cast<uint8_t>(1 + b % 6);
    for (int d = 0; d < beat.divisions; ++d) {
      DivisionG& div = beat.division[d];
      for (int j = 0; j < 6; ++j) {
        if ((b + d + j) % 3 != 0) continue;
        div.fret[j] = static_cast<uint8_t>((k * 7) % 20);
        div.strength[j] = static_cast<uint8_t>(1 + k % 7);
        div.mode[j] = (k % 11 == 3) ? 3 : (k % 5 == 1) ? 2 : (k % 4 == 2) ? 1 : 0;
        div.delay[j] = static_cast<uint8_t>((k * 13) % 60);
        ++k;
      }
    }
    beats.push_back(beat);
  }
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::string err;
  ASSERT_TRUE(WriteBeatFile(path, beats.data(), beats.size(), &err)) << err;
  f.Guitarra1->trigger();
}

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
  uint64_t h = 1469598103934665603ull;
  for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

struct Setting {
  const char* name;
  std::function<void(TMainForm&)> apply;
};

const std::vector<Setting>& Settings() {
  static const std::vector<Setting> settings = {
      {"as set", [](TMainForm&) {}},
      {"click Pie", [](TMainForm& f) { f.ClickPresetButtons[7]->click(); }},
      {"track 1 muted", [](TMainForm& f) { f.MuteButtons[0]->click(); }},
      // Track 1 panned hard left, so that mono has something to fold.
      {"mono, track 1 left", [](TMainForm& f) {
         f.TBPan[0]->setValue(0);
         f.Mono->click();
       }},
      {"guitar", [](TMainForm& f) { WithGuitar(f); }},
  };
  return settings;
}

// theme row, setting, checksum
struct Sum {
  int row;
  int setting;
  uint64_t sum;
};

// Every theme as set; the other settings on three themes of different metres
// (the guitar's rows: the interpolated pitch shift and the fades of every cut).
const std::vector<Sum> kSums = {
    {1, 0, 0x639b454806124834ull},  // as set
    {2, 0, 0x7fa68ceaf18f9810ull},  // as set
    {3, 0, 0x36d1708cea81ecf8ull},  // as set
    {4, 0, 0xe5b82609a91e0eacull},  // as set
    {5, 0, 0xa7d8bb1563deb528ull},  // as set
    {6, 0, 0x03cd49688fe86498ull},  // as set
    {7, 0, 0x5250b98114c39008ull},  // as set
    {8, 0, 0x1b428279911b5890ull},  // as set
    {9, 0, 0xb26456e5cb61fca0ull},  // as set
    {10, 0, 0xa4d5b67d2d4daf34ull},  // as set
    {11, 0, 0x4c3e217082049578ull},  // as set
    {12, 0, 0xecc5fe594170023cull},  // as set
    {13, 0, 0x21e426f150fb99fcull},  // as set
    {14, 0, 0x2f6a55dddbbd57c4ull},  // as set
    {15, 0, 0xf25773304035c0fcull},  // as set
    {16, 0, 0x05cbd5459c7f422cull},  // as set
    {1, 1, 0x57cb59990527c3fcull},  // click Pie
    {1, 2, 0x057fcf5796ae5924ull},  // track 1 muted
    {1, 3, 0x590f2e9b9591f934ull},  // mono, track 1 left
    {1, 4, 0x08d2cefb3998a910ull},  // guitar
    {4, 1, 0xd019c56ba8e8bb1cull},  // click Pie
    {4, 2, 0xc9e8153eaee0d07cull},  // track 1 muted
    {4, 3, 0x3636ce339b67194cull},  // mono, track 1 left
    {4, 4, 0xa099c4afffbb99a8ull},  // guitar
    {10, 1, 0x39a6665df242659cull},  // click Pie
    {10, 2, 0xa2ef5533fdf4a774ull},  // track 1 muted
    {10, 3, 0xbaf50af9558b3234ull},  // mono, track 1 left
    {10, 4, 0x840cdd1705e831f8ull},  // guitar
};

class ExportSumsTest : public WindowTest {};

}  // namespace

TEST_F(ExportSumsTest, FactoryThemesExportAsEver) {
  const bool print = std::getenv("VELARTO_PRINT_EXPORT_SUMS") != nullptr;
  Start();
  const int themes = form->SGTemas->RowCount() - 1;
  ASSERT_GE(themes, 3);
  std::vector<std::pair<int, int>> runs;
  for (int row = 1; row <= themes; ++row) runs.emplace_back(row, 0);
  for (int row : {1, 4, 10})
    for (int s = 1; s < int(Settings().size()); ++s)
      if (row <= themes) runs.emplace_back(row, s);
  std::vector<Sum> got;
  for (auto [row, s] : runs) {
    // A fresh window for each, so that no setting carries over.
    Start();
    form->SGTemas->Select(1, row);
    form->SGTemasSelectCell(1, row);
    Settings()[size_t(s)].apply(*form);
    const std::string path = dir.path() + "/datos/wavs/sum.wav";
    dlg->saveNames = {QString::fromStdString(path)};
    form->SpeedButton6Click();
    const auto bytes = ScratchFolder::Read(path);
    ASSERT_GT(bytes.size(), 44u) << "theme row " << row;
    got.push_back({row, s, Fnv1a(bytes)});
  }
  if (print) {
    for (const Sum& g : got)
      std::printf("    {%d, %d, 0x%016llxull},  // %s\n", g.row, g.setting, static_cast<unsigned long long>(g.sum),
                  Settings()[size_t(g.setting)].name);
    return;
  }
  ASSERT_EQ(got.size(), kSums.size());
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].row, kSums[i].row);
    EXPECT_EQ(got[i].setting, kSums[i].setting);
    EXPECT_EQ(got[i].sum, kSums[i].sum) << "theme row " << got[i].row << ", " << Settings()[size_t(got[i].setting)].name;
  }
}
