// Message boxes of the plug-in, with the test hook in front of MessageBoxA.
#include "base/module/message_box.h"

#include "base/module/resource_string.h"

namespace krx {

namespace {

struct HookSlot {
    MessageBoxHook hook = nullptr;
    void* context = nullptr;
};

HookSlot& Slot() {
    static HookSlot slot;
    return slot;
}

int Show(const MessageBoxRequest& request, bool literalCaption) {
    const HookSlot& slot = Slot();
    if (slot.hook != nullptr) {
        return slot.hook(request, slot.context);
    }
    const char* caption =
        literalCaption && request.caption.empty() ? nullptr : request.caption.c_str();
    return MessageBoxA(request.owner, request.text.c_str(), caption, request.style);
}

} // namespace

void SetMessageBoxHook(MessageBoxHook hook, void* context) {
    Slot().hook = hook;
    Slot().context = context;
}

ScopedMessageBoxHook::ScopedMessageBoxHook(MessageBoxHook hook, void* context)
    : m_pPreviousHook(Slot().hook), m_pPreviousContext(Slot().context) {
    SetMessageBoxHook(hook, context);
}

ScopedMessageBoxHook::~ScopedMessageBoxHook() {
    SetMessageBoxHook(m_pPreviousHook, m_pPreviousContext);
}

int ShowResourceMessageBox(HWND owner, int textId, int captionId, UINT style) {
    return Show({owner, textId, captionId, ResourceString(static_cast<UINT>(textId)),
                 ResourceString(static_cast<UINT>(captionId)), style},
                false);
}

int ShowTextMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
    return Show(
        {owner, 0, 0, text != nullptr ? text : "", caption != nullptr ? caption : "", style}, true);
}

} // namespace krx
