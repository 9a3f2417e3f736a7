// The tuner panel in the real window: opening it stops playback and starts
// the microphone, a plucked string shows its note, string and fret, the
// needle glides and parks, closing stops the input.
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui_fixture.h"
#include "links/device.h"
#include "tuner/corpus.h"
#include "tuner/window/tuner_charts.h"
#include "tuner_test_support.h"

namespace {

class TunerPanelTest : public WindowTest {
 protected:
  void OpenTuner() {
    ASSERT_FALSE(form->Afinador1->isChecked());
    form->Afinador1->trigger();
  }
  void CloseTuner() {
    ASSERT_TRUE(form->Afinador1->isChecked());
    form->Afinador1->trigger();
  }
  // The open A string, in tune: 110 Hz.
  static std::vector<int16_t> OpenAString() { return PluckedString(5, 0); }
  TunerState& Tuner() { return *form->Work->Tuner; }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) form->Timer3Timer();
  }
};

TEST_F(TunerPanelTest, PluckedAStringShowsItsNoteStringAndFret) {
  Start();
  // Playback runs when the tuner opens; the tuner stops it.
  form->Rhythm->Formulas[0].SetHeader(12, 0);
  form->FillFormulaRow(0);
  form->SGFormulas->Select(1, 1);
  form->SGFormulasSelectCell(1, 1);
  form->botonplayClick();
  ASSERT_NE(form->Engine->PlayState, 0);
  form->RBMetro->setChecked(true);  // the device was the saved choice

  OpenTuner();
  EXPECT_EQ(form->Engine->PlayState, 0);
  EXPECT_TRUE(form->PanelAfinador->isVisibleTo(form.get()));
  EXPECT_TRUE(form->Dedo->isVisibleTo(form->PanelGuitarra));
  EXPECT_TRUE(form->Timer3->isActive());
  EXPECT_EQ(form->Timer3->interval(), 10);
  // No device: the microphone is forced.
  EXPECT_TRUE(form->RBMicro->isChecked());
  EXPECT_FALSE(form->RBMetro->isEnabled());
  // ... and looks it: its caption is grey where the microphone's is white.
  const auto brightest = [](QWidget* w) {
    const QImage img = w->grab().toImage();
    int most = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) most = std::max(most, qGray(img.pixel(x, y)));
    return most;
  };
  EXPECT_GE(brightest(form->RBMicro), 230);
  EXPECT_LE(brightest(form->RBMetro), 160);
  EXPECT_TRUE(waveIn->Started());
  EXPECT_EQ(waveIn->QueuedCount(), 2u);
  EXPECT_TRUE(form->STNota->text().isEmpty());

  const std::vector<int16_t> string = OpenAString();
  ASSERT_GE(string.size(), 4096u);
  // The first buffer fills; the tick frames it, analyses it and queues it again.
  waveIn->Record(string.data(), 2048);
  form->Timer3Timer();
  ASSERT_TRUE(Tuner().HasReading);
  EXPECT_EQ(waveIn->QueuedCount(), 2u);
  EXPECT_EQ(PlottedPoints(form->Oscilata3), 2048);
  EXPECT_TRUE(form->Label12->text().contains("-Dif=")) << form->Label12->text().toStdString();
  EXPECT_FALSE(form->Label12->isVisibleTo(form->PanelAfinador));

  EXPECT_EQ(form->STNota->text(), "A ");
  EXPECT_EQ(form->STNotaEsp->text(), "La ");
  EXPECT_EQ(form->STFrecBase->text(), "110.00Hz");
  EXPECT_TRUE(form->STFrec->text().startsWith("11")) << form->STFrec->text().toStdString();
  EXPECT_TRUE(form->STFrec->text().contains("Hz")) << form->STFrec->text().toStdString();
  EXPECT_EQ(form->STFrec->text(), QString::fromLatin1(Tuner().Reading.STFrec));
  // The note's place on the guitar for the standard tuning.
  EXPECT_EQ(form->STCuerda->text(), QString::fromUtf8("5\u00AA"));
  EXPECT_EQ(form->STMasmenos->text(), " ");  // the open string: no fret
  EXPECT_EQ(form->STTraste->text(), "  ");
  EXPECT_EQ(form->Dedo->text(), "A");
  EXPECT_EQ(form->Dedo->x(), 566 + 234 < form->PanelGuitarra->width() - form->Dedo->width()
                                 ? 566 + 234
                                 : form->PanelGuitarra->width() - form->Dedo->width());
  // Fifth string: 129 - 5 x 12, the place of the chord marks of that string.
  EXPECT_EQ(form->Dedo->y(), 129 - 60);
  EXPECT_EQ(form->Dedo->parentWidget(), form->PanelGuitarra);  // where the chord marks stand
  // Note, frequency, solfège and marker share the reading's colour.
  const uint32_t c = Tuner().Reading.colour;
  const QColor expected(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
  for (QLabel* l : {form->STNota, form->STFrec, form->STNotaEsp, form->Dedo})
    EXPECT_EQ(TextColour(l), expected) << l->objectName().toStdString();

  // An analysis holds the next two blocks back.
  waveIn->Record(string.data() + 2048, 2048);
  form->Timer3Timer();
  EXPECT_EQ(waveIn->QueuedCount(), 1u);
  form->Timer3Timer();
  EXPECT_EQ(waveIn->QueuedCount(), 2u);
}

