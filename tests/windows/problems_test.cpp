// The Problems window through the main window: the findings grouped by kind
// with their counts, a mend previewed and made, the catalogue following it,
// Ctrl+Z taking it back; an action's problem opening the editor on it.
#include "harness/kvt.h"
#include "resources/resource.h"
#include "resources/texts.h"

namespace {

using kvt::User;
using Items = std::vector<std::string>;

class Problems : public kvt::RegistryTest {};

TEST_F(Problems, GroupedExplainedMendedAndTakenBack) {
    kvt::Seed(R"(
[HKLM\Software\Classes\.kvtsys]
@="kvtsysfile"
[HKLM\Software\Classes\kvtsysfile\shell\open\command]
@="notepad.exe %1"
[HKLM\Software\Classes\kvtsysfile\shell\print\command]
@="C:\\kvt\\gone.exe /p %1"
[HKCU\Software\Classes\.kvtmine]
@="kvtminefile"
[HKCU\Software\Classes\kvtminefile\DefaultIcon]
@="C:\\kvt\\gone.ico"
[HKCU\Software\Classes\.kvtempty]
[HKLM\Software\Classes\.kvtboth]
[HKCU\Software\Classes\.kvtboth]
)");
    const std::string before = kvt::TestKeysBytes();
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND main = GetDlgItem(window, IDC_MAIN_LIST), tree = GetDlgItem(window, IDC_MAIN_TREE);
        const Items catalogue = kvt::OurItems({main, tree}, true);
        user.Key(main, VK_F7);
        HWND problems = user.WaitFor("Problems");
        HWND kinds = GetDlgItem(problems, IDC_PROBLEMS_KINDS);
        HWND list = GetDlgItem(problems, IDC_PROBLEMS_LIST);
        ASSERT_TRUE(
            user.Wait([&] { return !IsWindowVisible(GetDlgItem(problems, IDC_PROBLEMS_STOP)); }));
        EXPECT_EQ("4 problems found. Select a kind, then its rows (Ctrl+A all).",
                  User::Text(problems, IDC_PROBLEMS_STATUS));
        EXPECT_EQ((Items{"Actions whose program is missing (1)", "Icons whose file is missing (1)",
                         "Empty extension keys of yours (2)"}),
                  User::Items(kinds));
        user.Act(kinds, "Empty extension keys of yours (2)", 0);
        EXPECT_EQ((Items{".kvtboth", ".kvtempty"}), User::Items(list));
        const std::string key = "the key HKEY_CURRENT_USER\\Software\\Classes\\.kvt";
        EXPECT_EQ(kTextCheckEmptyUserExtension + ("\r\nMend removes " + key) +
                      "both, with everything below it.",
                  User::Text(problems, IDC_PROBLEMS_EXPLANATION));
        user.Focus(list);
        user.Chord(list, VK_CONTROL, 'A');
        user.Click(problems, IDC_PROBLEMS_MEND);
        HWND preview = user.WaitFor("Mend");
        EXPECT_EQ(key + "both, with everything below it\r\n" + key +
                      "empty, with everything below it\r\n",
                  User::Text(preview, IDC_MENDPREVIEW_LIST));
        user.Click(preview, IDOK);
        user.WaitGone(preview);
        // The mend runs once the preview has closed; its kinds show it done.
        EXPECT_TRUE(user.Wait([&] {
            return User::Items(kinds) ==
                   Items{"Actions whose program is missing (1)", "Icons whose file is missing (1)"};
        }));
        EXPECT_REGISTRY(
            "[-HKCU\\Software\\Classes\\.kvtboth]\n[-HKCU\\Software\\Classes\\.kvtempty]\n");
        // Edit: the window closes, the editor opens on the broken action.
        user.Act(kinds, "Actions whose program is missing (1)", 0);
        user.Click(problems, IDC_PROBLEMS_MEND);
        HWND editor = user.WaitFor("Customize properties for: .kvtsys");
        HWND actions = kvt::EditorControl(user, editor, IDC_ACTIONS_LIST);
        EXPECT_EQ(1, ListView_GetNextItem(actions, -1, LVNI_SELECTED)) << "print, not open";
        user.Click(editor, IDC_EDITOR_CANCEL);
        user.WaitGone(editor);
        EXPECT_EQ((Items{".kvtboth", ".kvtsys", "User Customized", "User Defined", ".kvtmine"}),
                  kvt::OurItems({main, tree}, true));
        user.Chord(main, VK_CONTROL, 'Z');
        EXPECT_TRUE(user.Wait([&] { return kvt::TestKeysBytes() == before; }));
        EXPECT_TRUE(user.Wait([&] {
            return kvt::OurItems({main, tree}, true) == catalogue;
        })) << ::testing::PrintToString(kvt::OurItems({main, tree}, true));
    });
}

} // namespace
