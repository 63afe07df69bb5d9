#pragma once
// The common module in memory: registered handles and the wrong-password count as
// plain members, shortcuts from a table, and every export able to fail as a missing
// library or a missing entry point would. Calls are counted by export name.
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "common/ports/common_module.h"

namespace vantora::testing {

struct FakeShortcut {
    std::string target, arguments, workingDir, description, iconLocation;
    std::int32_t iconIndex = 0, showCommand = 1;
};

class FakeCommonModule : public CommonModulePort {
public:
    std::uint32_t hotkeyWindow = 0;
    std::uint32_t supervisorWindow = 0;
    std::uint32_t accessibilityWindow = 0;
    std::int32_t invalidPwdCount = 0;
    std::map<std::string, FakeShortcut> shortcuts;  // by path as given

    // The library is missing: every call fails.
    void removeLibrary() { libraryMissing_ = true; }
    // One export is missing.
    void removeExport(const std::string& name) { missingExport_ = name; }
    int calls(const std::string& name) const {
        auto it = calls_.find(name);
        return it == calls_.end() ? 0 : it->second;
    }

    std::uint32_t GetVHotkeyHandle() override { return enter("GetVHotkeyHandle"), hotkeyWindow; }
    void RegSupervisorPwd(std::uint32_t w) override { enter("RegSupervisorPwd"), supervisorWindow = w; }
    std::uint32_t GetSupervisorPwd() override { return enter("GetSupervisorPwd"), supervisorWindow; }
    void RegAccessibility(std::uint32_t w) override { enter("RegAccessibility"), accessibilityWindow = w; }
    std::uint32_t GetAccessibility() override { return enter("GetAccessibility"), accessibilityWindow; }
    std::int32_t GetInvalidPwdCnt() override { return enter("GetInvalidPwdCnt"), invalidPwdCount; }
    void SetInvalidPwdCnt(std::int32_t n) override { enter("SetInvalidPwdCnt"), invalidPwdCount = n; }

    std::int32_t GetShortCutInfo(char* text1, const char* path, char* text2, char* text3, char* text4, char* text5,
                                 std::int32_t* number1, std::int32_t* number2) override {
        enter("GetShortCutInfo");
        auto it = shortcuts.find(path ? path : "");
        if (it == shortcuts.end()) return 0;
        const FakeShortcut& s = it->second;
        copy(text1, s.target), copy(text2, s.arguments), copy(text3, s.workingDir);
        copy(text4, s.description), copy(text5, s.iconLocation);
        *number1 = s.iconIndex, *number2 = s.showCommand;
        return 1;
    }

private:
    void enter(const std::string& name) {
        ++calls_[name];
        if (libraryMissing_) throw CommonModuleError(commonModuleFileNotFound(kCommonModuleLibrary));
        if (missingExport_ == name) throw CommonModuleError(commonModuleEntryNotFound(name, kCommonModuleLibrary));
    }
    // Like the real module: cut to the buffer, always terminated.
    static void copy(char* buffer, const std::string& text) {
        const size_t n = std::min(text.size(), size_t(kShortcutTextChars - 1));
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }

    bool libraryMissing_ = false;
    std::optional<std::string> missingExport_;
    std::map<std::string, int> calls_;
};

}  // namespace vantora::testing
