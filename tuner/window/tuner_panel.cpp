#include "tuner/window/tuner_panel.h"

#include <QFont>
#include <QVBoxLayout>

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

void ShowTunerInputProblem(QWidget* trace, const QString& text) {
  if (!trace) return;
  auto* label = trace->findChild<QLabel*>("TunerInputProblem", Qt::FindDirectChildrenOnly);
  if (!label) {
    if (text.isEmpty()) return;
    // A child of the trace, so it covers nothing but the empty trace.
    label = new QLabel(trace);
    label->setObjectName("TunerInputProblem");
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet("QLabel { color: #ffd060; background: rgba(0, 0, 0, 200); padding: 6px; }");
    auto* fill = new QVBoxLayout(trace);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(label);
  }
  label->setText(text);
  label->setVisible(!text.isEmpty());
}
