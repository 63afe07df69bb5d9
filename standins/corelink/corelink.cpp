// CORELINK.dll: the common module of the suite. Every export is stdcall with 32-bit
// integers and window handles, exported under its plain name (corelink.def).
//
// Storage, in the volatile subkey HKCU\Software\Vantora\CoreLink\Session, so that
// every process of the user sees the same values and none outlives the session:
//   "SupervisorPwd", "Accessibility"  REG_DWORD window handles: a handle means nothing
//                    after the session ends.
//   "InvalidPwdCnt"  REG_DWORD, the wrong supervisor passwords in a row. It must outlast
//                    the programs but not a restart: the firmware allows three tries per
//                    boot, and a count kept on disk would lock the utility for good.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/win32/guarded.h"
#include "common/win32/owners.h"
#include "common/win32/system_functions.h"
#include "common/win32/window_identity.h"
#include "standins/hotkey-service/hotkey_service_protocol.h"

namespace {

using vantora::win32::guarded;
using vantora::win32::UniqueFile;
using vantora::win32::UniqueKey;

constexpr char kStoreKey[] = "Software\\Vantora\\CoreLink";
constexpr char kSessionKey[] = "Software\\Vantora\\CoreLink\\Session";
constexpr char kCountValue[] = "InvalidPwdCnt";
constexpr char kSupervisorValue[] = "SupervisorPwd";
constexpr char kAccessibilityValue[] = "Accessibility";
// Whose windows each hand-over carries: a dialog of that program.
constexpr char kSupervisorProgram[] = "BASTIONE.exe";
constexpr char kAccessibilityProgram[] = "MERIDALE.exe";
constexpr char kDialogClass[] = "#32770";
constexpr int kTextChars = 260;
// Three wrong passwords lock the utility's changes; a count that cannot be read as a
// count is taken as that, never as a fresh start.
constexpr LONG kLockedCount = 3;
// The highest count kept, one below the largest LONG: callers count with
// GetInvalidPwdCnt() + 1, which then cannot overflow.
constexpr LONG kCountCeiling = 0x7FFFFFFE;
constexpr DWORD kSettingsTimeoutMs = 5000;

bool writeDword(const char* path, DWORD options, const char* name, DWORD value) {
    HKEY created;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, options, KEY_SET_VALUE, nullptr, &created, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const UniqueKey key(created);
    return RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

// Anyone may write these values: only a 4-byte REG_DWORD is taken, anything else reads as 0.
DWORD readDword(const char* path, const char* name) {
    HKEY opened;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return 0;
    const UniqueKey key(opened);
    DWORD type = 0, value = 0, size = sizeof value;
    const LONG rc = RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    return rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value ? value : 0;
}

// RegCreateKeyEx gives every key it has to create on the way the options of the last
// one: a volatile Session key created first would make Software\Vantora and CoreLink
// volatile too, and then no program could keep a setting below them. The path is
// therefore made to last before the volatile key is added at its end.
LONG writeSessionValue(const char* name, DWORD value) {
    HKEY created;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kStoreKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_CREATE_SUB_KEY,
                        nullptr, &created, nullptr) != ERROR_SUCCESS)
        return 0;
    const UniqueKey store(created);
    return writeDword(kSessionKey, REG_OPTION_VOLATILE, name, value) ? 1 : 0;
}

