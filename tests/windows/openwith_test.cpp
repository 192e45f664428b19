// The Open-With program editor: what it lists in each mode, what "New" and
// "Delete" do to the registry.
#include "harness/kvt.h"
#include "openwith/openwith_editor.h"
#include "records/app_state.h"
#include "resources/resource.h"

namespace {

using kvt::User;
using Items = std::vector<std::string>;

// The test program's own version block names it so.
constexpr char kVersioned[] = "Orvell File Type Editor";

class OpenWith : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        program_ =
            kvt::TestFile("kvtfresh.exe", std::string(AppState.AppDirectory) + "test_windows.exe");
        versionless_ = kvt::TestFile("kvtnoname.exe", std::string(AppState.AppDirectory) +
                                                          "testdata\\icons\\user.ico");
        kvt::Seed(R"(
[HKCU\Software\Classes\Applications\kvtnamed.exe]
"FriendlyAppName"="Kvt Named"
[HKCU\Software\Classes\Applications\kvtnamed.exe\shell\open\command]
@="\"C:\\kvtnowhere\\kvtnamed.exe\" \"%1\""
[HKCU\Software\Classes\Applications\kvtnamed.exe\shell\print\command]
@="\"C:\\kvtnowhere\\kvtnamed.exe\" /p \"%1\""
[HKCU\Software\Classes\Applications\kvtnamed.exe\SupportedTypes]
".kvtm"=""
[HKCU\Software\Classes\Applications\kvtplain.exe\shell\open\command]
@="%SystemRoot%\\kvtplain.exe %1"
[HKCU\Software\Classes\Applications\kvteditnamed.exe]
"FriendlyAppName"="Kvt Edit Named"
[HKCU\Software\Classes\Applications\kvteditnamed.exe\shell\edit\command]
@="C:\\kvtnowhere\\kvteditnamed.exe %1"
[HKCU\Software\Classes\Applications\kvteditonly.exe\shell\edit\command]
@="C:\\kvtnowhere\\kvteditonly.exe %1"
[HKCU\Software\Classes\Applications\kvtпрограмма.exe]
"FriendlyAppName"="Программа 文 📄"
[HKCU\Software\Classes\Applications\kvtпрограмма.exe\shell\open\command]
@="\"C:\\Программы\\Kv\\kvu.exe\" \"%1\""
[HKCU\Software\Classes\Applications\kvtnoverb.exe]
"FriendlyAppName"="Kvt No Verb"
[HKLM\Software\Classes\Applications\kvtmachine.exe]
"FriendlyAppName"="Kvt Machine"
[HKLM\Software\Classes\Applications\kvtmachine.exe\shell\open\command]
@="\"C:\\kvtnowhere\\kvtmachine.exe\" \"%1\""
)");
        kvt::Seed(
            "[HKCU\\Software\\Classes\\Applications\\kvtgone.exe\\shell\\open\\command]\n@=\"" +
            kvt::RegText("\"" + kvt::TestFolder() + "kvtgone.exe\" \"%1\"") + "\"\n");
    }

    // Opens the editor in the mode; script gets it and its list.
    static void Run(int admin, const std::function<void(User&, HWND, HWND)>& script) {
        kvt::RunDialog(
            [admin] { RunOpenWithEditor(nullptr, admin ? RunMode::Admin : RunMode::User); },
            [&](User& user) {
                HWND editor = user.WaitFor("Modify Open With Programs");
                ASSERT_NE(nullptr, editor);
                script(user, editor, GetDlgItem(editor, IDC_OPENWITHEDITOR_LIST));
                user.Close(editor);
            });
    }

    // "New", the program chosen in the browse dialog, and the row it selects.
    static void New(User& user, HWND editor, HWND list, const std::string& path,
                    const std::string& row) {
        user.Click(editor, IDC_OPENWITHEDITOR_NEW);
        kvt::ChooseFile(user, user.WaitFor("Browse for programs"), path);
        EXPECT_TRUE(user.Wait([&] {
            const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
            return selected >= 0 && User::Items(list)[selected] == row;
        })) << row;
    }

    std::string program_, versionless_;
};

// The user's applications with an open or edit command, by friendly name, file
// description, title or path; "New" registers once; "Delete" removes the key.
TEST_F(OpenWith, UserMode) {
    Run(0, [&](User& user, HWND editor, HWND list) {
        EXPECT_EQ((Items{"Kvt Edit Named", kvt::TestFolder() + "kvtgone.exe", "Kvt Named",
                         "C:\\windows\\kvtplain.exe", "Программа 文 📄"}),
                  User::Items(list));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, IDC_OPENWITHEDITOR_DELETE)));
        New(user, editor, list, program_, kVersioned);
        New(user, editor, list, versionless_, "kvtnoname");
        New(user, editor, list, program_, kVersioned);
        EXPECT_EQ(7u, User::Items(list).size()) << "a program registered once";
        user.Act(list, "Программа 文 📄", NM_CLICK);
        user.Click(editor, IDC_OPENWITHEDITOR_DELETE);
        EXPECT_TRUE(user.Wait([&] { return User::Items(list).size() == 6; }));
        EXPECT_EQ(nullptr, user.FindBox()) << "deleting asks nothing";
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, IDC_OPENWITHEDITOR_DELETE)));
    });
    std::string expected = "[-HKCU\\Software\\Classes\\Applications\\kvtпрограмма.exe]\n";
    for (const std::string& path : {program_, versionless_})
        expected += "[HKCU\\Software\\Classes\\Applications\\" + path.substr(path.rfind('\\') + 1) +
                    "\\shell\\open\\command]\n@=\"" + kvt::RegText("\"" + path + "\" \"%1\"") +
                    "\"\n";
    EXPECT_REGISTRY(expected);
}

// The machine's applications are listed and deleted, but a new program is
// still registered for the user alone.
TEST_F(OpenWith, AdminMode) {
    Run(1, [&](User& user, HWND editor, HWND list) {
        const Items rows = User::Items(list);
        EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), "Kvt Machine"));
        EXPECT_EQ(rows.end(), std::find(rows.begin(), rows.end(), "Kvt Named"));
        New(user, editor, list, program_, kVersioned);
        user.Act(list, "Kvt Machine", NM_CLICK);
        user.Click(editor, IDC_OPENWITHEDITOR_DELETE);
        EXPECT_TRUE(user.Wait([&] { return User::Items(list).size() == rows.size(); }));
    });
    EXPECT_REGISTRY(R"(
[-HKLM\Software\Classes\Applications\kvtmachine.exe]
[-HKLM\Software\Classes\Applications\kvtfresh.exe]
[HKCU\Software\Classes\Applications\kvtfresh.exe\shell\open\command]
[HKCU\Software\Classes\Applications\kvtnamed.exe\shell\open\command]
)");
}

} // namespace
