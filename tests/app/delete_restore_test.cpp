// Delete and Restore from the real main windows, checked in the registry.
#include "records/app_state.h"
#include "details/command_rules.h"
#include "details/pane.h"
#include "details/readers.h"
#include "records/extension_record.h"
#include "harness/main_window.h"
#include "harness/observers.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

using kvt::Classes;
using kvt::User;

const char kPleaseWait[] = "Please Wait...";

// Right-clicks the tree item and chooses the command; returns the question.
kvt::MessageBoxInfo AskFromTree(User& user, HWND window, const std::string& extension,
                                UINT command) {
    HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
    user.RightClickTreeItem(tree, User::TreeFind(tree, extension));
    user.ChooseMenuCommand(command);
    return user.WaitForMessageBox();
}

class DeleteRestore : public kvt::RegistryTest {};

TEST_F(DeleteRestore, DeleteOfAUserDefinedExtensionRemovesItsKeysAndItem) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtdel", "kvtdelFile", "Mine", "x.exe %1");
    kvt::WindowCreationLog windows;
    kvt::AssocChangeWatch notifications;
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        const std::string before = kvt::StatusText();
        kvt::MessageBoxInfo box = AskFromTree(user, window, ".kvtdel", IDM_DELETE);
        EXPECT_EQ("You are about to delete the file extension .kvtdel\r\nAre you sure you want "
                  "to continue?",
                  box.text);
        EXPECT_EQ("Delete File Extension", box.caption);
        EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.buttons);
        EXPECT_TRUE(box.hasIcon);
        user.Answer(box, IDNO);
        user.WaitGone(box.window);
        EXPECT_TRUE(kvt::KeyExists(HKEY_CURRENT_USER, Classes(".kvtdel")));
        EXPECT_NE(nullptr, User::TreeFind(tree, ".kvtdel"));

        box = AskFromTree(user, window, ".kvtdel", IDM_DELETE);
        user.Answer(box, IDYES);
        EXPECT_TRUE(user.WaitUntil([&] { return User::TreeFind(tree, ".kvtdel") == nullptr; }));
        EXPECT_TRUE(notifications.WaitForCount(1));
        EXPECT_TRUE(user.WaitUntil([&] { return kvt::StatusText() != before; }))
            << "the counts follow";
        user.Close(window);
    });
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes(".kvtdel")));
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes("kvtdelFile")));
    EXPECT_EQ(1, windows.Count(kPleaseWait));
    EXPECT_EQ(1, notifications.Count());
}

TEST_F(DeleteRestore, RestoreRemovesTheOverrideAndListsTheMachineExtensionAgain) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtres", "kvtresfile", "Machine", "m.exe %1");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtres", "kvtresfile", "Mine", "u.exe %1");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        kvt::MessageBoxInfo box = AskFromTree(user, window, ".kvtres", IDM_RESTORE);
        EXPECT_EQ("You are about to restore the file extension .kvtres\r\nAre you sure you want "
                  "to continue?",
                  box.text);
        EXPECT_EQ("Restore File Extension", box.caption);
        user.Answer(box, IDYES);
        EXPECT_TRUE(user.WaitUntil([&] { return User::TreeFind(tree, ".kvtres") == nullptr; }));
        int row = User::ListFind(list, ".kvtres");
        ASSERT_GE(row, 0);
        EXPECT_EQ(row, User::ListSelected(list));
        EXPECT_TRUE(User::ListItemVisible(list, row));
        EXPECT_TRUE(user.WaitUntil([&] { return user.FocusedControl() == list; }));
        user.Close(window);
    });
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes(".kvtres")));
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes("kvtresfile")));
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvtresfile"), nullptr, "Machine");
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes(".kvtres"), nullptr, "kvtresfile");
}

