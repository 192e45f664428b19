// Undo and Export through the main windows: changes taken back byte for byte,
// one by one; an exported file brought back by the system's own importer.
#include "harness/kvt.h"
#include "records/app_state.h"
#include "resources/resource.h"

#include <cstdlib>
#include <fstream>

namespace {

using kvt::User;
using Items = std::vector<std::string>;

const char kFixture[] = R"(
[HKLM\Software\Classes\.kvtsys]
@="kvtsysfile"
[HKLM\Software\Classes\kvtsysfile]
@="System words"
[HKLM\Software\Classes\kvtsysfile\shell\open\command]
@="notepad.exe %1"
[HKCU\Software\Classes\.kvtmine]
@="kvtminefile"
[HKCU\Software\Classes\kvtminefile]
@="Mine"
"Odd"=hex(1):61,00,00,d8,62
[HKCU\Software\Classes\kvtminefile\shell\Печать\command]
@="notepad.exe /p %1"
[HKLM\Software\Classes\.kvtboth]
@="kvtbothfile"
[HKLM\Software\Classes\kvtbothfile]
@="Machine"
[HKCU\Software\Classes\.kvtboth]
@="kvtbothfile"
[HKCU\Software\Classes\kvtbothfile\shell\open\command]
@="notepad.exe %1"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtboth\UserChoice]
"ProgId"="kvtsysfile"
)";

Items Catalogue(HWND window) {
    return kvt::OurItems({GetDlgItem(window, IDC_MAIN_LIST), GetDlgItem(window, IDC_ADMIN_LIST),
                          GetDlgItem(window, IDC_MAIN_TREE)});
}

// The main window's menu for the extension, its command chosen.
void Command(User& user, HWND window, const std::string& extension, UINT command) {
    HWND control = kvt::ListOrTree(window, extension);
    user.Act(control, extension, 0);
    user.Act(control, extension, NM_RCLICK);
    user.Choose(command);
}

// Delete or Restore, its question answered; done once the counts change.
void Confirmed(User& user, HWND window, const std::string& extension, UINT command) {
    const std::string counts = kvt::StatusText();
    Command(user, window, extension, command);
    user.Answer(user.WaitForBox(), IDYES);
    EXPECT_TRUE(user.Wait([&] { return kvt::StatusText() != counts; }));
}

// The editor of the extension, its description typed, saved.
void Describe(User& user, HWND window, const std::string& extension) {
    HWND editor = kvt::OpenEditor(user, window, extension);
    user.Type(kvt::EditorControl(user, editor, IDC_GENERAL_DESCRIPTION), "Changed");
    user.Click(editor, IDC_EDITOR_SAVE);
    user.WaitGone(editor);
}

std::string UndoEntry(User& user, HWND window, const std::string& extension) {
    HWND control = kvt::ListOrTree(window, extension);
    user.Act(control, extension, NM_RCLICK);
    char text[256] = {};
    GetMenuStringA(user.WaitForMenu(), IDM_UNDO, text, sizeof text, MF_BYCOMMAND);
    user.Dismiss();
    return text;
}

struct Change {
    const char* title; // what Undo names
    int admin;
    std::function<void(User&, HWND window)> make;
    int steps = 1; // the changes it makes, each undone in turn
};

const Change kChanges[] = {
    {"Customize .kvtsys", 0, [](User& u, HWND w) { Describe(u, w, ".kvtsys"); }},
    {"Remove Your Choice .kvtboth", 0,
     [](User& u, HWND w) {
         HWND editor = kvt::OpenEditor(u, w, ".kvtboth");
         u.Type(kvt::EditorControl(u, editor, IDC_OPENSWITH_ARGS), "/x %1");
         u.Click(editor, IDC_EDITOR_SAVE);
         u.Answer(u.WaitForBox(), IDYES);
         u.WaitGone(editor);
     },
     2},
    {"Delete .kvtboth", 1, [](User& u, HWND w) { Confirmed(u, w, ".kvtboth", IDM_DELETE); }},
};

class Undo : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        kvt::Seed(kFixture);
    }
};

// Each change taken back by Ctrl+Z, or by the menu's entry, which names it.
TEST_F(Undo, EachChangeComesBackExactly) {
    for (const Change& change : kChanges) {
        SCOPED_TRACE(change.title);
        kvt::RemoveTestKeys();
        kvt::Seed(kFixture);
        const std::string before = kvt::TestKeysBytes();
        kvt::RunMainWindow(change.admin, [&](User& user, HWND window) {
            const Items catalogue = Catalogue(window);
            change.make(user, window);
            EXPECT_TRUE(user.Wait([&] { return before != kvt::TestKeysBytes(); }))
                << change.title << ": the change changed nothing";
            EXPECT_EQ("Undo " + std::string(change.title) + "\tCtrl+Z",
                      UndoEntry(user, window, ".kvtsys"));
            for (int step = 0; step < change.steps; ++step) {
                if (change.admin)
                    Command(user, window, ".kvtsys", IDM_UNDO);
                else
                    user.Chord(GetDlgItem(window, IDC_MAIN_LIST), VK_CONTROL, 'Z');
                user.Wait([&] { return IsWindowEnabled(window) != 0; });
            }
            EXPECT_TRUE(user.Wait([&] { return kvt::TestKeysBytes() == before; }))
                << change.title << ": the registry as before";
            EXPECT_TRUE(user.Wait([&] { return Catalogue(window) == catalogue; }))
                << ::testing::PrintToString(Catalogue(window));
        });
    }
}

