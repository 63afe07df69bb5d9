#pragma once
// CommonModulePort over CORELINK.dll, bound late as the programs expect: the library
// is loaded at the first call of any export, each export looked up at its own first
// call, and a missing library or export fails that call, not the program's start.
#include <windows.h>

#include <string>

#include "common/ports/common_module.h"
#include "common/win32/owners.h"

namespace vantora::win32 {

class Win32CommonModule : public CommonModulePort {
public:
    // The library from the program's own folder.
    Win32CommonModule();
    // The library from `folder` (no trailing backslash) first.
    explicit Win32CommonModule(std::string folder);

    std::uint32_t GetVHotkeyHandle() override;
    void RegSupervisorPwd(std::uint32_t window) override;
    std::uint32_t GetSupervisorPwd() override;
    void RegAccessibility(std::uint32_t window) override;
    std::uint32_t GetAccessibility() override;
    std::int32_t GetInvalidPwdCnt() override;
    void SetInvalidPwdCnt(std::int32_t count) override;
    std::int32_t GetShortCutInfo(char* text1, const char* shortcutPath, char* text2, char* text3, char* text4,
                                 char* text5, std::int32_t* number1, std::int32_t* number2) override;

private:
    // One export: its name and, once found, its address.
    struct Entry {
        const char* name;
        FARPROC address = nullptr;
    };
    template <class Fn>
    Fn bind(Entry& entry);

    std::string folder_;
    UniqueModule library_;
    Entry getVHotkeyHandle_{"GetVHotkeyHandle"}, regSupervisorPwd_{"RegSupervisorPwd"},
        getSupervisorPwd_{"GetSupervisorPwd"}, regAccessibility_{"RegAccessibility"},
        getAccessibility_{"GetAccessibility"}, getInvalidPwdCnt_{"GetInvalidPwdCnt"},
        setInvalidPwdCnt_{"SetInvalidPwdCnt"}, getShortCutInfo_{"GetShortCutInfo"};
};

}  // namespace vantora::win32
