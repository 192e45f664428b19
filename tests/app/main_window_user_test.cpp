// The user-mode main window (dialog 1000) on registry fixtures: grouping,
// counts, the details pane, the context menus and the commands.
#include "records/app_state.h"
#include "details/command_rules.h"
#include "details/pane.h"
#include "details/readers.h"
#include "records/extension_record.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using kvt::Classes;

// The status text as the main window left it when it closed.
std::string LastStatus;
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

int CountOver(HKEY hive, const std::vector<std::string>& others, bool inOthers) {
    int count = 0;
    for (const std::string& name : kvt::SubKeyNames(hive, "Software\\Classes")) {
        if (name.empty() || name[0] != '.' || name.size() > 49)
            continue;
        bool found = false;
        for (const std::string& other : others)
            found = found || lstrcmpiA(other.c_str(), name.c_str()) == 0;
        count += found == inOthers;
    }
    return count;
}

TEST_F(UserMainWindow, NameLengthDotAloneAndStatusCounts) {
    const std::string name49 = ".kvt" + std::string(45, 'n');
    const std::string name50 = ".kvt" + std::string(46, 'n');
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(name49));
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(name50));
    kvt::CreateKey(HKEY_CURRENT_USER, Classes("."));
    kvt::CreateKey(HKEY_CURRENT_USER, Classes(".kvtboth"));
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtboth"));
    const auto machine = kvt::SubKeyNames(HKEY_LOCAL_MACHINE, "Software\\Classes");
    const auto user = kvt::SubKeyNames(HKEY_CURRENT_USER, "Software\\Classes");
    const int customized = CountOver(HKEY_CURRENT_USER, machine, true);
    const int defined = CountOver(HKEY_CURRENT_USER, machine, false);
    const int system = CountOver(HKEY_LOCAL_MACHINE, user, false);
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        EXPECT_GE(User::ListFind(list, name49), 0) << "49 characters fit";
        EXPECT_LT(User::ListFind(list, name50), 0) << "50 characters do not";
        HTREEITEM defined =
            User::TreeNext(tree, TVGN_NEXT, User::TreeNext(tree, TVGN_ROOT, nullptr));
        EXPECT_TRUE(Contains(User::TreeChildren(tree, defined), ".")) << "a key named . alone";
        EXPECT_EQ(system, User::ListCount(list));
        LastStatus = kvt::StatusText();
        user.Close(window);
    });
    kvt::DeleteKey(HKEY_CURRENT_USER, Classes("."));
    EXPECT_EQ(std::to_string(system + customized + defined) +
                  " Registered file extensions - User Customized=" + std::to_string(customized) +
                  "  User Defined=" + std::to_string(defined),
              LastStatus);
}

TEST_F(UserMainWindow, EmptyUserHiveShowsTheListCountAndZeroGroups) {
    for (const std::string& name : kvt::SubKeyNames(HKEY_CURRENT_USER, "Software\\Classes"))
        ASSERT_NE('.', name[0]) << "the prefix's user hive holds " << name;
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        const int count = User::ListCount(GetDlgItem(window, IDC_MAIN_LIST));
        EXPECT_EQ(std::to_string(count) +
                      " Registered file extensions - User Customized=0  User Defined=0",
                  kvt::StatusText());
        user.Close(window);
    });
}

TEST_F(UserMainWindow, AdminModeListsTheMachineOnlyWithItsOwnCountsAndMenu) {
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtsys"));
    kvt::CreateKey(HKEY_CURRENT_USER, Classes(".kvtmine"));
    kvt::RunMainWindow(1, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_ADMIN_LIST);
        EXPECT_GE(User::ListFind(list, ".kvtsys"), 0);
        EXPECT_LT(User::ListFind(list, ".kvtmine"), 0);
        EXPECT_EQ(kvt::CountExtensionKeys(HKEY_LOCAL_MACHINE), User::ListCount(list));
        EXPECT_EQ(std::to_string(User::ListCount(list)) + " Registered file extensions ",
                  kvt::StatusText());
        user.RightClickListItem(list, 0);
        HMENU menu = user.WaitForPopupMenu();
        ASSERT_NE(nullptr, menu);
        EXPECT_EQ((std::vector<std::string>{"Edit", "New Extension", "Delete", "Search", "Tools",
                                            "-", "Readme", "About", "-", "Exit"}),
                  User::MenuTexts(menu));
        EXPECT_EQ((std::vector<std::string>{"Compare", "Open With Editor"}),
                  User::MenuTexts(User::MenuEntries(menu)[4].submenu));
        user.ChooseMenuCommand(IDM_EXIT);
    });
}

