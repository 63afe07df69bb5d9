#pragma once
// Telling whether another copy of this program already runs, and whether a window that
// claims to be that copy's really is.
#include <cstdint>

namespace vantora {

class SingleCopyPort {
public:
    virtual ~SingleCopyPort() = default;
    // Claims this program's single-copy token; true when an earlier copy holds it.
    virtual bool anotherCopyRunning() = 0;
    // True only when `window` belongs to another process that runs this very program
    // file (not merely one of the same name) with no fewer rights than this one; false
    // whenever that cannot be told. Holding the token proves nothing: any program may
    // take it, and a handle handed over may name any window.
    virtual bool isRunningCopy(std::uint32_t window) = 0;
};

}  // namespace vantora
