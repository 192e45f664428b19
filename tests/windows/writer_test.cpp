// The writers of both modes: one row per save, from a fixture through edits
// in the real editor to the registry the save must leave.
#include "harness/kvt.h"
#include "platform/registry.h"
#include "resources/resource.h"
#include "writer/value_rules.h"

#include <algorithm>
#include <regex>

namespace {

using kvt::EditorControl;
using kvt::User;
using Edits = std::function<void(User&, HWND editor)>;

Edits Type(int id, const std::string& text) {
    return [=](User& user, HWND editor) { user.Type(EditorControl(user, editor, id), text); };
}

Edits ClickBox(int box) {
    return [=](User& user, HWND editor) {
        user.Click(GetParent(EditorControl(user, editor, IDC_EDITFLAGS_FIRST)),
                   IDC_EDITFLAGS_FIRST + box);
    };
}

Edits Choose(int combo, const std::string& item) {
    return [=](User& user, HWND editor) { user.Select(EditorControl(user, editor, combo), item); };
}

// On the Actions page: the row that shows text selected ("": none), a button;
// one that opens no dialog has done its work on return.
Edits OnAction(const std::string& row, int button) {
    return [=](User& user, HWND editor) {
        HWND list = EditorControl(user, editor, IDC_ACTIONS_LIST);
        if (!row.empty())
            user.Act(list, row, 0);
        if (button == IDC_ACTIONS_NEW || button == IDC_ACTIONS_EDIT)
            return user.Click(GetParent(list), button);
        user.Do(
            [&] { SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); });
    };
}

// The action dialog the button opened: fields typed, then OK.
Edits ActionFields(const std::vector<std::pair<int, std::string>>& fields) {
    return [=](User& user, HWND) {
        HWND dialog = user.WaitForControl(IDC_ACTION_VERB);
        for (const auto& [id, text] : fields)
            user.Type(GetDlgItem(dialog, id), text);
        user.Click(dialog, IDOK);
        user.WaitGone(dialog);
    };
}

struct Save {
    const char* name;
    int admin;
    const char* extension;
    std::string fixture;
    std::vector<Edits> edits;
    std::string expected;
    const char* opensWith = nullptr; // the pane's program after the save
};

// A new "print" action with a quoted program and DDE, made the default; the
// "edit" action's arguments; the "play" action removed.
const std::vector<Edits> kActionEdits = {
    OnAction("", IDC_ACTIONS_NEW),
    ActionFields({{IDC_ACTION_VERB, "print"},
                  {IDC_ACTION_NAME, "&Print"},
                  {IDC_ACTION_PROGRAM, "C:\\Program Files\\Kv Tool\\kvtool.exe"},
                  {IDC_ACTION_ARGS, "/p \"%1\""},
                  {IDC_ACTION_DDEAPP, "KvTool"},
                  {IDC_ACTION_DDECOMMAND, "[print]"}}),
    OnAction("Print", IDC_ACTIONS_DEFAULT),
    OnAction("edit", IDC_ACTIONS_EDIT),
    ActionFields({{IDC_ACTION_ARGS, "/edit %1"}}),
    OnAction("play", IDC_ACTIONS_REMOVE)};
const char kActionsBefore[] = R"(
@="kvtactfile"
[$\Software\Classes\kvtactfile\shell\open\command]
@="notepad.exe %1"
[$\Software\Classes\kvtactfile\shell\edit\command]
@="notepad.exe /e %1"
[$\Software\Classes\kvtactfile\shell\play\ddeexec]
@="[play]"
)";
const char kActionsAfter[] = R"(
[$\Software\Classes\kvtactfile\shell]
@="print"
[$\Software\Classes\kvtactfile\shell\print]
@="&Print"
[$\Software\Classes\kvtactfile\shell\print\command]
@="\"C:\\Program Files\\Kv Tool\\kvtool.exe\" /p \"%1\""
[$\Software\Classes\kvtactfile\shell\print\ddeexec]
@="[print]"
[$\Software\Classes\kvtactfile\shell\print\ddeexec\Application]
@="KvTool"
[-$\Software\Classes\kvtactfile\shell\print\ddeexec\Topic]
[$\Software\Classes\kvtactfile\shell\edit\command]
@="notepad.exe /edit %1"
[-$\Software\Classes\kvtactfile\shell\play]
[$\Software\Classes\kvtactfile\shell\open\command]
@="notepad.exe %1"
)";
// "open" edited on the Actions page; the default set back to the one the
// shell takes unnamed.
const std::vector<Edits> kOpenEdits = {
    OnAction("open", IDC_ACTIONS_EDIT),
    ActionFields({{IDC_ACTION_PROGRAM, "C:\\kvt\\kvtver.exe"}, {IDC_ACTION_ARGS, "\"%1\""}}),
    OnAction("open", IDC_ACTIONS_DEFAULT)};
