#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <cstring>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/files/atomic_file.h"
#include "rhythm/dataset.h"
#include "temp_dir.h"

TEST(DataSetFiles, RecordCountsComeFromWholeRecords) {
  ScratchFolder dir;
  auto tables = RhythmTables::Create();
  struct {
    size_t bytes;
    int count;
  } cases[] = {{1000, 1}, {0, 0}, {900, 1}, {899, 0}, {kFormulasFileMax + 900 * 3, 512}};
  for (auto c : cases) {
    std::vector<uint8_t> bytes(c.bytes, 0);
    for (size_t i = 864; i < bytes.size(); i += 900) bytes[i] = 4;  // valid headers
    ScratchFolder::Write("f.svs", bytes);
    LoadFormulas(*tables, "f.svs", nullptr);
    EXPECT_EQ(tables->FormulaCount, c.count) << c.bytes;
  }
  LoadFormulas(*tables, "missing.svs", nullptr);
  EXPECT_EQ(tables->FormulaCount, 1);

  ScratchFolder::Write("t.svs", std::vector<uint8_t>(kTemasFileMax + 5000, 1));
  LoadTemas(*tables, "t.svs");
  EXPECT_EQ(tables->TemaCount, 128);
  LoadTemas(*tables, "missing.svs");
  EXPECT_EQ(tables->TemaCount, 1);
  EXPECT_EQ(tables->Temas[0].entryCount, 0);
  EXPECT_EQ(tables->Temas[0].name[0], 0);  // the table was zeroed before reading
}

TEST(DataSetFiles, OpenRepairsEveryInvalidFormulaAndKeepsTheRest) {
  ScratchFolder dir;
  auto tables = RhythmTables::Create();
  std::vector<uint8_t> bytes(3 * 900, 0);
  bytes[864] = 4;
  bytes[900 + 864] = 0x0E;           // 14 beats
  bytes[900 + 865] = 3;              // its first sound
  bytes[1800 + 864] = 0xB5;          // valid, first beat 12
  std::memcpy(&bytes[1800 + 881], "Third", 5);
  ScratchFolder::Write("f.svs", bytes);
  std::vector<int> repaired;
  LoadFormulas(*tables, "f.svs", &repaired);
  ASSERT_EQ(repaired, std::vector<int>{1});
  EXPECT_EQ(tables->FormulaCount, 3);
  EXPECT_EQ(tables->Formulas[1].Name(), "Nueva");
  EXPECT_EQ(tables->Formulas[1].header, 12);
  EXPECT_EQ(tables->Formulas[1].sounds[0], 3);
  EXPECT_EQ(tables->Formulas[2].Name(), "Third");
}

TEST(DataSetFiles, EveryOverlongBeatCountIsRepaired) {
  ScratchFolder dir;
  auto tables = RhythmTables::Create();
  // Beat nibble 13..15, whatever the first-beat nibble says.
  for (uint8_t header : {0x0D, 0x0E, 0x0F, 0x5D, 0xBF}) {
    std::vector<uint8_t> bytes(900, 0);
    bytes[864] = header;
    bytes[0] = 0x3F;                       // a stroke in beat 0, track 0
    bytes[768] = 0x21;                     // its stroke counts
    for (int t = 0; t < 16; ++t) bytes[865 + t] = static_cast<uint8_t>(t + 1);
    std::memcpy(&bytes[881], "Rota", 4);
    bytes[897] = 0x77;                     // spare
    bytes[898] = 0xFF;                     // accents
    bytes[899] = 0xFF;
    ScratchFolder::Write("f.svs", bytes);
    std::vector<int> repaired;
    ASSERT_TRUE(LoadFormulas(*tables, "f.svs", &repaired));
    ASSERT_EQ(repaired, std::vector<int>{0}) << int(header);
    const Formula& f = tables->Formulas[0];
    EXPECT_EQ(std::string(f.name, 16), std::string("Nueva\0\0\0\0\0\0\0\0\0\0\0", 16)) << int(header);
    EXPECT_EQ(f.Beats(), 12);
    EXPECT_EQ(f.StartBeat(), 0);
    EXPECT_EQ(f.accents, 0x0AA4);
    EXPECT_EQ(f.cells[0][0], 0);
    EXPECT_EQ(f.strokeCounts[0], 0);
    EXPECT_EQ(f.spare, 0x77);
    for (int t = 0; t < 16; ++t) EXPECT_EQ(f.sounds[t], t + 1);
  }
}

