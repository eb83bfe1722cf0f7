// Message boxes of the plug-in, with the test hook in front of MessageBoxA.
#include "entry/module/message_box.h"

#include "entry/module/module_state.h"

namespace krx {

namespace {

constexpr int kResourceTextSize = 1024;

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

std::string LoadResourceString(int id) {
    char text[kResourceTextSize] = {};
    int n = LoadStringA(Module().resourceModule, static_cast<UINT>(id), text, kResourceTextSize);
    return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

int ShowResourceMessageBox(HWND owner, int textId, int captionId, UINT style) {
    return Show({owner, textId, captionId, LoadResourceString(textId),
                 LoadResourceString(captionId), style},
                false);
}

int ShowTextMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
    return Show(
        {owner, 0, 0, text != nullptr ? text : "", caption != nullptr ? caption : "", style}, true);
}

} // namespace krx
