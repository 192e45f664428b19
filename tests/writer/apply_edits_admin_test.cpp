// Saving the property editor in admin mode, driven from the real admin main
// window: every write goes to the machine's classes.
#include "records/app_state.h"
#include "details/command_rules.h"
#include "details/pane.h"
#include "details/readers.h"
#include "records/extension_record.h"
#include "editor/editor_frame.h"
#include "records/editor_state.h"
#include "harness/editor_driver.h"
#include "harness/main_window.h"
#include "harness/observers.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using kvt::Classes;
using kvt::EditorControl;
using kvt::User;

class ApplyEditsAdminTest : public kvt::RegistryTest {};

void Save(User& user, HWND editor) {
    user.Click(editor, IDC_EDITOR_SAVE);
    EXPECT_TRUE(user.WaitGone(editor));
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(ApplyEditsAdminTest, AClassKnownOnlyFromOpenWithProgIdsTakesEveryClassLevelWrite) {
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtprog\\OpenWithProgIDs"), "kvtprogclass", "");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtprogclass"), nullptr, "Prog");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("Applications\\kvtview.exe"), "FriendlyAppName",
                 "Kvt Viewer");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("Applications\\kvtview.exe\\shell\\open\\command"),
                 nullptr, "C:\\Tools\\kvtview.exe %1");
    kvt::RunMainWindow(1, [](User& user, HWND window) {
        HWND editor = kvt::EditFromAdminList(user, window, ".kvtprog");
        ASSERT_NE(nullptr, editor);
        SendMessageA(EditorControl(editor, IDC_GENERAL_DESCRIPTION), EM_SETSEL, 0, -1);
        user.Type(EditorControl(editor, IDC_GENERAL_DESCRIPTION), "Programs");
        kvt::ShowEditorPage(user, editor, 1);
        HWND combo = EditorControl(editor, IDC_OPENSWITH_PROGRAMCOMBO);
        std::vector<std::string> programs = User::ComboTexts(combo);
        auto viewer = std::find(programs.begin(), programs.end(), "Kvt Viewer");
        ASSERT_NE(programs.end(), viewer);
        user.SelectCombo(GetParent(combo), IDC_OPENSWITH_PROGRAMCOMBO,
                         static_cast<int>(viewer - programs.begin()));
        user.Type(EditorControl(editor, IDC_OPENSWITH_DDETOPIC), "KvtTopic");
        user.ClickCheckBox(kvt::ShowEditorPage(user, editor, 2), IDC_EDITFLAGS_FIRST);
        Save(user, editor);
        user.Close(window);
    });
    const std::string fileClass = Classes("kvtprogclass");
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, fileClass, nullptr, "Programs");
    EXPECT_EQ(0x1u, kvt::ReadValue(HKEY_LOCAL_MACHINE, fileClass, "EditFlags").Dword());
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, fileClass + "\\shell\\open\\command", nullptr,
                    "C:\\Tools\\kvtview.exe %1");
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, fileClass + "\\shell\\Open\\ddeexec\\Topic", nullptr,
                    "KvtTopic");
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, fileClass + "\\shell\\Open\\ddeexec", nullptr, "");
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, fileClass + "\\shell\\Open\\ddeexec\\Application", nullptr,
                    "");
    EXPECT_FALSE(kvt::KeyExists(HKEY_LOCAL_MACHINE, fileClass + "\\DefaultIcon"))
        << "no icon change, no DefaultIcon key";
    EXPECT_REG_ABSENT(HKEY_LOCAL_MACHINE, Classes(".kvtprog"), nullptr);
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, fileClass));
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes(".kvtprog")));
}