TEST(DataSetFiles, AnUnreadableRecordFileIsReported) {
  ScratchFolder dir;
  // A file that exists and opens but fails on reading.
  std::vector<uint8_t> probe;
  if (ReadFileBytes("/proc/self/mem", 16, &probe)) GTEST_SKIP() << "no unreadable file on this system";
  std::error_code ec;
  std::filesystem::create_symlink("/proc/self/mem", "f.svs", ec);
  std::filesystem::create_symlink("/proc/self/mem", "t.svs", ec);
  ASSERT_FALSE(ec) << ec.message();
  auto tables = RhythmTables::Create();
  EXPECT_FALSE(LoadFormulas(*tables, "f.svs", nullptr));
  EXPECT_EQ(tables->FormulaCount, 0);
  EXPECT_FALSE(LoadTemas(*tables, "t.svs"));
  EXPECT_EQ(tables->TemaCount, 0);
  // A missing file is no error.
  EXPECT_TRUE(LoadFormulas(*tables, "missing.svs", nullptr));
  EXPECT_TRUE(LoadTemas(*tables, "missing.svs"));
}

TEST(DataSetFiles, ReservedNamesTakeTheFirstFreeSuffix) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/Original-1.vl2", {});
  ScratchFolder::Write("datos/Original-2.vl2", {});
  ScratchFolder::Write("datos/Original-4.vl2", {});
  EXPECT_EQ(FirstFreeSaveName("Original"), "Original-3");
  EXPECT_EQ(FirstFreeSaveName("Nuevo"), "Nuevo-1");
  EXPECT_TRUE(IsReservedName("Original"));
  EXPECT_TRUE(IsReservedName("Nuevo"));
  EXPECT_FALSE(IsReservedName("original"));
}

TEST(DataSetFiles, SaveAsNames) {
  struct {
    const char* path;
    bool refused;
  } cases[] = {{"/w/datos/Nuevo.vl2", true},    {"/w/datos/ORIGINAL.vl2", true}, {"/w/datos/MiNuevo.vl2", true},
               {"/w/datos/MiOriginal.VL2", true}, {"/w/datos/Nuevo1.vl2", false}, {"/w/datos/Soleares.vl2", false}};
  for (auto c : cases) EXPECT_EQ(IsRefusedSaveAsPath(c.path), c.refused) << c.path;

  EXPECT_EQ(WithListExtension("/w/datos/a"), "/w/datos/a.vl2");
  EXPECT_EQ(WithListExtension("/w/datos/a.VL2"), "/w/datos/a.VL2");
  EXPECT_EQ(NameFromListPath("/w/datos/Mio.vl2").value_or("?"), "Mio");
  EXPECT_EQ(NameFromListPath("/w/datos/x/datos/Mio.vl2").value_or("?"), "x/datos/Mio");
  EXPECT_FALSE(NameFromListPath("/w/Datos/Mio.vl2").has_value());  // exact case
  EXPECT_FALSE(NameFromListPath("/w/other/Mio.vl2").has_value());
  EXPECT_EQ(WorkingFolderOfListFile("/w/run/datos/Mio.vl2"), "/w/run");
}

TEST(DataSetFiles, FileComponentsNeverLeaveTheFolder) {
  for (const char* bad : {"", ".", "..", "a/b", "../x", "a\\b"}) EXPECT_FALSE(IsSafeFileComponent(bad)) << bad;
  for (const char* good : {"Soleá", "Tema 1", "..a"}) EXPECT_TRUE(IsSafeFileComponent(good)) << good;
}

