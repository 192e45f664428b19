// What lands in the registry is what the user asked for, nothing beside it:
// classes named by a path, values shown longer than their buffer, texts typed
// longer than their buffer.
#include "harness/editor_driver.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"
#include "robustness/robust_kit.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using kvt::Classes;
using kvt::User;

// Right-clicks the extension and chooses the command, then confirms.
void DeleteOrRestore(User& user, HWND window, int admin, const std::string& extension,
                     UINT command) {
    // The command acts on the extension shown, as after a click on it.
    ASSERT_TRUE(admin ? kvr::ShowListed(user, window, 1, extension)
                      : kvr::ShowInTree(user, window, extension));
    if (admin) {
        HWND list = GetDlgItem(window, IDC_ADMIN_LIST);
        user.RightClickListItem(list, User::ListFind(list, extension));
    } else {
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        user.RightClickTreeItem(tree, User::TreeFind(tree, extension));
    }
    const std::string before = kvt::StatusText();
    user.ChooseMenuCommand(command);
    kvt::MessageBoxInfo box = user.WaitForMessageBox();
    ASSERT_NE(std::string::npos, box.text.find(extension)) << box.text;
    user.Answer(box, IDYES);
    ASSERT_TRUE(user.WaitGone(box.window));
    // The counts change last, after the shell refresh that blocks the window.
    ASSERT_TRUE(user.WaitUntil([&] { return kvt::StatusText() != before; }));
    ASSERT_TRUE(user.WaitUntil(
        [&] { return IsWindowEnabled(window) && !user.FindWindowNow("Please Wait..."); }));
    kvr::Settle(user);
}

// Only the named keys' blocks ("[name]" and below) may differ.
void ExpectOnlyKeysGone(const std::string& differences, const std::vector<std::string>& keys) {
    std::string expected;
    for (const std::string& key : keys)
        EXPECT_NE(std::string::npos, differences.find("removed [" + key + "]"))
            << key << " is still there";
    std::istringstream lines(differences);
    for (std::string line; std::getline(lines, line);) {
        const bool header = line.rfind("removed [", 0) == 0 || line.rfind("added [", 0) == 0 ||
                            line.rfind("changed [", 0) == 0;
        if (!header)
            continue;
        bool allowed = false;
        for (const std::string& key : keys)
            allowed = allowed || line.rfind("removed [" + key + "]", 0) == 0;
        EXPECT_TRUE(allowed) << "written beside what was asked: " << line;
    }
}

class WrittenAsAsked : public kvt::RegistryTest {
  protected:
    // A class of a bystander, which a class "named" by a path reaches into.
    static void SeedBystander(HKEY hive) {
        kvt::SeedExtension(hive, ".kvtbystander", "kvtbystander", "Bystander", "keep.exe %1");
    }
};

TEST_F(WrittenAsAsked, AdminDeleteOfAClassNamedByAPathRemovesTheExtensionAlone) {
    SeedBystander(HKEY_LOCAL_MACHINE);
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtroot"), nullptr, "\\");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtinside"), nullptr, "kvtbystander\\shell");
    const kvr::RegistryImage before =
        kvr::RegistryImage::Take(HKEY_LOCAL_MACHINE, "Software\\Classes");
    kvt::RunMainWindow(1, [&](User& user, HWND window) {
        // Saving an edit of such an extension writes nothing into the class
        // its value points at.
        HWND editor = kvt::EditFromAdminList(user, window, ".kvtinside");
        ASSERT_NE(nullptr, editor);
        user.ClickCheckBox(kvt::EditorPage(editor, IDC_EDITFLAGS_FIRST), IDC_EDITFLAGS_FIRST);
        HWND description = kvt::EditorControl(editor, IDC_GENERAL_DESCRIPTION);
        kvt::MoveCaretToEnd(description);
        user.Type(description, " changed");
        user.Click(editor, IDC_EDITOR_SAVE);
        ASSERT_TRUE(user.WaitGone(editor));
        EXPECT_EQ("", kvr::RegistryImage::Take(HKEY_LOCAL_MACHINE, "Software\\Classes")
                          .DifferencesFrom(before));
        user.Close(window);
    });
    // One command per window, each on a freshly read list.
    for (const char* extension : {".kvtroot", ".kvtinside"}) {
        kvt::RunMainWindow(1, [&](User& user, HWND window) {
            DeleteOrRestore(user, window, 1, extension, IDM_DELETE);
            user.Close(window);
        });
    }
    ExpectOnlyKeysGone(
        kvr::RegistryImage::Take(HKEY_LOCAL_MACHINE, "Software\\Classes").DifferencesFrom(before),
        {".kvtroot", ".kvtinside"});
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvtbystander\\shell\\open\\command"), nullptr,
                    "keep.exe %1");
}

