// Drives the real BASTIONE.exe from outside, with the firmware driver installed as a
// kernel service, the real CORELINK.dll and the hotkey service stand-in. Keys are
// pressed on the X server's keyboard (xdotool), so that they reach the program with
// the scan codes of a keyboard, as a user's keys do; the driver is then asked what it
// holds. The lock-out is followed across a restart of the machine: the cases named
// AfterRestart run in a Wine session of their own, after the others (see CMakeLists).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/win32/firmware_device_win32.h"
#include "common/win32/os_version_win32.h"
#include "standins/firmware/tool/fwext_service.h"
#include "standins/hotkey-service/hotkey_service_protocol.h"
#include "supervisor/bios/dezez.h"
#include "supervisor/win32/resource.h"
#include "tests/e2e/driver_fixture.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::testing;
using vantora::DEZEZ;
using vantora::KeyCodeString;
namespace fwext = vantora::fwext;

constexpr char kMainCaption[] = "Supervisor Password Utility";
constexpr char kPwdCaption[] = "Supervisor Password";
constexpr char kVerifyCaption[] = "Password Verification";
constexpr char kProgramTitle[] = "BASTIONE";

// Passwords as typed (xdotool key names) and as the driver takes them. Letters that
// no registry of a fresh prefix holds in a row, so that a search for them means something.
constexpr char kTyped[] = "z q x j";
constexpr char kTypedText[] = "zqxj";
constexpr char kKeys[] = "044016045036";
constexpr char kWrongTyped[] = "k v w";
constexpr char kWrongKeys[] = "037047017";
constexpr char kElevenTyped[] = "p f m y b g z q x j v";
constexpr char kElevenText[] = "pfmybgzqxjv";
constexpr char kFirstTenKeys[] = "025033050021048034044016045036";

// The AfterRestart cases check that the lock-out run came first, in the earlier session.
constexpr char kMarkerKey[] = "Software\\Vantora\\Tests\\BASTIONE";
constexpr char kMarkerValue[] = "LockedBeforeRestart";
// Where CORELINK keeps the count, in a key that lives as long as the Wine session.
constexpr char kSessionKey[] = "Software\\Vantora\\CoreLink\\Session";
constexpr char kCountValue[] = "InvalidPwdCnt";

// ---- windows of the program

HWND dialogOf(const ChildProcess& p, const std::string& caption, int childId) {
    return vantora::testing::dialogOf(p.id(), caption, childId);
}

HWND waitForDialog(const ChildProcess& p, const std::string& caption, int childId) {
    HWND w = nullptr;
    waitFor([&] { return (w = dialogOf(p, caption, childId)) != nullptr; }, 20000);
    return w;
}

std::string answerMessage(const ChildProcess& p, const char* title, int answer = IDOK) {
    return vantora::testing::answerMessage(p.id(), title, answer);
}

bool noMessageBox(const ChildProcess& p) { return !dialogOf(p, "", IDOK) && !dialogOf(p, "", IDYES); }

// A user's click, posted: the click may open a modal dialog, which a sent one would wait for.
void click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool checked(HWND dialog, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

std::string boxText(HWND dialog) {
    char text[64] = {};
    DWORD_PTR unused = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, IDC_TXTENTERPWD), WM_GETTEXT, sizeof text,
                        reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &unused);
    return text;
}

