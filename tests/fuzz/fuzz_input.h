#pragma once
// What every fuzz target shares: the input read front to back (so that a seed can be
// written by hand, field after field) and a broken invariant reported as a crash that
// libFuzzer keeps, with the rule that broke.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vantora::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    // Zero once the input is used up, so that a short input is still a whole case.
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() | byte() << 8); }
    void fill(std::uint8_t* out, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) out[i] = byte();
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

[[noreturn]] inline void broken(const char* rule, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: broken invariant: %s\n", file, line, rule);
    std::abort();
}

}  // namespace vantora::fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? (void)0 : ::vantora::fuzz::broken(#condition, __FILE__, __LINE__))
