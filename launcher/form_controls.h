#pragma once
// The controls of each launcher window by design name: what the Win32 host binds and
// the only names the logic and the tests may use. The main window's windowless labels
// are Label1(0) to Label1(kKeyCount - 1) besides these.
#include "common/ui/declared_controls.h"

namespace vantora::launcher {

// Form1's menu items (element 0 of the menu control array mPopupCmd) and popup menus.
inline constexpr ui::DeclaredControl kForm1Menus[] = {
    {"mAssignments", "Menu"}, {"mTop", "Menu"},    {"mPopups", "Menu"},    {"mMinimize", "Menu"},
    {"mHints", "Menu"},       {"mConfirm", "Menu"}, {"mIndex", "Menu"},     {"mAbout", "Menu"},
    {"mOptions", "Menu"},     {"mHelp", "Menu"},    {"umLaunch", "Menu"},   {"umHelp", "Menu"},
    {"mDynFnKey", "Menu"},    {"mPopupCmd(0)", "Menu"}};
inline constexpr ui::DeclaredControl kForm1PopupMenus[] = {{"umTray", "Menu"}, {"mDynamics", "Menu"}};

inline constexpr ui::DeclaredControl kForm2Controls[] = {
    {"ListView1", "ListView"},     {"ImageList1", "ImageList"},   {"Check1", "CheckBox"},
    {"Command1", "CommandButton"}, {"Command2", "CommandButton"}, {"Command3", "CommandButton"}};

inline constexpr ui::DeclaredControl kForm3Controls[] = {
    {"Label1", "Label"},           {"Label2", "Label"},           {"Label3", "Label"},
    {"Label4", "Label"},           {"Image1", "Image"},           {"Check1", "CheckBox"},
    {"Command1", "CommandButton"}, {"Command2", "CommandButton"}, {"Command3", "CommandButton"},
    {"Command4", "CommandButton"}, {"Command5", "CommandButton"}};

inline constexpr ui::DeclaredControl kForm4Controls[] = {
    {"Label4", "Label"},           {"Label5", "Label"},           {"Check1", "CheckBox"},
    {"Label1", "Label"},           {"Text1", "TextBox"},          {"Label2", "Label"},
    {"Text2", "TextBox"},          {"Label3", "Label"},           {"Text3", "TextBox"},
    {"Command1", "CommandButton"}, {"Command2", "CommandButton"}, {"Command3", "CommandButton"},
    {"Command4", "CommandButton"}, {"Command5", "CommandButton"}};

inline constexpr ui::DeclaredControl kForm6Controls[] = {
    {"Label1", "Label"},           {"Label2", "Label"},           {"Label3", "Label"},
    {"TreeView1", "TreeView"},     {"ListView1", "ListView"},     {"Picture1", "PictureBox"},
    {"Picture2", "PictureBox"},    {"Command1", "CommandButton"}, {"Command2", "CommandButton"},
    {"ImageList1", "ImageList"},   {"imgLargeList", "ImageList"}, {"imgSmallList", "ImageList"}};

inline constexpr ui::DeclaredControl kForm7Controls[] = {
    {"Label1", "Label"},           {"Label2", "Label"},           {"Frame1", "Frame"},
    {"Frame2", "Frame"},           {"Label3", "Label"},           {"Label4", "Label"},
    {"Label5", "Label"},           {"Label6", "Label"},           {"Label7", "Label"},
    {"Label8", "Label"},           {"Label9", "Label"},           {"Label10", "Label"},
    {"Label11", "Label"},          {"Label12", "Label"},          {"Label13", "Label"},
    {"Label14", "Label"},          {"Command1", "CommandButton"}, {"Command2", "CommandButton"},
    {"Command3", "CommandButton"}};

inline constexpr ui::DeclaredControl kAboutControls[] = {{"Image1", "Image"},
                                                         {"lblTitle", "Label"},
                                                         {"lblCopyright", "Label"},
                                                         {"lblNotice", "Label"},
                                                         {"cmdOK", "CommandButton"}};

}  // namespace vantora::launcher
