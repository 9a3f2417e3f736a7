// The basic window's tuner page: the page starts the microphone and leaving
// it stops it at the next tick; a plucked string shows its note, string and
// fret, the finger marker and its line on the fretboard and the needle's
// target; every frame moves the level bar; the needle parks after the hold;
// the device gets its state back at the stop.
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

#include "basic_gui_fixture.h"
#include "guitar/notes.h"
#include "links/device.h"
#include "tuner/corpus.h"
#include "tuner/tuner.h"
#include "tuner/window/tuner_charts.h"
#include "tuner_test_support.h"

using bornace::TMainForm;

namespace {

std::vector<uint8_t> Bytes(const int16_t* samples, size_t n) {
  std::vector<uint8_t> b(n * 2);
  std::memcpy(b.data(), samples, b.size());  // little-endian samples
  return b;
}

QColor Colour(uint32_t bbggrr) {
  return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

class BasicTunerTest : public BasicWindowTest {
 protected:
  // As the fixture's Start, with the devices set up by the test first.
  struct Devices {
    std::shared_ptr<hid::TestHidScript> hid;  // null: no HID device
    std::string waveInFailure;
  };
  void StartWith(const Devices& d) {
    auto dl = std::make_unique<ScriptedDialogs>();
    dlg = dl.get();
    TMainForm::Options o;
    o.dialogs = std::move(dl);
    auto w = audio::CreateTestWaveOut();
    wave = w.get();
    o.waveOut = std::move(w);
    auto in = audio::CreateTestWaveIn();
    if (!d.waveInFailure.empty()) in->SetOpenFailure(d.waveInFailure);
    waveIn = in.get();
    o.waveIn = std::move(in);
    o.hidBus = std::make_unique<hid::TestHidBus>(d.hid);
    auto port = std::make_unique<serial::TestSerialPort>();
    serialPort = port.get();
    o.serialPort = std::move(port);
    o.desktop = std::make_unique<RecordingDesktop>();
    form = std::make_unique<TMainForm>(std::move(o));
    form->FormCreate();
  }
  // The metronome's serial port, named in the settings.
  void StartWithSerialDevice() {
    QFile ini("vididoru.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[METRONOMO]\narchivo=Original\nPuertoMetronomo=/dev/ttyTEST0\n");
    ini.close();
    StartWith({});
    ASSERT_TRUE(form->Device->SerialPortOpen);
  }

  TunerState& Tuner() { return *form->Work->Tuner; }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) form->Timer3Timer();
  }
  int Count(const std::string& call) const {
    const std::vector<std::string> names = waveIn->CallNames();
    return int(std::count(names.begin(), names.end(), call));
  }
  QColor FretboardPixel(int x, int y) const { return form->Image7->pixmap().toImage().pixelColor(x, y); }
  // The swing the framing will find in this frame: the tracker carries its
  // last sample, low and high over from the frame before.
  int SwingOf(const int16_t* frame, int n) {
    SwingTracker t = Tuner().MicFrame.swing;
    t.rises = t.falls = 0;
    int swing = 0;
    for (int i = 0; i < n; ++i) TrackSwing(t, swing, frame[i]);
    return swing;
  }

  serial::TestSerialPort* serialPort = nullptr;
};