TEST_F(DeleteRestore, AClassThatAnotherExtensionNamesIsKept) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvta", "kvtshared", "Shared", "");
    kvt::SetText(HKEY_CURRENT_USER, Classes(".kvtb"), nullptr, "kvtshared");
    kvt::SetText(HKEY_CURRENT_USER, Classes(".kvtc\\OpenWithProgIDs"), "kvtshared", "");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        for (const char* extension : {".kvta", ".kvtb"}) {
            const std::string before = kvt::StatusText();
            kvt::MessageBoxInfo box = AskFromTree(user, window, extension, IDM_DELETE);
            user.Answer(box, IDYES);
            ASSERT_TRUE(user.WaitUntil(
                [&] { return !kvt::KeyExists(HKEY_CURRENT_USER, Classes(extension)); }));
            // The next right-click waits for the delete to end (the counts
            // come last): a menu opened while "Please Wait..." is up closes
            // with it.
            ASSERT_TRUE(user.WaitUntil([&] { return kvt::StatusText() != before; }));
            EXPECT_TRUE(kvt::KeyExists(HKEY_CURRENT_USER, Classes("kvtshared")))
                << "still named by another extension after deleting " << extension;
        }
        user.Close(window);
    });
}

TEST_F(DeleteRestore, AnExtensionWithoutDefaultValueLosesOnlyItsOwnKey) {
    kvt::SetText(HKEY_CURRENT_USER, Classes(".kvtnoclass"), "Content Type", "x/kvt");
    kvt::SetText(HKEY_CURRENT_USER, Classes(".kvtnoclass\\OpenWithProgIDs"), "kvtother", "");
    kvt::CreateKey(HKEY_CURRENT_USER, Classes("kvtother"));
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        kvt::MessageBoxInfo box = AskFromTree(user, window, ".kvtnoclass", IDM_DELETE);
        user.Answer(box, IDYES);
        EXPECT_TRUE(user.WaitUntil(
            [] { return !kvt::KeyExists(HKEY_CURRENT_USER, Classes(".kvtnoclass")); }));
        user.Close(window);
    });
    EXPECT_TRUE(kvt::KeyExists(HKEY_CURRENT_USER, Classes("kvtother")));
}

// The admin list's row of an extension after the window has loaded.
int RowOf(HWND window, const std::string& extension) {
    return User::ListFind(GetDlgItem(window, IDC_ADMIN_LIST), extension);
}

kvt::MessageBoxInfo AskAdminDelete(User& user, HWND window, int row) {
    HWND list = GetDlgItem(window, IDC_ADMIN_LIST);
    user.ClickListItem(list, row);
    user.RightClickListItem(list, row);
    user.ChooseMenuCommand(IDM_DELETE);
    return user.WaitForMessageBox();
}

TEST_F(DeleteRestore, AdminDeleteWarnsAndSelectsTheRowBefore) {
    for (const char* name : {".kvtm1", ".kvtm2", ".kvtm3"})
        kvt::SeedExtension(HKEY_LOCAL_MACHINE, name, std::string("kvtmclass") + (name + 5), "M",
                           "");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtm2", "kvtmclass2", "User copy", "");
    kvt::RunMainWindow(1, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_ADMIN_LIST);
        const int row = RowOf(window, ".kvtm2");
        ASSERT_GT(row, 0);
        kvt::MessageBoxInfo box = AskAdminDelete(user, window, row);
        EXPECT_EQ("!!!!  WARNING  !!!!\r\n\r\nYOU ARE ABOUT TO PERMENANTLY DELTE THE FILE "
                  "EXTENSION .kvtm2\r\nSome programs many not work properly.\r\nAre you sure you "
                  "want to continue?",
                  box.text);
        EXPECT_EQ("Delete File Extension", box.caption);
        user.Answer(box, IDNO);
        user.WaitGone(box.window);
        EXPECT_EQ(row, RowOf(window, ".kvtm2"));

        box = AskAdminDelete(user, window, row);
        user.Answer(box, IDYES);
        EXPECT_TRUE(user.WaitUntil([&] { return RowOf(window, ".kvtm2") < 0; }));
        EXPECT_EQ(row - 1, User::ListSelected(list));
        EXPECT_EQ(".kvtm1", User::ListText(list, User::ListSelected(list)));
        user.Close(window);
    });
    EXPECT_FALSE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes(".kvtm2")));
    EXPECT_FALSE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes("kvtmclass2")));
    EXPECT_TRUE(kvt::KeyExists(HKEY_CURRENT_USER, Classes(".kvtm2"))) << "users' keys stay";
    EXPECT_TRUE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes(".kvtm1")));
}

