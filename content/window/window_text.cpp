#include "content/window/window_text.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>

#include "platform/ui/string_grid.h"

namespace {

QString Clean(QString s) {
  s.remove(QRegularExpression("&(?!&)"));
  return s.trimmed();
}

}  // namespace

// A menu as it opens, drawn off the screen.
QImage MenuPicture(QMenu& m) {
  m.ensurePolished();
  m.resize(m.sizeHint());
  return m.grab().toImage();
}

QString WindowText(const QWidget* window, const QString& ref) {
  static const QRegularExpression cell("^(\\w+):(\\d+),(\\d+)$");
  if (const auto m = cell.match(ref); m.hasMatch()) {
    auto* g = window->findChild<StringGrid*>(m.captured(1));
    const int c = m.captured(2).toInt(), r = m.captured(3).toInt();
    if (!g || c >= g->ColCount() || r >= g->RowCount()) return {};
    return Clean(g->Cells(c, r));
  }
  const bool hint = ref.endsWith(".hint");
  const QString name = hint ? ref.chopped(5) : ref;
  QObject* o = window->findChild<QObject*>(name);
  if (!o) return {};
  if (hint) {
    if (auto* a = qobject_cast<QAction*>(o)) return Clean(a->toolTip());
    if (auto* wd = qobject_cast<QWidget*>(o)) return Clean(wd->toolTip());
    return {};
  }
  if (auto* a = qobject_cast<QAction*>(o)) return Clean(a->text());
  if (auto* m = qobject_cast<QMenu*>(o)) return Clean(m->title());
  if (auto* g = qobject_cast<QGroupBox*>(o)) return Clean(g->title());
  if (auto* b = qobject_cast<QAbstractButton*>(o)) return Clean(b->text());
  if (auto* l = qobject_cast<QLabel*>(o)) return Clean(l->text());
  if (auto* e = qobject_cast<QLineEdit*>(o)) {
    for (QLabel* l : window->findChildren<QLabel*>())
      if (l->buddy() == e) return Clean(l->text());
    for (const QString& n : {name + "Label", "Label" + name})
      if (auto* l = window->findChild<QLabel*>(n)) return Clean(l->text());
  }
  return {};
}

std::vector<ManualShortcut> WindowShortcuts(const QWidget* window) {
  std::vector<ManualShortcut> out;
  for (QAction* a : window->findChildren<QAction*>()) {
    QStringList keys;
    for (const QKeySequence& k : a->shortcuts())
      if (!k.isEmpty()) keys << k.toString(QKeySequence::PortableText);
    if (!keys.isEmpty()) out.push_back({a->objectName(), keys.join(", ")});
  }
  return out;
}


bool SplitScreenKey(const QString& key, QString* base, QSize* screen) {
  static const QRegularExpression re("^(.+)@(\\d{3,4})x(\\d{3,4})$");
  const QRegularExpressionMatch m = re.match(key);
  if (!m.hasMatch()) return false;
  *base = m.captured(1);
  *screen = QSize(m.captured(2).toInt(), m.captured(3).toInt());
  return true;
}

void SettleEvents() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

QImage PictureOnScreen(QWidget& window, QSize screen, const std::function<QImage()>& take) {
  const QSize before = window.size();
  window.resize(screen);
  SettleEvents();
  const QImage image = take();
  window.resize(before);
  SettleEvents();
  return image;
}

std::unique_ptr<ScratchWorkingFolder> ScratchWorkingFolder::Enter(const Fill& fill, const std::string& what,
                                                                  std::string* error) {
  std::unique_ptr<ScratchWorkingFolder> f(new ScratchWorkingFolder());
  if (!f->dir_.isValid()) {
    if (error) *error = "no scratch folder for " + what;
    return nullptr;
  }
  const std::string root = QDir(f->dir_.path()).absolutePath().toStdString();
  if (!fill(root, error)) return nullptr;
  const QString previous = QDir::currentPath();
  if (!QDir::setCurrent(f->dir_.path())) {
    if (error) *error = "the scratch folder of " + what + " cannot be entered";
    return nullptr;
  }
  f->previous_ = previous;
  return f;
}

ScratchWorkingFolder::~ScratchWorkingFolder() {
  if (!previous_.isEmpty()) QDir::setCurrent(previous_);
}

QString ScratchWorkingFolder::FilePath(const QString& name) const { return QDir(dir_.path()).absoluteFilePath(name); }
