#pragma once
// Store routines that act on the current key and on the main window's picture.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/ports/file_system.h"
#include "common/ui/view.h"
#include "launcher/launcher_state.h"
#include "launcher/store.h"

namespace vantora::launcher {

void RefreshKeyPicture(Store& store, LauncherState& state, ui::View& form1);
// Both act on CurrentKeyName, or on the key named: a dialog passes the key it was opened for.
void ClearAssignment(Store& store, LauncherState& state);
void ClearAssignment(Store& store, LauncherState& state, const std::string& keyName);
void SavePopupList(Store& store, LauncherState& state, FileSystemPort& files, const std::string& folder1,
                   const std::string& folder2);
void SavePopupList(Store& store, LauncherState& state, FileSystemPort& files, const std::string& keyName,
                   const std::string& folder1, const std::string& folder2);

// The entry names of a key's popup list (the subkeys of prg\<key>), in the
// registry's enumeration order.
std::vector<std::string> popupEntryNames(Store& store, const std::string& keyName);

// Subkey names of a key, by enumeration index; each cut at its first zero.
std::vector<std::string> subkeyNames(RegistryPort& reg, RegHandle key);

// A popup menu or a list of files shows no more than this many entries: a folder of
// thousands of files would otherwise take minutes to draw and a menu taller than any
// screen. The rest are counted in one last row.
inline constexpr std::size_t kMaxShownEntries = 1000;

// Names in the order the shell sorts them: letters without regard to case.
bool nameBefore(std::string_view a, std::string_view b);

// The text of the last row of a list cut at kMaxShownEntries.
std::string leftOutText(std::size_t leftOut);

// Sorts the items by name and keeps the first kMaxShownEntries of them; returns how
// many were dropped.
template <typename Item, typename NameOf>
std::size_t keepFirstShown(std::vector<Item>& items, NameOf nameOf) {
    const std::size_t shown = std::min(items.size(), kMaxShownEntries);
    std::partial_sort(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(shown), items.end(),
                      [&](const Item& a, const Item& b) { return nameBefore(nameOf(a), nameOf(b)); });
    const std::size_t leftOut = items.size() - shown;
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(shown), items.end());
    return leftOut;
}

}  // namespace vantora::launcher
