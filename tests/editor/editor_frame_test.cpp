// The property editor (dialog 1500) opened from the real main window: its
// modes, what it shows, and how Save, Cancel and the close box end it.
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

#include <string>
#include <vector>

namespace {

using kvt::Classes;
using kvt::EditorControl;
using kvt::User;

const char kPleaseWait[] = "Please Wait...";
const char kContentTypes[] = "Software\\Classes\\MIME\\Database\\Content Type";
const std::vector<std::string> kPerceivedChoices = {
    "application", "audio", "compressed", "contacts", "document",
    "gamemedia",   "image", "system",     "text",     "video"};

class PropertyEditor : public kvt::RegistryTest {
  protected:
    // A machine-wide extension with a program, DDE and edit flags.
    static void SeedMachineExtension() {
        kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtcus", "kvtcusfile", "Kvt Customer File",
                           "C:\\Tools\\kvtview.exe %1");
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtcus"), "Content Type", "text/kvt");
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtcus"), "PerceivedType", "text");
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtcusfile\\shell\\Open\\ddeexec"), nullptr,
                     "[open(\"%1\")]");
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtcusfile\\shell\\Open\\ddeexec\\Application"),
                     nullptr, "KvtView");
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtcusfile\\shell\\Open\\ddeexec\\Topic"),
                     nullptr, "KvtTopic");
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes("Applications\\kvtview.exe"), "FriendlyAppName",
                     "Kvt Viewer");
        kvt::SetDword(HKEY_LOCAL_MACHINE, Classes("kvtcusfile"), "EditFlags",
                      0x1 | 0x2 | 0x40000 | 0x100000);
        for (const char* type : {"kvt/beta", "kvt/alpha"})
            kvt::CreateKey(HKEY_LOCAL_MACHINE, std::string(kContentTypes) + "\\" + type);
    }

    // An extension of the user alone, without program or DDE.
    static void SeedUserExtension() {
        kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtown", "kvtownfile", "Kvt Own File", "");
        kvt::SetDword(HKEY_CURRENT_USER, Classes("kvtownfile"), "EditFlags", 0x8);
    }
};

std::vector<int> CheckedBoxes(HWND editor) {
    std::vector<int> checked;
    for (int id = IDC_EDITFLAGS_FIRST; id <= IDC_EDITFLAGS_LAST; ++id)
        if (kvt::IsChecked(EditorControl(editor, id)))
            checked.push_back(id);
    return checked;
}

std::string Shown(HWND editor, int id) {
    return User::Text(EditorControl(editor, id));
}

