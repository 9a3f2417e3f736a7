// The data-set commands in the window: open, save, save as, new, undo all,
// new formulas and themes and the table limits.
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include "gui_fixture.h"
#include "platform/files/atomic_file.h"
#include "rhythm/dataset.h"

namespace {
QString IniValue(const char* key) {
  QSettings s("DRAV_PROF.ini", QSettings::IniFormat);
  return s.value(QString("METRONOMO/") + key).toString();
}
}  // namespace

TEST_F(WindowTest, FactorySetOpensWithEveryRecordValid) {
  Start();
  EXPECT_EQ(form->windowTitle(), "Velarto Quendrel - Original");
  // The set's name beside the sounds panel's caption, not in it as well.
  EXPECT_EQ(form->PanelSonidos->title(), "   Sonidos ");
  EXPECT_EQ(form->Label21->text(), "Original");
  const FactorySet fs = BuildFactorySet();
  ASSERT_EQ(form->Rhythm->FormulaCount, static_cast<int>(fs.formulas.size()));
  ASSERT_EQ(form->Rhythm->TemaCount, static_cast<int>(fs.temas.size()));
  EXPECT_EQ(form->SGFormulas->RowCount(), form->Rhythm->FormulaCount + 1);
  EXPECT_EQ(form->SGTemas->RowCount(), form->Rhythm->TemaCount + 1);
  for (int i = 0; i < form->Rhythm->FormulaCount; ++i) {
    const Formula& f = form->Rhythm->Formulas[i];
    EXPECT_GE(f.Beats(), 1);
    EXPECT_LE(f.Beats(), 12);
    EXPECT_EQ(form->SGFormulas->Cells(2, i + 1).toLatin1().toStdString(), f.Name());
  }
  for (int t = 0; t < form->Rhythm->TemaCount; ++t) {
    const Tema& th = form->Rhythm->Temas[t];
    EXPECT_GE(th.entryCount, 1);
    for (int e = 0; e < th.entryCount; ++e) EXPECT_LT(th.formulas[e], form->Rhythm->FormulaCount);
  }
  EXPECT_EQ(form->LBIns->count(), static_cast<int>(fs.sounds.size()));
  EXPECT_EQ(form->LBwavs->count(), static_cast<int>(fs.sounds.size()));
  EXPECT_FALSE(form->Modified());
  EXPECT_EQ(IniValue("archivo"), "Original");
  EXPECT_EQ(form->Rhythm->CurrentTema, 0);
  EXPECT_EQ(form->SGSaco->RowCount(), form->Rhythm->Temas[0].entryCount + 2);
}

TEST_F(WindowTest, SavingTheFactorySetTakesTheFirstFreeName) {
  ScratchFolder::Write("datos/Original-1.vl2", {'x'});
  ScratchFolder::Write("datos/Original-2.vl2", {'y'});
  Start();
  const auto formulas = ScratchFolder::Read("datos/Original/formulas.svs");
  const auto temas = ScratchFolder::Read("datos/Original/temas.svs");
  const auto list = ScratchFolder::Read("datos/Original.vl2");
  form->Rhythm->Formulas[0].SetName("Changed");
  form->Cambios();
  ASSERT_TRUE(form->Modified());
  dlg->answers = {kAnswerYes};
  form->botonrecClick();
  EXPECT_EQ(dlg->questions.value(0), QString::fromUtf8("¿ Quiere guardar los cambios realizados ?"));
  EXPECT_EQ(dlg->questionCaptions.value(0), QString());
  EXPECT_EQ(form->DataSet.DataSetName, "Original-3");
  EXPECT_EQ(form->Label21->text(), "Original-3");
  EXPECT_EQ(LastLog(), "Datos guardados");
  EXPECT_FALSE(form->Modified());
  EXPECT_EQ(IniValue("archivo"), "Original-3");
  EXPECT_EQ(ScratchFolder::Read("datos/Original/formulas.svs"), formulas);
  EXPECT_EQ(ScratchFolder::Read("datos/Original/temas.svs"), temas);
  EXPECT_EQ(ScratchFolder::Read("datos/Original.vl2"), list);
  EXPECT_EQ(ScratchFolder::Read("datos/Original-3/formulas.svs").size(), formulas.size());
  EXPECT_EQ(ScratchFolder::Read("datos/Original-3.vl2"), list);
}

