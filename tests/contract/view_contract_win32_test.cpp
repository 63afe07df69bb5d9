// The view contract run against the Win32 dialog host on the probe template, with a
// user's actions made through the real controls and the dialog manager.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <map>
#include <string>

#include "common/win32/dialog_window.h"
#include "tests/contract/view_contract.h"

namespace vantora::contract {
namespace {

constexpr int kProbeTemplate = 102;
const std::map<std::string, int, std::less<>> kIds = {
    {"chkCheck", 1001}, {"comList", 1002},  {"cmdGo", 1003},      {"Label2", 1004},    {"txtName", 1005},
    {"OK", 1006},       {"optA1", 1007},    {"optA2", 1008},      {"optB1", 1009},     {"optB2", 1010},
    {"frmA", 1011},     {"ListView1", 1012}, {"TreeView1", 1013}, {"Image1", 1014},    {"Picture1", 1015},
};

// The case's actions for a modal show, run from inside its message loop.
std::function<void()>* pendingAction = nullptr;
void CALLBACK runPending(HWND w, UINT, UINT_PTR id, DWORD) {
    KillTimer(w, id);
    if (pendingAction) (*pendingAction)();
}
// A dialog that never closes must not hang the run.
void CALLBACK giveUp(HWND w, UINT, UINT_PTR, DWORD) { EndDialog(w, -1); }

class DialogTarget : public ViewTarget {
public:
    DialogTarget() {
        static const bool registered = [] {
            INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
            return InitCommonControlsEx(&icc) != FALSE;
        }();
        EXPECT_TRUE(registered);
        EXPECT_TRUE(dialog_.createModeless(nullptr));
        dialog_.show();
        SetForegroundWindow(dialog_.hwnd());
    }
    ~DialogTarget() override {
        if (dialog_.isOpen()) dialog_.close();
    }
    ui::View& view() override { return dialog_; }