// Keys pressed on the X server's keyboard, in xdotool's names, into the foreground
// window. Wine starts the Unix program without a process handle, so the program's
// last act, a marker file, says that every key went out.
// xdotool run with these arguments once `into` has the keyboard.
bool xdotool(HWND into, const std::string& arguments) {
    // xdotool types into the window that has the X server's focus, which Wine moves only
    // once the window's own thread has taken the activation: foreground alone is too early.
    const DWORD owner = GetWindowThreadProcessId(into, nullptr);
    const auto active = [&] {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        return GetForegroundWindow() == into && GetGUIThreadInfo(owner, &gui) && gui.hwndActive == into;
    };
    if (!waitFor(active, 10000)) {
        ADD_FAILURE() << "the window never came to the foreground";
        return false;
    }
    pumpFor(100);
    const std::string marker = "/tmp/bastione-e2e-keys-" + std::to_string(GetCurrentProcessId());
    std::string windowsMarker = "Z:" + marker;
    for (char& c : windowsMarker)
        if (c == '/') c = '\\';
    DeleteFileA(windowsMarker.c_str());
    std::string command = "Z:\\bin\\sh -c \"xdotool " + arguments + " && touch " + marker + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info)) {
        ADD_FAILURE() << "xdotool did not start: " << GetLastError();
        return false;
    }
    const vantora::win32::UniqueHandle process(info.hProcess), thread(info.hThread);
    const bool done = waitFor([&] { return GetFileAttributesA(windowsMarker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
    DeleteFileA(windowsMarker.c_str());
    if (!done) ADD_FAILURE() << "xdotool did not finish: " << arguments;
    return done;
}

bool pressKeys(HWND into, const std::string& keys) { return xdotool(into, "key --delay 40 " + keys); }

bool putOnClipboard(const std::string& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool ok = false;
    if (memory) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        ok = SetClipboardData(CF_TEXT, memory) != nullptr;
        if (!ok) GlobalFree(memory);
    }
    CloseClipboard();
    return ok;
}

std::string clipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "(clipboard busy)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) text = p;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// For the README's pictures (tools/bastione-pictures): the window's place on the
// screen goes to the signal file, and the window stays up until the file is removed.
void holdForPicture(HWND window) {
    const char* signal = std::getenv("VANTORA_BASTIONE_PICTURES");
    if (!signal) return;
    RECT r{};
    GetWindowRect(window, &r);
    std::ofstream(signal) << (r.right - r.left) << 'x' << (r.bottom - r.top) << '+' << r.left << '+' << r.top;
    waitFor([&] { return GetFileAttributesA(signal) == INVALID_FILE_ATTRIBUTES; }, 30000);
}

// ---- the machine

// The service goes at the suite's end, and the simulated BIOS state with its key.
class BastioneE2E : public DriverInstalled {
protected:
    void SetUp() override {
        DriverInstalled::SetUp();
        if (HasFatalFailure()) return;
        endProcessesNamed({"BASTIONE.exe"});
        // The wrong-password count as a machine just started has it; the case that
        // runs after a real restart must find it so by itself.
        if (clearsCount) clearInvalidCount();
        if (HWND old = FindWindowA(vantora::hotkey::kWindowClass, nullptr)) PostMessageA(old, WM_CLOSE, 0, 0);
        ASSERT_TRUE(waitFor([] { return !FindWindowA(vantora::hotkey::kWindowClass, nullptr); }, 10000));
    }
    void TearDown() override {
        endProcessesNamed({"BASTIONE.exe"});
        if (HWND w = FindWindowA(vantora::hotkey::kWindowClass, nullptr)) PostMessageA(w, WM_CLOSE, 0, 0);
        if (service.started()) {
            EXPECT_TRUE(service.ended(10000)) << "VHotkey did not end";
        }
    }

    // The count CORELINK keeps for the session; a machine that was just started has none.
    static void clearInvalidCount() {
        deleteValue(HKEY_CURRENT_USER, kSessionKey, kCountValue);
        deleteTree(HKEY_CURRENT_USER, kMarkerKey);
    }

    // The hotkey service, then BASTIONE, as the notebook starts them.
    HWND startBoth() {
        startService();
        return ::testing::Test::HasFatalFailure() ? nullptr : startBastione(bastione);
    }
    void startService() {
        ASSERT_TRUE(service.start(programPath("VHotkey.exe"), "/log \"" + folder.file("VHotkey.log") + "\""));
        ASSERT_TRUE(waitFor([] { return FindWindowA(vantora::hotkey::kWindowClass, nullptr) != nullptr; }, 20000));
    }
    // BASTIONE started, its main window up; null (and the test failed) otherwise.
    HWND startBastione(ChildProcess& p, const std::string& exe = programPath("BASTIONE.exe")) {
        if (!p.start(exe)) {
            ADD_FAILURE() << "BASTIONE.exe did not start: " << GetLastError();
            return nullptr;
        }
        HWND w = waitForDialog(p, kMainCaption, IDC_OPTREGISTERED);
        if (!w) ADD_FAILURE() << "no main window";
        return w;
    }
    void registerInDriver(const char* keys, int mode) {
        DEZEZ bios(device, os);
        bios.SupervisorPwd(KeyCodeString(keys));
        bios.SCUItem14(static_cast<std::int16_t>(mode));
        ASSERT_EQ(1, bios.SPasswordState());
    }
    bool driverMatches(const char* keys) { return DEZEZ(device, os).ChkSupervisorPwd(KeyCodeString(keys)) == -1; }
    int driverPasswordState() { return DEZEZ(device, os).SPasswordState(); }
    int driverMode() { return DEZEZ(device, os).SCUItem14(); }
    // Reads only: a check with wrong keys would count towards the driver's lock.
    bool waitForDriver(int passwordState) {
        return waitFor([&] { return driverPasswordState() == passwordState; }, 10000);
    }

    // The password dialog opened by a click on `option`, with `keys` typed and Enter.
    HWND enterPassword(HWND main, int option, const char* caption, const std::string& keys) {
        click(main, option);
        HWND dialog = waitForDialog(bastione, caption, IDC_TXTENTERPWD);
        if (!dialog) {
            ADD_FAILURE() << "no password dialog \"" << caption << "\"";
            return nullptr;
        }
        pressKeys(dialog, keys);
        return dialog;
    }
    // Both entries of a registration, the write-down note answered; the mode dialog is
    // up. `typed` looks at the first dialog before its Enter.
    HWND registerTwice(HWND main, const std::string& first, const std::string& second,
                       const std::function<void(HWND)>& typed = holdForPicture) {
        HWND dialog = enterPassword(main, IDC_OPTREGISTERED, kPwdCaption, first);
        if (dialog) {
            typed(dialog);
            pressKeys(dialog, "Return");
        }
        HWND verify = waitForDialog(bastione, kVerifyCaption, IDC_TXTENTERPWD);
        if (!dialog || !verify) {
            ADD_FAILURE() << "no verification dialog";
            return nullptr;
        }
        pressKeys(verify, second + " Return");
        EXPECT_EQ("Please write down the password.\r\nIn Case you forget it, the Rigpanel may not work.",
                  answerMessage(bastione, kPwdCaption));
        HWND mode = waitForDialog(bastione, kPwdCaption, IDC_MODE_OK);
        if (!mode) ADD_FAILURE() << "no user password mode dialog";
        return mode;
    }

    bool clearsCount = true;
    vantora::win32::Win32FirmwareDevice device;
    vantora::win32::Win32OsVersion os;
    TempFolder folder{"bastione-test"};
    ChildProcess service, bastione;
};


TEST_F(BastioneE2E, Register_TypedTwice_DriverMatchesTheKeys_ModeWrittenOnOk_PowerOffDeclined_ShownAfterRestart) {
    HWND main = startBoth();
    ASSERT_TRUE(main);
    EXPECT_TRUE(checked(main, IDC_OPTNOTREGISTERED));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_OPTABLETORUN)));

    HWND mode = registerTwice(main, kTyped, kTyped);
    ASSERT_TRUE(mode);
    EXPECT_TRUE(checked(mode, IDC_MODE_OPTABLETORUN)) << "Able to run Rigpanel is the default";
    EXPECT_FALSE(checked(mode, IDC_MODE_OPTUNABLETORUN));
    holdForPicture(mode);
    click(mode, IDC_MODE_OPTUNABLETORUN);
    EXPECT_TRUE(waitFor([&] { return checked(mode, IDC_MODE_OPTUNABLETORUN); }, 5000));
    click(mode, IDC_MODE_OK);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(mode); }, 10000));

    // The options show the answer before the password is written: the driver tells when.
    ASSERT_TRUE(waitForDriver(1));
    EXPECT_TRUE(checked(main, IDC_OPTREGISTERED) && checked(main, IDC_OPTUNABLETORUN));
    EXPECT_TRUE(driverMatches(kKeys)) << "the driver must hold the scan codes of the typed keys";
    holdForPicture(main);
    click(main, IDC_OK);
    EXPECT_EQ("You must power off your computer in order for the change to take effect.\r\n"
              "Would you like to power off your computer now?",
              answerMessage(bastione, kPwdCaption, IDNO));
    ASSERT_TRUE(bastione.ended(10000)) << "OK must end the program";
    EXPECT_EQ(0, driverMode()) << "Unable to run Rigpanel is SCUItem14 = 0";
    EXPECT_EQ(1, driverPasswordState()) << "No must not have powered off or undone anything";

    ChildProcess again;
    HWND restarted = startBastione(again);
    ASSERT_TRUE(restarted);
    EXPECT_TRUE(checked(restarted, IDC_OPTREGISTERED) && checked(restarted, IDC_OPTUNABLETORUN));
}

