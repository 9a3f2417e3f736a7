// What a window shows, text by text, and which of those texts belong to the
// language not in force: the check both editions' window tests make after
// every language switch and after the common actions.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QWidget>
#include <QtGlobal>
#include <concepts>
#include <functional>
#include <set>
#include <vector>

#include "app/window/language.h"
#include "platform/ui/keyboard.h"
#include "platform/ui/string_grid.h"

struct ShownText {
  QString where;  // the control's object name, with what of it shows the text
  QString text;
};

// Every text a user can see in the window as it stands: the captions, titles,
// tips and tab texts of the visible controls, the items of every menu and
// pop-up menu, the items of the visible choosers, the heading row of the
// visible grids and the sound column of the pattern grid (whose cells are
// captions, not data).
// Controls named in `passOver` are left out: lists of names the user made
// (guitar sets, chords) and menus the check does not cover.
inline std::vector<ShownText> VisibleTexts(QWidget* window, const std::set<QString>& passOver = {}) {
  std::vector<ShownText> out;
  auto put = [&](const QString& where, const QString& text) {
    if (!text.trimmed().isEmpty()) out.push_back({where, text});
  };
  auto shown = [window](QWidget* w) { return w == window || w->isVisibleTo(window); };
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (qobject_cast<QMenu*>(w) || !shown(w)) continue;
    const QString n = w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName();
    if (n.startsWith("qt_") || passOver.count(n)) continue;
    put(n + ".hint", w->toolTip());
    if (auto* l = qobject_cast<QLabel*>(w)) put(n, l->text());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) put(n, b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) put(n, g->title());
    if (auto* t = qobject_cast<QTabWidget*>(w))
      for (int i = 0; i < t->count(); ++i) put(QString("%1.tab%2").arg(n).arg(i), t->tabText(i));
    if (auto* c = qobject_cast<QComboBox*>(w))
      for (int i = 0; i < c->count(); ++i) put(QString("%1.item%2").arg(n).arg(i), c->itemText(i));
    if (auto* g = qobject_cast<StringGrid*>(w)) {
      for (int c = 0; c < g->ColCount(); ++c) put(QString("%1:%2,0").arg(n).arg(c), g->Cells(c, 0));
      if (n == "SGDatosFormula" && g->ColCount() > 1)
        for (int r = 1; r < g->RowCount(); ++r) put(QString("%1:1,%2").arg(n).arg(r), g->Cells(1, r));
    }
  }
  // Menu texts as they read: the underlined letter's mark and the key shown aside.
  if (auto* main = qobject_cast<QMainWindow*>(window))
    for (QAction* a : main->menuBar()->actions()) put("menu bar", WithoutMnemonic(a->text()));
  for (QMenu* m : window->findChildren<QMenu*>()) {
    if (passOver.count(m->objectName())) continue;
    put(m->objectName() + ".title", WithoutMnemonic(m->title()));
    for (QAction* a : m->actions())
      if (!a->isSeparator()) put(m->objectName() + "/" + a->objectName(), WithoutMnemonic(a->text()));
  }
  return out;
}

// The texts of both languages a window can show: those of its language
// table and those its handlers write as they go (patterns, as they carry
// numbers and names).
struct Vocabulary {
  std::set<QString> spanish, english;
  std::vector<QRegularExpression> spanishPatterns, englishPatterns;

  void AddTable(const std::vector<LanguageRow>& rows) {
    for (const LanguageRow& r : rows) {
      if (std::string(r.property) == "fileName") continue;  // never shown
      const QString es = QString::fromUtf8(r.spanish), en = QString::fromUtf8(r.english);
      for (const QString& t : es.split('\n')) spanish.insert(t.trimmed());
      for (const QString& t : en.split('\n')) english.insert(t.trimmed());
    }
  }
  void AddPatterns(const std::vector<std::pair<const char*, const char*>>& pairs) {
    for (const auto& [es, en] : pairs) {
      spanishPatterns.emplace_back(QString::fromUtf8(es));
      englishPatterns.emplace_back(QString::fromUtf8(en));
    }
  }
  bool Belongs(const QString& text, bool english) const {
    const QString t = text.trimmed();
    if ((english ? this->english : spanish).count(t)) return true;
    for (const QRegularExpression& re : english ? englishPatterns : spanishPatterns)
      if (re.match(t).hasMatch()) return true;
    return false;
  }
};

