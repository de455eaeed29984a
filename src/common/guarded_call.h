#pragma once
// Nothing may unwind through a window procedure, a timer callback or a stream
// callback: their bodies run through GuardedCall, which stops any exception.
#include <type_traits>
#include <utility>

namespace tarvo {

// Every failure stopped at such a boundary passes here: one place for a breakpoint.
inline void FailureStoppedAtBoundary() noexcept {}

// body(), or on any exception the fallback: its result when it is callable, else its value.
template <typename Body, typename Fallback>
auto GuardedCall(Body&& body, Fallback&& fallback) -> std::invoke_result_t<Body&> {
    try {
        return body();
    } catch (...) {
        FailureStoppedAtBoundary();
        if constexpr (std::is_invocable_v<Fallback&>) {
            return fallback();
        } else {
            return std::forward<Fallback>(fallback);
        }
    }
}

template <typename Body>
void GuardedCall(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        FailureStoppedAtBoundary();
    }
}

}  // namespace tarvo
