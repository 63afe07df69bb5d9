#pragma once
// The shell's named folders and icons in memory: a folder per CSIDL, and an icon for
// every file but those listed without one. Every icon asked for is recorded.
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/ports/shell_folders.h"

namespace vantora::testing {

struct FakeShellFolders : ShellFoldersPort {
    std::map<int, std::string> folders;
    std::set<std::string> withoutIcon;
    std::vector<std::pair<std::string, int>> iconsAsked;  // path, pixels

    std::string shellFolderPath(int csidl) override {
        auto it = folders.find(csidl);
        return it == folders.end() ? std::string() : it->second;
    }
    std::optional<ui::Picture> fileIcon(const std::string& path, int pixels, ui::Color background) override {
        iconsAsked.emplace_back(path, pixels);
        if (withoutIcon.count(path)) return std::nullopt;
        return ui::Picture{pixels, pixels, std::vector<ui::Color>(std::size_t(pixels) * pixels, background)};
    }
};

}  // namespace vantora::testing
