// The start-up and shutdown steps that both editions' main windows take
// alike: the set to open from the settings and the command line, the
// language the settings name, the output device with the master volume
// taken from it, what waits for the window's first paint, and the last
// step of a close, when the timers and the devices stop before anything of
// the window is freed.
//
// The templates take either edition's main window; what they use of it is
// stated by the concepts SettingsWindow, OutputWindow, FirstPaintWindow and
// ClosingWindow below.
#pragma once

#include <QAction>
#include <QMetaObject>
#include <QObject>
#include <QSlider>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <concepts>
#include <string>

#include "app/startup.h"
#include "app/window/language.h"
#include "engine/sound_messages.h"
#include "engine/transport.h"
#include "platform/ui/first_paint.h"
#include "platform/ui/settings.h"
#include "platform/ui/window_concepts.h"
#include "platform/audio/wave_in.h"
#include "platform/audio/wave_out.h"
#include "platform/files/text.h"
#include "rhythm/dataset.h"

// What the settings' steps use of a window: its settings SettingsIniFile,
// the language items Ingls1 and Espaol1, the log and the texts in the
// language in force.
template <class Form>
concept SettingsWindow = WordedWindow<Form> && LoggingWindow<Form> && requires(Form& f) {
  { *f.SettingsIniFile } -> std::convertible_to<SettingsIni&>;
  { f.Ingls1 } -> std::convertible_to<QAction*>;
  { f.Espaol1 } -> std::convertible_to<QAction*>;
};

// What the opening of the output uses of a window, a QObject whose thread
// is the GUI thread: the transport, the output WaveOut, the mark that its
// failure was reported (WaveOutReported), the master volume slider
// tbvolumen, the handler OnBufferDone, the log and the language in force.
template <class Form>
concept OutputWindow =
    std::derived_from<Form, QObject> && WordedWindow<Form> && LoggingWindow<Form> && requires(Form& f) {
      { f.Deck } -> std::convertible_to<Transport*>;
      { f.WaveOut.get() } -> std::convertible_to<audio::WaveOut*>;
      f.WaveOutReported = true;
      { f.tbvolumen } -> std::convertible_to<QSlider*>;
      f.OnBufferDone();
    };

// What waits for a window's first paint: the window, a widget, whose
// background work Work holds the warming of the gains until then, and its
// about box (CreateAboutBox).
template <class Form>
concept FirstPaintWindow = std::derived_from<Form, QWidget> && requires(Form& f) {
  f.Work->HoldWarming(false);
  f.CreateAboutBox();
};

// What the last step of a close stops: the timers Timer1, Timer3 and
// Timer4, the output (CloseWaveOutput), the input WaveIn and the device
// panel DevicePane; FormClosed marks the close done.
template <class Form>
concept ClosingWindow = requires(Form& f) {
  { f.Timer1 } -> std::convertible_to<QTimer*>;
  { f.Timer3 } -> std::convertible_to<QTimer*>;
  { f.Timer4 } -> std::convertible_to<QTimer*>;
  { f.WaveIn.get() } -> std::convertible_to<audio::WaveIn*>;
  f.CloseWaveOutput();
  f.DevicePane.Close();
  f.FormClosed = true;
};

// The set start-up opens: "archivo" ("Original" when it is missing or
// empty), or the set a list file on the command line (`commandLineArgument`,
// ending in `listExtension`) names; either way written back to "archivo" at
// once. The working folder was moved at program entry.
// A name that is no set inside the working folder's datos folder (a path
// such as ../../outside/Secreto) is refused: "Original" opens, and
// *refused holds the name.
inline std::string StartupSetName(SettingsIni& ini, const std::string& commandLineArgument,
                                  const std::string& listExtension, std::string* refused = nullptr) {
  std::string name = ToL1(ini.ReadString("METRONOMO", "archivo", "Original"));
  if (name.empty()) name = "Original";
  if (auto set = FindCommandLineSet({commandLineArgument}, listExtension))
    name = ToL1(QString::fromLocal8Bit(set->name.c_str()));
  if (!IsSafeFileComponent(name)) {
    if (refused) *refused = name;
    name = "Original";
  }
  ini.WriteString("METRONOMO", "archivo", L1(name));
  return name;
}

// What start-up says of its settings: a file that was no settings file (set
// aside, with the copy's name) and a set name that was refused.
template <SettingsWindow Form>
void TellSettingsProblems(Form& f, const std::string& refusedSet) {
  if (!f.SettingsIniFile->Discarded().isEmpty())
    f.Log(f.Tr("El archivo de configuración no era válido; se ha guardado una copia en ",
               "The settings file was not valid; a copy was kept in ") +
          f.SettingsIniFile->Discarded());
  if (!refusedSet.empty())
    f.Log(f.Tr("El conjunto de la configuración no está en la carpeta de trabajo; se abre Original: ",
               "The settings name a set outside the working folder; Original opens: ") +
          L1(refusedSet));
}

// Start-up: the switch of the language "Idioma" names, run by its menu item.
template <SettingsWindow Form>
void RunLanguageOfSettings(Form& f) {
  if (LanguageIsEnglish(f.SettingsIniFile->ReadString("METRONOMO", "Idioma", QString::fromUtf8("Español"))))
    f.Ingls1->trigger();
  else
    f.Espaol1->trigger();
}

// The wave output on the default device, its buffers' done callback waking
// the window's OnBufferDone on the GUI thread (the callback itself runs on
// the device's thread, where the player counts the buffer). The master
// volume slider takes the device's volume (its right channel), and a
// position that changes runs the slider's handler as a user's move does.
// A device that cannot be opened is said once in the log, in the user's
// language with what to do, and the slider, showing the volume kept for the
// device, is disabled: the window opens all the same. False when not opened.
template <OutputWindow Form>
bool OpenOutputWithItsVolume(Form& f) {
  const audio::WaveResult r = f.Deck->OpenOutput(f.WaveOut.get(), [&f] {
    QMetaObject::invokeMethod(&f, [&f] { f.OnBufferDone(); }, Qt::QueuedConnection);
  });
  const bool open = r == audio::WaveResult::kOk;
  if (!open && !f.WaveOutReported) {
    f.Log(QString::fromUtf8(SoundOutputMissingMessage(f.English, f.WaveOut->ErrorText()).c_str()));
    f.WaveOutReported = true;
  }
  f.tbvolumen->setValue(static_cast<int>(audio::WaveVolumeRight(f.WaveOut->GetVolume())));
  f.tbvolumen->setEnabled(open);
  return open;
}

// Once the window has been painted (or a second after this call, should no
// paint come): the gains in the background, and the about box (its menu
// item makes it too, should it come first). What else watches the first
// paint and is registered after this runs before it.
template <FirstPaintWindow Form>
void AfterWindowPainted(Form& f) {
  AfterFirstPaint::Run(
      &f,
      [&f] {
        f.Work->HoldWarming(false);
        f.CreateAboutBox();
      },
      1000);
}

// A close that goes through: the timers and the devices stop before anything
// of the window is freed, and a later close does nothing.
template <ClosingWindow Form>
void StopWindowDevices(Form& f) {
  if (f.Timer1) f.Timer1->stop();
  if (f.Timer4) f.Timer4->stop();
  if (f.Timer3) f.Timer3->stop();
  f.CloseWaveOutput();
  if (f.WaveIn) f.WaveIn->Close();
  f.DevicePane.Close();
  f.FormClosed = true;
}
