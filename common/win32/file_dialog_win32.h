#pragma once
// The open-file common dialog (GetOpenFileNameA).
#include "common/ports/file_dialog.h"

namespace vantora::win32 {

class Win32FileDialog : public FileDialogPort {
public:
    std::optional<OpenFileChoice> showOpen(const OpenFileRequest& request) override;
};

}  // namespace vantora::win32
