// Link types in the main windows: their list and groups, counts and pane,
// Restore and Undo, and in admin mode a new one whose edited command the
// system's own "start" then runs.
#include "harness/kvt.h"
#include "resources/resource.h"
#include "resources/texts.h"

#include <fstream>
#include <sstream>

namespace {

using kvt::User;
using Items = std::vector<std::string>;

class LinkTypes : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        kvt::Seed(R"(
[HKLM\Software\Classes\kvtlink]
@="URL:Kvt Link"
"URL Protocol"=""
[HKLM\Software\Classes\kvtlink\DefaultIcon]
@="shell32.dll,3"
[HKLM\Software\Classes\kvtlink\shell\open\command]
@="notepad.exe %1"
[HKLM\Software\Classes\kvtboth]
"URL Protocol"=""
[HKCU\Software\Classes\kvtboth]
@="URL:Mine too"
[HKCU\Software\Classes\kvtmine]
@="URL:Mine"
"URL Protocol"=""
[HKCU\Software\Classes\kvtmine\shell\open\command]
@="notepad.exe /m %1"
[HKLM\Software\Classes\kvtplain]
@="A class, no link type"
[HKCU\Software\Microsoft\Windows\Shell\Associations\UrlAssociations\kvtlink\UserChoice]
"ProgId"="kvtmine"
)");
    }
};

TEST_F(LinkTypes, ListedGroupedCountedShownRestoredAndUndone) {
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST), links = GetDlgItem(window, IDC_MAIN_LINKS);
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        ASSERT_TRUE(user.Wait([] { return !kvt::StatusText(1).empty(); }));
        EXPECT_EQ((Items{"User Customized", "kvtboth", "User Defined", "kvtmine"}),
                  kvt::OurItems({tree}, true));
        const int listed = static_cast<int>(User::Items(links).size());
        EXPECT_EQ(std::to_string(listed + 2) +
                      " Registered link types - User Customized=1  User Defined=1",
                  kvt::StatusText(1));
        user.Focus(list);
        user.Chord(list, VK_CONTROL, VK_TAB);
        EXPECT_TRUE(user.Wait([&] { return IsWindowVisible(links) && !IsWindowVisible(list); }));
        EXPECT_EQ(Items{"kvtlink"}, kvt::OurItems({links}));
        user.Act(links, "kvtlink", 0);
        // The user's choice decides what the pane shows of it.
        EXPECT_TRUE(user.Wait([&] {
            return User::Texts(window, {IDC_MAIN_EXTENSION_LABEL, IDC_MAIN_EXTENSION,
                                        IDC_MAIN_FILETYPE, IDC_MAIN_ARGS, IDC_MAIN_CHOICE}) ==
                   "Link Type:|kvtlink:|URL:Mine|/m %1|kvtmine";
        }));
        const std::string before = kvt::TestKeysBytes();
        // The focus stays on the list: what the question named is restored.
        user.Act(tree, "kvtboth", NM_RCLICK);
        user.Choose(IDM_RESTORE);
        user.Answer(user.WaitForBox(), IDYES);
        EXPECT_TRUE(user.Wait([&] { return kvt::OurItems({links}).size() == 2; }));
        EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, "Software\\Classes\\kvtboth"));
        user.Chord(tree, VK_CONTROL, 'Z');
        EXPECT_TRUE(user.Wait([&] { return kvt::OurItems({links}) == Items{"kvtlink"}; }));
        EXPECT_EQ(before, kvt::TestKeysBytes());
        user.Act(tree, "kvtmine", 0);
        EXPECT_TRUE(user.Wait([&] {
            return User::Texts(window, {IDC_MAIN_EXTENSION, IDC_MAIN_FILETYPE, IDC_MAIN_ARGS}) ==
                   "kvtmine:|URL:Mine|/m %1";
        }));
        user.Chord(links, VK_CONTROL, VK_TAB);
        EXPECT_TRUE(user.Wait([&] { return IsWindowVisible(list) && !IsWindowVisible(links); }));
    });
}

TEST_F(LinkTypes, ANewOneIsCheckedMadeEditedAndOpenedByTheSystem) {
    const std::string file = kvt::TestFolder() + "link.txt";
    DeleteFileA(file.c_str());
    kvt::RunMainWindow(1, [&](User& user, HWND window) {
        HWND links = GetDlgItem(window, IDC_ADMIN_LINKS);
        HWND list = GetDlgItem(window, IDC_ADMIN_LIST);
        user.Act(list, User::Items(list).front(), 0);
        user.Focus(list);
        user.Chord(list, VK_CONTROL, 'N', VK_SHIFT);
        HWND entry = user.WaitForControl(IDC_ENTRY_NAME);
        EXPECT_EQ("Create New Link Type", User::Text(entry));
        for (const char* refused : {"1kvt", "kvt new", "kvtя", "kvt_x"}) {
            user.Type(GetDlgItem(entry, IDC_ENTRY_NAME), refused);
            user.Click(entry, IDC_ENTRY_OK);
            std::string text;
            user.Answer(user.WaitForBox(&text), IDOK);
            EXPECT_EQ(kTextBadScheme, text) << refused;
        }
        EXPECT_FALSE(kvt::KeyExists(HKEY_LOCAL_MACHINE, "Software\\Classes\\kvtnew"));
        user.Type(GetDlgItem(entry, IDC_ENTRY_NAME), "KvtNew:");
        user.Click(entry, IDC_ENTRY_OK);
        HWND editor = user.WaitForControl(IDC_EDITOR_TABS);
        user.Type(kvt::EditorControl(user, editor, IDC_GENERAL_DESCRIPTION), "URL:Kvt New");
        user.Click(editor, IDC_EDITOR_SAVE);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Wait([&] { return kvt::OurItems({links}).size() == 3; });
        EXPECT_EQ((Items{"kvtboth", "kvtlink", "kvtnew"}), kvt::OurItems({links}));
        EXPECT_TRUE(IsWindowVisible(links)) << "the new one shows in its list";

        editor = kvt::OpenEditor(user, window, "kvtnew");
        HWND actions = kvt::EditorControl(user, editor, IDC_ACTIONS_LIST);
        user.Click(GetParent(actions), IDC_ACTIONS_NEW);
        HWND dialog = user.WaitForControl(IDC_ACTION_VERB);
        user.Type(GetDlgItem(dialog, IDC_ACTION_VERB), "open");
        user.Type(GetDlgItem(dialog, IDC_ACTION_PROGRAM), "C:\\windows\\system32\\cmd.exe");
        user.Type(GetDlgItem(dialog, IDC_ACTION_ARGS), "/c echo %1>\"" + file + "\"");
        user.Click(dialog, IDOK);
        EXPECT_TRUE(user.WaitGone(dialog));
        user.Click(editor, IDC_EDITOR_SAVE);
        EXPECT_TRUE(user.WaitGone(editor));
    });
    EXPECT_REGISTRY(R"(
[HKLM\Software\Classes\kvtnew]
@="URL:Kvt New"
"URL Protocol"=""
[HKLM\Software\Classes\kvtnew\shell\open\command]
@="C:\\windows\\system32\\cmd.exe /c echo %1>\")" +
                    kvt::RegText(file) + R"(\""
)");
    // Wine's own shell reads the machine's classes: the link runs the command.
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    char command[] = "cmd.exe /c start kvtnew:hello";
    ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string written;
    User::Wait([&] {
        std::ifstream in(file);
        std::getline(in, written);
        return !written.empty();
    });
    EXPECT_EQ("kvtnew:hello", written.substr(0, written.find_last_not_of(" \r") + 1));
}

} // namespace
