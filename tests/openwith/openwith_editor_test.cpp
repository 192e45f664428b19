// The Open-With program editor (dialog 7000) on registry fixtures and real
// program files: listing, "New" through the browse dialog, "Delete", and the
// admin mode's split between the machine's list and the user's registrations.
#include "details/applications.h"
#include "openwith/openwith_editor.h"

#include "records/app_state.h"
#include "harness/file_dialog.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using kvt::Classes;
using kvt::User;

constexpr char kCaption[] = "Modify Open With Programs";
constexpr char kBrowseCaption[] = "Browse for programs";
// The FileDescription of the test program's version resource.
constexpr char kTestProgramDescription[] = "Orvell File Type Editor";

std::string Application(const std::string& keyName) {
    return Classes("Applications\\" + keyName);
}
std::string OpenCommand(const std::string& keyName) {
    return Application(keyName) + "\\shell\\open\\command";
}

void RegisterApplication(HKEY hive, const std::string& keyName, const std::string& friendlyName,
                         const std::string& command) {
    if (!friendlyName.empty())
        kvt::SetText(hive, Application(keyName), "FriendlyAppName", friendlyName);
    kvt::SetText(hive, OpenCommand(keyName), nullptr, command);
}

int IconByAttributes(const std::string& path) {
    SHFILEINFOA info = {};
    SHGetFileInfoA(path.c_str(), 0, &info, sizeof info,
                   SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES);
    return info.iIcon;
}

int OwnIcon(const std::string& path) {
    SHFILEINFOA info = {};
    SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX);
    return info.iIcon;
}

std::string KeyNameOf(HWND list, int row) {
    auto name = reinterpret_cast<const char*>(User::ListParam(list, row));
    return name ? name : "<none>";
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Whether the row's icon is wholly inside the list's client area.
bool IconVisible(HWND list, int row) {
    RECT icon = {};
    icon.left = LVIR_ICON;
    if (!SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&icon)))
        return false;
    RECT client = {};
    GetClientRect(list, &client);
    return icon.top >= client.top && icon.bottom <= client.bottom && icon.left >= client.left &&
           icon.right <= client.right;
}

HWND FocusedWindow(HWND dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

class OpenWithEditor : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        // Programs show their own icons through the ".exe" class, which
        // Windows has and a fresh Wine prefix lacks.
        addedExeClass_ = !kvt::KeyExists(HKEY_LOCAL_MACHINE, Classes(".exe"));
        if (addedExeClass_)
            kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".exe"), nullptr, "exefile");
        AppState.AdminMode = 0;
        AppState.MainWindow = nullptr;
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "kvtprograms";
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& file : files_)
            DeleteFileA(file.c_str());
        RemoveDirectoryA(folder_.c_str());
        AppState.AdminMode = 0;
        if (addedExeClass_)
            kvt::DeleteKey(HKEY_LOCAL_MACHINE, Classes(".exe"));
        kvt::RegistryTest::TearDown();
    }

    // A copy of the test program: a real program with an icon of its own and
    // a version resource.
    std::string CopyOfTestProgram(const std::string& fileName) {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, sizeof self);
        std::string path = folder_ + "\\" + fileName;
        EXPECT_TRUE(CopyFileA(self, path.c_str(), FALSE)) << "copying to " << path;
        files_.push_back(path);
        return path;
    }
    // A file that is no program: no version resource, no friendly name.
    std::string ProgramWithoutName(const std::string& fileName) {
        std::string path = folder_ + "\\" + fileName;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, "kvt", 3, &written, nullptr);
        CloseHandle(file);
        files_.push_back(path);
        return path;
    }

    // Opens the editor; the script gets the dialog, its list and its
    // "Delete" button.
    static void RunEditor(const std::function<void(User&, HWND, HWND, HWND)>& script) {
        kvt::RunDialog(RunOpenWithEditor, [&](User& user) {
            HWND dialog = user.WaitForWindow(kCaption);
            ASSERT_NE(nullptr, dialog);
            script(user, dialog, GetDlgItem(dialog, IDC_OPENWITHEDITOR_LIST),
                   GetDlgItem(dialog, IDC_OPENWITHEDITOR_DELETE));
        });
    }

    // A click on "New" gives the button the focus before it acts.
    static void ClickNew(User& user, HWND dialog) {
        HWND button = GetDlgItem(dialog, IDC_OPENWITHEDITOR_NEW);
        user.FocusControl(button);
        user.WaitUntil([&] { return FocusedWindow(dialog) == button; });
        user.Click(dialog, IDC_OPENWITHEDITOR_NEW);
    }

    // "New", then the browse dialog: choose path, or cancel when it is empty.
    static void BrowseAndChoose(User& user, HWND dialog, const std::string& path) {
        ClickNew(user, dialog);
        HWND browse = user.WaitForWindow(kBrowseCaption);
        ASSERT_NE(nullptr, browse);
        if (path.empty())
            kvt::CancelFileDialog(user, browse);
        else
            kvt::ChooseFileInDialog(user, browse, path);
    }

    bool addedExeClass_ = false;
    std::string folder_;
    std::vector<std::string> files_;
};