TEST_F(WrittenAsAsked, UserRestoreAndDeleteOfAClassNamedByAPathRemoveTheExtensionAlone) {
    SeedBystander(HKEY_CURRENT_USER);
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtroot", "kvtrootfile", "Machine's", "m.exe %1");
    kvt::SetText(HKEY_CURRENT_USER, Classes(".kvtroot"), nullptr, "\\");
    kvt::SetText(HKEY_CURRENT_USER, Classes(".kvtinside"), nullptr, "kvtbystander\\shell");
    const kvr::ClassesImage before = kvr::ClassesImage::Take();
    for (auto [extension, command] :
         {std::make_pair(".kvtroot", IDM_RESTORE), std::make_pair(".kvtinside", IDM_DELETE)}) {
        kvt::RunMainWindow(0,
                           [&, extension = extension, command = command](User& user, HWND window) {
                               DeleteOrRestore(user, window, 0, extension, command);
                               user.Close(window);
                           });
    }
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        // The program goes on working: the bystander still shows.
        EXPECT_TRUE(kvr::ShowInTree(user, window, ".kvtbystander"));
        EXPECT_EQ("Bystander", kvt::ReadPane(window, 0).fileType);
        user.Close(window);
    });
    const kvr::ClassesImage after = kvr::ClassesImage::Take();
    ExpectOnlyKeysGone(after.userClasses.DifferencesFrom(before.userClasses),
                       {".kvtroot", ".kvtinside"});
    EXPECT_EQ("", after.machineClasses.DifferencesFrom(before.machineClasses));
}

TEST_F(WrittenAsAsked, CustomizeCopiesAShownPerceivedTypeWhole) {
    // No class: Customize makes one and writes what the editor shows.
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtshown"), "PerceivedType", "documentation-long");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtshown"), "Content Type", "text/kvt-shown");
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtshown");
        ASSERT_NE(nullptr, editor);
        HWND description = kvt::EditorControl(editor, IDC_GENERAL_DESCRIPTION);
        kvt::MoveCaretToEnd(description);
        user.Type(description, "!");
        user.Click(editor, IDC_EDITOR_SAVE);
        ASSERT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes(".kvtshown"), "PerceivedType", "documentation-long");
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes(".kvtshown"), "Content Type", "text/kvt-shown");
}

TEST_F(WrittenAsAsked, TextTypedPastItsBufferIsRefusedNotCutOnSave) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvttyped", "kvttypedfile", "Typed", "t.exe %1");
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes("kvttypedfile\\shell\\Open\\ddeexec"));
    const std::string typed(300, 'w');
    std::string shownDescription, shownCommand;
    kvt::RunMainWindow(1, [&](User& user, HWND window) {
        HWND editor = kvt::EditFromAdminList(user, window, ".kvttyped");
        ASSERT_NE(nullptr, editor);
        HWND description = kvt::EditorControl(editor, IDC_GENERAL_DESCRIPTION);
        user.SetText(description, "");
        user.Type(description, typed);
        shownDescription = User::Text(description);
        kvt::ShowEditorPage(user, editor, 1);
        HWND command = kvt::EditorControl(editor, IDC_OPENSWITH_DDECOMMAND);
        user.Type(command, typed);
        shownCommand = User::Text(command);
        user.Click(editor, IDC_EDITOR_SAVE);
        ASSERT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
    // The edits take no more than their buffers keep (a narrow one may take
    // less), and Save writes exactly what they show.
    EXPECT_EQ(std::string(259, 'w'), shownDescription);
    EXPECT_LE(shownCommand.size(), 259u);
    EXPECT_FALSE(shownCommand.empty());
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvttypedfile"), nullptr, shownDescription);
    EXPECT_REG_TEXT(HKEY_LOCAL_MACHINE, Classes("kvttypedfile\\shell\\Open\\ddeexec"), nullptr,
                    shownCommand);
}

} // namespace
