// Saving the property editor in user mode, driven from the real main window:
// what lands in the user's hive, what stays in the machine's, and what the
// main window shows afterwards.
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
#include "platform/registry.h"
#include "resources/resource.h"
#include "writer/value_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using kvt::Classes;
using kvt::EditorControl;
using kvt::User;

class ApplyEditsUserTest : public kvt::RegistryTest {};

const char kPleaseWait[] = "Please Wait...";

void SeedApplication(const std::string& application, const std::string& friendlyName,
                     const std::string& command) {
    const std::string key = Classes("Applications\\" + application);
    kvt::SetText(HKEY_CURRENT_USER, key, "FriendlyAppName", friendlyName);
    kvt::SetText(HKEY_CURRENT_USER, key + "\\shell\\open\\command", nullptr, command);
}

// Replaces an edit's text as a person does: select all, then type.
void Retype(User& user, HWND edit, const std::string& text) {
    SendMessageA(edit, EM_SETSEL, 0, -1);
    user.Type(edit, text.empty() ? std::string("\b") : text);
}

void Save(User& user, HWND editor) {
    user.Click(editor, IDC_EDITOR_SAVE);
    EXPECT_TRUE(user.WaitGone(editor));
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(ApplyEditsUserTest, CustomizeCopiesTheMachinesKeysThenEditsTheCopy) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtcus", "kvtcusfile", "Machine Words",
                       "C:\\Tools\\kvtview.exe %1");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtcus"), "Content Type", "text/kvt");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtcusfile\\shell\\print\\command"), nullptr,
                 "C:\\Tools\\kvtprint.exe %1");
    // Bits without a box (0x4000, 0x200000) are kept by any save.
    kvt::SetDword(HKEY_LOCAL_MACHINE, Classes("kvtcusfile"), "EditFlags", 0x1 | 0x4000 | 0x200000);
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        const int systemBefore = User::ListCount(list);
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtcus");
        ASSERT_NE(nullptr, editor);
        Retype(user, EditorControl(editor, IDC_GENERAL_DESCRIPTION), "My Words");
        Save(user, editor);
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(list) == systemBefore - 1; }));
        EXPECT_LT(User::ListFind(list, ".kvtcus"), 0);
        HTREEITEM customized = User::TreeNext(tree, TVGN_ROOT, nullptr);
        std::vector<std::string> children = User::TreeChildren(tree, customized);
        ASSERT_FALSE(children.empty());
        EXPECT_EQ(".kvtcus", children.back()) << "appended at the end of the group";
        EXPECT_EQ(".kvtcus", User::TreeText(tree, User::TreeSelected(tree)));
        EXPECT_NE(std::string::npos,
                  kvt::StatusText().find("User Customized=" + std::to_string(children.size())));
        user.Close(window);
    });
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes(".kvtcus"), nullptr, "kvtcusfile");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes(".kvtcus"), "Content Type", "text/kvt");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtcusfile"), nullptr, "My Words");
    EXPECT_EQ(0x1u | 0x4000 | 0x200000,
              kvt::ReadValue(HKEY_CURRENT_USER, Classes("kvtcusfile"), "EditFlags").Dword());
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtcusfile\\shell\\open\\command"), nullptr,
                    "C:\\Tools\\kvtview.exe %1");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtcusfile\\shell\\print\\command"), nullptr,
                    "C:\\Tools\\kvtprint.exe %1");
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvtcusfile"), nullptr, "Machine Words");
    EXPECT_EQ(2u, kvt::ValueNames(HKEY_LOCAL_MACHINE, Classes(".kvtcus")).size());
    EXPECT_FALSE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes("kvtcusfile\\DefaultIcon")));
}

