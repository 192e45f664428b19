// "New Extension" and "Search" (dialog 3000) from the real main window.
#include "records/app_state.h"
#include "details/command_rules.h"
#include "details/pane.h"
#include "details/readers.h"
#include "records/extension_record.h"
#include "harness/editor_driver.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

using kvt::Classes;
using kvt::User;

const char kNewCaption[] = "Create New Extension";
const char kFindCaption[] = "Find extension";

// Opens the entry from the list's context menu with the command.
HWND OpenEntry(User& user, HWND window, UINT command, const char* caption) {
    HWND list = GetDlgItem(window, AppState.AdminMode ? IDC_ADMIN_LIST : IDC_MAIN_LIST);
    user.RightClickListItem(list, 0);
    user.ChooseMenuCommand(command);
    return user.WaitForWindow(caption);
}

bool MenuIsOpen() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

class EntryDialog : public kvt::RegistryTest {};

TEST_F(EntryDialog, RefusesTheCharactersANameCannotHoldPastingAndTheContextMenu) {
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND entry = OpenEntry(user, window, IDM_NEWEXTENSION, kNewCaption);
        ASSERT_NE(nullptr, entry);
        HWND edit = GetDlgItem(entry, IDC_ENTRY_NAME);
        user.Type(edit, "a.b c\\d/e:f*g?h\"i<j|k>l");
        EXPECT_EQ("abcdefghijkl", User::Text(edit));

        OpenClipboard(nullptr);
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
        memcpy(GlobalLock(block), "pasted", 7);
        GlobalUnlock(block);
        SetClipboardData(CF_TEXT, block);
        CloseClipboard();
        SendMessageA(edit, WM_PASTE, 0, 0);
        SendMessageA(edit, WM_CHAR, 0x16, 1); // Ctrl+V
        EXPECT_EQ("abcdefghijkl", User::Text(edit));

        SendMessageA(edit, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
        SendMessageA(edit, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_FALSE(MenuIsOpen()) << "the edit's context menu must not appear";

        user.Type(edit, std::string(300, 'x'));
        EXPECT_EQ(258u, User::Text(edit).size()) << "a dot and the terminator must still fit";
        user.Click(entry, IDC_ENTRY_CANCEL);
        user.WaitGone(entry);
        user.Close(window);
    });
}

TEST_F(EntryDialog, BlankInputIsRefusedAndTheEntryStaysOpen) {
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND entry = OpenEntry(user, window, IDM_NEWEXTENSION, kNewCaption);
        ASSERT_NE(nullptr, entry);
        user.Click(entry, IDC_ENTRY_OK);
        kvt::MessageBoxInfo box = user.WaitForMessageBox();
        EXPECT_EQ("Can't be an empty string", box.text);
        EXPECT_EQ((std::vector<int>{IDOK}), box.buttons);
        EXPECT_TRUE(box.hasIcon);
        user.Answer(box, IDOK);
        user.WaitGone(box.window);

        // Text that trims to nothing counts as blank and the entry is emptied.
        user.SetText(GetDlgItem(entry, IDC_ENTRY_NAME), "\t \t");
        user.Click(entry, IDC_ENTRY_OK);
        box = user.WaitForMessageBox();
        EXPECT_EQ("Can't be an empty string", box.text);
        user.Answer(box, IDOK);
        user.WaitGone(box.window);
        EXPECT_EQ("", User::Text(entry, IDC_ENTRY_NAME));
        EXPECT_TRUE(IsWindowVisible(entry));
        user.Click(entry, IDC_ENTRY_CANCEL);
        user.WaitGone(entry);
        user.Close(window);
    });
}

TEST_F(EntryDialog, NewExtensionSelectsWhatIsRegisteredAlready) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtmine", "kvtminefile", "Mine", "");
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtsys", "kvtsysfile", "System", "");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        HWND entry = OpenEntry(user, window, IDM_NEWEXTENSION, kNewCaption);
        user.Type(GetDlgItem(entry, IDC_ENTRY_NAME), "KVTMINE");
        user.Click(entry, IDC_ENTRY_OK);
        user.WaitGone(entry);
        EXPECT_TRUE(user.WaitUntil([&] {
            return User::TreeText(tree, User::TreeSelected(tree)) == ".kvtmine";
        })) << "letter case does not matter";
        EXPECT_TRUE(user.WaitUntil([&] { return user.FocusedControl() == tree; }));

        entry = OpenEntry(user, window, IDM_NEWEXTENSION, kNewCaption);
        user.Type(GetDlgItem(entry, IDC_ENTRY_NAME), "kvtsys");
        user.Click(entry, IDC_ENTRY_OK);
        user.WaitGone(entry);
        EXPECT_TRUE(user.WaitUntil(
            [&] { return User::ListText(list, User::ListSelected(list)) == ".kvtsys"; }));
        EXPECT_EQ(".kvtsys", User::Text(window, IDC_MAIN_EXTENSION));
        EXPECT_TRUE(user.WaitUntil([&] { return user.FocusedControl() == list; }));
        EXPECT_EQ(nullptr, user.FindWindowNow("Create new extension: .kvtsys"))
            << "no editor opens for an existing extension";
        user.Close(window);
    });
}

