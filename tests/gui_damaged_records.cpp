// Record files that are damaged (random bytes, empty, cut short, 1 MB) open
// with every value in its range, one message per file naming it and how many
// records were mended, and nothing on disk changed until a save.
#include <random>

#include "gui_fixture.h"
#include "platform/files/atomic_file.h"
#include "rhythm/editor_logic.h"

namespace {
std::vector<uint8_t> RandomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> b(n);
  for (auto& x : b) x = static_cast<uint8_t>(rng());
  return b;
}
}  // namespace

TEST_F(WindowTest, DamagedRecordFilesOpenInRangeWithOneMessageEach) {
  Start();
  const QString list = QString::fromStdString(dir.path() + "/datos/Mio.vl2");
  ScratchFolder::Write("datos/Mio.vl2", ScratchFolder::Read("datos/Original.vl2"));
  const struct Case {
    const char* what;
    std::vector<uint8_t> formulas, temas;
    int formulaCount, temaCount;
  } cases[] = {
      {"random bytes", RandomBytes(5 * sizeof(Formula), 1), RandomBytes(3 * sizeof(Tema), 2), 5, 3},
      {"empty", {}, {}, 0, 0},
      {"cut short", RandomBytes(2 * sizeof(Formula) + 17, 3), RandomBytes(sizeof(Tema) - 1, 4), 2, 0},
      {"1 MB", RandomBytes(1 << 20, 5), RandomBytes(1 << 20, 6), kMaxFormulas, kMaxTemas},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder::Write("datos/Mio/formulas.svs", c.formulas);
    ScratchFolder::Write("datos/Mio/temas.svs", c.temas);
    dlg->messages.clear();
    dlg->openNames = {list};
    form->Abrir2Click();
    ASSERT_EQ(form->DataSet.DataSetName, "Mio");
    EXPECT_EQ(form->Rhythm->FormulaCount, c.formulaCount);
    EXPECT_EQ(form->Rhythm->TemaCount, c.temaCount);
    const int sounds = static_cast<int>(form->SoundList.size());
    for (int i = 0; i < form->Rhythm->FormulaCount; ++i) {
      const Formula& f = form->Rhythm->Formulas[static_cast<size_t>(i)];
      EXPECT_LE(f.Beats(), 12);
      EXPECT_LE(f.StartBeat(), 11);
      for (uint8_t s : f.sounds) EXPECT_LE(s, sounds);
    }
    for (int i = 0; i < form->Rhythm->TemaCount; ++i) {
      const Tema& t = form->Rhythm->Temas[static_cast<size_t>(i)];
      EXPECT_GE(t.tempos[0], 20);
      EXPECT_LE(t.tempos[0], 400);
      EXPECT_LE(t.entryCount, kMaxEntries);
      for (int e = 0; e < t.entryCount; ++e) EXPECT_LT(t.formulas[e], std::max(1, form->Rhythm->FormulaCount));
    }
    // At most one message per file, each naming its file.
    int formulasMessages = 0, temasMessages = 0;
    for (const QString& m : dlg->messages) {
      formulasMessages += m.startsWith("datos/Mio/formulas.svs");
      temasMessages += m.startsWith("datos/Mio/temas.svs");
    }
    EXPECT_EQ(formulasMessages + temasMessages, dlg->messages.size()) << dlg->messages.join("|").toStdString();
    const bool damaged = std::string(c.what) != "empty";
    EXPECT_EQ(formulasMessages, damaged ? 1 : 0);
    EXPECT_EQ(temasMessages, damaged ? 1 : 0);
    if (std::string(c.what) == "random bytes") {
      EXPECT_TRUE(dlg->messages.join("|").contains("datos/Mio/temas.svs: 3 registros estaban fuera de rango"))
          << dlg->messages.join("|").toStdString();
    }
    // Nothing on disk changed, and the set counts as unchanged.
    EXPECT_EQ(ScratchFolder::Read("datos/Mio/formulas.svs"), c.formulas);
    EXPECT_EQ(ScratchFolder::Read("datos/Mio/temas.svs"), c.temas);
    EXPECT_FALSE(form->Modified());
    // The sequence grid and the editor state name the same theme: the first
    // one when there is one, none (not the theme of the set before) when the
    // open left the grid empty.
    if (form->Rhythm->TemaCount > 0) {
      EXPECT_EQ(form->FormulaEd.ShownTema, 0);
      EXPECT_EQ(form->SGSaco->RowCount(), EntriesOf(form->Rhythm->Temas[0]) + 2);
    } else {
      EXPECT_EQ(form->FormulaEd.ShownTema, -1);
      EXPECT_EQ(form->EditedTema(), -1);
      EXPECT_EQ(form->SGSaco->RowCount(), 2);
    }
    // The first theme plays at a tempo in range.
    if (form->Rhythm->TemaCount > 0) {
      EXPECT_LE(form->Engine->CurrentBpm, 400.0f);
    }
  }
}