TEST_F(ApplyEditsUserTest, CustomizeWithoutAClassMakesOneAndWritesWhatIsShownButNoPlaceholder) {
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtabc"), "Content Type", "text/kvtabc");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtabc");
        ASSERT_NE(nullptr, editor);
        EXPECT_EQ("Unknown", User::Text(EditorControl(editor, IDC_GENERAL_PERCEIVED_CURRENT)));
        EXPECT_EQ("Unknown", User::Text(EditorControl(editor, IDC_OPENSWITH_PROGRAMFILE)));
        user.ClickCheckBox(kvt::ShowEditorPage(user, editor, 2), IDC_EDITFLAGS_FIRST + 1);
        Save(user, editor);
        user.Close(window);
    });
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes(".kvtabc"), nullptr, "kvtabcFile");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes(".kvtabc"), "Content Type", "text/kvtabc");
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes(".kvtabc"), "PerceivedType");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtabcFile"), nullptr, "KVTABC File");
    EXPECT_EQ(0x2u, kvt::ReadValue(HKEY_CURRENT_USER, Classes("kvtabcFile"), "EditFlags").Dword());
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes("kvtabcFile\\DefaultIcon"), nullptr);
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes("kvtabcFile\\shell\\open\\command")));
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes("kvtabcFile\\shell\\Open\\ddeexec")))
        << "no DDE settings were shown, so none are made up";
    EXPECT_FALSE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes("kvtabcFile")));
}

TEST_F(ApplyEditsUserTest, ANewExtensionIsCreatedAndShownSortedAndSelected) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtaaa", "kvtaaafile", "A", "");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtzzz", "kvtzzzfile", "Z", "");
    kvt::WindowCreationLog windows;
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        user.RunOnDialogThread([] {
            lstrcpyA(NewExtensionName, ".kvtabc");
            RunPropertyEditor(kEditorCreate);
        });
        HWND editor = kvt::WaitForEditor(user);
        ASSERT_NE(nullptr, editor);
        user.Type(EditorControl(editor, IDC_GENERAL_DESCRIPTION), "Kvt Abc");
        user.SelectCombo(kvt::EditorPage(editor, IDC_GENERAL_PERCEIVED_COMBO),
                         IDC_GENERAL_PERCEIVED_COMBO, 8);
        Save(user, editor);
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        HTREEITEM defined =
            User::TreeNext(tree, TVGN_NEXT, User::TreeNext(tree, TVGN_ROOT, nullptr));
        std::vector<std::string> children = User::TreeChildren(tree, defined);
        std::vector<std::string> ours;
        for (const std::string& child : children)
            if (child.rfind(".kvt", 0) == 0)
                ours.push_back(child);
        EXPECT_EQ((std::vector<std::string>{".kvtaaa", ".kvtabc", ".kvtzzz"}), ours);
        EXPECT_EQ(".kvtabc", User::TreeText(tree, User::TreeSelected(tree)));
        user.Close(window);
    });
    EXPECT_STREQ(".kvtabc", CurrentExtension);
    EXPECT_EQ(1, windows.Count(kPleaseWait));
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes(".kvtabc"), nullptr, "kvtabcFile");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes(".kvtabc"), "PerceivedType", "text");
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes(".kvtabc"), "Content Type");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtabcFile"), nullptr, "Kvt Abc");
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes("kvtabcFile"), "EditFlags");
}

