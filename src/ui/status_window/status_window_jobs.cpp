// Job progress of the status window: the progress tick, announced jobs,
// the detail request and the job buttons.
#include "ui/status_window/status_window.h"

namespace krx {

void StatusWindow::ProgressTick() {}

void StatusWindow::OnAddJob(LPARAM /*jobId*/) {}

void StatusWindow::OnOpenAsDetail() {}

void StatusWindow::OnCancelPrinting() {}

void StatusWindow::OnCancelJob() {}

void StatusWindow::OnPauseResume() {}

} // namespace krx