    void click(std::string_view c) override {
        HWND w = control(c);
        if (w && IsWindowEnabled(w)) SendMessageA(w, BM_CLICK, 0, 0);
        pump();
    }
    // The list view reports a click by the row under the mouse; the notification is made
    // here as the control makes it.
    void clickRow(std::string_view list, int row, bool twice) override {
        NMITEMACTIVATE n{};
        n.hdr.hwndFrom = control(list);
        n.hdr.idFrom = static_cast<UINT_PTR>(kIds.find(list)->second);
        n.hdr.code = static_cast<UINT>(twice ? NM_DBLCLK : NM_CLICK);
        n.iItem = row;
        SendMessageA(dialog_.hwnd(), WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
    }
    // A real mouse click on the node's text, found by that text.
    void clickNode(std::string_view tree, int node) override {
        HWND w = control(tree);
        HTREEITEM item = find(w, reinterpret_cast<HTREEITEM>(SendMessageA(w, TVM_GETNEXTITEM, TVGN_ROOT, 0)),
                              dialog_.treeView(tree).node(node).text);
        ASSERT_NE(nullptr, item) << "node " << node << " not in the control";
        RECT r{};
        std::memcpy(&r, &item, sizeof item);  // the item goes in where the rectangle comes out
        ASSERT_TRUE(SendMessageA(w, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        // The control waits for the button to come up before it takes the click.
        PostMessageA(w, WM_LBUTTONUP, 0, at);
        SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
        pump();
    }
    void pressKey(int key) override {
        HWND focus = GetFocus();
        PostMessageA(focus ? focus : dialog_.hwnd(), WM_KEYDOWN, static_cast<WPARAM>(key), 1);
        PostMessageA(focus ? focus : dialog_.hwnd(), WM_KEYUP, static_cast<WPARAM>(key), 0xC0000001);
        pump();
    }
    void closeBox() override { SendMessageA(dialog_.hwnd(), WM_CLOSE, 0, 0); }
    void send(std::string_view c, const ui::ControlMessage& m) override {
        using K = ui::ControlMessage::Kind;
        const LPARAM key = 1 | (m.scanCode & 0xFF) << 16 | (m.extended ? 1 << 24 : 0);
        const LPARAM released = static_cast<LPARAM>(0xC0000000u), alt = 1 << 29;
        const LPARAM point = MAKELPARAM(2, 2);
        const std::map<K, std::pair<UINT, LPARAM>> messages = {
            {K::KeyDown, {WM_KEYDOWN, key}},
            {K::KeyUp, {WM_KEYUP, key | released}},
            {K::SysKeyDown, {WM_SYSKEYDOWN, key | alt}},
            {K::SysKeyUp, {WM_SYSKEYUP, key | alt | released}},
            {K::Char, {WM_CHAR, key}},
            {K::Paste, {WM_PASTE, 0}},
            {K::Cut, {WM_CUT, 0}},
            {K::Copy, {WM_COPY, 0}},
            {K::Undo, {WM_UNDO, 0}},
            {K::ContextMenu, {WM_CONTEXTMENU, -1}},
            {K::LeftButtonDown, {WM_LBUTTONDOWN, point}},
            {K::LeftButtonUp, {WM_LBUTTONUP, point}},
            {K::LeftButtonDoubleClick, {WM_LBUTTONDBLCLK, point}},
            {K::RightButtonDown, {WM_RBUTTONDOWN, point}},
            {K::RightButtonUp, {WM_RBUTTONUP, point}},
            {K::Unmask, {EM_SETPASSWORDCHAR, 0}},
        };
        const auto [message, lp] = messages.at(m.kind);
        HWND w = control(c);
        const WPARAM wp = message == WM_CONTEXTMENU ? reinterpret_cast<WPARAM>(w) : static_cast<WPARAM>(m.key);
        SendMessageA(w, message, wp, lp);
    }
    std::uintptr_t icon() override { return reinterpret_cast<std::uintptr_t>(LoadIconA(nullptr, IDI_APPLICATION)); }
    int runModal(std::function<void()> whileOpen) override {
        if (dialog_.isOpen()) dialog_.close();
        pendingAction = &whileOpen;
        dialog_.onLoad = [this] {
            SetTimer(dialog_.hwnd(), 1, 10, &runPending);
            SetTimer(dialog_.hwnd(), 2, 5000, &giveUp);
        };
        const int result = dialog_.showModal(nullptr);
        dialog_.onLoad = nullptr;
        pendingAction = nullptr;
        return result;
    }

private:
    HWND control(std::string_view c) const {
        auto it = kIds.find(c);
        return it == kIds.end() ? nullptr : GetDlgItem(dialog_.hwnd(), it->second);
    }
    static HTREEITEM find(HWND tree, HTREEITEM from, const std::string& text) {
        for (HTREEITEM item = from; item;
             item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
            char buffer[260] = {};
            TVITEMA tv{};
            tv.mask = TVIF_TEXT;
            tv.hItem = item;
            tv.pszText = buffer;
            tv.cchTextMax = sizeof buffer;
            SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
            if (text == buffer) return item;
            auto child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
            if (HTREEITEM found = find(tree, child, text)) return found;
        }
        return nullptr;
    }
    // This thread's messages through the dialog manager, as the program's loop does,
    // until none is left.
    void pump() {
        MSG msg;
        const DWORD deadline = GetTickCount() + 1000;
        int idle = 0;
        while (GetTickCount() < deadline && idle < 5) {
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ++idle;
                Sleep(10);
                continue;
            }
            idle = 0;
            if (dialog_.hwnd() && IsDialogMessageA(dialog_.hwnd(), &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    win32::DialogWindow dialog_{GetModuleHandleA(nullptr), kProbeTemplate, kProbeForm,
                                {{"chkCheck", 1001, "CheckBox"},
                                 {"comList", 1002, "ComboBox"},
                                 {"cmdGo", 1003, "CommandButton"},
                                 {"Label2", 1004, "Label"},
                                 {"txtName", 1005, "TextBox"},
                                 {"OK", 1006, "CommandButton"},
                                 {"optA1", 1007, "OptionButton"},
                                 {"optA2", 1008, "OptionButton"},
                                 {"optB1", 1009, "OptionButton"},
                                 {"optB2", 1010, "OptionButton"},
                                 {"frmA", 1011, "Frame"},
                                 {"ListView1", 1012, "ListView"},
                                 {"TreeView1", 1013, "TreeView"},
                                 {"Image1", 1014, "Image"},
                                 {"Picture1", 1015, "CheckBox"},
                                 {"ImageList1", 0, "ImageList"},
                                 {"ImageList2", 0, "ImageList"}}};
};

std::unique_ptr<ViewTarget> makeDialog() { return std::make_unique<DialogTarget>(); }

INSTANTIATE_TEST_SUITE_P(Win32, ViewContract, ::testing::Values(&makeDialog));

}  // namespace
}  // namespace vantora::contract
