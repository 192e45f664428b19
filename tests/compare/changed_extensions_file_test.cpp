// The changed-extensions file: composed from the result rows, and saved
// through the real question, save dialog and "Description:" field.
#include "compare/changed_extensions_file.h"
#include "compare/compare_dialog.h"
#include "harness/dialog_driver.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <dlgs.h>

#include <fstream>
#include <sstream>

namespace {

using kvt::Classes;
using kvt::User;

// The rows of every comparison below, in the list's order.
const char kRows[] = "ADDED-.kvta\r\nDELETED-.kvtb\r\nADDED-.kvtc\r\n";

// A fresh directory for the files of one test, removed with what it holds.
class TempDirectory {
  public:
    TempDirectory() {
        char base[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, base);
        path_ = std::string(base) + "kvt-compare-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount());
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempDirectory() {
        for (const std::string& name : Files())
            DeleteFileA(File(name).c_str());
        RemoveDirectoryA(path_.c_str());
    }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(File("*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

  private:
    std::string path_;
};

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void WriteAll(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// Waits until the worker has written path with the expected content, and
// checks it then.
void ExpectFileContent(User& user, const std::string& path, const std::string& expected) {
    user.WaitUntil([&] { return ReadAll(path) == expected; }, 5000);
    EXPECT_EQ(expected, ReadAll(path));
}

class ChangedExtensionsFile : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtb"));
    }

    // Compares with .kvta and .kvtc installed and .kvtb removed, answers "Yes"
    // and hands the save dialog to save(user, fileDialog).
    void CompareAndSave(const std::function<void(User&, HWND)>& save) {
        kvt::RunDialog(RunCompareDialog, [&](User& user) {
            HWND dialog = user.WaitForWindow("Compare Extensions");
            ASSERT_NE(nullptr, dialog);
            user.Click(dialog, IDC_COMPARE_SCAN);
            ASSERT_TRUE(user.WaitUntil(
                [&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_COMPARE_COMPARE)); }));
            kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvta"));
            kvt::CreateKey(HKEY_CURRENT_USER, Classes(".kvtc"));
            kvt::DeleteKey(HKEY_LOCAL_MACHINE, Classes(".kvtb"));
            user.Click(dialog, IDC_COMPARE_COMPARE);
            kvt::MessageBoxInfo question = user.WaitForMessageBox();
            ASSERT_EQ("Would you like to save this list to file?", question.text);
            user.Answer(question, IDYES);
            HWND fileDialog = user.WaitForWindow("Save changed extensions to file");
            ASSERT_NE(nullptr, fileDialog);
            EXPECT_EQ(dialog, GetWindow(fileDialog, GW_OWNER));
            save(user, fileDialog);
            EXPECT_TRUE(user.WaitGone(fileDialog));
            // Whatever happened to the file, the results stay on screen.
            EXPECT_EQ(3, User::ListCount(GetDlgItem(dialog, IDC_COMPARE_RESULTS)));
            EXPECT_TRUE(user.WaitUntil([&] { return IsWindowEnabled(dialog) != 0; }));
            user.Click(dialog, IDC_COMPARE_CLOSE);
            EXPECT_TRUE(user.WaitGone(dialog));
        });
    }
};

HWND FileNameField(HWND fileDialog) {
    HWND edit = GetDlgItem(fileDialog, edt1);
    if (edit)
        return edit;
    return reinterpret_cast<HWND>(
        SendMessageA(GetDlgItem(fileDialog, cmb13), CBEM_GETEDITCONTROL, 0, 0));
}

HWND DescriptionField(HWND fileDialog) {
    return GetDlgItem(fileDialog, IDC_SAVE_DESCRIPTION);
}

void FillIn(User& user, HWND fileDialog, const std::string& description, const std::string& path) {
    user.Type(DescriptionField(fileDialog), description);
    HWND name = FileNameField(fileDialog);
    user.SetText(name, "");
    user.Type(name, path);
}

RECT RectIn(HWND control, HWND dialog) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Describe(HWND control) {
    char className[64] = {};
    GetClassNameA(control, className, sizeof className);
    return std::string(className) + " " + std::to_string(GetDlgCtrlID(control)) + " \"" +
           User::Text(control) + "\"";
}

TEST(ComposeChangedExtensions, HeaderThenOneLinePerRowInTheOrderGiven) {
    std::vector<ChangedExtension> rows = {
        {".kvta", kChangeAdded}, {".KvtB", kChangeDeleted}, {".kvtc", 7}};
    EXPECT_EQ(";Setup of Tool 2\r\nADDED-.kvta\r\nDELETED-.KvtB\r\nDELETED-.kvtc\r\n",
              ComposeChangedExtensions(" \t Setup of Tool 2 \t ", rows));
    EXPECT_EQ(";KVEL modified extension save file\r\n", ComposeChangedExtensions(" \t ", {}));
    EXPECT_EQ(";" + std::string(31, 'd') + "\r\n",
              ComposeChangedExtensions(std::string(40, 'd').c_str(), {}));
}

TEST_F(ChangedExtensionsFile, SavesTrimmedDescriptionAndRowsInDisplayOrder) {
    TempDirectory directory;
    CompareAndSave([&](User& user, HWND fileDialog) {
        FillIn(user, fileDialog, "  Tool 2 setup\t ", directory.File("changes"));
        user.Click(fileDialog, IDOK);
        ExpectFileContent(user, directory.File("changes.kvels"),
                          std::string(";Tool 2 setup\r\n") + kRows);
    });
    EXPECT_EQ(std::vector<std::string>{"changes.kvels"}, directory.Files());
}

TEST_F(ChangedExtensionsFile, OverwriteReplacesTheWholeFileAndTheDescriptionStopsAt31) {
    TempDirectory directory;
    const std::string path = directory.File("old.kvels");
    WriteAll(path, std::string(500, 'x'));
    CompareAndSave([&](User& user, HWND fileDialog) {
        const std::string typed = "0123456789abcdefghijklmnopqrstuvwxyz";
        FillIn(user, fileDialog, typed, path);
        EXPECT_EQ(typed.substr(0, 31), User::Text(DescriptionField(fileDialog)));
        user.Click(fileDialog, IDOK);
        kvt::MessageBoxInfo overwrite = user.WaitForMessageBox();
        ASSERT_NE(nullptr, overwrite.window);
        user.Answer(overwrite, IDYES);
        ExpectFileContent(user, path, ";" + typed.substr(0, 31) + "\r\n" + kRows);
    });
}

// The new file takes the old one's place whole: a reader that lets others
// replace the file keeps nothing from it; one that does not keeps the old
// file whole, and the failure is said. No other file is left behind.
TEST_F(ChangedExtensionsFile, AFileBeingReadIsReplacedWholeOrKeptWhole) {
    for (const DWORD sharing : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
                                DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        const bool replaced = (sharing & FILE_SHARE_DELETE) != 0;
        SCOPED_TRACE(replaced ? "the reader shares deletion" : "the reader does not");
        kvt::RemoveTestKeys();
        kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtb"));
        TempDirectory directory;
        const std::string path = directory.File("viewed.kvels");
        WriteAll(path, "earlier content");
        HANDLE viewer =
            CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, viewer);
        CompareAndSave([&](User& user, HWND fileDialog) {
            FillIn(user, fileDialog, "viewed", path);
            user.Click(fileDialog, IDOK);
            kvt::MessageBoxInfo overwrite = user.WaitForMessageBox();
            ASSERT_NE(nullptr, overwrite.window);
            user.Answer(overwrite, IDYES);
            user.WaitGone(overwrite.window);
            if (replaced)
                return ExpectFileContent(user, path, std::string(";viewed\r\n") + kRows);
            kvt::MessageBoxInfo failure = user.WaitForMessageBox();
            EXPECT_NE(std::string::npos, failure.text.find("not saved")) << failure.text;
            user.Answer(failure, IDOK);
            user.WaitGone(failure.window);
        });
        CloseHandle(viewer);
        EXPECT_EQ(replaced ? std::string(";viewed\r\n") + kRows : "earlier content", ReadAll(path));
        EXPECT_EQ(std::vector<std::string>{"viewed.kvels"}, directory.Files());
    }
}

