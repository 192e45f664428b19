// The compare dialog (8000) and its progress window (9000) on registry
// fixtures changed between "&Scan" and "Com&pare", as an installer would.
#include "records/app_state.h"
#include "compare/compare_dialog.h"
#include "harness/dialog_driver.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "platform/registry.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

using kvt::Classes;
using kvt::User;

class CompareDialog : public kvt::RegistryTest {};

// A row of the result list as "name image kind".
std::string Row(const std::string& name, int image, int kind) {
    return name + " " + std::to_string(image) + " " + std::to_string(kind);
}

std::vector<std::string> Rows(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_COMPARE_RESULTS);
    std::vector<std::string> rows;
    for (int i = 0, count = User::ListCount(list); i < count; ++i)
        rows.push_back(Row(User::ListText(list, i), User::ListImage(list, i),
                           static_cast<int>(User::ListParam(list, i))));
    return rows;
}

const std::vector<std::string> kNone;

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}

void ExpectCounts(HWND dialog, const std::string& added, const std::string& deleted) {
    EXPECT_EQ(added, User::Text(dialog, IDC_COMPARE_ADDED));
    EXPECT_EQ(deleted, User::Text(dialog, IDC_COMPARE_DELETED));
}

HWND WaitForCompareDialog(User& user) {
    return user.WaitForWindow("Compare Extensions");
}

// "&Scan", then the state Scanned: only "Com&pare" can be pressed.
void ScanNow(User& user, HWND dialog) {
    user.Click(dialog, IDC_COMPARE_SCAN);
    EXPECT_TRUE(user.WaitUntil([&] { return Enabled(dialog, IDC_COMPARE_COMPARE); }));
    EXPECT_FALSE(Enabled(dialog, IDC_COMPARE_SCAN));
}

// "Com&pare", then the results: "&Scan" can be pressed once the save
// question, if there is one, is answered.
void CompareNow(User& user, HWND dialog) {
    user.Click(dialog, IDC_COMPARE_COMPARE);
    EXPECT_TRUE(user.WaitUntil(
        [&] { return Enabled(dialog, IDC_COMPARE_SCAN) || user.FindMessageBoxNow(); }));
    EXPECT_FALSE(Enabled(dialog, IDC_COMPARE_COMPARE));
}

bool QuestionAsked(User& user) {
    return user.FindMessageBoxNow() != nullptr;
}

void AnswerQuestion(User& user, HWND dialog, int answer) {
    kvt::MessageBoxInfo box = user.WaitForMessageBox();
    EXPECT_EQ("Would you like to save this list to file?", box.text);
    EXPECT_EQ("Save to file", box.caption);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.buttons);
    EXPECT_EQ(dialog, GetWindow(box.window, GW_OWNER));
    user.Answer(box, answer);
    user.WaitGone(box.window);
    EXPECT_TRUE(user.WaitUntil([&] { return Enabled(dialog, IDC_COMPARE_SCAN); }));
}

void CloseCompareDialog(User& user, HWND dialog) {
    user.Click(dialog, IDC_COMPARE_CLOSE);
    EXPECT_TRUE(user.WaitGone(dialog));
}

// The name at index 0 of the merged classes root.
std::string FirstClassesKey() {
    RegKey root;
    char name[MAX_PATH] = {};
    DWORD length = sizeof name;
    if (RegistryOpenKey(HKEY_CLASSES_ROOT, nullptr, KEY_ENUMERATE_SUB_KEYS, root.put()) == 0)
        RegistryEnumKey(root.get(), 0, name, &length);
    return name;
}

// A key outside the "kvt" names, removed when the test ends (when it made it).
class ScopedKey {
  public:
    ScopedKey(HKEY hive, const std::string& name)
        : hive_(hive), path_(Classes(name)), made_(!kvt::KeyExists(hive, path_)) {
        if (made_)
            kvt::CreateKey(hive_, path_);
    }
    ~ScopedKey() {
        if (made_)
            kvt::DeleteKey(hive_, path_);
    }

  private:
    HKEY hive_;
    std::string path_;
    bool made_;
};

TEST_F(CompareDialog, WithoutChangeFindsNothingAndAsksNothingThroughTwoCycles) {
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtsame"));
    kvt::RunDialog(RunCompareDialog, [](User& user) {
        HWND dialog = WaitForCompareDialog(user);
        ASSERT_NE(nullptr, dialog);
        EXPECT_TRUE(Enabled(dialog, IDC_COMPARE_SCAN));
        EXPECT_FALSE(Enabled(dialog, IDC_COMPARE_COMPARE));
        ExpectCounts(dialog, "0", "0");
        for (int cycle = 0; cycle < 2; ++cycle) {
            ScanNow(user, dialog);
            CompareNow(user, dialog);
            ExpectCounts(dialog, "0", "0");
            EXPECT_EQ(kNone, Rows(dialog));
            EXPECT_FALSE(QuestionAsked(user));
        }
        CloseCompareDialog(user, dialog);
    });
}