TEST_F(WindowTest, SaveQuestionOtherThanYesWritesNothing) {
  Start();
  for (int answer : {kAnswerNo, kAnswerCancel}) {
    form->Cambios();
    dlg->answers = {answer};
    EXPECT_FALSE(form->SaveDataSet());
    EXPECT_EQ(form->DataSet.SaveAnswer, answer);
    EXPECT_TRUE(form->Modified());
    EXPECT_FALSE(FileExists("datos/Original-1.vl2"));
    EXPECT_FALSE(LogHas("Datos guardados"));
  }
}

TEST_F(WindowTest, FailedSaveLosesNothing) {
  Start();
  // A set of our own, saved once.
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/Mio.vl2")};
  form->Guardarcomo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Mio");
  const auto before = ScratchFolder::Read("datos/Mio/formulas.svs");
  form->Visor->clear();

  form->Rhythm->Formulas[0].SetName("Unsaved");
  form->Cambios();
  dlg->answers = {kAnswerYes};
  SetWriteFailureForTests(2);
  const bool saved = form->SaveDataSet();
  SetWriteFailureForTests(0);
  EXPECT_FALSE(saved);
  EXPECT_TRUE(form->Modified());
  EXPECT_FALSE(LogHas("Datos guardados"));
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_TRUE(dlg->messages[0].startsWith("No se han podido guardar los datos:")) << dlg->messages[0].toStdString();
  EXPECT_EQ(ScratchFolder::Read("datos/Mio/formulas.svs"), before);
  EXPECT_EQ(form->Rhythm->Formulas[0].Name(), "Unsaved");  // still in memory

  // The same in English, and a factory set keeps its name when its save fails.
  form->English = true;
  form->Original1Click();  // answered: nothing queued, Cancel: stays on Mio
  EXPECT_EQ(form->DataSet.DataSetName, "Mio");
  dlg->answers = {kAnswerYes};
  SetWriteFailureForTests(1);
  form->SaveDataSet();
  SetWriteFailureForTests(0);
  EXPECT_TRUE(dlg->messages.last().startsWith("The data could not be saved:"));
}

TEST_F(WindowTest, SaveAsRefusesReservedNamesAndCopiesGuitarTracks) {
  Start();
  ScratchFolder::Write("datos/Original/Solea.gtr", {9, 9});
  const QString d = QString::fromStdString(dir.path() + "/datos/");
  dlg->saveNames = {d + "Nuevo.vl2", d + "ORIGINAL.vl2", d + "MiNuevo", "/elsewhere/x.vl2", d + "Nuevo1.vl2"};
  form->Guardarcomo1Click();
  const QString refused = "Seleccione un nombre distinto a Original o Nuevo";
  EXPECT_EQ(dlg->messages, (QStringList{refused, refused, refused}));
  EXPECT_EQ(dlg->fileRequests.size(), 5u);
  EXPECT_TRUE(dlg->questions.isEmpty());  // save as asks nothing
  EXPECT_EQ(form->DataSet.DataSetName, "Nuevo1");
  EXPECT_EQ(form->windowTitle(), "Velarto Quendrel - Nuevo1");
  EXPECT_TRUE(FileExists("datos/Nuevo1.vl2"));
  EXPECT_TRUE(FileExists("datos/Nuevo1/formulas.svs"));
  EXPECT_EQ(ScratchFolder::Read("datos/Nuevo1/Solea.gtr"), (std::vector<uint8_t>{9, 9}));
  EXPECT_TRUE(LogHas("datos/Original/Solea.gtr"));
  EXPECT_EQ(IniValue("archivo"), "Nuevo1");

  // Cancelling the dialog changes nothing.
  form->Guardarcomo1Click();
  EXPECT_EQ(form->DataSet.DataSetName, "Nuevo1");

  // A folder change points the next dialog at "datos".
  ASSERT_TRUE(dlg->fileRequests.back().onFolderChange);
  dlg->fileRequests.back().onFolderChange("/tmp");
  EXPECT_EQ(form->SaveAsInitialDir, "datos");
}

TEST_F(WindowTest, MissingListOpensAsCopyOfTheFactoryList) {
  QSettings("DRAV_PROF.ini", QSettings::IniFormat).setValue("METRONOMO/archivo", "Perdido");
  Start();
  EXPECT_EQ(form->DataSet.DataSetName, "Perdido");
  EXPECT_EQ(ScratchFolder::Read("datos/Perdido.vl2"), ScratchFolder::Read("datos/Original.vl2"));
  EXPECT_TRUE(DirExists("datos/Perdido"));
  EXPECT_EQ(form->Rhythm->FormulaCount, 1);
  EXPECT_EQ(form->Rhythm->TemaCount, 1);
  EXPECT_TRUE(form->DataSet.FreshSet);
}

