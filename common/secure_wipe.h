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

// Wipes a string when the scope ends, however it ends.
class WipeOnScopeExit {
public:
    explicit WipeOnScopeExit(std::string& text) : text_(text) {}
    ~WipeOnScopeExit() { secureWipe(text_); }
    WipeOnScopeExit(const WipeOnScopeExit&) = delete;
    WipeOnScopeExit& operator=(const WipeOnScopeExit&) = delete;

private:
    std::string& text_;
};

}  // namespace vantora
