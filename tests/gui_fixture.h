// The real main window on a scratch working folder with the factory content,
// its dialogs answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTextEdit>
#include <memory>

#include "app/window/mainform.h"
#include "links/phone_server.h"
#include "platform/ui/string_grid.h"
#include "content/factory_set.h"
#include "platform/audio/wave_in.h"
#include "platform/audio/wave_out_test.h"
#include "temp_dir.h"

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    ASSERT_TRUE(WriteWorkingFolder(".", &err)) << err;
  }
  // Builds the window and runs its start-up (opens the set in the settings).
  void Start(const std::string& waveOpenFailure = std::string()) {
    auto d = std::make_unique<ScriptedDialogs>();
    dlg = d.get();
    TMainForm::Options o;
    o.dialogs = std::move(d);
    o.iniPath = "DRAV_PROF.ini";
    auto w = audio::CreateTestWaveOut();
    wave = w.get();
    if (!waveOpenFailure.empty()) wave->SetOpenFailure(waveOpenFailure);
    o.waveOut = std::move(w);
    auto in = audio::CreateTestWaveIn();
    waveIn = in.get();
    if (!waveInOpenFailure.empty()) waveIn->SetOpenFailure(waveInOpenFailure);
    o.waveIn = std::move(in);
    o.announcer = std::make_unique<TestAnnouncer>(false);  // no DNS-SD server: no phone link
    o.phoneServer = phone::MakePhoneServer();
    form = std::make_unique<TMainForm>(std::move(o));
    form->FormCreate();
  }
  QString LastLog() const {
    const QStringList lines = form->Visor->toPlainText().split('\n');
    return lines.isEmpty() ? QString() : lines.last();
  }
  bool LogHas(const QString& s) const { return form->Visor->toPlainText().contains(s); }

  ScratchFolder dir;
  std::unique_ptr<TMainForm> form;
  ScriptedDialogs* dlg = nullptr;
  audio::TestWaveOut* wave = nullptr;
  audio::TestWaveIn* waveIn = nullptr;
  std::string waveInOpenFailure;  // set before Start: the microphone cannot be opened
};