TEST_F(PropertyEditor, CustomizeStartsFromTheDetailsAndTheMachinesValues) {
    SeedMachineExtension();
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtcus");
        ASSERT_NE(nullptr, editor);
        EXPECT_EQ("Customize properties for: .kvtcus", User::Text(editor));
        EXPECT_EQ("Save", User::Text(editor, IDC_EDITOR_SAVE));
        EXPECT_EQ("Cancel", User::Text(editor, IDC_EDITOR_CANCEL));
        // The pages show what the details pane showed.
        EXPECT_EQ(User::Text(window, IDC_MAIN_FILETYPE), Shown(editor, IDC_GENERAL_DESCRIPTION));
        EXPECT_EQ("text", Shown(editor, IDC_GENERAL_PERCEIVED_CURRENT));
        EXPECT_EQ("text/kvt", Shown(editor, IDC_GENERAL_CONTENT_CURRENT));
        EXPECT_EQ("Kvt Viewer", Shown(editor, IDC_OPENSWITH_OPENSWITH));
        EXPECT_EQ("kvtview.exe", Shown(editor, IDC_OPENSWITH_PROGRAMFILE));
        EXPECT_EQ("C:\\Tools\\", Shown(editor, IDC_OPENSWITH_PROGRAMPATH));
        EXPECT_EQ("%1", Shown(editor, IDC_OPENSWITH_ARGS));
        EXPECT_EQ(User::Text(window, IDC_MAIN_ICONFILE), Shown(editor, IDC_GENERAL_ICONFILE));
        EXPECT_EQ(User::Text(window, IDC_MAIN_ICONPATH), Shown(editor, IDC_GENERAL_ICONPATH));
        // The icons are the pane's own, shown in two places.
        EXPECT_EQ(SendDlgItemMessageA(window, IDC_MAIN_LARGEICON, STM_GETICON, 0, 0),
                  SendMessageA(EditorControl(editor, IDC_GENERAL_LARGEICON), STM_GETICON, 0, 0));
        EXPECT_NE(0, SendDlgItemMessageA(window, IDC_MAIN_LARGEICON, STM_GETICON, 0, 0));
        // DDE from the class, and the machine's edit flags.
        EXPECT_EQ("[open(\"%1\")]", Shown(editor, IDC_OPENSWITH_DDECOMMAND));
        EXPECT_EQ("KvtView", Shown(editor, IDC_OPENSWITH_DDEAPP));
        EXPECT_EQ("KvtTopic", Shown(editor, IDC_OPENSWITH_DDETOPIC));
        EXPECT_EQ((std::vector<int>{1801, 1802, 1818, 1819}), CheckedBoxes(editor));
        // A machine-wide extension has no user value to remove: no "[ NONE ]".
        EXPECT_EQ(kPerceivedChoices,
                  User::ComboTexts(EditorControl(editor, IDC_GENERAL_PERCEIVED_COMBO)));
        // The MIME database's types, in the registry's order.
        const std::vector<std::string> types = kvt::SubKeyNames(HKEY_LOCAL_MACHINE, kContentTypes);
        EXPECT_GE(types.size(), 2u);
        EXPECT_EQ(types, User::ComboTexts(EditorControl(editor, IDC_GENERAL_CONTENT_COMBO)));
        // The description has the focus with its text selected.
        DWORD start = 1, end = 0;
        SendMessageA(EditorControl(editor, IDC_GENERAL_DESCRIPTION), EM_GETSEL,
                     reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start);
        EXPECT_EQ(Shown(editor, IDC_GENERAL_DESCRIPTION).size(), end);
        user.Click(editor, IDC_EDITOR_CANCEL);
        EXPECT_TRUE(user.WaitGone(editor));
        EXPECT_EQ(nullptr, user.FindMessageBoxNow()) << "nothing changed, nothing to ask";
        user.Close(window);
    });
    EXPECT_EQ(kEditorCustomize, EditorMode);
    EXPECT_EQ(1u, EditorDiscarded);
}

TEST_F(PropertyEditor, EditOfAUserExtensionFillsFromTheUsersHiveAndOffersNone) {
    SeedUserExtension();
    kvt::CreateKey(HKEY_LOCAL_MACHINE, std::string(kContentTypes) + "\\kvt/own");
    kvt::SetDword(HKEY_LOCAL_MACHINE, Classes("kvtownfile"), "EditFlags", 0x1);
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::EditFromTree(user, window, ".kvtown");
        ASSERT_NE(nullptr, editor);
        EXPECT_EQ("Edit properties for: .kvtown", User::Text(editor));
        EXPECT_EQ("Save", User::Text(editor, IDC_EDITOR_SAVE));
        EXPECT_EQ("Kvt Own File", Shown(editor, IDC_GENERAL_DESCRIPTION));
        // Fall-back words travel; the arguments do not, without an open command.
        EXPECT_EQ("Unknown", User::Text(window, IDC_MAIN_ARGS));
        EXPECT_EQ("Unknown", Shown(editor, IDC_GENERAL_PERCEIVED_CURRENT));
        EXPECT_EQ("Unknown", Shown(editor, IDC_OPENSWITH_PROGRAMFILE));
        EXPECT_EQ("", Shown(editor, IDC_OPENSWITH_ARGS));
        for (int id : {IDC_OPENSWITH_DDECOMMAND, IDC_OPENSWITH_DDEAPP, IDC_OPENSWITH_DDETOPIC})
            EXPECT_EQ("", Shown(editor, id));
        EXPECT_EQ((std::vector<int>{1804}), CheckedBoxes(editor)) << "the user's flags";
        std::vector<std::string> perceived =
            User::ComboTexts(EditorControl(editor, IDC_GENERAL_PERCEIVED_COMBO));
        ASSERT_EQ(kPerceivedChoices.size() + 1, perceived.size());
        EXPECT_EQ("[ NONE ]", perceived[0]);
        std::vector<std::string> types = kvt::SubKeyNames(HKEY_LOCAL_MACHINE, kContentTypes);
        types.insert(types.begin(), "[ NONE ]");
        EXPECT_EQ(types, User::ComboTexts(EditorControl(editor, IDC_GENERAL_CONTENT_COMBO)));
        user.SelectCombo(kvt::EditorPage(editor, IDC_GENERAL_PERCEIVED_COMBO),
                         IDC_GENERAL_PERCEIVED_COMBO, 0);
        EXPECT_TRUE(user.WaitUntil(
            [&] { return Shown(editor, IDC_GENERAL_PERCEIVED_CURRENT) == "[ NONE ]"; }));
        user.Close(editor);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
    EXPECT_EQ(kEditorEdit, EditorMode);
    EXPECT_EQ(1u, EditorDiscarded) << "the close box discards";
}

