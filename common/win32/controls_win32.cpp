#include "common/win32/controls_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "common/win32/owners.h"
#include "common/win32/system_functions.h"

namespace vantora::win32 {

namespace {

int twipsPerPixel() { return 1440 / screenDpi(); }

std::string windowText(HWND w) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(w)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setStyleBits(HWND w, LONG mask, LONG bits) {
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    SetWindowLongA(w, GWL_STYLE, (style & ~mask) | bits);
}

class ImageListKind final : public ui::ImageList {
public:
    explicit ImageListKind(HINSTANCE instance) : instance_(instance) {}

    int addBitmap(int resourceId) override {
        UniqueBitmap bitmap(static_cast<HBITMAP>(
            LoadImageA(instance_, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
        BITMAP info{};
        if (!bitmap || !GetObjectA(bitmap.get(), sizeof info, &info) || !ensure(info.bmWidth, info.bmHeight)) return 0;
        // Magenta is the see-through colour of the pictures in the resource scripts.
        return later::ImageList_AddMasked(list_.get(), bitmap.get(), RGB(255, 0, 255)) + 1;
    }
    int addIcon(std::uintptr_t handle) override {
        HICON icon = reinterpret_cast<HICON>(handle);
        ICONINFO info{};
        if (!icon || !GetIconInfo(icon, &info)) return 0;
        UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
        BITMAP size{};
        // A monochrome icon's mask holds the AND and XOR halves one above the other.
        const bool mono = !color;
        if (!GetObjectA(mono ? mask.get() : color.get(), sizeof size, &size)) return 0;
        if (!ensure(size.bmWidth, mono ? size.bmHeight / 2 : size.bmHeight)) return 0;
        return later::ImageList_ReplaceIcon(list_.get(), -1, icon) + 1;
    }
    int addPicture(const ui::Picture& p) override {
        if (p.width <= 0 || p.height <= 0 || p.pixels.size() != static_cast<std::size_t>(p.width) * p.height ||
            !ensure(p.width, p.height))
            return 0;
        // One scratch bitmap of the picture's size serves every add: the list copies it.
        if (!scratch_ || scratchWidth_ != p.width || scratchHeight_ != p.height) {
            BITMAPINFO info{};
            info.bmiHeader = {sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            scratch_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &scratchBits_, nullptr, 0));
            scratchWidth_ = p.width, scratchHeight_ = p.height;
            if (!scratch_ || !scratchBits_) {
                scratch_.reset();
                return 0;
            }
        }
        auto* out = static_cast<DWORD*>(scratchBits_);
        // 0x00BBGGRR to the DIB's 0xAARRGGBB, opaque.
        for (std::size_t i = 0; i < p.pixels.size(); ++i) {
            const ui::Color c = p.pixels[i];
            out[i] = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        }
        GdiFlush();
        return later::ImageList_Add(list_.get(), scratch_.get(), nullptr) + 1;
    }
    int count() const override { return list_ ? later::ImageList_GetImageCount(list_.get()) : 0; }
    void clear() override {
        if (list_) later::ImageList_Remove(list_.get(), -1);
    }
    HIMAGELIST handle() const { return list_.get(); }

private:
    // The list takes the size of its first picture.
    bool ensure(int width, int height) {
        // Grown by a folder's worth at a time: a list that grows by a few pictures copies
        // all of them each time, which a folder of a thousand files makes slow.
        if (!list_) list_.reset(later::ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 4, 64));
        return static_cast<bool>(list_);
    }

    HINSTANCE instance_;
    UniqueImageList list_;
    UniqueBitmap scratch_;
    void* scratchBits_ = nullptr;
    int scratchWidth_ = 0, scratchHeight_ = 0;
};

}  // namespace

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

namespace {

// The edit control's own procedure stays; a filter may stand in front of it.
constexpr char kFilterProperty[] = "Vantora.MessageFilter";

std::optional<ui::ControlMessage::Kind> kindOf(UINT m) {
    using K = ui::ControlMessage::Kind;
    switch (m) {
    case WM_KEYDOWN: return K::KeyDown;
    case WM_KEYUP: return K::KeyUp;
    case WM_SYSKEYDOWN: return K::SysKeyDown;
    case WM_SYSKEYUP: return K::SysKeyUp;
    case WM_CHAR: return K::Char;
    case WM_PASTE: return K::Paste;
    case WM_CUT: return K::Cut;
    case WM_COPY: return K::Copy;
    case WM_UNDO:
    case EM_UNDO: return K::Undo;
    case WM_CONTEXTMENU: return K::ContextMenu;
    case WM_LBUTTONDOWN: return K::LeftButtonDown;
    case WM_LBUTTONUP: return K::LeftButtonUp;
    case WM_LBUTTONDBLCLK: return K::LeftButtonDoubleClick;
    case WM_RBUTTONDOWN: return K::RightButtonDown;
    case WM_RBUTTONUP: return K::RightButtonUp;
    case EM_SETPASSWORDCHAR: return K::Unmask;
    default: return std::nullopt;
    }
}

class TextBoxKind final : public ui::TextBox {
public:
    explicit TextBoxKind(HWND w) : w_(w) {}
    ~TextBoxKind() override { unhook(); }
    TextBoxKind(const TextBoxKind&) = delete;
    TextBoxKind& operator=(const TextBoxKind&) = delete;

