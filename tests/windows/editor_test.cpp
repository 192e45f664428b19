// The property editor through the real main window, on the real registry.
#include "editor/editor.h"
#include "harness/kvt.h"
#include "records/app_state.h"
#include "text/system_text.h"
#include "writer/undo.h"
#include "details/edit_flags.h"
#include "resources/resource.h"

#include <set>
#include <tuple>

namespace {

using kvt::EditorControl;
using kvt::User;
using Items = std::vector<std::string>;

class Editor : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        kvt::Seed(R"(
[HKLM\Software\Classes\.kvted]
@="kvtedfile"
"Content Type"="text/kvt"
[HKLM\Software\Classes\kvtedfile]
@="Machine words"
"EditFlags"=dword:00000005
[HKLM\Software\Classes\kvtedfile\shell\open\command]
@="\"C:\\Tools\\kvtview.exe\" \"%1\""
[HKCU\Software\Classes\.kvtmine]
@="kvtminefile"
[HKCU\Software\Classes\kvtminefile]
@="Mine"
"EditFlags"=dword:00000002
[HKCU\Software\Classes\Applications\kvta.exe]
"FriendlyAppName"="Kvt Alpha"
[HKCU\Software\Classes\Applications\kvta.exe\shell\open\command]
@="\"%SystemDrive%\\kvt\\kvta.exe\" \"%1\""
[HKCU\Software\Classes\Applications\kvtb.exe]
"FriendlyAppName"="Kvt Beta"
[HKCU\Software\Classes\Applications\kvtb.exe\shell\edit\command]
@="C:\\kvt\\kvtb.exe %1"
[HKCU\Software\Classes\Applications\kvtc.exe]
"FriendlyAppName"="Kvt Gamma"
[HKCU\Software\Classes\Applications\kvtc.exe\shell\open\command]
[HKCU\Software\Classes\Applications\kvtnameless.exe\shell\open\command]
@="C:\\kvt\\kvtnameless.exe"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtmine\OpenWithList]
"a"="kvta.exe"
"MRUList"="a"
"kvtlongname"="kvtb.exe"
)");
    }
};

Items Ours(const Items& items) {
    Items ours;
    for (const std::string& item : items)
        if (item.find("Kvt") == 0 || item == "[ NONE ]")
            ours.push_back(item);
    return ours;
}

// Every way of ending the editor, on the user's own extension: whether the
// writer ran, and the description it left.
TEST_F(Editor, EveryWayOfEndingIt) {
    const struct {
        const char* way;
        std::function<void(User&, HWND editor)> act;
        const char* description;
    } rows[] = {
        {"save unchanged", [](User& u, HWND e) { u.Click(e, IDC_EDITOR_SAVE); }, "Mine"},
        {"save", [](User& u, HWND e) { u.Click(e, IDC_EDITOR_SAVE); }, "Changed"},
        {"cancel, no",
         [](User& u, HWND e) {
             u.Click(e, IDC_EDITOR_CANCEL);
             std::string text;
             HWND box = u.WaitForBox(&text);
             EXPECT_EQ("Do you want to save changes?|.kvtmine", text + "|" + User::Text(box));
             u.Answer(box, IDNO);
         },
         "Mine"},
        {"cancel, yes",
         [](User& u, HWND e) {
             u.Click(e, IDC_EDITOR_CANCEL);
             u.Answer(u.WaitForBox(), IDYES);
         },
         "Changed"},
        {"close box", [](User& u, HWND e) { u.Close(e); }, "Mine"},
    };
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        for (const auto& row : rows) {
            SCOPED_TRACE(row.way);
            kvt::Seed("[HKCU\\Software\\Classes\\kvtminefile]\n@=\"Mine\"\n");
            HWND editor = kvt::OpenEditor(user, window, ".kvtmine");
            if (std::string(row.way) != "save unchanged")
                user.Type(EditorControl(user, editor, IDC_GENERAL_DESCRIPTION), "Changed");
            row.act(user, editor);
            EXPECT_TRUE(user.WaitGone(editor));
            EXPECT_EQ(row.description,
                      kvt::ValueText(HKEY_CURRENT_USER, "Software\\Classes\\kvtminefile", nullptr));
        }
    });
}

