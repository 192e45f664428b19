// The Edit-flags page: its boxes filled from the stored EditFlags value, and
// what a click on a box means for Save.
#include "details/edit_flags.h"
#include "details/command_rules.h"
#include "details/pane.h"
#include "details/readers.h"
#include "records/extension_record.h"
#include "records/editor_state.h"
#include "harness/editor_driver.h"
#include "harness/main_window.h"
#include "harness/observers.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

using kvt::Classes;
using kvt::EditorControl;
using kvt::User;

class EditFlagsPageTest : public kvt::RegistryTest {};

std::vector<int> CheckedBoxes(HWND editor) {
    std::vector<int> checked;
    for (int id = IDC_EDITFLAGS_FIRST; id <= IDC_EDITFLAGS_LAST; ++id)
        if (kvt::IsChecked(EditorControl(editor, id)))
            checked.push_back(id);
    return checked;
}

void SeedClass(const std::string& extension) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, extension, extension.substr(1) + "file", "Flags", "");
}

TEST_F(EditFlagsPageTest, BoxesShowTheStoredValueWithTheirTexts) {
    SeedClass(".kvtfa");
    kvt::SetDword(HKEY_LOCAL_MACHINE, Classes("kvtfafile"), "EditFlags",
                  0x1 | 0x2 | 0x40000 | 0x100000);
    SeedClass(".kvtfb"); // no value
    SeedClass(".kvtfc");
    kvt::SetBytes(HKEY_LOCAL_MACHINE, Classes("kvtfcfile"), "EditFlags", REG_BINARY,
                  {0x10, 0x80, 0, 0});
    SeedClass(".kvtfd");
    kvt::SetBytes(HKEY_LOCAL_MACHINE, Classes("kvtfdfile"), "EditFlags", REG_BINARY,
                  {0x10, 0, 0, 0, 0, 0, 0, 0});
    struct Case {
        const char* extension;
        std::vector<int> checked;
    };
    const Case cases[] = {{".kvtfa", {1801, 1802, 1818, 1819}},
                          {".kvtfb", {}},
                          {".kvtfc", {1805, 1815}},
                          {".kvtfd", {}}}; // 8 bytes: no value of 4
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        for (const Case& test : cases) {
            HWND editor = kvt::CustomizeFromList(user, window, test.extension);
            ASSERT_NE(nullptr, editor);
            EXPECT_EQ(test.checked, CheckedBoxes(editor)) << test.extension;
            user.Click(editor, IDC_EDITOR_CANCEL);
            EXPECT_TRUE(user.WaitGone(editor));
        }
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtfa");
        ASSERT_NE(nullptr, editor);
        const std::vector<std::string> texts = {
            "Exclude this class",
            "Show file classes",
            "Has file name extension",
            "Registry entries cannot be modifed",
            "Registry entries cannot be deleted",
            "No new verbs can be added",
            "Canonical verbs cannot be edited",
            "Canonical verbs cannot be deleted",
            "File description cannot be modifed or deleted",
            "File icon cannot be modifed or deleted",
            "Default verb cannot be modified",
            "Commands associated with verbs cannot be modified",
            "Verbs cannot be modifed or deleted",
            "DDE cannot be modified or deleted",
            "Content and perceived types cannot be modified or deleted",
            "The file class's open verb can be safely invoked for downloaded files",
            "Do not allow the Never ask me check box to be enabled",
            "Always show extension",
            "Don't add to recent documents folder"};
        for (int box = 0; box < kEditFlagBoxCount; ++box)
            EXPECT_EQ(texts[box], User::Text(EditorControl(editor, IDC_EDITFLAGS_FIRST + box)));
        user.Click(editor, IDC_EDITOR_CANCEL);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
}

TEST_F(EditFlagsPageTest, FillingChecksBoxesButNeverUnchecksOne) {
    SeedClass(".kvtfa");
    kvt::SetDword(HKEY_LOCAL_MACHINE, Classes("kvtfafile"), "EditFlags", 0x1 | 0x4000 | 0x200000);
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtfa");
        ASSERT_NE(nullptr, editor);
        HWND page = kvt::ShowEditorPage(user, editor, 2);
        EXPECT_EQ(0x204000u, EditFlagsPage.UnboxedBits) << "bits without a box are remembered";
        user.ClickCheckBox(page, IDC_EDITFLAGS_FIRST + 2);
        std::atomic<bool> filled{false};
        user.RunOnDialogThread([&] {
            QueryEditFlags(kEditFlagsFill, HKEY_LOCAL_MACHINE);
            filled = true;
        });
        ASSERT_TRUE(user.WaitUntil([&] { return filled.load(); }));
        EXPECT_EQ((std::vector<int>{1801, 1803}), CheckedBoxes(editor));
        user.Close(editor);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
}

TEST_F(EditFlagsPageTest, ABoxClickedOnAndOffAgainStillMakesSaveRunTheWriter) {
    SeedClass(".kvtfa");
    kvt::WindowCreationLog windows;
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtfa");
        ASSERT_NE(nullptr, editor);
        HWND page = kvt::ShowEditorPage(user, editor, 2);
        user.ClickCheckBox(page, IDC_EDITFLAGS_FIRST + 4);
        user.ClickCheckBox(page, IDC_EDITFLAGS_FIRST + 4);
        user.Click(editor, IDC_EDITOR_SAVE);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
    EXPECT_EQ(0u, EditorDiscarded);
    EXPECT_EQ(1, windows.Count("Please Wait..."));
    EXPECT_REG_ABSENT(HKEY_CURRENT_USER, Classes("kvtfafile"), "EditFlags");
}

} // namespace
