// The desk's arrangement: the tool panels share the desk without covering
// each other. A panel that opens goes back to its layout place when that is
// free, and otherwise takes the first free room in reading order within the
// desk's visible width; the desk scrolls only when what is open needs more
// than the screen. A panel the user has dragged stays where it was put, and
// the settings keep its place for the next start.
#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include "app/window/mainform.h"
#include "platform/ui/desk_places.h"
#include "platform/ui/fit_texts.h"
#include "platform/ui/settings.h"
#include "platform/ui/string_grid.h"

namespace {
const char kPlacesSection[] = "PANELES";
// A place further out than this is no place the desk can have.
constexpr int kFarthestPlace = 20000;

// The room a panel keeps: as wide as it has ever been, since the tracks
// panel narrows for a short formula and grows again for a long one.
QRect Room(const QWidget* p) {
  return QRect(p->pos(), QSize(std::max(p->width(), p->property("widest").toInt()), p->height()));
}
bool UserPlaced(const QWidget* p) { return p->property("userPlaced").toBool(); }
}  // namespace

QList<QWidget*> TMainForm::DeskPanels() const {
  return {PanelMetronomo, PanelTemas, PanelFormulas, PanelPistas, PanelOnda, PanelSonidos, PanelAfinador, PanelGuitarra};
}

int TMainForm::DeskWidth() const {
  // Until the window shows, the screen it will fill; room for the scroll bar
  // a taller desk brings.
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  if (isVisible()) {
    const int w = DeskScroll->viewport()->width();
    return DeskScroll->verticalScrollBar()->isVisible() ? w : w - bar;
  }
  const QScreen* s = screen();
  return (s ? s->availableGeometry().width() : 1024) - bar - 2;
}

void TMainForm::PrepareDesk() {
  // The wave panel's caption follows its View item's wording.
  auto wording = [this] {
    QString text = Onda1->text();
    text.remove('&');
    LabelOnda->setText("   " + text + " ");
  };
  connect(Onda1, &QAction::changed, LabelOnda, wording);
  wording();
  for (QWidget* p : DeskPanels()) {
    p->setProperty("homePlace", p->pos());
    p->setProperty("widest", p->width());
    QPoint at;
    if (ParsePlace(SettingsIniFile->ReadString(kPlacesSection, p->objectName(), QString()), kFarthestPlace, &at)) {
      p->move(at);
      p->setProperty("userPlaced", true);
    }
  }
  UpdateDeskSize();
  // The grids grow with their columns, so that a long name shows whole and
  // no column hides behind the grid's edge or its scroll bar; the tracks'
  // sound names are drawn in bold.
  SGDatosFormula->SetBoldColumn(1);
  for (StringGrid* g : {SGTemas, SGSaco, SGFormulas}) {
    connect(g->horizontalHeader(), &QHeaderView::sectionResized, this, [this, g] { GiveGridRoom(g); });
    // Rows enough to scroll bring the scroll bar, which needs its room too.
    connect(g->model(), &QAbstractItemModel::rowsInserted, this, [this, g] { GiveGridRoom(g); });
    GiveGridRoom(g);
  }
}

void TMainForm::GiveGridRoom(StringGrid* g) {
  const int need = g->WidthForColumns(g->RowsScroll());
  if (need <= g->width()) return;
  QWidget* panel = g->parentWidget();
  const QList<QWidget*> kids = panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  PushRightOf(g, g->x() + g->width(), g->x() + need, kids);
  g->resize(need, g->height());
  int right = 0;
  for (QWidget* w : kids)
    if (!w->isHidden()) right = std::max(right, w->x() + w->width());
  const int width = right + 4;
  if (width <= panel->width()) return;
  // The docked panels to its right move along, and keep that place as theirs.
  const QList<QWidget*> docked = {PanelMetronomo, PanelTemas, PanelFormulas, PanelPistas};
  if (docked.contains(panel)) {
    QList<QPoint> before;
    for (QWidget* d : docked) before << d->pos();
    PushRightOf(panel, panel->x() + panel->width(), panel->x() + width, docked);
    for (int i = 0; i < docked.size(); ++i)
      if (docked[i]->pos() != before[i] && !UserPlaced(docked[i])) docked[i]->setProperty("homePlace", docked[i]->pos());
  }
  panel->resize(width, panel->height());
  for (QWidget* d : docked) KeepPanelsApart(d);
  UpdateDeskSize();
}

void TMainForm::PlaceOpenedPanel(QWidget* panel) {
  if (panel->isHidden() || UserPlaced(panel)) return;
  QList<QRect> taken;
  for (QWidget* p : DeskPanels())
    if (p != panel && !p->isHidden()) taken << Room(p);
  const QRect room = Room(panel);
  const QPoint home = panel->property("homePlace").toPoint();
  const QRect atHome(home, room.size());
  const bool homeFree =
      std::none_of(taken.begin(), taken.end(), [&](const QRect& t) { return PanelsOverlap(t, atHome); });
  const int width = DeskWidth();
  if (homeFree && (atHome.right() < width || home.x() == 0))
    panel->move(home);
  else
    panel->move(NextFreePlace(taken, room.size(), width));
  UpdateDeskSize();
}

void TMainForm::KeepPanelsApart(QWidget* grown) {
  if (grown->isHidden() || !grown->property("homePlace").isValid()) return;
  grown->setProperty("widest", std::max(grown->width(), grown->property("widest").toInt()));
  for (QWidget* p : DeskPanels()) {
    if (p == grown || p->isHidden() || UserPlaced(p)) continue;
    if (PanelsOverlap(Room(p), Room(grown))) PlaceOpenedPanel(p);
  }
}

void TMainForm::RememberPanelPlace(QWidget* panel) {
  panel->setProperty("userPlaced", true);
  if (!SettingsIniFile->WriteString(kPlacesSection, panel->objectName(), PlaceText(panel->pos())))
    Log(Tr("No se pudo guardar la posición del panel en la configuración",
           "The panel's place could not be saved in the settings"));
}
