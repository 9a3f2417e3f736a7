// Pictures that are damaged or missing and sounds that hold nothing are
// said once in the log, instead of a blank place or a silent track.
#include <QFile>
#include <QStringList>
#include <QTextEdit>
#include <fstream>
#include <string>

#include "gui_fixture.h"

namespace {

// A WAV file of 16-bit mono 44100 Hz with a data chunk of no samples.
std::vector<uint8_t> EmptyWav() {
  auto le32 = [](std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto le16 = [](std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
  };
  std::vector<uint8_t> b = {'R', 'I', 'F', 'F'};
  le32(b, 36);
  for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<uint8_t>(c));
  le32(b, 16);
  le16(b, 1);
  le16(b, 1);
  le32(b, 44100);
  le32(b, 88200);
  le16(b, 2);
  le16(b, 16);
  for (char c : std::string("data")) b.push_back(static_cast<uint8_t>(c));
  le32(b, 0);
  return b;
}

std::string FirstSoundOfTheFactorySet() {
  std::ifstream list("datos/Original.vl2");
  std::string name;
  std::getline(list, name);
  while (!name.empty() && (name.back() == '\r' || name.back() == '\n')) name.pop_back();
  return name;
}

}  // namespace

TEST_F(WindowTest, DamagedPicturesAndEmptySoundsAreSaidOnceInTheUsersLanguage) {
  for (bool english : {false, true}) {
    SCOPED_TRACE(english ? "English" : "Spanish");
    ASSERT_TRUE(WriteWorkingFolder(".", nullptr));
    {
      std::ofstream ini("DRAV_PROF.ini", std::ios::trunc);
      ini << "[METRONOMO]\nIdioma=" << (english ? "Ingles" : "Espanol") << "\n";
    }
    ScratchFolder::Write("Imagenes/metronomo.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 'j', 'u', 'n', 'k'});
    QFile::remove("Imagenes/guitarra.jpg");
    const std::string sound = FirstSoundOfTheFactorySet();
    ASSERT_FALSE(sound.empty());
    const std::string soundPath = "BancoDeSonidos/" + sound + ".wav";
    ScratchFolder::Write(soundPath, EmptyWav());
    Start();
    EXPECT_EQ(form->English, english);
    auto count = [&](const QString& s) { return form->Visor->toPlainText().count(s); };
    auto lineOf = [&](const QString& s) { return form->Visor->toPlainText().split('\n').filter(s).value(0); };
    EXPECT_EQ(count("Imagenes/metronomo.jpg"), 1) << form->Visor->toPlainText().toStdString();
    EXPECT_TRUE(lineOf("Imagenes/metronomo.jpg").contains(english ? "is damaged" : QString::fromUtf8("está dañada")));
    EXPECT_EQ(count("Imagenes/guitarra.jpg"), 1);
    EXPECT_TRUE(lineOf("Imagenes/guitarra.jpg").contains(english ? "is missing" : "no se encuentra"));
    EXPECT_EQ(count(QString::fromStdString(soundPath)), 1);
    EXPECT_TRUE(lineOf(QString::fromStdString(soundPath)).contains(english ? "is empty" : QString::fromUtf8("está vacío")));
    // Opening the set again says the empty sound no more.
    form->DataSet.SilentOpen = true;
    form->Abrir2Click();
    EXPECT_EQ(count(QString::fromStdString(soundPath)), 1);
    // The about box's pictures too.
    ScratchFolder::Write("Imagenes/logo.jpg", {'n', 'o', 'p', 'e'});
    form->CreateAboutBox();
    EXPECT_EQ(count("Imagenes/logo.jpg"), 1);
    form.reset();
  }
}
