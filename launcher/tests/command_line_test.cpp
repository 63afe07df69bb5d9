// Which file a command names, over a file system in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>

#include "common/fakes/fake_desktop.h"
#include "launcher/command_line.h"

namespace vantora::launcher {
namespace {

using Resolved = std::optional<std::pair<std::string, std::string>>;  // file, arguments

Resolved resolved(testing::FakeFiles& files, const std::string& command) {
    const auto r = resolveCommand(command, [&](const std::string& name) { return files.findFile(name); });
    if (!r) return std::nullopt;
    return std::pair{r->file, r->arguments};
}

TEST(ResolveCommand, TakesTheLongestRunNamingAFile_NeverOneInsideThePath) {
    testing::FakeFiles files;
    files.searchPath = {"C:\\Windows"};
    files.files = {"C:\\Windows\\notepad.exe", "C:\\A B\\x.exe",  "C:\\Tools\\My.exe",          "C:\\Tools\\Gone.exe",
                   "C:\\Tools\\edit.exe",      "C:\\Tools\\My App\\app.exe", "C:\\Tools\\My App\\app.exe -x"};
    using P = std::pair<std::string, std::string>;
    const std::pair<const char*, Resolved> cases[] = {
        {"\"C:\\A B\\x.exe\" -q \"y z\"", P{"C:\\A B\\x.exe", "-q \"y z\""}},
        {"\"C:\\A B\\x\"-q", P{"C:\\A B\\x.exe", "-q"}},
        {"\"C:\\A B\\gone.exe\" -q", std::nullopt},
        {"\"C:\\A B\\x.exe -q", std::nullopt},  // no closing quote
        {"", std::nullopt},
        {" \t", std::nullopt},
        {"notepad.exe a.txt", P{"C:\\Windows\\notepad.exe", "a.txt"}},  // a bare name along the search path
        {"notepad", P{"C:\\Windows\\notepad.exe", ""}},
        {"C:\\Tools\\My App\\app.exe a  b", P{"C:\\Tools\\My App\\app.exe", "a  b"}},
        {"C:\\Tools\\My App\\app /r", P{"C:\\Tools\\My App\\app.exe", "/r"}},  // no ".exe" typed
        {"C:\\Tools\\My App\\app.exe -x", P{"C:\\Tools\\My App\\app.exe -x", ""}},  // the whole text first
        {"C:\\Tools\\My App\\app -o out\\x.txt", P{"C:\\Tools\\My App\\app.exe", "-o out\\x.txt"}},
        {"C:\\Tools\\edit notes.txt", P{"C:\\Tools\\edit.exe", "notes.txt"}},
        {"C:\\Tools\\edit.exe\tD:\\notes.txt", P{"C:\\Tools\\edit.exe", "D:\\notes.txt"}},
        // The program is gone: the planted files at "C:\Tools\Gone" and "C:\Tools\My" lie inside the path.
        {"C:\\Tools\\Gone App\\app", std::nullopt},
        {"C:\\Tools\\Gone App\\app.exe -x", std::nullopt},
        {"C:\\Tools\\My Gone\\app", std::nullopt},
    };
    for (const auto& [command, expected] : cases) EXPECT_EQ(expected, resolved(files, command)) << command;
    EXPECT_EQ("\"C:\\A B\\x.exe\" -q \"y z\"", (ResolvedCommand{"C:\\A B\\x.exe", "-q \"y z\""}.commandLine()));
    EXPECT_EQ("\"C:\\Windows\\notepad.exe\"", (ResolvedCommand{"C:\\Windows\\notepad.exe", ""}.commandLine()));
}

// Random commands over file systems where each run of words exists as written, with
// ".exe", both or neither: a file found is always the longest run that exists in either
// form, and when every run exists, it is the whole text.
TEST(ResolveCommand, AFileFound_IsTheLongestExistingRun) {
    const char* words[] = {"Files\\Gone", "App", "x.exe", "-s", "/r", "\"q\"", "D:\\d", "a\\b.txt", "y"};
    const char* blanks[] = {" ", "  ", "\t"};
    std::mt19937 random(19);
    for (int round = 0; round < 2000; ++round) {
        std::string command = "C:\\P";
        std::vector<std::string> runs{command};
        for (int n = random() % 5; n > 0; --n) {
            command += std::string(blanks[random() % 3]) + words[random() % std::size(words)];
            runs.push_back(command);
        }
        testing::FakeFiles files;
        const unsigned percent = std::vector<unsigned>{0, 30, 100}[random() % 3];
        for (const auto& run : runs)
            for (const std::string& file : {run, run + ".exe"})
                if (random() % 100 < percent) files.files.insert(file);

        const Resolved r = resolved(files, command);
        if (percent == 100) {
            EXPECT_EQ(command, r ? r->first : "(nothing)");
        }
        if (!r) continue;
        const auto run = std::find_if(runs.begin(), runs.end(), [&](const std::string& x) {
            return r->first == x || r->first == x + ".exe";
        });
        ASSERT_NE(runs.end(), run) << command << " -> " << r->first;
        EXPECT_TRUE(files.files.count(r->first)) << command;
        for (auto longer = run + 1; longer != runs.end(); ++longer)
            EXPECT_FALSE(files.files.count(*longer) || files.files.count(*longer + ".exe"))
                << command << " -> " << r->first << ", but " << *longer << " exists";
        const auto rest = command.find_first_not_of(" \t", run->size());
        EXPECT_EQ(rest == std::string::npos ? "" : command.substr(rest), r->second) << command;
    }
}

}  // namespace
}  // namespace vantora::launcher
