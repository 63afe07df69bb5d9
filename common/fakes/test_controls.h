#pragma once
// The control kinds of the test view: each one a window onto its control's record in
// the view, so that what the logic sets is what a test reads back.
#include <sstream>

#include "common/fakes/test_view.h"

namespace vantora::testing {

template <>
struct TestView::Kind<ui::TextBox> : TestView::KindBase, ui::TextBox {
    static constexpr const char* kTag = "TextBox:";
    using KindBase::KindBase;
    int length() const { return int(k().caption.size()); }

    void setText(std::string_view t) override { v.setCaption(controlName, t); }
    std::string text() const override { return k().caption; }
    void setMaxLength(int n) override { k().maxLength = std::max(n, 0); }
    int maxLength() const override { return k().maxLength; }
    void setPasswordChar(char c) override { k().passwordChar = c; }
    char passwordChar() const override { return k().passwordChar; }
    void setLocked(bool on) override { k().locked = on; }
    bool locked() const override { return k().locked; }
    void setSelection(int start, int length) override {
        const int n = this->length();
        k().selStart = std::clamp(start, 0, n);
        k().selLength = std::clamp(length, 0, n - k().selStart);
    }
    int selStart() const override { return k().selStart; }
    int selLength() const override { return k().selLength; }
    bool hasFocus() const override { return v.focus_ == controlName; }
    void setMessageFilter(ui::MessageFilter filter) override { k().filter = std::move(filter); }

    // What an edit control does with a message that reached it.
    void receive(const ui::ControlMessage& m) {
        Control& c = k();
        const std::string before = c.caption;
        using K = ui::ControlMessage::Kind;
        auto replace = [&](int from, int count, std::string_view with) {
            c.caption.replace(std::size_t(from), std::size_t(count), with);
            c.selStart = from + int(with.size());
            c.selLength = 0;
        };
        if (m.kind == K::Char && !c.locked) {
            if (m.key == 8) {
                if (c.selLength > 0) replace(c.selStart, c.selLength, "");
                else if (c.selStart > 0) replace(c.selStart - 1, 1, "");
            } else if (m.key >= 32 && m.key != 127 && (c.maxLength == 0 || length() - c.selLength < c.maxLength)) {
                replace(c.selStart, c.selLength, std::string(1, char(m.key)));
            }
        } else if (m.kind == K::Unmask) {
            c.passwordChar = char(m.key);
        } else if (m.kind == K::KeyDown) {
            constexpr int kEnd = 35, kHome = 36, kDelete = 46;
            if (m.key == kHome || m.key == kEnd) c.selStart = m.key == kHome ? 0 : length(), c.selLength = 0;
            if (m.key == kDelete && !c.locked && c.selStart < length()) replace(c.selStart, std::max(c.selLength, 1), "");
        }
        if (c.caption != before) v.raise(controlName, ui::Event::Change);
    }
};

template <>
struct TestView::Kind<ui::ImageList> : TestView::KindBase, ui::ImageList {
    static constexpr const char* kTag = "ImageList:";
    using KindBase::KindBase;
    std::vector<std::string>& pictures() const { return k().pictures; }
    int add(std::string what) {
        pictures().push_back(std::move(what));
        return int(pictures().size());
    }
    int addBitmap(int id) override { return v.hasBitmap(id) ? add("bitmap " + std::to_string(id)) : 0; }
    int addIcon(std::uintptr_t icon) override {
        std::ostringstream s;
        s << "icon " << std::hex << icon;
        return icon ? add(s.str()) : 0;
    }
    int addPicture(const ui::Picture& p) override {
        return p.width > 0 ? add("picture " + std::to_string(p.width) + "x" + std::to_string(p.height)) : 0;
    }
    int count() const override { return int(pictures().size()); }
    void clear() override { pictures().clear(); }
};

template <>
struct TestView::Kind<ui::ListView> : TestView::KindBase, ui::ListView {
    static constexpr const char* kTag = "ListView:";
    using KindBase::KindBase;
    bool valid(int i) const { return i >= 0 && i < rowCount(); }

    void setStyle(ui::ListViewStyle s) override { k().style = s; }
    ui::ListViewStyle style() const override { return k().style; }
    void setArrangement(ui::Arrangement a) override { k().arrangement = a; }
    ui::Arrangement arrangement() const override { return k().arrangement; }
    void setColumnWidth(int twips) override { k().columnWidth = std::max(twips, 0); }
    int columnWidth() const override { return k().columnWidth; }
    void setImageLists(std::string_view large, std::string_view small) override {
        k().largeImages = large, k().smallImages = small;
    }
    int addRow(const ui::ListRow& row) override {
        if (!row.key.empty() && findRow(row.key) >= 0) return -1;
        k().rows.push_back(row);
        return rowCount() - 1;
    }
    int rowCount() const override { return int(k().rows.size()); }
    ui::ListRow row(int i) const override { return valid(i) ? k().rows[std::size_t(i)] : ui::ListRow{}; }
    int findRow(std::string_view key) const override { return ui::indexOfKey(k().rows, key); }
    void clear() override { k().rows.clear(), k().selectedRow = -1; }
    void selectRow(int i) override { k().selectedRow = valid(i) ? i : -1; }
    int selectedRow() const override { return k().selectedRow; }
    void setRedraw(bool on) override { k().redraw = on; }
    bool redraw() const override { return k().redraw; }
};

template <>
struct TestView::Kind<ui::TreeView> : TestView::KindBase, ui::TreeView {
    static constexpr const char* kTag = "TreeView:";
    using KindBase::KindBase;
    bool valid(int i) const { return i >= 0 && i < nodeCount(); }
    bool hasChildren(int i) const {
        for (const auto& n : k().nodes)
            if (n.parentKey == k().nodes[std::size_t(i)].key) return true;
        return false;
    }