TEST(DataSetFiles, SaveWritesAllFilesOrNone) {
  ScratchFolder dir;
  auto tables = RhythmTables::Create();
  tables->Formulas[0].SetName("Uno");
  tables->Formulas[0].header = 4;
  std::string err;
  ASSERT_TRUE(SaveDataSetFiles(*tables, "Mio", 2, 1, {"Palmas", "Cajon"}, &err)) << err;
  EXPECT_EQ(ScratchFolder::Read("datos/Mio/formulas.svs").size(), 1800u);
  EXPECT_EQ(ScratchFolder::Read("datos/Mio/temas.svs").size(), 1612u);
  const auto list = ScratchFolder::Read("datos/Mio.vl2");
  EXPECT_EQ(std::string(list.begin(), list.end()), "Palmas\r\nCajon\r\n");
  std::vector<std::string> names;
  ASSERT_TRUE(ReadSoundList("datos/Mio.vl2", &names));
  EXPECT_EQ(names, (std::vector<std::string>{"Palmas", "Cajon"}));

  // A failure on any one file leaves all three as they were, and no temporaries.
  const auto before = ScratchFolder::Read("datos/Mio/formulas.svs");
  for (int nth = 1; nth <= 3; ++nth) {
    SetWriteFailureForTests(nth);
    tables->Formulas[0].SetName("Cambiada");
    EXPECT_FALSE(SaveDataSetFiles(*tables, "Mio", 5, 3, {"Otro"}, &err));
    SetWriteFailureForTests(0);
    EXPECT_NE(err.find("datos/Mio"), std::string::npos) << err;
    EXPECT_EQ(ScratchFolder::Read("datos/Mio/formulas.svs"), before);
    EXPECT_EQ(ScratchFolder::Read("datos/Mio/temas.svs").size(), 1612u);
    EXPECT_EQ(ScratchFolder::Read("datos/Mio.vl2"), list);
  }
  int entries = 0;
  for (auto& e : std::filesystem::recursive_directory_iterator("datos")) entries += e.is_regular_file();
  EXPECT_EQ(entries, 3);
}

#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer reserves more address space than any limit here
TEST(DataSetFiles, GuitarTracksAreCopiedWithoutHoldingThemInMemory) {
  ScratchFolder dir;
  MakeDirs("datos/B");
  constexpr off_t kSize = off_t{64} << 20;
  {
    // Mostly a hole, with marks at both ends to check the copy by.
    ScratchFolder::Write("datos/A/Larga.gtr", {1, 2, 3});
    std::fstream f("datos/A/Larga.gtr", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(kSize - 3);
    f.write("\x04\x05\x06", 3);
  }
  ASSERT_EQ(std::filesystem::file_size("datos/A/Larga.gtr"), static_cast<uintmax_t>(kSize));
  // The copy runs in a child allowed 16 MiB of address space beyond what it
  // starts with: enough for a buffer, far from enough for the file.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (16 << 20);
    const rlimit r{limit, limit};
    if (::setrlimit(RLIMIT_AS, &r) != 0) ::_exit(3);
    try {  // the limit must hold, or this test proves nothing
      std::vector<uint8_t> big(32 << 20, 1);
      volatile uint8_t touched = big[12345];
      (void)touched;
      ::_exit(2);
    } catch (const std::bad_alloc&) {
    }
    try {
      std::vector<std::string> failures;
      const auto copied = CopyGuitarTracks("datos/A", "datos/B", &failures);
      ::_exit(copied.size() == 1 && failures.empty() ? 0 : 1);
    } catch (...) {
      ::_exit(4);
    }
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "1 failed, 2 limit not in force, 3 no limit, 4 out of memory";
  ASSERT_EQ(std::filesystem::file_size("datos/B/Larga.gtr"), static_cast<uintmax_t>(kSize));
  std::ifstream in("datos/B/Larga.gtr", std::ios::binary);
  char head[3] = {}, tail[3] = {};
  in.read(head, 3);
  in.seekg(kSize - 3);
  in.read(tail, 3);
  EXPECT_EQ(std::string(head, 3), std::string("\x01\x02\x03", 3));
  EXPECT_EQ(std::string(tail, 3), std::string("\x04\x05\x06", 3));
}
#endif

TEST(DataSetFiles, AFailedGuitarTrackCopyLeavesTheTargetAndNoTemporary) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/A/Solea.gtr", {1, 2, 3});
  ScratchFolder::Write("datos/B/Solea.gtr", {7});
  SetWriteFailureForTests(1);
  std::vector<std::string> failures;
  const auto copied = CopyGuitarTracks("datos/A", "datos/B", &failures);
  SetWriteFailureForTests(0);
  EXPECT_TRUE(copied.empty());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("datos/B/Solea.gtr"), std::string::npos) << failures[0];
  EXPECT_EQ(ScratchFolder::Read("datos/B/Solea.gtr"), (std::vector<uint8_t>{7}));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("datos/B")) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(DataSetFiles, SaveIntoAnUnwritablePlaceFails) {
  ScratchFolder dir;
  auto tables = RhythmTables::Create();
  ScratchFolder::Write("datos/Mio", {1});  // a file where the set's folder should be
  std::string err;
  EXPECT_FALSE(SaveDataSetFiles(*tables, "Mio", 1, 1, {}, &err));
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(FileExists("datos/Mio.vl2"));
}

