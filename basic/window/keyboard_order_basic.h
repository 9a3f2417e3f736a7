// The basic window's keyboard: the tab order of each page in its reading
// order, the pages in their own order.
#pragma once

namespace bornace {

class TMainForm;
void SetBasicTabOrder(TMainForm& f);

}  // namespace bornace
