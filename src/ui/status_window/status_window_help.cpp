// Trouble help, service call and tips of the status window. (The printer
// information dialog, command 321, lives in status_window.cpp.)
#include "ui/status_window/status_window.h"

namespace krx {

void StatusWindow::OnTroubleHelp() {}

void StatusWindow::OnServiceCall() {}

void StatusWindow::OnTipsToggle() {}

void StatusWindow::OnTipHelp() {}

void StatusWindow::SetTroubleCategory(int /*category*/) {}

void StatusWindow::ClearTroubleCategory() {}

} // namespace krx
