#pragma once
// Functions of system libraries that a program's first window does not need. Importing
// them would make the loader map their libraries (and what those import in turn) before
// the program runs a line; bound on their first call instead, they cost a start nothing.
// Each library is loaded by its full path in the system folder and stays loaded.
//
// A call reads as the import it replaces: later::ShellExecuteA(...) for ::ShellExecuteA(...).
// The programs' import tables are checked by a test, so a direct call cannot creep back.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <utility>

namespace vantora::win32 {

// The address of `function` in the system library `library`, which is loaded on the first
// request. A system without either cannot run the program at all, so that ends it with a
// message naming both, as the loader would at start.
FARPROC systemFunction(const char* library, const char* function);

// One function of a system library, bound on its first call.
template <typename Pointer>
class SystemFunction {
public:
    constexpr SystemFunction(const char* library, const char* function) : library_(library), function_(function) {}
    SystemFunction(const SystemFunction&) = delete;
    SystemFunction& operator=(const SystemFunction&) = delete;

    template <typename... Args>
    auto operator()(Args&&... args) const {
        return bound()(std::forward<Args>(args)...);
    }

private:
    Pointer bound() const {
        Pointer f = bound_.load(std::memory_order_acquire);
        if (!f) {
            // Through the generic function type, which any function pointer may be cast from.
            f = reinterpret_cast<Pointer>(reinterpret_cast<void (*)()>(systemFunction(library_, function_)));
            bound_.store(f, std::memory_order_release);
        }
        return f;
    }

    const char* library_;
    const char* function_;
    mutable std::atomic<Pointer> bound_{nullptr};
};

namespace later {
#define VANTORA_SYSTEM_FUNCTION(library, name) \
    inline const SystemFunction<decltype(&::name)> name { library, #name }

VANTORA_SYSTEM_FUNCTION("comctl32.dll", InitCommonControlsEx);
VANTORA_SYSTEM_FUNCTION("comctl32.dll", ImageList_Create);
VANTORA_SYSTEM_FUNCTION("comctl32.dll", ImageList_Destroy);
VANTORA_SYSTEM_FUNCTION("comctl32.dll", ImageList_Add);
VANTORA_SYSTEM_FUNCTION("comctl32.dll", ImageList_AddMasked);
VANTORA_SYSTEM_FUNCTION("comctl32.dll", ImageList_ReplaceIcon);
VANTORA_SYSTEM_FUNCTION("comctl32.dll", ImageList_GetImageCount);
VANTORA_SYSTEM_FUNCTION("comctl32.dll", ImageList_Remove);
VANTORA_SYSTEM_FUNCTION("comctl32.dll", ImageList_Draw);
VANTORA_SYSTEM_FUNCTION("shell32.dll", ShellExecuteA);
VANTORA_SYSTEM_FUNCTION("shell32.dll", Shell_NotifyIconA);
VANTORA_SYSTEM_FUNCTION("shell32.dll", SHGetFileInfoA);
VANTORA_SYSTEM_FUNCTION("shell32.dll", SHGetFolderPathA);
VANTORA_SYSTEM_FUNCTION("shell32.dll", CommandLineToArgvW);
VANTORA_SYSTEM_FUNCTION("comdlg32.dll", GetOpenFileNameA);
VANTORA_SYSTEM_FUNCTION("version.dll", GetFileVersionInfoSizeA);
VANTORA_SYSTEM_FUNCTION("version.dll", GetFileVersionInfoA);
VANTORA_SYSTEM_FUNCTION("version.dll", VerQueryValueA);
VANTORA_SYSTEM_FUNCTION("ole32.dll", CoInitialize);
VANTORA_SYSTEM_FUNCTION("ole32.dll", CoUninitialize);
VANTORA_SYSTEM_FUNCTION("ole32.dll", CoCreateInstance);

#undef VANTORA_SYSTEM_FUNCTION
}  // namespace later

// Registers the common controls' window classes (list and tree views, tooltips, and under a
// version 6 manifest the themed buttons and statics) the first time it is called: before any
// window or dialog that uses them is made.
void initCommonControls();

}  // namespace vantora::win32
