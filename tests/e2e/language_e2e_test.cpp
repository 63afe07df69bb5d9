// The real Keyloom.exe and BASTIONE.exe with their language libraries, in the locale of
// the language (ctest sets LANG and LC_ALL per run, and VANTORA_TEST_LANGUAGE names the
// library folder), and Keyloom's About box without a library. Texts are read back as
// UTF-16 and compared with the library's own strings; in Japanese the fonts of the
// rules are told by the controls' pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/version.h"
#include "launcher/launcher_constants.h"
#include "launcher/win32/resource.h"
#include "standins/hotkey-service/hotkey_service_protocol.h"
#include "supervisor/win32/resource.h"
#include "tests/e2e/font_ink.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::testing;

std::wstring textOf(HWND w) {
    wchar_t text[512] = {};
    DWORD_PTR unused = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &unused);
    return text;
}

std::string language() {
    char name[16] = {};
    GetEnvironmentVariableA("VANTORA_TEST_LANGUAGE", name, sizeof name);
    return name;
}

// The shipped libraries, or those built for the tests only (VANTORA_TEST_LIBRARIES).
std::string libraryPath(const char* program) {
    char folder[32] = "languages";
    GetEnvironmentVariableA("VANTORA_TEST_LIBRARIES", folder, sizeof folder);
    return programFolder() + "\\" + folder + "\\" + language() + "\\" + program + ".dll";
}

