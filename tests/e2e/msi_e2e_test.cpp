// The installer packages in a fresh prefix of their own, as a maker's image and update
// channel use them: a silent install, the programs from the installed folder with the
// installed stand-ins, a repair, a major upgrade, a refused downgrade and the uninstall.
// The cases run in the order written; each starts from what the one before left.
#include <windows.h>
#include <msi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accessibility/win32/resource.h"
#include "common/version.h"
#include "standins/firmware/tool/fwext_service.h"
#include "standins/hotkey-service/hotkey_service_protocol.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::testing;
using vantora::launcher::kCmdKey;

constexpr char kUtilitiesUpgradeCode[] = "{4FCDEC5B-D68F-4BDC-99B3-9177EB94A82C}";
constexpr char kNotebookUpgradeCode[] = "{82942CCA-40FA-4E97-803C-04E989DA45A9}";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kAssignment[] = "Fn-B";  // a user's key assignment, never the package's

// The build folder holds the packages; the test-packages folder the same of a higher version.
std::string buildFolder() { return programFolder().substr(0, programFolder().rfind('\\')); }
std::string package(const char* name) { return buildFolder() + "\\" + name; }
const std::string kUtilities = package(VANTORA_UTILITIES_MSI);
const std::string kNotebook = package(VANTORA_NOTEBOOK_MSI);
const std::string kNextUtilities = package("test-packages\\" VANTORA_NEXT_UTILITIES_MSI);

std::string installedFolder() {
    char dir[MAX_PATH] = {};
    ExpandEnvironmentStringsA("%ProgramFiles%\\Vantora", dir, MAX_PATH);
    return dir;
}
std::string installed(const char* file) { return installedFolder() + "\\Utilities\\" + file; }

DWORD msiexec(const std::string& arguments) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return runForOutput(std::string(system) + "\\msiexec.exe", arguments + " /qn", 300000).exitCode;
}

// What Add/Remove Programs shows of an installed product; empty when it has none.
std::string productInfo(const std::string& code, const char* property) {
    char text[MAX_PATH] = {};
    DWORD size = sizeof text;
    return MsiGetProductInfoA(code.c_str(), property, text, &size) == ERROR_SUCCESS ? text : "";
}

struct Product {
    std::string code, version;
};
std::vector<Product> productsOf(const char* upgradeCode) {
    std::vector<Product> found;
    char code[39] = {};
    for (DWORD i = 0; MsiEnumRelatedProductsA(upgradeCode, 0, i, code) == ERROR_SUCCESS; ++i)
        found.push_back({code, productInfo(code, INSTALLPROPERTY_VERSIONSTRING)});
    return found;
}