TEST_F(WindowTest, OpenAsksToSaveAndCancelStopsIt) {
  Start();
  form->Rhythm->Formulas[0].SetName("Edited");
  form->Cambios();
  const QString other = QString::fromStdString(dir.path() + "/datos/Original.vl2");
  dlg->answers = {kAnswerCancel};
  dlg->openNames = {other};
  form->Abrir2Click();
  EXPECT_TRUE(dlg->fileRequests.empty());  // the open stopped before its dialog
  EXPECT_EQ(form->Rhythm->Formulas[0].Name(), "Edited");
  EXPECT_TRUE(form->Modified());

  // Answered No: the open goes on; a cancelled dialog reads the set again.
  dlg->answers = {kAnswerNo};
  dlg->openNames.clear();
  form->Abrir2Click();
  EXPECT_NE(form->Rhythm->Formulas[0].Name(), "Edited");
  EXPECT_FALSE(form->Modified());
  ASSERT_EQ(dlg->fileRequests.size(), 1u);
  EXPECT_EQ(dlg->fileRequests[0].filter, "Archivos DRAVv2|*.vl2");
}

TEST_F(WindowTest, OpenChoosesAnotherSet) {
  Start();
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/Otro.vl2")};
  form->Guardarcomo1Click();
  form->Original1Click();
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
  dlg->openNames = {QString::fromStdString(dir.path() + "/datos/Otro")};  // no extension typed
  form->Abrir2Click();
  EXPECT_EQ(form->DataSet.DataSetName, "Otro");
  EXPECT_EQ(form->windowTitle(), "Velarto Quendrel - Otro");
  EXPECT_EQ(IniValue("archivo"), "Otro");
}

TEST_F(WindowTest, NewAsksFirstThenStartsAnEmptySet) {
  Start();
  form->Cambios();
  dlg->answers = {kAnswerCancel};
  form->Nuevo1Click();
  EXPECT_EQ(form->DataSet.DataSetName, "Original");  // Cancel: nothing renamed

  dlg->answers = {kAnswerNo};
  form->TB2->setValue(250);
  form->Nuevo1Click();
  EXPECT_EQ(dlg->questions.size(), 2);  // asked once, not again by the open
  EXPECT_EQ(form->DataSet.DataSetName, "Nuevo");
  EXPECT_EQ(form->DataSet.PreviousDataSetName, "Original");
  EXPECT_TRUE(FileExists("Nuevo.vl2"));
  EXPECT_EQ(form->Rhythm->FormulaCount, 1);
  EXPECT_EQ(form->Rhythm->Temas[0].entryCount, 0);
  EXPECT_EQ(form->Rhythm->Temas[0].tempos[0], 120);
  EXPECT_EQ(form->TB1->value(), 300);
  EXPECT_EQ(form->SGTemas->Cells(0, 1), "1");
  EXPECT_TRUE(form->RadioButton1->isChecked());
  EXPECT_TRUE(form->Rhythm->Temas[0].InOrder());  // "Normal" switched on by its click
  EXPECT_TRUE(form->Modified());                  // a new set is not on disk yet

  // Saving it never writes "Nuevo".
  form->Cambios();
  dlg->answers = {kAnswerYes};
  ASSERT_TRUE(form->SaveDataSet());
  EXPECT_EQ(form->DataSet.DataSetName, "Nuevo-1");
  EXPECT_TRUE(FileExists("datos/Nuevo-1.vl2"));
  EXPECT_FALSE(FileExists("datos/Nuevo/formulas.svs"));
}

TEST_F(WindowTest, UndoAllRestoresGridPositions) {
  Start();
  ASSERT_GE(form->SGFormulas->RowCount(), 4);
  ASSERT_GE(form->SGTemas->RowCount(), 3);
  // Select as the user does: each selection loads what it shows.
  form->SGTemas->Select(1, 2);
  form->SGTemasSelectCell(1, 2);
  ASSERT_GE(form->SGSaco->RowCount(), 3);
  form->SGSaco->Select(2, 2);
  form->SGSacoSelectCell(2, 2);
  form->SGFormulas->Select(2, 3);
  form->SGFormulasSelectCell(2, 3);
  form->SGDatosFormula->Select(3, 5);
  form->SGDatosFormulaSelectCell(3, 5);
  form->Rhythm->Formulas[2].SetName("Lost");
  form->Cambios();
  form->Deshacertodo1Click();
  EXPECT_TRUE(dlg->questions.isEmpty());
  EXPECT_FALSE(form->Modified());
  EXPECT_NE(form->Rhythm->Formulas[2].Name(), "Lost");
  struct {
    const char* grid;
    StringGrid* g;
    int row, col;
  } expected[] = {{"SGTemas", form->SGTemas, 2, 1},
                  {"SGSaco", form->SGSaco, 2, 2},
                  {"SGFormulas", form->SGFormulas, 3, 2},
                  {"SGDatosFormula", form->SGDatosFormula, 5, 3}};
  for (const auto& e : expected) {
    EXPECT_EQ(e.g->Row(), e.row) << e.grid;
    EXPECT_EQ(e.g->Col(), e.col) << e.grid;
  }
  // The editors show what the restored selections name, not the first theme.
  EXPECT_EQ(form->FormulaEd.ShownTema, 1);
  EXPECT_EQ(form->Label2->text().left(7), "Tema 2:");
  EXPECT_EQ(form->FormulaEd.ShownFormula, 2);
  EXPECT_EQ(form->Rhythm->CurrentFormula, 2);
  EXPECT_EQ(form->FormulaEd.SelectedTrack, 4);
}

