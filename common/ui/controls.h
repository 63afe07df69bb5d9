#pragma once
// The control kinds a view hands out by design name, each a small typed interface.
// A name that is not a control of the asked kind gets an inert object: it takes every
// call, changes nothing and answers empty ("" for texts, 0 for numbers, -1 for indexes,
// false for flags), so logic never has to test for a missing control.
//
// Indexes of rows and nodes count from 0 in the order they were added; picture numbers
// count from 1, as the designs number the pictures of an image list, and 0 is no picture.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/picture.h"

namespace vantora::ui {

// What a control's own procedure would receive, reduced to what a filter needs.
struct ControlMessage {
    enum class Kind {
        KeyDown, KeyUp, SysKeyDown, SysKeyUp, Char,
        Paste, Cut, Copy, Undo, ContextMenu,
        LeftButtonDown, LeftButtonUp, LeftButtonDoubleClick, RightButtonDown, RightButtonUp,
        Unmask,  // a change of the password character, by anyone but the view itself
    };
    Kind kind = Kind::KeyDown;
    int key = 0;            // virtual-key code for key messages, character code for Char
    int scanCode = 0;       // bits 16..23 of the key message's lParam
    bool extended = false;  // bit 24: right-hand Ctrl/Alt, cursor block, numeric-pad Enter
    bool operator==(const ControlMessage&) const = default;
};
// Sees every message of the kinds above before the control does: true passes it on,
// false drops it (the control never sees it).
using MessageFilter = std::function<bool(const ControlMessage&)>;

class TextBox {
public:
    virtual ~TextBox() = default;
    // The same text as the view's caption of the control.
    virtual void setText(std::string_view text) = 0;
    virtual std::string text() const = 0;
    // Typing stops at the maximum; text set by the program is kept whole. 0: no limit.
    virtual void setMaxLength(int characters) = 0;
    virtual int maxLength() const = 0;
    // Shown in place of every character; 0 shows the text itself.
    virtual void setPasswordChar(char c) = 0;
    virtual char passwordChar() const = 0;
    virtual void setLocked(bool readOnly) = 0;
    virtual bool locked() const = 0;
    // Caret and selection (SelStart, SelLength), clamped to the text.
    virtual void setSelection(int start, int length) = 0;
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    virtual bool hasFocus() const = 0;
    // One filter per box; an empty function takes it away again. It goes with the window.
    virtual void setMessageFilter(MessageFilter filter) = 0;
};

// A picture list from the resource script (bitmaps by id) or from the shell (icons by
// an opaque handle); its pictures are numbered from 1 in the order added.
class ImageList {
public:
    virtual ~ImageList() = default;
    // Both return the new picture's number, 0 when it could not be added.
    virtual int addBitmap(int resourceId) = 0;
    // The list keeps its own copy: the caller may free its icon afterwards.
    virtual int addIcon(std::uintptr_t icon) = 0;
    // A picture drawn in code, opaque; the list takes the size of its first picture.
    virtual int addPicture(const Picture& picture) = 0;
    virtual int count() const = 0;
    virtual void clear() = 0;
};

enum class ListViewStyle { Icon, SmallIcon, Report };
enum class Arrangement { None, Left, Top };

struct ListRow {
    std::string key, text;
    int smallPicture = 0, largePicture = 0;
    std::string tag;
    bool operator==(const ListRow&) const = default;
};

// Click and DblClick of a list view carry the row's index as the event's argument; a
// click beside every row raises nothing.
class ListView {
public:
    virtual ~ListView() = default;
    virtual void setStyle(ListViewStyle style) = 0;
    virtual ListViewStyle style() const = 0;
    virtual void setArrangement(Arrangement arrangement) = 0;
    virtual Arrangement arrangement() const = 0;
    // The one column of the report view, in twips.
    virtual void setColumnWidth(int twips) = 0;
    virtual int columnWidth() const = 0;
    // Image lists of the same view, by design name; an empty name detaches.
    virtual void setImageLists(std::string_view large, std::string_view small) = 0;
    // Returns the row's index; -1 when a keyed row's key is taken already.
    virtual int addRow(const ListRow& row) = 0;
    virtual int rowCount() const = 0;
    virtual ListRow row(int index) const = 0;
    virtual int findRow(std::string_view key) const = 0;
    virtual void clear() = 0;
    // Selecting by program raises nothing.
    virtual void selectRow(int index) = 0;
    virtual int selectedRow() const = 0;
    // Off, rows come and go without the list being drawn (a list of many rows fills in a
    // fraction of the time); back on, the list is arranged and drawn once.
    virtual void setRedraw(bool on) = 0;
    virtual bool redraw() const = 0;
};

struct TreeNode {
    std::string key, parentKey, text, tag;  // an empty parentKey places the node at the top
    int picture = 0, expandedPicture = 0;   // the expanded picture shows while expanded
    bool operator==(const TreeNode&) const = default;
};

// Expand, Collapse and Click (a user's choice of a node) carry the node's index as the
// event's argument.
// Expanding or collapsing by program raises the same events, once per change.
class TreeView {
public:
    virtual ~TreeView() = default;
    virtual void setImageList(std::string_view name) = 0;
    // Keys are unique and not empty. Returns the node's index; -1 when the key is
    // empty or taken, or the parent is unknown.
    virtual int addNode(const TreeNode& node) = 0;
    virtual int nodeCount() const = 0;
    virtual TreeNode node(int index) const = 0;
    virtual int findNode(std::string_view key) const = 0;
    // Text, tag and pictures of a node; its key and place stay.
    virtual void updateNode(int index, const TreeNode& node) = 0;
    virtual void clear() = 0;
    virtual void expand(int index) = 0;
    virtual void collapse(int index) = 0;
    virtual bool expanded(int index) const = 0;
    // Selecting by program raises nothing.
    virtual void select(int index) = 0;
    virtual int selected() const = 0;
};

// The index of the row or node with `key` among `entries`; -1 for none, and always for
// an empty key, which no entry is found by.
template <typename Entries>
int indexOfKey(const Entries& entries, std::string_view key) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!key.empty() && entries[i].key == key) return static_cast<int>(i);
    return -1;
}