    void setText(std::string_view text) override { SetWindowTextA(w_, std::string(text).c_str()); }
    std::string text() const override { return windowText(w_); }
    void setMaxLength(int n) override {
        maxLength_ = std::max(n, 0);
        SendMessageA(w_, EM_SETLIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    }
    int maxLength() const override {
        return maxLength_ ? static_cast<int>(SendMessageA(w_, EM_GETLIMITTEXT, 0, 0)) : 0;
    }
    void setPasswordChar(char c) override {
        // Past our own filter, which refuses the message to everyone else.
        const WNDPROC own = previous_ ? previous_ : reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w_, GWLP_WNDPROC));
        CallWindowProcA(own, w_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(c), 0);
        InvalidateRect(w_, nullptr, TRUE);
    }
    char passwordChar() const override { return static_cast<char>(SendMessageA(w_, EM_GETPASSWORDCHAR, 0, 0)); }
    void setLocked(bool on) override { SendMessageA(w_, EM_SETREADONLY, on ? TRUE : FALSE, 0); }
    bool locked() const override { return (GetWindowLongA(w_, GWL_STYLE) & ES_READONLY) != 0; }
    void setSelection(int start, int length) override {
        const int n = GetWindowTextLengthA(w_);
        start = std::clamp(start, 0, n);
        length = std::clamp(length, 0, n - start);
        SendMessageA(w_, EM_SETSEL, static_cast<WPARAM>(start), start + length);
    }
    int selStart() const override { return selection().first; }
    int selLength() const override { return selection().second - selection().first; }
    bool hasFocus() const override { return w_ && GetFocus() == w_; }
    void setMessageFilter(ui::MessageFilter filter) override {
        filter_ = std::move(filter);
        if (filter_ && !previous_ && IsWindow(w_)) {
            SetPropA(w_, kFilterProperty, this);
            previous_ = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(w_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&filterProc)));
        } else if (!filter_) {
            unhook();
        }
    }

private:
    std::pair<int, int> selection() const {
        DWORD start = 0, end = 0;
        SendMessageA(w_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
    void unhook() {
        if (!previous_) return;
        // Only when no one subclassed the box after us: their procedure would be lost.
        if (IsWindow(w_) && GetWindowLongPtrA(w_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&filterProc))
            SetWindowLongPtrA(w_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropA(w_, kFilterProperty);
        previous_ = nullptr;
    }
    static LRESULT CALLBACK filterProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        auto* box = static_cast<TextBoxKind*>(GetPropA(w, kFilterProperty));
        if (!box) return DefWindowProcA(w, m, wp, lp);
        const WNDPROC previous = box->previous_;
        if (m == WM_NCDESTROY) {
            box->unhook();
            return CallWindowProcA(previous, w, m, wp, lp);
        }
        if (const auto kind = kindOf(m); kind && box->filter_) {
            const ui::ControlMessage message{*kind, static_cast<int>(wp), static_cast<int>((lp >> 16) & 0xFF),
                                             ((lp >> 24) & 1) != 0};
            using K = ui::ControlMessage::Kind;
            const bool isKey = *kind == K::KeyDown || *kind == K::KeyUp || *kind == K::SysKeyDown ||
                               *kind == K::SysKeyUp || *kind == K::Char;
            try {
                if (!box->filter_(isKey ? message : ui::ControlMessage{*kind})) return 0;
            } catch (...) {
                return 0;  // no exception leaves a window procedure; a filter that failed passes nothing
            }
        }
        return CallWindowProcA(previous, w, m, wp, lp);
    }

    HWND w_;
    int maxLength_ = 0;
    ui::MessageFilter filter_;
    WNDPROC previous_ = nullptr;
};

class ListViewKind final : public ui::ListView {
public:
    ListViewKind(HWND w, std::string name, ControlTable::Kinds& kinds) : w_(w), name_(std::move(name)), kinds_(kinds) {
        // The image lists belong to the table, never to the list.
        setStyleBits(w_, LVS_SHAREIMAGELISTS, LVS_SHAREIMAGELISTS);
    }

    void setStyle(ui::ListViewStyle s) override {
        setStyleBits(w_, LVS_TYPEMASK, s == ui::ListViewStyle::Report ? LVS_REPORT
                                       : s == ui::ListViewStyle::SmallIcon ? LVS_SMALLICON
                                                                           : LVS_ICON);
        if (s == ui::ListViewStyle::Report) ensureColumn();
        for (int i = 0; i < rowCount(); ++i) showPicture(i);
    }
    ui::ListViewStyle style() const override {
        switch (GetWindowLongA(w_, GWL_STYLE) & LVS_TYPEMASK) {
        case LVS_REPORT: return ui::ListViewStyle::Report;
        case LVS_SMALLICON: return ui::ListViewStyle::SmallIcon;
        default: return ui::ListViewStyle::Icon;
        }
    }
    void setArrangement(ui::Arrangement a) override {
        setStyleBits(w_, LVS_AUTOARRANGE | LVS_ALIGNMASK,
                     a == ui::Arrangement::None   ? 0
                     : a == ui::Arrangement::Left ? LVS_AUTOARRANGE | LVS_ALIGNLEFT
                                                  : LVS_AUTOARRANGE | LVS_ALIGNTOP);
        if (a != ui::Arrangement::None) SendMessageA(w_, LVM_ARRANGE, LVA_DEFAULT, 0);
    }
    ui::Arrangement arrangement() const override {
        const LONG style = GetWindowLongA(w_, GWL_STYLE);
        if (!(style & LVS_AUTOARRANGE)) return ui::Arrangement::None;
        return (style & LVS_ALIGNMASK) == LVS_ALIGNLEFT ? ui::Arrangement::Left : ui::Arrangement::Top;
    }
    void setColumnWidth(int twips) override {
        ensureColumn();
        SendMessageA(w_, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(std::max(twips, 0) / twipsPerPixel(), 0));
    }
    int columnWidth() const override {
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH;
        if (!SendMessageA(w_, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column))) return 0;
        return column.cx * twipsPerPixel();
    }
    void setImageLists(std::string_view large, std::string_view small) override {
        large_ = large, small_ = small;
        attachImageLists();
    }
    int addRow(const ui::ListRow& row) override {
        if (!row.key.empty() && findRow(row.key) >= 0) return -1;
        attachImageLists();
        std::string text = row.text;
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = rowCount();
        item.pszText = text.data();
        item.iImage = pictureOf(row) - 1;
        item.lParam = rowCount();
        if (SendMessageA(w_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) != rowCount()) return -1;
        rows_.push_back(row);
        return rowCount() - 1;
    }
    int rowCount() const override { return static_cast<int>(rows_.size()); }
    ui::ListRow row(int i) const override {
        if (i < 0 || i >= rowCount()) return {};
        ui::ListRow r = rows_[static_cast<size_t>(i)];
        char text[1024] = {};
        LVITEMA item{};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(w_, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        r.text = text;
        return r;
    }
    int findRow(std::string_view key) const override { return ui::indexOfKey(rows_, key); }
    void clear() override {
        SendMessageA(w_, LVM_DELETEALLITEMS, 0, 0);
        rows_.clear();
    }
    void selectRow(int i) override {
        const bool was = selecting_;
        selecting_ = true;
        selectRowNow(i);
        selecting_ = was;
    }
    void selectRowNow(int i) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(w_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
        if (i < 0 || i >= rowCount()) return;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(w_, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    int selectedRow() const override {
        return static_cast<int>(SendMessageA(w_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    void setRedraw(bool on) override {
        redraw_ = on;
        SendMessageA(w_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
        if (!on) return;
        if (GetWindowLongA(w_, GWL_STYLE) & LVS_AUTOARRANGE) SendMessageA(w_, LVM_ARRANGE, LVA_DEFAULT, 0);
        InvalidateRect(w_, nullptr, TRUE);
    }
    bool redraw() const override { return redraw_; }

    std::optional<LRESULT> notify(const NMHDR& header) {
        // The keyboard user's click: a row that becomes selected without the mouse.
        if (header.code == static_cast<UINT>(LVN_ITEMCHANGED)) {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            const bool gained = (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED);
            const bool mouse = (GetKeyState(VK_LBUTTON) | GetKeyState(VK_RBUTTON)) & 0x8000;
            if (gained && !selecting_ && !mouse && change.iItem >= 0 && change.iItem < rowCount())
                kinds_.view->raise(name_, ui::Event::Click, change.iItem);
            return std::nullopt;
        }
        if (header.code != static_cast<UINT>(NM_CLICK) && header.code != static_cast<UINT>(NM_DBLCLK))
            return std::nullopt;
        const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
        if (row >= 0 && row < rowCount())
            kinds_.view->raise(name_, header.code == static_cast<UINT>(NM_CLICK) ? ui::Event::Click : ui::Event::DblClick,
                               row);
        return 0;
    }

private:
    // A list view item has one picture number for every view: the large picture shows
    // in icon view, the small one in the others.
    int pictureOf(const ui::ListRow& row) const {
        return style() == ui::ListViewStyle::Icon ? row.largePicture : row.smallPicture;
    }
    void showPicture(int i) {
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        item.iImage = pictureOf(rows_[static_cast<size_t>(i)]) - 1;
        SendMessageA(w_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    void ensureColumn() {
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH;
        if (SendMessageA(w_, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column))) return;
        RECT client{};
        GetClientRect(w_, &client);
        column.cx = client.right;
        SendMessageA(w_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    }
    // An image list gets its handle with its first picture, so attaching is redone on use;
    // only a changed handle is sent, as the control lays itself out anew for each.
    void attachImageLists() {
        const std::pair<int, HIMAGELIST> lists[] = {{LVSIL_NORMAL, kinds_.imageListHandle(large_)},
                                                    {LVSIL_SMALL, kinds_.imageListHandle(small_)}};
        for (auto [which, list] : lists)
            if (reinterpret_cast<HIMAGELIST>(SendMessageA(w_, LVM_GETIMAGELIST, which, 0)) != list)
                SendMessageA(w_, LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list));
    }

    HWND w_;
    std::string name_;
    ControlTable::Kinds& kinds_;
    std::string large_, small_;
    std::vector<ui::ListRow> rows_;
    bool selecting_ = false;  // a selection by program raises nothing
    bool redraw_ = true;
};

class TreeViewKind final : public ui::TreeView {
public:
    TreeViewKind(HWND w, std::string name, ControlTable::Kinds& kinds) : w_(w), name_(std::move(name)), kinds_(kinds) {}

    void setImageList(std::string_view name) override {
        list_ = name;
        attachImageList();
    }
    int addNode(const ui::TreeNode& node) override {
        if (node.key.empty() || findNode(node.key) >= 0) return -1;
        const int parent = findNode(node.parentKey);
        if (!node.parentKey.empty() && parent < 0) return -1;
        attachImageList();
        std::string text = node.text;
        TVINSERTSTRUCTA insert{};
        insert.hParent = parent < 0 ? TVI_ROOT : items_[static_cast<size_t>(parent)];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        insert.item.pszText = text.data();
        insert.item.iImage = insert.item.iSelectedImage = node.picture - 1;
        insert.item.lParam = nodeCount();
        auto item = reinterpret_cast<HTREEITEM>(SendMessageA(w_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        if (!item) return -1;
        nodes_.push_back(node);
        items_.push_back(item);
        return nodeCount() - 1;
    }
    int nodeCount() const override { return static_cast<int>(nodes_.size()); }
    ui::TreeNode node(int i) const override {
        if (!valid(i)) return {};
        ui::TreeNode n = nodes_[static_cast<size_t>(i)];
        char text[1024] = {};
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = items_[static_cast<size_t>(i)];
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(w_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        n.text = text;
        return n;
    }
    int findNode(std::string_view key) const override { return ui::indexOfKey(nodes_, key); }
    void updateNode(int i, const ui::TreeNode& node) override {
        if (!valid(i)) return;
        ui::TreeNode& n = nodes_[static_cast<size_t>(i)];
        n.text = node.text, n.tag = node.tag, n.picture = node.picture, n.expandedPicture = node.expandedPicture;
        std::string text = n.text;
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = items_[static_cast<size_t>(i)];
        item.pszText = text.data();
        SendMessageA(w_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        showPicture(i);
    }
    void clear() override {
        quiet_ = true;
        SendMessageA(w_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        quiet_ = false;
        nodes_.clear();
        items_.clear();
    }
    void expand(int i) override { setExpanded(i, true); }
    void collapse(int i) override { setExpanded(i, false); }
    bool expanded(int i) const override {
        return valid(i) && (SendMessageA(w_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(items_[static_cast<size_t>(i)]),
                                         TVIS_EXPANDED) &
                            TVIS_EXPANDED);
    }
    // The control opens the closed nodes above the one it selects; they are opened here
    // first, outermost first, so that each reports its Expand.
    void select(int i) override {
        if (valid(i))
            for (int p : ui::ancestorsOf(*this, i)) expand(p);
        quiet_ = true;
        SendMessageA(w_, TVM_SELECTITEM, TVGN_CARET,
                     reinterpret_cast<LPARAM>(valid(i) ? items_[static_cast<size_t>(i)] : nullptr));
        quiet_ = false;
    }
    int selected() const override {
        return indexOf(reinterpret_cast<HTREEITEM>(SendMessageA(w_, TVM_GETNEXTITEM, TVGN_CARET, 0)));
    }

    std::optional<LRESULT> notify(const NMHDR& header) {
        const auto& tree = reinterpret_cast<const NMTREEVIEWA&>(header);
        switch (header.code) {
        case NM_CLICK: {
            // A click on another node is its selection below. A click on the node already
            // selected changes no selection, yet it is a click all the same: the folder's
            // files are listed afresh. The control tells of the click before it selects.
            const int i = clickedNode();
            if (!quiet_ && i >= 0 && i == selected()) kinds_.view->raise(name_, ui::Event::Click, i);
            return 0;
        }
        case NM_DBLCLK:
            return 0;
        case TVN_ITEMEXPANDINGA:
        case TVN_ITEMEXPANDINGW:
            return FALSE;  // every node may open and close
        case TVN_ITEMEXPANDEDA:
        case TVN_ITEMEXPANDEDW: {
            const int i = indexOf(tree.itemNew.hItem);
            if (quiet_ || i < 0) return 0;
            showPicture(i);
            kinds_.view->raise(name_, expanded(i) ? ui::Event::Expand : ui::Event::Collapse, i);
            return 0;
        }
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW: {
            // A user's choice is a click, and so is the first node that the control selects
            // by itself on taking the focus: it shows as chosen, so it must be. The other
            // selections the control makes alone (after a node's removal) and the
            // program's own raise nothing.
            const int i = indexOf(tree.itemNew.hItem);
            const bool chosen = tree.action != TVC_UNKNOWN || !tree.itemOld.hItem;
            if (!quiet_ && chosen && i >= 0) kinds_.view->raise(name_, ui::Event::Click, i);
            return 0;
        }
        default:
            return std::nullopt;
        }
    }

private:
    bool valid(int i) const { return i >= 0 && i < nodeCount(); }
    // The node under the pointer where the message being handled was sent; -1 beside
    // every node's picture and text.
    int clickedNode() const {
        const DWORD at = GetMessagePos();
        TVHITTESTINFO hit{};
        hit.pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
        ScreenToClient(w_, &hit.pt);
        const auto item = reinterpret_cast<HTREEITEM>(SendMessageA(w_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        return hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL) ? indexOf(item) : -1;
    }
    int indexOf(HTREEITEM item) const {
        const auto it = std::find(items_.begin(), items_.end(), item);
        return item && it != items_.end() ? static_cast<int>(it - items_.begin()) : -1;
    }
    // The control tells no programmed change of its own; the event is raised here, once.
    void setExpanded(int i, bool on) {
        if (!valid(i) || expanded(i) == on) return;
        quiet_ = true;
        SendMessageA(w_, TVM_EXPAND, on ? TVE_EXPAND : TVE_COLLAPSE,
                     reinterpret_cast<LPARAM>(items_[static_cast<size_t>(i)]));
        quiet_ = false;
        if (expanded(i) != on) return;  // a node without children stays closed
        showPicture(i);
        kinds_.view->raise(name_, on ? ui::Event::Expand : ui::Event::Collapse, i);
    }
    void showPicture(int i) {
        const ui::TreeNode& n = nodes_[static_cast<size_t>(i)];
        TVITEMA item{};
        item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = items_[static_cast<size_t>(i)];
        item.iImage = item.iSelectedImage = (expanded(i) && n.expandedPicture ? n.expandedPicture : n.picture) - 1;
        SendMessageA(w_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    void attachImageList() {
        SendMessageA(w_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(kinds_.imageListHandle(list_)));
    }

    HWND w_;
    std::string name_;
    ControlTable::Kinds& kinds_;
    std::string list_;
    std::vector<ui::TreeNode> nodes_;
    std::vector<HTREEITEM> items_;
    bool quiet_ = false;
};

class FontKind final : public ui::Font {
public:
    explicit FontKind(HWND w) : w_(w) {}
    void setName(std::string_view face) override {
        change([&](LOGFONTA& f) { lstrcpynA(f.lfFaceName, std::string(face).c_str(), LF_FACESIZE); });
    }
    std::string name() const override { return current().lfFaceName; }
    void setCharset(int charset) override { change([&](LOGFONTA& f) { f.lfCharSet = static_cast<BYTE>(charset); }); }
    int charset() const override { return current().lfCharSet; }
    void setSize(int points) override {
        if (points <= 0) return;
        change([&](LOGFONTA& f) { f.lfHeight = -MulDiv(points, screenDpi(), 72), f.lfWidth = 0; });
    }
    int size() const override { return MulDiv(std::abs(current().lfHeight), 72, screenDpi()); }
    void setBold(bool on) override { change([&](LOGFONTA& f) { f.lfWeight = on ? FW_BOLD : FW_NORMAL; }); }
    bool bold() const override { return current().lfWeight >= FW_BOLD; }

private:
    LOGFONTA current() const {
        LOGFONTA face{};
        auto font = reinterpret_cast<HFONT>(SendMessageA(w_, WM_GETFONT, 0, 0));
        GetObjectA(font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), sizeof face, &face);
        return face;
    }
    template <typename Change>
    void change(Change&& how) {
        LOGFONTA face = current();
        how(face);
        UniqueFont font(CreateFontIndirectA(&face));
        if (!font) return;
        SendMessageA(w_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
        font_ = std::move(font);  // the control has let go of the one before
    }

    HWND w_;
    UniqueFont font_;
};

class ImageKind final : public ui::ImageControl {
public:
    ImageKind(HWND w, HINSTANCE instance, bool button) : w_(w), instance_(instance), button_(button) {}
    void setBitmap(int resourceId) override {
        UniqueBitmap bitmap;
        if (resourceId > 0)
            bitmap.reset(static_cast<HBITMAP>(
                LoadImageA(instance_, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
        if (resourceId > 0 && !bitmap) return;
        if (button_) {
            setStyleBits(w_, BS_BITMAP, BS_BITMAP);
            SendMessageA(w_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get()));
        } else {
            setStyleBits(w_, SS_TYPEMASK, SS_BITMAP);
            auto previous = reinterpret_cast<HBITMAP>(
                SendMessageA(w_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get())));
            // A bitmap the template gave the control comes back to us, to be freed.
            UniqueBitmap fromTemplate(previous != bitmap_.get() ? previous : nullptr);
        }
        InvalidateRect(w_, nullptr, TRUE);
        bitmap_ = std::move(bitmap);
        id_ = resourceId > 0 ? resourceId : 0;
    }
    int bitmap() const override {
        const auto shown = SendMessageA(w_, button_ ? BM_GETIMAGE : STM_GETIMAGE, IMAGE_BITMAP, 0);
        return bitmap_ && shown == reinterpret_cast<LRESULT>(bitmap_.get()) ? id_ : 0;
    }

private:
    HWND w_;
    HINSTANCE instance_;
    bool button_;
    UniqueBitmap bitmap_;
    int id_ = 0;
};

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
        k.textBoxes[name] = std::make_unique<TextBoxKind>(control);
    } else if (designClass == "ListView") {
        auto list = std::make_unique<ListViewKind>(control, name, k);
        k.notified[control] = [l = list.get()](const NMHDR& h) { return l->notify(h); };
        k.listViews[name] = std::move(list);
    } else if (designClass == "TreeView") {
        auto tree = std::make_unique<TreeViewKind>(control, name, k);
        k.notified[control] = [t = tree.get()](const NMHDR& h) { return t->notify(h); };
        k.treeViews[name] = std::move(tree);
    } else if (designClass == "Image" || designClass == "PictureBox" || designClass == "CheckBox" ||
               designClass == "OptionButton") {
        // A picture box that is clicked lives in the template as a button, so that the
        // keyboard reaches it too.
        char windowClass[16] = {};
        GetClassNameA(control, windowClass, sizeof windowClass);
        const bool button = designClass == "CheckBox" || designClass == "OptionButton" ||
                            (designClass == "PictureBox" && lstrcmpiA(windowClass, "Button") == 0);
        k.images[name] = std::make_unique<ImageKind>(control, k.instance, button);
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
    if (!slot) slot = std::make_unique<FontKind>(window->second);
    return *slot;
}

std::optional<LRESULT> ControlTable::notify(const NMHDR& header) {
    auto it = kinds_->notified.find(header.hwndFrom);
    return it == kinds_->notified.end() ? std::nullopt : it->second(header);
}

}  // namespace vantora::win32
