// The compare dialog, its question and the changed-extensions file: an
// installation made between "&Scan" and "Com&pare" as registry text.
#include "compare/compare_dialog.h"
#include "harness/kvt.h"
#include "records/app_state.h"
#include "resources/resource.h"
#include "ui/app_ui.h"

#include <fstream>
#include <sstream>

namespace {

using kvt::User;
using Items = std::vector<std::string>;

// The rows as "+name" (added) or "-name" (deleted), in the list's order.
Items Rows(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_COMPARE_RESULTS);
    Items rows = User::Items(list);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        LVITEMA item = {LVIF_IMAGE, i};
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        rows[i] = (item.iImage == kImage16Added ? "+" : "-") + rows[i];
    }
    return rows;
}

void OpenCompare() {
    RunCompareDialog(nullptr);
}

std::string Read(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// "&Scan", the installation, "Com&pare"; the dialog waits with its results
// and, when there are any, the question.
void Compare(User& user, HWND dialog, const std::string& installation) {
    user.Click(dialog, IDC_COMPARE_SCAN);
    ASSERT_TRUE(
        user.Wait([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_COMPARE_COMPARE)); }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_COMPARE_SCAN)));
    kvt::Seed(installation);
    user.Click(dialog, IDC_COMPARE_COMPARE);
    EXPECT_TRUE(user.Wait(
        [&] { return user.FindBox() || IsWindowEnabled(GetDlgItem(dialog, IDC_COMPARE_SCAN)); }));
}

class CompareDialog : public kvt::RegistryTest {};

TEST_F(CompareDialog, FindsWhatAnInstallationAddedAndDeleted) {
    // .kvta0 is the first key of the user's classes.
    kvt::Seed(R"(
[HKCU\Software\Classes\.kvta0]
[HKLM\Software\Classes\.kvtgone]
[HKCU\Software\Classes\.kvtcase]
[HKLM\Software\Classes\-.kvtdash]
[HKLM\Software\Classes\.kvtстарый]
)");
    kvt::Seed("[HKLM\\Software\\Classes\\.kvté]\n");
    kvt::RunDialog(OpenCompare, [](User& user) {
        HWND dialog = user.WaitFor("Compare Extensions");
        Compare(user, dialog, "");
        EXPECT_EQ("0|0", User::Texts(dialog, {IDC_COMPARE_ADDED, IDC_COMPARE_DELETED}));
        EXPECT_EQ(nullptr, user.FindBox()) << "nothing to save, nothing asked";
        // Names before the run and names too long to read are passed over;
        // a rename in letter case alone is no change.
        Compare(user, dialog,
                R"(
[HKLM\Software\Classes\.kvtnew]
[HKCU\Software\Classes\.kvtmine]
[-HKLM\Software\Classes\.kvtgone]
[-HKCU\Software\Classes\.kvta0]
[-HKCU\Software\Classes\.kvtcase]
[HKCU\Software\Classes\.KVTCASE]
[HKLM\Software\Classes\.kvtz]
[-HKLM\Software\Classes\.kvtстарый]
[HKCU\Software\Classes\.kvtновый]
)" + std::string("[-HKLM\\Software\\Classes\\.kvté]\n[HKLM\\Software\\Classes\\.KVTÉ]\n") +
                    "[HKLM\\Software\\Classes\\.kvt" + std::string(60, 'x') + "]");
        HWND box = user.WaitForBox();
        const Items rows = {"-.kvta0", "-.kvtgone",  "+.kvtmine",  "+.kvtnew",
                            "+.kvtz",  "+.kvtновый", "-.kvtстарый"};
        EXPECT_EQ(rows, Rows(dialog));
        EXPECT_EQ("4|3", User::Texts(dialog, {IDC_COMPARE_ADDED, IDC_COMPARE_DELETED}));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_COMPARE_SCAN)));
        // A key pressed while the question waits reaches no button.
        user.Key(GetDlgItem(dialog, IDC_COMPARE_SCAN), VK_RETURN);
        user.Key(dialog, VK_RETURN);
        Sleep(300);
        EXPECT_EQ(rows, Rows(dialog));
        std::string text;
        user.WaitForBox(&text);
        EXPECT_EQ("Would you like to save this list to file?|Save to file",
                  text + "|" + User::Text(box));
        user.Answer(box, IDNO);
        EXPECT_EQ(rows, Rows(dialog));
        user.Click(dialog, IDC_COMPARE_CLOSE);
        EXPECT_TRUE(user.WaitGone(dialog));
    });
}

