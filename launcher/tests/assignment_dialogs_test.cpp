// The roads through Assignment Type, Add/Edit Command and the confirmation, as a user
// takes them, and what each leaves in the store.
#include <gtest/gtest.h>

#include <map>

#include "launcher/tests/dialog_rig.h"

namespace vantora::launcher {
namespace {

using namespace vantora::launcher::testing;

class AssignmentDialogs : public ::testing::Test {
protected:
    std::unique_ptr<DialogRig> rig = std::make_unique<DialogRig>();
    DialogRig& r() { return *rig; }
    void fresh() { rig = std::make_unique<DialogRig>(); }
    void assign(const std::string& key, const std::string& command, const std::string& description,
                const std::string& directory) {
        r().store.writeUser(kCmdKey, key, command);
        r().store.writeUser(kDescKey, key, description);
        r().store.writeUser(kCwdKey, key, directory);
    }
    void confirmation(bool on) { r().store.writeUser(kCfgKey, "opts5", on ? "1" : "0"); }
    std::string stored(const char* path, const std::string& key) { return r().store.readUser(path, key).text; }
    bool assigned(const std::string& key) { return r().store.readUser(kCmdKey, key).exists(); }
    // The user edits Form4's fields, then presses a button there and one in Form7.
    void edit(const std::string& command, const std::string& description, const char* form4Button,
              const char* form7Button = "Command1") {
        r().user = [=](const std::string& form, TestView& v) {
            if (form == "Form4") {
                v.setCaption("Text2", command);
                v.setCaption("Text1", description);
                v.click(form4Button);
            } else if (form == "Form7") {
                v.click(form7Button);
            }
        };
    }
};

TEST_F(AssignmentDialogs, DirectRoad_ConfirmationDecidesBetweenWritingAtOnceAndAsking) {
    struct Case {
        const char* name;
        bool confirm, assignedBefore;
        const char* newCommand;
        const char* form7Button;  // nullptr: the confirmation must not show
        const char* storedAfter;  // nullptr: no command stored
    };
    const Case cases[] = {
        {"new key, confirmation on: never confirmed", true, false, "calc.exe", nullptr, "calc.exe"},
        {"confirmation off rewrites at once", false, true, "calc.exe", nullptr, "calc.exe"},
        {"changed field, confirmed", true, true, "calc.exe", "Command1", "calc.exe"},
        {"changed field, cancelled", true, true, "calc.exe", "Command2", "old.exe"},
        {"unchanged fields write nothing", true, true, "old.exe", nullptr, "old.exe"},
        {"empty command without confirmation", false, true, "", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        fresh();
        confirmation(c.confirm);
        if (c.assignedBefore) assign("Fn-A", "old.exe", "Old", "C:\\Old");
        r().editKey("Fn-A");
        edit(c.newCommand, c.assignedBefore ? "Old" : "New", "Command1", c.form7Button ? c.form7Button : "");
        r().showForm3();
        r().views["Form3"]->click("Command1");
        const bool confirmed = std::find(r().shown.begin(), r().shown.end(), "Form7") != r().shown.end();
        EXPECT_EQ(c.form7Button != nullptr, confirmed) << c.name;
        EXPECT_EQ(c.storedAfter != nullptr, assigned("Fn-A")) << c.name;
        if (c.storedAfter) { EXPECT_EQ(c.storedAfter, stored(kCmdKey, "Fn-A")) << c.name; }
        for (const char* form : {"Form3", "Form4", "Form7"})
            EXPECT_TRUE(!r().openForm(form)) << c.name << ": " << form << " is still open";
        EXPECT_TRUE(r().state.OpenForms.empty()) << c.name;
        EXPECT_EQ("", ConfirmSource(r().form1)) << c.name;
    }
}

TEST_F(AssignmentDialogs, Form4_FieldsFromTheStore_AndTheSwitchWrittenAtOnce) {
    assign("Fn-B", "app.exe", "", "C:\\A");
    r().store.writeUser(kOptsKey, "Fn-B", "0");
    r().editKey("Fn-B");
    r().user = [](const std::string&, TestView&) {};
    r().showForm3();
    r().views["Form3"]->click("Command1");
    TestView& f4 = *r().views["Form4"];
    EXPECT_EQ("app.exe", f4.caption("Text2"));
    EXPECT_EQ("C:\\A", f4.caption("Text3"));
    EXPECT_EQ("Fn-B", f4.caption("Label5"));
    EXPECT_EQ(ui::kChecked, f4.value("Check1")) << "an empty description keeps the box checked";
    EXPECT_FALSE(r().openForm("Form3")) << "Form4 closes Form3 as it loads";

    f4.click("Check1");
    f4.click("Command2");  // Cancel
    EXPECT_EQ("0", stored(kOptsKey, "Fn-B")) << "the switch takes effect at once";
    EXPECT_EQ("app.exe", stored(kCmdKey, "Fn-B"));

    // With a description the stored switch decides; a missing ini\opts is made with "0" for every key.
    fresh();
    assign("Fn-C", "c.exe", "Cee", "");
    r().editKey("Fn-C");
    r().showForm4({});
    EXPECT_EQ(ui::kChecked, r().views["Form4"]->value("Check1"));
    EXPECT_EQ("0", stored(kOptsKey, "Fn-A"));
    EXPECT_EQ("1", stored(kOptsKey, "Fn-C"));
}

TEST_F(AssignmentDialogs, Browse_FillsTheFields_ResolvesShortcuts_AndCancelKeepsThem) {
    r().commonModule.shortcuts["C:\\Links\\Tool.lnk"] = {"C:\\Tools\\tool.exe", "", "", "", "", 0, 1};
    r().commonModule.shortcuts["C:\\Links\\Root.lnk"] = {"C:\\tool.exe", "", "", "", "", 0, 1};
    struct Case {
        std::optional<OpenFileChoice> choice;
        const char *text1, *text2, *text3;
    };
    const Case cases[] = {
        {OpenFileChoice{"C:\\Apps\\run.exe", "run.exe"}, "run.exe", "C:\\Apps\\run.exe", "C:\\Apps"},
        {OpenFileChoice{"C:\\run.exe", "run.exe"}, "run.exe", "C:\\run.exe", "C:\\"},
        {OpenFileChoice{"C:\\Links\\Root.lnk", "Root.lnk"}, "tool.exe", "C:\\tool.exe", "C:\\"},
        {OpenFileChoice{"C:\\Links\\Tool.lnk", "Tool.lnk"}, "tool.exe", "C:\\Tools\\tool.exe", "C:\\Tools"},
        {OpenFileChoice{"C:\\Links\\Gone.lnk", "Gone.lnk"}, "", "", "C:\\Tools"},  // unresolved: Text3 stays
        {std::nullopt, "", "", "C:\\Tools"},                                          // dismissed: nothing changes
    };
    r().editKey("Fn-A");
    r().showForm4({});
    TestView& f4 = *r().views["Form4"];
    for (const Case& c : cases) {
        if (c.choice)
            r().fileDialog.choose(*c.choice);
        else
            r().fileDialog.cancelNext();
        f4.click("Command3");
        EXPECT_EQ(c.text1, f4.caption("Text1")) << c.text2;
        EXPECT_EQ(c.text2, f4.caption("Text2")) << c.text2;
        EXPECT_EQ(c.text3, f4.caption("Text3")) << c.text2;
    }
    EXPECT_EQ(kBrowserTitle, r().fileDialog.requests.at(0).title);
    EXPECT_EQ(kBrowserFilter, r().fileDialog.requests.at(0).filter);
}

TEST_F(AssignmentDialogs, Clear_UnassignedWritesNothing_ConfirmedShowsNone_CancelKeepsTheKey) {
    r().editKey("Fn-A");
    r().showForm3();
    r().views["Form3"]->click("Command3");
    EXPECT_FALSE(r().openForm("Form3"));
    EXPECT_EQ(1, r().mainEnabled);
    EXPECT_EQ(0, r().reg.callCount(RegOp::SetValueEx));

    assign("Fn-A", "@C:\\Lists", "Lists", "");
    for (const char* button : {"Command2", "Command1"}) {
        confirmation(true);
        r().editKey("Fn-A");
        r().user = [&](const std::string& form, TestView& v) {
            if (form != "Form7") return;
            EXPECT_EQ("none", v.caption("Label10"));
            EXPECT_EQ("Popup List...C:\\Lists", v.caption("Label4"));
            v.click(button);
        };
        r().showForm3();
        r().views["Form3"]->click("Command3");
        EXPECT_EQ(std::string(button) == "Command2", assigned("Fn-A")) << button;
    }

    // Without confirmation the key is cleared at once and the picture follows.
    assign("Fn-A", "a.exe", "", "");
    confirmation(false);
    r().editKey("Fn-A");
    r().user = nullptr;
    r().showForm3();
    r().views["Form3"]->click("Command3");
    EXPECT_FALSE(assigned("Fn-A"));
    EXPECT_EQ(kWhite, r().form1.foreColor(labelName(6)));
}

TEST_F(AssignmentDialogs, Form7_ShowsPreviousAndNew_HelpAndEscAsDesigned) {
    assign("Fn-A", "old.exe", "Old", "C:\\Old");
    confirmation(true);
    r().editKey("Fn-A");
    edit("new.exe", "New", "Command1", "Command3");  // Help in the confirmation, then it stays open
    r().showForm3();
    r().views["Form3"]->click("Command1");
    TestView& f7 = *r().views["Form7"];
    const std::pair<const char*, const char*> labels[] = {{"Label1", "Fn-A"},  {"Label4", "old.exe"},
                                                          {"Label6", "Old"},   {"Label8", "C:\\Old"},
                                                          {"Label10", "new.exe"}, {"Label12", "New"}};
    for (auto [label, text] : labels) EXPECT_EQ(text, f7.caption(label)) << label;
    EXPECT_EQ(105u, r().help.shown.at(0).second);
    f7.pressKey("Form7", ui::kKeyEscape);
    EXPECT_TRUE(f7.closed());
    EXPECT_EQ("old.exe", stored(kCmdKey, "Fn-A"));
}

// The explorer's road: the confirmation shows the chosen folder as a popup list and OK
// saves the list of both folders.
TEST_F(AssignmentDialogs, Form7_FromTheExplorer_SavesThePopupListOnOk) {
    assign("Fn-A", "old.exe", "Old", "");
    r().editKey("Fn-A");
    r().state.ChosenFolder = "C:\\Start\\Tools";
    r().state.MergedFolder = "C:\\Mine\\Tools";
    r().state.ChosenFolderName = "Tools";
    r().state.ExplorerFileCount = 2;
    r().files.addEntry("C:\\Start\\Tools\\Calc.lnk", false, false);
    r().files.addEntry("C:\\Mine\\Tools\\Notes.txt", false, false);
    setConfirmSource(r().form1, "Form6");
    r().user = [](const std::string& form, TestView& v) {
        if (form != "Form7") return;
        EXPECT_EQ("Popup List...C:\\Start\\Tools", v.caption("Label10"));
        EXPECT_EQ("Tools", v.caption("Label12"));
        v.click("Command1");
    };
    r().showForm7({});
    EXPECT_EQ("@C:\\Start\\Tools", stored(kCmdKey, "Fn-A"));
    EXPECT_EQ("Tools", stored(kDescKey, "Fn-A"));
    const std::string list = std::string(kPrgKey) + "\\Fn-A";
    EXPECT_EQ("2", stored(list.c_str(), "FileCount"));
    EXPECT_EQ("C:\\Start\\Tools\\Calc.lnk", stored((list + "\\Calc").c_str(), "Calc"));
    EXPECT_EQ("C:\\Mine\\Tools\\Notes.txt", stored((list + "\\Notes.txt").c_str(), "Notes.txt"));
    EXPECT_EQ("", ConfirmSource(r().form1)) << "emptied when the confirmation unloads";
}

// An Fn press while a dialog is open makes the pressed key current, as its launch needs;
// every dialog of the road still reads and writes the key it was opened for.
TEST_F(AssignmentDialogs, AnotherKeyPressedMeanwhile_EveryDialogKeepsItsOwnKey) {
    struct Case {
        const char* name;
        bool confirm, assignedBefore;
        const char* pressIn;                      // the dialog showing when Fn+B comes
        std::map<std::string, std::string> clicks;  // per dialog; Form4 first types "new.exe"
        const char* commandAfter;                 // Fn-A's; nullptr: unassigned
    };
    const Case cases[] = {
        {"Add/Edit, OK at once", false, true, "Form4", {{"Form3", "Command1"}, {"Form4", "Command1"}}, "new.exe"},
        {"Add/Edit for a new key", true, false, "Form3", {{"Form3", "Command1"}, {"Form4", "Command1"}}, "new.exe"},
        {"Add/Edit, confirmed", true, true, "Form4",
         {{"Form3", "Command1"}, {"Form4", "Command1"}, {"Form7", "Command1"}}, "new.exe"},
        {"pressed in the confirmation", true, true, "Form7",
         {{"Form3", "Command1"}, {"Form4", "Command1"}, {"Form7", "Command1"}}, "new.exe"},
        {"Clear at once", false, true, "Form3", {{"Form3", "Command3"}}, nullptr},
        {"Clear, confirmed", true, true, "Form7", {{"Form3", "Command3"}, {"Form7", "Command1"}}, nullptr},
        {"popup list from the explorer", false, true, "Form6", {{"Form3", "Command2"}, {"Form6", "Command1"}},
         "@C:\\All\\Tools"},
    };
    const std::string listB = std::string(kPrgKey) + "\\Fn-B";
    const auto fnB = [&] {
        std::vector<std::string> values;
        for (const char* path : {kCmdKey, kDescKey, kCwdKey, kOptsKey}) values.push_back(stored(path, "Fn-B"));
        values.push_back(stored(listB.c_str(), "FileCount"));
        values.push_back(stored((listB + "\\b.txt").c_str(), "b.txt"));
        return values;
    };
    const std::vector<std::string> fnBBefore{"@C:\\B", "Bee", "C:\\B", "1", "1", "C:\\B\\b.txt"};
    for (const Case& c : cases) {
        fresh();
        confirmation(c.confirm);
        if (c.assignedBefore) assign("Fn-A", "old.exe", "Old", "C:\\Old");
        assign("Fn-B", "@C:\\B", "Bee", "C:\\B");
        r().store.writeUser(kOptsKey, "Fn-B", "1");
        r().store.writeUser(listB.c_str(), "FileCount", "1");
        r().store.writeUser((listB + "\\b.txt").c_str(), "b.txt", "C:\\B\\b.txt");
        r().shellFolders.folders = {{kCsidlCommonPrograms, "C:\\All"}};
        r().files.addEntry("C:\\All\\Tools", false, true);
        r().files.addEntry("C:\\All\\Tools\\a.exe", false, false);
        r().user = [&](const std::string& form, TestView& v) {
            if (form == c.pressIn) {  // what the Fn-key message leaves behind
                r().state.CurrentKeyName = "Fn-B";
                r().state.CurrentKeyIndex = 7;
                r().state.CurrentKeyStatus = kErrorSuccess;
            }
            if (form == "Form4") v.setCaption("Text2", "new.exe");
            if (form == "Form6") v.clickNode("TreeView1", 0);
            if (auto it = c.clicks.find(form); it != c.clicks.end()) v.click(it->second);
        };
        r().editKey("Fn-A");
        r().showForm3();
        EXPECT_EQ(fnBBefore, fnB()) << c.name;
        EXPECT_EQ(c.commandAfter != nullptr, assigned("Fn-A")) << c.name;
        if (c.commandAfter) { EXPECT_EQ(c.commandAfter, stored(kCmdKey, "Fn-A")) << c.name; }
        EXPECT_TRUE(r().state.OpenForms.empty()) << c.name;
    }
}

TEST_F(AssignmentDialogs, Form2_ListsTheKeys_SkipsReservedOnes_AndExpandsPopupLists) {
    r().form1.setForeColor(labelName(2), ReservedColor);  // Fn-3
    assign("Fn-1", "a.exe", "", "");
    assign("Fn-2", "@C:\\L", "Lists", "");
    for (const char* entry : {"y", "x"})
        r().store.writeUser((std::string(kPrgKey) + "\\Fn-2\\" + entry).c_str(), entry, "C:\\L");
    r().store.writeUser(kDescKey, "Fn-4", "Only a description");
    r().store.writeUser(kCfgKey, "fIcon", "0");
    r().showForm2();
    TestView& f2 = *r().views["Form2"];
    ui::ListView& list = f2.listView("ListView1");
    const std::string five(5, ' '), entry(25, ' ');
    EXPECT_EQ(23, list.rowCount()) << "one row per key that is not reserved";
    const ui::ListRow plain[] = {{"Fn-1", five + "Fn-1", kPlainKeyPicture, 0, {}},
                                 {"Fn-2", five + "Fn-2" + five + "Lists", kPopupKeyPicture, 0, {}},
                                 {"Fn-4", five + "Fn-4" + five + "Only a description", kPlainKeyPicture, 0, {}}};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(plain[i], list.row(i)) << i;
    EXPECT_EQ(ui::ListViewStyle::Report, list.style());
    EXPECT_FALSE(f2.enabled("Command2")) << "Edit waits for a key row";

    f2.click("Check1");
    EXPECT_EQ("1", stored(kCfgKey, "fIcon"));
    EXPECT_EQ(25, list.rowCount());
    EXPECT_EQ((ui::ListRow{{}, entry + "x", kPopupEntryPicture, 0, {}}), list.row(2)) << "registry order";
    EXPECT_EQ(entry + "y", list.row(3).text);
    EXPECT_EQ("Fn-4", list.row(4).key) << "no entries under a key without a list";

    // An entry row: Edit off, no current key, a double click does nothing.
    f2.clickRow("ListView1", 2);
    f2.clickRow("ListView1", 2, true);
    EXPECT_FALSE(f2.enabled("Command2"));
    EXPECT_EQ("", r().state.CurrentKeyName);
    EXPECT_TRUE(r().form3Modes.empty());
    // A key row: Edit opens Assignment Type modally over the list, a double click modelessly instead of it.
    f2.clickRow("ListView1", 1);
    EXPECT_TRUE(f2.enabled("Command2"));
    EXPECT_EQ("Fn-2", r().state.CurrentKeyName);
    EXPECT_EQ(kErrorSuccess, r().state.CurrentKeyStatus);
    f2.click("Command2");
    f2.clickRow("ListView1", 1, true);
    EXPECT_EQ((std::vector<bool>{true, false}), r().form3Modes);
    EXPECT_TRUE(f2.closed());

    // The mode comes back with the next opening; without fIcon the list stays empty.
    r().showForm2();
    EXPECT_EQ(ui::kChecked, r().views["Form2"]->value("Check1"));
    EXPECT_EQ(25, r().views["Form2"]->listView("ListView1").rowCount());
    fresh();
    r().showForm2();
    EXPECT_EQ(0, r().views["Form2"]->listView("ListView1").rowCount());
}

}  // namespace
}  // namespace vantora::launcher