// The combo offers the applications (edit-only too) in reverse order, each as
// stored; Recently Used and "Add Program" trade programs; Save writes the list.
TEST_F(Editor, ProgramsAndTheRecentlyUsedList) {
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::OpenEditor(user, window, ".kvtmine");
        HWND combo = EditorControl(user, editor, IDC_OPENSWITH_PROGRAMCOMBO);
        EXPECT_EQ((Items{"Kvt Gamma", "Kvt Beta", "Kvt Alpha"}), Ours(User::Items(combo)));
        user.Select(combo, "Kvt Alpha");
        HWND page = GetParent(combo);
        EXPECT_TRUE(
            user.Wait([&] { return User::Text(page, IDC_OPENSWITH_OPENSWITH) == "Kvt Alpha"; }));
        EXPECT_EQ("kvta.exe|C:\\kvt\\|\"%1\"",
                  User::Texts(page, {IDC_OPENSWITH_PROGRAMFILE, IDC_OPENSWITH_PROGRAMPATH,
                                     IDC_OPENSWITH_ARGS}));
        HWND recent = GetDlgItem(page, IDC_OPENSWITH_RECENTLIST);
        EXPECT_EQ(Items{"Kvt Alpha"}, User::Items(recent)) << "no MRUList, no long names";
        user.Act(recent, "Kvt Alpha", 0);
        user.MenuKey(recent);
        user.Choose(IDM_RECENT_REMOVE);
        EXPECT_TRUE(user.Wait([&] { return User::Items(recent).empty(); }));
        user.ActAt(recent, {5, 5}, NM_RCLICK);
        HMENU menu = user.WaitForMenu();
        HMENU add = GetSubMenu(menu, 1);
        std::set<UINT> commands;
        UINT beta = 0;
        for (int i = 0; i < GetMenuItemCount(add); ++i) {
            EXPECT_NE(static_cast<UINT>(IDM_RECENT_REMOVE), GetMenuItemID(add, i));
            EXPECT_TRUE(commands.insert(GetMenuItemID(add, i)).second) << "a command twice";
            if (User::MenuItems(add)[i] == "Kvt Beta")
                beta = GetMenuItemID(add, i);
        }
        EXPECT_EQ("Kvt Alpha", User::MenuItems(add)[0]) << "a removed program comes first";
        user.Choose(beta);
        EXPECT_TRUE(user.Wait([&] { return User::Items(recent) == Items{"Kvt Beta"}; }));
        user.Click(editor, IDC_EDITOR_SAVE);
        user.WaitGone(editor);
    });
    EXPECT_REGISTRY(R"(
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtmine\OpenWithList]
"a"="kvtb.exe"
"MRUList"="a"
"kvtlongname"=-
[HKCU\Software\Classes\kvtminefile\shell\open\command]
@="C:\\kvt\\kvta.exe \"%1\""
)");
}

// The icon picker starts in the folder of the type's icon, shows a module's
// icons and takes one by its index.
TEST_F(Editor, IconPicker) {
    const std::string module =
        kvt::TestFile("kvticons.dll", std::string(AppState.AppDirectory) + "test_windows.exe");
    kvt::Seed("[HKCU\\Software\\Classes\\kvtminefile\\DefaultIcon]\n@=\"" + kvt::RegText(module) +
              ",0\"\n");
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND editor = kvt::OpenEditor(user, window, ".kvtmine");
        user.Click(GetParent(EditorControl(user, editor, IDC_GENERAL_CHANGEICON)),
                   IDC_GENERAL_CHANGEICON);
        HWND picker = user.WaitFor("Browse for Icons");
        HWND files = FindWindowExA(FindWindowExA(picker, nullptr, "SHELLDLL_DefView", nullptr),
                                   nullptr, WC_LISTVIEWA, nullptr);
        HWND icons = GetDlgItem(picker, IDC_PICKER_ICONS);
        ASSERT_TRUE(user.Wait([&] { return !User::Items(files).empty(); }));
        user.Act(files, "kvticons.dll", 0);
        ASSERT_TRUE(user.Wait([&] { return User::Items(icons).size() == 6; }));
        user.Act(icons, "2", NM_CLICK);
        EXPECT_TRUE(user.WaitGone(picker));
        user.Click(editor, IDC_EDITOR_SAVE);
        user.WaitGone(editor);
    });
    EXPECT_EQ(
        module + ",1",
        kvt::ValueText(HKEY_CURRENT_USER, "Software\\Classes\\kvtminefile\\DefaultIcon", nullptr));
}

