#include "common/win32/system_functions.h"

#include <string>

namespace vantora::win32 {

namespace {
// Never unloaded: every bound function keeps pointing into it.
HMODULE loadSystemLibrary(const char* library) {
    // A library the program's manifest names (the version 6 common controls) is taken from
    // where the activation context says; a full path would bypass it and load the old one.
    ACTCTX_SECTION_KEYED_DATA redirected{};
    redirected.cbSize = sizeof redirected;
    if (::FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, library, &redirected))
        return ::LoadLibraryA(library);
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return ::LoadLibraryA((std::string(folder, length) + "\\" + library).c_str());
}
}  // namespace

FARPROC systemFunction(const char* library, const char* function) {
    const HMODULE module = loadSystemLibrary(library);
    const FARPROC found = module ? ::GetProcAddress(module, function) : nullptr;
    if (!found) {
        const std::string message = std::string("The system library ") + library + " lacks " + function + ".";
        ::FatalAppExitA(0, message.c_str());
    }
    return found;
}

void initCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        return later::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

}  // namespace vantora::win32