const char kOpenBefore[] = R"(
[HKLM\Software\Classes\.kvtopen]
@="kvtopenfile"
[HKLM\Software\Classes\kvtopenfile\shell]
@="edit"
[HKLM\Software\Classes\kvtopenfile\shell\open\command]
@="notepad.exe %1"
[HKLM\Software\Classes\kvtopenfile\shell\edit\command]
@="C:\\kvt\\kvtver.exe /e %1"
)";

// The hive's name for each "$" of text.
std::string In(const char* hive, const std::string& text) {
    return std::regex_replace(text, std::regex("\\$"), hive);
}

const Save kSaves[] = {
    {"customize copies the machine's keys, every name and byte as stored, then edits the copy: "
     "text typed in any script is saved as typed",
     0,
     ".kvtu",
     R"(
[HKLM\Software\Classes\.kvtu]
@="kvtufile"
"Заметка"=hex(1):61,00,00,d8,62,00,00,00
[HKLM\Software\Classes\kvtufile]
@="Документ 文書 ✓ 📄"
"EditFlags"=dword:00204001
[HKLM\Software\Classes\kvtufile\shell\open\command]
@="\"C:\\Программы\\Kv\\kvu.exe\" \"%1\""
[HKLM\Software\Classes\kvtufile\shell\Печать\command]
@="\"C:\\Программы\\Kv\\kvu.exe\" /p \"%1\""
)",
     {Type(IDC_GENERAL_DESCRIPTION, "Документ 文書 ✓ 📄 ещё"),
      Type(IDC_OPENSWITH_ARGS, "/н \"%1\"")},
     R"(
[HKCU\Software\Classes\.kvtu]
@="kvtufile"
"Заметка"=hex(1):61,00,00,d8,62,00,00,00
[HKCU\Software\Classes\kvtufile]
@="Документ 文書 ✓ 📄 ещё"
"EditFlags"=dword:00204001
[HKCU\Software\Classes\kvtufile\shell\open\command]
@="C:\\Программы\\Kv\\kvu.exe /н \"%1\""
[HKCU\Software\Classes\kvtufile\shell\Печать\command]
@="\"C:\\Программы\\Kv\\kvu.exe\" /p \"%1\""
[HKLM\Software\Classes\kvtufile]
@="Документ 文書 ✓ 📄"
[-HKLM\Software\Classes\kvtufile\DefaultIcon]
)"},
    {"customize without a class makes one: what is shown, no fall-back words, no empty keys",
     0,
     ".kvtabc",
     R"(
[HKLM\Software\Classes\.kvtabc]
"Content Type"="text/kvtabc"
[HKLM\Software\Classes\.kvtabc\DefaultIcon]
@=")" + std::string(256, 'i') +
         R"(.ico"
)",
     {ClickBox(1)},
     R"(
[HKCU\Software\Classes\.kvtabc]
@="kvtabcFile"
"Content Type"="text/kvtabc"
"PerceivedType"=-
[HKCU\Software\Classes\kvtabcFile]
@="KVTABC File"
"EditFlags"=dword:00000002
[HKCU\Software\Classes\kvtabcFile\DefaultIcon]
@=-
[-HKCU\Software\Classes\kvtabcFile\shell\open\command]
[-HKCU\Software\Classes\kvtabcFile\shell\Open\ddeexec]
[-HKLM\Software\Classes\kvtabcFile]
)"},
    {"a new description backs up the user's own type name, never the machine's",
     0,
     ".kvtfn",
     R"(
[HKLM\Software\Classes\.kvtfn]
@="kvtmachfn"
[HKLM\Software\Classes\kvtmachfn]
"FriendlyTypeName"="@machine.dll,-1"
[HKCU\Software\Classes\.kvtfn\OpenWithProgIDs]
"kvtuserfn"=""
[HKCU\Software\Classes\kvtuserfn]
"FriendlyTypeName"="@user.dll,-1"
)",
     {Type(IDC_GENERAL_DESCRIPTION, "New words")},
     R"(