TEST_F(ChangedExtensionsFile, CancelCreatesNothingAndTheFieldSitsInsideTheDialog) {
    TempDirectory directory;
    CompareAndSave([&](User& user, HWND fileDialog) {
        HWND label = GetDlgItem(fileDialog, IDC_SAVE_DESCRIPTION_LABEL);
        HWND edit = DescriptionField(fileDialog);
        ASSERT_NE(nullptr, label);
        ASSERT_NE(nullptr, edit);
        EXPECT_EQ("Description:", User::Text(label));
        RECT client;
        GetClientRect(fileDialog, &client);
        for (HWND added : {label, edit}) {
            RECT rect = RectIn(added, fileDialog);
            EXPECT_TRUE(IsWindowVisible(added)) << Describe(added);
            EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                        rect.bottom <= client.bottom)
                << Describe(added) << " lies outside the dialog";
            for (HWND other = GetWindow(fileDialog, GW_CHILD); other;
                 other = GetWindow(other, GW_HWNDNEXT)) {
                RECT otherRect = RectIn(other, fileDialog), overlap;
                if (other != label && other != edit && IsWindowVisible(other)) {
                    EXPECT_FALSE(IntersectRect(&overlap, &rect, &otherRect))
                        << Describe(added) << " overlaps " << Describe(other);
                }
            }
        }
        FillIn(user, fileDialog, "never saved", directory.File("cancelled"));
        user.Click(fileDialog, IDCANCEL);
    });
    EXPECT_TRUE(directory.Files().empty());
}

TEST_F(ChangedExtensionsFile, FileThatCannotBeWrittenIsReportedAndKeptAsItWas) {
    TempDirectory directory;
    const std::string path = directory.File("locked.kvels");
    WriteAll(path, "earlier content");
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    CompareAndSave([&](User& user, HWND fileDialog) {
        FillIn(user, fileDialog, "locked", path);
        user.Click(fileDialog, IDOK);
        kvt::MessageBoxInfo overwrite = user.WaitForMessageBox();
        user.Answer(overwrite, IDYES);
        user.WaitGone(overwrite.window);
        kvt::MessageBoxInfo failure = user.WaitForMessageBox();
        EXPECT_NE(std::string::npos, failure.text.find(path)) << failure.text;
        EXPECT_NE(std::string::npos, failure.text.find("not saved")) << failure.text;
        EXPECT_EQ("Compare Extensions", User::Text(GetWindow(failure.window, GW_OWNER)));
        user.Answer(failure, IDOK);
        user.WaitGone(failure.window);
    });
    CloseHandle(lock);
    EXPECT_EQ("earlier content", ReadAll(path));
    EXPECT_EQ(std::vector<std::string>{"locked.kvels"}, directory.Files());
}

} // namespace
