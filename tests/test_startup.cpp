#include <gtest/gtest.h>

#include <stdexcept>

#include "app/startup.h"
#include "temp_dir.h"

TEST(StartupLogic, CommandLineSet) {
  ScratchFolder dir;
  auto s = FindCommandLineSet({"-style", "datos/Tangos.vl2"});
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->name, "Tangos");
  EXPECT_EQ(s->workingFolder, dir.path());

  s = FindCommandLineSet({"/w/run/datos/Bulerias 1.vl2"});
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->name, "Bulerias 1");
  EXPECT_EQ(s->workingFolder, "/w/run");

  EXPECT_FALSE(FindCommandLineSet({"datos/Tangos.VL2"}).has_value());
  EXPECT_FALSE(FindCommandLineSet({".vl2", "x.txt"}).has_value());
  EXPECT_FALSE(FindCommandLineSet({}).has_value());
}

TEST(StartupLogic, TunerInput) {
  EXPECT_TRUE(TunerInputIsMicrophone("Microfono"));
  EXPECT_FALSE(TunerInputIsMicrophone("microfono"));
  EXPECT_FALSE(TunerInputIsMicrophone("Metronomo"));
}

TEST(StartupLogic, GuitarSets) {
  ScratchFolder dir;
  ScratchFolder::Write("BancoDeSonidos/Requinto/c6.wav", {1});
  ScratchFolder::Write("BancoDeSonidos/Requinto.old/c6.wav", {1});
  ScratchFolder::Write("BancoDeSonidos/Vacia/c1.wav", {1});
  ScratchFolder::Write("BancoDeSonidos/Guitarra/c6.wav", {1});
  ScratchFolder::Write("BancoDeSonidos/suelto.wav", {1});
  EXPECT_EQ(GuitarSetNames("BancoDeSonidos"), (std::vector<std::string>{"Guitarra", "Requinto"}));
}

TEST(StartupLogic, GuitarSetsInNameOrderRegardlessOfCase) {
  ScratchFolder dir;
  for (const char* n : {"requinto", "Flamenca", "alegre", "Zurda"})
    ScratchFolder::Write(std::string("BancoDeSonidos/") + n + "/c6.wav", {1});
  EXPECT_EQ(GuitarSetNames("BancoDeSonidos"), (std::vector<std::string>{"alegre", "Flamenca", "requinto", "Zurda"}));
}

TEST(StartupLogic, EscapedExceptionText) {
  struct {
    std::exception_ptr e;
    std::string text;
  } cases[] = {{std::make_exception_ptr(std::runtime_error("no memory for the bank")), "no memory for the bank"},
               {std::make_exception_ptr(42), ""},
               {std::make_exception_ptr(std::string("text")), ""},
               {nullptr, ""}};
  for (const auto& c : cases) EXPECT_EQ(EscapedExceptionText(c.e), c.text);
}

TEST(StartupLogic, ACommandLinePathWithSpacesSplitByTheShellIsJoined) {
  ScratchFolder dir;
  ScratchFolder::Write("datos/Mi set.vl2", {'P', '\r', '\n'});
  ScratchFolder::Write("datos/Bulerias 1.vl2", {'P', '\r', '\n'});

  auto s = FindCommandLineSet({"datos/Mi", "set.vl2"});
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->name, "Mi set");
  EXPECT_EQ(s->workingFolder, dir.path());

  s = FindCommandLineSet({"-style", "fusion", dir.path() + "/datos/Bulerias", "1.vl2"});
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->name, "Bulerias 1");
  EXPECT_EQ(s->workingFolder, dir.path());

  // A set not made yet: the join that lies in a datos folder.
  s = FindCommandLineSet({"datos/Nuevo", "de", "hoy.vl2"});
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->name, "Nuevo de hoy");
  EXPECT_EQ(s->workingFolder, dir.path());

  // An argument that is a list path alone is not joined.
  s = FindCommandLineSet({"datos/Mi", "datos/Bulerias 1.vl2"});
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->name, "Bulerias 1");
  s = FindCommandLineSet({"extra", "datos/Otro.vl2"});
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->name, "Otro");
  EXPECT_EQ(s->workingFolder, dir.path());
}
