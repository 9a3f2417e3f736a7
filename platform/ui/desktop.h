// The desktop's "open" operation (a document in its viewer, an address in the
// web browser), behind one seam so that tests see what would have opened.
#pragma once

#include <QList>
#include <QUrl>
#include <memory>

class Desktop {
 public:
  virtual ~Desktop() = default;
  // A local file (QUrl::fromLocalFile) or a web address. False when the
  // desktop could not hand it to any program.
  virtual bool Open(const QUrl& target) = 0;
};

// Opens through QDesktopServices.
std::unique_ptr<Desktop> CreateQtDesktop();

// Test backend: records every request and answers with `result`.
class RecordingDesktop : public Desktop {
 public:
  QList<QUrl> opened;
  bool result = true;
  bool Open(const QUrl& target) override {
    opened << target;
    return result;
  }
};
