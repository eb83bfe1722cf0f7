// Status polling and display of the status window: the status tick, the
// library's notifications and replies, and the initial status text.
#include "ui/status_window/status_window.h"

namespace krx {

void StatusWindow::StatusTick() {}

void StatusWindow::OnStatusNotification(LPARAM /*lParam*/) {}

void StatusWindow::OnInformationReply(LPARAM /*lParam*/) {}

void StatusWindow::ShowInitialStatus() {}

} // namespace krx
