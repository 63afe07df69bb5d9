#pragma once
// Folders as the explorer walks them, and finding the file a command names.
#include <optional>
#include <string>
#include <vector>

namespace vantora {

struct DirectoryEntry {
    std::string name;
    bool hidden = false;
    bool directory = false;
    // A junction or symbolic link: a walk down the tree that follows one may never end.
    bool reparsePoint = false;
};

class FileSystemPort {
public:
    virtual ~FileSystemPort() = default;
    // Files and folders of a folder, in the order the file system lists them.
    virtual std::vector<DirectoryEntry> listFolder(const std::string& folder) = 0;
    // The file a name leads to, looked for as CreateProcess looks for a program: a name
    // with a folder (a backslash, slash or colon in it) where it stands, returned as
    // written; a bare name in the program's own folder, the system folders and the
    // folders of PATH, returned with the folder it was found in, and never in the
    // current directory. Nothing for a folder or a name that leads nowhere.
    virtual std::optional<std::string> findFile(const std::string& name) = 0;
};

}  // namespace vantora