// The shown texts that belong only to the other language than `english`.
inline QStringList OtherLanguageTexts(QWidget* window, const Vocabulary& v, bool english,
                                      const std::set<QString>& passOver = {}) {
  QStringList wrong;
  for (const ShownText& s : VisibleTexts(window, passOver))
    if (v.Belongs(s.text, !english) && !v.Belongs(s.text, english)) wrong << s.where + " \"" + s.text + "\"";
  return wrong;
}

// VELARTO_LANGUAGE_PICTURES=<folder> keeps a picture of the window as each
// check saw it, to look at.
// The states the common actions leave a window in, each reached from the
// one before: start, a theme selected, a formula clicked, its beat count
// changed, the theme playing (a few beats mixed) and stopped. Both editions'
// windows have these handlers by these names.
struct WindowState {
  const char* name;
  std::function<void()> act;
};
template <class Form>
concept CommonActionsWindow = requires(Form& f, int n) {
  { f.SGFormulas } -> std::convertible_to<StringGrid*>;
  f.SGTemasSelectCell(n, n);
  f.SGFormulasSelectCell(n, n);
  f.SGFormulasClick();
  f.BotonPlayCompClick();
  f.Stop1Click();
};
template <CommonActionsWindow Form>
std::vector<WindowState> CommonActionStates(Form& form) {
  return {
      {"start", [] {}},
      {"theme selected",
       [&form] {
         form.SGTemas->Select(1, 2);
         form.SGTemasSelectCell(1, 2);
       }},
      {"formula clicked",
       [&form] {
         form.SGFormulas->Select(1, 3);
         form.SGFormulasSelectCell(1, 3);
         form.SGFormulasClick();
       }},
      {"beats changed",
       [&form] {
         form.SGFormulas->SetCells(1, 3, "4");
         form.SGFormulasSetEditText(1, 3, "4");
       }},
      {"theme playing",
       [&form] {
         form.BotonPlayCompClick();
         for (int i = 0; i < 5; ++i) {
           form.OnBufferDone();
           QCoreApplication::processEvents();
         }
       }},
      {"stopped", [&form] { form.Stop1Click(); }},
  };
}

inline void KeepLanguagePicture(QWidget* window, const QString& name) {
  const QByteArray folder = qgetenv("VELARTO_LANGUAGE_PICTURES");
  if (folder.isEmpty()) return;
  if (!window->isVisible()) {
    window->resize(1920, 1080);
    window->show();
  }
  QCoreApplication::processEvents();
  window->grab().save(QString::fromLocal8Bit(folder) + "/" + QString(name).replace(' ', '-') + ".png");
}

// The texts the windows' handlers write as they go, Spanish and English.
inline const std::vector<std::pair<const char*, const char*>> kRunTimeTexts = {
    {R"(^Tema \d+: )", R"(^Song \d+: )"},
    {R"(^Tema : )", R"(^Song : )"},
    {R"(^Tema Nº$)", R"(^Song No\.$)"},
    {R"(^Fórmula \d+$)", R"(^Formula \d+$)"},
    {R"(^Duración )", R"(^Length )"},
    {R"(^Usada en Tema \d+)", R"(^Used in song \d+)"},
    {R"(^No está usada$)", R"(^It is not used$)"},
    {R"(^Añadir F \d+)", R"(^Add F \d+)"},
    {R"(^T \d+$)", R"(^B \d+$)"},
    {R"(^\d+ sonidos$)", R"(^\d+ sounds$)"},
    {R"(^Usado \(\d+\.\d\d%\)$)", R"(^Used \(\d+\.\d\d%\)$)"},
    {R"(^Silencio$)", R"(^Silence$)"},
    {R"(^Estéreo$)", R"(^Stereo$)"},
    {R"(^Partitura$)", R"(^Score$)"},
    {R"(^Fin$)", R"(^End$)"},
    {R"(^Oir sonido$)", R"(^Play sound$)"},
    {R"(^Exportar tema a WAV$)", R"(^Export song to WAV$)"},
    {R"(^Compás +\d+/ *\d+)", R"(^Compass +\d+/ *\d+)"},
    {R"(^(Copiar|Pegar) (tiempo|compás) \d+)", R"(^(Copy|Paste) (beat|compass) \d+)"},
};
