#pragma once
// The base of the suite's own exceptions. The standard ones (std::runtime_error and its
// kin) keep their message in the C++ runtime's older, reference-counted string, and
// linking any of them brings that second string implementation into the program: some
// 60 KB of code in each of them, twice what this class costs.
#include <exception>
#include <string>
#include <utility>

namespace vantora {

class Error : public std::exception {
public:
    explicit Error(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace vantora