TEST_F(UserMainWindow, ListMenuAndGroupItems) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtd", "kvtdfile", "User D", "");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        user.RightClickListItem(list, 0);
        HMENU menu = user.WaitForPopupMenu();
        ASSERT_NE(nullptr, menu);
        EXPECT_EQ((std::vector<std::string>{"Customize", "New Extension", "Search", "Tools", "-",
                                            "Readme", "About", "-", "Exit"}),
                  User::MenuTexts(menu));
        user.DismissMenu();

        // A group item empties the pane; right-clicking it offers nothing.
        user.SelectTreeItem(tree, User::TreeFind(tree, ".kvtd"));
        ASSERT_TRUE(
            user.WaitUntil([&] { return User::Text(window, IDC_MAIN_EXTENSION) == ".kvtd"; }));
        user.SelectTreeItem(tree, User::TreeFind(tree, "User Defined"));
        EXPECT_TRUE(user.WaitUntil([&] { return User::Text(window, IDC_MAIN_EXTENSION).empty(); }));
        for (int id : {IDC_MAIN_FILETYPE, IDC_MAIN_OPENSWITH, IDC_MAIN_ICONFILE, IDC_MAIN_ARGS})
            EXPECT_EQ("", User::Text(window, id));
        EXPECT_EQ("No", User::Text(window, IDC_MAIN_DDE));
        EXPECT_EQ("No", User::Text(window, IDC_MAIN_EDITFLAGS));
        for (int id : {IDC_MAIN_LARGEICON, IDC_MAIN_SMALLICON, IDC_MAIN_PROGRAMICON})
            EXPECT_EQ(0, SendMessageA(GetDlgItem(window, id), STM_GETICON, 0, 0));

        user.RightClickTreeItem(tree, User::TreeFind(tree, "User Customized"));
        user.DoubleClickTreeItem(tree, User::TreeFind(tree, "User Defined"));
        // Posted after the clicks, the list's menu proves they were handled.
        user.RightClickListItem(list, 0);
        menu = user.WaitForPopupMenu();
        ASSERT_NE(nullptr, menu);
        EXPECT_EQ("Customize", User::MenuTexts(menu)[0]) << "the group item offered no menu";
        EXPECT_EQ(nullptr, user.FindWindowNow("Edit properties for: User Defined"));
        user.DismissMenu();
        user.Close(window);
    });
}

TEST_F(UserMainWindow, RightClickOnNoItemLeavesTheCurrentExtension) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtd", "kvtdfile", "User D", "");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        user.SelectTreeItem(tree, User::TreeFind(tree, ".kvtd"));
        ASSERT_TRUE(
            user.WaitUntil([&] { return User::Text(window, IDC_MAIN_EXTENSION) == ".kvtd"; }));
        const HTREEITEM current = AppState.CurrentTreeItem;
        RECT client;
        GetClientRect(tree, &client);
        user.RightClickTreeAt(tree, {client.right / 2, client.bottom - 4});
        user.RightClickListItem(list, 0);
        HMENU menu = user.WaitForPopupMenu();
        ASSERT_NE(nullptr, menu);
        EXPECT_EQ("Customize", User::MenuTexts(menu)[0]) << "empty space offered no menu";
        user.DismissMenu();
        EXPECT_EQ(".kvtd", std::string(CurrentExtension));
        EXPECT_EQ(current, AppState.CurrentTreeItem);
        user.Close(window);
    });
}

TEST_F(UserMainWindow, FocusSwitchesThePaneBetweenListAndTree) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtsys", "kvtsysfile", "System one", "");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtmine", "kvtminefile", "Mine", "");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        auto shows = [&](const char* extension) {
            return user.WaitUntil(
                [&] { return User::Text(window, IDC_MAIN_EXTENSION) == extension; });
        };
        user.ClickListItem(list, User::ListFind(list, ".kvtsys"));
        ASSERT_TRUE(shows(".kvtsys"));
        user.SelectTreeItem(tree, User::TreeFind(tree, ".kvtmine"));
        ASSERT_TRUE(shows(".kvtmine"));
        user.FocusControl(list);
        EXPECT_TRUE(shows(".kvtsys"));
        EXPECT_EQ("System one", User::Text(window, IDC_MAIN_FILETYPE));
        user.FocusControl(tree);
        EXPECT_TRUE(shows(".kvtmine"));
        EXPECT_EQ("Mine", User::Text(window, IDC_MAIN_FILETYPE));
        user.Close(window);
    });
}

TEST_F(UserMainWindow, EscapeAndEnterDoNotCloseIt) {
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        user.FocusControl(list);
        user.PressKey(VK_ESCAPE, list);
        user.PressKey(VK_RETURN, list);
        user.RightClickListItem(list, 0);
        ASSERT_NE(nullptr, user.WaitForPopupMenu());
        EXPECT_TRUE(IsWindowVisible(window));
        user.ChooseMenuCommand(IDM_EXIT);
        EXPECT_TRUE(user.WaitGone(window)) << "Exit closes it";
    });
}