TEST_F(BasicTunerTest, PluckedStringShowsNoteStringFretAndMarker) {
  Start();
  EXPECT_EQ(form->Device->DeviceState, kDeviceIdle);
  form->Afinar2Click();
  ASSERT_EQ(form->PageControl1->currentWidget(), form->TabSheet2);
  EXPECT_TRUE(form->TunerRunning());
  EXPECT_TRUE(form->Timer3->isActive());
  EXPECT_EQ(form->Timer3->interval(), 10);
  EXPECT_TRUE(waveIn->Started());
  EXPECT_EQ(waveIn->QueuedCount(), 2u);
  EXPECT_EQ(form->Device->DeviceState, kDeviceTuner);
  EXPECT_TRUE(form->STNota->text().isEmpty());

  // The notes' places are those of the note table (the highest string that
  // plays the note); the marker and its line follow the string and fret.
  const NoteTable& notes = form->Work->GuitarAudio->Tuning.TablaNotas;
  const struct {
    int stringNumber, fret;
  } cases[] = {{5, 0}, {6, 0}, {1, 0}, {1, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "string " << c.stringNumber << " fret " << c.fret);
    int note = -1;
    const std::vector<int16_t> tone = PluckedString(c.stringNumber, c.fret, &note);
    ASSERT_GE(tone.size(), 2048u);
    Ticks(3);  // past the hold of the frame before
    const int swing = SwingOf(tone.data(), 2048);
    waveIn->Record(tone.data(), 2048);
    form->Timer3Timer();
    ASSERT_TRUE(Tuner().HasReading);
    const TunerReading& r = Tuner().Reading;
    ASSERT_EQ(r.note, note);
    EXPECT_EQ(waveIn->QueuedCount(), 2u);  // the block went back to the input
    EXPECT_EQ(form->Device->DeviceState, kDeviceTuner);
    EXPECT_EQ(form->ProgressBar2->value(), std::clamp(swing / 100, 15, 400));
    EXPECT_EQ(PlottedPoints(form->Oscilata3), 2048);

    // What the table says of this note.
    const TunerReading want = ReadNote(notes, Tuner().fft, notes[size_t(note)].frequency, 1, kBasicTunerRules);
    EXPECT_EQ(form->STNota->text(), QString::fromLatin1(want.STNota));
    EXPECT_EQ(form->STNotaEsp->text(), QString::fromLatin1(want.STNotaEsp));
    EXPECT_EQ(form->STCuerda->text(), QString::fromUtf8(want.STCuerda));
    EXPECT_EQ(form->STMasmenos->text(), QString::fromLatin1(want.STMasmenos));
    EXPECT_EQ(form->STTraste->text(), QString::fromLatin1(want.STTraste));
    EXPECT_EQ(form->STFrec->text(), QString::fromLatin1(r.STFrec));
    EXPECT_EQ(form->STFrecBase->text(), QString::asprintf("%6.2fHz", double(notes[size_t(note)].frequency)));
    EXPECT_EQ(form->Dedo->text(), QString::fromLatin1(want.STNota).trimmed());
    const int s = want.stringNumber;
    ASSERT_GE(s, 1);
    EXPECT_EQ(form->Dedo->y(), 171 - 12 * s);
    EXPECT_EQ(form->Dedo->x(), FretPosition(want.fret) + 241);
    EXPECT_EQ(form->NeedleTarget, NeedleImageLeft(r.deviation));

    // The string's line on the fretboard, in the reading's colour less 100,
    // from the left edge to the marker; the rest of the picture is black.
    const QColor pen = Colour(static_cast<uint32_t>(r.penColour));
    const int y = 12 * (7 - s) - 5;
    const int end = form->Dedo->x() - 60;
    EXPECT_EQ(FretboardPixel(1, y), pen);
    EXPECT_EQ(FretboardPixel(end - 2, y), pen);
    EXPECT_EQ(FretboardPixel(end + 4, y), QColor(Qt::black));
    EXPECT_EQ(FretboardPixel(1, y + 6), QColor(Qt::black));
    for (QLabel* l : {form->STNota, form->STFrec, form->STNotaEsp, form->Dedo})
      EXPECT_EQ(TextColour(l), Colour(r.colour)) << l->objectName().toStdString();
  }
}

