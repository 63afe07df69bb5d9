#pragma once
// Zeroing that the optimiser may not drop: a store through a volatile pointer is an
// observable effect, so it survives even when the memory is freed right after.
#include <cstddef>
#include <string>

namespace vantora {

inline void secureWipe(void* memory, std::size_t size) {
    volatile unsigned char* p = static_cast<volatile unsigned char*>(memory);
    for (std::size_t i = 0; i < size; ++i) p[i] = 0;
}

// The whole buffer, not just the text: bytes past size() may hold an earlier, longer
// text the string once had.
inline void secureWipe(std::string& text) {
    text.resize(text.capacity());
    secureWipe(text.data(), text.size());
    text.clear();
}

// Wipes a string or a buffer when the scope ends, however it ends: also when a throw
// leaves half of a secret stored.
class WipeOnScopeExit {
public:
    explicit WipeOnScopeExit(std::string& text) : text_(&text) {}
    WipeOnScopeExit(void* memory, std::size_t size) : memory_(memory), size_(size) {}
    ~WipeOnScopeExit() {
        if (text_)
            secureWipe(*text_);
        else
            secureWipe(memory_, size_);
    }
    WipeOnScopeExit(const WipeOnScopeExit&) = delete;
    WipeOnScopeExit& operator=(const WipeOnScopeExit&) = delete;

private:
    std::string* text_ = nullptr;
    void* memory_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace vantora
