#include "engine/window/transport_steps.h"

#include <QVariant>

void SetLampColour(QLabel* label, const char* colour) {
  if (!label) return;
  const QString c = QString::fromLatin1(colour);
  if (label->property("lampColour").toString() == c) return;
  label->setProperty("lampColour", c);
  label->setStyleSheet(QString("QLabel { color: %1; background: transparent; }").arg(c));
}

bool LightBeatLabel(const std::array<QLabel*, 12>& labels, const BeatCue& cue) {
  for (int i = 0; i < 12; ++i)
    if (i != cue.label) SetLampColour(labels[static_cast<size_t>(i)], "gray");
  if (cue.label < 0 || cue.label >= 12) return false;
  SetLampColour(labels[static_cast<size_t>(cue.label)], cue.accent ? "red" : "lime");
  return true;
}
