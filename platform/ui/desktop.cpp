#include "platform/ui/desktop.h"

#include <QDesktopServices>

namespace {
class QtDesktop : public Desktop {
 public:
  bool Open(const QUrl& target) override { return QDesktopServices::openUrl(target); }
};
}  // namespace

std::unique_ptr<Desktop> CreateQtDesktop() { return std::make_unique<QtDesktop>(); }
