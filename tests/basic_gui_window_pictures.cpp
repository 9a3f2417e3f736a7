// The basic window: damaged pictures and sounds that hold nothing are said
// once in the log, instead of a blank place or a silent track.
#include <QFile>
#include <QTextEdit>
#include <fstream>
#include <string>

#include "basic_gui_fixture.h"

namespace {

std::vector<uint8_t> EmptyWav22050() {
  std::vector<uint8_t> b = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                            16,  0,   0,   0,   1,  0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0,
                            2,   0,   16,  0,   'd', 'a', 't', 'a', 0, 0, 0, 0};
  return b;
}

}  // namespace

TEST_F(BasicWindowTest, DamagedPicturesAndEmptySoundsAreSaidOnce) {
  std::ifstream list("datos/Original.ole");
  std::string name;
  std::getline(list, name);
  while (!name.empty() && (name.back() == '\r' || name.back() == '\n')) name.pop_back();
  ASSERT_FALSE(name.empty());
  const std::string soundPath = "datos/Original/" + name + ".wav";
  ASSERT_TRUE(QFile::exists(QString::fromStdString(soundPath))) << soundPath;
  ScratchFolder::Write(soundPath, EmptyWav22050());
  ScratchFolder::Write("Imagenes/logo_basico.jpg", {0xFF, 0xD8, 'x'});
  Start();
  auto count = [&](const QString& s) { return form->Visor->toPlainText().count(s); };
  EXPECT_EQ(count(QString::fromStdString(soundPath)), 1) << form->Visor->toPlainText().toStdString();
  EXPECT_TRUE(form->Visor->toPlainText().contains(QString::fromUtf8("está vacío")));
  form->DataSet.SilentOpen = true;
  form->Abrir2Click();
  EXPECT_EQ(count(QString::fromStdString(soundPath)), 1);
  form->CreateAboutBox();
  EXPECT_EQ(count("Imagenes/logo_basico.jpg"), 1);
  EXPECT_TRUE(form->Visor->toPlainText().contains(QString::fromUtf8("está dañada")));
}
