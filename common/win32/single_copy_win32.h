#pragma once
// SingleCopyPort over a mutex: the first copy to claim it holds it for as long as it
// runs, and Windows drops it with the process, however that ends.
//
// The mutex lives in a private namespace bound to the administrators' group (for the
// programs that run elevated) or to the user, so that no program outside that boundary
// can take it first. Where the system has no private namespaces (before Vista, and
// Wine 8, whose boundary descriptors are stubs), the name is salted with the user's
// SID instead. Neither keeps out a program of the same user that knows the scheme:
// that is what isRunningCopy is for.
#include <windows.h>

#include <optional>
#include <string>

#include "common/ports/single_copy.h"
#include "common/win32/owners.h"

namespace vantora::win32 {

enum class SingleCopyBoundary { Administrators, User };

class Win32SingleCopy : public SingleCopyPort {
public:
    explicit Win32SingleCopy(std::string name, SingleCopyBoundary boundary = SingleCopyBoundary::User);
    ~Win32SingleCopy() override;
    Win32SingleCopy(const Win32SingleCopy&) = delete;
    Win32SingleCopy& operator=(const Win32SingleCopy&) = delete;

    // The first call claims the token; later calls give the same answer.
    bool anotherCopyRunning() override;
    bool isRunningCopy(std::uint32_t window) override;

private:
    bool openNamespace();

    std::string name_;
    SingleCopyBoundary boundary_;
    HANDLE namespace_ = nullptr;
    UniqueHandle mutex_;
    std::optional<bool> another_;
};

}  // namespace vantora::win32
