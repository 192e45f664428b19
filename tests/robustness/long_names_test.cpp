// Names of 49, 50, 255 and more characters at the places a name is read that
// the classes of the extension do not cover: registered programs, the user's
// Open With list, the content types of the MIME database, and names typed into
// the entry dialog. Nothing may crash or hang, and opening and cancelling
// writes nothing.
#include "harness/editor_driver.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "openwith/openwith_editor.h"
#include "resources/resource.h"
#include "robustness/robust_kit.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using kvt::Classes;
using kvt::User;

const char kContentTypes[] = "Software\\Classes\\MIME\\Database\\Content Type";
const char kApplications[] = "Software\\Classes\\Applications";

std::string ProgramName(size_t length) {
    return kvr::NameOfLength("kvtprog", length - 4) + ".exe";
}

class LongNames : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtnames", "kvtnamesfile", "Names", "n.exe %1");
        for (size_t length : {49, 50, 255}) {
            // Programs and content types are key names: 255 characters at most.
            const std::string program = ProgramName(length);
            kvr::SetValueBelow(HKEY_CURRENT_USER, kApplications, program, "FriendlyAppName", REG_SZ,
                               kvr::NameOfLength("KVT friendly ", length) + '\0');
            kvr::SetValueBelow(HKEY_CURRENT_USER, std::string(kApplications) + "\\" + program,
                               "shell\\open\\command", nullptr, REG_SZ,
                               "\"C:\\kvt\\" + program + "\" \"%1\"" + '\0');
            kvr::CreateKeyBelow(HKEY_LOCAL_MACHINE, kContentTypes,
                                kvr::NameOfLength("kvt/", length));
        }
        // The Open With list: value names of every length, data naming the
        // programs above, and data of odd sizes.
        const std::string list = kvt::OpenWithListPath(".kvtnames");
        for (size_t length : {49, 50, 255}) {
            const std::string data = ProgramName(length);
            kvt::SetText(HKEY_CURRENT_USER, list, kvr::NameOfLength("k", length % 7 + 1).c_str(),
                         data);
        }
        for (size_t length : {49, 50, 259, 260, 300})
            kvt::SetText(HKEY_CURRENT_USER, list, kvr::NameOfLength("kvtname", length).c_str(),
                         ProgramName(49));
        for (size_t size : {260, 261, 4000})
            kvt::SetBytes(HKEY_CURRENT_USER, list, ("s" + std::to_string(size)).c_str(), REG_SZ,
                          std::vector<BYTE>(size, 'p'));
        kvt::SetText(HKEY_CURRENT_USER, list, "MRUList", "abcdefgh");
    }
};

TEST_F(LongNames, ProgramsListsAndContentTypesOpenAndCancelWritingNothing) {
    const kvr::ClassesImage before = kvr::ClassesImage::Take();
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtnames");
        ASSERT_NE(nullptr, editor);
        const std::vector<std::string> programs =
            User::ComboTexts(kvt::EditorControl(editor, IDC_OPENSWITH_PROGRAMCOMBO));
        // A program of 255 characters makes no path of 260: it is not offered.
        for (size_t length : {49, 50})
            EXPECT_NE(programs.end(), std::find(programs.begin(), programs.end(),
                                                kvr::NameOfLength("KVT friendly ", length)))
                << "the program of " << length << " characters is offered";
        const std::vector<std::string> types =
            User::ComboTexts(kvt::EditorControl(editor, IDC_GENERAL_CONTENT_COMBO));
        EXPECT_NE(types.end(),
                  std::find(types.begin(), types.end(), kvr::NameOfLength("kvt/", 255)));
        // Recently Used: the programs the list names under names of up to 7
        // characters; longer value names and overlong data are passed over.
        HWND recent = kvt::EditorControl(editor, IDC_OPENSWITH_RECENTLIST);
        EXPECT_EQ(3, User::ListCount(recent));
        user.Click(editor, IDC_EDITOR_CANCEL);
        ASSERT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
    kvt::RunDialog(RunOpenWithEditor, [&](User& user) {
        HWND dialog = user.WaitForDialogWith(IDC_OPENWITHEDITOR_LIST);
        ASSERT_NE(nullptr, dialog);
        const std::vector<std::string> rows =
            User::ListTexts(GetDlgItem(dialog, IDC_OPENWITHEDITOR_LIST));
        for (size_t length : {49, 50})
            EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(),
                                            kvr::NameOfLength("KVT friendly ", length)));
        user.Close(dialog);
        EXPECT_TRUE(user.WaitGone(dialog));
    });
    EXPECT_EQ("", kvr::ClassesImage::Take().DifferencesFrom(before));
}

TEST_F(LongNames, TypedExtensionNamesAreCutToTheEntryAndCreateNothingUnasked) {
    const kvr::ClassesImage before = kvr::ClassesImage::Take();
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        for (size_t length : {49, 50, 259, 260, 300}) {
            SCOPED_TRACE(length);
            HWND list = GetDlgItem(window, IDC_MAIN_LIST);
            user.RightClickListItem(list, 0);
            user.ChooseMenuCommand(IDM_SEARCH);
            HWND entry = user.WaitForDialogWith(IDC_ENTRY_NAME);
            ASSERT_NE(nullptr, entry);
            user.Type(GetDlgItem(entry, IDC_ENTRY_NAME), kvr::NameOfLength("kvtt", length));
            EXPECT_LE(User::Text(entry, IDC_ENTRY_NAME).size(), 258u);
            user.Click(entry, IDC_ENTRY_OK);
            // Not found: the question whether to create it, answered no.
            kvt::MessageBoxInfo box = user.WaitForMessageBox();
            EXPECT_NE(std::string::npos, box.text.find(".kvtt"));
            user.Answer(box, IDNO);
            ASSERT_TRUE(user.WaitGone(entry));
        }
        user.Close(window);
    });
    EXPECT_EQ("", kvr::ClassesImage::Take().DifferencesFrom(before));
}

} // namespace
