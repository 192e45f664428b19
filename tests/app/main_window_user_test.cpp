// The user-mode main window (dialog 1000) on registry fixtures: grouping,
// counts, the details pane, the context menus and the commands.
#include "app/app_state.h"
#include "details/extension_record.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using kvt::Classes;
using kvt::User;

class UserMainWindow : public kvt::RegistryTest {};

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST_F(UserMainWindow, GroupsExtensionsByTheHiveThatHoldsThem) {
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtsys"));
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtboth"));
    kvt::CreateKey(HKEY_CURRENT_USER, Classes(".kvtboth"));
    kvt::CreateKey(HKEY_CURRENT_USER, Classes(".kvtmine"));
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes("kvtnodot"));
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        std::vector<std::string> system = User::ListTexts(list);
        EXPECT_TRUE(Contains(system, ".kvtsys"));
        EXPECT_FALSE(Contains(system, ".kvtboth"));
        EXPECT_FALSE(Contains(system, "kvtnodot"));
        HTREEITEM customized = User::TreeNext(tree, TVGN_ROOT, nullptr);
        HTREEITEM defined = User::TreeNext(tree, TVGN_NEXT, customized);
        EXPECT_EQ("User Customized", User::TreeText(tree, customized));
        EXPECT_EQ("User Defined", User::TreeText(tree, defined));
        EXPECT_TRUE(Contains(User::TreeChildren(tree, customized), ".kvtboth"));
        EXPECT_TRUE(Contains(User::TreeChildren(tree, defined), ".kvtmine"));
        user.Close(window);
    });
}

TEST_F(UserMainWindow, RightClickOffersRestoreOrDeleteAtTheThirdPlace) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtc", "kvtcfile", "Machine C", "");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtc", "kvtcfile", "User C", "");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtd", "kvtdfile", "User D", "");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        for (int round = 0; round < 2; ++round) {
            user.RightClickTreeItem(tree, User::TreeFind(tree, ".kvtc"));
            HMENU menu = user.WaitForPopupMenu();
            ASSERT_NE(nullptr, menu);
            EXPECT_EQ((std::vector<std::string>{"Edit", "New Extension", "Restore", "Tools", "-",
                                                "Readme", "About", "-", "Exit"}),
                      User::MenuTexts(menu));
            EXPECT_EQ(".kvtc", User::Text(window, IDC_MAIN_EXTENSION));
            user.DismissMenu();
            user.RightClickTreeItem(tree, User::TreeFind(tree, ".kvtd"));
            menu = user.WaitForPopupMenu();
            ASSERT_NE(nullptr, menu);
            EXPECT_EQ("Delete", User::MenuTexts(menu)[2]);
            EXPECT_EQ("User D", User::Text(window, IDC_MAIN_FILETYPE));
            user.DismissMenu();
        }
        user.RightClickTreeItem(tree, User::TreeFind(tree, ".kvtd"));
        user.ChooseMenuCommand(IDM_EXIT);
    });
}

} // namespace