TEST_F(ApplyEditsUserTest, EditFlagsAloneWriteOnlyEditFlagsAndNoBoxDeletesThem) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtone", "kvtonefile", "One", "");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvttwo", "kvttwofile", "Two", "");
    kvt::SetDword(HKEY_CURRENT_USER, Classes("kvttwofile"), "EditFlags", 0x8);
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::EditFromTree(user, window, ".kvtone");
        ASSERT_NE(nullptr, editor);
        user.ClickCheckBox(kvt::ShowEditorPage(user, editor, 2), IDC_EDITFLAGS_FIRST + 4);
        Save(user, editor);
        editor = kvt::EditFromTree(user, window, ".kvttwo");
        ASSERT_NE(nullptr, editor);
        user.ClickCheckBox(kvt::ShowEditorPage(user, editor, 2), IDC_EDITFLAGS_FIRST + 3);
        Save(user, editor);
        user.Close(window);
    });
    EXPECT_EQ(0x10u, kvt::ReadValue(HKEY_CURRENT_USER, Classes("kvtonefile"), "EditFlags").Dword());
    EXPECT_EQ(REG_DWORD,
              kvt::ReadValue(HKEY_CURRENT_USER, Classes("kvtonefile"), "EditFlags").type);
    EXPECT_EQ((std::vector<std::string>{"", "EditFlags"}),
              Sorted(kvt::ValueNames(HKEY_CURRENT_USER, Classes("kvtonefile"))));
    EXPECT_EQ((std::vector<std::string>{"DefaultIcon"}),
              kvt::SubKeyNames(HKEY_CURRENT_USER, Classes("kvtonefile")));
    EXPECT_TRUE(kvt::ValueNames(HKEY_CURRENT_USER, Classes("kvtonefile\\DefaultIcon")).empty());
    EXPECT_EQ((std::vector<std::string>{""}),
              kvt::ValueNames(HKEY_CURRENT_USER, Classes(".kvtone")));
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes("kvttwofile"), "EditFlags");
}

TEST_F(ApplyEditsUserTest, ADdeTopicChangeRewritesAllThreeKeys) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtdde", "kvtddefile", "Dde",
                       "C:\\Tools\\kvtview.exe %1");
    SeedApplication("kvtview.exe", "Kvt Viewer", "C:\\Tools\\kvtview.exe %1");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtddefile\\shell\\Open\\ddeexec"), nullptr, "[open]");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtddefile\\shell\\Open\\ddeexec\\Application"),
                 nullptr, "KvtApp");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtddefile\\shell\\Open\\ddeexec\\Topic"), nullptr,
                 "KvtTopic");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::EditFromTree(user, window, ".kvtdde");
        ASSERT_NE(nullptr, editor);
        kvt::ShowEditorPage(user, editor, 1);
        EXPECT_EQ("KvtTopic", User::Text(EditorControl(editor, IDC_OPENSWITH_DDETOPIC)));
        // Blanks only are collected as an empty text.
        Retype(user, EditorControl(editor, IDC_OPENSWITH_DDETOPIC), "   ");
        Save(user, editor);
        user.Close(window);
    });
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtddefile\\shell\\Open\\ddeexec"), nullptr,
                    "[open]");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtddefile\\shell\\Open\\ddeexec\\Application"),
                    nullptr, "KvtApp");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtddefile\\shell\\Open\\ddeexec\\Topic"), nullptr,
                    "");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtddefile\\shell\\open\\command"), nullptr,
                    "C:\\Tools\\kvtview.exe %1");
}

TEST_F(ApplyEditsUserTest, NoneRemovesTheUsersValueAndTheMachinesShowsAgain) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtown", "kvtownfile", "Own", "");
    kvt::SetText(HKEY_CURRENT_USER, Classes(".kvtown"), "Content Type", "text/own");
    kvt::SetText(HKEY_CURRENT_USER, Classes(".kvtown"), "PerceivedType", "text");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::EditFromTree(user, window, ".kvtown");
        ASSERT_NE(nullptr, editor);
        user.SelectCombo(kvt::EditorPage(editor, IDC_GENERAL_CONTENT_COMBO),
                         IDC_GENERAL_CONTENT_COMBO, 0);
        Save(user, editor);
        user.Close(window);
    });
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes(".kvtown"), "Content Type");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes(".kvtown"), "PerceivedType", "text");

    // The marker in any letter case, on a customised extension.
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtown"), "Content Type", "text/machine");
    {
        RegKey key;
        ASSERT_TRUE(
            CreateClassesKey(HKEY_CURRENT_USER, ".kvtown", nullptr, KEY_READ | KEY_WRITE, &key));
        WriteOptionalText(key.get(), "Content Type", "text/own");
        WriteOptionalText(key.get(), "Content Type", "[ none ]");
    }
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes(".kvtown"), "Content Type");
    RegKey merged;
    ASSERT_EQ(ERROR_SUCCESS,
              RegistryOpenKey(HKEY_CLASSES_ROOT, ".kvtown", KEY_QUERY_VALUE, merged.put()));
    char shown[261] = {};
    ASSERT_EQ(ERROR_SUCCESS, RegistryReadText(merged.get(), "Content Type", shown, sizeof shown));
    EXPECT_STREQ("text/machine", shown);
}

