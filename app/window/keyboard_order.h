// The main window's keyboard: the tab order of its panels, each in its
// reading order, the panels in the order of the "Ver" menu.
#pragma once

class TMainForm;

void SetMainTabOrder(TMainForm& f);
