#include "tests/contract/files_contract.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace vantora::contract {
namespace {

using Entry = std::tuple<std::string, bool, bool>;  // name, hidden, directory

std::vector<Entry> sorted(const std::vector<DirectoryEntry>& entries) {
    std::vector<Entry> out;
    for (const auto& e : entries) out.emplace_back(e.name, e.hidden, e.directory);
    std::sort(out.begin(), out.end());
    return out;
}

// A popup list is built from a folder's listing: every file and folder by name, with
// its hidden mark, and nothing of "." or "..". The order is the file system's own.
TEST_P(FilesContract, ListFolder_NamesEveryEntryWithItsMarks) {
    const std::string folder = target().scratch();
    target().makeFile(folder + "\\Notes.txt", false);
    target().makeFile(folder + "\\secret.lnk", true);
    target().makeFile(folder + "\\with space.lnk", false);
    target().makeFolder(folder + "\\Sub");
    target().makeFile(folder + "\\Sub\\inner.txt", false);
    const std::vector<Entry> expected{
        {"Notes.txt", false, false}, {"Sub", false, true}, {"secret.lnk", true, false}, {"with space.lnk", false, false}};
    EXPECT_EQ(expected, sorted(target().port().listFolder(folder)));
    EXPECT_EQ((std::vector<Entry>{{"inner.txt", false, false}}), sorted(target().port().listFolder(folder + "\\Sub")));
    EXPECT_TRUE(target().port().listFolder(folder + "\\Missing").empty());
}

// The launcher takes a command's program from the longest run of words that names an
// existing file: a folder of that name is no program.
TEST_P(FilesContract, FileExists_OnlyForFiles) {
    const std::string folder = target().scratch();
    target().makeFile(folder + "\\My App.exe", false);
    target().makeFile(folder + "\\hidden.exe", true);
    target().makeFolder(folder + "\\My");
    const std::pair<std::string, bool> cases[] = {
        {folder + "\\My App.exe", true}, {folder + "\\hidden.exe", true}, {folder + "\\My", false},
        {folder + "\\My App", false},    {folder + "\\nothing.exe", false}, {folder, false}};
    for (const auto& [path, exists] : cases) EXPECT_EQ(exists, target().port().fileExists(path)) << path;
}

}  // namespace
}  // namespace vantora::contract
