// What the status window's trouble-help button offers for a status: a
// troubleshooting page of the driver's pages folder, a guide of the
// language library, or the model's ink-replacement utility.
#pragma once

#include <windows.h>

#include <string>

namespace krx {

// "InstallPath" of the module's driver key followed by "\", or empty.
std::string DriverInstallFolder();

class TroubleHelp {
  public:
    // The model profile that names the pages and the utility.
    void SetModelFile(const std::string& modelFile) { m_strModelFile = modelFile; }
    // Pages are offered only where a viewer for them is registered.
    void SetHtmlViewer(bool available) { m_bHtmlViewer = available ? 1 : 0; }

    // Chooses the help of the trouble category; inkReplacement: the status
    // asks for the utility when no page viewer exists. True when some help
    // is offered.
    bool Prepare(int category, bool inkReplacement);

    int Category() const { return m_nCategory; }
    // The page chosen, or empty.
    const std::string& Page() const { return m_strPage; }
    // The guide chosen, or null.
    HRSRC GuideSteps() const { return m_hGuideSteps; }

    // The category's page when it is a document inside the pages folder
    // that exists; else empty.
    std::string TroubleshootingPage(int category) const;
    // The utility inside the install folder, or empty.
    std::string UtilityLibraryPath() const;

  private:
    bool UtilityOffersInkReplacement();

    std::string m_strModelFile;
    int m_bHtmlViewer = 0; // ".HTM" class key exists
    int m_nCategory = 0;
    std::string m_strPage;
    HRSRC m_hGuideSteps = nullptr;
    int m_nUtilityProbe = -1; // ink-replacement utility: -1 not probed, 0 absent, 1 usable
};

} // namespace krx