TEST_F(OpenWithEditor, ListsTheUsersApplicationsByFriendlyNameElseByPath) {
    std::string versioned = CopyOfTestProgram("kvtversioned.exe");
    RegisterApplication(HKEY_CURRENT_USER, "kvtnamed.exe", "Kvt Named Viewer",
                        "\"C:\\kvtnowhere\\kvtnamed.exe\" \"%1\"");
    RegisterApplication(HKEY_CURRENT_USER, "kvtversioned.exe", "",
                        "\"" + versioned + "\" /open \"%1\"");
    RegisterApplication(HKEY_CURRENT_USER, "kvtplain.exe", "", "%SystemRoot%\\kvtplain.exe %1");
    kvt::SetText(HKEY_CURRENT_USER, Application("kvteditnamed.exe"), "FriendlyAppName",
                 "Kvt Edit Named");
    kvt::SetText(HKEY_CURRENT_USER, Application("kvteditnamed.exe") + "\\shell\\edit\\command",
                 nullptr, "C:\\kvtnowhere\\kvteditnamed.exe %1");
    kvt::SetText(HKEY_CURRENT_USER, Application("kvteditonly.exe") + "\\shell\\edit\\command",
                 nullptr, "C:\\kvtnowhere\\kvteditonly.exe %1");
    kvt::SetText(HKEY_CURRENT_USER, Application("kvtnoverb.exe"), "FriendlyAppName", "Kvt No Verb");
    RegisterApplication(HKEY_LOCAL_MACHINE, "kvtmachine.exe", "Kvt Machine",
                        "\"C:\\kvtnowhere\\kvtmachine.exe\" \"%1\"");
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string plainPath = std::string(windows) + "\\kvtplain.exe";

    RunEditor([&](User& user, HWND dialog, HWND list, HWND deleteButton) {
        EXPECT_EQ((std::vector<std::string>{"Kvt Edit Named", "Kvt Named Viewer", plainPath,
                                            kTestProgramDescription}),
                  User::ListTexts(list));
        ASSERT_EQ(4, User::ListCount(list));
        EXPECT_EQ("kvteditnamed.exe", KeyNameOf(list, 0));
        EXPECT_EQ("kvtnamed.exe", KeyNameOf(list, 1));
        EXPECT_EQ("kvtplain.exe", KeyNameOf(list, 2));
        EXPECT_EQ("kvtversioned.exe", KeyNameOf(list, 3));
        // Named programs carry the icon of their file type, unnamed ones the
        // shell's generic icon.
        EXPECT_EQ(IconByAttributes("C:\\kvtnowhere\\kvtnamed.exe"), User::ListImage(list, 1));
        EXPECT_EQ(IconByAttributes("PeekABoo"), User::ListImage(list, 2));
        EXPECT_EQ(IconByAttributes(versioned), User::ListImage(list, 3));
        EXPECT_NE(User::ListImage(list, 2), User::ListImage(list, 3));
        EXPECT_FALSE(IsWindowEnabled(deleteButton)) << "nothing is selected yet";
        EXPECT_EQ(-1, User::ListSelected(list));
        user.Close(dialog);
        user.WaitGone(dialog);
    });
}

