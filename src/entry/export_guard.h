// Runs an export's body in a call frame of its own and keeps C++ exceptions
// (out of memory above all) from crossing the export boundary: the export
// answers its failure code instead.
#pragma once

#include <new>

#include "base/module/module_state.h"

namespace krx {

// A call made from inside another export's modal loop (a host serving
// another printer from its own window procedure) neither sees nor changes
// the values of the call underneath, whose frame is current again after it.
template <typename F> int GuardExport(int failureResult, F body) noexcept {
    try {
        CallFrame frame;
        return body();
    } catch (...) {
        return failureResult;
    }
}

} // namespace krx
