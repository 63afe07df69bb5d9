#include "common/win32/main_form_window.h"

#include <algorithm>

namespace vantora::win32 {

namespace {

constexpr int kMaxArrayIndex = 32767;  // the highest index a control array may reach

}  // namespace

void MainFormWindow::setMenus(std::vector<MenuBinding> items, std::vector<PopupMenuBinding> popups) {
    menuItems_ = std::move(items);
    popupMenus_ = std::move(popups);
}


std::optional<int> MainFormWindow::menuId(std::string_view name) const {
    for (const MenuBinding& b : menuItems_)
        if (b.name == name) return b.id;
    const ui::ElementName e = ui::parseElement(name);
    if (e.index <= 0) return std::nullopt;
    const std::string first = ui::indexed(e.array, 0);
    for (const MenuBinding& b : menuItems_)
        if (b.name == first) return b.id + e.index;
    return std::nullopt;
}

std::string MainFormWindow::menuName(int id) const {
    for (const MenuBinding& b : menuItems_) {
        if (b.id == id) return b.name;
        const ui::ElementName e = ui::parseElement(b.name);
        if (e.index == 0 && id > b.id && id <= b.id + kMaxArrayIndex) {
            std::string element = ui::indexed(e.array, id - b.id);
            if (arrays_.isLoaded(element)) return element;
        }
    }
    return {};
}

bool MainFormWindow::isMenuItem(std::string_view name) const { return menuId(name).has_value(); }

bool MainFormWindow::hasControl(std::string_view name) const {
    const auto popup = [&](const PopupMenuBinding& b) { return b.name == name; };
    return label(name) || isMenuItem(name) || std::any_of(popupMenus_.begin(), popupMenus_.end(), popup);
}

void MainFormWindow::setHelpContext(std::string_view menuItem, std::uint32_t id) {
    checkName(menuItem);
    if (const auto command = menuId(menuItem)) menuHelpContexts_[*command] = id;
}

void MainFormWindow::applyMenuState(HMENU menu, int id, const MenuItem& state) {
    if (state.caption) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = const_cast<char*>(state.caption->c_str());
        SetMenuItemInfoA(menu, static_cast<UINT>(id), FALSE, &info);
    }
    if (state.checked)
        CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (*state.checked ? MF_CHECKED : MF_UNCHECKED));
    if (!state.enabled) EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | MF_GRAYED);
}

void MainFormWindow::setChecked(std::string_view m, bool on) {
    checkName(m);
    const auto id = menuId(m);
    if (!id) return;
    MenuItem& state = menuState_[std::string(m)];
    state.checked = on;
    if (HMENU bar = hwnd_ ? GetMenu(hwnd_) : nullptr) applyMenuState(bar, *id, {std::nullopt, on, true});
}

bool MainFormWindow::checked(std::string_view m) const {
    checkName(m);
    if (auto it = menuState_.find(m); it != menuState_.end() && it->second.checked) return *it->second.checked;
    const auto id = menuId(m);
    HMENU bar = hwnd_ ? GetMenu(hwnd_) : nullptr;
    if (!id || !bar) return false;
    const UINT state = GetMenuState(bar, static_cast<UINT>(*id), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

// A popup menu is built anew from its resource each time it shows, with the captions,
// check marks and hidden items the logic set, and the loaded elements of a control
// array placed after their element 0.
void MainFormWindow::fillPopup(HMENU menu) {
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
        const int id = static_cast<int>(GetMenuItemID(menu, position));
        if (id <= 0) continue;
        const std::string name = menuName(id);
        const ui::ElementName e = ui::parseElement(name);
        if (e.index == 0) {
            int at = position + 1;
            for (int j : arrays_.loadedBeyondZero(e.array)) {
                const std::string element = ui::indexed(e.array, j);
                const MenuItem& state = menuState_[element];
                if (!state.visible) continue;
                InsertMenuA(menu, static_cast<UINT>(at++), MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(id + j),
                            state.caption.value_or("").c_str());
                applyMenuState(menu, id + j, state);
            }
        }
        auto it = menuState_.find(name);
        if (it == menuState_.end()) continue;
        if (!it->second.visible)
            RemoveMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
        else
            applyMenuState(menu, id, it->second);
    }
}

void MainFormWindow::popupMenu(std::string_view name, std::uint32_t flags) {
    checkName(name);
    if (!hwnd_) return;
    auto binding = std::find_if(popupMenus_.begin(), popupMenus_.end(),
                                [&](const PopupMenuBinding& b) { return b.name == name; });
    if (binding == popupMenus_.end()) return;
    UniqueMenu bar(LoadMenuA(instance_, MAKEINTRESOURCEA(binding->resourceId)));
    HMENU menu = bar ? GetSubMenu(bar.get(), 0) : nullptr;
    if (!menu) return;
    fillPopup(menu);
    POINT at{};
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if its window is in front. A
    // window of ours that is in front already (a dialog the logic just raised) keeps its
    // place and owns the menu.
    HWND front = GetForegroundWindow();
    HWND owner = front && GetWindowThreadProcessId(front, nullptr) == GetCurrentThreadId() ? front : hwnd_;
    SetForegroundWindow(owner);
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, flags | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    if (chosen > 0) {
        const std::string item = menuName(chosen);
        if (!item.empty()) raise(item, ui::Event::Click);
    }
}

bool MainFormWindow::isLoaded(std::string_view element) const {
    checkName(element);
    return isMenuItem(element) && arrays_.isLoaded(element);
}

void MainFormWindow::load(std::string_view element) {
    checkName(element);
    if (isMenuItem(ui::indexed(ui::parseElement(element).array, 0))) arrays_.load(element);
}

void MainFormWindow::unload(std::string_view element) {
    checkName(element);
    if (!arrays_.unload(element)) return;
    if (auto it = menuState_.find(element); it != menuState_.end()) menuState_.erase(it);
}

std::uint32_t MainFormWindow::menuHelpContext(int commandId) const {
    const auto it = menuHelpContexts_.find(commandId);
    return it == menuHelpContexts_.end() ? 0 : it->second;
}

}  // namespace vantora::win32
