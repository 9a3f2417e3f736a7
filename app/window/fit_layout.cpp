// Fitting the window's fixed layout to the font it meets on this desktop:
// the panels keep their places and sizes where the texts fit, and grow where
// a text of either language needs more room.
#include <QAbstractButton>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>

#include "platform/ui/fit_texts.h"
#include "app/window/language.h"
#include "app/window/mainform.h"
#include "platform/ui/string_grid.h"
#include "engine/sound_bank.h"
#include "rhythm/editor_logic.h"

namespace {
constexpr int kPanelMargin = 4;

// The longest texts the labels filled at run time can show, in both languages.
void AddRuntimeTexts(TMainForm* f, ShownTexts* texts) {
  const QString name32 = QString::fromUtf8("Soleá por bulerías de Jerez (II)");
  const QString name16 = QString::fromUtf8("Bulerías al golp");
  auto add = [&](QWidget* w, const QStringList& more) {
    if (w) (*texts)[w] << more;
  };
  add(f->Label8, {"400.00 bpm"});
  add(f->Label1, {QString::fromUtf8("Fórmula 999"), "Formula 999"});
  add(f->Label7, {name16});
  add(f->Label22, {QString::fromUtf8(LengthLabel(12, 20.0f, false).c_str()),
                   QString::fromUtf8(LengthLabel(12, 20.0f, true).c_str())});
  add(f->Label30, {"3000.00 ms"});
  add(f->Label14, {QString::fromUtf8("Usada en Tema 999 ") + name32, "Used in song 999 " + name32,
                   QString::fromUtf8("No está usada"), "It is not used "});
  add(f->Label25, {QString::fromUtf8("Añadir F 999 ") + name16, "Add F 999 " + name16});
  add(f->Label3, {QString::fromUtf8(CompasCounterText(999, 999, 99, 99, true, false).c_str()),
                  QString::fromUtf8(CompasCounterText(999, 999, 99, 99, true, true).c_str())});
  add(f->TTiempo, {"99:59.9"});
  add(f->STT, {"12", "88"});
  add(f->Label15, {QString::fromUtf8(SoundCountText(9999, false).c_str()),
                   QString::fromUtf8(SoundCountText(9999, true).c_str())});
  add(f->Label29, {"99.99'"});
  add(f->LFGuitarra, {name32 + ".gtr"});
  add(f->LGCompas, {"999/999"});
  add(f->LGTiempo, {" 12/ 12"});
  add(f->LGPartes, {"24"});
  add(f->LGCejilla, {"12"});
  // The tuner's reading.
  add(f->STFrec, {"1760.00Hz +49.99% <-", "1760.00Hz -49.99% ->"});
  add(f->STFrecBase, {"1760.00Hz"});
  add(f->STNota, {"A#"});
  add(f->STNotaEsp, {"Sol#"});
  add(f->STCuerda, {QString::fromUtf8("6\u00AA")});
  add(f->STMasmenos, {"+", "-"});
  add(f->STTraste, {"12"});
}

int CaptionRight(QGroupBox* panel, const QStringList& titles) {
  QFont bold = panel->font();
  bold.setBold(true);
  const QFontMetrics fm(bold);
  int width = 0;
  for (const QString& t : titles) width = std::max(width, fm.horizontalAdvance(t));
  return 18 + width;
}

// Check boxes and radio buttons on the black panels: a light frame round a
// dark box, so that an unticked one shows as plainly as a ticked one.
void ShowIndicators(QWidget* panel) {
  for (QAbstractButton* b : panel->findChildren<QAbstractButton*>()) {
    if (!qobject_cast<QCheckBox*>(b) && !qobject_cast<QRadioButton*>(b)) continue;
    QPalette pal = b->palette();
    pal.setColor(QPalette::Window, QColor(200, 200, 200));  // the frame is drawn from it
    pal.setColor(QPalette::Base, QColor(24, 24, 24));
    pal.setColor(QPalette::Text, Qt::white);                 // the tick and the dot
    pal.setColor(QPalette::WindowText, Qt::white);
    pal.setColor(QPalette::ButtonText, Qt::white);
    // A control that cannot be used now looks it: grey text, a dim frame.
    const QColor dim(120, 120, 120);
    pal.setColor(QPalette::Disabled, QPalette::WindowText, dim);
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, dim);
    pal.setColor(QPalette::Disabled, QPalette::Text, dim);
    pal.setColor(QPalette::Disabled, QPalette::Window, QColor(90, 90, 90));
    pal.setColor(QPalette::Disabled, QPalette::Base, QColor(48, 48, 48));
    b->setPalette(pal);
  }
}
}  // namespace