TEST(DataSetFiles, GuitarTracksAreCopied) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/A/Solea.gtr", {1, 2, 3});
  ScratchFolder::Write("datos/A/notes.txt", {4});
  MakeDirs("datos/B");
  ScratchFolder::Write("datos/A/Tango.gtr", {5});
  ScratchFolder::Write("datos/B/Solea.gtr", {7});  // replaced
  MakeDirs("datos/B/Tango.gtr");                    // cannot be replaced
  std::vector<std::string> failures;
  const auto copied = CopyGuitarTracks("datos/A", "datos/B", &failures);
  EXPECT_EQ(copied, std::vector<std::string>{"datos/A/Solea.gtr"});
  EXPECT_EQ(ScratchFolder::Read("datos/B/Solea.gtr"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_FALSE(FileExists("datos/B/notes.txt"));
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("Tango.gtr"), std::string::npos) << failures[0];
}

TEST(DataSetFiles, AGuitarTrackThatIsASymlinkLoopIsReportedAndTheRestCopied) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/A/Alegrias.gtr", {1});
  ScratchFolder::Write("datos/A/Tango.gtr", {2});
  std::filesystem::create_symlink("Bucle.gtr", "datos/A/Bucle.gtr");  // points at itself
  MakeDirs("datos/B");
  std::vector<std::string> failures;
  const auto copied = CopyGuitarTracks("datos/A", "datos/B", &failures);
  EXPECT_EQ(copied, (std::vector<std::string>{"datos/A/Alegrias.gtr", "datos/A/Tango.gtr"}));
  EXPECT_EQ(ScratchFolder::Read("datos/B/Tango.gtr"), (std::vector<uint8_t>{2}));
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("Bucle.gtr"), std::string::npos) << failures[0];
}

TEST(DataSetFiles, ASaveRemovesTheTemporariesOfEndedProcessesOnly) {
  ScratchFolder dir;
  // The id of a process that has ended and been reaped.
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  const std::string ended = std::to_string(child);
  const std::string running = std::to_string(::getppid());
  const std::string own = std::to_string(::getpid());
  ScratchFolder::Write("datos/Mio/formulas.svs.tmp-" + ended, {1});
  ScratchFolder::Write("datos/Mio/guitarra.gtr.tmp-" + ended, {1});
  ScratchFolder::Write("datos/Mio.vl2.tmp-" + ended, {1});
  ScratchFolder::Write("datos/Mio/temas.svs.tmp-" + running, {2});
  ScratchFolder::Write("datos/Mio/notas.tmp-" + own, {3});
  ScratchFolder::Write("datos/Mio/notas.tmp-x" + ended, {4});
  ScratchFolder::Write("datos/Otro/temas.svs.tmp-" + ended, {5});  // another set's folder
  auto tables = RhythmTables::Create();
  std::string err;
  ASSERT_TRUE(SaveDataSetFiles(*tables, "Mio", 1, 1, {"Palmas"}, &err)) << err;
  EXPECT_FALSE(std::filesystem::exists("datos/Mio/formulas.svs.tmp-" + ended));
  EXPECT_FALSE(std::filesystem::exists("datos/Mio/guitarra.gtr.tmp-" + ended));
  EXPECT_FALSE(std::filesystem::exists("datos/Mio.vl2.tmp-" + ended));
  EXPECT_TRUE(std::filesystem::exists("datos/Mio/temas.svs.tmp-" + running));
  EXPECT_TRUE(std::filesystem::exists("datos/Mio/notas.tmp-" + own));
  EXPECT_TRUE(std::filesystem::exists("datos/Mio/notas.tmp-x" + ended));
  EXPECT_TRUE(std::filesystem::exists("datos/Otro/temas.svs.tmp-" + ended));
  EXPECT_EQ(ScratchFolder::Read("datos/Mio/formulas.svs").size(), sizeof(Formula));
}
