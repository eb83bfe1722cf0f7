// The per-thread slot that says which export call's values a thread works
// with. What a frame holds is the business of the module state above this
// layer; the slot and the window framework only carry an opaque pointer to
// it, so that a window whose call is suspended under a nested call still
// sees its own.
#pragma once

namespace krx {

// The frame current on this thread (nullptr outside any export call).
void* CurrentFrame();
// Makes `frame` current on this thread (nullptr: none).
void SetCurrentFrame(void* frame);
// Gives back the thread slot; called when the module unloads.
void ReleaseFrameSlot();

// Makes a frame captured earlier current while a window of that call
// handles one message. nullptr changes nothing.
class FrameSwitch {
  public:
    explicit FrameSwitch(void* frame);
    ~FrameSwitch();
    FrameSwitch(const FrameSwitch&) = delete;
    FrameSwitch& operator=(const FrameSwitch&) = delete;

  private:
    void* m_pFrame;
    void* m_pPrevious;
};

} // namespace krx
