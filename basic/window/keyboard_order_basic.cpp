#include "basic/window/keyboard_order_basic.h"

#include <QWidget>

#include "basic/window/basic_form.h"
#include "platform/ui/keyboard.h"

namespace bornace {

void SetBasicTabOrder(TMainForm& f) { ChainTabOrder({f.TabSheet1, f.TabSheet2, f.TabSheet3}); }

}  // namespace bornace