TEST_F(BastioneE2E, Restart_ShowsRegisteredAndTheStoredMode_OkWithoutChangeAsksNothing) {
    registerInDriver(kKeys, 0);
    HWND main = startBoth();
    ASSERT_TRUE(main);
    EXPECT_TRUE(checked(main, IDC_OPTREGISTERED));
    EXPECT_FALSE(checked(main, IDC_OPTNOTREGISTERED));
    EXPECT_TRUE(checked(main, IDC_OPTUNABLETORUN));
    EXPECT_FALSE(checked(main, IDC_OPTABLETORUN));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, IDC_OPTABLETORUN)));
    click(main, IDC_OK);
    ASSERT_TRUE(bastione.ended(10000)) << "OK must end the program without a question";
    EXPECT_EQ(0, driverMode());
}

TEST_F(BastioneE2E, ElevenKeys_ShowTenAsterisks_TheDriverGetsTheFirstTen_TheBoxRefusesOtherPrograms) {
    HWND main = startBoth();
    ASSERT_TRUE(main);
    HWND mode = registerTwice(main, kElevenTyped, kElevenTyped, [](HWND dialog) {
        EXPECT_TRUE(waitFor([&] { return boxText(dialog) == "**********"; }, 5000)) << boxText(dialog);
        // Another program asking the box to unmask, copy, cut or undo is refused.
        ASSERT_TRUE(putOnClipboard("kept"));
        HWND box = GetDlgItem(dialog, IDC_TXTENTERPWD);
        DWORD_PTR answer = 0;
        for (UINT m : {UINT(EM_SETPASSWORDCHAR), UINT(WM_COPY), UINT(WM_CUT), UINT(EM_UNDO), UINT(WM_UNDO)})
            SendMessageTimeoutA(box, m, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
        SendMessageTimeoutA(box, EM_GETPASSWORDCHAR, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
        EXPECT_EQ(DWORD_PTR('*'), answer);
        EXPECT_EQ("**********", boxText(dialog));
        EXPECT_EQ("kept", clipboardText());
    });
    ASSERT_TRUE(mode);
    PostMessageA(mode, WM_COMMAND, IDCANCEL, 0);  // Esc keeps the default
    ASSERT_TRUE(waitForDriver(1));
    EXPECT_TRUE(checked(main, IDC_OPTREGISTERED) && checked(main, IDC_OPTABLETORUN));
    EXPECT_TRUE(driverMatches(kFirstTenKeys));
    putOnClipboard("");
}

// A window of the test that takes the keyboard from BASTIONE for a while.
bool ctrlReleasedElsewhere = false;
LRESULT CALLBACK elsewhereProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_KEYUP && wp == VK_CONTROL) ctrlReleasedElsewhere = true;
    return DefWindowProcA(w, m, wp, lp);
}

