#pragma once
// The main window's replaced window procedure in memory; the fakes of the shared ports
// are under common/fakes/.
#include <cstdint>
#include <string>
#include <vector>

#include "common/fakes/test_view.h"
#include "common/ui/view.h"
#include "launcher/form1.h"
#include "launcher/form_controls.h"

namespace vantora::launcher::testing {

// Form1 as its host makes it: its menus and a windowless label on each key.
inline void declareForm1(vantora::testing::TestView& view) {
    view.declareWindow(kForm1, kForm1Menus);
    for (const ui::DeclaredControl& menu : kForm1PopupMenus) view.declare(menu.name, menu.designClass);
    for (int i = 0; i < kKeyCount; ++i) view.declare(labelName(i), "Label");
}

// A launcher window by its form name, with the controls its host binds.
inline void declareWindow(vantora::testing::TestView& view, const std::string& form) {
    if (form == kForm1) return declareForm1(view);
    if (form == "Form2") return view.declareWindow(form, kForm2Controls);
    if (form == "Form3") return view.declareWindow(form, kForm3Controls);
    if (form == "Form4") return view.declareWindow(form, kForm4Controls);
    if (form == "Form6") return view.declareWindow(form, kForm6Controls);
    if (form == "Form7") return view.declareWindow(form, kForm7Controls);
    view.declareWindow(form, kAboutControls);
}

// Every message the procedure passes on is recorded.
struct FakeProcedures : ui::WindowProcedureHost {
    Procedure installed;
    std::vector<std::uint32_t> passedOn;
    void replaceWindowProc(Procedure p) override { installed = std::move(p); }
    void restoreWindowProc() override { installed = nullptr; }
    ui::MessageResult callPreviousWindowProc(std::uint32_t, std::uint32_t msg, ui::MessageParam,
                                             ui::MessageParam) override {
        passedOn.push_back(msg);
        return 42;
    }
    bool subclassed() const { return installed != nullptr; }
};

}  // namespace vantora::launcher::testing
