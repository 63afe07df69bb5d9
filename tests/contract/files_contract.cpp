#include "tests/contract/files_contract.h"

#include <algorithm>
#include <optional>
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

// The launcher starts only files that this finds, by the name it returns: a folder is no
// program, and a bare name is never taken from the current directory, wherever the user
// last browsed to.
TEST_P(FilesContract, FindFile_OnlyFiles_BareNamesAlongTheSearchPathOnly) {
    const std::string folder = target().scratch();
    target().makeFile(folder + "\\My App.exe", false);
    target().makeFile(folder + "\\hidden.exe", true);
    target().makeFolder(folder + "\\My");
    target().makeFile(folder + "\\planted-here.exe", false);
    target().enter(folder);
    const auto [bare, found] = target().fileOnSearchPath();
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {folder + "\\My App.exe", folder + "\\My App.exe"},
        {folder + "\\hidden.exe", folder + "\\hidden.exe"},
        {folder + "\\My", std::nullopt},
        {folder + "\\My App", std::nullopt},
        {folder + "\\nothing.exe", std::nullopt},
        {folder, std::nullopt},
        {"planted-here.exe", std::nullopt},
        {"", std::nullopt},
        {bare, found}};
    for (const auto& [name, expected] : cases) EXPECT_EQ(expected, target().port().findFile(name)) << name;
}

}  // namespace
}  // namespace vantora::contract