[HKCU\Software\Classes\kvtuserfn]
@="New words"
"FriendlyTypeNameBak"="@user.dll,-1"
"FriendlyTypeName"=-
[HKLM\Software\Classes\kvtmachfn]
"FriendlyTypeName"="@machine.dll,-1"
"FriendlyTypeNameBak"=-
)"},
    {"a chosen program with blanks is quoted; the same class in both hives",
     0,
     ".kvtsame",
     R"(
[HKCU\Software\Classes\Applications\kvtedit.exe]
"FriendlyAppName"="Kvt Edit"
[HKCU\Software\Classes\Applications\kvtedit.exe\shell\open\command]
@="\"C:\\Program Files\\Kvt Edit\\kvtedit.exe\" \"%1\""
[HKLM\Software\Classes\.kvtsame]
@="kvtsamefile"
[HKLM\Software\Classes\kvtsamefile]
"FriendlyTypeName"="@machine.dll,-2"
[HKCU\Software\Classes\.kvtsame]
@="kvtsamefile"
[HKCU\Software\Classes\kvtsamefile]
"FriendlyTypeName"="@user.dll,-2"
)",
     {Choose(IDC_OPENSWITH_PROGRAMCOMBO, "Kvt Edit"),
      Type(IDC_GENERAL_DESCRIPTION, std::string(300, 'd'))},
     R"(
[HKCU\Software\Classes\kvtsamefile\shell\open\command]
@="\"C:\\Program Files\\Kvt Edit\\kvtedit.exe\" \"%1\""
[HKCU\Software\Classes\kvtsamefile]
@=")" + std::string(259, 'd') +
         R"("
"FriendlyTypeNameBak"="@user.dll,-2"
[HKLM\Software\Classes\kvtsamefile]
"FriendlyTypeName"="@machine.dll,-2"
"FriendlyTypeNameBak"=-
)"},
    {"DDE: a topic changed writes all three keys; [ NONE ] removes the user's value",
     0,
     ".kvtdde",
     R"(
[HKCU\Software\Classes\.kvtdde]
@="kvtddefile"
"PerceivedType"="image"
[HKCU\Software\Classes\kvtddefile\shell\open\command]
@="C:\\Tools\\kvtview.exe %1"
[HKCU\Software\Classes\kvtddefile\shell\Open\ddeexec]
@="[open]"
)",
     {Type(IDC_OPENSWITH_DDETOPIC, "KvtTopic"), Choose(IDC_GENERAL_PERCEIVED_COMBO, "[ NONE ]")},
     R"(
[HKCU\Software\Classes\kvtddefile\shell\Open\ddeexec]
@="[open]"
[HKCU\Software\Classes\kvtddefile\shell\Open\ddeexec\Topic]
@="KvtTopic"
[HKCU\Software\Classes\kvtddefile\shell\Open\ddeexec\Application]
@="kvtview"
[HKCU\Software\Classes\.kvtdde]
"PerceivedType"=-
)"},
    {"admin: the class from OpenWithProgIDs takes every class-level write",
     1,
     ".kvtprog",
     R"(
[HKLM\Software\Classes\.kvtprog\OpenWithProgIDs]
"kvtprogfile"=""
[HKLM\Software\Classes\kvtprogfile]
@="Old"
"FriendlyTypeName"="@m.dll,-3"
"EditFlags"=hex:00,00,20,00
)",
     {Type(IDC_GENERAL_DESCRIPTION, "New"), ClickBox(0)},
     R"(
[HKLM\Software\Classes\kvtprogfile]
@="New"
"FriendlyTypeNameBak"="@m.dll,-3"
"EditFlags"=dword:00200001
[-HKCU\Software\Classes\kvtprogfile]
)"},
    {"admin: new arguments keep a rundll32 program; a class named by a path, or none, is never "
     "written",
     1,
     ".kvtrun",
     R"(
[HKLM\Software\Classes\.kvtrun]
@="kvtrunfile"
[HKLM\Software\Classes\kvtrunfile\shell\open\command]
@="rundll32.exe shell32.dll,Control_RunDLL %1"
[HKLM\Software\Classes\.kvtpath]
@="kvtpath\\evil"
[HKLM\Software\Classes\.kvtnocls]
"Content Type"="x/kvt"
)",
     {Type(IDC_OPENSWITH_ARGS, "shell32.dll,Other")},
     R"(
