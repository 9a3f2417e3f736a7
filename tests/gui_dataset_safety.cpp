// The data set in the window when the disk is not as it should be: entries
// whose kind cannot be told, folders that cannot be written.
#include <QListWidget>
#include <filesystem>

#include "gui_fixture.h"
#include "platform/files/atomic_file.h"
#include "rhythm/dataset.h"

namespace fs = std::filesystem;

TEST_F(WindowTest, ASoundThatIsASymlinkLoopLeavesTheSetOpen) {
  fs::create_symlink("Bucle.wav", "BancoDeSonidos/Bucle.wav");  // points at itself
  Start();
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
  EXPECT_GT(form->Rhythm->FormulaCount, 1);
  EXPECT_EQ(form->SGFormulas->RowCount(), form->Rhythm->FormulaCount + 1);
  EXPECT_EQ(form->SGTemas->RowCount(), form->Rhythm->TemaCount + 1);
  EXPECT_GT(form->LBwavs->count(), 0);
  EXPECT_TRUE(form->LBwavs->findItems("Bucle", Qt::MatchExactly).isEmpty());
}

TEST_F(WindowTest, SaveAsCopiesTheOtherTracksAndSaysWhichOneFailed) {
  Start();
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/Mio.vl2")};
  form->Guardarcomo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Mio");
  ScratchFolder::Write("datos/Mio/Alegrias.gtr", {1});
  ScratchFolder::Write("datos/Mio/Tango.gtr", {2});
  fs::create_symlink("Bucle.gtr", "datos/Mio/Bucle.gtr");
  form->Visor->clear();
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/Otro.vl2")};
  form->Guardarcomo1Click();
  ASSERT_EQ(form->DataSet.DataSetName, "Otro");
  EXPECT_EQ(ScratchFolder::Read("datos/Otro/Alegrias.gtr"), (std::vector<uint8_t>{1}));
  EXPECT_EQ(ScratchFolder::Read("datos/Otro/Tango.gtr"), (std::vector<uint8_t>{2}));
  EXPECT_TRUE(LogHas("No se ha podido copiar datos/Mio/Bucle.gtr")) << form->Visor->toPlainText().toStdString();
}