// The library's own UTF-16 text of one string.
std::wstring libraryText(const char* program, UINT id) {
    const vantora::win32::UniqueModule strings(
        LoadLibraryExA(libraryPath(program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    wchar_t text[512] = {};
    return strings && LoadStringW(strings.get(), id, text, 512) > 0 ? text : L"";
}

HWND waitForDialog(const ChildProcess& p, int childId) {
    HWND w = nullptr;
    waitFor([&] { return (w = dialogOf(p.id(), "", childId)) != nullptr; }, 20000);
    return w;
}

// Each control's text against the library's string for it; id 0 is the window itself.
void expectTexts(HWND window, const char* program, std::initializer_list<std::pair<UINT, int>> controls) {
    for (const auto& [string, control] : controls) {
        const std::wstring expected = libraryText(program, string);
        EXPECT_FALSE(expected.empty()) << program << " string " << string;
        EXPECT_EQ(expected, textOf(control ? GetDlgItem(window, control) : window)) << program << " string " << string;
    }
}

// The program and the files it needs in a folder of their own, its library beside it.
void install(const TempFolder& folder, std::initializer_list<const char*> files, const char* program) {
    for (const char* file : files)
        ASSERT_TRUE(CopyFileA(programPath(file).c_str(), folder.file(file).c_str(), FALSE)) << file;
    if (program) {
        ASSERT_TRUE(CopyFileA(libraryPath(program).c_str(), folder.file((std::string(program) + ".dll").c_str()).c_str(), FALSE))
            << libraryPath(program);
    }
}

// The README's pictures show the prefix's own faces (tools/language-pictures).
bool takingPictures() { return std::getenv("VANTORA_LANGUAGE_PICTURE") != nullptr; }

// Under the Japanese code ("JP", "JA") the rules' fonts, seen in the controls' pixels.
void expectFonts(HWND window, std::initializer_list<FontCase> cases) {
    if (language() == "ja" && !takingPictures()) expectFontsDrawn(window, cases);
}

UINT expectedCodePage() {
    const std::string l = language();
    return l == "ja" ? 932 : l == "ru" ? 1251 : 1252;
}

// For the README's pictures (tools/language-pictures): the place of these windows on the
// screen goes to the signal file named by VANTORA_LANGUAGE_PICTURE, and they stay up
// until the file is removed.
void holdForPicture(std::initializer_list<HWND> windows) {
    const char* signal = std::getenv("VANTORA_LANGUAGE_PICTURE");
    if (!signal) return;
    pumpFor(500);
    RECT all{};
    for (HWND w : windows) {
        RECT r{};
        GetWindowRect(w, &r);
        UnionRect(&all, &all, &r);
    }
    std::ofstream(signal) << (all.right - all.left) << 'x' << (all.bottom - all.top) << '+' << all.left << '+' << all.top;
    waitFor([&] { return GetFileAttributesA(signal) == INVALID_FILE_ATTRIBUTES; }, 30000);
}

class LanguageE2E : public ::testing::Test {
protected:
    ChildProcess program, service;
    std::optional<DistinctGothic> gothic;
    void SetUp() override {
        if (language() == "ja" && !takingPictures()) gothic.emplace();
        ASSERT_FALSE(language().empty()) << "VANTORA_TEST_LANGUAGE names no language";
        ASSERT_EQ(expectedCodePage(), GetACP()) << "the locale of " << language() << " is not in force";
        char wantedDpi[8] = {};
        if (GetEnvironmentVariableA("VANTORA_TEST_DPI", wantedDpi, sizeof wantedDpi)) {
            ASSERT_EQ(std::atoi(wantedDpi), vantora::win32::screenDpi()) << "the prefix's resolution is not in force";
        }
        deleteTree(HKEY_CURRENT_USER, vantora::launcher::kMakerKey);
    }
    void TearDown() override {
        endProcessesNamed({"Keyloom.exe", "BASTIONE.exe"});
        if (HWND w = FindWindowA(vantora::hotkey::kWindowClass, nullptr)) PostMessageA(w, WM_CLOSE, 0, 0);
        if (service.started()) {
            EXPECT_TRUE(service.ended(10000)) << "VHotkey did not end";
        }
    }
};

// Keyloom's Function Key Assignments dialog and About box, opened from the main window's
// menu commands, in the library's language.
TEST_F(LanguageE2E, Keyloom_DialogsAndAboutBoxInTheLibrarysLanguage) {
    TempFolder folder("keyloom-language");
    install(folder, {"Keyloom.exe"}, "Keyloom");
    ASSERT_TRUE(program.start(folder.file("Keyloom.exe")));
    HWND main = nullptr;
    ASSERT_TRUE(waitFor([&] { return (main = publishedWindow()) != nullptr && IsWindowVisible(main); }, 60000));
    expectTexts(main, "Keyloom", {{1001, 0}});

    PostMessageA(main, WM_COMMAND, IDM_ASSIGNMENTS, 0);
    HWND form2 = waitForDialog(program, IDC_FORM2_LISTVIEW1);
    ASSERT_TRUE(form2) << "no Function Key Assignments dialog";
    expectTexts(form2, "Keyloom", {{2001, 0}, {2002, IDC_FORM2_CHECK1}, {2003, IDC_FORM2_COMMAND1},
                                   {2004, IDC_FORM2_COMMAND2}, {2005, IDC_FORM2_COMMAND3}});
    const std::wstring face = libraryText("Keyloom", 8001);
    expectFonts(form2, {{IDC_FORM2_COMMAND1, face, 9, 4}});
    PostMessageA(form2, WM_COMMAND, IDCANCEL, 0);  // Esc
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form2); }, 10000));

    PostMessageA(main, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = waitForDialog(program, IDC_ABOUT_CMDOK);
    ASSERT_TRUE(about) << "no About box";
    expectTexts(about, "Keyloom", {{7001, 0}, {7002, IDC_ABOUT_CMDOK}, {7003, IDC_ABOUT_LBLTITLE},
                                   {7004, IDC_ABOUT_LBLNOTICE}});
    EXPECT_NE(std::wstring::npos, textOf(GetDlgItem(about, IDC_ABOUT_LBLTITLE)).find(L"" VANTORA_VERSION_TEXT));
    expectFonts(about, {{IDC_ABOUT_LBLTITLE, face, 9, 0}});
    holdForPicture({main, about});
    PostMessageA(GetDlgItem(about, IDC_ABOUT_CMDOK), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(about); }, 10000)) << "Enter must close the About box";

    // Assignment Type from a right click on the X key, and the Application Explorer from its Popup... button.
    PostMessageA(main, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(64 + 8, 123 + 8));
    HWND form3 = waitForDialog(program, IDC_FORM3_COMMAND2);
    ASSERT_TRUE(form3) << "no Assignment Type dialog";
    expectTexts(form3, "Keyloom", {{3001, 0}, {3002, IDC_FORM3_COMMAND1}, {3003, IDC_FORM3_LABEL2}, {3010, IDC_FORM3_CHECK1}});
    PostMessageA(GetDlgItem(form3, IDC_FORM3_COMMAND2), BM_CLICK, 0, 0);
    HWND form6 = waitForDialog(program, IDC_FORM6_TREEVIEW1);
    ASSERT_TRUE(form6) << "no Application Explorer";
    expectTexts(form6, "Keyloom", {{5001, 0}, {5002, IDC_FORM6_LABEL1}, {5003, IDC_FORM6_LABEL2},
                                   {5004, IDC_FORM6_COMMAND1}, {5005, IDC_FORM6_COMMAND2}});
    expectFonts(form6, {{IDC_FORM6_LABEL1, face, 9, 0}, {IDC_FORM6_COMMAND2, face, 9, 4}});
    PostMessageA(form6, WM_COMMAND, IDCANCEL, 0);  // Esc
    EXPECT_TRUE(waitFor([&] { return !IsWindow(form6); }, 10000));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.ended(15000));
}

