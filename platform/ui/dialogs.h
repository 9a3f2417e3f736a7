// Message boxes, questions and file dialogs, behind one seam so that tests
// answer them. Answers use the classic codes: 6 Yes, 7 No, 2 Cancel.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

class QWidget;

constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;
constexpr int kAnswerCancel = 2;

enum class AskButtons { YesNo, YesNoCancel };

struct FileDialogRequest {
  QString title;
  QString initialDir;
  QString filter;        // e.g. "Archivos DRAVv2|*.vl2"
  QString defaultName;   // save dialogs
  std::function<void(const QString&)> onFolderChange;  // called when the shown folder changes
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void ShowMessage(const QString& text) = 0;
  virtual int Ask(const QString& text, const QString& caption, AskButtons buttons) = 0;
  // Empty string: cancelled.
  virtual QString OpenFileName(const FileDialogRequest& r) = 0;
  virtual QString SaveFileName(const FileDialogRequest& r) = 0;
};

// Real dialogs on top of a parent window.
std::unique_ptr<Dialogs> CreateQtDialogs(QWidget* parent);

// Qt's own texts (the standard buttons, the file dialogs) in the program's
// language: Spanish installs Qt's Spanish catalogue, English removes it.
// False when the catalogue is not installed (the texts stay English).
bool SetQtDialogLanguage(bool english);

// The file dialog the real dialogs run: Qt's own, never the desktop's native
// one, which would not follow the language above.
class QFileDialog;
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const FileDialogRequest& r, bool save);

// Test dialogs: answers are taken from queues (empty queue: Cancel / cancelled),
// and everything shown is recorded.
class ScriptedDialogs : public Dialogs {
 public:
  std::deque<int> answers;
  std::deque<QString> openNames;
  std::deque<QString> saveNames;
  QStringList messages;                // ShowMessage texts
  QStringList questions;               // Ask texts
  QStringList questionCaptions;
  std::vector<FileDialogRequest> fileRequests;

  void ShowMessage(const QString& text) override { messages << text; }
  int Ask(const QString& text, const QString& caption, AskButtons) override {
    questions << text;
    questionCaptions << caption;
    if (answers.empty()) return kAnswerCancel;
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  QString OpenFileName(const FileDialogRequest& r) override { return Take(r, openNames); }
  QString SaveFileName(const FileDialogRequest& r) override { return Take(r, saveNames); }

 private:
  QString Take(const FileDialogRequest& r, std::deque<QString>& q) {
    fileRequests.push_back(r);
    if (q.empty()) return {};
    QString s = q.front();
    q.pop_front();
    return s;
  }
};
