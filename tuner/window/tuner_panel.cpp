#include "tuner/window/tuner_panel.h"

#include <QFont>

#include "platform/ui/widgets.h"

QColor TunerColour(uint32_t bbggrr) {
  return QColor(static_cast<int>(bbggrr & 0xFF), static_cast<int>((bbggrr >> 8) & 0xFF),
                static_cast<int>((bbggrr >> 16) & 0xFF));
}

void SetTextColour(QLabel* label, const QColor& colour, const char* background) {
  label->setStyleSheet(QString("QLabel { color: %1; background: %2; }").arg(colour.name(), background));
}

QLabel* ReadingLabel(QWidget* parent, const char* name, QRect geometry, int pointSize, Qt::Alignment align) {
  QLabel* l = MakeLabel(parent, name, QString(), geometry);
  QFont f = l->font();
  f.setPointSize(pointSize);
  f.setBold(true);
  l->setFont(f);
  l->setAlignment(align | Qt::AlignVCenter);
  SetTextColour(l, Qt::white);
  return l;
}
