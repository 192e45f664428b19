// The user-mode details pane across selections: icons of a user's class
// named through an environment variable, and registry changes made between
// two selections of the same extension.
#include "harness/icon_bits.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kvt::Classes;
using kvt::FileIconBits;
using kvt::IconBits;
using kvt::TestIcon;
using kvt::User;

class DetailsSelection : public kvt::RegistryTest {};

std::vector<BYTE> ShownIconBits(HWND window, int id) {
    return IconBits(reinterpret_cast<HICON>(SendDlgItemMessageA(window, id, STM_GETICON, 0, 0)));
}

TEST_F(DetailsSelection, UserClassIconNamedThroughAVariableIsTheOneShown) {
    SetEnvironmentVariableA("KVTICONS", TestIcon("").c_str());
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtenv", "kvtenvfile", "Machine env", "");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtenvfile\\DefaultIcon"), nullptr,
                 TestIcon("system.ico"));
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtenv", "kvtenvuser", "User env", "");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtenvuser\\DefaultIcon"), nullptr,
                 "%KVTICONS%user.ico");
    const std::vector<BYTE> userLarge = FileIconBits(TestIcon("user.ico"), 32);
    ASSERT_FALSE(userLarge.empty());
    ASSERT_NE(FileIconBits(TestIcon("system.ico"), 32), userLarge);
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        user.SelectTreeItem(tree, User::TreeFind(tree, ".kvtenv"));
        ASSERT_TRUE(
            user.WaitUntil([&] { return User::Text(window, IDC_MAIN_EXTENSION) == ".kvtenv"; }));
        EXPECT_EQ("User env", User::Text(window, IDC_MAIN_FILETYPE));
        EXPECT_EQ(userLarge, ShownIconBits(window, IDC_MAIN_LARGEICON))
            << "the user's class names the icon, not the machine's";
        EXPECT_EQ(FileIconBits(TestIcon("user.ico"), GetSystemMetrics(SM_CXSMICON)),
                  ShownIconBits(window, IDC_MAIN_SMALLICON));
        EXPECT_EQ("user.ico", User::Text(window, IDC_MAIN_ICONFILE));
        user.Close(window);
    });
    SetEnvironmentVariableA("KVTICONS", nullptr);
}

TEST_F(DetailsSelection, ChangesBetweenTwoSelectionsOfAnExtensionAreShown) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtfresh", "kvtfreshfile", "First",
                       "\"C:\\Tools\\kvtone.exe\" /one \"%1\"");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("Applications\\kvtone.exe"), "FriendlyAppName",
                 "Kvt One");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("Applications\\kvttwo.exe"), "FriendlyAppName",
                 "Kvt Two");
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtother"));
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        auto select = [&](const char* extension) {
            user.ClickListItem(list, User::ListFind(list, extension));
            return user.WaitUntil(
                [&] { return User::Text(window, IDC_MAIN_EXTENSION) == extension; });
        };
        ASSERT_TRUE(select(".kvtfresh"));
        EXPECT_EQ("First", User::Text(window, IDC_MAIN_FILETYPE));
        EXPECT_EQ("Kvt One", User::Text(window, IDC_MAIN_OPENSWITH));
        EXPECT_EQ("/one \"%1\"", User::Text(window, IDC_MAIN_ARGS));

        kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtfreshfile"), nullptr, "Second");
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtfreshfile\\shell\\open\\command"), nullptr,
                     "\"C:\\Tools\\kvttwo.exe\" /two \"%1\"");
        ASSERT_TRUE(select(".kvtother"));
        ASSERT_TRUE(select(".kvtfresh"));
        EXPECT_EQ("Second", User::Text(window, IDC_MAIN_FILETYPE));
        EXPECT_EQ("Kvt Two", User::Text(window, IDC_MAIN_OPENSWITH));
        EXPECT_EQ("/two \"%1\"", User::Text(window, IDC_MAIN_ARGS));
        EXPECT_EQ("kvttwo.exe", User::Text(window, IDC_MAIN_PROGRAMFILE));
        user.Close(window);
    });
}

} // namespace