// Undo goes back change by change, over another program's change when told.
TEST_F(Undo, ChangeByChangeAndOnlyWhenToldOverOthersChanges) {
    const std::string before = kvt::TestKeysBytes();
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        Describe(user, window, ".kvtsys");
        Confirmed(user, window, ".kvtmine", IDM_DELETE);
        Confirmed(user, window, ".kvtboth", IDM_RESTORE);
        kvt::Seed("[HKCU\\Software\\Classes\\.kvtboth]\n@=\"other\"\n");
        // Asked twice: No leaves the change, Yes takes it back; then the others.
        for (int answer : {IDNO, IDYES, 0, 0}) {
            // Enabled when idle, not between a box and its "please wait".
            user.Wait([&] { return user.Do([] {}), IsWindowEnabled(window) != 0; });
            user.Chord(GetDlgItem(window, IDC_MAIN_LIST), VK_CONTROL, 'Z');
            std::string text;
            if (answer)
                user.Answer(user.WaitForBox(&text), answer);
            EXPECT_EQ(answer ? "Since \"Restore .kvtboth\", another program changed:\r\n"
                               "Software\\Classes\\.kvtboth\r\nUndo anyway? These keys then "
                               "hold again what they held before the change."
                             : "",
                      text);
        }
        EXPECT_TRUE(user.Wait([&] { return kvt::TestKeysBytes() == before; }));
    });
}

// An exported type comes back whole from "reg import"; one with nothing of the
// user's is said to have nothing.
TEST_F(Undo, AnExportedTypeComesBackFromTheSystemsImporter) {
    kvt::Seed(R"(
[HKCU\Software\Classes\.kvtexp]
@="kvtexpfile"
"Значение 📄"=hex(0):01,02
"Path"="C:\\kvt\\x.exe /q \"%1\""
[HKCU\Software\Classes\kvtexpfile\Печать]
@=expand:"%SystemRoot%\\x.exe"
"Binary"=hex:00,ff
"Word"=dword:01020304
"Big"=hex(5):01,02,03,04
"Link"=hex(6):41,00
"Multi"=hex(7):61,00,00,00,62,00,00,00,00,00
"Quad"=hex(b):01,02,03,04,05,06,07,08
"Lone"=hex(1):61,00,00,d8,62,00,00,00
"Lines"=hex(1):61,00,0a,00,62,00,00,00
)");
    const std::string exported = kvt::TestKeysBytes(), file = kvt::TestFolder() + "kvt.reg";
    DeleteFileA(file.c_str());
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        Command(user, window, ".kvtsys", IDM_EXPORT);
        std::string text;
        user.Answer(user.WaitForBox(&text), IDOK);
        EXPECT_EQ(
            "There is nothing of yours to export for .kvtsys: its settings are the machine's.",
            text);
        Command(user, window, ".kvtexp", IDM_EXPORT);
        kvt::ChooseFile(user, user.WaitFor("Export File Types"), file);
        EXPECT_TRUE(user.Wait([&] { return std::ifstream(file).good(); }));
    });
    kvt::RemoveTestKeys();
    kvt::Seed(kFixture);
    ASSERT_EQ(0, std::system(("reg.exe import \"" + file + "\"").c_str()));
    EXPECT_EQ(exported, kvt::TestKeysBytes());
}

// Export All asks for the file first; its progress shows on a long export,
// whose Cancel writes nothing; the file brings every type of the user's back.
TEST_F(Undo, ExportAllShowsItsProgressCancelsAndComesBackFromTheImporter) {
    // Wine's importer cuts the fixture's text of an odd size: its class goes.
    const std::string even = "[-HKCU\\Software\\Classes\\kvtminefile]\n";
    std::string many = even; // long to read, yet few rows: types of many actions
    for (int type = 0; type < 130; ++type)
        for (int verb = 0; verb < 15; ++verb)
            many += "[HKCU\\Software\\Classes\\.kvtall" + std::to_string(type) + "\\shell\\v" +
                    std::to_string(verb) + "\\command]\n@=\"notepad.exe %1\"\n";
    kvt::Seed(many);
    const std::string exported = kvt::TestKeysBytes(), file = kvt::TestFolder() + "kvtall.reg";
    DeleteFileA(file.c_str());
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        for (bool cancel : {true, false}) {
            Command(user, window, ".kvtmine", IDM_EXPORTALL);
            kvt::ChooseFile(user, user.WaitFor("Export File Types"), file);
            HWND progress = user.WaitFor("Export All");
            if (cancel)
                user.Click(progress, IDCANCEL);
            user.WaitGone(progress);
            EXPECT_EQ(!cancel, user.Wait([&] { return std::ifstream(file).good(); },
                                         cancel ? 500 : kvt::kWaitMs));
        }
    });
    kvt::RemoveTestKeys();
    kvt::Seed(kFixture + even);
    ASSERT_EQ(0, std::system(("reg.exe import \"" + file + "\"").c_str()));
    EXPECT_EQ(exported, kvt::TestKeysBytes());
}

} // namespace