// A plucked, a noisy and a soft A string, in tune and detuned, frame after
// frame: the panel shows A on the fifth string, on the right side of the
// note, on every frame while the string sounds, and (nearly) every frame
// brings a new reading.
TEST_F(TunerPanelTest, SteadyRightNoteForPluckedNoisyAndSoftStrings) {
  Start();
  OpenTuner();
  const QByteArray pictures = qgetenv("VELARTO_TUNER_PICTURES");
  const std::vector<int16_t> silence(2048, 0);
  for (const SteadyString& c : kSteadyStrings) {
    SCOPED_TRACE(c.what);
    const std::vector<int16_t> string = CorpusString(c.sound, c.noise, 5, 0, c.cents);
    ASSERT_GE(string.size(), 7u * 2048);
    int readings = 0;
    for (size_t frame = 0; frame < 7; ++frame) {
      SCOPED_TRACE(testing::Message() << "frame " << frame);
      waveIn->Record(string.data() + frame * 2048, 2048);
      form->Timer3Timer();
      if (Tuner().verdict == TunerVerdict::kReading) ++readings;
      ASSERT_TRUE(Tuner().HasReading);
      EXPECT_EQ(form->STNota->text(), "A ");
      EXPECT_EQ(form->STFrecBase->text(), "110.00Hz");
      EXPECT_EQ(form->STCuerda->text(), QString::fromUtf8("5\u00AA"));
      EXPECT_TRUE(form->STFrec->text().endsWith(c.ending)) << form->STFrec->text().toStdString();
      if (c.cents != 0) {
        EXPECT_EQ(Tuner().NeedleTarget > 0, c.cents > 0) << Tuner().NeedleTarget;
      }
      if (!pictures.isEmpty() && c.noise != CorpusNoise::kNone && frame == 3) {
        form->resize(1366, 740);
        form->show();
        QApplication::processEvents();
        form->PanelAfinador->grab().save(QString("%1/tuner-panel-%2%3.png")
                                             .arg(QString::fromLocal8Bit(pictures))
                                             .arg(c.cents < 0 ? "m" : "p")
                                             .arg(std::abs(c.cents)));
      }
      form->Timer3Timer();  // the analysis holds the next two blocks back
      form->Timer3Timer();
    }
    // The noisy string's last frames, its partials deep in the noise, may
    // keep the reading before.
    EXPECT_GE(readings, c.noise == CorpusNoise::kNone ? 7 : 5);
    // The string has stopped.
    waveIn->Record(silence.data(), silence.size());
    Ticks(3);
  }
}

// The needle: at the first start it waits 15 ticks at 0 and parks; it travels
// one unit a tick, snaps when within one, and the reading's hold of 100 ticks
// restarts with every step.
TEST_F(TunerPanelTest, NeedleGlidesSnapsAndParks) {
  Start();
  OpenTuner();  // runs the first tick
  ASSERT_EQ(Tuner().TunerHold, 14);
  Ticks(14);
  EXPECT_EQ(form->TunerNeedleX(), 0.0);
  EXPECT_EQ(Tuner().NeedleTarget, 0.0);
  Ticks(1);  // the hold ran out: the needle parks at the left end
  EXPECT_EQ(form->TunerNeedleX(), 0.0);
  EXPECT_EQ(Tuner().NeedleTarget, -50.0);
  Ticks(1);
  EXPECT_EQ(form->TunerNeedleX(), -1.0);
  EXPECT_EQ(Tuner().TunerHold, 99);

  // A reading 19.5 units to the right: 19 steps, then the snap.
  Tuner().NeedleTarget = 18.5;
  for (int i = 1; i <= 19; ++i) {
    form->Timer3Timer();
    ASSERT_EQ(form->TunerNeedleX(), -1.0 + i) << i;
    ASSERT_EQ(Tuner().TunerHold, 99);
  }
  form->Timer3Timer();
  EXPECT_EQ(form->TunerNeedleX(), 18.5);
  EXPECT_EQ(Tuner().TunerHold, 98);  // the snap does not refresh the hold
  Ticks(99);
  EXPECT_EQ(form->TunerNeedleX(), 18.5);
  EXPECT_EQ(Tuner().NeedleTarget, -50.0);
  form->Timer3Timer();
  EXPECT_EQ(form->TunerNeedleX(), 17.5);
}