// A plucked, a noisy and a soft A string, in tune and detuned, frame after
// frame: the page shows A on the fifth string, on the right side of the
// note, on every frame while the string sounds, and (nearly) every frame
// brings a new reading.
TEST_F(BasicTunerTest, SteadyRightNoteForPluckedNoisyAndSoftStrings) {
  Start();
  form->Afinar2Click();
  const QByteArray pictures = qgetenv("VELARTO_TUNER_PICTURES");
  const std::vector<int16_t> silence(2048, 0);
  for (const SteadyString& c : kSteadyStrings) {
    SCOPED_TRACE(c.what);
    const std::vector<int16_t> string = CorpusString(c.sound, c.noise, 5, 0, c.cents);
    ASSERT_GE(string.size(), 7u * 2048);
    int readings = 0;
    for (size_t frame = 0; frame < 7; ++frame) {
      SCOPED_TRACE(testing::Message() << "frame " << frame);
      Ticks(3);  // past the hold of the frame before
      waveIn->Record(string.data() + frame * 2048, 2048);
      form->Timer3Timer();
      if (Tuner().verdict == TunerVerdict::kReading) ++readings;
      ASSERT_TRUE(Tuner().HasReading);
      EXPECT_EQ(form->STNota->text(), "A ");
      EXPECT_EQ(form->STNotaEsp->text(), "La ");
      EXPECT_EQ(form->STFrecBase->text(), "110.00Hz");
      EXPECT_EQ(form->STCuerda->text(), QString::fromUtf8("5\u00AA"));
      EXPECT_TRUE(form->STFrec->text().endsWith(c.ending)) << form->STFrec->text().toStdString();
      if (c.cents != 0) {
        EXPECT_EQ(form->NeedleTarget > kNeedleCentreLeft, c.cents > 0) << form->NeedleTarget;
      }
      if (!pictures.isEmpty() && c.noise != CorpusNoise::kNone && frame == 3) {
        form->resize(1366, 740);
        form->show();
        Ticks(1);  // the needle on its way
        QApplication::processEvents();
        form->TabSheet2->grab().save(QString("%1/basic-tuner-page-%2%3.png")
                                         .arg(QString::fromLocal8Bit(pictures))
                                         .arg(c.cents < 0 ? "m" : "p")
                                         .arg(std::abs(c.cents)));
      }
    }
    // The noisy string's last frames, its partials deep in the noise, may
    // keep the reading before.
    EXPECT_GE(readings, c.noise == CorpusNoise::kNone ? 7 : 5);
    // The string has stopped.
    Ticks(3);
    waveIn->Record(silence.data(), silence.size());
    Ticks(1);
  }
}

// The colours, the needle's target and the marker of the three kinds of
// reading, and of a note no string plays.
TEST_F(BasicTunerTest, ReadingsInTuneSharpFlatAndWithoutString) {
  Start();
  form->Afinar2Click();
  const NoteTable& notes = form->Work->GuitarAudio->Tuning.TablaNotas;
  const FftSetup fft = Tuner().fft;
  const struct {
    const char* name;
    int note;
    float offsetHz;
    uint32_t colour;
  } cases[] = {
      {"in tune", 12, 0.1f, kTunerWhite},
      {"in tune, a third of a Hz up", 31, 0.5f, kTunerLime},
      {"sharp", 12, 3.0f, kTunerRed},
      {"flat", 19, -3.0f, kTunerBlue},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TunerReading r = ReadNote(notes, fft, notes[size_t(c.note)].frequency + c.offsetHz, 1, kBasicTunerRules);
    ASSERT_EQ(r.note, c.note);
    form->ShowTunerReading(r);
    EXPECT_EQ(TextColour(form->STNota), Colour(c.colour));
    EXPECT_EQ(TextColour(form->Dedo), Colour(c.colour));
    EXPECT_EQ(form->NeedleTarget, int(std::trunc(3 * r.deviation + 206)));
    EXPECT_EQ(form->FretboardPen, Colour(static_cast<uint32_t>(int(c.colour) - 100)));
  }
  // E6: above what the first string reaches. The marker stands at fret 0's
  // place and Top 171; its line lies below the picture, which stays black.
  const TunerReading e6 = ReadNote(notes, fft, notes[55].frequency, 1, kBasicTunerRules);
  ASSERT_EQ(e6.note, 55);
  form->ShowTunerReading(e6);
  EXPECT_EQ(form->STCuerda->text(), QString::fromUtf8(" \u00AA"));
  EXPECT_EQ(form->Dedo->y(), 171);
  EXPECT_EQ(form->Dedo->x(), 566 + 241);
  const QImage picture = form->Image7->pixmap().toImage();
  ASSERT_LT(picture.height(), 271);
  for (int y = 0; y < picture.height(); y += 3)
    for (int x = 0; x < picture.width(); x += 7)
      ASSERT_EQ(picture.pixelColor(x, y), QColor(Qt::black)) << x << "," << y;
}