TEST_F(ApplyEditsUserTest, ADescriptionChangeMovesFriendlyTypeNameToItsBackup) {
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtown", "kvtownfile", "Own", "");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtownfile"), "FriendlyTypeName", "@kvtown.dll,-5",
                 REG_EXPAND_SZ);
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtcus", "kvtcusfile", "Machine", "");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtcusfile"), "FriendlyTypeName", "@machine.dll,-1");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtcus", "kvtcusfile", "Mine", "");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtcusfile"), "FriendlyTypeName", "@mine.dll,-2");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        for (const char* extension : {".kvtown", ".kvtcus"}) {
            HWND editor = kvt::EditFromTree(user, window, extension);
            ASSERT_NE(nullptr, editor);
            Retype(user, EditorControl(editor, IDC_GENERAL_DESCRIPTION), "Renamed");
            Save(user, editor);
        }
        user.Close(window);
    });
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtownfile"), nullptr, "Renamed");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtownfile"), "FriendlyTypeNameBak",
                    "@kvtown.dll,-5");
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes("kvtownfile"), "FriendlyTypeName");
    // The customised class: the user's value moves; the machine's stays where it is.
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes("kvtcusfile"), "FriendlyTypeName");
    EXPECT_TRUE(
        kvt::ReadValue(HKEY_CURRENT_USER, Classes("kvtcusfile"), "FriendlyTypeNameBak").exists);
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvtcusfile"), "FriendlyTypeName",
                    "@machine.dll,-1");
    EXPECT_REG_ABSENT(HKEY_LOCAL_MACHINE, Classes("kvtcusfile"), "FriendlyTypeNameBak");
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvtcusfile"), nullptr, "Machine");
}

TEST_F(ApplyEditsUserTest, TheOpenWithListGetsTheRowsProgramNamesInTheirOrder) {
    SeedApplication("kvtp.exe", "P Kvt", "C:\\P\\kvtp.exe %1");
    SeedApplication("kvtq.exe", "Q Kvt", "C:\\Q\\kvtq.exe %1");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtown", "kvtownfile", "Own", "");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtone", "kvtonefile", "One", "");
    const std::string own = kvt::OpenWithListPath(".kvtown");
    kvt::SetText(HKEY_CURRENT_USER, own, "a", "kvtq.exe");
    kvt::SetText(HKEY_CURRENT_USER, own, "b", "kvtp.exe");
    kvt::SetText(HKEY_CURRENT_USER, own, "c", "kvtgone.exe");
    kvt::SetText(HKEY_CURRENT_USER, own, "MRUList", "cba");
    const std::string one = kvt::OpenWithListPath(".kvtone");
    kvt::SetText(HKEY_CURRENT_USER, one, "a", "kvtp.exe");
    kvt::SetText(HKEY_CURRENT_USER, one, "MRUList", "a");
    auto removeFirstRow = [](User& user, HWND editor) {
        HWND list = EditorControl(editor, IDC_OPENSWITH_RECENTLIST);
        const int rows = User::ListCount(list);
        user.RightClickListItem(list, 0);
        user.ChooseMenuCommand(IDM_RECENT_REMOVE);
        EXPECT_TRUE(user.WaitUntil([&] { return User::ListCount(list) == rows - 1; }));
    };
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND editor = kvt::EditFromTree(user, window, ".kvtown");
        ASSERT_NE(nullptr, editor);
        kvt::ShowEditorPage(user, editor, 1);
        HWND list = EditorControl(editor, IDC_OPENSWITH_RECENTLIST);
        ASSERT_EQ((std::vector<std::string>{"P Kvt", "Q Kvt"}), User::ListTexts(list));
        // P out and back in: the same rows, and a change.
        removeFirstRow(user, editor);
        user.RightClickListItem(list, 0);
        HMENU popup = user.WaitForPopupMenu();
        ASSERT_NE(nullptr, popup);
        UINT addP = 0;
        for (const kvt::MenuEntry& entry : User::MenuEntries(popup))
            if (entry.submenu)
                for (const kvt::MenuEntry& program : User::MenuEntries(entry.submenu))
                    if (program.text == "P Kvt")
                        addP = program.command;
        user.ChooseMenuCommand(addP);
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(list) == 2; }));
        Save(user, editor);
        // An emptied list leaves the stored one as it was.
        editor = kvt::EditFromTree(user, window, ".kvtone");
        ASSERT_NE(nullptr, editor);
        kvt::ShowEditorPage(user, editor, 1);
        removeFirstRow(user, editor);
        Save(user, editor);
        user.Close(window);
    });
    EXPECT_EQ((std::vector<std::string>{"MRUList", "a", "b"}),
              Sorted(kvt::ValueNames(HKEY_CURRENT_USER, own)));
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, own, "a", "kvtp.exe");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, own, "b", "kvtq.exe");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, own, "MRUList", "ab");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, one, "a", "kvtp.exe");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, one, "MRUList", "a");
}