// Ctrl pressed in the password box and released while another window had the keyboard:
// the box never sees the release, and the keys typed once it has the keyboard again count.
TEST_F(BastioneE2E, CtrlReleasedInAnotherWindow_TheKeysTypedAfterwardsCount) {
    HWND main = startBoth();
    ASSERT_TRUE(main);
    ASSERT_TRUE(registerClass("BastioneE2E.Elsewhere", elsewhereProc));
    const vantora::win32::UniqueWindow elsewhere(CreateWindowExA(0, "BastioneE2E.Elsewhere", "elsewhere",
                                                                 WS_OVERLAPPEDWINDOW, 600, 400, 200, 150, nullptr,
                                                                 nullptr, GetModuleHandleA(nullptr), nullptr));
    HWND mode = registerTwice(main, "Shift_L", kTyped, [&](HWND dialog) {
        xdotool(dialog, "keydown Control_L");
        ShowWindow(elsewhere.get(), SW_SHOW);
        SetForegroundWindow(elsewhere.get());
        xdotool(elsewhere.get(), "keyup Control_L");
        EXPECT_TRUE(waitFor([] { return ctrlReleasedElsewhere; }, 5000)) << "the release must go to the other window";
        ShowWindow(elsewhere.get(), SW_HIDE);
        SetForegroundWindow(dialog);
        pressKeys(dialog, kTyped);
        EXPECT_TRUE(waitFor([&] { return boxText(dialog) == "****"; }, 5000)) << boxText(dialog);
    });
    ASSERT_TRUE(mode);
    PostMessageA(mode, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitForDriver(1));
    EXPECT_TRUE(driverMatches(kKeys));
}