void TMainForm::FitLayout() {
  // What each control shows in either language, and the longest run-time texts.
  ShownTexts texts;
  QHash<QGroupBox*, QStringList> titles;
  const QList<QGroupBox*> panels = {PanelMetronomo, PanelTemas,    PanelFormulas, PanelPistas,
                                    PanelSonidos,   PanelAfinador, PanelGuitarra};
  auto record = [&] {
    RecordShownTexts(Desk, &texts);
    for (QGroupBox* p : panels) titles[p] << p->title();
  };
  record();
  ApplyLanguageTable(this, true);
  record();
  ApplyLanguageTable(this, false);
  AddRuntimeTexts(this, &texts);

  // The labels beside a panel's caption start after its longest caption.
  for (QGroupBox* p : panels) {
    const int right = CaptionRight(p, titles.value(p)) + 6;
    const QList<QWidget*> kids = p->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : kids) {
      if (!qobject_cast<QLabel*>(w) || w->y() >= 16 || w->x() <= 16 || w->x() >= right) continue;
      // It keeps its right edge where its texts still fit there.
      int need = 0;
      for (const QString& t : texts.value(w)) need = std::max(need, WidthForText(w, t));
      const int oldRight = w->x() + w->width();
      const int newRight = std::max(oldRight, right + need);
      PushRightOf(w, oldRight, newRight, kids);
      w->setGeometry(right, w->y(), newRight - right, w->height());
    }
  }

  // Each panel holds its controls; the docked panels to the right of one
  // that grew move along.
  const QList<QWidget*> docked = {PanelMetronomo, PanelTemas, PanelFormulas, PanelPistas};
  for (QGroupBox* p : panels) {
    ShowIndicators(p);
    const QRect used = FitChildren(p, texts);
    if (p == PanelPistas) continue;  // sized by the pattern grid's columns
    const int width = std::max(p->width(), used.right() + 1 + kPanelMargin);
    if (width > p->width()) {
      const int oldRight = p->x() + p->width();
      if (docked.contains(p)) PushRightOf(p, oldRight, p->x() + width, docked);
      p->resize(width, p->height());
    }
  }
  PlaceFormulaToAdd(texts.value(Label25));
  for (StringGrid* g : {SGTemas, SGSaco, SGFormulas, SGDatosFormula}) g->FitColumns();
  LayoutPatternGrid(SGDatosFormula->ColCount() - 2);
  UpdateDeskSize();
}

void TMainForm::UpdateDeskSize() {
  QRect all(0, 0, 1, 1);
  for (QWidget* p : {static_cast<QWidget*>(PanelMetronomo), static_cast<QWidget*>(PanelTemas),
                     static_cast<QWidget*>(PanelFormulas), static_cast<QWidget*>(PanelPistas),
                     static_cast<QWidget*>(PanelOnda), static_cast<QWidget*>(PanelSonidos),
                     static_cast<QWidget*>(PanelAfinador), static_cast<QWidget*>(PanelGuitarra)})
    if (!p->isHidden()) all |= p->geometry();
  Desk->setMinimumSize(all.right() + 1 + 2, all.bottom() + 1 + 2);
}

void TMainForm::LayoutPatternGrid(int beats) {
  beats = std::clamp(beats, 1, 12);
  for (int c = 2; c < beats + 2 && c < SGDatosFormula->ColCount(); ++c) SGDatosFormula->SetColWidth(c, 64);
  int columns = 0;
  for (int c = 0; c < SGDatosFormula->ColCount(); ++c) columns += SGDatosFormula->columnWidth(c);
  const int frame = 2 * SGDatosFormula->frameWidth();
  SGDatosFormula->resize(columns + frame + beats + 7, SGDatosFormula->height());
  // The texts along the caption keep their room when a short formula
  // narrows the grid.
  int width = SGDatosFormula->x() + SGDatosFormula->width() + 17;
  for (QLabel* l : {Label1, Label7, Label22, Label30, Label14})
    if (l) width = std::max(width, l->x() + l->width() + kPanelMargin);
  if (PanelPistas->width() != width) {
    PanelPistas->resize(width, PanelPistas->height());
    UpdateDeskSize();
  }
  // Each accent box under the middle of its beat's column.
  for (int k = 0; k < 12; ++k) {
    QCheckBox* box = AccentBoxes[static_cast<size_t>(k)];
    if (!box) continue;
    // Only the formula's beats have a box: none stands by the panel's edge.
    if (k >= beats || k + 2 >= SGDatosFormula->ColCount()) {
      box->setVisible(false);
      continue;
    }
    const int left = SGDatosFormula->x() + SGDatosFormula->frameWidth() + SGDatosFormula->columnViewportPosition(k + 2);
    box->move(left + (SGDatosFormula->columnWidth(k + 2) - box->width()) / 2, box->y());
  }
}

void TMainForm::PlaceSetNameLabel() {
  if (!PanelSonidos->property("layoutWidth").isValid()) PanelSonidos->setProperty("layoutWidth", PanelSonidos->width());
  const int layoutWidth = PanelSonidos->property("layoutWidth").toInt();
  const int left = CaptionRight(PanelSonidos, {PanelSonidos->title()}) + 6;
  const int width = std::max(WidthForText(Label21, Label21->text()), 20);
  Label21->setGeometry(left, Label21->y(), width, Label21->height());
  PanelSonidos->resize(std::max(layoutWidth, left + width + kPanelMargin), PanelSonidos->height());
  UpdateDeskSize();
}

// The formula to add stands on the row of the export's two caption lines,
// after them, never over them; the theme tempo slider moves right when its
// longest text needs the room.
void TMainForm::PlaceFormulaToAdd(const QStringList& texts) {
  int left = Label25->x();
  for (const char* name : {"Label38", "Label39"})
    if (auto* l = PanelTemas->findChild<QLabel*>(name, Qt::FindDirectChildrenOnly)) left = std::max(left, l->x() + l->width() + 6);
  int need = 20;
  for (const QString& t : texts) need = std::max(need, WidthForText(Label25, t));
  const QList<QWidget*> kids = PanelTemas->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  Label25->setGeometry(left, Label25->y(), need, Label25->height());
  const int room = TB1->x() - kPanelMargin;
  if (left + need > room) PushRightOf(Label25, room, left + need, kids);
  const int width = TB1->x() + TB1->width() + kPanelMargin;
  if (width > PanelTemas->width()) {
    PushRightOf(PanelTemas, PanelTemas->x() + PanelTemas->width(), PanelTemas->x() + width,
                {PanelMetronomo, PanelTemas, PanelFormulas, PanelPistas});
    PanelTemas->resize(width, PanelTemas->height());
  }
}
