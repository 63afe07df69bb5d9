#include "launcher/win32/forms.h"

#include "common/win32/window_identity.h"
#include "launcher/form1.h"
#include "launcher/form_controls.h"
#include "launcher/key_table.h"
#include "launcher/win32/resource.h"

namespace vantora::launcher {

namespace {

using win32::ControlBinding;

// Each dialog's controls, in the order its portable list declares them, bound to their
// template ids.
std::vector<ControlBinding> form2Controls() {
    return ui::bindIds<ControlBinding>(kForm2Controls, {IDC_FORM2_LISTVIEW1, 0, IDC_FORM2_CHECK1, IDC_FORM2_COMMAND1,
                                                        IDC_FORM2_COMMAND2, IDC_FORM2_COMMAND3});
}

std::vector<ControlBinding> form3Controls() {
    return ui::bindIds<ControlBinding>(
        kForm3Controls, {IDC_FORM3_LABEL1, IDC_FORM3_LABEL2, IDC_FORM3_LABEL3, IDC_FORM3_LABEL4, IDC_FORM3_IMAGE1,
                         IDC_FORM3_CHECK1, IDC_FORM3_COMMAND1, IDC_FORM3_COMMAND2, IDC_FORM3_COMMAND3, IDC_FORM3_COMMAND4,
                         IDC_FORM3_COMMAND5});
}

std::vector<ControlBinding> form4Controls() {
    return ui::bindIds<ControlBinding>(
        kForm4Controls, {IDC_FORM4_LABEL4, IDC_FORM4_LABEL5, IDC_FORM4_CHECK1, IDC_FORM4_LABEL1, IDC_FORM4_TEXT1,
                         IDC_FORM4_LABEL2, IDC_FORM4_TEXT2, IDC_FORM4_LABEL3, IDC_FORM4_TEXT3, IDC_FORM4_COMMAND1,
                         IDC_FORM4_COMMAND2, IDC_FORM4_COMMAND3, IDC_FORM4_COMMAND4, IDC_FORM4_COMMAND5});
}

// Label3 to Label14 follow one another in the template.
std::vector<ControlBinding> form7Controls() {
    constexpr int l3 = IDC_FORM7_LABEL3;
    return ui::bindIds<ControlBinding>(
        kForm7Controls, {IDC_FORM7_LABEL1, IDC_FORM7_LABEL2, IDC_FORM7_FRAME1, IDC_FORM7_FRAME2, l3, l3 + 1, l3 + 2,
                         l3 + 3, l3 + 4, l3 + 5, l3 + 6, l3 + 7, l3 + 8, l3 + 9, l3 + 10, l3 + 11, IDC_FORM7_COMMAND1,
                         IDC_FORM7_COMMAND2, IDC_FORM7_COMMAND3});
}

std::vector<ControlBinding> aboutControls() {
    return ui::bindIds<ControlBinding>(kAboutControls, {IDC_ABOUT_IMAGE1, IDC_ABOUT_LBLTITLE, IDC_ABOUT_LBLCOPYRIGHT,
                                                        IDC_ABOUT_LBLNOTICE, IDC_ABOUT_CMDOK});
}

std::vector<ControlBinding> form6Controls() {
    return ui::bindIds<ControlBinding>(
        kForm6Controls, {IDC_FORM6_LABEL1, IDC_FORM6_LABEL2, IDC_FORM6_LABEL3, IDC_FORM6_TREEVIEW1, IDC_FORM6_LISTVIEW1,
                         IDC_FORM6_PICTURE1, IDC_FORM6_PICTURE2, IDC_FORM6_COMMAND1, IDC_FORM6_COMMAND2, 0, 0, 0});
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
    window->setMenus(ui::bindIds<win32::MenuBinding>(kForm1Menus, {IDM_ASSIGNMENTS, IDM_TOP, IDM_POPUPS, IDM_MINIMIZE,
                                                                 IDM_HINTS, IDM_CONFIRM, IDM_INDEX, IDM_ABOUT, IDM_OPTIONS,
                                                                 IDM_HELP, IDM_UMLAUNCH, IDM_UMHELP, IDM_DYNFNKEY,
                                                                 IDM_POPUPCMD0}),
                     ui::bindIds<win32::PopupMenuBinding>(kForm1PopupMenus, {IDR_TRAYMENU, IDR_DYNMENU}));
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
    void (*loadLogic)(void* logic) = nullptr;
    std::function<void()> load = [this] { loadLogic(logic.get()); };

    Dialog(HINSTANCE instance, int templateId, const char* name, std::vector<win32::ControlBinding> controls)
        : view(instance, templateId, name, std::move(controls)) {}
};

KeyloomForms::KeyloomForms(Context context) : c_(std::move(context)) {}
KeyloomForms::~KeyloomForms() = default;

KeyloomForms::Dialog& KeyloomForms::fresh(std::unique_ptr<Dialog>& slot, int templateId, const char* name,
                                          std::vector<win32::ControlBinding> controls) {
    if (slot) retired_.push_back(std::move(slot));
    slot = std::make_unique<Dialog>(c_.instance, templateId, name, std::move(controls));
    return *slot;
}

// A new dialog of a kind, with its logic built on its window; `extra` are the ports a
// form takes beyond those every dialog has. Only the form's construction and its load
// handler's call depend on the kind: the rest is shared by every kind.
template <class Form, class... Extra>
KeyloomForms::Dialog& KeyloomForms::make(std::unique_ptr<Dialog>& slot, int templateId, const char* name,
                                         std::vector<win32::ControlBinding> controls, Extra&... extra) {
    Dialog& d = fresh(slot, templateId, name, std::move(controls));
    d.logic = std::make_shared<Form>(c_.state, c_.store, d.view, c_.form1,
                                     DialogPorts{c_.windows, c_.help, c_.files, *this, &c_.language}, extra..., c_.helpFile);
    d.loadLogic = [](void* logic) { static_cast<Form*>(logic)->Form_Load(); };
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
    Dialog& d = make<Form2>(form2_, IDD_FORM2, "Form2", form2Controls());
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
    Dialog& d = make<Form3>(form3_, IDD_FORM3, "Form3", form3Controls());
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
    showModal(make<Form4>(form4_, IDD_FORM4, "Form4", form4Controls(), c_.fileDialog, c_.commonModule), prepare);
}

void KeyloomForms::showAbout() {
    if (about_ && about_->view.isOpen()) {
        SetForegroundWindow(about_->view.hwnd());
        return;
    }
    Dialog& d = make<FrmAbout>(about_, IDD_FRMABOUT, kAboutFormName, aboutControls(), c_.version);
    d.view.onLoad = d.load;
    ++modalDepth_;
    d.view.showModal(nullptr);
    if (--modalDepth_ == 0) retired_.clear();
}

void KeyloomForms::showForm6(const std::string& mode) {
    if (form6_ && form6_->view.isOpen()) return;
    Dialog& d = make<Form6>(form6_, IDD_FORM6, "Form6", form6Controls(), c_.shellFolders, c_.commonModule, kViewToggles);
    d.load = [&d, load = d.load] {
        for (int bitmap : {IDB_FOLDER, IDB_OPENFOLDER}) d.view.imageList("ImageList1").addBitmap(bitmap);
        load();
    };
    showModal(d, [mode](ui::View& form6) { Form6::prepare(form6, mode); });
}

void KeyloomForms::showForm7(const Prepare& prepare) {
    if (form7_ && form7_->view.isOpen()) return;
    showModal(make<Form7>(form7_, IDD_FORM7, "Form7", form7Controls()), prepare);
}

ui::View* KeyloomForms::openForm(std::string_view name) {
    for (auto* slot : {&form2_, &form3_, &form4_, &form6_, &form7_})
        if (*slot && (*slot)->view.isOpen() && (*slot)->view.formName() == name) return &(*slot)->view;
    return nullptr;
}

void KeyloomForms::enableMainWindow() { settleMainWindow(); }

}  // namespace vantora::launcher
