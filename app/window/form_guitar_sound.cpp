// The guitar's sound in the window: the bank chooser, the volume and pan
// sliders, the mixer's guitar hook and the auditions.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>

#include "app/window/mainform.h"
#include "platform/ui/settings.h"
#include "platform/ui/widgets.h"
#include "guitar/bank.h"
#include "guitar/render.h"
#include "platform/files/text.h"

void TMainForm::BuildGuitarSoundControls() {
  QWidget* p = PanelGuitarra;
  auto slider = [&](const char* name, int lo, int hi, int value, QRect geom) {
    auto* s = new QSlider(Qt::Horizontal, p);
    s->setObjectName(name);
    s->setRange(lo, hi);
    s->setValue(value);
    s->setGeometry(geom);
    return s;
  };
  // Along the foot of the panel: the open strings' notes of the loaded bank,
  // then the guitar's volume and pan.
  Label5 = MakeLabel(p, "Label5", QString(), {8, 456, 320, 18});
  VolG = slider("VolG", 1, 16, 8, {340, 457, 120, 16});
  PanG = slider("PanG", 0, 32, 16, {472, 457, 120, 16});
  QFont mono("Courier New", Label5->font().pointSize());
  mono.setStyleHint(QFont::Monospace);
  Label5->setFont(mono);

  connect(VolG, &QSlider::valueChanged, this, [this] { VolGChange(); });
  connect(PanG, &QSlider::valueChanged, this, [this] { PanGChange(); });
  // Only the user's choice: filling the list and showing the loaded bank do not load.
  connect(CBGuitarras, &QComboBox::activated, this, [this] { CBGuitarrasChange(); });
  VolGChange();
  PanGChange();
}

void TMainForm::PlayTiempoGClick() {
  // The beat at the cursor, every note to its end, into the guitar's buffer.
  Deck->AuditionGuitar([this](int16_t* buffer, size_t size) {
    return RenderBeatAudition(Guitar->CurrentTiempoG, Engine->SamplesPerBeat, Guitar->Capo, GuitarAudio->Tuning,
                              GuitarAudio->Bank, buffer, size);
  });
  if (OnGuitarAudition) OnGuitarAudition();
}

void TMainForm::PlayGuitarNote(int stringNumber, int semitones) {
  Deck->AuditionGuitar([&](int16_t* buffer, size_t size) {
    return 2 * RenderGuitarNote(stringNumber, semitones, GuitarAudio->Tuning, GuitarAudio->Bank, buffer, size);
  });
}

void TMainForm::LoadGuitarBankNamed(const std::string& name) {
  const GuitarBankLoad load = LoadGuitarBank(GuitarAudio->Bank, GuitarAudio->Tuning, name);
  for (const std::string& message : GuitarBankMessages(load, English)) dialogs->ShowMessage(FromFs(message));
  Label5->setText(L1(load.TuningCaption));
  CBGuitarras->setCurrentIndex(CBGuitarras->findText(L1(name)));
}

void TMainForm::CBGuitarrasChange() {
  if (CBGuitarras->currentIndex() < 0) return;
  GuitarBankName = ToL1(CBGuitarras->currentText());
  LoadGuitarBankNamed(GuitarBankName);
  SettingsIniFile->WriteString("METRONOMO", QString::fromStdString(kGuitarBankSettingsKey), L1(GuitarBankName));
}

void TMainForm::VolGChange() {
  if (Guards.TrackbarsLoading) return;
  LoadGuitarSliders();
}

void TMainForm::PanGChange() {
  if (Guards.TrackbarsLoading) return;
  Deck->SetGuitarPan(PanG->value());
  PanG->setToolTip(QString::fromStdString(GuitarPanHint(PanG->value())));
}
