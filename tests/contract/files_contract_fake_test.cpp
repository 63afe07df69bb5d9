// The contract run against the in-memory file system.
#include "common/fakes/fake_desktop.h"
#include "tests/contract/files_contract.h"

namespace vantora::contract {
namespace {

class FakeTarget : public FilesTarget {
public:
    FileSystemPort& port() override { return fake_; }
    std::string scratch() override { return "C:\\Scratch"; }
    void makeFile(const std::string& path, bool hidden) override { fake_.addEntry(path, hidden, false); }
    void makeFolder(const std::string& path) override { fake_.addEntry(path, false, true); }
    void enter(const std::string&) override {}  // the fake has no current directory
    std::pair<std::string, std::string> fileOnSearchPath() override {
        fake_.searchPath = {"C:\\Keyloom", "C:\\Windows\\system32"};
        fake_.addEntry("C:\\Windows\\system32\\notepad.exe", false, false);
        return {"notepad.exe", "C:\\Windows\\system32\\notepad.exe"};
    }

private:
    testing::FakeFiles fake_;
};

std::unique_ptr<FilesTarget> makeFake() { return std::make_unique<FakeTarget>(); }

INSTANTIATE_TEST_SUITE_P(Fake, FilesContract, ::testing::Values(&makeFake));

}  // namespace
}  // namespace vantora::contract
