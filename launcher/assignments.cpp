#include "launcher/assignments.h"

#include <algorithm>
#include <vector>

namespace vantora::launcher {

void RefreshKeyPicture(Store& store, LauncherState& state, ui::View& form1) {
    form1.cls();
    RegistryPort& reg = store.registry();
    auto cmd = ScopedRegKey::open(reg, kHkeyCurrentUser, kCmdKey);
    auto reserve = ScopedRegKey::open(reg, kHkeyLocalMachine, kReserveKey);
    for (std::size_t i = 0; i < state.KeyNames.size(); ++i) {
        const std::string& k = state.KeyNames[i];
        const std::string label = labelName(static_cast<int>(i));
        const StoredString c = cmd ? store.readString(cmd.get(), k) : StoredString{};
        if (!c.exists()) {
            form1.setForeColor(label, kWhite);
        } else {
            form1.setForeColor(label, AssignedColor);
            if (!c.text.empty() && c.text[0] == '@' && store.option("opts2")) {
                const ui::Rect r = form1.bounds(label);
                const int x = r.left, y = r.top;
                form1.line(x, y, x + 5, y, PopupMarkColor);
                for (int k2 = 1; k2 <= 5; ++k2) form1.line(x, y + k2, x + 5 - k2, y + k2, PopupMarkColor);
            }
        }
        if (reserve && !k.empty()) {
            const std::string keyChar(1, k.back());
            std::uint32_t size = 0;
            if (reg.RegQueryValueExA(reserve.get(), keyChar.c_str(), nullptr, nullptr, &size) == kErrorSuccess)
                form1.setForeColor(label, ReservedColor);
        }
    }
}

std::vector<std::string> subkeyNames(RegistryPort& reg, RegHandle key) {
    std::uint32_t count = 0, longest = 0;
    std::vector<std::string> names;
    if (reg.RegQueryInfoKeyA(key, &count, &longest, nullptr, nullptr, nullptr) != kErrorSuccess) return names;
    std::vector<char> buffer(longest + 101);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        if (reg.RegEnumKeyA(key, i, buffer.data(), static_cast<std::uint32_t>(buffer.size())) != kErrorSuccess)
            continue;
        names.emplace_back(buffer.data(), std::find(buffer.begin(), buffer.end(), '\0') - buffer.begin());
    }
    return names;
}

std::vector<std::string> popupEntryNames(Store& store, const std::string& keyName) {
    const std::string prg = std::string(kPrgKey) + "\\" + keyName;
    auto list = ScopedRegKey::open(store.registry(), kHkeyCurrentUser, prg.c_str());
    return list ? subkeyNames(store.registry(), list.get()) : std::vector<std::string>{};
}

bool nameBefore(std::string_view a, std::string_view b) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return lower(x) == lower(y); });
    if (mismatch.first != a.end() && mismatch.second != b.end())
        return lower(*mismatch.first) < lower(*mismatch.second);
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;  // names that differ only in case still keep one order
}

std::string leftOutText(std::size_t leftOut) {
    std::string text(1, '(');
    return text.append(std::to_string(leftOut)).append(" more not shown)");
}

void ClearAssignment(Store& store, LauncherState& state) { ClearAssignment(store, state, state.CurrentKeyName); }

void ClearAssignment(Store& store, LauncherState& state, const std::string& keyName) {
    RegistryPort& reg = store.registry();
    const std::string k = keyName;
    const StoredString c = store.readUser(kCmdKey, k);
    if (c.exists() && !c.text.empty() && c.text[0] == '@') {
        const std::string prg = std::string(kPrgKey) + "\\" + k;
        if (auto list = ScopedRegKey::open(reg, kHkeyCurrentUser, prg.c_str())) {
            for (const auto& name : subkeyNames(reg, list.get())) reg.RegDeleteKeyA(list.get(), name.c_str());
        }
    }
    if (auto cmd = ScopedRegKey::open(reg, kHkeyCurrentUser, kCmdKey)) reg.RegDeleteValueA(cmd.get(), k.c_str());
    store.writeUser(kDescKey, k, "");
    store.writeUser(kCwdKey, k, "");
    state.CurrentCommand.clear();
    state.CurrentDescription.clear();
    state.CurrentWorkingDir.clear();
}

void SavePopupList(Store& store, LauncherState& state, FileSystemPort& files, const std::string& folder1,
                   const std::string& folder2) {
    SavePopupList(store, state, files, state.CurrentKeyName, folder1, folder2);
}

void SavePopupList(Store& store, LauncherState& state, FileSystemPort& files, const std::string& keyName,
                   const std::string& folder1, const std::string& folder2) {
    RegistryPort& reg = store.registry();
    const std::string k = keyName;
    const std::string prg = std::string(kPrgKey) + "\\" + k;
    auto list = ScopedRegKey::create(reg, kHkeyCurrentUser, prg.c_str());
    if (list) Store::writeString(reg, list.get(), "FileCount", std::to_string(state.ExplorerFileCount));
    for (const std::string* folder : {&folder1, &folder2}) {
        if (folder->empty() || !list) continue;
        for (const DirectoryEntry& file : files.listFolder(*folder)) {
            if (file.hidden || file.directory) continue;
            const std::string& n = file.name;
            // Shortcuts appear under their name without the extension; only the
            // lower-case spelling counts, as the shell writes it.
            const bool shortcut = n.size() >= 4 && n.compare(n.size() - 3, 3, "lnk") == 0;
            const std::string e = shortcut ? n.substr(0, n.size() - 4) : n;
            if (e.empty()) continue;
            if (auto entry = ScopedRegKey::create(reg, list.get(), e.c_str()))
                Store::writeString(reg, entry.get(), e, *folder + "\\" + n);
        }
    }
    store.writeUser(kCmdKey, k, "@" + folder1);
    store.writeUser(kDescKey, k, state.ChosenFolderName);
}

}  // namespace vantora::launcher