// Typed and pasted keys give the same key-code string, or the verification would fail.
TEST_F(BastioneE2E, Paste_RecordsTheGroupsOfThePastedCharacters) {
    HWND main = startBoth();
    ASSERT_TRUE(main);
    ASSERT_TRUE(putOnClipboard("XJ"));  // upper case: the keys of x and j
    HWND mode = registerTwice(main, "z q ctrl+v", kTyped, [](HWND dialog) {
        EXPECT_TRUE(waitFor([&] { return boxText(dialog) == "****"; }, 5000)) << boxText(dialog);
    });
    ASSERT_TRUE(mode);
    click(mode, IDC_MODE_OK);
    ASSERT_TRUE(waitForDriver(1));
    EXPECT_TRUE(driverMatches(kKeys));
    putOnClipboard("");
}

TEST_F(BastioneE2E, SecondStart_RaisesTheFirstWindowAndEnds_EscThenClosesIt) {
    HWND main = startBoth();
    ASSERT_TRUE(main);
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(waitFor([&] { return IsIconic(main) != 0; }, 10000));
    ChildProcess second;
    ASSERT_TRUE(second.start(programPath("BASTIONE.exe")));
    ASSERT_TRUE(second.ended(20000)) << "the second copy must end";
    EXPECT_TRUE(waitFor([&] { return !IsIconic(main) && IsWindowVisible(main); }, 10000)) << "not restored";
    pressKeys(main, "Escape");
    EXPECT_TRUE(bastione.ended(10000)) << "Esc closes the main window, in front again";
}

TEST_F(BastioneE2E, Start_WithoutTheHotkeyServiceOrTheCommonModule_EndsWithItsMessage) {
    ASSERT_TRUE(bastione.start(programPath("BASTIONE.exe")));
    EXPECT_EQ("Common Module terminated!", answerMessage(bastione, kProgramTitle));
    EXPECT_TRUE(bastione.ended(10000));

    startService();
    const std::string lonely = folder.file("BASTIONE.exe");
    ASSERT_TRUE(CopyFileA(programPath("BASTIONE.exe").c_str(), lonely.c_str(), FALSE));
    ChildProcess alone;
    ASSERT_TRUE(alone.start(lonely));
    EXPECT_EQ("File not found: CORELINK.dll", answerMessage(alone, kProgramTitle));
    EXPECT_TRUE(alone.ended(10000));
    DeleteFileA(lonely.c_str());
}

// The driver goes away after the password was verified and before it is written: the
// window must not claim a password the BIOS does not have.
TEST_F(BastioneE2E, DriverStoppedDuringRegistration_WarnsAndShowsNotRegistered) {
    HWND main = startBoth();
    ASSERT_TRUE(main);
    HWND mode = registerTwice(main, kTyped, kTyped);
    ASSERT_TRUE(mode);
    ASSERT_EQ(DWORD(ERROR_SUCCESS), fwext::stop());
    click(mode, IDC_MODE_OK);
    EXPECT_EQ("The BIOS did not take the change.", answerMessage(bastione, kPwdCaption));
    EXPECT_TRUE(waitFor([&] { return checked(main, IDC_OPTNOTREGISTERED) && !checked(main, IDC_OPTREGISTERED); }, 10000));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_OPTABLETORUN)));
    ASSERT_EQ(DWORD(ERROR_SUCCESS), fwext::start());
    EXPECT_TRUE(waitFor([&] { return driverPasswordState() == 0; }, 10000));
}