TEST_F(PropertyEditor, AdminEditReadsTheMachinesClassAndHasNoRecentList) {
    SeedMachineExtension();
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtcus", "kvtcusfile", "Mine", "");
    kvt::SetDword(HKEY_CURRENT_USER, Classes("kvtcusfile"), "EditFlags", 0x8);
    kvt::RunMainWindow(1, [](User& user, HWND window) {
        HWND editor = kvt::EditFromAdminList(user, window, ".kvtcus");
        ASSERT_NE(nullptr, editor);
        EXPECT_EQ("Edit properties for: .kvtcus", User::Text(editor));
        EXPECT_EQ("Kvt Customer File", Shown(editor, IDC_GENERAL_DESCRIPTION));
        EXPECT_EQ("[open(\"%1\")]", Shown(editor, IDC_OPENSWITH_DDECOMMAND));
        EXPECT_EQ("KvtView", Shown(editor, IDC_OPENSWITH_DDEAPP));
        EXPECT_EQ("KvtTopic", Shown(editor, IDC_OPENSWITH_DDETOPIC));
        EXPECT_EQ((std::vector<int>{1801, 1802, 1818, 1819}), CheckedBoxes(editor));
        EXPECT_EQ(kPerceivedChoices,
                  User::ComboTexts(EditorControl(editor, IDC_GENERAL_PERCEIVED_COMBO)));
        HWND recent = EditorControl(editor, IDC_OPENSWITH_RECENTLIST);
        EXPECT_EQ((std::vector<std::string>{"Not available in Admin Mode"}),
                  User::ListTexts(recent));
        EXPECT_FALSE(IsWindowEnabled(recent));
        user.Click(editor, IDC_EDITOR_CANCEL);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
    EXPECT_EQ(kEditorEdit, EditorMode);
}

TEST_F(PropertyEditor, ACustomizedExtensionIsNotOfferedNone) {
    SeedMachineExtension();
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtcus", "kvtcusfile", "Mine", "");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::EditFromTree(user, window, ".kvtcus");
        ASSERT_NE(nullptr, editor);
        EXPECT_EQ(kPerceivedChoices,
                  User::ComboTexts(EditorControl(editor, IDC_GENERAL_PERCEIVED_COMBO)));
        user.Click(editor, IDC_EDITOR_CANCEL);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
}

TEST_F(PropertyEditor, CreateModeStartsEmptyWithCreate) {
    SeedMachineExtension();
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        user.ClickListItem(list, User::ListFind(list, ".kvtcus"));
        ASSERT_TRUE(
            user.WaitUntil([&] { return User::Text(window, IDC_MAIN_EXTENSION) == ".kvtcus"; }));
        user.RunOnDialogThread([] {
            lstrcpyA(NewExtensionName, ".kvtnew");
            RunPropertyEditor(kEditorCreate);
        });
        HWND editor = kvt::WaitForEditor(user);
        ASSERT_NE(nullptr, editor);
        EXPECT_EQ("Create new extension: .kvtnew", User::Text(editor));
        EXPECT_EQ("Create", User::Text(editor, IDC_EDITOR_SAVE));
        for (int id :
             {IDC_GENERAL_DESCRIPTION, IDC_GENERAL_ICONFILE, IDC_GENERAL_ICONPATH,
              IDC_GENERAL_PERCEIVED_CURRENT, IDC_GENERAL_CONTENT_CURRENT, IDC_OPENSWITH_OPENSWITH,
              IDC_OPENSWITH_PROGRAMFILE, IDC_OPENSWITH_PROGRAMPATH, IDC_OPENSWITH_ARGS,
              IDC_OPENSWITH_DDECOMMAND, IDC_OPENSWITH_DDEAPP, IDC_OPENSWITH_DDETOPIC})
            EXPECT_EQ("", Shown(editor, id)) << "control " << id;
        EXPECT_EQ(0, SendMessageA(EditorControl(editor, IDC_GENERAL_LARGEICON), STM_GETICON, 0, 0));
        EXPECT_TRUE(CheckedBoxes(editor).empty());
        EXPECT_EQ(0, User::ListCount(EditorControl(editor, IDC_OPENSWITH_RECENTLIST)))
            << "a new extension has no recently used programs";
        user.Click(editor, IDC_EDITOR_CANCEL);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
    EXPECT_EQ(kEditorCreate, EditorMode);
}

TEST_F(PropertyEditor, TabsShowOnePageAtATime) {
    SeedMachineExtension();
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtcus");
        ASSERT_NE(nullptr, editor);
        HWND tabs = GetDlgItem(editor, IDC_EDITOR_TABS);
        ASSERT_EQ(3, SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
        const char* texts[] = {"Icon", "Open", "Edit Flags"};
        HWND pages[] = {kvt::EditorPage(editor, IDC_GENERAL_DESCRIPTION),
                        kvt::EditorPage(editor, IDC_OPENSWITH_ARGS),
                        kvt::EditorPage(editor, IDC_EDITFLAGS_FIRST)};
        for (int index = 0; index < 3; ++index) {
            char text[32] = {};
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
            EXPECT_STREQ(texts[index], text);
        }
        EXPECT_TRUE(IsWindowVisible(pages[0]));
        EXPECT_FALSE(IsWindowVisible(pages[1]));
        EXPECT_FALSE(IsWindowVisible(pages[2]));
        for (int index : {2, 1, 0, 2}) {
            user.SelectTab(tabs, index);
            EXPECT_TRUE(user.WaitUntil([&] { return IsWindowVisible(pages[index]) != FALSE; }));
            for (int other = 0; other < 3; ++other) {
                if (other != index) {
                    EXPECT_FALSE(IsWindowVisible(pages[other])) << "page " << other;
                }
            }
        }
        user.Click(editor, IDC_EDITOR_CANCEL);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
}

TEST_F(PropertyEditor, SaveWithoutAChangeWritesNothingAndDoesNotRefresh) {
    SeedMachineExtension();
    kvt::WindowCreationLog windows;
    kvt::AssocChangeWatch shell;
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtcus");
        ASSERT_NE(nullptr, editor);
        // Text set by the program is no change.
        user.Click(editor, IDC_EDITOR_SAVE);
        EXPECT_TRUE(user.WaitGone(editor));
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        EXPECT_GE(User::ListFind(list, ".kvtcus"), 0) << "the entry stays in \"System\"";
        user.Close(window);
    });
    EXPECT_EQ(1u, EditorDiscarded);
    EXPECT_EQ(0, windows.Count(kPleaseWait));
    EXPECT_EQ(0, shell.Count());
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes(".kvtcus")));
}

