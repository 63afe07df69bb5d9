#pragma once
// A window as its logic class sees it: controls addressed by their design names
// ("Label1(3)", "mTop"), never by window handle. The Win32 host and the test view
// both implement it.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "common/picture.h"
#include "common/ui/controls.h"

namespace vantora::ui {


// A system colour as a form stores it: &H80000000 plus the GetSysColor index.
constexpr Color systemColor(unsigned index) { return 0x80000000u | index; }
constexpr bool isSystemColor(Color c) { return (c & 0x80000000u) != 0; }
inline constexpr Color kColorScrollbar = systemColor(0);
inline constexpr Color kColorWindow = systemColor(5);
inline constexpr Color kColorGrayText = systemColor(17);
inline constexpr Color kColorBtnText = systemColor(18);

// Check box values.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;

// Message box flags and answers, as MessageBoxA takes and returns them.
inline constexpr std::uint32_t kMbOk = 0x00;
inline constexpr std::uint32_t kMbOkCancel = 0x01;
inline constexpr std::uint32_t kMbYesNo = 0x04;
inline constexpr std::uint32_t kMbIconCritical = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconExclamation = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

inline constexpr int kKeyEscape = 27;

// What a host reports to the logic: one handler per control and event. The argument
// is the key code for KeyPress, the help context for Help, the mouse button for
// MouseDown and MouseMove (kMouseLeft, kMouseRight; 0 when none is down), the row or
// node index for a list or tree view's Click, DblClick, Expand and Collapse, 0 otherwise.
enum class Event { Click, DblClick, Change, KeyPress, Help, Unload, MouseDown, MouseMove, Resize, Expand, Collapse };

inline constexpr int kMouseLeft = 1;
inline constexpr int kMouseRight = 2;

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

// Name of one element of a control array: Label1(3).
std::string indexed(std::string_view name, int index);

// The array and index of an element's name; index -1 for a name that is no element.
struct ElementName {
    std::string_view array;
    int index = -1;
};
ElementName parseElement(std::string_view name);

// Elements of control arrays that are loaded and unloaded at run time. Element 0 is
// part of the design: it exists from the start and cannot be unloaded; loading an
// element that is loaded already changes nothing.
class ControlArrays {
public:
    bool isLoaded(std::string_view element) const;
    bool load(std::string_view element);    // false when nothing changed
    bool unload(std::string_view element);  // false when nothing changed
    // The loaded elements of one array beyond element 0, in index order.
    std::vector<int> loadedBeyondZero(std::string_view array) const;

private:
    std::map<std::string, std::vector<int>, std::less<>> loaded_;
};

// The topmost of overlapping rectangles under a point: the last one drawn wins.
// Returns -1 when the point lies in none.
int topmostAt(const std::vector<Rect>& rects, int x, int y);

// A window procedure put in front of a window's own, as subclassing does. Parameters
// and results are pointer-sized, as WPARAM, LPARAM and LRESULT are.
using MessageParam = std::uintptr_t;
using MessageResult = std::intptr_t;
class WindowProcedureHost {
public:
    using Procedure = std::function<MessageResult(std::uint32_t window, std::uint32_t message, MessageParam wParam,
                                                  MessageParam lParam)>;
    virtual ~WindowProcedureHost() = default;
    virtual void replaceWindowProc(Procedure procedure) = 0;
    virtual void restoreWindowProc() = 0;
    virtual MessageResult callPreviousWindowProc(std::uint32_t window, std::uint32_t message, MessageParam wParam,
                                                 MessageParam lParam) = 0;
};

class View {
public:
    using Handler = std::function<void(int)>;
    using ArrayHandler = std::function<void(int index, int argument)>;

    virtual ~View() = default;

    void on(std::string_view control, Event event, Handler handler);
    void on(std::string_view control, Event event, std::function<void()> handler);
    // One handler for every element of a control array, called with the element's index.
    void onArray(std::string_view array, Event event, ArrayHandler handler);
    // Hosts call this for every event they see; events nobody handles are dropped. An
    // element without a handler of its own goes to its array's handler.
    bool raise(std::string_view control, Event event, int argument = 0);

    // Setting a check box's value or a list's selection raises its Click when the
    // value changes, as a user's click would. This is the only place that does so.
    // An option button is the exception when it is cleared: only the button that a
    // change selects reports it, and selecting one clears the others of its group.
    void setValue(std::string_view control, int value);
    // The state a dialog template gives a control before its form loads: no Click.
    void setDesignValue(std::string_view control, int value) { storeValue(control, value); }
    void setListIndex(std::string_view control, int index);

