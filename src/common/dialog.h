// The plug-in's window framework: one class per dialog, made from a template
// of the resource library; a static thunk keeps `this` in DWLP_USER and
// forwards every message to the member procedure, whose flat switch calls
// named OnXxx handlers. Controls are bound to dialog items by subclassing
// (SubclassedControl).
#pragma once

#include <windows.h>

#include <string>

#include "common/accessible.h"

namespace krx {

class Dialog {
  public:
    explicit Dialog(int templateId) : m_nTemplateId(templateId) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally with the system's dialog loop; -1 when the
    // template cannot be loaded from the module.
    INT_PTR DoModal(HWND parent, HINSTANCE resources);

    // Runs the dialog modally with the plug-in's own loop, which offers
    // every message to PreTranslateMessage first; at the first idle moment
    // the dialog is shown, activated or not. A WM_QUIT reaching the loop
    // closes the dialog through WM_CLOSE (IDCANCEL when the dialog does not
    // end itself) and is posted again after the dialog is destroyed.
    INT_PTR DoModalOwnLoop(HWND parent, HINSTANCE resources, bool activate);

    // Ends the modal loop with the code (either kind of loop).
    void End(INT_PTR code);

    HWND Hwnd() const { return m_hWnd; }
    HWND Item(int id) const { return GetDlgItem(m_hWnd, id); }
    bool IsRunning() const { return m_hWnd != nullptr; }

  protected:
    // The member window procedure. The default dispatches the common
    // messages to the handlers below; override to add messages, and call
    // the base for the rest. Return true when the message was handled, with
    // *result holding the dialog procedure's answer.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

    virtual BOOL OnInitDialog() { return TRUE; }
    virtual bool OnCommand(int /*id*/, int /*notifyCode*/, HWND /*control*/) { return false; }
    virtual bool OnTimer(UINT_PTR /*timerId*/) { return false; }
    virtual bool OnClose() { return false; }
    virtual void OnDestroy() {}
    // Own loop only: true when the message was consumed before the dialog
    // manager saw it.
    virtual bool PreTranslateMessage(const MSG& /*message*/) { return false; }

    // Sends the message to every item. The system tells only top-level
    // windows of a change of the display, its palette or its colours; the
    // default handling passes those on with this.
    void TellItems(UINT message, WPARAM wParam, LPARAM lParam) const;

  private:
    static INT_PTR CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    int m_nTemplateId;
    void* m_pFrame = nullptr; // values of the call that runs the dialog
    HWND m_hWnd = nullptr;
    bool m_bOwnLoop = false;
    bool m_bEnded = false;
    INT_PTR m_nEndCode = 0;
};

// A control bound to a dialog item by subclassing: the item's messages go
// to WndProc first; CallOriginal passes them on to the item's own class.
class SubclassedControl {
  public:
    SubclassedControl() = default;
    virtual ~SubclassedControl();
    SubclassedControl(const SubclassedControl&) = delete;
    SubclassedControl& operator=(const SubclassedControl&) = delete;

    // Binds to the dialog's item; false when the item does not exist.
    bool Attach(HWND dialog, int itemId);
    bool AttachWindow(HWND hwnd);
    void Detach();
    HWND Hwnd() const { return m_hWnd; }

    // What a screen reader is told about the item where its window cannot
    // say it (a drawn picture, a quantity); empty leaves the item's own.
    void SetAccessibleName(const std::string& name) { m_Accessible.SetName(m_hWnd, name); }
    void SetAccessibleValue(const std::string& value) { m_Accessible.SetValue(m_hWnd, value); }
    void SetAccessibleRole(long role) { m_Accessible.SetRole(role); }
    const AccessibleText& Accessible() const { return m_Accessible; }

  protected:
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    WNDPROC m_pOriginal = nullptr;
    LONG_PTR m_nPreviousUserData = 0; // the item's user data before it was bound
    void* m_pFrame = nullptr;         // values of the call that bound the control
    AccessibleText m_Accessible;
};

} // namespace krx
