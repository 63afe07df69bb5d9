#pragma once
// What the control kinds of a dialog's table share, and how the table makes each kind;
// one file per kind holds it. Only the dialog host and the kinds include this.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/ui/view.h"
#include "common/win32/controls_win32.h"
#include "common/win32/image_list_win32.h"
#include "common/win32/system_functions.h"

namespace vantora::win32 {

inline int twipsPerPixel() { return 1440 / screenDpi(); }

inline std::string windowText(HWND w) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(w)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

inline void setStyleBits(HWND w, LONG mask, LONG bits) {
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    SetWindowLongA(w, GWL_STYLE, (style & ~mask) | bits);
}

// Everything built for one window, by design name.
struct ControlTable::Kinds {
    HINSTANCE instance = nullptr;
    ui::View* view = nullptr;
    std::map<std::string, HWND, std::less<>> windows;
    std::map<std::string, std::unique_ptr<ui::TextBox>, std::less<>> textBoxes;
    std::map<std::string, std::unique_ptr<ui::ListView>, std::less<>> listViews;
    std::map<std::string, std::unique_ptr<ui::TreeView>, std::less<>> treeViews;
    std::map<std::string, std::unique_ptr<ImageListKind>, std::less<>> imageLists;
    std::map<std::string, std::unique_ptr<ui::ImageControl>, std::less<>> images;
    std::map<std::string, std::unique_ptr<ui::Font>, std::less<>> fonts;
    // Notifications go to the list or tree view whose window sent them.
    std::map<HWND, std::function<std::optional<LRESULT>(const NMHDR&)>> notified;

    HIMAGELIST imageListHandle(std::string_view name) const {
        auto it = imageLists.find(name);
        return it == imageLists.end() ? nullptr : it->second->handle();
    }
};

std::unique_ptr<ui::TextBox> makeTextBox(HWND control);
// A list or tree view also takes the notifications its window sends.
std::unique_ptr<ui::ListView> makeListView(HWND control, const std::string& name, ControlTable::Kinds& kinds);
std::unique_ptr<ui::TreeView> makeTreeView(HWND control, const std::string& name, ControlTable::Kinds& kinds);
std::unique_ptr<ui::Font> makeFont(HWND control);
std::unique_ptr<ui::ImageControl> makeImage(HWND control, HINSTANCE instance, bool button);

}  // namespace vantora::win32
