// The Application Explorer against fake Programs folders: the merged tree, the file
// list with its icons, the view toggles, and what OK does in either mode.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "launcher/tests/dialog_rig.h"

namespace vantora::launcher {
namespace {

using namespace vantora::launcher::testing;

constexpr char kAll[] = "C:\\All\\Programs", kMine[] = "C:\\Me\\Programs";

class Explorer : public ::testing::Test {
protected:
    std::unique_ptr<DialogRig> rig;
    TestView* f6 = nullptr;

    Explorer() { fresh(); }
    DialogRig& rr() { return *rig; }
    // Two Programs folders: Tools in both (Sub in both, empty in the second; Extra in the
    // second only), a hidden folder and a hidden file.
    void fresh() {
        rig = std::make_unique<DialogRig>();
        DialogRig& r = *rig;
        r.shellFolders.folders = {{kCsidlCommonPrograms, kAll}, {kCsidlPrograms, kMine}};
        for (const char* dir : {"Tools", "Tools\\Sub", "Games", "Empty", "Secret"})
            r.files.addEntry(std::string(kAll) + "\\" + dir, std::string(dir) == "Secret", true);
        for (const char* dir : {"Tools", "Tools\\Sub", "Tools\\Extra", "Mine"})
            r.files.addEntry(std::string(kMine) + "\\" + dir, false, true);
        for (const char* file : {"Tools\\Calc.lnk", "Tools\\Readme.txt", "Tools\\desktop.ini", "Games\\Nineteen characters.exe",
                                 "Games\\Eighteen character.exe", "Games\\README", "Tools\\Sub\\One.lnk", "Tools\\Sub\\Two.lnk"})
            r.files.addEntry(std::string(kAll) + "\\" + file, std::string(file) == "Tools\\desktop.ini", false);
        for (const char* file : {"Tools\\Notes.lnk", "Tools\\Readme.txt", "Mine\\Gone.lnk"})
            r.files.addEntry(std::string(kMine) + "\\" + file, false, false);
    }
    void open(const char* mode, bool win98 = false) {
        DialogRig& r = *rig;
        r.state.Win98OrMeFlag = win98;
        r.editKey("Fn-X");
        r.showForm6(mode);
        f6 = r.views["Form6"].get();
    }
    ui::TreeView& tree() { return f6->treeView("TreeView1"); }
    ui::ListView& list() { return f6->listView("ListView1"); }
    void clickFolder(const std::string& key) { f6->clickNode("TreeView1", tree().findNode(key)); }
    std::string stored(const std::string& path, const std::string& name) {
        return rig->store.readUser(path.c_str(), name).text;
    }
    void clickFile(const std::string& key) { f6->clickRow("ListView1", list().findRow(key)); }
};

TEST_F(Explorer, Tree_MergesTheTwoProgramsFolders_AFolderInBothShownOnce) {
    const std::string all = kAll, mine = kMine;
    struct Case {
        bool win98;
        std::vector<ui::TreeNode> nodes;
    };
    const Case cases[] = {
        {false,
         {{all + "\\Tools", "", "Tools", mine + "\\Tools", 1, 2},
          {all + "\\Tools\\Sub", all + "\\Tools", "Sub", mine + "\\Tools\\Sub", 1, 2},
          {all + "\\Games", "", "Games", "", 1, 2},
          {all + "\\Empty", "", "Empty", "", 1, 2},
          {mine + "\\Tools\\Extra", all + "\\Tools", "Extra", "", 1, 2},
          {mine + "\\Mine", "", "Mine", "", 1, 2}}},
        {true,  // only the current user's
         {{mine + "\\Tools", "", "Tools", "", 1, 2},
          {mine + "\\Tools\\Sub", mine + "\\Tools", "Sub", "", 1, 2},
          {mine + "\\Tools\\Extra", mine + "\\Tools", "Extra", "", 1, 2},
          {mine + "\\Mine", "", "Mine", "", 1, 2}}},
    };
    for (const Case& c : cases) {
        open(kExplorerPopup, c.win98);
        std::vector<ui::TreeNode> nodes;
        for (int i = 0; i < tree().nodeCount(); ++i) nodes.push_back(tree().node(i));
        EXPECT_EQ(c.nodes, nodes) << "win98 " << c.win98;
        EXPECT_EQ("ImageList1", f6->control("TreeView1").treeImages);
        EXPECT_EQ("Fn-X", f6->caption("Label3"));
        EXPECT_FALSE(f6->enabled("Command1"));
    }
    rr().shellFolders.folders.clear();  // no Programs folders at all: an empty tree, no failure
    open(kExplorerPopup);
    EXPECT_EQ(0, tree().nodeCount());
}

TEST_F(Explorer, FolderClick_ListsBothCopies_CountsAsDesigned_AndEmptiesTheIconsEachTime) {
    const std::string all = kAll, mine = kMine;
    rr().shellFolders.withoutIcon.insert(all + "\\Tools\\Calc.lnk");
    struct Case {
        std::string node;
        std::vector<ui::ListRow> rows;
        long count;
    };
    const Case cases[] = {
        {all + "\\Tools",  // hidden file skipped, the same name once, counted twice; sorted
         {{"Calc.lnk", "Calc", 0, 0, all + "\\Tools"},
          {"Notes.lnk", "Notes", 1, 1, mine + "\\Tools"},
          {"Readme.txt", "Readme", 2, 2, all + "\\Tools"}},
         4},
        {all + "\\Games",
         {{"Eighteen character.exe", "Eighteen character", 1, 1, all + "\\Games"},
          {"Nineteen characters.exe", "Nineteen charac...", 2, 2, all + "\\Games"},
          {"README", "README", 3, 3, all + "\\Games"}},
         3},
        {all + "\\Tools\\Sub",  // its merged copy is empty
         {{"One.lnk", "One", 1, 1, all + "\\Tools\\Sub"}, {"Two.lnk", "Two", 2, 2, all + "\\Tools\\Sub"}},
         2},
        {all + "\\Empty", {}, 0},
    };
    open(kExplorerApplication);
    for (const Case& c : cases) {
        clickFolder(c.node);
        std::vector<ui::ListRow> rows;
        for (int i = 0; i < list().rowCount(); ++i) rows.push_back(list().row(i));
        EXPECT_EQ(c.rows, rows) << c.node;
        EXPECT_EQ(c.count, rr().state.ExplorerFileCount) << c.node;
        const int pictures = int(c.rows.size()) - (c.node == all + "\\Tools" ? 1 : 0);
        EXPECT_EQ(pictures, f6->imageList("imgLargeList").count()) << c.node;
        EXPECT_EQ(pictures, f6->imageList("imgSmallList").count()) << c.node;
        EXPECT_FALSE(f6->enabled("Command1")) << "application mode waits for a file";
        EXPECT_TRUE(list().redraw()) << c.node;
    }
    const std::vector<std::pair<std::string, int>> firstAsked{{all + "\\Tools\\Calc.lnk", 32}, {all + "\\Tools\\Calc.lnk", 16}};
    EXPECT_EQ(firstAsked, std::vector(rr().shellFolders.iconsAsked.begin(), rr().shellFolders.iconsAsked.begin() + 2));
}

// A junction in the Start menu (to C:\\, or to a folder above it) is not walked, and
// neither is a tree deeper or wider than any Start menu.
TEST_F(Explorer, Tree_SkipsLinkedFolders_AndStopsAtItsDepthAndSize) {
    const std::string all = kAll, mine = kMine;
    std::string chain = all;
    for (int i = 1; i <= kMaxFolderDepth; ++i) chain += "\\D" + std::to_string(i);
    struct Case {
        const char* name;
        std::function<void(FakeFiles&)> make;
        int nodes;
        std::vector<std::string> shown, left;
    };
    const Case cases[] = {
        {"linked folders", [&](FakeFiles& f) {
             f.addEntry(all + "\\Disk", false, true, true);
             f.addEntry(all + "\\Disk\\Windows", false, true);
             f.addEntry(mine + "\\Tools\\Loop", false, true, true);
         }, 6, {mine + "\\Mine"}, {all + "\\Disk", mine + "\\Tools\\Loop"}},
        {"too deep", [&](FakeFiles& f) {
             for (std::string path = chain + "\\Deeper\\Still"; path != all; path.resize(path.rfind('\\')))
                 f.addEntry(path, false, true);
         }, 6 + kMaxFolderDepth, {chain}, {chain + "\\Deeper"}},
        {"too wide", [&](FakeFiles& f) {
             for (int i = 0; i < kMaxFolderNodes; ++i) f.addEntry(all + "\\Games\\G" + std::to_string(i), false, true);
         }, kMaxFolderNodes, {all + "\\Games\\G1996"}, {all + "\\Games\\G1997", mine + "\\Mine"}},
    };
    for (const Case& c : cases) {
        fresh();
        c.make(rr().files);
        open(kExplorerPopup);
        EXPECT_EQ(c.nodes, tree().nodeCount()) << c.name;
        for (const std::string& key : c.shown) EXPECT_LE(0, tree().findNode(key)) << c.name << ": " << key;
        for (const std::string& key : c.left) EXPECT_EQ(-1, tree().findNode(key)) << c.name << ": " << key;
    }
}

// A folder of more files than a list can show: the first thousand by name, whatever
// the case of their letters, and one last row that counts the rest and chooses nothing.
TEST_F(Explorer, FolderClick_ShowsTheFirstThousandByName_AndCountsTheRest) {
    const std::string big = std::string(kAll) + "\\Big", bigToo = std::string(kMine) + "\\Big";
    const auto name = [](int i) {
        char n[16];
        std::snprintf(n, sizeof n, "%s%04d.txt", i % 2 ? "File" : "file", i);
        return std::string(n);
    };
    rr().files.addEntry(big, false, true);
    rr().files.addEntry(bigToo, false, true);
    for (int i = 599; i >= 0; --i) rr().files.addEntry(big + "\\" + name(i), false, false);
    for (int i = 500; i < 1100; ++i) rr().files.addEntry(bigToo + "\\" + name(i), false, false);
    open(kExplorerApplication);
    rr().shellFolders.iconsAsked.clear();
    clickFolder(big);
    ASSERT_EQ(1001, list().rowCount());
    EXPECT_EQ(name(0), list().row(0).key);
    EXPECT_EQ(name(999), list().row(999).key);
    EXPECT_EQ((ui::ListRow{kLeftOutRow, "(100 more not shown)", 0, 0, ""}), list().row(1000));
    EXPECT_EQ(1200, rr().state.ExplorerFileCount) << "every file counts, shown or not";
    EXPECT_EQ(2000u, rr().shellFolders.iconsAsked.size()) << "icons only for the rows shown";
    clickFile(name(1));
    EXPECT_TRUE(f6->enabled("Command1"));
    f6->clickRow("ListView1", 1000);
    EXPECT_FALSE(f6->enabled("Command1")) << "the count is no file to choose";
}

TEST_F(Explorer, ViewToggles_ExactlyOnePressed_AndSmallIconsKeptAcrossFolders) {
    open(kExplorerPopup);
    const auto shows = [&](int large, int small, ui::ListViewStyle style, ui::Arrangement arrangement) {
        EXPECT_EQ(large, f6->image("Picture1").bitmap());
        EXPECT_EQ(small, f6->image("Picture2").bitmap());
        EXPECT_EQ(large == DialogRig::kToggles.LargeD ? "1" : "0", f6->tag("Picture1"));
        EXPECT_EQ(small == DialogRig::kToggles.SmallD ? "1" : "0", f6->tag("Picture2"));
        EXPECT_EQ(style, list().style());
        EXPECT_EQ(arrangement, list().arrangement());
    };
    const auto& t = DialogRig::kToggles;
    shows(t.LargeD, t.SmallU, ui::ListViewStyle::Icon, ui::Arrangement::None);
    f6->click("Picture1");  // the pressed one: the other view
    shows(t.LargeU, t.SmallD, ui::ListViewStyle::SmallIcon, ui::Arrangement::Left);
    f6->click("Picture2");  // pressed: back
    shows(t.LargeD, t.SmallU, ui::ListViewStyle::Icon, ui::Arrangement::Top);
    f6->click("Picture2");  // raised: its own view
    clickFolder(std::string(kAll) + "\\Games");
    shows(t.LargeU, t.SmallD, ui::ListViewStyle::SmallIcon, ui::Arrangement::Left);
    f6->click("Picture1");
    clickFolder(std::string(kAll) + "\\Tools");
    shows(t.LargeD, t.SmallU, ui::ListViewStyle::Icon, ui::Arrangement::Top);
}

TEST_F(Explorer, ApplicationOk_FillsAddEditCommand_ShortcutsByTheirTarget) {
    const std::string all = kAll, mine = kMine;
    rr().commonModule.shortcuts[all + "\\Tools\\Calc.lnk"] = {"C:\\Windows\\calc.exe", "", "", "", "", 0, 1};
    rr().commonModule.shortcuts[all + "\\Tools\\Sub\\One.lnk"] = {"C:\\one.exe", "", "", "", "", 0, 1};
    struct Case {
        std::string folder, file;
        const char *text1, *text2, *text3;
    };
    const Case cases[] = {
        {all + "\\Tools", "Readme.txt", "Readme", "C:\\All\\Programs\\Tools\\Readme.txt", "C:\\All\\Programs\\Tools"},
        {all + "\\Tools", "Calc.lnk", "Calc", "C:\\Windows\\calc.exe", "C:\\Windows"},
        {all + "\\Tools", "Notes.lnk", "Notes", "", ""},  // in the merged copy, and unresolvable
        {all + "\\Tools\\Sub", "One.lnk", "One", "C:\\one.exe", "C:\\"},  // a drive root is no bare "C:"
        {all + "\\Games", "README", "README", "C:\\All\\Programs\\Games\\README", "C:\\All\\Programs\\Games"},
    };
    for (const Case& c : cases) {
        rr().editKey("Fn-X");
        rr().user = [&](const std::string& form, TestView& v) {
            if (form == "Form4") v.click("Command4");
            if (form != "Form6") return;
            f6 = &v;
            clickFolder(c.folder);
            clickFile(c.file);
            v.click("Command1");
        };
        rr().showForm4({});
        TestView& f4 = *rr().views["Form4"];
        EXPECT_EQ(c.text1, f4.caption("Text1")) << c.file;
        EXPECT_EQ(c.text2, f4.caption("Text2")) << c.file;
        EXPECT_EQ(c.text3, f4.caption("Text3")) << c.file;
        EXPECT_TRUE(f6->closed() && !rr().state.ExplorerOpen) << c.file;
        EXPECT_EQ(0, rr().mainEnabled) << "Add/Edit Command is still open over the main window";
    }
}

TEST_F(Explorer, PopupOk_SavesAtOnceOrAsksFirst_AndAnEmptyFolderOnlyCloses) {
    const std::string all = kAll, mine = kMine, list = std::string(kPrgKey) + "\\Fn-X";
    struct Case {
        const char* name;
        const char* confirm;
        const char* storedBefore;  // nullptr: unassigned
        std::string folder;
        const char* form7Button;  // nullptr: the confirmation must not show
        bool saves;
    };
    const Case cases[] = {
        {"confirmation off", "0", "old.exe", all + "\\Tools", nullptr, true},
        {"unassigned key", "1", nullptr, all + "\\Tools", nullptr, true},
        {"the same folder again", "1", "@C:\\All\\Programs\\Tools", all + "\\Tools", nullptr, true},
        {"another command, confirmed", "1", "old.exe", all + "\\Tools", "Command1", true},
        {"another command, cancelled", "1", "old.exe", all + "\\Tools", "Command2", false},
        {"an empty folder only closes", "0", "old.exe", all + "\\Empty", nullptr, false},
    };
    for (const Case& c : cases) {
        fresh();
        DialogRig& r = rr();
        r.store.writeUser(kCfgKey, "opts5", c.confirm);
        if (c.storedBefore) r.store.writeUser(kCmdKey, "Fn-X", c.storedBefore);
        r.user = [&](const std::string& form, TestView& v) {
            if (form == "Form3") v.click("Command2");
            if (form == "Form6") {
                f6 = &v;
                clickFolder(c.folder);
                clickFile("Notes.lnk");  // a file of the merged copy: the list stays the folder's
                v.click("Command1");
            }
            if (form == "Form7") {
                EXPECT_EQ("Popup List...C:\\All\\Programs\\Tools", v.caption("Label10")) << c.name;
                EXPECT_EQ("Tools", v.caption("Label12")) << c.name;
                v.click(c.form7Button);
            }
        };
        r.editKey("Fn-X");
        r.showForm3();
        const bool confirmed = std::find(r.shown.begin(), r.shown.end(), "Form7") != r.shown.end();
        EXPECT_EQ(c.form7Button != nullptr, confirmed) << c.name;
        EXPECT_EQ(c.saves ? "@" + all + "\\Tools" : std::string(c.storedBefore), stored(kCmdKey, "Fn-X")) << c.name;
        if (c.saves) {
            EXPECT_EQ("4", stored(list, "FileCount")) << c.name;
            EXPECT_EQ("Tools", stored(kDescKey, "Fn-X")) << c.name;
            EXPECT_EQ(all + "\\Tools\\Calc.lnk", stored(list + "\\Calc", "Calc")) << c.name;
            EXPECT_EQ(mine + "\\Tools\\Readme.txt", stored(list + "\\Readme.txt", "Readme.txt"))
                << c.name << ": the second folder's copy wins";
            EXPECT_EQ(AssignedColor, r.form1.foreColor(labelName(21))) << c.name;
        }
        for (const char* form : {"Form3", "Form6", "Form7"}) EXPECT_FALSE(r.openForm(form)) << c.name << " " << form;
        EXPECT_TRUE(r.state.OpenForms.empty()) << c.name;
        EXPECT_GT(r.mainEnabled, 0) << c.name;
    }
}

TEST_F(Explorer, EscAndCancel_CloseWithoutAChange_F1OpensTopic115) {
    rr().store.writeUser(kCmdKey, "Fn-X", "old.exe");
    for (const char* how : {"Esc", "Cancel"}) {
        open(kExplorerPopup);
        clickFolder(std::string(kAll) + "\\Tools");
        EXPECT_TRUE(f6->enabled("Command1"));
        f6->raise("Form6", ui::Event::Help);
        if (std::string(how) == "Esc")
            f6->pressKey("Form6", ui::kKeyEscape);
        else
            f6->click("Command2");
        EXPECT_TRUE(f6->closed()) << how;
        EXPECT_FALSE(rr().state.ExplorerOpen) << how;
        EXPECT_EQ("old.exe", rr().store.readUser(kCmdKey, "Fn-X").text) << how;
    }
    EXPECT_EQ((FakeHelp::Topic{"K.hlp", 115}), rr().help.shown.at(0));
}

}  // namespace
}  // namespace vantora::launcher
