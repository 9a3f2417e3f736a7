// The basic window's pages on a scratch working folder: a set saved under a
// new name and opened again, the sound-memory meter, the save question, a
// new set seeded from the factory set, and a formula played at 22050 Hz.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>
#include <filesystem>

#include "basic_gui_fixture.h"
#include "engine/wav.h"
#include "platform/files/atomic_file.h"
#include "platform/ui/desk_theme.h"
#include "rhythm/formats_v1.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const std::string& path) {
  std::vector<uint8_t> b;
  ReadFileBytes(path, 1 << 24, &b);
  return b;
}

// A mono 16-bit sound file with `samples` samples of a ramp.
void WriteSound(const std::string& path, int samples) {
  std::vector<uint8_t> file(44 + 2 * static_cast<size_t>(samples));
  const uint32_t data = 2 * static_cast<uint32_t>(samples);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  std::memcpy(file.data(), "RIFF", 4);
  put32(4, data + 36);
  std::memcpy(file.data() + 8, "WAVEfmt ", 8);
  put32(16, 16);
  file[20] = 1;
  file[22] = 1;
  put32(24, 22050);
  put32(28, 44100);
  file[32] = 2;
  file[34] = 16;
  std::memcpy(file.data() + 36, "data", 4);
  put32(40, data);
  for (int k = 0; k < samples; ++k) {
    const int16_t v = static_cast<int16_t>((k % 200) * 100 - 10000);
    file[44 + 2 * k] = static_cast<uint8_t>(v & 0xFF);
    file[45 + 2 * k] = static_cast<uint8_t>((v >> 8) & 0xFF);
  }
  std::string err;
  ASSERT_TRUE(WriteFileAtomically(path, file, &err)) << err;
}

// A set "Medida" of two sounds whose samples total `bytes` bytes.
void WriteMeterSet(int bytes) {
  fs::create_directories("datos/Medida");
  const int samples = bytes / 2;
  WriteSound("datos/Medida/uno.wav", samples / 2);
  WriteSound("datos/Medida/dos.wav", samples - samples / 2);
  std::string err;
  ASSERT_TRUE(WriteFileAtomically("datos/Medida.ole", {'u', 'n', 'o', '\r', '\n', 'd', 'o', 's', '\r', '\n'}, &err));
}

class BasicPagesTest : public BasicWindowTest {
 protected:
  void OpenSet(const std::string& name) {
    dlg->openNames.push_back(QDir::currentPath() + "/datos/" + QString::fromStdString(name) + ".ole");
    form->Abrir2Click();
  }
  QStringList VisorLines() const { return form->Visor->toPlainText().split('\n', Qt::SkipEmptyParts); }
};

}  // namespace