TEST_F(PropertyEditor, TypingAndRestoringTheDescriptionStillCountsAsAChange) {
    SeedMachineExtension();
    kvt::WindowCreationLog windows;
    kvt::AssocChangeWatch shell;
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtcus");
        ASSERT_NE(nullptr, editor);
        HWND description = EditorControl(editor, IDC_GENERAL_DESCRIPTION);
        const std::string before = User::Text(description);
        kvt::MoveCaretToEnd(description);
        user.Type(description, "x\b");
        ASSERT_EQ(before, User::Text(description));
        user.Click(editor, IDC_EDITOR_SAVE);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
    EXPECT_EQ(0u, EditorDiscarded);
    EXPECT_EQ(1, windows.Count(kPleaseWait));
    EXPECT_EQ(1, shell.Count());
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtcusfile"), nullptr, "Kvt Customer File");
}

TEST_F(PropertyEditor, CancelAfterAChangeAsksAndNoDiscards) {
    SeedMachineExtension();
    kvt::WindowCreationLog windows;
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtcus");
        ASSERT_NE(nullptr, editor);
        user.SelectCombo(kvt::EditorPage(editor, IDC_GENERAL_PERCEIVED_COMBO),
                         IDC_GENERAL_PERCEIVED_COMBO, 1);
        user.Click(editor, IDC_EDITOR_CANCEL);
        kvt::MessageBoxInfo box = user.WaitForMessageBox();
        EXPECT_EQ("Do you want to save changes?", box.text);
        EXPECT_EQ(".kvtcus", box.caption);
        EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.buttons);
        user.Answer(box, IDNO);
        EXPECT_TRUE(user.WaitGone(editor));
        EXPECT_GE(User::ListFind(GetDlgItem(window, IDC_MAIN_LIST), ".kvtcus"), 0);
        user.Close(window);
    });
    EXPECT_EQ(1u, EditorDiscarded);
    EXPECT_EQ(0, windows.Count(kPleaseWait));
}