TEST_F(OpenWithEditor, NewRegistersTheProgramForTheUserAndSelectsItsRow) {
    // Enough applications that the new row lands below the visible part.
    for (int i = 0; i < 40; ++i) {
        std::string number = std::to_string(100 + i);
        RegisterApplication(HKEY_CURRENT_USER, "kvtapp" + number + ".exe", "Kvt App " + number,
                            "\"C:\\kvtnowhere\\kvtapp" + number + ".exe\" \"%1\"");
    }
    const std::string program = CopyOfTestProgram("kvtfresh.exe");

    RunEditor([&](User& user, HWND dialog, HWND list, HWND deleteButton) {
        ASSERT_EQ(40, User::ListCount(list));
        EXPECT_FALSE(IconVisible(list, 39)) << "the list is too short for this test";
        ClickNew(user, dialog);
        HWND browse = user.WaitForWindow(kBrowseCaption);
        ASSERT_NE(nullptr, browse);
        EXPECT_EQ(std::vector<std::string>{"Programs (*.exe)"}, kvt::FileDialogTypes(browse));
        kvt::ChooseFileInDialog(user, browse, program);
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(list) == 41; }));

        EXPECT_REG_TEXT(HKEY_CURRENT_USER, OpenCommand("kvtfresh.exe"), nullptr,
                        "\"" + program + "\" \"%1\"");
        EXPECT_EQ(kTestProgramDescription, User::ListText(list, 40));
        EXPECT_EQ("kvtfresh.exe", KeyNameOf(list, 40));
        EXPECT_EQ(OwnIcon(program), User::ListImage(list, 40));
        EXPECT_NE(IconByAttributes("PeekABoo"), User::ListImage(list, 40))
            << "the row shows the program's own icon, not the generic one";
        EXPECT_EQ(40, User::ListSelected(list));
        EXPECT_TRUE(IconVisible(list, 40));
        EXPECT_EQ(list, FocusedWindow(dialog));
        EXPECT_TRUE(IsWindowEnabled(deleteButton));

        // The next browse starts from the program just chosen; cancelling it
        // changes nothing.
        ClickNew(user, dialog);
        browse = user.WaitForWindow(kBrowseCaption);
        ASSERT_NE(nullptr, browse);
        std::string offered = User::Text(kvt::FileDialogNameEdit(browse));
        EXPECT_NE(std::string::npos, offered.find("kvtfresh.exe")) << offered;
        kvt::CancelFileDialog(user, browse);
        ASSERT_TRUE(user.WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }));
        EXPECT_EQ(41, User::ListCount(list));
        EXPECT_EQ(41u, kvt::SubKeyNames(HKEY_CURRENT_USER, Classes("Applications")).size());
        EXPECT_EQ(40, User::ListSelected(list));
        user.Close(dialog);
    });
}

TEST_F(OpenWithEditor, NewOnARegisteredProgramOnlySelectsItsRow) {
    const std::string program = CopyOfTestProgram("kvtknown.exe");
    const std::string command = "\"" + program + "\" /known \"%1\"";
    RegisterApplication(HKEY_CURRENT_USER, "kvtknown.exe", "Kvt Known", command);
    RegisterApplication(HKEY_CURRENT_USER, "kvtother.exe", "Kvt Other",
                        "\"C:\\kvtnowhere\\kvtother.exe\" \"%1\"");

    RunEditor([&](User& user, HWND dialog, HWND list, HWND deleteButton) {
        ASSERT_EQ((std::vector<std::string>{"Kvt Known", "Kvt Other"}), User::ListTexts(list));
        user.ClickListItem(list, 1);
        ASSERT_TRUE(user.WaitUntil([&] { return IsWindowEnabled(deleteButton) != FALSE; }));
        BrowseAndChoose(user, dialog, program);
        EXPECT_TRUE(user.WaitUntil([&] { return User::ListSelected(list) == 0; }));
        EXPECT_TRUE(user.WaitUntil([&] { return FocusedWindow(dialog) == list; }));
        EXPECT_EQ(2, User::ListCount(list));
        EXPECT_REG_TEXT(HKEY_CURRENT_USER, OpenCommand("kvtknown.exe"), nullptr, command);
        EXPECT_TRUE(IsWindowEnabled(deleteButton));
        user.Close(dialog);
    });
}