TEST_F(TunerPanelTest, ClosingStopsTheInputAtTheNextTick) {
  Start();
  OpenTuner();
  CloseTuner();
  EXPECT_FALSE(form->PanelAfinador->isVisibleTo(form.get()));
  EXPECT_FALSE(form->Dedo->isVisibleTo(form->PanelGuitarra));
  // The stop waits for the tick; showing the panel again before it cancels it.
  EXPECT_TRUE(form->Timer3->isActive());
  OpenTuner();
  form->Timer3Timer();
  EXPECT_TRUE(form->Timer3->isActive());
  EXPECT_EQ(waveIn->QueuedCount(), 2u);

  CloseTuner();
  form->Timer3Timer();
  EXPECT_FALSE(form->Timer3->isActive());
  EXPECT_EQ(waveIn->QueuedCount(), 0u);  // reset: the buffers came back
  EXPECT_EQ(form->Device->DeviceState, kDeviceIdle);  // given back
  // Nothing recorded after the stop reaches the panel, nor does a late tick
  // take the device again.
  const std::vector<int16_t> string = OpenAString();
  waveIn->Record(string.data(), 4096);
  form->Timer3Timer();
  EXPECT_EQ(form->Device->DeviceState, kDeviceIdle);
  EXPECT_FALSE(Tuner().HasReading);
  EXPECT_TRUE(form->STNota->text().isEmpty());
}

// A device whose identity offers the tuner keeps the choice; the bytes its
// poll hands over while the tuner listens are framed apart from the
// microphone's; the stop gives the device its state back and, with the device
// chosen, leaves the microphone running until the next start.
TEST_F(TunerPanelTest, DeviceAsInput) {
  Start();
  DeviceLink& L = *form->Device;
  std::memcpy(L.DeviceIdentityText.data(), "DRAVV 1", 7);
  L.DeviceState = kDeviceIdentified;
  form->RBMetro->setChecked(true);
  OpenTuner();
  EXPECT_TRUE(form->RBMetro->isChecked());
  EXPECT_TRUE(form->RBMetro->isEnabled());
  EXPECT_EQ(L.DeviceState, kDeviceTuner);

  const std::vector<int16_t> string = OpenAString();
  std::vector<uint8_t> bytes(4096);
  std::memcpy(bytes.data(), string.data(), bytes.size());  // little-endian samples
  for (size_t i = 0; i < 1000; ++i) DeviceByte(L, bytes[i]);
  form->Timer3Timer();  // a partial frame waits for the next bytes
  EXPECT_FALSE(Tuner().HasReading);
  for (size_t i = 1000; i < bytes.size(); ++i) DeviceByte(L, bytes[i]);
  ASSERT_TRUE(Tuner().HasReading);
  EXPECT_EQ(form->STNotaEsp->text(), "La ");
  EXPECT_EQ(PlottedPoints(form->Oscilata3), 2048);

  // Closed and opened again before the tick: the saved state is kept.
  CloseTuner();
  OpenTuner();
  CloseTuner();
  form->Timer3Timer();
  EXPECT_FALSE(form->Timer3->isActive());
  EXPECT_EQ(L.DeviceState, kDeviceIdentified);
  EXPECT_EQ(waveIn->QueuedCount(), 2u);  // not reset
  // Bytes after the stop are not the tuner's.
  form->STNotaEsp->clear();
  for (uint8_t b : bytes) DeviceByte(L, b);
  EXPECT_TRUE(form->STNotaEsp->text().isEmpty());
}

TEST_F(TunerPanelTest, InputThatCannotOpenIsToldAndTheTunerShowsNothing) {
  waveInOpenFailure = "No hay micrófono";
  Start();
  EXPECT_TRUE(dlg->messages.isEmpty()) << dlg->messages.join('|').toStdString();
  OpenTuner();
  EXPECT_TRUE(LastLog().endsWith(QString::fromLocal8Bit("No hay micrófono"))) << LastLog().toStdString();
  EXPECT_FALSE(form->WaveIn->IsOpen());
  EXPECT_TRUE(form->Timer3->isActive());
  Ticks(20);
  EXPECT_FALSE(Tuner().HasReading);
  EXPECT_EQ(Tuner().NeedleTarget, -50.0);
  CloseTuner();
  form->Timer3Timer();
  EXPECT_FALSE(form->Timer3->isActive());
}

}  // namespace
