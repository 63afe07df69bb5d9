#pragma once
// State shared by the launcher's windows for the life of the program.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/ports/window_handle.h"
#include "common/ui/view.h"
#include "launcher/key_table.h"
#include "launcher/launcher_constants.h"

namespace vantora::launcher {

inline constexpr ui::Color kWhite = ui::rgb(255, 255, 255);
inline constexpr ui::Color AssignedColor = ui::rgb(0, 255, 255);
inline constexpr ui::Color ReservedColor = ui::rgb(132, 134, 165);
inline constexpr ui::Color PopupMarkColor = ui::rgb(255, 0, 0);

inline constexpr std::uint32_t kHelpContextIndex = 102;
inline constexpr int kPictureWidth = 318;
inline constexpr int kPictureHeight = 160;

struct LauncherState {
    std::vector<std::string> KeyNames;
    std::string CurrentKeyName;
    std::int16_t CurrentKeyIndex = 0;
    std::int32_t CurrentKeyStatus = 0;
    bool TopMostFlag = false;
    WindowHandle MainWindowHandle = 0;
    bool AssignmentTypeOpen = false;
    bool CommandEditOpen = false;
    bool ExplorerOpen = false;
    bool ConfirmationOpen = false;
    std::array<std::uint32_t, kKeyCount> LaunchedProcessIds{};
    bool Win98OrMeFlag = false;
    // The language library's code, as the window loaded last read it.
    std::string LanguageCode;

    // Assignment being edited by the command dialogs.
    std::string CurrentCommand, CurrentWorkingDir, CurrentDescription;
    // The Application Explorer's choice: the folder, its namesake in the other Programs
    // folder (empty when none), the folder's name, the file, and the count of its files.
    std::string ChosenFolder, MergedFolder, ChosenFolderName, ChosenFile;
    long ExplorerFileCount = 0;

    bool anyDialogOpen() const { return AssignmentTypeOpen || CommandEditOpen || ExplorerOpen || ConfirmationOpen; }

    // The launcher's open dialogs, the latest last. The active form is the latest one,
    // or the main window when none is open. It is kept here rather than asked of the
    // system, which knows no active window of ours while another program is in front.
    std::vector<WindowHandle> OpenForms;
    WindowHandle activeFormWindow() const { return OpenForms.empty() ? MainWindowHandle : OpenForms.back(); }
    void formLoaded(WindowHandle window) { OpenForms.push_back(window); }
    void formUnloaded(WindowHandle window) { std::erase(OpenForms, window); }
};

inline std::string labelName(int index) { return ui::indexed("Label1", index); }

}  // namespace vantora::launcher