// Silence moves the level bar and nothing else; a soft string (its swing
// far below what the old fixed gate wanted) reads, its swing on the bar.
TEST_F(BasicTunerTest, LevelGateAndLevelBar) {
  Start();
  form->Afinar2Click();
  const std::vector<int16_t> tone = PluckedString(5, 0);
  ASSERT_GE(tone.size(), 2048u);
  std::vector<int16_t> silence(2048, 0);
  waveIn->Record(silence.data(), silence.size());
  form->Timer3Timer();
  EXPECT_EQ(form->ProgressBar2->value(), 15);
  EXPECT_EQ(Tuner().TunerFrameHold, 0);  // not analysed
  EXPECT_FALSE(Tuner().HasReading);

  // The string 30 dB down.
  std::vector<int16_t> soft(tone.begin(), tone.begin() + 2048);
  for (int16_t& x : soft) x = static_cast<int16_t>(std::lround(x * 0.0316));
  const int swing = SwingOf(soft.data(), 2048);
  ASSERT_LT(swing, 19000);
  waveIn->Record(soft.data(), soft.size());
  form->Timer3Timer();
  ASSERT_TRUE(Tuner().HasReading);
  EXPECT_EQ(form->STNotaEsp->text(), "La ");
  EXPECT_EQ(form->ProgressBar2->value(), std::clamp(swing / 100, 15, 400));
  EXPECT_EQ(waveIn->QueuedCount(), 2u);
}

// At the first start the needle waits 15 ticks at the centre, then parks at
// 26; a reading moves it to its target and holds it there 15 ticks.
TEST_F(BasicTunerTest, NeedleGoesToItsTargetAndParksAfterTheHold) {
  Start();
  EXPECT_EQ(form->Aguja->x(), 206);
  EXPECT_EQ(form->Aguja->size(), QSize(8, 70));
  form->Afinar2Click();  // runs the first tick
  ASSERT_EQ(Tuner().TunerHold, 14);
  Ticks(14);
  EXPECT_EQ(form->Aguja->x(), 206);
  EXPECT_EQ(form->NeedleTarget, 206);
  Ticks(1);  // the hold ran out: the target is the left end
  EXPECT_EQ(form->NeedleTarget, 26);
  Ticks(1);  // one tick carries the needle there, a pixel a poll
  EXPECT_EQ(form->Aguja->x(), 26);

  // A sharp A string: the target right of the centre.
  const std::vector<int16_t> tone = PluckedString(5, 0);
  std::vector<int16_t> sharp(2048);
  for (size_t i = 0; i < sharp.size(); ++i) sharp[i] = tone[size_t(double(i) * 1.02)];  // a third of the way to A#
  waveIn->Record(sharp.data(), sharp.size());
  form->Timer3Timer();
  ASSERT_TRUE(Tuner().HasReading);
  ASSERT_EQ(Tuner().Reading.pitch, TunerPitch::kSharp) << Tuner().Reading.STFrec;
  const int target = NeedleImageLeft(Tuner().Reading.deviation);
  EXPECT_GT(target, 206);
  EXPECT_EQ(form->NeedleTarget, target);
  EXPECT_EQ(Tuner().TunerHold, 14);  // 15, less this tick
  Ticks(1);
  EXPECT_EQ(form->Aguja->x(), target);
  Ticks(13);
  EXPECT_EQ(form->NeedleTarget, target);
  Ticks(1);
  EXPECT_EQ(form->NeedleTarget, 26);
  EXPECT_EQ(form->Aguja->x(), target);
  Ticks(1);
  EXPECT_EQ(form->Aguja->x(), 26);
}

// Leaving the page asks the next tick to stop: the wave input is reset and
// the device gets the state it had back. Coming back before that tick
// cancels the stop and starts the input afresh.
TEST_F(BasicTunerTest, LeavingThePageStopsAtTheNextTick) {
  Start();
  form->Device->DeviceState = kDeviceIdentified;
  form->Afinar2Click();
  EXPECT_EQ(form->Device->DeviceState, kDeviceTuner);
  form->PageControl1->setCurrentWidget(form->TabSheet1);
  EXPECT_FALSE(form->TunerRunning());
  EXPECT_TRUE(form->Timer3->isActive());  // the stop waits for the tick
  form->PageControl1->setCurrentWidget(form->TabSheet2);
  EXPECT_TRUE(form->TunerRunning());
  EXPECT_EQ(form->TunerStarts, 2);
  form->Timer3Timer();
  EXPECT_TRUE(form->Timer3->isActive());
  EXPECT_EQ(waveIn->QueuedCount(), 2u);
  EXPECT_EQ(form->Device->DeviceState, kDeviceTuner);

  form->PageControl1->setCurrentWidget(form->TabSheet3);
  waveIn->ClearCalls();
  form->Timer3Timer();
  EXPECT_FALSE(form->Timer3->isActive());
  EXPECT_EQ(Count("Reset"), 1);
  EXPECT_EQ(waveIn->QueuedCount(), 0u);  // the buffers came back
  EXPECT_EQ(form->Device->DeviceState, kDeviceIdentified);  // saved at the first start, kept by the restart

  // What is recorded afterwards reaches nothing, and a late tick takes
  // nothing back.
  const std::vector<int16_t> tone = PluckedString(5, 0);
  waveIn->Record(tone.data(), 4096);
  form->Timer3Timer();
  PollDevice(*form->Device);
  EXPECT_FALSE(Tuner().HasReading);
  EXPECT_TRUE(form->STNota->text().isEmpty());
  EXPECT_EQ(form->Device->DeviceState, kDeviceIdentified);
}

