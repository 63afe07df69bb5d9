#pragma once
// The edge between our C++ and a caller that knows nothing of C++ exceptions: a DLL
// export, a window or hook procedure, a program's start-up. An exception that got out
// would unwind through frames of the system or of another compiler, which ends the
// process at best; here it becomes the failure value the caller already handles.
// Kept free of <windows.h> so that the native tests hold it to its word.
#include <type_traits>
#include <utility>

namespace vantora::win32 {

template <class Result, class Callable>
Result guarded(Result failure, Callable&& call) noexcept {
    static_assert(std::is_convertible_v<std::invoke_result_t<Callable>, Result>);
    try {
        return std::forward<Callable>(call)();
    } catch (...) {
        return failure;
    }
}

}  // namespace vantora::win32
