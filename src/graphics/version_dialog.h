// The version information dialog: the versions of the model's driver, the
// host module, this plug-in, the bidirectional library and the companion
// program, for support calls.
#pragma once

#include <string>

#include "common/dialog.h"

namespace krx {

class VersionDialog : public Dialog {
  public:
    VersionDialog();

    // Runs the dialog modally from the current resource module, owned by
    // `parent`.
    INT_PTR Show(HWND parent);

  protected:
    BOOL OnInitDialog() override;

  private:
    void SetVersion(int item, const std::string& version);
};

} // namespace krx