// "Afinar" while the tuner listens starts nothing again; from another page
// it shows the tuner's page and starts it.
TEST_F(BasicTunerTest, AfinarTwiceStartsOnce) {
  Start();
  form->Afinar2Click();
  form->Afinar2Click();
  EXPECT_EQ(form->TunerStarts, 1);
  EXPECT_EQ(Count("Start"), 1);
  EXPECT_EQ(Count("Reset"), 1);
  EXPECT_EQ(waveIn->QueuedCount(), 2u);
  form->PageControl1->setCurrentWidget(form->TabSheet1);
  form->Timer3Timer();
  ASSERT_FALSE(form->TunerRunning());
  form->Afinar2Click();
  EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheet2);
  EXPECT_TRUE(form->TunerRunning());
  EXPECT_EQ(form->TunerStarts, 2);
  EXPECT_EQ(Count("Start"), 2);
}

// While a transfer holds the device link the page starts no tuner: its
// state would break the transfer's reply machine.
TEST_F(BasicTunerTest, NoTunerWhileATransferRuns) {
  Start();
  form->Device->DeviceState = kDeviceReceiving;
  form->TransferRunning = true;
  form->Afinar2Click();
  EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheet2);
  EXPECT_FALSE(form->TunerRunning());
  EXPECT_FALSE(form->Timer3->isActive());
  EXPECT_EQ(form->Device->DeviceState, kDeviceReceiving);
  EXPECT_EQ(Count("Start"), 0);
  form->TransferRunning = false;
  form->Afinar2Click();
  EXPECT_TRUE(form->TunerRunning());
}

// A frame leaves the device in the frame-done state until the tick ends;
// bytes it then receives are stored, not framed. Every way of stopping gives
// the device the state it had.
TEST_F(BasicTunerTest, DeviceStateAroundFramesAndAtTheStop) {
  Start();
  DeviceLink& L = *form->Device;
  L.DeviceState = kDeviceIdentified;
  form->Afinar2Click();
  const std::vector<int16_t> tone = PluckedString(5, 0);
  waveIn->Record(tone.data(), 2048);
  PollDevice(L);  // as the tick's loop does
  EXPECT_EQ(L.DeviceState, kDeviceTunerFrameDone);
  ASSERT_TRUE(Tuner().HasReading);
  const int framed = Tuner().DeviceFrame.TunerSampleCount;
  DeviceByte(L, 0x55);
  EXPECT_EQ(Tuner().DeviceFrame.TunerSampleCount, framed);
  form->Timer3Timer();
  EXPECT_EQ(L.DeviceState, kDeviceTuner);
  DeviceByte(L, 0x55);
  EXPECT_EQ(Tuner().DeviceFrame.TunerSampleCount, framed + 1);

  // The shutdown's and the transfer's stop is at once.
  form->StopTunerInput();
  EXPECT_FALSE(form->Timer3->isActive());
  EXPECT_FALSE(form->TunerRunning());
  EXPECT_EQ(L.DeviceState, kDeviceIdentified);
  EXPECT_EQ(waveIn->QueuedCount(), 0u);
  form->StopTunerInput();  // nothing more to stop
  EXPECT_EQ(L.DeviceState, kDeviceIdentified);

  // Left and shown again before the tick, left again: the state saved at
  // the first start comes back.
  L.DeviceState = kDeviceIdle;
  form->PageControl1->setCurrentWidget(form->TabSheet1);
  form->Afinar2Click();
  form->PageControl1->setCurrentWidget(form->TabSheet1);
  form->Afinar2Click();
  form->PageControl1->setCurrentWidget(form->TabSheet1);
  form->Timer3Timer();
  EXPECT_EQ(L.DeviceState, kDeviceIdle);
}

