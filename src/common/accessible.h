// What a screen reader learns about a control that shows something only by
// drawing it (a picture, a bar, an ink gauge) or whose label the system
// cannot find: its name and, where it shows a quantity, its value. The
// control answers WM_GETOBJECT with the system's own accessible object for
// its window, of which only the name, the value and the role are ours.
#pragma once

#include <windows.h>

#include <string>

namespace krx {

class AccessibleText {
  public:
    // Each change that differs from what is held raises the event that
    // clients follow (name change, value change) for the control.
    void SetName(HWND control, const std::string& name);
    void SetValue(HWND control, const std::string& value);
    // A role of the system's list (ROLE_SYSTEM_...); 0 keeps the window's own.
    void SetRole(long role) { m_nRole = role; }

    const std::string& Name() const { return m_strName; }
    const std::string& Value() const { return m_strValue; }

    // For the control's WM_GETOBJECT: true with *result set when the request
    // is for its client object; false to leave the message to the control.
    bool Answer(HWND control, WPARAM wParam, LPARAM lParam, LRESULT* result) const;

  private:
    std::string m_strName;
    std::string m_strValue;
    long m_nRole = 0;
};

} // namespace krx
