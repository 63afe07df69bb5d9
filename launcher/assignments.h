#pragma once
// Store routines that act on the current key and on the main window's picture.
#include <string>

#include "common/ports/desktop.h"
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

}  // namespace vantora::launcher