// The third wrong password in a row is the last one the program takes, in this run and
// the next. Last of this session's cases: its marker tells the AfterRestart case that
// the count was left locked, and any later clearing of the count takes the marker away.
TEST_F(BastioneE2E, ThreeWrongPasswords_ThenAccessDenied_AlsoAfterTheProgramRestarts) {
    registerInDriver(kKeys, 1);
    HWND main = startBoth();
    ASSERT_TRUE(main);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        ASSERT_TRUE(enterPassword(main, IDC_OPTNOTREGISTERED, kPwdCaption, std::string(kWrongTyped) + " Return"));
        EXPECT_EQ("Invalid Password!!!", answerMessage(bastione, kPwdCaption)) << "attempt " << attempt;
        EXPECT_TRUE(waitFor([&] { return checked(main, IDC_OPTREGISTERED); }, 10000)) << "attempt " << attempt;
    }
    click(main, IDC_OPTNOTREGISTERED);
    EXPECT_EQ("Access denied!!!", answerMessage(bastione, kPwdCaption));
    EXPECT_FALSE(dialogOf(bastione, kPwdCaption, IDC_TXTENTERPWD)) << "no password dialog while locked";
    EXPECT_TRUE(waitFor([&] { return checked(main, IDC_OPTREGISTERED); }, 10000));
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(bastione.ended(10000));

    ChildProcess again;
    HWND second = startBastione(again);
    ASSERT_TRUE(second);
    click(second, IDC_OPTUNABLETORUN);
    EXPECT_EQ("Access denied!!!", answerMessage(again, kPwdCaption));
    EXPECT_TRUE(waitFor([&] { return checked(second, IDC_OPTABLETORUN); }, 10000)) << "the mode must be put back";
    EXPECT_EQ(1, driverPasswordState());
    DWORD type = 0;
    Bytes count;
    ASSERT_TRUE(readValue(HKEY_CURRENT_USER, kSessionKey, kCountValue, &type, &count));
    ASSERT_EQ(4u, count.size());
    EXPECT_EQ(3, count[0]);
    writeDword(HKEY_CURRENT_USER, kMarkerKey, kMarkerValue, 1);
}

// ---- in a new Wine session, after the cases above: the machine was restarted

class BastioneAfterRestart : public BastioneE2E {
protected:
    BastioneAfterRestart() { clearsCount = false; }
};

TEST_F(BastioneAfterRestart, LockOutIsGone_DeletionWithTheRightPassword_ThenNoSecretAnywhere) {
    DWORD type = 0;
    Bytes marker;
    ASSERT_TRUE(readValue(HKEY_CURRENT_USER, kMarkerKey, kMarkerValue, &type, &marker))
        << "run after the lock-out case and the end of its Wine session";
    deleteTree(HKEY_CURRENT_USER, kMarkerKey);
    Bytes count;
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER, kSessionKey, kCountValue, &type, &count)) << "the count outlived the session";
    registerInDriver(kKeys, 0);

    HWND main = startBoth();
    ASSERT_TRUE(main);
    ASSERT_TRUE(enterPassword(main, IDC_OPTNOTREGISTERED, kPwdCaption, std::string(kTyped) + " Return"))
        << "after a restart the password dialog opens again";
    ASSERT_TRUE(waitForDriver(0));
    EXPECT_TRUE(waitFor([&] { return driverMode() == 1; }, 10000)) << "a user may run Rigpanel again";
    EXPECT_TRUE(checked(main, IDC_OPTNOTREGISTERED));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_OPTUNABLETORUN)));
    EXPECT_TRUE(noMessageBox(bastione));
    click(main, IDC_OK);
    answerMessage(bastione, kPwdCaption, IDNO);
    ASSERT_TRUE(bastione.ended(10000));

    // Every key-code string and typed password of the suite, looked for where the
    // earlier session left its files: the prefix's registry (saved when it ended), the
    // temporary folder, and the state tool's report.
    const char* secrets[] = {kKeys, kWrongKeys, kFirstTenKeys, kTypedText, kElevenText};
    std::vector<std::string> places;
    if (const char* prefix = std::getenv("WINEPREFIX")) {
        std::string windowsPrefix = std::string("Z:") + prefix;
        for (char& c : windowsPrefix)
            if (c == '/') c = '\\';
        for (const char* reg : {"system.reg", "user.reg", "userdef.reg"}) places.push_back(windowsPrefix + "\\" + reg);
    }
    ASSERT_FALSE(places.empty()) << "WINEPREFIX is not set";
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    WIN32_FIND_DATAA found;
    if (const vantora::win32::UniqueFind f(FindFirstFileA((std::string(temp) + "*").c_str(), &found)); f) {
        do
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) places.push_back(std::string(temp) + found.cFileName);
        while (FindNextFileA(f.get(), &found));
    }
    for (const std::string& place : places) {
        const std::string text = fileText(place);
        for (const char* secret : secrets)
            EXPECT_EQ(std::string::npos, text.find(secret)) << "a secret is in " << place;
    }
    const std::string report = runForOutput(programPath("fwext-state.exe"), "").output;
    EXPECT_NE(std::string::npos, report.find("supervisor password: none")) << report;
    for (const char* secret : secrets) EXPECT_EQ(std::string::npos, report.find(secret)) << report;
}

}  // namespace
