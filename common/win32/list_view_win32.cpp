#include "common/win32/control_kinds_win32.h"

#include <algorithm>
#include <vector>

namespace vantora::win32 {

namespace {

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

}  // namespace

std::unique_ptr<ui::ListView> makeListView(HWND control, const std::string& name, ControlTable::Kinds& kinds) {
    auto list = std::make_unique<ListViewKind>(control, name, kinds);
    kinds.notified[control] = [l = list.get()](const NMHDR& h) { return l->notify(h); };
    return list;
}

}  // namespace vantora::win32