// Where the user's choice decides, a saved program asks to remove it: Yes
// removes it alone, and the pane names the saved program; No keeps it.
TEST_F(Editor, SavingWhereTheUsersChoiceDecides) {
    const std::string exts = "[HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                             "FileExts\\.kvtchosen";
    for (int answer : {IDNO, IDYES}) {
        kvt::RemoveTestKeys();
        const std::string choice =
                              exts + "\\UserChoice]\n\"ProgId\"=\"Applications\\\\kvtool.exe\"\n",
                          list = exts + "\\OpenWithList]\n\"a\"=\"kvtool.exe\"\n";
        kvt::Seed(choice + list + R"(
[HKLM\Software\Classes\.kvtchosen]
@="kvtchosenfile"
[HKCU\Software\Classes\Applications\kvtool.exe\shell\open\command]
@="\"C:\\Program Files\\Kv Tool\\kvtool.exe\" \"%1\""
[HKCU\Software\Classes\Applications\kvtver.exe]
"FriendlyAppName"="Kvt Version"
[HKCU\Software\Classes\Applications\kvtver.exe\shell\open\command]
@="C:\\kvt\\kvtver.exe %1"
)");
        kvt::RunMainWindow(0, [&](User& user, HWND window) {
            HWND editor = kvt::OpenEditor(user, window, ".kvtchosen");
            user.Select(EditorControl(user, editor, IDC_OPENSWITH_PROGRAMCOMBO), "Kvt Version");
            user.Click(editor, IDC_EDITOR_SAVE);
            std::string text;
            user.Answer(user.WaitForBox(&text), answer);
            EXPECT_EQ("Files of type .kvtchosen open by your own choice of program "
                      "(Applications\\kvtool.exe), not by the program saved here.\r\nRemove your "
                      "choice, so that the saved program opens them?",
                      text);
            EXPECT_TRUE(user.WaitGone(editor));
            const std::string pane =
                answer == IDYES ? "Kvt Version|None" : "kvtool|Applications\\kvtool.exe";
            EXPECT_TRUE(user.Wait([&] {
                return User::Texts(window, {IDC_MAIN_OPENSWITH, IDC_MAIN_CHOICE}) == pane;
            })) << User::Texts(window, {IDC_MAIN_OPENSWITH, IDC_MAIN_CHOICE});
        });
        EXPECT_REGISTRY(list +
                        (answer == IDYES ? "[-" + exts.substr(1) + "\\UserChoice]\n" : choice) +
                        "[HKCU\\Software\\Classes\\kvtchosenfile\\shell\\open\\command]\n"
                        "@=\"C:\\\\kvt\\\\kvtver.exe %1\"\n");
    }
}

// The action dialog refuses an empty, backslashed or taken verb; a missing
// default is said; Delete removes from the keyboard.
TEST_F(Editor, ActionsRefuseWhatCannotBeAVerb) {
    kvt::Seed(R"(
[HKCU\Software\Classes\kvtminefile\shell]
@="Missing"
[HKCU\Software\Classes\kvtminefile\shell\Open\command]
@="notepad.exe %1"
)");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::OpenEditor(user, window, ".kvtmine");
        HWND list = EditorControl(user, editor, IDC_ACTIONS_LIST), page = GetParent(list);
        EXPECT_EQ("The default action \"Missing\" does not exist: set another action as the "
                  "default.",
                  User::Text(page, IDC_ACTIONS_MISSING));
        user.Click(page, IDC_ACTIONS_NEW);
        HWND dialog = user.WaitForControl(IDC_ACTION_VERB);
        for (const auto& [verb, refusal] : std::vector<std::pair<std::string, std::string>>{
                 {"", "An action needs a verb."},
                 {"a\\b", "A verb cannot hold a backslash (\\)."},
                 {"OPEN", "This file type has an action \"OPEN\" already."}}) {
            user.Type(GetDlgItem(dialog, IDC_ACTION_VERB), verb);
            user.Click(dialog, IDOK);
            std::string text;
            user.Answer(user.WaitForBox(&text), IDOK);
            EXPECT_EQ(refusal, text);
        }
        user.Click(dialog, IDCANCEL);
        EXPECT_TRUE(user.WaitGone(dialog));
        user.Act(list, "Open", 0);
        user.Key(list, VK_DELETE);
        EXPECT_TRUE(user.Wait([&] { return User::Items(list).empty(); }));
        user.Click(editor, IDC_EDITOR_CANCEL);
        user.Answer(user.WaitForBox(), IDNO);
    });
    EXPECT_REGISTRY("[HKCU\\Software\\Classes\\kvtminefile\\shell\\Open\\command]\n");
}