// Original opened, a formula and a theme edited, saved as "Copia" and opened
// again: the same records and the sound files beside them.
TEST_F(BasicPagesTest, SaveAsAndReopenKeepsRecordsAndFiles) {
  Start();
  form->Original1Click();
  ASSERT_GE(form->SGFormulas->RowCount(), 2);
  ASSERT_GE(form->SGTemas->RowCount(), 2);

  // The first formula: a new name and a pattern cell; the first theme: a name and a tempo.
  form->SGFormulas->Select(2, 1);
  form->SGFormulasSelectCell(2, 1);
  form->SGFormulas->SetCells(2, 1, "Bulea");
  form->SGFormulasSetEditText(2, 1, "Bulea");
  form->SGDatosFormula->Select(2, 1);
  form->SGDatosFormulaSelectCell(2, 1);
  form->SGDatosFormulaSetEditText(2, 1, "3012");
  EXPECT_EQ(form->SGDatosFormula->Cells(2, 1), "3012");
  form->SGTemas->SetCells(1, 1, "Mi tema");
  form->SGTemasSetEditText(1, 1, "Mi tema");
  form->SGTemasSetEditText(2, 1, "133");
  EXPECT_TRUE(form->botonrec->isEnabled());

  const Formula f0 = form->Rhythm->Formulas[0];
  const Tema t0 = form->Rhythm->Temas[0];
  EXPECT_EQ(f0.Name(), "Bulea");
  EXPECT_EQ(t0.tempos[0], 133);

  dlg->saveNames.push_back(QDir::currentPath() + "/datos/Copia");
  form->Guardarcomo1Click();
  EXPECT_FALSE(form->botonrec->isEnabled());
  EXPECT_EQ(form->DataSet.DataSetName, "Copia");
  ASSERT_TRUE(fs::exists("datos/Copia.ole"));
  ASSERT_TRUE(fs::exists("datos/Copia/formulas.van"));
  ASSERT_TRUE(fs::exists("datos/Copia/temas.van"));
  ASSERT_TRUE(fs::exists("datos/Copia/sonidos.van"));
  // Every sound file of Original came along.
  for (const auto& e : fs::directory_iterator("datos/Original")) {
    if (e.path().extension() == ".wav") {
      EXPECT_EQ(Bytes(e.path().string()), Bytes("datos/Copia/" + e.path().filename().string())) << e.path();
    }
  }
  EXPECT_EQ(Bytes("datos/Copia.ole"), Bytes("datos/Original.ole"));

  // The older records on disk hold the edit.
  std::vector<FormulaV1> fv;
  ASSERT_TRUE(ReadFormulasV1("datos/Copia/formulas.van", &fv));
  ASSERT_FALSE(fv.empty());
  EXPECT_EQ(fv[0].Name(), "Bulea");
  EXPECT_EQ(fv[0].Level(0, 0, 0), 3);
  EXPECT_EQ(fv[0].Level(0, 0, 1), 0);
  EXPECT_EQ(fv[0].Level(0, 0, 2), 1);
  EXPECT_EQ(fv[0].Level(0, 0, 3), 2);
  EXPECT_EQ(fv[0].StrokeCount(0, 0), 4);
  std::vector<TemaV1> tv;
  ASSERT_TRUE(ReadTemasV1("datos/Copia/temas.van", &tv));
  ASSERT_FALSE(tv.empty());
  EXPECT_EQ(tv[0].Name(), "Mi tema");
  EXPECT_EQ(tv[0].tempo, 133);

  // Another set in between, then the copy again.
  form->Original1Click();
  EXPECT_NE(form->Rhythm->Formulas[0].Name(), "Bulea");
  const int formulas = static_cast<int>(fv.size());
  const int temas = static_cast<int>(tv.size());
  OpenSet("Copia");
  EXPECT_EQ(form->DataSet.DataSetName, "Copia");
  EXPECT_EQ(form->SGFormulas->RowCount() - 1, formulas);
  EXPECT_EQ(form->SGTemas->RowCount() - 1, temas);
  EXPECT_EQ(std::memcmp(&form->Rhythm->Formulas[0], &f0, sizeof(Formula)), 0);
  const Tema& back = form->Rhythm->Temas[0];
  EXPECT_EQ(back.Name(), "Mi tema");
  EXPECT_EQ(back.tempos[0], 133);
  EXPECT_EQ(back.entryCount, t0.entryCount);
  for (int e = 0; e < t0.entryCount; ++e) {
    EXPECT_EQ(back.formulas[e], t0.formulas[e]);
    EXPECT_EQ(back.times[e], t0.times[e]);
    EXPECT_EQ(back.accel[e], t0.accel[e]);
  }
  EXPECT_EQ(form->SGTemas->Cells(2, 1), "133");
  EXPECT_EQ(form->SGFormulas->Cells(2, 1), "Bulea");
  EXPECT_FALSE(form->botonrec->isEnabled());
}

// The meter of the device's sound memory: 131008 bytes fill it exactly
// (green, saved); two bytes more go above (red, the save refused).
TEST_F(BasicPagesTest, SoundMemoryMeterAndSaveRefusal) {
  struct Case {
    int bytes;
    const char* label;
    bool over;
  };
  for (const Case c : {Case{131008, "Usado (100.00%)", false}, Case{131010, "Usado (100.00%)", true}}) {
    SCOPED_TRACE(c.bytes);
    fs::remove_all("datos/Medida");
    WriteMeterSet(c.bytes);
    Start();
    dlg->messages.clear();
    OpenSet("Medida");
    ASSERT_EQ(form->DataSet.DataSetName, "Medida");
    EXPECT_EQ(form->LBIns->count(), 2);
    EXPECT_EQ(form->Label15->text(), c.label);
    EXPECT_EQ(form->Label15->styleSheet().contains("#ff0000"), c.over);
    EXPECT_EQ(form->Label15->styleSheet().contains(DeskTheme().lime.name()), !c.over);
    EXPECT_EQ(form->EnUso->value(), 100);
    EXPECT_EQ(dlg->messages.size(), c.over ? 1 : 0);

    // An edit, then the save.
    form->SGTemasSetEditText(1, 1, "Otro");
    ASSERT_TRUE(form->botonrec->isEnabled());
    dlg->messages.clear();
    dlg->answers.push_back(kAnswerYes);
    form->botonrecClick();
    if (c.over) {
      ASSERT_EQ(dlg->messages.size(), 1);
      EXPECT_TRUE(dlg->messages[0].startsWith(QString::fromUtf8("La longitud de los sonidos excede")));
      EXPECT_TRUE(dlg->messages[0].endsWith(c.label));
      EXPECT_TRUE(dlg->questions.isEmpty());  // refused before the question
      EXPECT_TRUE(form->botonrec->isEnabled());
      EXPECT_FALSE(fs::exists("datos/Medida/sonidos.van"));
    } else {
      EXPECT_TRUE(dlg->messages.isEmpty());
      EXPECT_FALSE(form->botonrec->isEnabled());
      ASSERT_TRUE(fs::exists("datos/Medida/sonidos.van"));
      EXPECT_EQ(fs::file_size("datos/Medida/sonidos.van"), 192u + 131008u);
    }
    form.reset();
  }
}