TEST_F(EntryDialog, NewExtensionOfAnUnknownNameOpensTheEditorInCreateMode) {
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND entry = OpenEntry(user, window, IDM_NEWEXTENSION, kNewCaption);
        user.Type(GetDlgItem(entry, IDC_ENTRY_NAME), "kvtfresh");
        user.Click(entry, IDC_ENTRY_OK);
        HWND editor = user.WaitForWindow("Create new extension: .kvtfresh");
        ASSERT_NE(nullptr, editor);
        EXPECT_FALSE(IsWindow(entry) && IsWindowVisible(entry)) << "the entry closes first";
        EXPECT_STREQ(".kvtfresh", NewExtensionName);
        user.Close(editor);
        user.WaitGone(editor);
        user.Close(window);
    });
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes(".kvtfresh")))
        << "closing the editor creates nothing";
}

TEST_F(EntryDialog, SearchSelectsOrOffersToCreate) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtfound", "kvtfoundfile", "Found", "");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        HWND entry = OpenEntry(user, window, IDM_SEARCH, kFindCaption);
        ASSERT_NE(nullptr, entry);
        user.Type(GetDlgItem(entry, IDC_ENTRY_NAME), "kvtFound");
        user.Click(entry, IDC_ENTRY_OK);
        user.WaitGone(entry);
        EXPECT_TRUE(user.WaitUntil(
            [&] { return User::TreeText(tree, User::TreeSelected(tree)) == ".kvtfound"; }));

        entry = OpenEntry(user, window, IDM_SEARCH, kFindCaption);
        user.Type(GetDlgItem(entry, IDC_ENTRY_NAME), "kvtmissing");
        user.Click(entry, IDC_ENTRY_OK);
        kvt::MessageBoxInfo box = user.WaitForMessageBox();
        EXPECT_EQ("Extension .kvtmissing was not found.\r\nWould you like to create it?", box.text);
        EXPECT_EQ("Not found", box.caption);
        EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.buttons);
        user.Answer(box, IDNO);
        user.WaitGone(entry);

        entry = OpenEntry(user, window, IDM_SEARCH, kFindCaption);
        user.Type(GetDlgItem(entry, IDC_ENTRY_NAME), "kvtmissing");
        user.Click(entry, IDC_ENTRY_OK);
        box = user.WaitForMessageBox();
        user.Answer(box, IDYES);
        HWND editor = user.WaitForWindow("Create new extension: .kvtmissing");
        ASSERT_NE(nullptr, editor);
        user.Close(editor);
        user.WaitGone(editor);
        user.Close(window);
    });
}

TEST_F(EntryDialog, AdminModeLooksAtTheMachineOnly) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtuseronly", "kvtuseronlyfile", "User", "");
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtmachine", "kvtmachinefile", "Machine", "");
    kvt::RunMainWindow(1, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_ADMIN_LIST);
        HWND entry = OpenEntry(user, window, IDM_NEWEXTENSION, kNewCaption);
        user.Type(GetDlgItem(entry, IDC_ENTRY_NAME), "kvtmachine");
        user.Click(entry, IDC_ENTRY_OK);
        user.WaitGone(entry);
        EXPECT_TRUE(user.WaitUntil(
            [&] { return User::ListText(list, User::ListSelected(list)) == ".kvtmachine"; }));

        entry = OpenEntry(user, window, IDM_SEARCH, kFindCaption);
        user.Type(GetDlgItem(entry, IDC_ENTRY_NAME), "kvtuseronly");
        user.Click(entry, IDC_ENTRY_OK);
        kvt::MessageBoxInfo box = user.WaitForMessageBox();
        EXPECT_EQ("Not found", box.caption) << "the user's hive is not consulted";
        user.Answer(box, IDNO);
        user.WaitGone(entry);
        user.Close(window);
    });
}

} // namespace
