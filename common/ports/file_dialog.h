#pragma once
// The open-file common dialog, as the programs' browse buttons use it.
#include <optional>
#include <string>

#include "common/ports/window_handle.h"

namespace vantora {

struct OpenFileRequest {
    WindowHandle owner = 0;
    std::string title;
    // Pairs of description and patterns, each part ended by "|", as the designs write
    // them: "Applications(*.exe)|*.exe|All files(*.*)|*.*".
    std::string filter;
    std::string initialDirectory;
};

struct OpenFileChoice {
    std::string fileName;   // the full path
    std::string fileTitle;  // the name as the dialog shows it
};

class FileDialogPort {
public:
    virtual ~FileDialogPort() = default;
    // Nothing when the user cancelled or the dialog could not be shown.
    virtual std::optional<OpenFileChoice> showOpen(const OpenFileRequest& request) = 0;
};

// The filter as the common dialog takes it: every "|" a terminator, and one more at the end.
inline std::string commonDialogFilter(const std::string& filter) {
    std::string out = filter;
    for (char& c : out)
        if (c == '|') c = '\0';
    if (!out.empty() && out.back() != '\0') out += '\0';
    out += '\0';
    return out;
}

}  // namespace vantora