TEST_F(ApplyEditsUserTest, AChosenProgramBecomesTheOpenCommandQuotedWhenItHasBlanks) {
    SeedApplication("kvtedit.exe", "Kvt Editor",
                    "\"C:\\Program Files\\Kvt Edit\\kvtedit.exe\" \"%1\"");
    SeedApplication("kvtview.exe", "Kvt Viewer", "C:\\Tools\\kvtview.exe %1");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtone", "kvtonefile", "One", "");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvttwo", "kvttwofile", "Two", "");
    struct Case {
        const char* extension;
        const char* program;
    };
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        for (Case test : {Case{".kvtone", "Kvt Editor"}, Case{".kvttwo", "Kvt Viewer"}}) {
            HWND editor = kvt::EditFromTree(user, window, test.extension);
            ASSERT_NE(nullptr, editor);
            kvt::ShowEditorPage(user, editor, 1);
            HWND combo = EditorControl(editor, IDC_OPENSWITH_PROGRAMCOMBO);
            std::vector<std::string> programs = User::ComboTexts(combo);
            auto found = std::find(programs.begin(), programs.end(), test.program);
            ASSERT_NE(programs.end(), found) << test.program << " is not offered";
            user.SelectCombo(GetParent(combo), IDC_OPENSWITH_PROGRAMCOMBO,
                             static_cast<int>(found - programs.begin()));
            EXPECT_TRUE(user.WaitUntil([&] {
                return User::Text(EditorControl(editor, IDC_OPENSWITH_OPENSWITH)) == test.program;
            }));
            Save(user, editor);
        }
        user.Close(window);
    });
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtonefile\\shell\\open\\command"), nullptr,
                    "\"C:\\Program Files\\Kvt Edit\\kvtedit.exe\" \"%1\"");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvttwofile\\shell\\open\\command"), nullptr,
                    "C:\\Tools\\kvtview.exe %1");

    RegKey key;
    ASSERT_TRUE(
        CreateClassesKey(HKEY_CURRENT_USER, "kvttwofile", kOpenCommandKey, KEY_WRITE, &key));
    WriteCommandValue(key.get(), "%SystemRoot%\\kvtview.exe %1");
    EXPECT_REG_TEXT_TYPED(HKEY_CURRENT_USER, Classes("kvttwofile\\shell\\open\\command"), nullptr,
                          "%SystemRoot%\\kvtview.exe %1", REG_EXPAND_SZ);
}

} // namespace
