#include "launcher/win32/forms.h"

#include <span>

#include "common/win32/window_identity.h"
#include "launcher/form1.h"
#include "launcher/key_table.h"
#include "launcher/win32/resource.h"

namespace vantora::launcher {

namespace {

// The dialogs' controls as data: name in the design, id in the template, design class.
struct Control {
    const char* name;
    int id;
    const char* designClass;
};

constexpr Control kForm2Controls[] = {
    {"ListView1", IDC_FORM2_LISTVIEW1, "ListView"},   {"ImageList1", 0, "ImageList"},
    {"Check1", IDC_FORM2_CHECK1, "CheckBox"},          {"Command1", IDC_FORM2_COMMAND1, "CommandButton"},
    {"Command2", IDC_FORM2_COMMAND2, "CommandButton"}, {"Command3", IDC_FORM2_COMMAND3, "CommandButton"}};

constexpr Control kForm3Controls[] = {
    {"Label1", IDC_FORM3_LABEL1, "Label"},
    {"Label2", IDC_FORM3_LABEL2, "Label"},
    {"Label3", IDC_FORM3_LABEL3, "Label"},
    {"Label4", IDC_FORM3_LABEL4, "Label"},
    {"Image1", IDC_FORM3_IMAGE1, "Image"},
    {"Check1", IDC_FORM3_CHECK1, "CheckBox"},
    {"Command1", IDC_FORM3_COMMAND1, "CommandButton"},
    {"Command2", IDC_FORM3_COMMAND2, "CommandButton"},
    {"Command3", IDC_FORM3_COMMAND3, "CommandButton"},
    {"Command4", IDC_FORM3_COMMAND4, "CommandButton"},
    {"Command5", IDC_FORM3_COMMAND5, "CommandButton"}};

constexpr Control kForm4Controls[] = {
    {"Label4", IDC_FORM4_LABEL4, "Label"},
    {"Label5", IDC_FORM4_LABEL5, "Label"},
    {"Check1", IDC_FORM4_CHECK1, "CheckBox"},
    {"Label1", IDC_FORM4_LABEL1, "Label"},
    {"Text1", IDC_FORM4_TEXT1, "TextBox"},
    {"Label2", IDC_FORM4_LABEL2, "Label"},
    {"Text2", IDC_FORM4_TEXT2, "TextBox"},
    {"Label3", IDC_FORM4_LABEL3, "Label"},
    {"Text3", IDC_FORM4_TEXT3, "TextBox"},
    {"Command1", IDC_FORM4_COMMAND1, "CommandButton"},
    {"Command2", IDC_FORM4_COMMAND2, "CommandButton"},
    {"Command3", IDC_FORM4_COMMAND3, "CommandButton"},
    {"Command4", IDC_FORM4_COMMAND4, "CommandButton"},
    {"Command5", IDC_FORM4_COMMAND5, "CommandButton"}};

constexpr Control kForm7Controls[] = {
    {"Label1", IDC_FORM7_LABEL1, "Label"},
    {"Label2", IDC_FORM7_LABEL2, "Label"},
    {"Frame1", IDC_FORM7_FRAME1, "Frame"},
    {"Frame2", IDC_FORM7_FRAME2, "Frame"},
    {"Label3", IDC_FORM7_LABEL3, "Label"},
    {"Label4", IDC_FORM7_LABEL3 + 1, "Label"},
    {"Label5", IDC_FORM7_LABEL3 + 2, "Label"},
    {"Label6", IDC_FORM7_LABEL3 + 3, "Label"},
    {"Label7", IDC_FORM7_LABEL3 + 4, "Label"},
    {"Label8", IDC_FORM7_LABEL3 + 5, "Label"},
    {"Label9", IDC_FORM7_LABEL3 + 6, "Label"},
    {"Label10", IDC_FORM7_LABEL3 + 7, "Label"},
    {"Label11", IDC_FORM7_LABEL3 + 8, "Label"},
    {"Label12", IDC_FORM7_LABEL3 + 9, "Label"},
    {"Label13", IDC_FORM7_LABEL3 + 10, "Label"},
    {"Label14", IDC_FORM7_LABEL3 + 11, "Label"},
    {"Command1", IDC_FORM7_COMMAND1, "CommandButton"},
    {"Command2", IDC_FORM7_COMMAND2, "CommandButton"},
    {"Command3", IDC_FORM7_COMMAND3, "CommandButton"}};

constexpr Control kAboutControls[] = {{"Image1", IDC_ABOUT_IMAGE1, "Image"},
                                      {"lblTitle", IDC_ABOUT_LBLTITLE, "Label"},
                                      {"lblCopyright", IDC_ABOUT_LBLCOPYRIGHT, "Label"},
                                      {"lblNotice", IDC_ABOUT_LBLNOTICE, "Label"},
                                      {"cmdOK", IDC_ABOUT_CMDOK, "CommandButton"}};

constexpr Control kForm6Controls[] = {{"Label1", IDC_FORM6_LABEL1, "Label"},
                                      {"Label2", IDC_FORM6_LABEL2, "Label"},
                                      {"Label3", IDC_FORM6_LABEL3, "Label"},
                                      {"TreeView1", IDC_FORM6_TREEVIEW1, "TreeView"},
                                      {"ListView1", IDC_FORM6_LISTVIEW1, "ListView"},
                                      {"Picture1", IDC_FORM6_PICTURE1, "PictureBox"},
                                      {"Picture2", IDC_FORM6_PICTURE2, "PictureBox"},
                                      {"Command1", IDC_FORM6_COMMAND1, "CommandButton"},
                                      {"Command2", IDC_FORM6_COMMAND2, "CommandButton"},
                                      {"ImageList1", 0, "ImageList"},
                                      {"imgLargeList", 0, "ImageList"},
                                      {"imgSmallList", 0, "ImageList"}};

std::vector<win32::ControlBinding> bindings(std::span<const Control> table) {
    std::vector<win32::ControlBinding> controls;
    controls.reserve(table.size());
    for (const Control& c : table) controls.push_back({c.name, c.id, c.designClass});
    return controls;
}

const ViewTogglePictures kViewToggles{IDB_LARGE_U, IDB_LARGE_D, IDB_SMALL_U, IDB_SMALL_D};

constexpr char kForm1Class[] = "Vantora.Keyloom.Form1";

}  // namespace

bool FirstCopyWindow::ours(WindowHandle w) {
    return win32::isWindowOf(win32::toHwnd(w), kForm1Class, win32::programNameOf(GetCurrentProcessId()).c_str());
}

// The main window: the keyboard picture with a windowless label on each key.
std::unique_ptr<win32::MainFormWindow> makeForm1(HINSTANCE instance) {
    auto window = std::make_unique<win32::MainFormWindow>(instance, kForm1);
    win32::WindowlessLabels labels{{}, "MS Sans Serif", true};
    for (int i = 0; i < kKeyCount; ++i) labels.names.push_back(labelName(i));
    window->setWindowlessLabels(std::move(labels));
    window->setMenus({{"mAssignments", IDM_ASSIGNMENTS},
                      {"mTop", IDM_TOP},
                      {"mPopups", IDM_POPUPS},
                      {"mMinimize", IDM_MINIMIZE},
                      {"mHints", IDM_HINTS},
                      {"mConfirm", IDM_CONFIRM},
                      {"mIndex", IDM_INDEX},
                      {"mAbout", IDM_ABOUT},
                      {"mOptions", IDM_OPTIONS},
                      {"mHelp", IDM_HELP},
                      {"umLaunch", IDM_UMLAUNCH},
                      {"umHelp", IDM_UMHELP},
                      {"mDynFnKey", IDM_DYNFNKEY},
                      {ui::indexed("mPopupCmd", 0), IDM_POPUPCMD0}},
                     {{"umTray", IDR_TRAYMENU}, {"mDynamics", IDR_DYNMENU}});
    const win32::WindowClassSpec windowClass{kForm1Class,
                                      "Keyloom",
                                      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                      IDR_MAINMENU,
                                      IDI_KEYLOOM,
                                      static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)),
                                      kPictureWidth,
                                      kPictureHeight};
    if (!window->createWindow(windowClass)) return nullptr;
    for (const auto& k : kKeyTable) window->setCaption(labelName(k.index), k.caption);
    return window;
}

