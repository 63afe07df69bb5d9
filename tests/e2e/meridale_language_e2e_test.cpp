// The real MERIDALE.exe with a language library, in the locale of its language: ctest
// runs it once per language with LANG and LC_ALL set for the whole Wine process tree.
// A Wine process takes its ANSI code page from the Unix locale it starts in, and the
// programs it starts inherit that locale, whatever environment block they are given.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "tests/e2e/font_ink.h"
#include "tests/e2e/meridale_e2e_support.h"

namespace {

using namespace vantora::testing;
using namespace vantora::testing::meridale;

struct Language {
    std::string name;
    UINT codePage = 0;
    std::wstring caption;
};

// The language this run is for, named by VANTORA_TEST_LANGUAGE.
Language thisRunsLanguage() {
    char name[16] = {};
    GetEnvironmentVariableA("VANTORA_TEST_LANGUAGE", name, sizeof name);
    for (const Language& l : {Language{"ja", 932, L"VANTORA ユーザー補助"},
                              Language{"ru", 1251, L"VANTORA Специальные возможности"},
                              Language{"fr", 1252, L"VANTORA Accessibilité"},
                              Language{"de", 1252, L"VANTORA Eingabehilfen"}})
        if (l.name == name) return l;
    return {};
}

// The library's texts reach the window through the code page of the locale the program
// runs in, as on Windows: read back as UTF-16, they are the library's own.
TEST_F(MeridaleE2E, LibraryBesideTheProgram_CaptionsInItsLanguage_ThroughTheLocalesCodePage) {
    const Language language = thisRunsLanguage();
    ASSERT_FALSE(language.name.empty()) << "VANTORA_TEST_LANGUAGE names no language of this test";
    ASSERT_EQ(language.codePage, GetACP()) << "the locale of " << language.name << " is not in force";
    char wantedDpi[8] = {};
    if (GetEnvironmentVariableA("VANTORA_TEST_DPI", wantedDpi, sizeof wantedDpi)) {
        ASSERT_EQ(std::atoi(wantedDpi), vantora::win32::screenDpi()) << "the prefix's resolution is not in force";
    }
    // The README's picture shows the prefix's own faces (tools/meridale-picture).
    const char* picture = std::getenv("VANTORA_MERIDALE_PICTURE");
    std::optional<DistinctGothic> gothic;
    if (language.name == "ja" && !picture) gothic.emplace();
    startService();
    TempFolder installed("meridale-language");
    startInstalled(installed, language.name.c_str(), installed.path);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(language.caption, windowTextW(dialog));
    const std::string library = languageLibrary(language.name.c_str());
    for (const auto& [id, control] : kCaptionControls) {
        const std::wstring expected = libraryText(library, id);
        EXPECT_FALSE(expected.empty()) << "string " << id;
        EXPECT_EQ(expected, windowTextW(GetDlgItem(dialog, control))) << "string " << id;
    }
    if (gothic) {
        expectFontsDrawn(dialog, {{IDC_LABEL2, libraryText(library, 20), 9}, {IDC_FRMOPTIONS, L"MS P Gothic", 0, 0, 14},
                                  {IDC_CANCEL, L"MS P Gothic", 0, 4}});
    }
    // The language's geometry at this resolution, in pixels within the control's frame.
    const int dpi = vantora::win32::screenDpi();
    struct Place {
        const char* language;
        bool at72;
        int control;
        int frame;  // 0: the control's height is measured, else its top within this frame
        int twips;
    } places[] = {
        {"ru", false, IDC_CHKSTICKYKEY, 0, 375},
        {"fr", true, IDC_CHKTWICELOCK, IDC_FRMOPTIONS, 250},
        {"fr", true, IDC_CHKTWICELOCK, 0, 475},
        {"fr", true, IDC_CHKPRESSSOUND, IDC_FRMOPTIONS, 700},
    };
    for (const Place& p : places) {
        if (p.language != language.name || p.at72 != (dpi == 72)) continue;
        RECT box{}, frame{};
        GetWindowRect(GetDlgItem(dialog, p.control), &box);
        if (p.frame) GetWindowRect(GetDlgItem(dialog, p.frame), &frame);
        const LONG measured = p.frame ? box.top - frame.top : box.bottom - box.top;
        EXPECT_EQ(p.twips * dpi / 1440, measured) << "control " << p.control << " at " << dpi << " dpi";
    }
    // For the README's picture (tools/meridale-picture): the dialog stays up until it is taken.
    if (const char* signal = picture) {
        RECT r{};
        GetWindowRect(dialog, &r);
        std::ofstream(signal) << (r.right - r.left) << 'x' << (r.bottom - r.top) << '+' << r.left << '+' << r.top;
        waitFor([&] { return GetFileAttributesA(signal) == INVALID_FILE_ATTRIBUTES; }, 30000);
    }
    click(dialog, IDC_CANCEL);
    EXPECT_TRUE(meridale.ended(10000));
}

TEST_F(MeridaleE2E, LibraryOnlyInTheCurrentDirectory_IsNotTaken_EnglishStays) {
    startService();
    TempFolder installed("meridale-alone"), current("meridale-current");
    ASSERT_TRUE(CopyFileA(languageLibrary("ja").c_str(), current.file("MERIDALE.dll").c_str(), FALSE));
    startInstalled(installed, nullptr, current.path);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(L"VANTORA Accessibility", windowTextW(dialog));
    EXPECT_EQ(L"Use Fn-StickyKey(&U)", windowTextW(GetDlgItem(dialog, IDC_CHKSTICKYKEY)));
    click(dialog, IDC_CANCEL);
    EXPECT_TRUE(meridale.ended(10000));
}

}  // namespace
