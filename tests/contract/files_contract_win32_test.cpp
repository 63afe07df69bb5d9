// The contract run against the Win32 adapter, in a scratch folder of the temporary folder.
#include <windows.h>

#include "common/win32/files_win32.h"
#include "common/win32/owners.h"
#include "tests/contract/files_contract.h"

namespace vantora::contract {
namespace {

void removeTree(const std::string& folder) {
    WIN32_FIND_DATAA data{};
    if (const win32::UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &data)); find) {
        do {
            const std::string name = data.cFileName, path = folder + "\\" + name;
            if (name == "." || name == "..") continue;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find.get(), &data));
    }
    RemoveDirectoryA(folder.c_str());
}

class Win32Target : public FilesTarget {
public:
    Win32Target() {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "VantoraFilesContract";
        removeTree(folder_);
        EXPECT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << GetLastError();
    }
    ~Win32Target() override {
        if (!entered_.empty()) SetCurrentDirectoryA(entered_.c_str());
        removeTree(folder_);
    }
    FileSystemPort& port() override { return files_; }
    std::string scratch() override { return folder_; }
    void makeFile(const std::string& path, bool hidden) override {
        const win32::UniqueFile f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(f) << path;
    }
    void makeFolder(const std::string& path) override { EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path; }
    void enter(const std::string& folder) override {
        char current[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, current);
        entered_ = current;
        EXPECT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
    }
    // This test program itself, in the program's own folder: the first on the search path.
    std::pair<std::string, std::string> fileOnSearchPath() override {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        const std::string self = path;
        return {self.substr(self.rfind('\\') + 1), self};
    }

private:
    win32::Win32Files files_;
    std::string folder_;
    std::string entered_;  // the current directory before enter()
};

std::unique_ptr<FilesTarget> makeWin32() { return std::make_unique<Win32Target>(); }

INSTANTIATE_TEST_SUITE_P(Win32, FilesContract, ::testing::Values(&makeWin32));

}  // namespace
}  // namespace vantora::contract
