#include "common/win32/common_module_win32.h"

#include <utility>

#include "common/win32/program_folder.h"

namespace vantora::win32 {

namespace {

// The library's calling convention: stdcall, 32-bit integers and handles by value.
using HandleFn = DWORD(WINAPI*)();
using RegisterFn = LONG(WINAPI*)(DWORD);
using CountFn = LONG(WINAPI*)();
using SetCountFn = LONG(WINAPI*)(LONG);
using ShortcutFn = LONG(WINAPI*)(LPSTR, LPCSTR, LPSTR, LPSTR, LPSTR, LPSTR, LONG*, LONG*);

std::string systemFolder() {
    char path[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path, n < MAX_PATH ? n : 0);
}

// Full paths only: a bare name would let the search reach the current directory.
HMODULE loadFrom(const std::string& folder) {
    if (folder.empty()) return nullptr;
    return LoadLibraryA((folder + "\\" + kCommonModuleLibrary).c_str());
}

}  // namespace

Win32CommonModule::Win32CommonModule() : Win32CommonModule(programFolder()) {}
Win32CommonModule::Win32CommonModule(std::string folder) : folder_(std::move(folder)) {}

template <class Fn>
Fn Win32CommonModule::bind(Entry& entry) {
    if (!entry.address) {
        if (!library_) library_.reset(loadFrom(folder_));
        if (!library_) library_.reset(loadFrom(systemFolder()));
        if (!library_) throw CommonModuleError(commonModuleFileNotFound(kCommonModuleLibrary));
        entry.address = GetProcAddress(library_.get(), entry.name);
        if (!entry.address) throw CommonModuleError(commonModuleEntryNotFound(entry.name, kCommonModuleLibrary));
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(entry.address));
}

std::uint32_t Win32CommonModule::GetVHotkeyHandle() { return bind<HandleFn>(getVHotkeyHandle_)(); }
void Win32CommonModule::RegSupervisorPwd(std::uint32_t w) { bind<RegisterFn>(regSupervisorPwd_)(w); }
std::uint32_t Win32CommonModule::GetSupervisorPwd() { return bind<HandleFn>(getSupervisorPwd_)(); }
void Win32CommonModule::RegAccessibility(std::uint32_t w) { bind<RegisterFn>(regAccessibility_)(w); }
std::uint32_t Win32CommonModule::GetAccessibility() { return bind<HandleFn>(getAccessibility_)(); }
std::int32_t Win32CommonModule::GetInvalidPwdCnt() { return bind<CountFn>(getInvalidPwdCnt_)(); }
void Win32CommonModule::SetInvalidPwdCnt(std::int32_t count) { bind<SetCountFn>(setInvalidPwdCnt_)(count); }

std::int32_t Win32CommonModule::GetShortCutInfo(char* text1, const char* shortcutPath, char* text2, char* text3,
                                                char* text4, char* text5, std::int32_t* number1,
                                                std::int32_t* number2) {
    // LONG is 32 bits on every Windows target, as the port's integers are.
    static_assert(sizeof(LONG) == sizeof(std::int32_t));
    return bind<ShortcutFn>(getShortCutInfo_)(text1, shortcutPath, text2, text3, text4, text5,
                                               reinterpret_cast<LONG*>(number1), reinterpret_cast<LONG*>(number2));
}

}  // namespace vantora::win32
