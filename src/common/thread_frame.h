// The per-thread slot that says which export call's values a thread works
// with. The values themselves (ModuleState) belong to the module state above
// this layer; the window framework only carries a pointer to them, so that a
// window whose call is suspended under a nested call still sees its own.
#pragma once

namespace krx {

struct ModuleState;

// The frame current on this thread (nullptr outside a window call).
ModuleState* CurrentFrame();
// Makes `frame` current on this thread (nullptr: none).
void SetCurrentFrame(ModuleState* frame);
// Gives back the thread slot; called when the module unloads.
void ReleaseFrameSlot();

// Makes a frame captured earlier current while a window of that call
// handles one message. nullptr changes nothing.
class FrameSwitch {
  public:
    explicit FrameSwitch(ModuleState* frame);
    ~FrameSwitch();
    FrameSwitch(const FrameSwitch&) = delete;
    FrameSwitch& operator=(const FrameSwitch&) = delete;

  private:
    ModuleState* m_pFrame;
    ModuleState* m_pPrevious;
};

} // namespace krx
