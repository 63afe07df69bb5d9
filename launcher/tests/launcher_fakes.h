#pragma once
// The launcher's own window host in memory; the fakes of the shared ports are under
// common/testing/.
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "launcher/form1.h"

namespace vantora::launcher::testing {

struct FakeHost : MainWindowHost {
    bool subclassed = false, form5Unloaded = false, pictureShown = false;
    std::vector<std::pair<std::string, std::uint32_t>> popups;
    std::vector<std::uint32_t> passedOn;
    WindowHandle active = 0;
    void showPicture() override { pictureShown = true; }
    void popupMenu(std::string_view m, std::uint32_t f) override { popups.emplace_back(std::string(m), f); }
    void replaceWindowProc() override { subclassed = true; }
    void restoreWindowProc() override { subclassed = false; }
    long callPreviousWindowProc(WindowHandle, std::uint32_t msg, std::uint32_t, std::uint32_t) override {
        passedOn.push_back(msg);
        return 42;
    }
    WindowHandle activeFormWindow() override { return active; }
    std::string programFolder() override { return "C:\\Program Files\\Vantora"; }
    void unloadForm5() override { form5Unloaded = true; }
    std::set<std::string, std::less<>> menuItems{"mPopupCmd(0)"};
    int menuLoads = 0, menuUnloads = 0;
    bool menuItemExists(std::string_view item) override { return menuItems.count(item) != 0; }
    void loadMenuItem(std::string_view item) override { menuItems.emplace(item), ++menuLoads; }
    void unloadMenuItem(std::string_view item) override {
        if (auto it = menuItems.find(item); it != menuItems.end()) menuItems.erase(it), ++menuUnloads;
    }
};

}  // namespace vantora::launcher::testing
