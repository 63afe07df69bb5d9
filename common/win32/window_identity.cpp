// GetProcessImageFileNameA from psapi.dll: Windows XP has it, and from Vista on it
// takes the limited query right, which is all a program gets on an elevated process.
#define PSAPI_VERSION 1
#include "common/win32/window_identity.h"

#include <psapi.h>

#include <optional>

#include "common/win32/owners.h"
#include "common/win32/system_functions.h"

namespace vantora::win32 {

namespace {
const SystemFunction<decltype(&::GetProcessImageFileNameA)> getProcessImageFileName{"psapi.dll",
                                                                                  "GetProcessImageFileNameA"};
const SystemFunction<decltype(&::GetProcessImageFileNameW)> getProcessImageFileNameW{"psapi.dll",
                                                                                   "GetProcessImageFileNameW"};

using QueryFullProcessImageNameWFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);

UniqueHandle openForQuery(DWORD processId) {
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) process.reset(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    return process;
}

// The full path of the process's program file; empty when it may not be read. Before
// Vista there is only the device form, which is then what both sides of a comparison get.
std::wstring imagePathOf(HANDLE process) {
    static const auto query = reinterpret_cast<QueryFullProcessImageNameWFn>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameW")));
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (query) {
        if (!query(process, 0, path.data(), &size)) return {};
    } else {
        size = getProcessImageFileNameW(process, path.data(), size);
    }
    path.resize(size < path.size() ? size : 0);
    return path;
}

// The integrity level's RID; none where the system has no integrity levels or the
// token may not be read.
std::optional<DWORD> integrityOf(HANDLE process) {
    HANDLE opened = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &opened)) return std::nullopt;
    const UniqueHandle token(opened);
    alignas(TOKEN_MANDATORY_LABEL) BYTE buffer[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE] = {};
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), TokenIntegrityLevel, buffer, sizeof buffer, &size)) return std::nullopt;
    const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
    if (!::IsValidSid(sid) || *::GetSidSubAuthorityCount(sid) == 0) return std::nullopt;
    return *::GetSidSubAuthority(sid, *::GetSidSubAuthorityCount(sid) - 1u);
}
}  // namespace

bool isWindowOfThisProgram(HWND window) {
    DWORD processId = 0;
    if (!window || !::GetWindowThreadProcessId(window, &processId) || processId == 0 ||
        processId == ::GetCurrentProcessId())
        return false;
    const UniqueHandle process = openForQuery(processId);
    if (!process) return false;
    // The open handle keeps the id from passing to a new process: if the window still
    // belongs to it now, the handle is the window's process.
    DWORD again = 0;
    if (!::GetWindowThreadProcessId(window, &again) || again != processId) return false;
    const std::wstring theirs = imagePathOf(process.get()), ours = imagePathOf(::GetCurrentProcess());
    if (theirs.empty() || ours.empty() || ::lstrcmpiW(theirs.c_str(), ours.c_str()) != 0) return false;
    // The same file started with fewer rights (a standard user's copy of an elevated
    // program, with whatever that user loaded into it) is not to be trusted with ours.
    const std::optional<DWORD> own = integrityOf(::GetCurrentProcess());
    if (!own) return true;
    const std::optional<DWORD> other = integrityOf(process.get());
    return other && *other >= *own;
}

std::string programNameOf(DWORD processId) {
    const UniqueHandle process = openForQuery(processId);
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
