// The help files as the build wrote them: every number the programs open is mapped to
// the topic meant for it, and a number whose topic is missing stops the build.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "help/winhelp_file.h"
#include "launcher/form1.h"
#include "launcher/form2.h"
#include "launcher/form3.h"
#include "launcher/form4.h"
#include "launcher/form6.h"
#include "launcher/form7.h"
#include "launcher/frm_about.h"

namespace vantora::help {
namespace {

Bytes builtFile(const std::string& name) {
    std::ifstream in(std::string(VANTORA_HELP_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t menuContext(std::string_view item) {
    for (const auto& m : launcher::kMenuHelpContexts)
        if (item == m.item) return m.context;
    ADD_FAILURE() << "no help context for " << item;
    return 0;
}

TEST(HelpFiles, EveryContextTheProgramsOpen_ShowsTheTopicMeantForIt) {
    using namespace launcher;
    const std::pair<std::uint32_t, const char*> keyloom[] = {
        {kForm2HelpContext, "Function Key Assignments"}, {kHelpContextIndex, "The Keyloom window"},
        {kAboutHelpContext, "The Keyloom window"},       {kForm3HelpContext, "Assignment Type"},
        {kForm4HelpContext, "Add/Edit Command"},          {kForm7HelpContext, "Key Assignment Confirmation"},
        {kForm6HelpContext, "Application Explorer"},      {menuContext("mTop"), "Always On Top"},
        {menuContext("mPopups"), "Mark Popups"},          {menuContext("mMinimize"), "Minimize On Use"},
        {menuContext("mHints"), "Hints"},                 {menuContext("mConfirm"), "Confirm Changes"},
        {menuContext("mAbout"), "About Keyloom"}};
    const std::pair<std::uint32_t, const char*> meridale[] = {
        {101, "Use Fn-StickyKey"}, {102, "Press the Fn key twice to lock"},
        {103, "Make a sound when Fn key is pressed"}, {104, "Show Fn-StickyKey status on screen"},
        {105, "Un-stick the Fn key if the keyboard is idle"}, {106, "Make a sound when Fn-StickyKey auto-resets"},
        {107, "OK"}, {108, "Cancel"}, {109, "Apply"}};
    const auto check = [](const std::string& file, const auto& expected) {
        const auto titles = contextTitles(builtFile(file));
        for (const auto& [context, title] : expected) {
            const auto it = titles.find(context);
            ASSERT_NE(titles.end(), it) << file << " has no context " << context;
            // Halibut puts the chapter or section number in front of the title.
            EXPECT_TRUE(it->second.ends_with(std::string(": ") + title)) << file << " " << context << ": " << it->second;
        }
    };
    check("Keyloom32.hlp", keyloom);
    check("MERIDALE.Hlp", meridale);
}

// A translation opens a topic of its own for every number the English file maps.
TEST(HelpFiles, EveryTranslation_MapsTheNumbersOfTheEnglishFile) {
    for (const char* file : {"Keyloom32.hlp", "MERIDALE.Hlp"}) {
        const auto english = contextTitles(builtFile(file));
        for (const char* language : {"de", "fr", "es"}) {
            const auto translated = contextTitles(builtFile(std::string("languages/") + language + "/" + file));
            ASSERT_EQ(english.size(), translated.size()) << language << " " << file;
            for (const auto& [context, title] : translated) {
                EXPECT_TRUE(english.count(context)) << language << " " << file << " " << context;
                EXPECT_FALSE(title.empty()) << language << " " << file << " " << context;
            }
        }
    }
}

TEST(HelpFiles, ANumberWithoutItsTopic_IsRefused) {
    const Bytes file = builtFile("Keyloom32.hlp");
    EXPECT_THROW(withContextMap(file, parseContextList("101 keyloom.assignments\n116 keyloom.no_such_topic\n")),
                 HelpFileError);
}

// The lists the build reads: a line it cannot use stops it instead of dropping a number.
TEST(HelpFiles, ContextLists_TakeNumberAndTopicPerLine_AndRefuseTheRest) {
    EXPECT_EQ((std::vector<ContextEntry>{{101, "a.b"}, {7, "c_1"}}), parseContextList("# x\n\n101 a.b\r\n  7\tc_1  \n"));
    for (const char* bad : {"101\n", "x a\n", "101 a-b\n", "101 a\n101 b\n", "101a b\n"})
        EXPECT_THROW(parseContextList(bad), HelpFileError) << bad;
}

// A damaged file is reported, never read past its end.
TEST(HelpFiles, ATruncatedFile_IsRefused) {
    const Bytes file = builtFile("MERIDALE.Hlp");
    for (std::size_t size : {std::size_t{0}, std::size_t{12}, file.size() / 2, file.size() - 1}) {
        const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_THROW(contextTitles(cut), HelpFileError) << size;
    }
}

}  // namespace
}  // namespace vantora::help
