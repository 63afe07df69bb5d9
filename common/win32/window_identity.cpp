// GetProcessImageFileNameA from psapi.dll: Windows XP has it, and from Vista on it
// takes the limited query right, which is all a program gets on an elevated process.
#define PSAPI_VERSION 1
#include "common/win32/window_identity.h"

#include <psapi.h>

#include "common/win32/owners.h"
#include "common/win32/system_functions.h"

namespace vantora::win32 {

namespace {
const SystemFunction<decltype(&::GetProcessImageFileNameA)> getProcessImageFileName{"psapi.dll",
                                                                                  "GetProcessImageFileNameA"};
}  // namespace

std::string programNameOf(DWORD processId) {
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) process.reset(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process) return {};
    char path[MAX_PATH * 2] = {};
    const DWORD n = getProcessImageFileName(process.get(), path, sizeof path);
    if (n == 0 || n >= sizeof path) return {};
    // A device path (\Device\HarddiskVolume1\...): only its last part is wanted.
    const std::string full(path, n);
    return full.substr(full.find_last_of('\\') + 1);
}

bool isWindowOf(HWND window, const char* className, const char* programName) {
    char actual[256] = {};
    if (!window || !::GetClassNameA(window, actual, sizeof actual) || lstrcmpiA(actual, className) != 0) return false;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return processId != 0 && lstrcmpiA(programNameOf(processId).c_str(), programName) == 0;
}

}  // namespace vantora::win32
