// The two-call status read shared by the status query and the window.
#include "comm/status_reply_read.h"

namespace krx {

StatusReplyRead ReadStatusReply(const CBxApi& bx, int handle) {
    StatusReplyRead read;
    int size = 0;
    read.firstResult = bx.BXGetStatus(handle, nullptr, &size);
    read.announcedSize = size;
    if (read.firstResult == 0) {
        read.outcome = StatusReadOutcome::kNothing;
        return read;
    }
    if (read.firstResult == bx::kBusy) {
        read.outcome = StatusReadOutcome::kBusy;
        return read;
    }
    if (read.firstResult != bx::kBufferTooSmall || size <= 0) {
        read.outcome = StatusReadOutcome::kFailed;
        return read;
    }
    if (size > kMaxStatusReplySize) {
        read.outcome = StatusReadOutcome::kTooLong;
        return read;
    }
    // One zero byte more than announced keeps a text end inside the buffer.
    read.bytes.assign(static_cast<size_t>(size) + 1, 0);
    int length = size;
    read.secondCalled = true;
    read.secondResult = bx.BXGetStatus(handle, read.bytes.data(), &length);
    // Never trust a returned length beyond the buffer the library was given.
    if (length > size) {
        length = size;
    }
    if (length < 0) {
        length = 0;
    }
    read.bytes.resize(static_cast<size_t>(length));
    if (read.secondResult == 0) {
        read.outcome = StatusReadOutcome::kNothing;
    } else if (read.secondResult == bx::kBusy) {
        read.outcome = StatusReadOutcome::kBusy;
    } else if (read.secondResult < 0) {
        read.outcome = StatusReadOutcome::kFailed;
    } else {
        read.outcome = StatusReadOutcome::kReply;
    }
    return read;
}

} // namespace krx
