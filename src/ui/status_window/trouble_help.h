// What the status window's trouble-help button (item 215, with its label
// 241) offers for a status: a troubleshooting page of the driver's pages
// folder, a guide of the language library, or the model's ink-replacement
// utility; and the service-call message stored for the printer.
#pragma once

#include <windows.h>

#include <string>

namespace krx {

class BMP256Ctrl;
class MonitoredPrinter;

class TroubleHelp {
  public:
    // The window whose button and label show the help.
    void Attach(HWND window) { m_hWnd = window; }
    // The model profile that names the pages and the utility.
    void SetModelFile(const std::string& modelFile) { m_strModelFile = modelFile; }
    // Pages are offered only where a viewer for them is registered.
    void SetHtmlViewer(bool available) { m_bHtmlViewer = available ? 1 : 0; }

    // Chooses the help of the trouble category; inkReplacement: the status
    // asks for the utility when no page viewer exists. True when some help
    // is offered.
    bool Prepare(int category, bool inkReplacement);

    // The button offers the help of the trouble category of statusClass,
    // the status the window shows, or none (ClearCategory; shownClass may
    // still offer its utility), in viewType (the meter has no button).
    void SetCategory(int statusClass, int viewType);
    void ClearCategory(int shownClass, int viewType);
    // The button pressed while the window shows statusClass. liveStatus:
    // the status comes from the printer at the normal pace, so the utility
    // may talk to the printer itself. The pictures give the system palette
    // to the utility while it runs.
    void Open(int statusClass, const MonitoredPrinter& printer, bool liveStatus,
              BMP256Ctrl& picture, BMP256Ctrl& animation) const;
    // The service-call message stored for the printer, if any.
    void ShowServiceCall(const MonitoredPrinter& printer) const;

    int Category() const { return m_nCategory; }
    // The page chosen, or empty.
    const std::string& Page() const { return m_strPage; }
    // The guide chosen, or null.
    HRSRC GuideSteps() const { return m_hGuideSteps; }

    // The category's page when it is a document inside the pages folder
    // ("HTMLInstallPath", else the install folder, a full path) that
    // exists; else empty.
    std::string TroubleshootingPage(int category) const;
    // The utility inside the install folder, or empty.
    std::string UtilityLibraryPath() const;

  private:
    bool UtilityOffersInkReplacement();
    void Offer(int category, int shownClass, int viewType);
    void OpenPage() const;

    HWND m_hWnd = nullptr;
    std::string m_strModelFile;
    int m_bHtmlViewer = 0; // ".HTM" class key exists
    int m_nCategory = 0;
    std::string m_strPage;
    HRSRC m_hGuideSteps = nullptr;
    int m_nUtilityProbe = -1; // ink-replacement utility: -1 not probed, 0 absent, 1 usable
};

} // namespace krx