    virtual std::uint32_t windowHandle() const = 0;

    // Controls and menu items.
    virtual void setCaption(std::string_view control, std::string_view text) = 0;
    virtual std::string caption(std::string_view control) const = 0;
    virtual void setForeColor(std::string_view control, Color color) = 0;
    virtual Color foreColor(std::string_view control) const = 0;
    virtual void setFontSize(std::string_view control, int points) = 0;
    virtual int fontSize(std::string_view control) const = 0;
    virtual void setBounds(std::string_view control, Rect r) = 0;  // in the form's scale units
    virtual Rect bounds(std::string_view control) const = 0;
    virtual void setTag(std::string_view control, std::string_view tag) = 0;
    virtual std::string tag(std::string_view control) const = 0;
    virtual void setToolTip(std::string_view control, std::string_view text) = 0;
    virtual std::string toolTip(std::string_view control) const = 0;
    virtual void setChecked(std::string_view menuItem, bool checked) = 0;
    virtual bool checked(std::string_view menuItem) const = 0;

    // The form itself. Position and size are in twips, as a form's always are.
    virtual WindowState windowState() const = 0;
    virtual void setWindowState(WindowState state) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool visible() const = 0;
    virtual Rect formBounds() const = 0;
    virtual void moveForm(int left, int top) = 0;
    virtual void resizeForm(int width, int height) = 0;
    virtual int twipsPerPixelX() const = 0;
    virtual int twipsPerPixelY() const = 0;

    // What is drawn on the form between the picture and the labels, in pixels.
    virtual void cls() {}
    virtual void line(int, int, int, int, Color) {}
    // The form's background picture; none takes it away and frees it.
    virtual void setPicture(const Picture*) {}

    // Menus. A popup menu shows at the pointer; the item chosen raises its Click.
    // Elements of menu control arrays ("mPopupCmd(3)") are loaded and unloaded at run time.
    virtual void popupMenu(std::string_view, std::uint32_t) {}
    virtual bool isLoaded(std::string_view) const { return false; }
    virtual void load(std::string_view) {}
    virtual void unload(std::string_view) {}

    // Dialog controls. A window that has no such controls keeps the defaults.
    virtual void setEnabled(std::string_view, bool) {}
    virtual bool enabled(std::string_view) const { return true; }
    virtual void setVisible(std::string_view, bool) {}
    virtual bool isVisible(std::string_view) const { return true; }
    virtual void setBackColor(std::string_view, Color) {}
    virtual Color backColor(std::string_view) const { return 0; }
    virtual int value(std::string_view) const { return 0; }
    virtual void clearList(std::string_view) {}
    virtual void addItem(std::string_view, std::string_view) {}
    virtual int listCount(std::string_view) const { return 0; }
    virtual std::string listItem(std::string_view, int) const { return {}; }
    virtual int listIndex(std::string_view) const { return -1; }
    virtual void setFocus(std::string_view) {}
    virtual void setHelpContext(std::string_view, std::uint32_t) {}
    // The design class of a control: "Label", "CheckBox", "CommandButton", ...
    virtual std::string className(std::string_view) const { return {}; }
    // Every control of the window by design name, for walks over all of them.
    virtual std::vector<std::string> controlNames() const { return {}; }

    // The form: a message box owned by it, and closing it (Unload).
    virtual int messageBox(std::string_view, std::string_view, std::uint32_t) { return kIdOk; }
    virtual void close() {}
    // Closes a modal form so that whoever showed it gets `result` back; closed any
    // other way, it gives 0.
    virtual void endDialog(int) { close(); }

    // The typed control kinds (controls.h), by design name. A name that is not such a
    // control gets an inert object. References stay valid while the window is open.
    virtual TextBox& textBox(std::string_view) { return InertControls::get().textBox; }
    virtual ListView& listView(std::string_view) { return InertControls::get().listView; }
    virtual TreeView& treeView(std::string_view) { return InertControls::get().treeView; }
    virtual ImageList& imageList(std::string_view) { return InertControls::get().imageList; }
    virtual ImageControl& image(std::string_view) { return InertControls::get().image; }
    virtual Font& font(std::string_view) { return InertControls::get().font; }

protected:
    virtual void storeValue(std::string_view, int) {}
    virtual void storeListIndex(std::string_view, int) {}

private:
    std::map<std::tuple<std::string, Event>, Handler> handlers_;
    std::map<std::tuple<std::string, Event>, ArrayHandler> arrayHandlers_;
};

}  // namespace vantora::ui
