#include "common/win32/control_kinds_win32.h"

#include <algorithm>
#include <vector>

namespace vantora::win32 {

namespace {

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

}  // namespace

std::unique_ptr<ui::TreeView> makeTreeView(HWND control, const std::string& name, ControlTable::Kinds& kinds) {
    auto tree = std::make_unique<TreeViewKind>(control, name, kinds);
    kinds.notified[control] = [t = tree.get()](const NMHDR& h) { return t->notify(h); };
    return tree;
}

}  // namespace vantora::win32