// Pages show the record and put back what is typed (rundll32's arguments
// with their program); Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+Page Down/Up switch.
TEST_F(Editor, PagesShowTheRecordAndTakeBackWhatIsTyped) {
    kvt::Seed(R"(
[HKCU\Software\Classes\.kvtpage]
@="kvtpagefile"
"PerceivedType"="text"
"Content Type"="text/kvt"
[HKCU\Software\Classes\kvtpagefile]
@="Page words"
"EditFlags"=dword:00010001
[HKCU\Software\Classes\kvtpagefile\DefaultIcon]
@="C:\\Tools\\kvtview.exe,0"
[HKCU\Software\Classes\kvtpagefile\shell\open\command]
@="rundll32.exe shell32.dll,Control_RunDLL %1"
[HKCU\Software\Classes\kvtpagefile\shell\open\ddeexec]
@="[open]"
[HKCU\Software\Classes\kvtpagefile\shell\open\ddeexec\Topic]
@="KvtTopic"
[HKCU\Software\Classes\kvtpagefile\shell\kvtedit\command]
@="C:\\Tools\\kvtview.exe /e %1"
)");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::OpenEditor(user, window, ".kvtpage");
        HWND general = GetParent(EditorControl(user, editor, IDC_GENERAL_DESCRIPTION));
        EXPECT_EQ("Page words|text|text/kvt|kvtview.exe|C:\\Tools\\",
                  User::Texts(general, {IDC_GENERAL_DESCRIPTION, IDC_GENERAL_PERCEIVED_CURRENT,
                                        IDC_GENERAL_CONTENT_CURRENT, IDC_GENERAL_ICONFILE,
                                        IDC_GENERAL_ICONPATH}));
        HWND open = GetParent(EditorControl(user, editor, IDC_OPENSWITH_ARGS));
        EXPECT_EQ("rundll32.exe||shell32.dll,Control_RunDLL %1|[open]|rundll32|KvtTopic",
                  User::Texts(open, {IDC_OPENSWITH_PROGRAMFILE, IDC_OPENSWITH_PROGRAMPATH,
                                     IDC_OPENSWITH_ARGS, IDC_OPENSWITH_DDECOMMAND,
                                     IDC_OPENSWITH_DDEAPP, IDC_OPENSWITH_DDETOPIC}));
        HWND flags = GetParent(EditorControl(user, editor, IDC_EDITFLAGS_FIRST));
        std::string boxes;
        for (int box = 0; box < kEditFlagBoxCount; ++box)
            boxes += IsDlgButtonChecked(flags, IDC_EDITFLAGS_FIRST + box) ? '1' : '0';
        EXPECT_EQ("1" + std::string(14, '0') + "1000", boxes);
        HWND actions = EditorControl(user, editor, IDC_ACTIONS_LIST);
        EXPECT_EQ((Items{"kvtedit", "open"}), User::Items(actions));
        user.Type(EditorControl(user, editor, IDC_OPENSWITH_ARGS), "shell32.dll,Other");
        user.Type(EditorControl(user, editor, IDC_GENERAL_DESCRIPTION), " Typed ");
        HWND tabs = GetDlgItem(editor, IDC_EDITOR_TABS);
        auto page = [&] { return static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)); };
        HWND focus = GetDlgItem(general, IDC_GENERAL_DESCRIPTION);
        for (const auto& [key, shift, expected] :
             std::vector<std::tuple<UINT, bool, int>>{{VK_TAB, false, 1},
                                                      {VK_NEXT, false, 2},
                                                      {VK_PRIOR, false, 1},
                                                      {VK_TAB, true, 0},
                                                      {VK_PRIOR, false, 3}}) {
            user.Do([&] {
                BYTE keys[256];
                GetKeyboardState(keys);
                keys[VK_SHIFT] = shift ? 0x80 : 0;
                SetKeyboardState(keys);
            });
            user.Chord(focus, VK_CONTROL, key);
            EXPECT_TRUE(user.Wait([&] { return page() == expected; })) << key << " " << page();
        }
        user.Do([] { SendMessageA(GetFocus(), WM_KEYUP, VK_SHIFT, 0); });
        FileTypeSave save;
        user.Do([&] { save = EditorOf(editor).Save; });
        EXPECT_EQ("rundll32.exe shell32.dll,Other", save.Edited.Actions[1].Command.Text);
        EXPECT_EQ(" Typed ", save.Edited.Description.Text) << "untrimmed";
        EXPECT_TRUE(save.Changed.Args && save.Changed.Description && !save.Changed.Program);
        user.Close(editor);
        EXPECT_TRUE(user.WaitGone(editor));
        // A customisation starts from the machine's flags and offers no
        // "[ NONE ]": the machine's value would show again.
        editor = kvt::OpenEditor(user, window, ".kvted");
        EXPECT_EQ("Customize properties for: .kvted", User::Text(editor));
        flags = GetParent(EditorControl(user, editor, IDC_EDITFLAGS_FIRST));
        EXPECT_TRUE(IsDlgButtonChecked(flags, IDC_EDITFLAGS_FIRST) &&
                    IsDlgButtonChecked(flags, IDC_EDITFLAGS_FIRST + 2));
        EXPECT_EQ("Machine words",
                  User::Text(EditorControl(user, editor, IDC_GENERAL_DESCRIPTION)));
        const Items types = User::Items(EditorControl(user, editor, IDC_GENERAL_CONTENT_COMBO));
        EXPECT_TRUE(types.empty() || types[0] != "[ NONE ]");
        user.Close(editor);
    });
}

