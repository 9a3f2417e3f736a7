// The Spanish/English switch of the main window's texts: one table of
// (component, property, English, Spanish) rows, applied by the two handlers
// TMainForm::Ingls1Click and TMainForm::Espaol1Click (app/language.cpp).
#pragma once

#include <QAction>
#include <QString>
#include <concepts>
#include <string>
#include <vector>

#include "platform/ui/settings.h"
#include "platform/files/text.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/keyboard.h"

class QObject;

// Properties a row can set:
//   "caption"   the visible text: a menu's title, a menu item's or button's
//               text, a label's text, a group box's title
//   "hint"      the tool-tip
//   "label"     the attached label of a labelled edit box: the QLabel whose
//               buddy is the component (or, failing that, its first QLabel child)
//   "cell:c,r"  the text of cell (c, r) of a StringGrid (r = 0: the header row)
//   "items"     a combo box's list, emptied and refilled; the items are
//               separated by '\n' in the row's texts
//   "fileName"  the file a file-run action opens (its "fileName" property)
struct LanguageRow {
  const char* component;  // objectName
  const char* property;
  const char* english;    // UTF-8
  const char* spanish;    // UTF-8
  // Null when the component is part of the window now; otherwise the part
  // of the program that is still to build it. A row whose component is
  // missing is skipped by the switch.
  const char* pending = nullptr;
};

const std::vector<LanguageRow>& LanguageTable();

// The start-up rule for the "Idioma" setting: "english" or "ingles", in any
// letter case, selects English; anything else (also "Inglés") Spanish.
bool LanguageIsEnglish(const QString& value);

// The component a row names, searched below root by objectName.
QObject* FindLanguageComponent(QObject* root, const char* name);
// Whether the property can be set on that kind of component.
bool LanguagePropertyApplies(QObject* component, const char* property);
// Sets one row's text; false when the component is missing or the property
// does not apply to it.
bool ApplyLanguageRow(QObject* root, const LanguageRow& row, bool english);
// The text the row's property shows now (null when it cannot be read).
QString ReadLanguageRow(QObject* root, const LanguageRow& row);
// Every row; returns how many were set.
int ApplyLanguageTable(QObject* root, bool english);

// What the language switch uses of a window, under the same names in both
// editions: the update action BUActualizar, the open set's name, the
// settings, the language flag English with the items Ingls1 and Espaol1,
// the window's caption and menu bar, and the about box Acercade (none until
// it is made).
template <class Form>
concept LanguageWindow = requires(Form& f, const QString& text) {
  { f.BUActualizar } -> std::convertible_to<QAction*>;
  { f.DataSet.DataSetName } -> std::convertible_to<const std::string&>;
  { *f.SettingsIniFile } -> std::convertible_to<SettingsIni&>;
  f.English = true;
  { f.Ingls1 } -> std::convertible_to<QAction*>;
  { f.Espaol1 } -> std::convertible_to<QAction*>;
  { f.menuBar() } -> std::convertible_to<QMenuBar*>;
  f.setWindowTitle(text);
  static_cast<bool>(f.Acercade);
  f.Acercade->setWindowTitle(text);
};

// One language switch of either edition's main window, the steps of both:
// the update action's address (`updateUrl`), the window's caption, "Idioma"
// in the settings ("Ingles" / "Español"), the language flag, the check marks
// of Ingls1 and Espaol1, the edition's texts (`applyTexts(english)`), Qt's
// own dialogs in the language, and, switching to English, the about box's
// caption (`englishAboutCaption`) once the box exists.
template <LanguageWindow Form, std::invocable<bool> ApplyTexts>
void SwitchWindowLanguage(Form& f, bool english, const char* updateUrl, ApplyTexts&& applyTexts,
                          const char* englishAboutCaption) {
  f.BUActualizar->setProperty("url", QString::fromLatin1(updateUrl));
  f.setWindowTitle("Velarto Quendrel - " + L1(f.DataSet.DataSetName));
  f.SettingsIniFile->WriteString("METRONOMO", "Idioma", english ? QString("Ingles") : QString::fromUtf8("Español"));
  f.English = english;
  f.Ingls1->setChecked(english);
  f.Espaol1->setChecked(!english);
  applyTexts(english);
  SetQtDialogLanguage(english);  // Qt's standard buttons, file dialogs and key names speak it too
  AssignMnemonics(f.menuBar());  // the underlined letters of the texts just set, the keys named so
  if (english && f.Acercade) f.Acercade->setWindowTitle(englishAboutCaption);
}
