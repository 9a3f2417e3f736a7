// The data set in the window when the disk is not as it should be: entries
// whose kind cannot be told, folders that cannot be written.
#include <QListWidget>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {
// Runs f as a user who may not write into a folder of mode 0555: root
// writes anywhere, so as root it runs as "nobody" for that while.
template <typename F>
void AsOrdinaryUser(F f) {
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::seteuid(65534), 0);
  }
  f();
  if (root) {
    ASSERT_EQ(::seteuid(0), 0);
  }
}
}  // namespace

TEST_F(WindowTest, SaveAsIntoAReadOnlyFolderSaysPermissionDenied) {
  Start();
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(::chmod("datos", 0555), 0);
  dlg->saveNames = {QString::fromStdString(dir.path() + "/datos/RO2.vl2")};
  AsOrdinaryUser([&] { form->Guardarcomo1Click(); });
  ::chmod("datos", 0755);
  EXPECT_EQ(form->DataSet.DataSetName, "Original");
  ASSERT_EQ(dlg->messages.size(), 1);
  EXPECT_TRUE(dlg->messages[0].contains("datos/RO2: Permission denied")) << dlg->messages[0].toStdString();
  EXPECT_FALSE(dlg->messages[0].contains("No such file")) << dlg->messages[0].toStdString();
}