// With no device and no input the tick's loop ends once its idle budget is
// spent (the needle standing still); the hold, the frame-hold and the
// window carry on.
TEST_F(BasicTunerTest, TickWithNothingToTakeReturns) {
  Start();
  form->Afinar2Click();
  Ticks(20);
  EXPECT_GT(form->TunerLoopPolls, 0);
  EXPECT_LE(form->TunerLoopPolls, 10000);
  EXPECT_FALSE(Tuner().HasReading);
  EXPECT_EQ(form->Aguja->x(), 26);
  // Polls that move the needle do not spend the budget: one tick still
  // brings it all the way.
  form->NeedleTarget = 356;
  form->Timer3Timer();
  EXPECT_EQ(form->Aguja->x(), 356);
  EXPECT_LE(form->TunerLoopPolls, 10000 + 330);
}

// The device as the source, over a HID device: its reports' bytes are framed
// apart from the microphone's; the tick ends once a frame is taken.
TEST_F(BasicTunerTest, DeviceBytesOverHidGiveAReading) {
  auto script = std::make_shared<hid::TestHidScript>();
  script->vendor = kDeviceVendorId;
  script->product = kDeviceProductId;
  script->manufacturer = std::wstring(kDeviceManufacturer);
  script->product_string = std::wstring(kDeviceProduct);
  StartWith({script, ""});
  ASSERT_TRUE(form->Device->HidDevice);
  script->input.clear();
  form->Afinar2Click();
  const std::vector<int16_t> tone = PluckedString(5, 0);
  const std::vector<uint8_t> bytes = Bytes(tone.data(), 2048 + 100);
  // Reports of 63 data bytes, more than a frame's worth.
  for (size_t at = 0; at < bytes.size(); at += 63) {
    const size_t n = std::min<size_t>(63, bytes.size() - at);
    std::vector<uint8_t> report(64, 0);
    report[0] = uint8_t(n);
    std::copy_n(bytes.begin() + long(at), n, report.begin() + 1);
    script->input.push_back(report);
  }
  form->Timer3Timer();
  ASSERT_TRUE(Tuner().HasReading);
  EXPECT_EQ(form->STNotaEsp->text(), "La ");
  EXPECT_TRUE(form->TunerFrameTaken);
  EXPECT_EQ(form->Device->DeviceState, kDeviceTuner);
  EXPECT_EQ(waveIn->QueuedCount(), 2u);  // the microphone's buffers untouched
}

// Over the serial port the device's bytes may come in pieces: the frame
// waits across ticks and completes with the last piece.
TEST_F(BasicTunerTest, DeviceBytesOverTheSerialPortAcrossTicks) {
  StartWithSerialDevice();
  const int saved = form->Device->DeviceState;
  form->Afinar2Click();
  const std::vector<int16_t> tone = PluckedString(5, 0);
  const std::vector<uint8_t> bytes = Bytes(tone.data(), 2048);
  serialPort->Arrive(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 1500));
  form->Timer3Timer();
  EXPECT_FALSE(Tuner().HasReading);
  EXPECT_EQ(serialPort->Waiting(), 0u);
  EXPECT_EQ(Tuner().DeviceFrame.TunerSampleCount, 1500);
  serialPort->Arrive(std::vector<uint8_t>(bytes.begin() + 1500, bytes.end()));
  form->Timer3Timer();
  ASSERT_TRUE(Tuner().HasReading);
  EXPECT_EQ(form->STNotaEsp->text(), "La ");
  form->StopTunerInput();
  EXPECT_EQ(form->Device->DeviceState, saved);
}

TEST_F(BasicTunerTest, InputThatCannotOpenIsToldAndTheTunerShowsNothing) {
  StartWith({nullptr, "No hay micrófono"});
  EXPECT_TRUE(dlg->messages.isEmpty()) << dlg->messages.join('|').toStdString();
  form->Afinar2Click();
  EXPECT_TRUE(form->Visor->toPlainText().contains(QString::fromUtf8("No hay micrófono")));
  EXPECT_FALSE(form->WaveIn->IsOpen());
  EXPECT_TRUE(form->Timer3->isActive());
  Ticks(20);
  EXPECT_FALSE(Tuner().HasReading);
  EXPECT_EQ(form->Aguja->x(), 26);
  form->PageControl1->setCurrentWidget(form->TabSheet1);
  form->Timer3Timer();
  EXPECT_FALSE(form->Timer3->isActive());
}

