#pragma once
// Telling whether another copy of this program already runs.

namespace vantora {

class SingleCopyPort {
public:
    virtual ~SingleCopyPort() = default;
    // Claims this program's single-copy token; true when an earlier copy holds it.
    virtual bool anotherCopyRunning() = 0;
};

}  // namespace vantora