// A refused save: the editor stays open, the key is named, nothing changed,
// no new undo step, the type still "System".
TEST_F(Editor, ARefusedSaveStaysOpenAndNamesTheKey) {
    kvt::Seed(R"(
[HKLM\Software\Classes\.kvtA]
@="kvtAfile"
[HKLM\Software\Classes\kvtAfile]
@="Machine words"
[HKLM\Software\Classes\kvtAfile\DefaultIcon]
@="shell32.dll,3"
[HKLM\Software\Classes\kvtAfile\shell\open\command]
@="notepad.exe %1"
[HKCU\Software\Classes\kvtAfile] volatile
)");
    const std::string before = kvt::TestKeysBytes();
    const std::string undo = CanUndo() ? LastChange().Title : "";
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND editor = kvt::OpenEditor(user, window, ".kvtA");
        user.Type(EditorControl(user, editor, IDC_OPENSWITH_ARGS), "/x %1");
        user.Click(editor, IDC_EDITOR_SAVE);
        std::string text;
        user.Answer(user.WaitForBox(&text), IDOK);
        EXPECT_EQ("The system refused to change "
                  "HKEY_CURRENT_USER\\Software\\Classes\\kvtAfile\\DefaultIcon:\r\n" +
                      SystemMessage(ERROR_CHILD_MUST_BE_VOLATILE) + "\r\n\r\nNothing was changed.",
                  text);
        EXPECT_TRUE(IsWindowVisible(editor)) << "the edits stay";
        EXPECT_EQ(before, kvt::TestKeysBytes());
        user.Click(editor, IDC_EDITOR_CANCEL);
        user.Answer(user.WaitForBox(), IDNO);
        EXPECT_TRUE(user.WaitGone(editor));
        EXPECT_EQ(GetDlgItem(window, IDC_MAIN_LIST), kvt::ListOrTree(window, ".kvtA"));
    });
    EXPECT_EQ(undo, CanUndo() ? LastChange().Title : "");
}

// A customised type goes last in "User Customized"; the pane shows the save.
TEST_F(Editor, ASavedCustomizationComesLastAndThePaneFollowsIt) {
    kvt::Seed(R"(
[HKLM\Software\Classes\.kvtzz]
[HKCU\Software\Classes\.kvtzz]
[HKLM\Software\Classes\.kvtaa]
@="kvtaafile"
[HKLM\Software\Classes\kvtaafile\shell\open\command]
@="notepad.exe %1"
)");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::OpenEditor(user, window, ".kvtaa");
        user.Type(EditorControl(user, editor, IDC_OPENSWITH_ARGS), "/p %1");
        user.Click(editor, IDC_EDITOR_SAVE);
        EXPECT_TRUE(user.WaitGone(editor));
        const Items tree = kvt::OurItems({GetDlgItem(window, IDC_MAIN_TREE)}, true);
        const auto defined = std::find(tree.begin(), tree.end(), "User Defined");
        ASSERT_NE(tree.begin(), defined);
        EXPECT_EQ(".kvtaa", defined[-1]) << "appended, not sorted in";
        EXPECT_TRUE(user.Wait([&] { return User::Text(window, IDC_MAIN_ARGS) == "/p %1"; }));
    });
}

} // namespace
