// A set is saved as a whole: a save killed at any step (before its commit,
// after it, between any two renames) leaves, once the next open has run the
// recovery, either the old set or the new one, in both editions, never new
// formulas with old themes. A failed save leaves no folder of its own.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "basic/basic_set.h"
#include "platform/files/atomic_file.h"
#include "rhythm/dataset.h"
#include "temp_dir.h"

namespace {
// Runs `save` in a child process that the save's test hook kills at `step`.
void SaveKilledAt(int step, const std::function<void()>& save) {
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    SetGroupStopForTests(step);
    save();
    ::_exit(3);  // the save ended without being stopped
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "the save was not stopped at step " << step;
}

std::unique_ptr<RhythmTables> Tables(int generation) {
  auto rt = RhythmTables::Create();
  for (int i = 0; i < 4; ++i) {
    rt->Formulas[i].SetHeader(4, 0);
    rt->Formulas[i].SetName("F" + std::to_string(generation));
    rt->Temas[i].SetName("T" + std::to_string(generation));
    InitNewTema(rt->Temas[i], 100 + generation);
  }
  return rt;
}
}  // namespace

TEST(SetSave, AKilledSaveLeavesTheOldSetOrTheNewOneWhole) {
  const int files = 3;
  for (int step = 0; step <= files + 1; ++step) {
    SCOPED_TRACE(step);
    ScratchFolder dir;
    std::string err;
    ASSERT_TRUE(SaveDataSetFiles(*Tables(1), "S", 2, 2, {"uno"}, &err)) << err;
    SaveKilledAt(step, [] {
      std::string e;
      SaveDataSetFiles(*Tables(2), "S", 3, 3, {"dos", "tres"}, &e);
    });
    const GroupRecovery r = RecoverSetSave("S");
    EXPECT_EQ(r, step == 0 ? GroupRecovery::kRolledBack : GroupRecovery::kCompleted);
    const int gen = step == 0 ? 1 : 2;
    auto rt = RhythmTables::Create();
    ASSERT_TRUE(LoadFormulas(*rt, FormulasPathOf("S"), nullptr));
    ASSERT_TRUE(LoadTemas(*rt, TemasPathOf("S")));
    std::vector<std::string> list;
    ASSERT_TRUE(ReadSoundList(ListPathOf("S"), &list));
    EXPECT_EQ(rt->FormulaCount, gen + 1);
    EXPECT_EQ(rt->TemaCount, gen + 1);
    EXPECT_EQ(rt->Formulas[0].Name(), "F" + std::to_string(gen));
    EXPECT_EQ(rt->Temas[0].Name(), "T" + std::to_string(gen));
    EXPECT_EQ(list.size(), static_cast<size_t>(gen));
    // Nothing of the save is left beside the set.
    EXPECT_FALSE(FileExists(SaveJournalPathOf("S")));
    for (const auto& e : std::filesystem::recursive_directory_iterator("datos"))
      EXPECT_EQ(e.path().string().find(".saving"), std::string::npos) << e.path();
    EXPECT_EQ(RecoverSetSave("S"), GroupRecovery::kNothing);
  }
}

TEST(SetSave, AKilledBasicSaveLeavesTheOldSetOrTheNewOneWhole) {
  const int files = 4;
  for (int step = 0; step <= files + 1; ++step) {
    SCOPED_TRACE(step);
    ScratchFolder dir;
    std::string err;
    SoundsV1 mem;
    ASSERT_TRUE(SaveBasicSet(*Tables(1), "S", 2, 2, {"uno"}, mem, &err)) << err;
    SaveKilledAt(step, [&] {
      std::string e;
      SaveBasicSet(*Tables(2), "S", 3, 3, {"dos", "tres"}, mem, &e);
    });
    EXPECT_EQ(RecoverBasicSetSave("S"), step == 0 ? GroupRecovery::kRolledBack : GroupRecovery::kCompleted);
    const int gen = step == 0 ? 1 : 2;
    auto rt = RhythmTables::Create();
    std::vector<int> repaired;
    LoadBasicRecords(*rt, "S", &repaired);
    EXPECT_EQ(rt->FormulaCount, gen + 1);
    EXPECT_EQ(rt->TemaCount, gen + 1);
    EXPECT_EQ(ReadSoundListV1(OlePathOf("S")).size(), static_cast<size_t>(gen));
    std::vector<uint8_t> van;
    ASSERT_TRUE(ReadFileBytes("datos/S/sonidos.van", 1 << 20, &van));
    EXPECT_EQ(std::string(van.begin(), van.begin() + 3), gen == 1 ? "uno" : "dos");
    EXPECT_FALSE(FileExists(SaveJournalPathOf("S")));
  }
}

// A save that cannot be written (a full disk) keeps the old files and takes
// away a folder it made for itself.
TEST(SetSave, AFailedSaveLeavesNoFolderOfItsOwn) {
  ScratchFolder dir;
  std::string err;
  for (int nth = 1; nth <= 3; ++nth) {
    SetWriteFailureForTests(nth);
    EXPECT_FALSE(SaveDataSetFiles(*Tables(1), "Original-1", 1, 1, {"a"}, &err));
    SetWriteFailureForTests(0);
    EXPECT_NE(err.find("No space left"), std::string::npos) << err;
    EXPECT_EQ(err.find(".saving"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists("datos/Original-1")) << nth;
    EXPECT_FALSE(std::filesystem::exists("datos/Original-1.vl2")) << nth;
  }
  SoundsV1 mem;
  std::filesystem::create_directories("datos");
  for (int nth = 1; nth <= 4; ++nth) {
    SetWriteFailureForTests(nth);
    EXPECT_FALSE(SaveBasicSet(*Tables(1), "Mio", 1, 1, {"a"}, mem, &err));
    SetWriteFailureForTests(0);
    EXPECT_FALSE(std::filesystem::exists("datos/Mio")) << nth;
  }
  // A folder that was there stays, with what it held.
  ASSERT_TRUE(SaveDataSetFiles(*Tables(1), "Tangos", 1, 1, {"a"}, &err)) << err;
  const auto before = ScratchFolder::Read(FormulasPathOf("Tangos"));
  SetWriteFailureForTests(2);
  EXPECT_FALSE(SaveDataSetFiles(*Tables(2), "Tangos", 3, 3, {"b"}, &err));
  SetWriteFailureForTests(0);
  EXPECT_EQ(ScratchFolder::Read(FormulasPathOf("Tangos")), before);
}