bool sameFile(const std::string& a, const std::string& b) {
    const std::string bytes = fileText(a);
    return !bytes.empty() && bytes == fileText(b);
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Every file below a folder, for a message that names what was left behind.
void filesBelow(const std::string& folder, std::vector<std::string>* out) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            filesBelow(folder + "\\" + name, out);
        else
            out->push_back(folder + "\\" + name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

std::string startMenuShortcut(const char* name) {
    for (int folder : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        char dir[MAX_PATH] = {};
        SHGetSpecialFolderPathA(nullptr, dir, folder, FALSE);
        const std::string link = std::string(dir) + "\\Vantora\\" + name + ".lnk";
        if (exists(link)) return link;
    }
    return {};
}

// The command line a Run value starts at log-on, as that value holds it.
bool startFromRunValue(const char* name, ChildProcess* process) {
    std::string command = readText(HKEY_LOCAL_MACHINE, kRunKey, name);
    if (command.size() < 2 || command.front() != '"') return false;
    return process->start(command.substr(1, command.find('"', 1) - 1));
}

TEST(Packages, InstallBoth_ProgramsRunFromTheInstalledFolder_AndFnKeyLaunchesThroughTheStandIns) {
    ASSERT_TRUE(productsOf(kUtilitiesUpgradeCode).empty()) << "the prefix must be fresh";
    ASSERT_EQ(0u, msiexec("/i " + quoted(kNotebook)));
    ASSERT_EQ(0u, msiexec("/i " + quoted(kUtilities) + " ADDLOCAL=Programs,Language.de"));

    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), vantora::fwext::serviceState()) << "the driver started on install";
    const auto products = productsOf(kUtilitiesUpgradeCode);
    ASSERT_EQ(1u, products.size());
    EXPECT_EQ("Vantora", productInfo(products[0].code, INSTALLPROPERTY_PUBLISHER));
    EXPECT_EQ(VANTORA_VERSION_TEXT, products[0].version);
    EXPECT_NE("", productInfo(products[0].code, INSTALLPROPERTY_PRODUCTICON)) << "Add/Remove Programs' icon";
    EXPECT_EQ(installed("Keyloom32.hlp"), productInfo(products[0].code, INSTALLPROPERTY_HELPLINK));
    EXPECT_EQ(quoted(installed("Keyloom.exe")), readText(HKEY_LOCAL_MACHINE, kRunKey, "Keyloom"));
    EXPECT_EQ(quoted(installed("VHotkey.exe")), readText(HKEY_LOCAL_MACHINE, kRunKey, "VHotkey"));
    for (const char* name : {"Keyloom", "BASTIONE", "MERIDALE"})
        EXPECT_NE("", startMenuShortcut(name)) << name << " has no Start-menu shortcut under Vantora";
    for (const char* file : {"Keyloom.dll", "Keyloom32.hlp"})
        EXPECT_TRUE(sameFile(programFolder() + "\\languages\\de\\" + file, installed(file)))
            << file << ": the chosen language's, beside the programs";

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string log = std::string(temp) + "msi-probe.log";  // no spaces: the probe takes it unquoted
    DeleteFileA(log.c_str());
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-A", quoted(programPath("probe_app.exe")) + " --log " + log + " pressed");
    ChildProcess service, keyloom;
    ASSERT_TRUE(startFromRunValue("VHotkey", &service));
    ASSERT_TRUE(waitFor([] { return FindWindowA(vantora::hotkey::kWindowClass, nullptr) != nullptr; }, 30000));
    ASSERT_TRUE(startFromRunValue("Keyloom", &keyloom));
    HWND window = nullptr;
    ASSERT_TRUE(waitFor([&] { return (window = publishedWindow()) != nullptr && IsWindowVisible(window); }, 60000));

    keys({VK_SCROLL}, 'A');  // Fn+A: the service's default Fn key is Scroll Lock
    EXPECT_TRUE(waitFor([&] { return fileLines(log) == std::vector<std::string>{"pressed"}; }, 30000))
        << "Fn-A's command did not start";

    // MERIDALE ends at once with a message unless it binds the common module beside it.
    ChildProcess meridale;
    ASSERT_TRUE(meridale.start(installed("MERIDALE.exe")));
    HWND dialog = nullptr;
    EXPECT_TRUE(waitFor([&] { return (dialog = dialogOf(meridale.id(), "", IDC_CHKSTICKYKEY)) != nullptr; }, 30000))
        << "MERIDALE's dialog from the installed folder";
    if (dialog) SendMessageTimeoutA(GetDlgItem(dialog, IDC_CANCEL), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_TRUE(meridale.ended(15000));

    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(FindWindowA(vantora::hotkey::kWindowClass, nullptr), WM_CLOSE, 0, 0);
    EXPECT_TRUE(keyloom.ended(15000));
    EXPECT_TRUE(service.ended(15000));
    endProcessesNamed({"probe_app.exe"});
    DeleteFileA(log.c_str());
}

// What "msiexec /fa" asks of the installer. Wine's msiexec leaves /f unimplemented (a
// product code is ignored, a package path taken for a product code): the test asks msi.dll.
TEST(Packages, Repair_RestoresADeletedProgram) {
    ASSERT_TRUE(DeleteFileA(installed("MERIDALE.exe").c_str()));
    const auto products = productsOf(kUtilitiesUpgradeCode);
    ASSERT_EQ(1u, products.size());
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    EXPECT_EQ(0u, MsiReinstallProductA(products[0].code.c_str(), REINSTALLMODE_FILEREPLACE));
    EXPECT_TRUE(sameFile(programPath("MERIDALE.exe"), installed("MERIDALE.exe")));
}

TEST(Packages, HigherVersion_UpgradesInPlace_KeepingAssignments_AndAnOlderOneIsRefused) {
    writeText(HKEY_CURRENT_USER, kCmdKey, kAssignment, "notepad.exe");
    {
        std::ofstream spoiled(installed("BASTIONE.exe"), std::ios::binary | std::ios::trunc);
        spoiled << "not the program";
    }
    EXPECT_EQ(0u, msiexec("/i " + quoted(kNextUtilities)));
    const auto products = productsOf(kUtilitiesUpgradeCode);
    ASSERT_EQ(1u, products.size()) << "one entry in the installed products";
    EXPECT_EQ(VANTORA_NEXT_VERSION, products[0].version);
    EXPECT_TRUE(sameFile(programPath("BASTIONE.exe"), installed("BASTIONE.exe"))) << "files replaced";
    EXPECT_EQ("notepad.exe", readText(HKEY_CURRENT_USER, kCmdKey, kAssignment));

    EXPECT_NE(0u, msiexec("/i " + quoted(kUtilities))) << "a downgrade must be refused";
    ASSERT_EQ(1u, productsOf(kUtilitiesUpgradeCode).size());
    EXPECT_EQ(VANTORA_NEXT_VERSION, productsOf(kUtilitiesUpgradeCode)[0].version);
}

TEST(Packages, UninstallBoth_LeavesNoFileNorValue_ButKeepsAssignments) {
    writeText(HKEY_CURRENT_USER, kCmdKey, kAssignment, "notepad.exe");
    writeDword(HKEY_CURRENT_USER, "Software\\Vantora", "Keyloom", 0x1234);  // as a launcher that crashed left it
    EXPECT_EQ(0u, msiexec("/x " + quoted(kNextUtilities)));
    EXPECT_EQ(0u, msiexec("/x " + quoted(kNotebook)));

    std::vector<std::string> left;
    filesBelow(installedFolder(), &left);
    EXPECT_EQ(std::vector<std::string>{}, left);
    EXPECT_TRUE(productsOf(kUtilitiesUpgradeCode).empty());
    EXPECT_TRUE(productsOf(kNotebookUpgradeCode).empty());
    const struct {
        HKEY root;
        const char *key, *name;
    } values[] = {
        {HKEY_LOCAL_MACHINE, kRunKey, "Keyloom"},
        {HKEY_LOCAL_MACHINE, kRunKey, "VHotkey"},
        {HKEY_LOCAL_MACHINE, "Software\\Vantora\\Utilities", "StartMenu"},
        {HKEY_CURRENT_USER, "Software\\Vantora", "Keyloom"},  // the launcher's published window
    };
    for (const auto& v : values) {
        DWORD type = 0;
        Bytes data;
        EXPECT_FALSE(readValue(v.root, v.key, v.name, &type, &data)) << v.key << "\\" << v.name;
    }
    EXPECT_EQ("", startMenuShortcut("Keyloom"));
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_FALSE(exists(std::string(system) + "\\drivers\\fwext.sys"));
    EXPECT_EQ(0u, vantora::fwext::serviceState()) << "the driver's service";
    EXPECT_FALSE(static_cast<bool>(openKey(HKEY_LOCAL_MACHINE, vantora::fwext::kServiceKey)))
        << "the service key with the simulated BIOS state";
    EXPECT_EQ("notepad.exe", readText(HKEY_CURRENT_USER, kCmdKey, kAssignment)) << "a user's assignment";
}

}  // namespace