// The file: the trimmed description (31 characters at most) and the rows; an
// old file replaced whole after the question (also while a reader allows it),
// else kept whole with the failure said; nothing at all on Cancel.
TEST_F(CompareDialog, SavesTheChangedExtensionsWholeOrNotAtAll) {
    const std::string folder = kvt::TestFolder(), path = folder + "changes.kvels";
    const std::string saved = AppState.AppDirectory;
    const struct {
        const char* description;
        DWORD sharing; // of a reader of the old file; -1: no old file
        bool cancel;
        std::string content;
    } rows[] = {
        {"  Tool 2 setup\t ", DWORD(-1), false, ";Tool 2 setup\r\nADDED-.kvtя\r\n"},
        {"0123456789abcdefghijklmnopqrstuvwxyz", FILE_SHARE_READ | FILE_SHARE_DELETE, false,
         ";0123456789abcdefghijklmnopqrstu\r\nADDED-.kvtя\r\n"},
        // UTF-8 without a mark; 31 characters, never half of one beyond the plane.
        {"Установка ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ📄", DWORD(-1), false,
         ";Установка ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ\r\nADDED-.kvtя\r\n"},
        {"kept", 0, false, "old"},
        {"cancelled", DWORD(-1), true, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.description);
        DeleteFileA(path.c_str());
        if (row.sharing != DWORD(-1))
            std::ofstream(path, std::ios::binary) << "old";
        HANDLE reader = row.sharing == DWORD(-1)
                            ? INVALID_HANDLE_VALUE
                            : CreateFileA(path.c_str(), GENERIC_READ, row.sharing, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        kvt::RemoveTestKeys();
        strcpy(AppState.AppDirectory, folder.c_str());
        kvt::RunDialog(OpenCompare, [&](User& user) {
            HWND dialog = user.WaitFor("Compare Extensions");
            Compare(user, dialog, "[HKLM\\Software\\Classes\\.kvtя]");
            user.Answer(user.WaitForBox(), IDYES);
            HWND save = user.WaitFor("Save changed extensions to file");
            ASSERT_NE(nullptr, save);
            EXPECT_EQ("Description:", User::Text(save, IDC_SAVE_DESCRIPTION_LABEL));
            SetDlgItemTextA(save, IDC_SAVE_DESCRIPTION, row.description);
            if (row.cancel)
                PostMessageA(save, WM_COMMAND, IDCANCEL, 0);
            else
                kvt::ChooseFile(user, save, "changes");
            if (row.sharing != DWORD(-1)) {
                user.Answer(user.WaitForBox(), IDYES); // replace the file
                if (row.content == "old") {
                    std::string text;
                    user.Answer(user.WaitForBox(&text), IDOK);
                    EXPECT_NE(std::string::npos, text.find(path)) << text;
                    EXPECT_NE(std::string::npos, text.find("not saved")) << text;
                }
            }
            EXPECT_TRUE(user.Wait([&] { return IsWindowEnabled(dialog) != 0; }));
        });
        if (reader != INVALID_HANDLE_VALUE)
            CloseHandle(reader);
        EXPECT_EQ(row.content, Read(path));
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "*.tmp").c_str(), &found);
        EXPECT_EQ(INVALID_HANDLE_VALUE, search) << "left behind: " << found.cFileName;
        FindClose(search);
    }
    DeleteFileA(path.c_str());
    strcpy(AppState.AppDirectory, saved.c_str());
}

} // namespace
