#pragma once
// The controls a window has, by design name. One list per window, shared by the Win32
// host, which binds each name to the control its template or window class makes, and
// by the test view, which fails a test that names any other control: a misspelt name
// must not pass silently as an inert control.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantora::ui {

struct DeclaredControl {
    std::string_view name;         // "chkStickyKey", "mPopupCmd(0)"
    std::string_view designClass;  // "CheckBox", "CommandButton", "Menu", ...
    // The frame the control lies in, as the design nests it; empty for the form.
    std::string_view container = {};
};

// A host's binding table: each declared control with the id the resource script gives
// it, in the list's order. Lists of different lengths do not compile; the work is done
// once per kind of binding rather than once per list length.
template <class Binding>
std::vector<Binding> bindIdsOf(std::span<const DeclaredControl> controls, const int* ids) {
    std::vector<Binding> bindings;
    bindings.reserve(controls.size());
    for (const DeclaredControl& c : controls) {
        if constexpr (requires { Binding{std::string(), 0, std::string(), std::string()}; })
            bindings.push_back(Binding{std::string(c.name), *ids++, std::string(c.designClass), std::string(c.container)});
        else
            bindings.push_back(Binding{std::string(c.name), *ids++});
    }
    return bindings;
}

template <class Binding, std::size_t N>
std::vector<Binding> bindIds(const DeclaredControl (&controls)[N], const int (&ids)[N]) {
    return bindIdsOf<Binding>(controls, ids);
}

}  // namespace vantora::ui