// The tuner stops playback when it starts; the shutdown stops the tuner.
TEST_F(BasicTunerTest, StartStopsPlaybackAndShutdownStopsTheTuner) {
  Start();
  form->SGFormulas->Select(1, 1);
  form->SGFormulasSelectCell(1, 1);
  form->botonplayClick();
  ASSERT_NE(form->Engine->PlayState, 0);
  form->Afinar2Click();
  EXPECT_EQ(form->Engine->PlayState, 0);
  EXPECT_TRUE(form->TunerRunning());
  form->FormClose();
  EXPECT_FALSE(form->TunerListening);
  EXPECT_FALSE(form->Timer3->isActive());
  EXPECT_EQ(form->Device->DeviceState, kDeviceIdle);
}

// The page's groups and their texts fit, in both languages; the captions
// come from the language rows.
TEST_F(BasicTunerTest, PageFitsAndSpeaksBothLanguages) {
  Start();
  form->resize(1366, 740);
  form->show();
  form->PageControl1->setCurrentWidget(form->TabSheet2);
  QApplication::processEvents();
  for (bool english : {false, true}) {
    SCOPED_TRACE(english);
    form->SetLanguage(english);
    EXPECT_EQ(form->Lnota->text(), english ? "Note" : "Nota");
    EXPECT_EQ(form->Lcuerda->text(), english ? "String" : "Cuerda");
    EXPECT_EQ(form->Ltraste->text(), english ? "Fret" : "Traste");
    EXPECT_EQ(form->Mastil->title(), english ? QString("Fretboard") : QString::fromUtf8("Mástil"));
    for (QGroupBox* g : {form->Mastil, form->Afinador}) {
      EXPECT_TRUE(form->TabSheet2->rect().contains(g->geometry())) << g->objectName().toStdString();
      for (QWidget* w : g->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(g->rect().contains(w->geometry())) << w->objectName().toStdString();
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
          EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width()) << l->objectName().toStdString();
        }
      }
    }
  }
  // The longest texts a reading writes fit their labels.
  const NoteTable& notes = form->Work->GuitarAudio->Tuning.TablaNotas;
  TunerReading r = ReadNote(notes, Tuner().fft, notes[60].frequency - 20.0f, 1, kBasicTunerRules);
  ASSERT_EQ(r.pitch, TunerPitch::kFlat);
  form->ShowTunerReading(r);
  for (QLabel* l : {form->STFrec, form->STFrecBase, form->STCuerda, form->STTraste})
    EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width()) << l->objectName().toStdString();
  r = ReadNote(notes, Tuner().fft, notes[11].frequency, 1, kBasicTunerRules);  // G#2
  form->ShowTunerReading(r);
  ASSERT_EQ(form->STNotaEsp->text(), "Sol#");
  for (QLabel* l : {form->STNota, form->STNotaEsp})
    EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width()) << l->objectName().toStdString();
}

}  // namespace

// No input device: nothing is asked at start; the tuner page, once shown,
// says in the log and on its trace what is missing, with the sound system's
// own text, and looks again the next time.
TEST_F(BasicTunerTest, MissingInputIsSaidWhenTheTunerStarts) {
  StartWith({nullptr, "no default input device"});
  EXPECT_TRUE(dlg->messages.isEmpty()) << dlg->messages.join('|').toStdString();
  EXPECT_FALSE(waveIn->IsOpen());
  EXPECT_FALSE(form->Visor->toPlainText().contains("entrada"));
  for (int start = 1; start <= 2; ++start) {
    form->Afinar2Click();
    ASSERT_EQ(form->PageControl1->currentWidget(), form->TabSheet2);
    EXPECT_FALSE(waveIn->IsOpen());
    auto* said = form->Oscilata3->findChild<QLabel*>("TunerInputProblem");
    ASSERT_TRUE(said);
    EXPECT_TRUE(said->isVisibleTo(form.get()));
    EXPECT_TRUE(said->text().startsWith(QString::fromUtf8("No hay entrada de sonido"))) << said->text().toStdString();
    EXPECT_TRUE(said->text().endsWith("no default input device"));
    EXPECT_EQ(form->Visor->toPlainText().count(QString::fromUtf8("No hay entrada de sonido")), start);
    form->PageControl1->setCurrentWidget(form->TabSheet1);
    form->Timer3Timer();
  }
}
