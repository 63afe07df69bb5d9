#include "launcher/form6.h"

#include <set>

#include "launcher/assignments.h"
#include "launcher/launching.h"

namespace vantora::launcher {

namespace {
constexpr char kTree[] = "TreeView1";
constexpr char kList[] = "ListView1";
constexpr char kLargeIcons[] = "imgLargeList";
constexpr char kSmallIcons[] = "imgSmallList";
constexpr char kPressed[] = "1";
constexpr char kRaised[] = "0";

bool endsWith(const std::string& s, std::string_view end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// The name less its last four characters when they are a dot and a three-letter
// extension; any other name whole, rather than cut where no extension is.
std::string withoutExtension(const std::string& name) {
    return name.size() >= 4 && name[name.size() - 4] == '.' ? name.substr(0, name.size() - 4) : name;
}
}  // namespace

std::string fileRowText(const std::string& fileName) {
    const std::string text = withoutExtension(fileName);
    return text.size() > kRowTextLongest ? text.substr(0, kRowTextKept) + "..." : text;
}

Form6::Form6(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
             ShellFoldersPort& shell, CommonModulePort& commonModule, const ViewTogglePictures& toggles,
             std::string helpFile)
    : LauncherDialog(state, store, view, form1, ports, std::move(helpFile), "Form6", kForm6HelpContext,
                     &LauncherState::ExplorerOpen),
      shell_(shell), commonModule_(commonModule), toggles_(toggles) {
    onClick<Form6>({{"Picture1", &Form6::Picture1_Click},
                    {"Picture2", &Form6::Picture2_Click},
                    {"Command1", &Form6::Command1_Click},
                    {"Command2", &Form6::Command2_Click}});
    view_.on(kTree, ui::Event::Click, [this](int node) { TreeView1_NodeClick(node); });
    view_.on(kList, ui::Event::Click, [this](int row) { ListView1_ItemClick(row); });
    view_.on("Form6", ui::Event::Unload, [this] { Form_Unload(); });
}

void Form6::prepare(ui::View& form6, const std::string& mode) {
    form6.setTag(kList, mode);
    form6.setEnabled("Command1", false);
    // The design's two icon-drawing picture boxes have no place in this window: the list
    // takes its icons from its image lists, so only the list itself is coloured.
    form6.setBackColor(kList, ui::kColorWindow);
}

bool Form6::popupMode() const { return view_.tag(kList) == kExplorerPopup; }

void Form6::Form_Load() {
    loaded();
    ports_.forms.closeForm("Form3");
    view_.setCaption("Label3", key());
    view_.image("Picture1").setBitmap(toggles_.LargeD);
    view_.setTag("Picture1", kPressed);
    view_.image("Picture2").setBitmap(toggles_.SmallU);
    view_.setTag("Picture2", kRaised);
    view_.treeView(kTree).setImageList("ImageList1");
    nodeAt_.clear();
    if (state_.Win98OrMeFlag) {
        ListFolder("", shell_.shellFolderPath(kCsidlPrograms), false);
    } else {
        ListFolder("", shell_.shellFolderPath(kCsidlCommonPrograms), false);
        ListFolder("", shell_.shellFolderPath(kCsidlPrograms), true);
    }
}

void Form6::ListFolder(const std::string& key, const std::string& fd, bool merge) { walkFolder(key, fd, merge, 1); }

// Junctions and symbolic links are passed over: one to C:\ would walk the whole disk,
// and one to a folder above it would walk in a circle until the path grew too long.
void Form6::walkFolder(const std::string& key, const std::string& fd, bool merge, int depth) {
    if (fd.empty() || depth > kMaxFolderDepth) return;  // no such folder on this system, or too deep
    ui::TreeView& tree = view_.treeView(kTree);
    for (const DirectoryEntry& entry : ports_.files.listFolder(fd)) {
        if (!entry.directory || entry.hidden || entry.reparsePoint) continue;
        const std::string path = fd + "\\" + entry.name;
        if (merge) {
            if (const auto found = nodeAt_.find({key, entry.name}); found != nodeAt_.end()) {
                ui::TreeNode n = tree.node(found->second);
                n.tag = path;
                tree.updateNode(found->second, n);
                walkFolder(n.key, path, true, depth + 1);
                continue;
            }
        }
        if (tree.nodeCount() >= kMaxFolderNodes) return;
        const int added = tree.addNode({path, key, entry.name, "", kFolderPicture, kOpenFolderPicture});
        if (added < 0) continue;
        nodeAt_.emplace(std::pair{key, entry.name}, added);
        walkFolder(path, path, merge, depth + 1);
    }
}

void Form6::TreeView1_NodeClick(int index) {
    view_.setEnabled("Command1", false);
    ui::ListView& list = view_.listView(kList);
    list.setRedraw(false);
    list.setImageLists(kLargeIcons, kSmallIcons);
    list.clear();
    view_.imageList(kLargeIcons).clear();
    view_.imageList(kSmallIcons).clear();
    if (list.style() == ui::ListViewStyle::SmallIcon) {
        list.setArrangement(ui::Arrangement::Left);
    } else {
        list.setStyle(ui::ListViewStyle::Icon);
        list.setArrangement(ui::Arrangement::Top);
    }
    const ui::TreeNode node = view_.treeView(kTree).node(index);
    ListFiles(node.key, 1);
    if (!node.tag.empty()) ListFiles(node.tag, state_.ExplorerFileCount + 1);
    showListedFiles();
    if (popupMode()) {
        state_.ChosenFolder = node.key;
        state_.MergedFolder = node.tag;
        state_.ChosenFolderName = node.text;
        view_.setEnabled("Command1", true);
    } else {
        state_.ChosenFolderName = node.text;
    }
    list.setRedraw(true);
}

void Form6::ListFiles(const std::string& folder, long firstRow) {
    if (firstRow == 1) {
        state_.ExplorerFileCount = 0;
        listed_.clear();
    }
    std::set<std::string> taken;
    if (firstRow > 1)
        for (const ListedFile& f : listed_) taken.insert(f.name);
    long row = firstRow - 1;
    for (const DirectoryEntry& entry : ports_.files.listFolder(folder)) {
        if (entry.directory || entry.hidden) continue;
        state_.ExplorerFileCount = ++row;  // a same-name file of the second folder counts too
        if (firstRow > 1 && taken.count(entry.name)) continue;
        listed_.push_back({entry.name, folder});
    }
}

// Icons are drawn only for the rows shown: two shell queries a file are what a big
// folder costs.
void Form6::showListedFiles() {
    const std::size_t leftOut = keepFirstShown(listed_, [](const ListedFile& f) -> const std::string& { return f.name; });
    ui::ListView& list = view_.listView(kList);
    for (const ListedFile& f : listed_) {
        const std::string path = f.folder + "\\" + f.name;
        const int large = DrawFileIcon(path, kLargeIcons, kLargeIconPixels);
        const int small = DrawFileIcon(path, kSmallIcons, kSmallIconPixels);
        list.addRow({f.name, fileRowText(f.name), small, large, f.folder});
    }
    if (leftOut > 0) list.addRow({kLeftOutRow, leftOutText(leftOut), 0, 0, ""});
    listed_.clear();
}

int Form6::DrawFileIcon(const std::string& path, const char* imageList, int pixels) {
    const auto icon = shell_.fileIcon(path, pixels, ui::kColorWindow);
    return icon ? view_.imageList(imageList).addPicture(*icon) : 0;
}

// In popup mode the list stays the folder's whichever of its files was clicked: taking
// the row's folder would make a merged folder's list only the copy that file came from.
void Form6::ListView1_ItemClick(int index) {
    const ui::ListRow row = view_.listView(kList).row(index);
    if (row.key == kLeftOutRow) {  // no file: nothing more is chosen, and in application mode nothing at all
        if (!popupMode()) view_.setEnabled("Command1", false);
        return;
    }
    view_.setEnabled("Command1", true);
    state_.ChosenFile = row.key;
    if (!popupMode()) state_.ChosenFolder = row.tag;
}

void Form6::showView(bool large) {
    view_.image("Picture1").setBitmap(large ? toggles_.LargeD : toggles_.LargeU);
    view_.setTag("Picture1", large ? kPressed : kRaised);
    view_.image("Picture2").setBitmap(large ? toggles_.SmallU : toggles_.SmallD);
    view_.setTag("Picture2", large ? kRaised : kPressed);
    ui::ListView& list = view_.listView(kList);
    list.setStyle(large ? ui::ListViewStyle::Icon : ui::ListViewStyle::SmallIcon);
    list.setArrangement(large ? ui::Arrangement::Top : ui::Arrangement::Left);
}

// A pressed toggle switches to the other view, a raised one to its own.
void Form6::Picture1_Click() { showView(view_.tag("Picture1") != kPressed); }
void Form6::Picture2_Click() { showView(view_.tag("Picture2") == kPressed); }

void Form6::applicationOk() {
    const std::string& file = state_.ChosenFile;
    const std::string path = state_.ChosenFolder + "\\" + file;
    std::string command = path, directory = state_.ChosenFolder;
    if (endsWith(file, "lnk")) {
        ShortcutInfo info;
        ResolveShortcut(commonModule_, path, info);
        command = info.TargetPath;
        directory = command.empty() ? std::string() : workingDirectoryOf(command);
    }
    if (ui::View* form4 = ports_.forms.openForm("Form4")) {
        form4->setCaption("Text1", withoutExtension(file));
        form4->setCaption("Text2", command);
        form4->setCaption("Text3", directory);
    }
}

void Form6::popupOk() {
    const std::string stored = store_.readUser(kCmdKey, key()).text;
    const bool confirm = numericValue(store_.readUser(kCfgKey, "opts5").text) != 0;
    if (!confirm || stored.empty() || stored == "@" + state_.ChosenFolder) {
        ClearAssignment(store_, state_, key());
        SavePopupList(store_, state_, ports_.files, key(), state_.ChosenFolder, state_.MergedFolder);
        ports_.forms.closeForm("Form3");
        RefreshKeyPicture(store_, state_, form1_);
    } else {
        setConfirmSource(form1_, "Form6");
        handKeyOn();
        ports_.forms.showForm7({});
    }
}

void Form6::Command1_Click() {
    if (state_.ExplorerFileCount != 0) {
        if (popupMode())
            popupOk();
        else
            applicationOk();
    }
    view_.close();
    // Add/Edit Command (or the key list) may still be open under the explorer, modal over
    // the main window: that one stays disabled until the last of them closes.
    if (state_.OpenForms.empty()) ports_.forms.enableMainWindow();
}

void Form6::Command2_Click() { view_.close(); }

void Form6::Form_Unload() { unloaded(); }

}  // namespace vantora::launcher
