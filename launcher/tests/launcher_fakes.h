#pragma once
// The main window's replaced window procedure in memory; the fakes of the shared ports
// are under common/fakes/.
#include <cstdint>
#include <vector>

#include "common/ui/view.h"
#include "launcher/form1.h"

namespace vantora::launcher::testing {

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
