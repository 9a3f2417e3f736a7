// Tempo sliders, click presets and level, master volume, track pan and
// volume, mute and solo.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <cstdio>

#include "app/window/mainform.h"
#include "platform/ui/desk_theme.h"
#include "platform/ui/string_grid.h"
#include "engine/mixer.h"
#include "engine/window/transport_steps.h"
#include "platform/files/text.h"
#include "engine/transport.h"

namespace {
// The leading decimal integer of a text; 0 when there is none.
int LeadingInt(const QString& s, bool* found = nullptr) {
  int v = 0, i = 0;
  while (i < s.size() && s[i].isSpace()) ++i;
  const int start = i;
  while (i < s.size() && s[i].isDigit() && v < 100000000) v = v * 10 + s[i++].digitValue();
  if (found) *found = i > start;
  return v;
}
QString Fmt(const char* fmt, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, v);
  return QString::fromLatin1(buf);
}
}  // namespace

void TMainForm::TB2Change() {
  const int beats = FormulaTempoMoved(*this);
  const float spb = 60.0f / Engine->CurrentBpm;
  // The same length label as a formula's selection writes.
  ShowFormulaLength(beats);
  Label30->setText(Fmt("%4.2f ms", static_cast<double>(spb * 1000.0f)));
}

void TMainForm::TB1Change() {
  const int bpm = ThemeTempoMoved(*this);
  const int r = SGTemas->Row() - 1;
  if (Guards.TempoSliderByCode) {
    Guards.TempoSliderByCode = false;
    return;
  }
  if (r < 0 || r >= kMaxTemas) return;
  Rhythm->Temas[r].tempos[0] = static_cast<uint16_t>(bpm);
  Deck->TakeMsPerBeat();
  Cambios();
  const int compas = Engine->CurrentCompas;
  FillSequenceGrid(r);
  Deck->SetCompas(compas);
}

void TMainForm::Edit1Change() {
  const int v = LeadingInt(Edit1->text());
  if (v >= 20 && v <= 400) TB2->setValue(SliderPosition(v));
}

void TMainForm::ClickPresetClick(char code) {
  Deck->SetClickPreset(code);
  if (code != '0' && CBMetro->currentIndex() < 2 && CBMetro->count() > 1) CBMetro->setCurrentIndex(1);
}

void TMainForm::NivelChange() { Deck->SetNivel(Nivel->value()); }

void TMainForm::tbvolumenChange() {
  const int p = tbvolumen->value();
  const int pct = p / 655;
  EdVol->setText(pct == 0 ? QString() : QString::number(pct));
  Deck->SetMasterVolume(p);
  SetOutputVolume((static_cast<uint32_t>(p) << 16) | static_cast<uint32_t>(p));
  IVolOn->resize(p * 92 / 65535, IVolOn->height());
}

void TMainForm::EdVolKeyPress() {
  bool found = false;
  const int v = LeadingInt(EdVol->text(), &found);
  if (found && v >= 0 && v <= 100) {
    tbvolumen->setValue(v * 655);
    tbvolumenChange();
  } else {
    tbvolumenChange();
  }
}

void TMainForm::EdVolChange() {
  bool found = false;
  const int v = LeadingInt(EdVol->text(), &found);
  if (found && v >= 0 && v <= 100) tbvolumen->setValue(v * 655);
}

void TMainForm::TBPan1Change() {
  if (Guards.TrackbarsLoading) return;
  const int r = SGTemas->Row() - 1;
  for (int t = 0; t < 16; ++t) {
    const int p = TBPan[t]->value();
    if (r >= 0 && r < kMaxTemas) Rhythm->Temas[r].pan[t] = static_cast<uint8_t>(p);
    TBPan[t]->setToolTip(QString::number(p - 16));
  }
  Cambios();
}

void TMainForm::TBVol1Change() {
  if (Guards.TrackbarsLoading) return;
  const int r = SGTemas->Row() - 1;
  for (int t = 0; t < 16; ++t) {
    const int v = TBVol[t]->value();
    if (r >= 0 && r < kMaxTemas) Rhythm->Temas[r].volume[t] = static_cast<uint8_t>(v);
    Deck->SetTrackVolume(t, v);
    TBVol[t]->setToolTip(v >= 8 ? "x" + QString::number(v - 7) : "1/" + QString::number(9 - v));
  }
  Cambios();
}

void TMainForm::ShowMuteSoloColours() {
  for (int i = 0; i < 17; ++i) {
    const QSignalBlocker bs(SoloButtons[i]), bm(MuteButtons[i]);
    SoloButtons[i]->setChecked(Engine->Controls.SoloButtons[i]);
    MuteButtons[i]->setChecked(Engine->Controls.MuteButtons[i]);
    SoloButtons[i]->setStyleSheet(MarkedButtonStyle(Engine->Controls.SoloButtons[i], DeskTheme().soloDown));
    MuteButtons[i]->setStyleSheet(MarkedButtonStyle(Engine->Controls.MuteButtons[i], DeskTheme().muteDown));
  }
  SGDatosFormula->viewport()->update();
}

void TMainForm::Solo1Click() {
  std::array<bool, kMixTracks + 1> down{};
  for (int i = 0; i < 17; ++i) down[static_cast<size_t>(i)] = SoloButtons[i]->isChecked();
  Deck->SetSolos(down);
  ShowMuteSoloColours();
}

void TMainForm::Mute1Click() {
  std::array<bool, kMixTracks + 1> down{};
  for (int i = 0; i < 17; ++i) down[static_cast<size_t>(i)] = MuteButtons[i]->isChecked();
  Deck->SetMutes(down);
  ShowMuteSoloColours();
}

void TMainForm::CheckBox2MouseDown() { Guards.AccentChangeByCode = false; }