// BASTIONE's message when the hotkey service is not running, then its main window.
TEST_F(LanguageE2E, Bastione_MessageAndMainWindowInTheLibrarysLanguage) {
    TempFolder folder("bastione-language");
    install(folder, {"BASTIONE.exe", "CORELINK.dll"}, "BASTIONE");
    ASSERT_TRUE(program.start(folder.file("BASTIONE.exe")));
    HWND box = waitForDialog(program, IDOK);
    ASSERT_TRUE(box) << "no message without the hotkey service";
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(child, cls, 16);
        if (lstrcmpiW(cls, L"Static") == 0) text += textOf(child);
    }
    EXPECT_EQ(libraryText("BASTIONE", 33), text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.ended(10000)) << "the program must end after its message";

    ASSERT_TRUE(service.start(programPath("VHotkey.exe")));
    ASSERT_TRUE(waitFor([] { return FindWindowA(vantora::hotkey::kWindowClass, nullptr) != nullptr; }, 20000));
    ChildProcess bastione;
    ASSERT_TRUE(bastione.start(folder.file("BASTIONE.exe")));
    HWND main = waitForDialog(bastione, IDC_OPTREGISTERED);
    ASSERT_TRUE(main) << "no main window";
    expectTexts(main, "BASTIONE", {{2, 0}, {3, IDC_FRMSUPERVISOR}, {4, IDC_OPTNOTREGISTERED}, {5, IDC_OPTREGISTERED},
                                   {6, IDC_FRMUSERPWDMODE}, {7, IDC_OPTABLETORUN}, {8, IDC_OPTUNABLETORUN}, {9, IDC_OK}});
    expectFonts(main, {{IDC_FRMSUPERVISOR, L"MS P Gothic", 0, 0, 14}, {IDC_OPTNOTREGISTERED, L"MS P Gothic", 0, 0},
                       {IDC_OK, L"MS P Gothic", 0, 4}});
    // The language's layout at this resolution, in pixels. The two frames are alike in
    // the design, and so are the two option buttons: a difference is the correction's.
    const int dpi = vantora::win32::screenDpi();
    struct Width {
        const char* language;
        int dpi;
        int control, other;  // other: 0 for the control's own width
        int twips;
    } widths[] = {
        {"da", 96, IDC_FRMSUPERVISOR, 0, 2775},
        {"da", 72, IDC_FRMSUPERVISOR, 0, 2775 + 1000},
        {"ru", 96, IDC_FRMSUPERVISOR, IDC_FRMUSERPWDMODE, 0},
        {"ru", 96, IDC_OPTNOTREGISTERED, IDC_OPTREGISTERED, 0},
        {"ru", 72, IDC_FRMSUPERVISOR, IDC_FRMUSERPWDMODE, 300 - 200},
        {"ru", 72, IDC_OPTNOTREGISTERED, IDC_OPTREGISTERED, 200},
    };
    for (const Width& w : widths) {
        if (w.language != language() || w.dpi != dpi) continue;
        const auto width = [&](int control) {
            RECT r{};
            GetWindowRect(GetDlgItem(main, control), &r);
            return r.right - r.left;
        };
        EXPECT_EQ(w.twips * dpi / 1440, width(w.control) - (w.other ? width(w.other) : 0))
            << "control " << w.control << " at " << dpi << " dpi";
    }
    holdForPicture({main});
    PostMessageA(main, WM_COMMAND, IDCANCEL, 0);  // Esc
    EXPECT_TRUE(bastione.ended(10000)) << "Esc must close the main window";
}

