// The working folder of a start without a set on the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/working_folder.h"

namespace fs = std::filesystem;

namespace {

struct Scratch {
  fs::path root = fs::temp_directory_path() / ("wf-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  Scratch() { fs::create_directories(root); }
  ~Scratch() { fs::remove_all(root); }
};

void Write(const fs::path& p, const std::string& text) {
  fs::create_directories(p.parent_path());
  std::ofstream(p) << text;
}

std::string Read(const fs::path& p) {
  std::ifstream in(p);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A factory like make_factory's: a set, a sound, a manual.
fs::path Factory(const fs::path& root) {
  const fs::path f = root / "share/velarto-quendrel/factory/DRAV_PROF";
  Write(f / "datos/Original.vl2", "bombo\n");
  Write(f / "datos/Original/temas.svs", "temas");
  Write(f / "BancoDeSonidos/bombo.wav", "RIFF");
  Write(f / "Manual DRAV_PROF.pdf", "%PDF");
  return f;
}

}  // namespace

TEST(WorkingFolder, AWorkingFolderAlreadyIsWhereTheProgramStays) {
  Scratch s;
  Write(s.root / "here/datos/Original.vl2", "x\n");
  const WorkingFolderChoice c = ChooseWorkingFolder((s.root / "here").string(), (s.root / "user").string(),
                                                    Factory(s.root).string());
  EXPECT_TRUE(c.folder.empty());
  EXPECT_TRUE(c.error.empty());
  EXPECT_FALSE(fs::exists(s.root / "user"));
}

TEST(WorkingFolder, TheFirstStartFillsTheUserFolderAndLaterOnesNeverOverwrite) {
  Scratch s;
  const fs::path factory = Factory(s.root);
  const fs::path user = s.root / "data/velarto-quendrel/DRAV_PROF";
  WorkingFolderChoice c = ChooseWorkingFolder(s.root.string(), user.string(), factory.string());
  ASSERT_EQ(c.folder, user.string()) << c.error;
  EXPECT_EQ(Read(user / "datos/Original.vl2"), "bombo\n");
  EXPECT_EQ(Read(user / "datos/Original/temas.svs"), "temas");
  EXPECT_EQ(Read(user / "BancoDeSonidos/bombo.wav"), "RIFF");
  EXPECT_TRUE(fs::exists(user / "Manual DRAV_PROF.pdf"));
  EXPECT_FALSE(fs::exists(user / "datos.part"));
  // The user edits the factory set and saves one of their own.
  Write(user / "datos/Original.vl2", "mine\n");
  Write(user / "datos/Tangos.vl2", "tangos\n");
  fs::remove(user / "datos/Original/temas.svs");
  c = ChooseWorkingFolder(s.root.string(), user.string(), factory.string());
  EXPECT_EQ(c.folder, user.string());
  EXPECT_EQ(Read(user / "datos/Original.vl2"), "mine\n");
  EXPECT_EQ(Read(user / "datos/Tangos.vl2"), "tangos\n");
  EXPECT_FALSE(fs::exists(user / "datos/Original/temas.svs"));  // what the user removed stays removed
}

TEST(WorkingFolder, AFolderWithoutSetsKeepsItsFilesAndGetsTheRest) {
  Scratch s;
  const fs::path factory = Factory(s.root);
  const fs::path user = s.root / "user";
  Write(user / "DRAV_PROF.ini", "[METRONOMO]\nIdioma=Ingles\n");
  Write(user / "BancoDeSonidos/bombo.wav", "own");
  const WorkingFolderChoice c = ChooseWorkingFolder(s.root.string(), user.string(), factory.string());
  ASSERT_EQ(c.folder, user.string()) << c.error;
  EXPECT_EQ(Read(user / "BancoDeSonidos/bombo.wav"), "own");
  EXPECT_EQ(Read(user / "DRAV_PROF.ini"), "[METRONOMO]\nIdioma=Ingles\n");
  EXPECT_EQ(Read(user / "datos/Original.vl2"), "bombo\n");
}

TEST(WorkingFolder, NoFactoryOrAFolderThatCannotBeMadeIsSaid) {
  Scratch s;
  WorkingFolderChoice c = ChooseWorkingFolder(s.root.string(), (s.root / "user").string(), "");
  EXPECT_TRUE(c.folder.empty());
  EXPECT_FALSE(c.error.empty());
  Write(s.root / "file", "x");  // a file where the folder should be
  c = ChooseWorkingFolder(s.root.string(), (s.root / "file/DRAV_PROF").string(), Factory(s.root).string());
  EXPECT_TRUE(c.folder.empty());
  EXPECT_FALSE(c.error.empty());
}

TEST(WorkingFolder, TheUserFolderFollowsXdgDataHome) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string keep = saved ? saved : "";
  setenv("XDG_DATA_HOME", "/srv/d", 1);
  EXPECT_EQ(UserWorkingFolder("BORNACE_DRAV"), "/srv/d/velarto-quendrel/BORNACE_DRAV");
  setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored, as the standard says
  const char* home = std::getenv("HOME");
  if (home) {
    EXPECT_EQ(UserWorkingFolder("DRAV_PROF"), std::string(home) + "/.local/share/velarto-quendrel/DRAV_PROF");
  }
  if (saved)
    setenv("XDG_DATA_HOME", keep.c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");
}

TEST(WorkingFolder, TheFactoryIsFoundInstalledOrInTheBuildTree) {
  Scratch s;
  Factory(s.root);
  EXPECT_EQ(FactoryFolder((s.root / "bin").string(), "DRAV_PROF"),
            (s.root / "share/velarto-quendrel/factory/DRAV_PROF").string());
  Write(s.root / "build/factory/BORNACE_DRAV/datos/Original.ole", "x\n");
  EXPECT_EQ(FactoryFolder((s.root / "build").string(), "BORNACE_DRAV"),
            (s.root / "build/factory/BORNACE_DRAV").string());
  EXPECT_EQ(FactoryFolder((s.root / "elsewhere").string(), "BORNACE_DRAV"), "");
}