// The save question answered No writes nothing and keeps the mark.
TEST_F(BasicPagesTest, SaveAnsweredNoWritesNothing) {
  WriteMeterSet(1000);
  Start();
  OpenSet("Medida");
  ASSERT_EQ(form->DataSet.DataSetName, "Medida");
  form->SGTemasSetEditText(1, 1, "Cambiado");
  ASSERT_TRUE(form->botonrec->isEnabled());
  dlg->answers.push_back(kAnswerNo);
  form->botonrecClick();
  ASSERT_EQ(dlg->questions.size(), 1);
  EXPECT_EQ(dlg->questions[0], QString::fromUtf8("¿ Quiere guardar los cambios realizados ?"));
  EXPECT_TRUE(dlg->questionCaptions[0].isEmpty());
  EXPECT_TRUE(form->botonrec->isEnabled());
  EXPECT_FALSE(fs::exists("datos/Medida/temas.van"));
  EXPECT_FALSE(fs::exists("datos/Medida/formulas.van"));
  EXPECT_FALSE(fs::exists("datos/Medida/sonidos.van"));
  EXPECT_FALSE(VisorLines().contains("Datos guardados"));
}

// "Nuevo" takes the list and the sounds of Original, says which files it
// copied, and asks for a name at the save.
TEST_F(BasicPagesTest, NewSetSeededFromOriginal) {
  Start();
  form->Visor->clear();
  form->Nuevo1Click();
  EXPECT_EQ(form->DataSet.DataSetName, "Nuevo");
  ASSERT_TRUE(fs::exists("Nuevo.ole"));
  EXPECT_EQ(Bytes("Nuevo.ole"), Bytes("datos/Original.ole"));
  std::vector<std::string> sounds;
  for (const auto& e : fs::directory_iterator("datos/Original"))
    if (e.path().extension() == ".wav") sounds.push_back(e.path().filename().string());
  ASSERT_FALSE(sounds.empty());
  const QStringList lines = VisorLines();
  for (const auto& s : sounds) {
    EXPECT_TRUE(fs::exists("datos/Nuevo/" + s)) << s;
    EXPECT_TRUE(lines.contains(QString::fromStdString("datos/Original/" + s))) << s;
    const QString name = QString::fromStdString(s.substr(0, s.size() - 4));
    EXPECT_FALSE(form->LBwavs->findItems(name, Qt::MatchExactly).isEmpty()) << s;
  }
  EXPECT_EQ(form->SGFormulas->RowCount(), 2);
  EXPECT_EQ(form->SGTemas->RowCount(), 2);
  EXPECT_EQ(form->Rhythm->Temas[0].entryCount, 0);
  EXPECT_EQ(form->Rhythm->Temas[0].tempos[0], 120);
  EXPECT_EQ(form->SGTemas->Cells(2, 1), "120");
  // "Normal" is switched on: the new theme plays in order.
  EXPECT_TRUE(form->RadioButton1->isChecked());
  EXPECT_TRUE(form->Rhythm->Temas[0].InOrder());

  // Its save is a save as: the dialog comes up (cancelled here: nothing written).
  form->SGTemasSetEditText(1, 1, "Nuevo tema");
  form->botonrecClick();
  EXPECT_FALSE(dlg->fileRequests.empty());
  EXPECT_FALSE(fs::exists("datos/Nuevo/temas.van"));
  EXPECT_TRUE(form->botonrec->isEnabled());
}

// A formula played through the test wave output: the device is opened at
// 22050 frames per second and each beat is one buffer of a beat's frames.
TEST_F(BasicPagesTest, FormulaPlaysBeatsAt22050) {
  Start();
  form->Original1Click();
  form->SGFormulas->Select(1, 1);
  form->SGFormulasSelectCell(1, 1);
  form->TB2->setValue(300);  // 120 bpm
  int beats = 0;
  form->OnBeatMixed = [&] { ++beats; };
  wave->ClearCalls();
  form->botonplayClick();
  ASSERT_TRUE(form->Timer1->isActive());
  // Each buffer played, then Timer1's own ticks make the beat.
  QElapsedTimer clock;
  clock.start();
  while (beats < 6 && clock.elapsed() < 10000) {
    wave->CompleteNext();
    const int before = beats;
    while (beats == before && clock.elapsed() < 10000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  }
  EXPECT_GE(beats, 6);
  form->botonstopClick();
  EXPECT_FALSE(form->Timer1->isActive());
  bool openedAt22050 = false;
  int writes = 0;
  for (const auto& c : wave->Calls()) {
    if (c.name == "Open" && c.value == 22050) openedAt22050 = true;
    if (c.name == "Write" && c.value == 11024u * 4u) ++writes;
  }
  // The device may have been opened at start-up, before the calls were cleared.
  EXPECT_TRUE(openedAt22050 || form->Engine->Format.SampleRate == 22050);
  EXPECT_EQ(form->Engine->Format.SampleRate, 22050);
  EXPECT_GE(writes, 5);
  EXPECT_EQ(form->Engine->SamplesPerBeat, 11024);  // trunc(500 x 22.05)
}