// A program without a version block is named by its file; one that is no
// longer on disk has no name and is shown by its path.
TEST_F(OpenWithEditor, AProgramIsNamedByItsFileAndShownByItsPathOnceItIsGone) {
    const std::string program = ProgramWithoutName("kvtnoname.exe");

    RunEditor([&](User& user, HWND dialog, HWND list, HWND) {
        ASSERT_EQ(0, User::ListCount(list));
        BrowseAndChoose(user, dialog, program);
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(list) == 1; }));
        EXPECT_REG_TEXT(HKEY_CURRENT_USER, OpenCommand("kvtnoname.exe"), nullptr,
                        "\"" + program + "\" \"%1\"");
        EXPECT_EQ("kvtnoname", User::ListText(list, 0));
        EXPECT_EQ(0, User::ListSelected(list));
        user.Close(dialog);
    });
    ASSERT_TRUE(DeleteFileA(program.c_str()));
    RunEditor([&](User& user, HWND dialog, HWND list, HWND) {
        EXPECT_EQ(std::vector<std::string>{program}, User::ListTexts(list));
        user.Close(dialog);
    });
}

TEST_F(OpenWithEditor, DeleteRemovesTheWholeApplicationWithoutAsking) {
    RegisterApplication(HKEY_CURRENT_USER, "kvtmulti.exe", "Kvt Multi",
                        "\"C:\\kvtnowhere\\kvtmulti.exe\" \"%1\"");
    kvt::SetText(HKEY_CURRENT_USER, Application("kvtmulti.exe") + "\\shell\\edit\\command", nullptr,
                 "\"C:\\kvtnowhere\\kvtmulti.exe\" /edit \"%1\"");
    kvt::SetText(HKEY_CURRENT_USER, Application("kvtmulti.exe") + "\\shell\\print\\command",
                 nullptr, "\"C:\\kvtnowhere\\kvtmulti.exe\" /p \"%1\"");
    kvt::SetText(HKEY_CURRENT_USER, Application("kvtmulti.exe") + "\\SupportedTypes", ".kvtm", "");
    RegisterApplication(HKEY_CURRENT_USER, "kvtkeep.exe", "Kvt Keep",
                        "\"C:\\kvtnowhere\\kvtkeep.exe\" \"%1\"");

    RunEditor([&](User& user, HWND dialog, HWND list, HWND deleteButton) {
        ASSERT_EQ((std::vector<std::string>{"Kvt Keep", "Kvt Multi"}), User::ListTexts(list));
        EXPECT_FALSE(IsWindowEnabled(deleteButton));
        user.ClickListItem(list, 1);
        ASSERT_TRUE(user.WaitUntil([&] { return IsWindowEnabled(deleteButton) != FALSE; }));
        user.Click(dialog, IDC_OPENWITHEDITOR_DELETE);
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(list) == 1; }));
        EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Application("kvtmulti.exe")));
        EXPECT_TRUE(kvt::KeyExists(HKEY_CURRENT_USER, OpenCommand("kvtkeep.exe")));
        EXPECT_EQ(nullptr, user.FindMessageBoxNow());
        EXPECT_EQ("Kvt Keep", User::ListText(list, 0));
        EXPECT_FALSE(IsWindowEnabled(deleteButton)) << "disabled after a deletion";

        // A right-click on a row enables "Delete", a click beside every row
        // disables it.
        user.RightClickListItem(list, 0);
        ASSERT_TRUE(user.WaitUntil([&] { return IsWindowEnabled(deleteButton) != FALSE; }));
        RECT client = {};
        GetClientRect(list, &client);
        user.ClickListAt(list, {client.right - 8, client.bottom - 8}, NM_CLICK);
        EXPECT_TRUE(user.WaitUntil([&] { return IsWindowEnabled(deleteButton) == FALSE; }));
        EXPECT_TRUE(kvt::KeyExists(HKEY_CURRENT_USER, OpenCommand("kvtkeep.exe")));

        user.Click(dialog, IDC_OPENWITHEDITOR_CLOSE);
        user.WaitGone(dialog);
    });
}