TEST_F(PropertyEditor, CancelAfterAChangeAndYesSavesOnce) {
    SeedMachineExtension();
    kvt::WindowCreationLog windows;
    kvt::AssocChangeWatch shell;
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtcus");
        ASSERT_NE(nullptr, editor);
        // The current entry picked again is a change.
        user.SelectCombo(kvt::EditorPage(editor, IDC_GENERAL_PERCEIVED_COMBO),
                         IDC_GENERAL_PERCEIVED_COMBO, 8);
        user.Click(editor, IDC_EDITOR_CANCEL);
        kvt::MessageBoxInfo box = user.WaitForMessageBox();
        user.Answer(box, IDYES);
        EXPECT_TRUE(user.WaitGone(editor));
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        EXPECT_TRUE(user.WaitUntil([&] { return User::TreeFind(tree, ".kvtcus") != nullptr; }))
            << "a saved customisation moves the entry to \"User Customized\"";
        user.Close(window);
    });
    EXPECT_EQ(0u, EditorDiscarded);
    EXPECT_EQ(1, windows.Count(kPleaseWait));
    EXPECT_EQ(1, shell.Count());
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes(".kvtcus"), "PerceivedType", "text");
}

TEST_F(PropertyEditor, TheCloseBoxDiscardsWithoutAsking) {
    SeedMachineExtension();
    kvt::WindowCreationLog windows;
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtcus");
        ASSERT_NE(nullptr, editor);
        user.Type(EditorControl(editor, IDC_GENERAL_DESCRIPTION), "Changed");
        user.Close(editor);
        EXPECT_TRUE(user.WaitGone(editor));
        EXPECT_EQ(nullptr, user.FindMessageBoxNow());
        user.Close(window);
    });
    EXPECT_EQ(1u, EditorDiscarded);
    EXPECT_EQ(0, windows.Count(kPleaseWait));
}

} // namespace