// The nodes above `index`, outermost first.
inline std::vector<int> ancestorsOf(const TreeView& tree, int index) {
    std::vector<int> above;
    for (int p = tree.findNode(tree.node(index).parentKey); p >= 0; p = tree.findNode(tree.node(p).parentKey))
        above.insert(above.begin(), p);
    return above;
}

// A control's font. Each change applies at once, on top of the previous ones.
class Font {
public:
    virtual ~Font() = default;
    virtual void setName(std::string_view face) = 0;
    virtual std::string name() const = 0;
    virtual void setCharset(int charset) = 0;
    virtual int charset() const = 0;
    virtual void setSize(int points) = 0;
    virtual int size() const = 0;
    virtual void setBold(bool bold) = 0;
    virtual bool bold() const = 0;
};

// An image, picture box, or a check box or option button drawn as a picture (its value
// then tells up from down): shows a bitmap of the resource script.
class ImageControl {
public:
    virtual ~ImageControl() = default;
    virtual void setBitmap(int resourceId) = 0;
    virtual int bitmap() const = 0;  // 0: none
};

// The inert objects every view hands out for names that are not of the asked kind.
class InertTextBox final : public TextBox {
public:
    void setText(std::string_view) override {}
    std::string text() const override { return {}; }
    void setMaxLength(int) override {}
    int maxLength() const override { return 0; }
    void setPasswordChar(char) override {}
    char passwordChar() const override { return 0; }
    void setLocked(bool) override {}
    bool locked() const override { return false; }
    void setSelection(int, int) override {}
    int selStart() const override { return 0; }
    int selLength() const override { return 0; }
    bool hasFocus() const override { return false; }
    void setMessageFilter(MessageFilter) override {}
};

class InertImageList final : public ImageList {
public:
    int addBitmap(int) override { return 0; }
    int addIcon(std::uintptr_t) override { return 0; }
    int addPicture(const Picture&) override { return 0; }
    int count() const override { return 0; }
    void clear() override {}
};

class InertListView final : public ListView {
public:
    void setStyle(ListViewStyle) override {}
    ListViewStyle style() const override { return ListViewStyle::Icon; }
    void setArrangement(Arrangement) override {}
    Arrangement arrangement() const override { return Arrangement::None; }
    void setColumnWidth(int) override {}
    int columnWidth() const override { return 0; }
    void setImageLists(std::string_view, std::string_view) override {}
    int addRow(const ListRow&) override { return -1; }
    int rowCount() const override { return 0; }
    ListRow row(int) const override { return {}; }
    int findRow(std::string_view) const override { return -1; }
    void clear() override {}
    void selectRow(int) override {}
    int selectedRow() const override { return -1; }
    void setRedraw(bool) override {}
    bool redraw() const override { return false; }
};

class InertTreeView final : public TreeView {
public:
    void setImageList(std::string_view) override {}
    int addNode(const TreeNode&) override { return -1; }
    int nodeCount() const override { return 0; }
    TreeNode node(int) const override { return {}; }
    int findNode(std::string_view) const override { return -1; }
    void updateNode(int, const TreeNode&) override {}
    void clear() override {}
    void expand(int) override {}
    void collapse(int) override {}
    bool expanded(int) const override { return false; }
    void select(int) override {}
    int selected() const override { return -1; }
};

class InertFont final : public Font {
public:
    void setName(std::string_view) override {}
    std::string name() const override { return {}; }
    void setCharset(int) override {}
    int charset() const override { return 0; }
    void setSize(int) override {}
    int size() const override { return 0; }
    void setBold(bool) override {}
    bool bold() const override { return false; }
};

class InertImageControl final : public ImageControl {
public:
    void setBitmap(int) override {}
    int bitmap() const override { return 0; }
};

// One of each, shared: they hold no state.
struct InertControls {
    InertTextBox textBox;
    InertImageList imageList;
    InertListView listView;
    InertTreeView treeView;
    InertFont font;
    InertImageControl image;
    static InertControls& get() {
        static InertControls inert;
        return inert;
    }
};

}  // namespace vantora::ui
