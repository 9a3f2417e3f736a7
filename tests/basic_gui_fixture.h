// The basic edition's real main window on a scratch working folder with its
// factory content, its dialogs answered by the test and its sound going to
// the test wave output.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <memory>

#include "platform/ui/string_grid.h"
#include "basic/window/basic_form.h"
#include "content/basic_factory.h"
#include "platform/audio/wave_in.h"
#include "platform/audio/wave_out_test.h"
#include "platform/hid/hid_device_test.h"
#include "platform/serial/serial_port_test.h"
#include "platform/ui/desktop.h"
#include "temp_dir.h"

class BasicWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    ASSERT_TRUE(WriteBasicWorkingFolder(".", &err)) << err;
  }
  // Builds the window and runs its start-up (opens the set in the settings).
  // Without realSerial the device link sees no device at all.
  void Start(bool realSerial = false) {
    auto d = std::make_unique<ScriptedDialogs>();
    dlg = d.get();
    bornace::TMainForm::Options o;
    o.dialogs = std::move(d);
    auto w = audio::CreateTestWaveOut();
    wave = w.get();
    o.waveOut = std::move(w);
    auto in = audio::CreateTestWaveIn();
    waveIn = in.get();
    o.waveIn = std::move(in);
    o.hidBus = std::make_unique<hid::TestHidBus>();  // no HID device
    if (!realSerial) o.serialPort = std::make_unique<serial::TestSerialPort>();
    auto desk = std::make_unique<RecordingDesktop>();
    desktop = desk.get();
    o.desktop = std::move(desk);
    form = std::make_unique<bornace::TMainForm>(std::move(o));
    form->FormCreate();
  }
  QStringList VisorLines() const { return form->Visor->toPlainText().split('\n', Qt::SkipEmptyParts); }
  bool LogHas(const QString& s) const { return form->Visor->toPlainText().contains(s); }

  ScratchFolder dir;
  std::unique_ptr<bornace::TMainForm> form;
  ScriptedDialogs* dlg = nullptr;
  audio::TestWaveOut* wave = nullptr;
  audio::TestWaveIn* waveIn = nullptr;
  RecordingDesktop* desktop = nullptr;
};
