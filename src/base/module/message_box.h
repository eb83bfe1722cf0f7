// Every message box of the plug-in goes through here: texts by string id
// from the current resource module, or literal texts. A hook lets tests see
// what would have been shown (ids, texts, style) without a modal box; the
// product shows the real box.
#pragma once

#include <windows.h>

#include <string>

namespace krx {

struct MessageBoxRequest {
    HWND owner;
    int textId;    // 0 for a literal text
    int captionId; // 0 for a literal caption
    std::string text;
    std::string caption;
    UINT style;
};

// Answers in place of MessageBoxA (the button the user would have chosen).
using MessageBoxHook = int (*)(const MessageBoxRequest& request, void* context);

// Installs a hook (null: the real box again).
void SetMessageBoxHook(MessageBoxHook hook, void* context);

// Installs a hook for its lifetime and puts the previous one back.
class ScopedMessageBoxHook {
  public:
    ScopedMessageBoxHook(MessageBoxHook hook, void* context);
    ~ScopedMessageBoxHook();
    ScopedMessageBoxHook(const ScopedMessageBoxHook&) = delete;
    ScopedMessageBoxHook& operator=(const ScopedMessageBoxHook&) = delete;

  private:
    MessageBoxHook m_pPreviousHook;
    void* m_pPreviousContext;
};

// Shows a box with text and caption loaded by id; returns the button id
// (0 when the box could not be shown).
int ShowResourceMessageBox(HWND owner, int textId, int captionId, UINT style);

// Shows a box with literal texts (a null caption gives the system's).
int ShowTextMessageBox(HWND owner, const char* text, const char* caption, UINT style);

} // namespace krx