TEST_F(CompareDialog, ListsAddedAndDeletedExtensionsButNotChangesOfLetterCase) {
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtgone"));
    kvt::CreateKey(HKEY_CURRENT_USER, Classes(".kvtkept"));
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtcase"));
    kvt::RunDialog(RunCompareDialog, [](User& user) {
        HWND dialog = WaitForCompareDialog(user);
        ASSERT_NE(nullptr, dialog);
        ScanNow(user, dialog);
        kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtnew"));
        kvt::CreateKey(HKEY_CURRENT_USER, Classes(".kvtmine"));
        kvt::DeleteKey(HKEY_LOCAL_MACHINE, Classes(".kvtgone"));
        kvt::DeleteKey(HKEY_LOCAL_MACHINE, Classes(".kvtcase"));
        kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".KVTCASE"));
        CompareNow(user, dialog);
        const std::vector<std::string> expected = {Row(".kvtgone", kImage16Deleted, kChangeDeleted),
                                                   Row(".kvtmine", kImage16Added, kChangeAdded),
                                                   Row(".kvtnew", kImage16Added, kChangeAdded)};
        EXPECT_EQ(expected, Rows(dialog));
        ExpectCounts(dialog, "2", "1");

        AnswerQuestion(user, dialog, IDNO);
        EXPECT_EQ(expected, Rows(dialog));
        ExpectCounts(dialog, "2", "1");

        ScanNow(user, dialog);
        EXPECT_EQ(kNone, Rows(dialog));
        ExpectCounts(dialog, "0", "0");
        CloseCompareDialog(user, dialog);
    });
}

// Each hive's run of extensions is read whole in the registry's order: a
// root key such as "-.x" sorts before the run, not inside it, and a name
// renamed only in letter case, "\xE9" to "\xC9" too, is no change.
TEST_F(CompareDialog, ReadsTheWholeRunOfExtensionsAndFoldsEveryLetter) {
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes("-.kvtdash"));
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvt\xE9"));
    kvt::RunDialog(RunCompareDialog, [](User& user) {
        HWND dialog = WaitForCompareDialog(user);
        ASSERT_NE(nullptr, dialog);
        ScanNow(user, dialog);
        kvt::CreateKey(HKEY_CURRENT_USER, Classes(".kvtz"));
        kvt::DeleteKey(HKEY_LOCAL_MACHINE, Classes(".kvt\xE9"));
        kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".KVT\xC9"));
        CompareNow(user, dialog);
        EXPECT_EQ(std::vector<std::string>{Row(".kvtz", kImage16Added, kChangeAdded)},
                  Rows(dialog));
        AnswerQuestion(user, dialog, IDNO);
        CloseCompareDialog(user, dialog);
    });
}

// While the save question is open, a key pressed in the compare dialog
// reaches none of its buttons: the results stay for the question.
TEST_F(CompareDialog, AKeyPressedWhileTheQuestionIsOpenLeavesTheResults) {
    kvt::RunDialog(RunCompareDialog, [](User& user) {
        HWND dialog = WaitForCompareDialog(user);
        ASSERT_NE(nullptr, dialog);
        ScanNow(user, dialog);
        kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtnew"));
        user.Click(dialog, IDC_COMPARE_COMPARE);
        kvt::MessageBoxInfo box = user.WaitForMessageBox();
        ASSERT_NE(nullptr, box.window);
        user.PressKey(VK_RETURN, GetDlgItem(dialog, IDC_COMPARE_SCAN));
        user.PressKey(VK_RETURN, dialog);
        Sleep(500);
        const std::vector<std::string> expected = {Row(".kvtnew", kImage16Added, kChangeAdded)};
        EXPECT_EQ(expected, Rows(dialog));
        user.Answer(box, IDNO);
        user.WaitGone(box.window);
        EXPECT_EQ(expected, Rows(dialog));
        CloseCompareDialog(user, dialog);
    });
}

