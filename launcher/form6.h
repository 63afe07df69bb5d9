#pragma once
// Form6, "Application Explorer": the Start menu's Programs folders as one tree and the
// chosen folder's files with their shell icons. In popup mode a folder becomes the key's
// popup list; in application mode one file fills the Add/Edit Command dialog.
#include <string>

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
    void ListFolder(const std::string& key, const std::string& fd, bool merge);
    // The folder's files as rows, the first of them counted as row `firstRow`.
    void ListFiles(const std::string& folder, long firstRow);
    // The file's icon at `pixels` added to `imageList`; its picture number, 0 for none.
    int DrawFileIcon(const std::string& path, const char* imageList, int pixels);

private:
    bool popupMode() const;
    void showView(bool large);
    void applicationOk();
    void popupOk();

    ShellFoldersPort& shell_;
    CommonModulePort& commonModule_;
    ViewTogglePictures toggles_;
};

// A file row's text: the name less its extension, cut to 15 characters and "..." when
// longer than 18.
std::string fileRowText(const std::string& fileName);

}  // namespace vantora::launcher
