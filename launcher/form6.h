#pragma once
// Form6, "Application Explorer": the Start menu's Programs folders as one tree and the
// chosen folder's files with their shell icons. In popup mode a folder becomes the key's
// popup list; in application mode one file fills the Add/Edit Command dialog.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/ports/common_module.h"
#include "common/ports/shell_folders.h"
#include "launcher/form7.h"

namespace vantora::launcher {

inline constexpr std::uint32_t kForm6HelpContext = 115;
// Pictures of ImageList1, the tree's.
inline constexpr int kFolderPicture = 1;
inline constexpr int kOpenFolderPicture = 2;
// Icon sizes in pixels.
inline constexpr int kLargeIconPixels = 32;
inline constexpr int kSmallIconPixels = 16;
// Row texts longer than this are cut to kRowTextKept characters and "...".
inline constexpr std::size_t kRowTextLongest = 18;
inline constexpr std::size_t kRowTextKept = 15;
// The walk of the Programs folders goes no deeper and adds no more folders than this:
// a Start menu is a few levels deep and some hundred folders wide, and a tree beyond
// that is a disk or a loop linked into it.
inline constexpr int kMaxFolderDepth = 12;
inline constexpr int kMaxFolderNodes = 2000;
// The key of the list's last row when files were left out: no file name holds a '*'.
inline constexpr char kLeftOutRow[] = "*";

// The pictures of the two view toggles (ImageList2's LargeU, LargeD, SmallU, SmallD), as
// the resource script numbers them.
struct ViewTogglePictures {
    int LargeU = 0, LargeD = 0, SmallU = 0, SmallD = 0;
};

class Form6 : public LauncherDialog {
public:
    Form6(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
          ShellFoldersPort& shell, CommonModulePort& commonModule, const ViewTogglePictures& toggles,
          std::string helpFile);

    // What the opener does before it shows the explorer: the mode in the list's tag, OK
    // disabled, the list on the window-background colour.
    static void prepare(ui::View& form6, const std::string& mode);

    void Form_Load();
    void TreeView1_NodeClick(int node);
    void ListView1_ItemClick(int row);
    void Picture1_Click();
    void Picture2_Click();
    void Command1_Click();  // OK
    void Command2_Click();  // Cancel
    void Form_Unload();

    // Subfolders of `fd` as nodes under the node keyed `key` (the top for an empty key);
    // merge: matched by name among the nodes already there instead of always added.
    // Down to kMaxFolderDepth levels below `fd`, until the tree holds kMaxFolderNodes.
    void ListFolder(const std::string& key, const std::string& fd, bool merge);
    // The folder's files taken for the list, the first of them counted as row `firstRow`;
    // the list shows them, sorted and cut to the first kMaxShownEntries, when the
    // folder (and its merged copy) have been taken.
    void ListFiles(const std::string& folder, long firstRow);
    // The file's icon at `pixels` added to `imageList`; its picture number, 0 for none.
    int DrawFileIcon(const std::string& path, const char* imageList, int pixels);

private:
    struct ListedFile {
        std::string name, folder;
    };

    void walkFolder(const std::string& key, const std::string& fd, bool merge, int depth);
    void showListedFiles();
    bool popupMode() const;
    void showView(bool large);
    void applicationOk();
    void popupOk();

    ShellFoldersPort& shell_;
    CommonModulePort& commonModule_;
    ViewTogglePictures toggles_;
    // Each node by its parent's key and its text, for the merge of the second folder.
    std::map<std::pair<std::string, std::string>, int> nodeAt_;
    std::vector<ListedFile> listed_;
};

// A file row's text: the name less its extension, cut to 15 characters and "..." when
// longer than 18.
std::string fileRowText(const std::string& fileName);

}  // namespace vantora::launcher