TEST_F(ApplyEditsAdminTest, ANewExtensionIsWrittenShownInTheListAndAnnouncedTwice) {
    kvt::CreateKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\MIME\\Database\\Content Type\\kvt/abc");
    kvt::WindowCreationLog windows;
    kvt::AssocChangeWatch shell;
    std::string contentType;
    kvt::RunMainWindow(1, [&](User& user, HWND window) {
        user.RunOnDialogThread([] {
            lstrcpyA(NewExtensionName, ".kvtabc");
            RunPropertyEditor(kEditorCreate);
        });
        HWND editor = kvt::WaitForEditor(user);
        ASSERT_NE(nullptr, editor);
        HWND page = kvt::EditorPage(editor, IDC_GENERAL_CONTENT_COMBO);
        std::vector<std::string> types =
            User::ComboTexts(EditorControl(editor, IDC_GENERAL_CONTENT_COMBO));
        ASSERT_FALSE(types.empty());
        EXPECT_NE("[ NONE ]", types[0]) << "admin mode has no marker";
        contentType = types[0];
        user.SelectCombo(page, IDC_GENERAL_CONTENT_COMBO, 0);
        user.SelectCombo(page, IDC_GENERAL_PERCEIVED_COMBO, 8);
        Save(user, editor);
        HWND list = GetDlgItem(window, IDC_ADMIN_LIST);
        const int row = User::ListFind(list, ".kvtabc");
        ASSERT_GE(row, 0);
        EXPECT_EQ(row, User::ListSelected(list));
        EXPECT_TRUE(User::ListItemVisible(list, row));
        EXPECT_EQ(".kvtabc", User::Text(window, IDC_ADMIN_EXTENSION));
        user.Close(window);
    });
    EXPECT_EQ(2, windows.Count("Please Wait..."));
    EXPECT_EQ(2, shell.Count());
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes(".kvtabc"), nullptr, "kvtabcFile");
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes(".kvtabc"), "Content Type", contentType);
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes(".kvtabc"), "PerceivedType", "text");
    EXPECT_TRUE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes("kvtabcFile")));
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes(".kvtabc")));
}

TEST_F(ApplyEditsAdminTest, OnlyAnEditFlagBoxChangedWritesOnlyEditFlags) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtadm", "kvtadmfile", "Adm", "");
    kvt::RunMainWindow(1, [](User& user, HWND window) {
        HWND editor = kvt::EditFromAdminList(user, window, ".kvtadm");
        ASSERT_NE(nullptr, editor);
        user.ClickCheckBox(kvt::ShowEditorPage(user, editor, 2), IDC_EDITFLAGS_LAST);
        Save(user, editor);
        user.Close(window);
    });
    EXPECT_EQ((std::vector<std::string>{"", "EditFlags"}),
              Sorted(kvt::ValueNames(HKEY_LOCAL_MACHINE, Classes("kvtadmfile"))));
    EXPECT_EQ(0x100000u,
              kvt::ReadValue(HKEY_LOCAL_MACHINE, Classes("kvtadmfile"), "EditFlags").Dword());
    EXPECT_TRUE(kvt::SubKeyNames(HKEY_LOCAL_MACHINE, Classes("kvtadmfile")).empty());
    EXPECT_EQ((std::vector<std::string>{""}),
              kvt::ValueNames(HKEY_LOCAL_MACHINE, Classes(".kvtadm")));
}

TEST_F(ApplyEditsAdminTest, ADescriptionBackupTouchesTheMachineClassOnly) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtadm", "kvtadmfile", "Adm", "");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtadmfile"), "FriendlyTypeName", "@adm.dll,-3");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtadm", "kvtadmfile", "Users", "");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtadmfile"), "FriendlyTypeName", "@user.dll,-4");
    kvt::RunMainWindow(1, [](User& user, HWND window) {
        HWND editor = kvt::EditFromAdminList(user, window, ".kvtadm");
        ASSERT_NE(nullptr, editor);
        HWND description = EditorControl(editor, IDC_GENERAL_DESCRIPTION);
        EXPECT_EQ("Adm", User::Text(description));
        kvt::MoveCaretToEnd(description);
        user.Type(description, " files");
        Save(user, editor);
        user.Close(window);
    });
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvtadmfile"), nullptr, "Adm files");
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvtadmfile"), "FriendlyTypeNameBak",
                    "@adm.dll,-3");
    EXPECT_REG_ABSENT(HKEY_LOCAL_MACHINE, Classes("kvtadmfile"), "FriendlyTypeName");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtadmfile"), "FriendlyTypeName", "@user.dll,-4");
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes("kvtadmfile"), "FriendlyTypeNameBak");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtadmfile"), nullptr, "Users");
}

} // namespace
