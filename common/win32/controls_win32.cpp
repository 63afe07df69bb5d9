#include "common/win32/controls_win32.h"

#include "common/win32/control_kinds_win32.h"

namespace vantora::win32 {

namespace {

template <typename Interface, typename Map>
Interface& found(Map& map, std::string_view name, Interface& inert) {
    auto it = map.find(name);
    return it == map.end() ? inert : *it->second;
}

}  // namespace

void clearOtherOptions(HWND option) {
    HWND first = option;
    while (!(GetWindowLongA(first, GWL_STYLE) & WS_GROUP)) {
        HWND before = GetWindow(first, GW_HWNDPREV);
        if (!before) break;
        first = before;
    }
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != first && (GetWindowLongA(w, GWL_STYLE) & WS_GROUP)) break;
        const LONG type = GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK;
        char className[16] = {};
        GetClassNameA(w, className, sizeof className);
        if (w != option && lstrcmpiA(className, "Button") == 0 && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON))
            SendMessageA(w, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

ControlTable::ControlTable() : kinds_(std::make_unique<Kinds>()) {}
ControlTable::~ControlTable() = default;

void ControlTable::reset(HINSTANCE instance, ui::View& view) {
    kinds_ = std::make_unique<Kinds>();
    kinds_->instance = instance;
    kinds_->view = &view;
}

void ControlTable::add(const std::string& name, HWND control, std::string_view designClass) {
    Kinds& k = *kinds_;
    if (designClass == "ImageList") {
        k.imageLists[name] = std::make_unique<ImageListKind>(k.instance);
        return;
    }
    if (!control) return;
    k.windows[name] = control;
    if (designClass == "TextBox") {
        k.textBoxes[name] = makeTextBox(control);
    } else if (designClass == "ListView") {
        k.listViews[name] = makeListView(control, name, k);
    } else if (designClass == "TreeView") {
        k.treeViews[name] = makeTreeView(control, name, k);
    } else if (designClass == "Image" || designClass == "PictureBox" || designClass == "CheckBox" ||
               designClass == "OptionButton") {
        // A picture box that is clicked lives in the template as a button, so that the
        // keyboard reaches it too.
        char windowClass[16] = {};
        GetClassNameA(control, windowClass, sizeof windowClass);
        const bool button = designClass == "CheckBox" || designClass == "OptionButton" ||
                            (designClass == "PictureBox" && lstrcmpiA(windowClass, "Button") == 0);
        k.images[name] = makeImage(control, k.instance, button);
    }
}

ui::TextBox& ControlTable::textBox(std::string_view n) { return found<ui::TextBox>(kinds_->textBoxes, n, ui::InertControls::get().textBox); }
ui::ListView& ControlTable::listView(std::string_view n) { return found<ui::ListView>(kinds_->listViews, n, ui::InertControls::get().listView); }
ui::TreeView& ControlTable::treeView(std::string_view n) { return found<ui::TreeView>(kinds_->treeViews, n, ui::InertControls::get().treeView); }
ui::ImageList& ControlTable::imageList(std::string_view n) { return found<ui::ImageList>(kinds_->imageLists, n, ui::InertControls::get().imageList); }
ui::ImageControl& ControlTable::image(std::string_view n) { return found<ui::ImageControl>(kinds_->images, n, ui::InertControls::get().image); }

ui::Font& ControlTable::font(std::string_view n) {
    auto window = kinds_->windows.find(n);
    if (window == kinds_->windows.end()) return ui::InertControls::get().font;
    auto& slot = kinds_->fonts[std::string(n)];
    if (!slot) slot = makeFont(window->second);
    return *slot;
}

std::optional<LRESULT> ControlTable::notify(const NMHDR& header) {
    auto it = kinds_->notified.find(header.hwndFrom);
    return it == kinds_->notified.end() ? std::nullopt : it->second(header);
}

}  // namespace vantora::win32