TEST_F(DeleteRestore, AdminDeleteOfTheFirstRowSelectsTheNewFirstRow) {
    // "!" sorts before every other extension of the prefix.
    const std::string first = ".!kvtfirst";
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, first, "kvtfirstfile", "First", "");
    kvt::RunMainWindow(1, [&](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_ADMIN_LIST);
        ASSERT_EQ(0, RowOf(window, first));
        const std::string second = User::ListText(list, 1);
        kvt::MessageBoxInfo box = AskAdminDelete(user, window, 0);
        user.Answer(box, IDYES);
        EXPECT_TRUE(user.WaitUntil([&] { return RowOf(window, first) < 0; }));
        EXPECT_EQ(0, User::ListSelected(list));
        EXPECT_EQ(second, User::ListText(list, 0));
        EXPECT_TRUE(user.WaitUntil([&] {
            return User::Text(window, IDC_ADMIN_EXTENSION) == second;
        })) << "the pane still shows "
            << User::Text(window, IDC_ADMIN_EXTENSION);
        EXPECT_EQ(second, std::string(CurrentExtension)) << "what a second Delete would act on";
        user.Close(window);
    });
    EXPECT_FALSE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes(first)));
    kvt::DeleteKey(HKEY_LOCAL_MACHINE, Classes(first));
}

TEST_F(DeleteRestore, AdminDeleteFindsTheClassUnderOpenWithProgIdsAndKeepsSharedOnes) {
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtprog\\OpenWithProgIDs"), "kvtp", "");
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes("kvtp"));
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvts1", "kvtshared", "Shared", "");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvts2"), nullptr, "kvtshared");
    kvt::RunMainWindow(1, [](User& user, HWND window) {
        for (const char* extension : {".kvtprog", ".kvts1"}) {
            kvt::MessageBoxInfo box = AskAdminDelete(user, window, RowOf(window, extension));
            user.Answer(box, IDYES);
            EXPECT_TRUE(user.WaitUntil([&] { return RowOf(window, extension) < 0; }));
        }
        user.Close(window);
    });
    EXPECT_FALSE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes("kvtp")))
        << "a class whose name is short is removed like any other";
    EXPECT_TRUE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes("kvtshared")))
        << ".kvts2 still names it";
}

TEST_F(DeleteRestore, ASecondAdminDeleteActsOnTheExtensionThePaneShows) {
    for (const char* name : {".kvtq1", ".kvtq2", ".kvtq3"})
        kvt::SeedExtension(HKEY_LOCAL_MACHINE, name, std::string("kvtqclass") + (name + 5), "Q",
                           "");
    kvt::RunMainWindow(1, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_ADMIN_LIST);
        kvt::MessageBoxInfo box = AskAdminDelete(user, window, RowOf(window, ".kvtq3"));
        user.Answer(box, IDYES);
        ASSERT_TRUE(user.WaitUntil([&] { return RowOf(window, ".kvtq3") < 0; }));
        ASSERT_TRUE(user.WaitUntil([&] {
            return User::Text(window, IDC_ADMIN_EXTENSION) == ".kvtq2";
        })) << "the pane shows "
            << User::Text(window, IDC_ADMIN_EXTENSION);
        EXPECT_EQ(".kvtq2", User::ListText(list, User::ListSelected(list)));

        user.RightClickListItem(list, User::ListSelected(list));
        user.ChooseMenuCommand(IDM_DELETE);
        box = user.WaitForMessageBox();
        EXPECT_NE(std::string::npos, box.text.find("EXTENSION .kvtq2\r\n")) << box.text;
        user.Answer(box, IDYES);
        EXPECT_TRUE(user.WaitUntil([&] { return RowOf(window, ".kvtq2") < 0; }));
        user.Close(window);
    });
    EXPECT_TRUE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes(".kvtq1")));
    EXPECT_FALSE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes(".kvtq2")));
}

} // namespace