// No key or no value: nothing counted since the session began. Anything else that is
// not a 4-byte REG_DWORD of 0 or more (another type or size, a failed read) is locked.
LONG readCount() {
    HKEY opened;
    const LONG open = RegOpenKeyExA(HKEY_CURRENT_USER, kSessionKey, 0, KEY_QUERY_VALUE, &opened);
    if (open == ERROR_FILE_NOT_FOUND) return 0;
    if (open != ERROR_SUCCESS) return kLockedCount;
    const UniqueKey key(opened);
    DWORD type = 0, value = 0, size = sizeof value;
    const LONG rc = RegQueryValueExA(key.get(), kCountValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (rc == ERROR_FILE_NOT_FOUND) return 0;
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return kLockedCount;
    const LONG count = static_cast<LONG>(value);
    if (count < 0) return kLockedCount;
    return count > kCountCeiling ? kCountCeiling : count;
}

// The dialog programs end at once when Get... names a window, and bring that window
// forward. A program that crashed leaves its handle behind: the window may be gone,
// and then every later start would end too, or the number may since name a window of
// some other program, which must not be handed out as ours.
DWORD registeredWindow(const char* name, const char* program) {
    const DWORD window = readDword(kSessionKey, name);
    return window && vantora::win32::isWindowOf(vantora::win32::windowFromNumber(window), kDialogClass, program)
               ? window
               : 0;
}

HWND serviceWindow() { return FindWindowA(vantora::hotkey::kWindowClass, nullptr); }

// COM for this call only; a thread that already runs COM in another model keeps it.
class ComScope {
public:
    ComScope() : hr_(vantora::win32::later::CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) vantora::win32::later::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** out() { return &p_; }
    T* operator->() const { return p_; }

private:
    T* p_ = nullptr;
};

// The link object's getters may leave a short buffer unterminated; a generous buffer
// of our own, terminated by us, takes any text a .lnk can hold.
class Text {
public:
    char* data() { return buffer_.data(); }
    int room() const { return static_cast<int>(buffer_.size()) - 1; }
    std::string value() const { return std::string(buffer_.data(), strnlen(buffer_.data(), buffer_.size() - 1)); }

private:
    std::vector<char> buffer_ = std::vector<char>(32768, '\0');
};

void copyCut(char* out, const std::string& text) {
    const size_t n = text.size() < kTextChars - 1 ? text.size() : kTextChars - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

struct ShortcutInfo {
    std::string target, arguments, directory, description, iconPath;
    int iconIndex = 0, showCommand = 0;
};

// The show command as the file's fixed header holds it (76 bytes, the command at byte
// 60). Wine's link object saves it but forgets it on Load, so the header is the one
// source that every shell agrees on.
bool headerShowCommand(const char* file, int* showCommand) {
    const UniqueFile f(
        CreateFileA(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return false;
    unsigned char header[76] = {};
    DWORD got = 0;
    const bool read = ReadFile(f.get(), header, sizeof header, &got, nullptr) && got == sizeof header;
    DWORD size = 0, command = 0;
    std::memcpy(&size, header, 4);
    std::memcpy(&command, header + 60, 4);
    if (!read || size != sizeof header) return false;
    *showCommand = static_cast<int>(command);
    return true;
}

bool readShortcut(const char* file, ShortcutInfo* info) {
    const DWORD attributes = GetFileAttributesA(file);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    wchar_t wide[MAX_PATH * 4];
    if (!MultiByteToWideChar(CP_ACP, 0, file, -1, wide, MAX_PATH * 4)) return false;

    ComScope com;
    if (!com.usable()) return false;
    ComPtr<IShellLinkA> link;
    if (FAILED(vantora::win32::later::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.out()))))
        return false;
    ComPtr<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.out())))) return false;
    if (FAILED(persist->Load(wide, STGM_READ))) return false;

    Text target, arguments, directory, description, icon;
    int iconIndex = 0, showCommand = 0;
    if (FAILED(link->GetPath(target.data(), target.room(), nullptr, 0))) return false;
    if (FAILED(link->GetArguments(arguments.data(), arguments.room()))) return false;
    if (FAILED(link->GetWorkingDirectory(directory.data(), directory.room()))) return false;
    if (FAILED(link->GetDescription(description.data(), description.room()))) return false;
    if (FAILED(link->GetIconLocation(icon.data(), icon.room(), &iconIndex))) return false;
    if (FAILED(link->GetShowCmd(&showCommand))) return false;
    headerShowCommand(file, &showCommand);
    *info = {target.value(), arguments.value(), directory.value(), description.value(), icon.value(),
             iconIndex, showCommand};
    return true;
}

}  // namespace

extern "C" {

DWORD WINAPI GetVHotkeyHandle() {
    return guarded<DWORD>(0, [] { return vantora::win32::numberOfWindow(serviceWindow()); });
}

LONG WINAPI RegSupervisorPwd(DWORD window) {
    return guarded<LONG>(0, [=] { return writeSessionValue(kSupervisorValue, window); });
}
DWORD WINAPI GetSupervisorPwd() {
    return guarded<DWORD>(0, [] { return registeredWindow(kSupervisorValue, kSupervisorProgram); });
}
LONG WINAPI RegAccessibility(DWORD window) {
    return guarded<LONG>(0, [=] { return writeSessionValue(kAccessibilityValue, window); });
}
DWORD WINAPI GetAccessibility() {
    return guarded<DWORD>(0, [] { return registeredWindow(kAccessibilityValue, kAccessibilityProgram); });
}

// A count that cannot be had reads as locked, never as no wrong tries.
LONG WINAPI GetInvalidPwdCnt() { return guarded<LONG>(kLockedCount, [] { return readCount(); }); }
// A negative count is what GetInvalidPwdCnt() + 1 wraps to past the largest LONG: it
// stays at the ceiling.
LONG WINAPI SetInvalidPwdCnt(LONG count) {
    return guarded<LONG>(0, [=] {
        return writeSessionValue(kCountValue,
                                 static_cast<DWORD>(count < 0 || count > kCountCeiling ? kCountCeiling : count));
    });
}

// Nothing is written unless the whole shortcut was read: a caller's buffers keep what
// they held when the file is missing or no shortcut.
LONG WINAPI GetShortCutInfo(LPSTR text1, LPCSTR shortcutPath, LPSTR text2, LPSTR text3, LPSTR text4, LPSTR text5,
                            LONG* number1, LONG* number2) {
    return guarded<LONG>(0, [=] {
        if (!text1 || !shortcutPath || !text2 || !text3 || !text4 || !text5 || !number1 || !number2) return 0;
        ShortcutInfo info;
        if (!readShortcut(shortcutPath, &info)) return 0;
        copyCut(text1, info.target);
        copyCut(text2, info.arguments);
        copyCut(text3, info.directory);
        copyCut(text4, info.description);
        copyCut(text5, info.iconPath);
        *number1 = info.iconIndex;
        *number2 = info.showCommand;
        return 1;
    });
}

// No program calls it. It asks a running hotkey service to take up its settings
// again, as the settings dialog does after writing them: nonzero when a service
// answered, 0 when none runs.
LONG WINAPI RegisterVHotkey() {
    return guarded<LONG>(0, [] {
        HWND service = serviceWindow();
        if (!service) return 0;
        DWORD_PTR answer = 0;
        return SendMessageTimeoutA(service, vantora::hotkey::kSettingsMessage, vantora::hotkey::kSettingsWParam,
                                   vantora::hotkey::kSettingsWritten, SMTO_ABORTIFHUNG, kSettingsTimeoutMs,
                                   &answer) != 0
                   ? 1
                   : 0;
    });
}

}  // extern "C"