// A dialog's window and its logic, which answers the window's events.
struct KeyloomForms::Dialog {
    win32::DialogWindow view;
    std::shared_ptr<void> logic;  // the form's logic object, of whichever form it is
    std::function<void()> load;

    Dialog(HINSTANCE instance, int templateId, const char* name, std::vector<win32::ControlBinding> controls)
        : view(instance, templateId, name, std::move(controls)) {}
};

KeyloomForms::KeyloomForms(Context context) : c_(std::move(context)) {}
KeyloomForms::~KeyloomForms() = default;

KeyloomForms::Dialog& KeyloomForms::fresh(std::unique_ptr<Dialog>& slot, std::unique_ptr<Dialog> next) {
    if (slot) retired_.push_back(std::move(slot));
    slot = std::move(next);
    return *slot;
}

// A new dialog of a kind, with its logic built on its window; `extra` are the ports a
// form takes beyond those every dialog has.
template <class Form, class... Extra>
KeyloomForms::Dialog& KeyloomForms::make(std::unique_ptr<Dialog>& slot, int templateId, const char* name,
                                         std::vector<win32::ControlBinding> controls, Extra&... extra) {
    Dialog& d = fresh(slot, std::make_unique<Dialog>(c_.instance, templateId, name, std::move(controls)));
    auto form = std::make_shared<Form>(c_.state, c_.store, d.view, c_.form1,
                                       DialogPorts{c_.windows, c_.help, c_.files, *this, &c_.language}, extra..., c_.helpFile);
    d.load = [logic = form.get()] { logic->Form_Load(); };
    d.logic = std::move(form);
    return d;
}

