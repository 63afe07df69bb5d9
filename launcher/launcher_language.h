#pragma once
// The launcher's windows in the user's language: Keyloom.dll's captions, in each
// window's table order, and for Japanese the fonts of the window's control classes.
#include <cstdint>
#include <string_view>

#include "common/localization/localization.h"
#include "common/ports/screen.h"
#include "common/ports/string_library.h"
#include "common/ui/view.h"
#include "launcher/launcher_state.h"

namespace vantora::launcher {

inline constexpr char kLanguageLibrary[] = "Keyloom.dll";
inline constexpr std::int16_t kLanguageCodeString = 101;
inline constexpr std::int16_t kFontFaceString = 8001;
// The one code with fonts of its own; any other non-empty code changes texts only.
inline constexpr char kJapanese[] = "JP";
inline constexpr char kGothic[] = "MS P Gothic";
inline constexpr int kJapaneseFontSize = 9;

struct LanguagePorts {
    StringLibraryPort& libraries;
    ScreenPort& screen;
};

// The localizer of the window `form` ("Form1" to "Form7", "frmAbout"), run first when
// it loads. Rewrites state.LanguageCode; without a code the window keeps its design.
void LocalizeWindow(std::string_view form, ui::View& view, LauncherState& state, const LanguagePorts& ports);

}  // namespace vantora::launcher
