#pragma once
// CORELINK.dll as the three programs see it: its exports, bound by name at the first
// call. A missing library or export makes that call throw CommonModuleError carrying
// the run-time error's own description; the dialog programs show it and end, every
// other caller skips the step. Window handles and counts are 32-bit values.
#include <cstdint>
#include <string>

#include "common/error.h"

namespace vantora {

class CommonModuleError : public Error {
public:
    using Error::Error;
};

// The descriptions of the two ways a bound call can fail.
inline std::string commonModuleFileNotFound(const std::string& library) {
    return "File not found: " + library;
}
inline std::string commonModuleEntryNotFound(const std::string& entry, const std::string& library) {
    return "Can't find DLL entry point " + entry + " in " + library;
}

inline constexpr char kCommonModuleLibrary[] = "CORELINK.dll";
inline constexpr int kShortcutTextChars = 260;  // each GetShortCutInfo output buffer

class CommonModulePort {
public:
    virtual ~CommonModulePort() = default;

    virtual std::uint32_t GetVHotkeyHandle() = 0;
    virtual void RegSupervisorPwd(std::uint32_t window) = 0;
    virtual std::uint32_t GetSupervisorPwd() = 0;
    virtual void RegAccessibility(std::uint32_t window) = 0;
    virtual std::uint32_t GetAccessibility() = 0;
    virtual std::int32_t GetInvalidPwdCnt() = 0;
    virtual void SetInvalidPwdCnt(std::int32_t count) = 0;
    // text1..text5 each have room for kShortcutTextChars characters; nonzero on success.
    virtual std::int32_t GetShortCutInfo(char* text1, const char* shortcutPath, char* text2, char* text3,
                                         char* text4, char* text5, std::int32_t* number1,
                                         std::int32_t* number2) = 0;
};

}  // namespace vantora