void KeyloomForms::showModal(Dialog& dialog, const Prepare& prepare) {
    dialog.view.onLoad = [this, &dialog, prepare] {
        dialog.load();
        if (prepare && dialog.view.isOpen()) prepare(dialog.view);
        settleMainWindow();
    };
    ++modalDepth_;
    dialog.view.showModal(c_.form1.hwnd());
    if (--modalDepth_ == 0) retired_.clear();
    settleMainWindow();
}

bool KeyloomForms::modalDialogOpen(bool aboveKeyList) const {
    if (!aboveKeyList && form2_ && form2_->view.isOpen()) return true;
    for (const auto* slot : {&form4_, &form6_, &form7_})
        if (*slot && (*slot)->view.isOpen()) return true;
    return form3_ && form3Modal_ && form3_->view.isOpen();
}

// A dialog that closes the one below it as it loads ends that one's modal loop, and
// ending it hands the main window its input back while the new dialog shows. The main
// window takes input only once no dialog that is modal over it stays open; the key list,
// which stays open under the dialogs its "Edit..." opens, waits for them as well.
void KeyloomForms::settleMainWindow() {
    EnableWindow(c_.form1.hwnd(), modalDialogOpen(false) ? FALSE : TRUE);
    if (form2_ && form2_->view.isOpen()) EnableWindow(form2_->view.hwnd(), modalDialogOpen(true) ? FALSE : TRUE);
}

void KeyloomForms::showForm2() {
    if (form2_ && form2_->view.isOpen()) {
        SetForegroundWindow(form2_->view.hwnd());
        return;
    }
    Dialog& d = make<Form2>(form2_, IDD_FORM2, "Form2", bindings(kForm2Controls));
    d.load = [&d, load = d.load] {
        // The pictures the rows name by number, in that order.
        for (int bitmap : {IDB_LIST_KEY, IDB_LIST_POPUP_KEY, IDB_LIST_ENTRY}) d.view.imageList("ImageList1").addBitmap(bitmap);
        load();
    };
    showModal(d, {});
}

void KeyloomForms::showForm3(bool modal) {
    if (form3_ && form3_->view.isOpen()) {
        SetForegroundWindow(form3_->view.hwnd());
        return;
    }
    Dialog& d = make<Form3>(form3_, IDD_FORM3, "Form3", bindings(kForm3Controls));
    form3Modal_ = modal;
    if (modal) {
        showModal(d, {});
        return;
    }
    d.view.onLoad = d.load;
    if (!d.view.createModeless(nullptr)) return;
    d.view.show();
    SetForegroundWindow(d.view.hwnd());
}

void KeyloomForms::showForm4(const Prepare& prepare) {
    if (form4_ && form4_->view.isOpen()) return;
    showModal(make<Form4>(form4_, IDD_FORM4, "Form4", bindings(kForm4Controls), c_.fileDialog, c_.commonModule), prepare);
}

void KeyloomForms::showAbout() {
    if (about_ && about_->view.isOpen()) {
        SetForegroundWindow(about_->view.hwnd());
        return;
    }
    Dialog& d = make<FrmAbout>(about_, IDD_FRMABOUT, kAboutFormName, bindings(kAboutControls), c_.version);
    d.view.onLoad = d.load;
    ++modalDepth_;
    d.view.showModal(nullptr);
    if (--modalDepth_ == 0) retired_.clear();
}

void KeyloomForms::showForm6(const std::string& mode) {
    if (form6_ && form6_->view.isOpen()) return;
    Dialog& d = make<Form6>(form6_, IDD_FORM6, "Form6", bindings(kForm6Controls), c_.shellFolders, c_.commonModule, kViewToggles);
    d.load = [&d, load = d.load] {
        for (int bitmap : {IDB_FOLDER, IDB_OPENFOLDER}) d.view.imageList("ImageList1").addBitmap(bitmap);
        load();
    };
    showModal(d, [mode](ui::View& form6) { Form6::prepare(form6, mode); });
}

void KeyloomForms::showForm7(const Prepare& prepare) {
    if (form7_ && form7_->view.isOpen()) return;
    showModal(make<Form7>(form7_, IDD_FORM7, "Form7", bindings(kForm7Controls)), prepare);
}

ui::View* KeyloomForms::openForm(std::string_view name) {
    for (auto* slot : {&form2_, &form3_, &form4_, &form6_, &form7_})
        if (*slot && (*slot)->view.isOpen() && (*slot)->view.formName() == name) return &(*slot)->view;
    return nullptr;
}

void KeyloomForms::enableMainWindow() { settleMainWindow(); }

}  // namespace vantora::launcher