std::string versionValue(const std::string& file, const char* name) {
    DWORD unused = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(file.c_str(), &unused));
    if (block.empty() || !GetFileVersionInfoA(file.c_str(), 0, DWORD(block.size()), block.data())) return "(none)";
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    return VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && value ? value : "";
}

TEST(VersionResources, EveryProgramAndLibraryOfTheSuiteCarriesItsVersion) {
    std::vector<std::pair<std::string, std::string>> files = {
        {"Keyloom.exe", "Keyloom"}, {"BASTIONE.exe", "BASTIONE"}, {"MERIDALE.exe", "MERIDALE"},
        {"VHotkey.exe", "VHotkey"}, {"CORELINK.dll", "CORELINK"}, {"fwext-state.exe", "fwext-state"}};
    for (const char* language : {"en", "ja", "de", "fr", "es", "ru"})
        for (const char* program : {"Keyloom", "BASTIONE", "MERIDALE"})
            files.push_back({std::string("languages\\") + language + "\\" + program + ".dll", program});
    for (const auto& [file, product] : files) {
        const std::string path = programPath(file.c_str());
        EXPECT_EQ(VANTORA_VERSION_TEXT, versionValue(path, "ProductVersion")) << file;
        EXPECT_EQ(product, versionValue(path, "ProductName")) << file;
        EXPECT_EQ(VANTORA_COPYRIGHT, versionValue(path, "LegalCopyright")) << file;
    }
}

// Without a library the About box names the program and the version its version
// resource holds, with the copyright line; Esc closes it.
TEST(KeyloomAbout, WithoutALibrary_ProductLineFromTheVersionResource_EscCloses) {
    deleteTree(HKEY_CURRENT_USER, vantora::launcher::kMakerKey);
    const std::string version = versionValue(programPath("Keyloom.exe"), "ProductVersion");
    ASSERT_FALSE(version.empty());

    ChildProcess keyloom;
    HWND main = startedKeyloom(keyloom);
    ASSERT_TRUE(main);
    PostMessageA(main, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = waitForDialog(keyloom, IDC_ABOUT_CMDOK);
    ASSERT_TRUE(about) << "no About box";
    EXPECT_EQ(L"About Keyloom", textOf(about));
    const std::string title = "Keyloom Version " + version;
    EXPECT_EQ(std::wstring(title.begin(), title.end()), textOf(GetDlgItem(about, IDC_ABOUT_LBLTITLE)));
    EXPECT_EQ(L"" VANTORA_COPYRIGHT, textOf(GetDlgItem(about, IDC_ABOUT_LBLCOPYRIGHT)));
    EXPECT_EQ(nullptr, GetWindow(about, GW_OWNER)) << "the About box has no owner";
    EXPECT_TRUE(IsWindowEnabled(main)) << "and leaves the main window usable";
    PostMessageA(GetDlgItem(about, IDC_ABOUT_CMDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(about); }, 10000)) << "Esc must close the About box";
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(keyloom.ended(15000));
}

}  // namespace
