#pragma once
// The table of a dialog's control kinds over the real controls (text boxes, list and
// tree views, image lists, pictures, fonts), which the dialog host builds when its
// window is created. Each kind lives in a file of its own (text_box_win32.cpp, ...);
// the text box, whose filter guards the password, stands alone.
#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/ui/view.h"

namespace vantora::win32 {

// Clears the other option buttons of the group (the run of controls from one with
// WS_GROUP up to the next) that `option` belongs to; disabled ones too, which the
// dialog manager's own group walk would skip.
void clearOtherOptions(HWND option);

class ControlTable {
public:
    ControlTable();
    ~ControlTable();
    ControlTable(const ControlTable&) = delete;
    ControlTable& operator=(const ControlTable&) = delete;

    // Starts a new window's table; events of its controls are raised on `view`.
    void reset(HINSTANCE instance, ui::View& view);
    // One control of the window (no window for an image list), by its design class.
    void add(const std::string& name, HWND control, std::string_view designClass);

    ui::TextBox& textBox(std::string_view name);
    ui::ListView& listView(std::string_view name);
    ui::TreeView& treeView(std::string_view name);
    ui::ImageList& imageList(std::string_view name);
    ui::ImageControl& image(std::string_view name);
    ui::Font& font(std::string_view name);

    // A notification of one of the kinds here: the reply for DWLP_MSGRESULT, or nothing
    // when no kind here takes it.
    std::optional<LRESULT> notify(const NMHDR& header);

    struct Kinds;

private:
    std::unique_ptr<Kinds> kinds_;
};

}  // namespace vantora::win32
