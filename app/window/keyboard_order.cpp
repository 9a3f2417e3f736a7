#include "app/window/keyboard_order.h"

#include <QFrame>
#include <QGroupBox>

#include "app/window/mainform.h"
#include "platform/ui/keyboard.h"

void SetMainTabOrder(TMainForm& f) {
  ChainTabOrder({f.PanelMetronomo, f.PanelTemas, f.PanelFormulas, f.PanelPistas, f.PanelOnda, f.PanelSonidos,
                 f.PanelAfinador, f.PanelGuitarra});
}
