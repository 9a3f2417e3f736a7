// The start-up and shutdown steps that both editions' main windows take
// alike: the set to open from the settings and the command line, the
// language the settings name, the output device with the master volume
// taken from it, and the last step of a close, when the timers and the
// devices stop before anything of the window is freed.
//
// The templates take either edition's main window. What they use of it has
// the same name in both: SettingsIniFile, Ingls1 and Espaol1, Playback,
// WaveOut, WaveIn, dialogs, tbvolumen, the timers Timer1, Timer3 and Timer4,
// FormClosed, the device panel DevicePane, and the handlers OnBufferDone and
// CloseWaveOutput.
#pragma once

#include <QAction>
#include <QMetaObject>
#include <QSlider>
#include <QString>
#include <QTimer>
#include <string>

#include "app/startup.h"
#include "app/window/language.h"
#include "engine/sound_messages.h"
#include "platform/ui/settings.h"
#include "platform/audio/wave_out.h"
#include "platform/files/text.h"
#include "rhythm/dataset.h"

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
template <class Form>
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
template <class Form>
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
template <class Form>
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

// A close that goes through: the timers and the devices stop before anything
// of the window is freed, and a later close does nothing.
template <class Form>
void StopWindowDevices(Form& f) {
  if (f.Timer1) f.Timer1->stop();
  if (f.Timer4) f.Timer4->stop();
  if (f.Timer3) f.Timer3->stop();
  f.CloseWaveOutput();
  if (f.WaveIn) f.WaveIn->Close();
  f.DevicePane.Close();
  f.FormClosed = true;
}
