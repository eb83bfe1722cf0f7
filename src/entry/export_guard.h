// Keeps C++ exceptions (out of memory above all) from crossing the export
// boundary: the export answers its failure code instead.
#pragma once

#include <new>

namespace krx {

template <typename F> int GuardExport(int failureResult, F body) noexcept {
    try {
        return body();
    } catch (...) {
        return failureResult;
    }
}

} // namespace krx
