#include "launcher/form2.h"

#include "launcher/assignments.h"

namespace vantora::launcher {

namespace {
constexpr char kKeyIndent[] = "     ";
constexpr char kEntryIndent[] = "                         ";
constexpr int kColumnMarginTwips = 300;
}  // namespace

Form2::Form2(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
             std::string helpFile)
    : LauncherDialog(state, store, view, form1, ports, std::move(helpFile), "Form2", kForm2HelpContext, nullptr) {
    onClick<Form2>({{"Check1", &Form2::Check1_Click},
                    {"Command1", &Form2::Command1_Click},
                    {"Command2", &Form2::Command2_Click},
                    {"Command3", &Form2::Command3_Click}});
    view_.on("ListView1", ui::Event::Click, [this](int row) { ListView1_ItemClick(row); });
    view_.on("ListView1", ui::Event::DblClick, [this] { ListView1_DblClick(); });
    view_.on("Form2", ui::Event::Unload, [this] { Form_Unload(); });
}

void Form2::Form_Load() {
    loaded();
    const StoredString fIcon = store_.readUser(kCfgKey, "fIcon");
    if (!fIcon.exists()) return;
    if (fIcon.text == "1")
        view_.setValue("Check1", ui::kChecked);  // its Click fills the expanded list
    else
        FnKeyList();
}

void Form2::Check1_Click() {
    view_.listView("ListView1").clear();
    const bool expand = view_.value("Check1") == ui::kChecked;
    store_.writeUser(kCfgKey, "fIcon", expand ? "1" : "0");
    fill(expand);
}

void Form2::FnKeyList() { fill(false); }
void Form2::FnKeyExpandList() { fill(true); }

void Form2::fill(bool expand) {
    ui::ListView& list = view_.listView("ListView1");
    list.setStyle(ui::ListViewStyle::Report);
    list.setImageLists({}, "ImageList1");
    list.setColumnWidth(view_.bounds("ListView1").width - kColumnMarginTwips);
    // Both keys stay open for the whole fill rather than once per key and value.
    const ScopedRegKey commands = ScopedRegKey::open(store_.registry(), kHkeyCurrentUser, kCmdKey);
    const ScopedRegKey descriptions = ScopedRegKey::open(store_.registry(), kHkeyCurrentUser, kDescKey);
    const auto read = [this](const ScopedRegKey& key, const std::string& name) {
        return key ? store_.readString(key.get(), name) : StoredString{};
    };
    for (std::size_t i = 0; i < state_.KeyNames.size(); ++i) {
        const std::string& key = state_.KeyNames[i];
        if (form1_.foreColor(labelName(static_cast<int>(i))) == ReservedColor) continue;
        const StoredString command = read(commands, key);
        const StoredString description = read(descriptions, key);
        const bool popup = command.exists() && !command.text.empty() && command.text[0] == '@';
        std::string text = kKeyIndent + key;
        if (description.exists() && !description.text.empty()) text += kKeyIndent + description.text;
        list.addRow({key, text, popup ? kPopupKeyPicture : kPlainKeyPicture, 0, {}});
        if (!expand || !popup) continue;
        for (const std::string& entry : popupEntryNames(store_, key))
            list.addRow({{}, kEntryIndent + entry, kPopupEntryPicture, 0, {}});
    }
}

void Form2::ListView1_ItemClick(int row) {
    const std::string key = view_.listView("ListView1").row(row).key;
    view_.setEnabled("Command2", !key.empty());
    state_.CurrentKeyName = selectedKey_ = key;
    state_.CurrentKeyStatus = selectedStatus_ = store_.readUser(kCmdKey, key).status;
}

void Form2::editSelectedKey(bool modal) {
    state_.CurrentKeyName = selectedKey_;
    state_.CurrentKeyStatus = selectedStatus_;
    ports_.forms.showForm3(modal);
}

void Form2::ListView1_DblClick() {
    if (selectedKey_.empty()) return;
    editSelectedKey(false);
    view_.close();
}

void Form2::Command1_Click() {
    ports_.forms.enableMainWindow();
    view_.close();
}

void Form2::Command2_Click() {
    if (!selectedKey_.empty()) editSelectedKey(true);
}

void Form2::Command3_Click() { showHelp(); }

void Form2::Form_Unload() {
    ports_.forms.enableMainWindow();
    unloaded();
}

}  // namespace vantora::launcher