// A key of a hive's classes moved out of the way for one test, then put back
// with everything below it.
class HiddenKey {
  public:
    HiddenKey(HKEY hive, const std::string& name)
        : hive_(hive), name_(name), backup_("Software\\kvtHidden\\" + name) {
        HKEY classes = nullptr, backup = nullptr;
        RegOpenKeyExA(hive_, "Software\\Classes", 0, KEY_READ, &classes);
        kvt::CreateKey(hive_, backup_);
        RegOpenKeyExA(hive_, backup_.c_str(), 0, KEY_ALL_ACCESS, &backup);
        EXPECT_EQ(ERROR_SUCCESS, RegCopyTreeA(classes, name_.c_str(), backup));
        RegCloseKey(backup);
        RegCloseKey(classes);
        kvt::DeleteKey(hive_, Classes(name_));
    }
    ~HiddenKey() {
        HKEY restored = nullptr;
        RegCreateKeyExA(hive_, Classes(name_).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &restored, nullptr);
        EXPECT_EQ(ERROR_SUCCESS, RegCopyTreeA(hive_, backup_.c_str(), restored));
        RegCloseKey(restored);
        kvt::DeleteKey(hive_, backup_);
        RegDeleteKeyA(hive_, "Software\\kvtHidden"); // once the last backup is gone
    }

  private:
    HKEY hive_;
    std::string name_;
    std::string backup_;
};

// Hides name from both hives' classes; false when it is still there.
bool Hide(const std::string& name, std::vector<std::unique_ptr<HiddenKey>>* hidden) {
    for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        if (kvt::KeyExists(hive, Classes(name)))
            hidden->push_back(std::make_unique<HiddenKey>(hive, name));
    return FirstClassesKey() != name;
}

TEST_F(CompareDialog, SeesTheExtensionThatIsTheFirstKeyOfTheClassesRoot) {
    std::vector<std::unique_ptr<HiddenKey>> hidden;
    std::string first = FirstClassesKey();
    for (; !first.empty() && first[0] != '.'; first = FirstClassesKey())
        ASSERT_TRUE(Hide(first, &hidden)) << "cannot move " << first << " out of the way";
    ASSERT_FALSE(first.empty());
    kvt::RunDialog(RunCompareDialog, [&](User& user) {
        HWND dialog = WaitForCompareDialog(user);
        ASSERT_NE(nullptr, dialog);
        ScanNow(user, dialog);
        EXPECT_TRUE(Hide(first, &hidden));
        CompareNow(user, dialog);
        EXPECT_EQ(std::vector<std::string>{Row(first, kImage16Deleted, kChangeDeleted)},
                  Rows(dialog));
        AnswerQuestion(user, dialog, IDNO);
        CloseCompareDialog(user, dialog);
    });
}

TEST_F(CompareDialog, PassesOverKeysBeforeTheExtensionsAndNamesTooLongToRead) {
    ScopedKey star(HKEY_LOCAL_MACHINE, "*");
    ASSERT_EQ("*", FirstClassesKey()) << "the fixture must sort first";
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvta" + std::string(60, 'x')));
    kvt::RunDialog(RunCompareDialog, [](User& user) {
        HWND dialog = WaitForCompareDialog(user);
        ASSERT_NE(nullptr, dialog);
        ScanNow(user, dialog);
        kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtz"));
        CompareNow(user, dialog);
        EXPECT_EQ(std::vector<std::string>{Row(".kvtz", kImage16Added, kChangeAdded)},
                  Rows(dialog));
        AnswerQuestion(user, dialog, IDNO);
        CloseCompareDialog(user, dialog);
    });
}

TEST_F(CompareDialog, OpensFromTheCompareCommandOfTheMainWindow) {
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtlisted"));
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        user.RightClickListItem(list, User::ListFind(list, ".kvtlisted"));
        user.ChooseMenuCommand(IDM_COMPARE);
        HWND dialog = WaitForCompareDialog(user);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(window, GetWindow(dialog, GW_OWNER));
        CloseCompareDialog(user, dialog);
        user.Close(window);
    });
}

// Every text of a dialog template fits its control at the dialog's font.
void ExpectTextsFit(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        std::string text = User::Text(child);
        bool button = lstrcmpiA(className, "Button") == 0;
        if (text.empty() || (!button && lstrcmpiA(className, "Static") != 0))
            continue;
        HDC dc = GetDC(child);
        HGDIOBJ previous =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)));
        RECT needed = {};
        DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, previous);
        ReleaseDC(child, dc);
        RECT client;
        GetClientRect(child, &client);
        const int border = button ? 8 : 0;
        EXPECT_LE(needed.right + border, client.right) << "\"" << text << "\" is cut";
        EXPECT_LE(needed.bottom, client.bottom) << "\"" << text << "\" is cut";
    }
}

TEST_F(CompareDialog, TextsOfBothDialogsFitTheirControls) {
    kvt::RunDialog(RunCompareDialog, [](User& user) {
        HWND dialog = WaitForCompareDialog(user);
        ASSERT_NE(nullptr, dialog);
        ExpectTextsFit(dialog);
        CloseCompareDialog(user, dialog);
    });
    HWND progress = CreateDialogParamA(
        AppState.Instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(nullptr, progress);
    ExpectTextsFit(progress);
    DestroyWindow(progress);
}

} // namespace
