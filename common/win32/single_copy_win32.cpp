#include "common/win32/single_copy_win32.h"

namespace vantora::win32 {

bool Win32SingleCopy::anotherCopyRunning() {
    if (!another_) {
        // The answer lives in the last error of this very call: it has to be taken at once.
        mutex_.reset(::CreateMutexA(nullptr, FALSE, name_.c_str()));
        another_ = ::GetLastError() == ERROR_ALREADY_EXISTS;
    }
    return *another_;
}

}  // namespace vantora::win32