    void setImageList(std::string_view list) override { k().treeImages = list; }
    int addNode(const ui::TreeNode& node) override {
        if (node.key.empty() || findNode(node.key) >= 0) return -1;
        if (!node.parentKey.empty() && findNode(node.parentKey) < 0) return -1;
        k().nodes.push_back(node);
        k().expandedNodes.push_back(false);
        return nodeCount() - 1;
    }
    int nodeCount() const override { return int(k().nodes.size()); }
    ui::TreeNode node(int i) const override { return valid(i) ? k().nodes[std::size_t(i)] : ui::TreeNode{}; }
    int findNode(std::string_view key) const override { return ui::indexOfKey(k().nodes, key); }
    void updateNode(int i, const ui::TreeNode& node) override {
        if (!valid(i)) return;
        ui::TreeNode& n = k().nodes[std::size_t(i)];
        n.text = node.text, n.tag = node.tag, n.picture = node.picture, n.expandedPicture = node.expandedPicture;
    }
    void clear() override { k().nodes.clear(), k().expandedNodes.clear(), k().selectedNode = -1; }
    // A node without children does not open, as in the common control.
    void setExpanded(int i, bool on) {
        if (!valid(i) || expanded(i) == on || (on && !hasChildren(i))) return;
        k().expandedNodes[std::size_t(i)] = on;
        v.raise(controlName, on ? ui::Event::Expand : ui::Event::Collapse, i);
    }
    void expand(int i) override { setExpanded(i, true); }
    void collapse(int i) override { setExpanded(i, false); }
    bool expanded(int i) const override { return valid(i) && k().expandedNodes[std::size_t(i)]; }
    // Selecting a node inside closed ones opens them, outermost first, as the control does.
    void select(int i) override {
        if (valid(i))
            for (int p : ui::ancestorsOf(*this, i)) expand(p);
        k().selectedNode = valid(i) ? i : -1;
    }
    int selected() const override { return k().selectedNode; }
};

template <>
struct TestView::Kind<ui::Font> : TestView::KindBase, ui::Font {
    static constexpr const char* kTag = "Font:";
    using KindBase::KindBase;
    void setName(std::string_view face) override { k().fontName = face; }
    std::string name() const override { return k().fontName; }
    void setCharset(int c) override { k().charset = c; }
    int charset() const override { return k().charset; }
    void setSize(int points) override {
        if (points > 0) k().fontSize = points;
    }
    int size() const override { return k().fontSize; }
    void setBold(bool on) override { k().bold = on; }
    bool bold() const override { return k().bold; }
};

template <>
struct TestView::Kind<ui::ImageControl> : TestView::KindBase, ui::ImageControl {
    static constexpr const char* kTag = "Image:";
    using KindBase::KindBase;
    void setBitmap(int id) override {
        if (id <= 0 || v.hasBitmap(id)) k().bitmap = id > 0 ? id : 0;
    }
    int bitmap() const override { return k().bitmap; }
};

// The record's kind object when the control is of that kind, the inert one otherwise.
template <typename Interface>
Interface& TestView::kind(std::string_view c, bool applies, Interface& inert) {
    if (!applies) return inert;
    auto& slot = kinds_[Kind<Interface>::kTag + std::string(c)];
    if (!slot) slot = std::make_unique<Kind<Interface>>(*this, std::string(c));
    return static_cast<Kind<Interface>&>(*slot);
}

inline ui::TextBox& TestView::textBox(std::string_view c) {
    return kind<ui::TextBox>(c, is(c, {"TextBox"}), ui::InertControls::get().textBox);
}
inline ui::ListView& TestView::listView(std::string_view c) {
    return kind<ui::ListView>(c, is(c, {"ListView"}), ui::InertControls::get().listView);
}
inline ui::TreeView& TestView::treeView(std::string_view c) {
    return kind<ui::TreeView>(c, is(c, {"TreeView"}), ui::InertControls::get().treeView);
}
inline ui::ImageList& TestView::imageList(std::string_view c) {
    return kind<ui::ImageList>(c, is(c, {"ImageList"}), ui::InertControls::get().imageList);
}
inline ui::ImageControl& TestView::image(std::string_view c) {
    return kind<ui::ImageControl>(c, is(c, {"Image", "PictureBox", "CheckBox", "OptionButton"}), ui::InertControls::get().image);
}
inline ui::Font& TestView::font(std::string_view c) {
    return kind<ui::Font>(c, lookup(c) && !is(c, {"ImageList"}), ui::InertControls::get().font);
}

inline bool TestView::send(std::string_view c, const ui::ControlMessage& m) {
    if (!lookup(c)) return false;
    Control& k = control(c);
    if (k.filter && !k.filter(m)) return false;
    k.passed.push_back(m);
    if (k.className == "TextBox") static_cast<Kind<ui::TextBox>&>(textBox(c)).receive(m);
    return true;
}

}  // namespace vantora::testing
