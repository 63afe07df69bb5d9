#pragma once
// SingleCopyPort over a named mutex: the first copy to claim the name holds it for as
// long as it runs, and Windows drops it with the process, however that ends.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "common/ports/single_copy.h"
#include "common/win32/owners.h"

namespace vantora::win32 {

class Win32SingleCopy : public SingleCopyPort {
public:
    explicit Win32SingleCopy(std::string mutexName) : name_(std::move(mutexName)) {}

    // The first call claims the name; later calls give the same answer.
    bool anotherCopyRunning() override;

private:
    std::string name_;
    UniqueHandle mutex_;
    std::optional<bool> another_;
};

}  // namespace vantora::win32