TEST_F(WindowTest, NewFormulaCopiesTheSelectedOneWithAnEmptyName) {
  Start();
  form->SGFormulas->Select(1, 5);
  form->SGFormulasSelectCell(1, 5);
  const Formula src = form->Rhythm->Formulas[4];
  const int before = form->Rhythm->FormulaCount;
  form->Nuevafrmula1Click();
  ASSERT_EQ(form->Rhythm->FormulaCount, before + 1);
  const Formula& f = form->Rhythm->Formulas[before];
  EXPECT_EQ(std::memcmp(&f, &src, offsetof(Formula, name)), 0);
  EXPECT_EQ(std::string(f.name, 16), std::string(16, '\0'));
  EXPECT_EQ(f.accents, src.accents);
  EXPECT_EQ(f.spare, src.spare);
  EXPECT_TRUE(form->Modified());  // a new formula is an edit that a close must ask about
  EXPECT_EQ(form->Rhythm->CurrentFormula, before);
  EXPECT_EQ(form->SGFormulas->Cells(0, before + 1), QString::number(before + 1));

  form->ClearModified();
  form->Limpiarfrmula1Click();
  for (int b = 0; b < 12; ++b)
    for (int t = 0; t < 16; ++t) EXPECT_EQ(form->Rhythm->Formulas[before].cells[b][t], 0);
  EXPECT_TRUE(form->Modified());
  EXPECT_EQ(form->Rhythm->Formulas[before].header, src.header);
}

TEST_F(WindowTest, NewThemeDefaultsAndTableLimits) {
  Start();
  const int r = form->SGTemas->RowCount() - 1;
  form->TB2->setValue(270);
  form->RadioButton2->setChecked(true);
  form->Nuevotema1Click();
  const Tema& t = form->Rhythm->Temas[r];
  EXPECT_EQ(t.entryCount, 0);
  EXPECT_EQ(t.tempos[0], 150);
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(t.pan[i], 16) << i;
    EXPECT_EQ(t.volume[i], 8) << i;
  }
  EXPECT_TRUE(t.InOrder());
  EXPECT_TRUE(form->RadioButton1->isChecked());
  EXPECT_FLOAT_EQ(t.gain, 1.0f);
  EXPECT_EQ(form->SGTemas->Cells(0, r + 1), QString::number(r + 1));
  EXPECT_TRUE(form->Modified());

  // Full tables refuse with a message instead of writing past their end.
  form->Rhythm->TemaCount = kMaxTemas;
  form->SGTemas->SetRowCount(kMaxTemas + 1);
  form->Nuevotema1Click();
  EXPECT_EQ(form->SGTemas->RowCount(), kMaxTemas + 1);
  form->Rhythm->FormulaCount = kMaxFormulas;
  form->SGFormulas->SetRowCount(kMaxFormulas + 1);
  form->SGFormulas->Select(1, kMaxFormulas);
  form->Nuevafrmula1Click();
  EXPECT_EQ(form->SGFormulas->RowCount(), kMaxFormulas + 1);
  EXPECT_EQ(dlg->messages.size(), 2);
}

TEST_F(WindowTest, EditingWhilePlayingAThemeShowsNoSaveButton) {
  Start();
  form->BotonPlayCompClick();
  ASSERT_TRUE(form->Deck->IsPlaying() && form->Deck->ThemePlays());
  form->Cambios();
  EXPECT_FALSE(form->Modified());
  form->Stop1Click();
  form->Cambios();
  EXPECT_TRUE(form->Modified());
  EXPECT_FALSE(form->TapaRec->isVisible() && form->botonrec->isVisible());
}
