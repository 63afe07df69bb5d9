#pragma once
// What the tests of the real MERIDALE.exe share: finding its dialog, reading its
// controls and the settings it wrote, and starting it beside the hotkey service.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "accessibility/win32/resource.h"
#include "standins/hotkey-service/hotkey_service_protocol.h"
#include "tests/e2e/win32_test_support.h"

namespace vantora::testing::meridale {

using vantora::hotkey::kIdleTimeValue;
using vantora::hotkey::kSettingsKey;
using vantora::hotkey::kStickyKeyValue;
using vantora::hotkey::kWindowClass;


inline constexpr char kDialogCaption[] = "VANTORA Accessibility";
inline constexpr char kProgramTitle[] = "MERIDALE";

inline HWND dialogOf(const ChildProcess& p, const char* caption) { return vantora::testing::dialogOf(p.id(), caption); }

inline bool readDword(const char* name, DWORD* value) {
    DWORD type = 0;
    Bytes data;
    if (!readValue(HKEY_LOCAL_MACHINE, kSettingsKey, name, &type, &data) || type != REG_DWORD || data.size() != 4)
        return false;
    std::memcpy(value, data.data(), 4);
    return true;
}

inline bool valueAbsent(const char* name) {
    const vantora::ScopedRegKey key = openKey(HKEY_LOCAL_MACHINE, kSettingsKey);
    return !key || registry().RegQueryValueExA(key.get(), name, nullptr, nullptr, nullptr) == ERROR_FILE_NOT_FOUND;
}

// ---- language libraries

inline std::wstring windowTextW(HWND w) {
    wchar_t text[512] = {};
    DWORD_PTR unused = 0;
    // From another process, through the message, so that a hung window cannot hold the test.
    SendMessageTimeoutW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &unused);
    return text;
}

// The library's own UTF-16 text of one string.
inline std::wstring libraryText(const std::string& library, UINT id) {
    const vantora::win32::UniqueModule strings(LoadLibraryExA(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    wchar_t text[512] = {};
    return strings && LoadStringW(strings.get(), id, text, 512) > 0 ? text : L"";
}

// The window of each caption string, 2 being the dialog itself.
inline constexpr std::pair<UINT, int> kCaptionControls[] = {
    {3, IDC_CHKSTICKYKEY}, {4, IDC_FRMOPTIONS},   {5, IDC_CHKTWICELOCK},       {6, IDC_CHKPRESSSOUND},
    {7, IDC_CHKSTICKYICON}, {8, IDC_FRMAUTORESET}, {9, IDC_CHKUNSTICKIDLE},     {10, IDC_LABEL2},
    {11, IDC_CHKAUTORESETSOUND}, {12, IDC_OK},     {13, IDC_CANCEL},            {14, IDC_APPLY},
    {15, IDC_LABEL1},       {16, IDC_FRMSTICKYKEY},
};

// The program's dialog, whatever its caption.
inline HWND anyDialogOf(const ChildProcess& p) { return vantora::testing::dialogOf(p.id(), ""); }

// A user's click, answered before the call returns.
inline void click(HWND dialog, int id) {
    DWORD_PTR unused = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &unused);
}

class MeridaleE2E : public ::testing::Test {
protected:
    TempFolder folder{"meridale-test"};
    std::string log = folder.file("VHotkey.log");
    ChildProcess service, meridale;
    HWND dialog = nullptr;

    void SetUp() override {
        if (HWND old = FindWindowA(kWindowClass, nullptr)) PostMessageA(old, WM_CLOSE, 0, 0);
        ASSERT_TRUE(waitFor([] { return !FindWindowA(kWindowClass, nullptr); }, 10000)) << "an old service stays";
        deleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, kStickyKeyValue);
        deleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, kIdleTimeValue);
    }
    void TearDown() override {
        if (dialog && IsWindow(dialog)) PostMessageA(dialog, WM_CLOSE, 0, 0);
        if (meridale.started()) {
            EXPECT_TRUE(meridale.ended(10000)) << "MERIDALE did not end";
        }
        if (HWND w = FindWindowA(kWindowClass, nullptr)) PostMessageA(w, WM_CLOSE, 0, 0);
        if (service.started()) {
            EXPECT_TRUE(service.ended(10000)) << "VHotkey did not end";
        }
        deleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, kStickyKeyValue);
        deleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, kIdleTimeValue);
    }
    void startService() {
        ASSERT_TRUE(service.start(programPath("VHotkey.exe"), "/log \"" + log + "\"")) << GetLastError();
        ASSERT_TRUE(waitFor([] { return FindWindowA(kWindowClass, nullptr) != nullptr; }, 20000)) << "no service";
    }
    void startDialog(ChildProcess& p, HWND* window, const std::string& exe = programPath("MERIDALE.exe")) {
        ASSERT_TRUE(p.start(exe)) << GetLastError();
        ASSERT_TRUE(waitFor([&] { return (*window = dialogOf(p, kDialogCaption)) != nullptr; }, 30000))
            << "no visible dialog";
    }
    bool logged(const std::string& line) const {
        const auto lines = fileLines(log);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    int loggedCount(const std::string& prefix) const {
        int n = 0;
        for (const auto& l : fileLines(log)) n += l.rfind(prefix, 0) == 0;
        return n;
    }
    // MERIDALE.exe with its common module in a folder of its own, started from
    // `directory`; with a language library beside it when one is named.
    void startInstalled(const TempFolder& installed, const char* language, const std::string& directory) {
        for (const char* file : {"MERIDALE.exe", "CORELINK.dll"})
            ASSERT_TRUE(CopyFileA(programPath(file).c_str(), installed.file(file).c_str(), FALSE)) << file;
        if (language) {
            ASSERT_TRUE(CopyFileA(languageLibrary(language).c_str(), installed.file("MERIDALE.dll").c_str(), FALSE));
        }
        ASSERT_TRUE(meridale.start(installed.file("MERIDALE.exe"), "", nullptr, directory));
        ASSERT_TRUE(waitFor([&] { return (dialog = anyDialogOf(meridale)) != nullptr; }, 30000)) << "no visible dialog";
    }
    static std::string languageLibrary(const char* language) {
        return programFolder() + "\\languages\\" + language + "\\MERIDALE.dll";
    }
    std::string logText() const {
        std::string all;
        for (const auto& l : fileLines(log)) all += l + "\n";
        return all;
    }
    // The message box the program shows before it ends: its text, dismissed with OK.
    std::string messageOf(ChildProcess& p) { return answerMessage(p.id(), kProgramTitle); }
};

}  // namespace vantora::testing::meridale
