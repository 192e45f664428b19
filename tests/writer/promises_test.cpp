// What a save must never do to the registry: write the machine's classes in
// user mode, lose the user's own backup, write a value cut short, drop an
// edit, or change a command's type.
#include "harness/editor_driver.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "platform/registry.h"
#include "resources/resource.h"
#include "writer/value_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kvt::Classes;
using kvt::EditorControl;
using kvt::User;

class Promises : public kvt::RegistryTest {};

void Retype(User& user, HWND edit, const std::string& text) {
    SendMessageA(edit, EM_SETSEL, 0, -1);
    user.Type(edit, text);
}

void Save(User& user, HWND editor) {
    user.Click(editor, IDC_EDITOR_SAVE);
    EXPECT_TRUE(user.WaitGone(editor));
}

// A new description backs up "FriendlyTypeName" in the user's class only,
// from the user's own value, also where the machine names another class or
// holds the same class with a value of its own.
TEST_F(Promises, ADescriptionBacksUpOnlyTheUsersOwnTypeName) {
    kvt::Seed(R"(
[HKLM\Software\Classes\.kvtfn]
@="kvtmachfn"
[HKLM\Software\Classes\kvtmachfn]
@="Machine words"
"FriendlyTypeName"="@machine.dll,-1"
[HKCU\Software\Classes\.kvtfn\OpenWithProgIDs]
"kvtuserfn"=""
[HKCU\Software\Classes\kvtuserfn]
@="User words"
"FriendlyTypeName"="@user.dll,-1"

[HKLM\Software\Classes\.kvtsame]
@="kvtsamefile"
[HKLM\Software\Classes\kvtsamefile]
"FriendlyTypeName"="@machine.dll,-2"
[HKCU\Software\Classes\.kvtsame]
@="kvtsamefile"
[HKCU\Software\Classes\kvtsamefile]
@="User words"
"FriendlyTypeName"="@user.dll,-2"
)");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        for (const char* extension : {".kvtfn", ".kvtsame"}) {
            HWND editor = kvt::EditFromTree(user, window, extension);
            ASSERT_NE(nullptr, editor);
            Retype(user, EditorControl(editor, IDC_GENERAL_DESCRIPTION), "New words");
            Save(user, editor);
        }
        user.Close(window);
    });
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtuserfn"), nullptr, "New words");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtuserfn"), "FriendlyTypeNameBak", "@user.dll,-1");
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvtmachfn"), "FriendlyTypeName",
                    "@machine.dll,-1");
    EXPECT_REG_ABSENT(HKEY_LOCAL_MACHINE, Classes("kvtmachfn"), "FriendlyTypeNameBak");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtsamefile"), "FriendlyTypeNameBak",
                    "@user.dll,-2");
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes("kvtsamefile"), "FriendlyTypeName");
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvtsamefile"), "FriendlyTypeName",
                    "@machine.dll,-2");
}

// An icon location of 260 characters does not fit the record's buffer: it
// counts as absent and is never written back cut to 259.
TEST_F(Promises, AnIconLocationTooLongForItsBufferIsNotWrittenCut) {
    const std::string location = "C:\\kvt\\" + std::string(249, 'i') + ".ico";
    ASSERT_EQ(260u, location.size());
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtlongicon\\DefaultIcon"), nullptr, location);
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtlongicon");
        ASSERT_NE(nullptr, editor);
        user.ClickCheckBox(kvt::ShowEditorPage(user, editor, 2), IDC_EDITFLAGS_FIRST);
        Save(user, editor);
        user.Close(window);
    });
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes(".kvtlongicon"), nullptr, "kvtlongiconFile");
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes("kvtlongiconFile\\DefaultIcon"), nullptr);
}

// New arguments for a rundll32 command, whose program the pane shows with
// no file or folder, keep that program.
TEST_F(Promises, NewArgumentsOfARundllCommandKeepItsProgram) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtrun", "kvtrunfile", "Run",
                       "rundll32.exe shell32.dll,Control_RunDLL %1");
    kvt::RunMainWindow(1, [](User& user, HWND window) {
        HWND editor = kvt::EditFromAdminList(user, window, ".kvtrun");
        ASSERT_NE(nullptr, editor);
        kvt::ShowEditorPage(user, editor, 1);
        Retype(user, EditorControl(editor, IDC_OPENSWITH_ARGS), "shell32.dll,Other");
        Save(user, editor);
        user.Close(window);
    });
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvtrunfile\\shell\\open\\command"), nullptr,
                    "rundll32.exe shell32.dll,Other");
}

// A command that begins with a variable, quoted or not, is stored to be expanded.
TEST_F(Promises, ACommandBeginningWithAVariableIsStoredExpandable) {
    const struct {
        const char* command;
        DWORD type;
    } rows[] = {
        {"%SystemRoot%\\notepad.exe %1", REG_EXPAND_SZ},
        {"\"%ProgramFiles%\\Kv Tool\\kvtool.exe\" \"%1\"", REG_EXPAND_SZ},
        {"\"C:\\Kv Tool\\kvtool.exe\" \"%1\"", REG_SZ},
        {"C:\\kvt.exe %TEMP%", REG_SZ},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        kvt::CreateKey(HKEY_CURRENT_USER, Classes("kvtcmd"));
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegistryOpenKey(HKEY_CURRENT_USER, Classes("kvtcmd").c_str(),
                                                 KEY_WRITE, key.put()));
        WriteCommandValue(key.get(), row.command);
        EXPECT_REG_TEXT_TYPED(HKEY_CURRENT_USER, Classes("kvtcmd"), nullptr, row.command, row.type);
    }
}

} // namespace