TEST_F(OpenWithEditor, InAdminModeListsTheMachinesApplicationsButRegistersForTheUser) {
    RegisterApplication(HKEY_LOCAL_MACHINE, "kvtmachine.exe", "Kvt Machine",
                        "\"C:\\kvtnowhere\\kvtmachine.exe\" \"%1\"");
    RegisterApplication(HKEY_CURRENT_USER, "kvtuser.exe", "Kvt User",
                        "\"C:\\kvtnowhere\\kvtuser.exe\" \"%1\"");
    const std::string program = CopyOfTestProgram("kvtadded.exe");
    AppState.AdminMode = 1;

    RunEditor([&](User& user, HWND dialog, HWND list, HWND deleteButton) {
        std::vector<std::string> texts = User::ListTexts(list);
        EXPECT_TRUE(Contains(texts, "Kvt Machine"));
        EXPECT_FALSE(Contains(texts, "Kvt User"));
        const int count = User::ListCount(list);

        BrowseAndChoose(user, dialog, program);
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(list) == count + 1; }));
        EXPECT_REG_TEXT(HKEY_CURRENT_USER, OpenCommand("kvtadded.exe"), nullptr,
                        "\"" + program + "\" \"%1\"");
        EXPECT_FALSE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Application("kvtadded.exe")));
        EXPECT_EQ(kTestProgramDescription, User::ListText(list, count));

        int machine = User::ListFind(list, "Kvt Machine");
        ASSERT_GE(machine, 0);
        user.ClickListItem(list, machine);
        ASSERT_TRUE(user.WaitUntil([&] { return IsWindowEnabled(deleteButton) != FALSE; }));
        user.Click(dialog, IDC_OPENWITHEDITOR_DELETE);
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(list) == count; }));
        EXPECT_FALSE(kvt::KeyExists(HKEY_LOCAL_MACHINE, Application("kvtmachine.exe")));
        EXPECT_TRUE(kvt::KeyExists(HKEY_CURRENT_USER, OpenCommand("kvtuser.exe")));
        user.Close(dialog);
    });
    // The user's new registration is not one of the machine's.
    RunEditor([&](User& user, HWND dialog, HWND list, HWND) {
        std::vector<std::string> texts = User::ListTexts(list);
        EXPECT_FALSE(Contains(texts, kTestProgramDescription));
        EXPECT_FALSE(Contains(texts, "Kvt Machine"));
        user.Close(dialog);
    });
}

TEST(OpenWithPaths, ProgramPathIsTheCommandsFolderAndTheApplicationKeyName) {
    char path[261] = {};
    ApplicationProgramPath("\"C:\\Tools\\viewer.exe\" \"%1\"", "viewer.exe", path);
    EXPECT_STREQ("C:\\Tools\\viewer.exe", path);
    ApplicationProgramPath("C:\\Tools\\launcher.exe /p %1", "viewer.exe", path);
    EXPECT_STREQ("C:\\Tools\\viewer.exe", path);
    ApplicationProgramPath("viewer.exe %1", "viewer.exe", path);
    EXPECT_STREQ("viewer.exe", path);
    ApplicationProgramPath("", "viewer.exe", path);
    EXPECT_STREQ("viewer.exe", path);

    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    ApplicationProgramPath("\"%SystemRoot%\\viewer.exe\" \"%1\"", "viewer.exe", path);
    EXPECT_EQ(std::string(windows) + "\\viewer.exe", path);

    // A folder and a name too long together make no path: never a cut one,
    // never an overrun.
    const std::string folder = "C:\\" + std::string(240, 'f') + "\\";
    const std::string name(200, 'n');
    char guarded[300];
    memset(guarded, 'x', sizeof guarded);
    EXPECT_FALSE(
        ApplicationProgramPath(("\"" + folder + "x.exe\" \"%1\"").c_str(), name.c_str(), guarded));
    EXPECT_STREQ("", guarded);
    EXPECT_EQ('x', guarded[261]);
}

TEST(OpenWithPaths, OpenCommandQuotesThePathAndTheArgument) {
    char command[261];
    EXPECT_TRUE(BuildOpenCommand("C:\\Program Files\\Viewer\\viewer.exe", command));
    EXPECT_STREQ("\"C:\\Program Files\\Viewer\\viewer.exe\" \"%1\"", command);
    // A path that leaves no room for the argument registers nothing rather
    // than a cut command.
    const std::string longPath = "C:\\" + std::string(254, 'p');
    EXPECT_FALSE(BuildOpenCommand(longPath.c_str(), command));
    EXPECT_STREQ("", command);
}

} // namespace