TEST_F(UserMainWindow, ReadmeWithoutTheFileSaysSo) {
    char saved[261];
    memcpy(saved, AppState.AppDirectory, sizeof saved);
    char folder[MAX_PATH + 1];
    GetTempPathA(sizeof folder, folder);
    strcat(folder, "kvt-no-readme\\");
    CreateDirectoryA(folder, nullptr);
    strcpy(AppState.AppDirectory, folder);
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        user.RightClickListItem(GetDlgItem(window, IDC_MAIN_LIST), 0);
        user.ChooseMenuCommand(IDM_README);
        kvt::MessageBoxInfo box = user.WaitForMessageBox();
        EXPECT_EQ("Could not find ReadMe.txt\r\nPlease make sure it exists in the directory of "
                  "KVEL.exe",
                  box.text);
        EXPECT_EQ((std::vector<int>{IDOK}), box.buttons);
        EXPECT_TRUE(box.hasIcon);
        user.Answer(box, IDOK);
        user.WaitGone(box.window);
        user.Close(window);
    });
    memcpy(AppState.AppDirectory, saved, sizeof saved);
    RemoveDirectoryA(folder);
}

// Beside "Readme.txt" a folder too long for the file's path: the missing
// file is said, the folder itself is not opened.
TEST_F(UserMainWindow, ReadmeBesideAFolderTooLongForItsPathSaysItIsMissing) {
    const std::wstring base = L"\\\\?\\C:\\kvtlong";
    const std::wstring first = base + L"\\" + std::wstring(120, L'a');
    const std::wstring folder = first + L"\\" + std::wstring(120, L'b');
    for (const std::wstring& path : {base, first, folder})
        CreateDirectoryW(path.c_str(), nullptr);
    const std::string shown =
        "C:\\kvtlong\\" + std::string(120, 'a') + "\\" + std::string(120, 'b') + "\\";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(shown.c_str()));
    char saved[261];
    memcpy(saved, AppState.AppDirectory, sizeof saved);
    strcpy(AppState.AppDirectory, shown.c_str());
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        user.RightClickListItem(GetDlgItem(window, IDC_MAIN_LIST), 0);
        user.ChooseMenuCommand(IDM_README);
        kvt::MessageBoxInfo box = user.WaitForMessageBox();
        EXPECT_NE(std::string::npos, box.text.find("Could not find ReadMe.txt"));
        user.Answer(box, IDOK);
        user.WaitGone(box.window);
        user.Close(window);
    });
    memcpy(AppState.AppDirectory, saved, sizeof saved);
    for (const std::wstring& path : {folder, first, base})
        RemoveDirectoryW(path.c_str());
}

// A click right of an item's text, or on its indent, hits that item.
TEST_F(UserMainWindow, ClicksBesideAnItemsTextActOnTheItem) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtbeside", "kvtbesidefile", "Beside", "");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        HTREEITEM item = User::TreeFind(tree, ".kvtbeside");
        ASSERT_NE(nullptr, item);
        RECT text = {};
        memcpy(&text, &item, sizeof item);
        ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)));
        const int middle = (text.top + text.bottom) / 2;
        for (POINT beside : {POINT{text.right + 12, middle}, POINT{text.left - 6, middle}}) {
            user.RightClickTreeAt(tree, beside);
            HMENU menu = user.WaitForPopupMenu();
            ASSERT_NE(nullptr, menu);
            EXPECT_EQ(".kvtbeside", std::string(CurrentExtension));
            EXPECT_EQ(item, AppState.CurrentTreeItem);
            user.DismissMenu();
            user.SelectTreeItem(tree, User::TreeNext(tree, TVGN_ROOT, nullptr));
        }
        user.Close(window);
    });
}

// A visible window of another process whose caption holds text.
HWND FindForeignWindow(const char* text) {
    struct Search {
        const char* text;
        HWND found;
    } search = {text, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) {
            auto* search = reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            char caption[256] = {};
            GetWindowTextA(window, caption, sizeof caption);
            if (process != GetCurrentProcessId() && IsWindowVisible(window) &&
                strstr(caption, search->text)) {
                search->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(UserMainWindow, ReadmeBesideTheProgramOpensInTheShell) {
    // A fresh Wine prefix has a text file class but no ".txt" that names it.
    const bool seeded = !kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes(".txt"));
    if (seeded)
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".txt"), nullptr, "txtfile");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        user.RightClickListItem(GetDlgItem(window, IDC_MAIN_LIST), 0);
        user.ChooseMenuCommand(IDM_README);
        HWND viewer = nullptr;
        EXPECT_TRUE(user.WaitUntil([&] {
            return (viewer = FindForeignWindow("Readme")) != nullptr;
        })) << "the shell opened no program for Readme.txt";
        EXPECT_EQ(nullptr, user.FindMessageBoxNow());
        if (viewer)
            PostMessageA(viewer, WM_CLOSE, 0, 0);
        user.Close(window);
    });
    if (seeded)
        kvt::DeleteKey(HKEY_LOCAL_MACHINE, Classes(".txt"));
}

} // namespace