[HKLM\Software\Classes\kvtrunfile\shell\open\command]
@="rundll32.exe shell32.dll,Other"
[-HKLM\Software\Classes\kvtpath]
[HKLM\Software\Classes\.kvtnocls]
@=-
[-HKLM\Software\Classes\kvtnoclsFile]
)"},
    {"actions of the user's own type", 0, ".kvtact",
     In("HKCU", "[$\\Software\\Classes\\.kvtact]") + In("HKCU", kActionsBefore), kActionEdits,
     In("HKCU", kActionsAfter), "kvtool"},
    {"actions of the machine's type", 1, ".kvtact",
     In("HKLM", "[$\\Software\\Classes\\.kvtact]") + In("HKLM", kActionsBefore), kActionEdits,
     In("HKLM", kActionsAfter), "kvtool"},
    {"customize: \"open\" edited on the Actions page; made the default, written where the "
     "machine names another",
     0, ".kvtopen", kOpenBefore, kOpenEdits, R"(
[HKCU\Software\Classes\kvtopenfile\shell]
@="open"
[HKCU\Software\Classes\kvtopenfile\shell\open\command]
@="C:\\kvt\\kvtver.exe \"%1\""
[HKLM\Software\Classes\kvtopenfile\shell]
@="edit"
)",
     "Windows Version"},
    {"admin: new arguments on the Open page go to \"open\", not to the default action the pane "
     "shows",
     1,
     ".kvtopen",
     kOpenBefore,
     {Type(IDC_OPENSWITH_ARGS, "/n %1")},
     "[HKLM\\Software\\Classes\\kvtopenfile\\shell\\open\\command]\n@=\"notepad.exe /n %1\"\n"},
    {"admin: \"open\" edited on the Actions page; the default cleared", 1, ".kvtopen", kOpenBefore,
     kOpenEdits, R"(
[HKLM\Software\Classes\kvtopenfile\shell]
@=-
[HKLM\Software\Classes\kvtopenfile\shell\open\command]
@="C:\\kvt\\kvtver.exe \"%1\""
)",
     "Windows Version"},
};

class Writers : public kvt::RegistryTest {};

TEST_F(Writers, EachSaveLeavesItsRegistry) {
    for (const Save& save : kSaves) {
        SCOPED_TRACE(save.name);
        kvt::RemoveTestKeys();
        kvt::Seed(save.fixture);
        kvt::RunMainWindow(save.admin, [&](User& user, HWND window) {
            HWND editor = kvt::OpenEditor(user, window, save.extension);
            ASSERT_NE(nullptr, editor);
            for (const Edits& edit : save.edits)
                edit(user, editor);
            const bool customized = !save.admin && kvt::ListOrTree(window, save.extension) ==
                                                       GetDlgItem(window, IDC_MAIN_LIST);
            user.Click(editor, IDC_EDITOR_SAVE);
            EXPECT_TRUE(user.WaitGone(editor));
            // A customised type moves to the end of "User Customized"; the pane
            // follows the save.
            const auto items = User::Items(GetDlgItem(window, IDC_MAIN_TREE));
            const auto defined = std::find(items.begin(), items.end(), "User Defined");
            EXPECT_TRUE(!customized || (defined != items.begin() && defined[-1] == save.extension))
                << "a customised type comes last in User Customized";
            const int opensWith = save.admin ? IDC_ADMIN_OPENSWITH : IDC_MAIN_OPENSWITH;
            EXPECT_TRUE(!save.opensWith || user.Wait([&] {
                return User::Text(window, opensWith) == save.opensWith;
            })) << User::Text(window, opensWith);
            for (const char* other : {".kvtpath", ".kvtnocls"}) {
                if (std::string(save.extension) != ".kvtrun")
                    continue;
                editor = kvt::OpenEditor(user, window, other);
                Type(IDC_GENERAL_DESCRIPTION, "Evil")(user, editor);
                ClickBox(3)(user, editor);
                user.Click(editor, IDC_EDITOR_SAVE);
                EXPECT_TRUE(user.WaitGone(editor));
            }
        });
        EXPECT_REGISTRY(save.expected);
    }
}

// A command stays to be expanded when its program, quoted or not, begins
// with a variable.
TEST_F(Writers, CommandsBeginningWithAVariableStayExpandable) {
    for (const char* command : {"%SystemRoot%\\notepad.exe %1", "\"%ProgramFiles%\\k v.exe\" %1",
                                "\"C:\\k v.exe\" \"%1\"", "C:\\kvt.exe %TEMP%"}) {
        RegKey key;
        RegistryCreateKey(HKEY_CURRENT_USER, "Software\\Classes\\kvtcmd", KEY_WRITE, key.put());
        WriteCommandValue(key.get(), command);
        EXPECT_REGISTRY("[HKCU\\Software\\Classes\\kvtcmd]\n@=" +
                        std::string(command[0] == '%' || command[1] == '%' ? "expand:" : "") +
                        "\"" + kvt::RegText(command) + "\"\n");
    }
}

} // namespace
