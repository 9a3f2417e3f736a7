#include "platform/ui/desk_theme.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>
#include <cmath>

const DeskColours& DeskTheme() {
  static const DeskColours colours;
  return colours;
}

QPalette DeskPalette() {
  const DeskColours& c = DeskTheme();
  QPalette p;
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(g, QPalette::Window, c.window);
    p.setColor(g, QPalette::WindowText, c.text);
    p.setColor(g, QPalette::Base, c.base);
    p.setColor(g, QPalette::AlternateBase, c.alternateBase);
    p.setColor(g, QPalette::Text, c.text);
    p.setColor(g, QPalette::BrightText, Qt::white);
    p.setColor(g, QPalette::Button, c.button);
    p.setColor(g, QPalette::ButtonText, c.text);
    p.setColor(g, QPalette::Highlight, c.highlight);
    p.setColor(g, QPalette::HighlightedText, c.highlightedText);
    p.setColor(g, QPalette::Light, c.button.lighter(160));
    p.setColor(g, QPalette::Midlight, c.button.lighter(125));
    p.setColor(g, QPalette::Mid, c.gridLine);  // the grids' lines are drawn from it
    p.setColor(g, QPalette::Dark, c.base.darker(150));
    p.setColor(g, QPalette::Shadow, Qt::black);
    p.setColor(g, QPalette::ToolTipBase, c.window);
    p.setColor(g, QPalette::ToolTipText, c.text);
    p.setColor(g, QPalette::PlaceholderText, c.disabledText);
    p.setColor(g, QPalette::Link, c.link);
    p.setColor(g, QPalette::LinkVisited, c.link);
  }
  // What cannot be used now looks it: grey text on a flatter ground.
  for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, r, c.disabledText);
  p.setColor(QPalette::Disabled, QPalette::Button, c.disabledGround);
  p.setColor(QPalette::Disabled, QPalette::Base, c.disabledGround);
  p.setColor(QPalette::Disabled, QPalette::Highlight, c.disabledGround.lighter(150));
  return p;
}

void ApplyDeskTheme() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app) return;
  if (app->property("deskTheme").toBool()) return;
  app->setProperty("deskTheme", true);
  if (QApplication::style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0)
    if (QStyle* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);
  QApplication::setPalette(DeskPalette());
  QToolTip::setPalette(DeskPalette());
}

QString MarkedButtonStyle(bool down, const QColor& downColour) {
  const DeskColours& c = DeskTheme();
  return QString("QPushButton { color: %1; background-color: %2; border: 1px solid %3; padding: 0px; }")
      .arg((down ? c.highlightedText : c.text).name(), (down ? downColour : c.button).name(),
           c.button.lighter(150).name());
}

namespace {
double Luminance(const QColor& c) {
  auto channel = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
