// The writers without a window: fixture, record edited, registry after the
// save, Undo back byte for byte; each writer refused, changing nothing.
#include "details/actions.h"
#include "details/readers.h"
#include "editor/editor.h"
#include "harness/kvt.h"
#include "text/system_text.h"
#include "writer/application_writes.h"
#include "writer/apply_edits.h"
#include "writer/delete_restore.h"
#include "writer/value_rules.h"

#include <regex>

namespace {

using Edit = std::function<void(FileTypeSave&)>;

Edit Describe(const std::string& text) {
    return [=](FileTypeSave& save) {
        save.Edited.Description = {text, Source::Typed};
        save.Changed.Description = 1;
    };
}

// An action's command, DDE or display name, as the pages leave them.
Edit Command(const std::string& verb, const std::string& command) {
    return [=](FileTypeSave& save) {
        const int found = FindAction(save.Edited, verb);
        FileAction& action = found >= 0 ? save.Edited.Actions[found] : OpenActionOf(&save.Edited);
        action.Command = {command, Source::Typed};
    };
}

Edit Flags(uint32_t bits) {
    return [=](FileTypeSave& save) {
        save.Edited.EditFlags = {bits, Source::Typed};
        save.Changed.EditFlags = 1;
    };
}

Edit NoPerceivedType() {
    return [](FileTypeSave& save) {
        save.Edited.PerceivedType = TextField();
        save.Changed.PerceivedType = 1;
    };
}

Edit DdeTopic(const std::string& topic) {
    return [=](FileTypeSave& save) {
        FileAction& open = OpenActionOf(&save.Edited);
        open.DdeTopic = {topic, Source::Typed};
        // The page shows, and so writes, the shell's name of the application.
        open.DdeApplication = {"kvtview", Source::Typed};
        save.Changed.DdeTopic = 1;
    };
}

Edit OpenWith(std::vector<std::string> programs) {
    return [=](FileTypeSave& save) { save.Edited.OpenWithList = programs; };
}

// "print" added with DDE and made the default, "edit" changed, "play" gone.
const std::vector<Edit> kActionEdits = {[](FileTypeSave& save) {
    FileAction print;
    print.Verb = "print";
    print.DisplayName = {"&Print", Source::Typed};
    print.Command = {"\"C:\\Program Files\\Kv Tool\\kvtool.exe\" /p \"%1\"", Source::Typed};
    print.DdeApplication = {"KvTool", Source::Typed};
    print.DdeCommand = {"[print]", Source::Typed};
    save.Edited.Actions.push_back(print);
    SetDefaultAction(&save.Edited, static_cast<int>(save.Edited.Actions.size()) - 1);
    Command("edit", "notepad.exe /edit %1")(save);
    RemoveAction(&save.Edited, FindAction(save.Edited, "play"));
}};
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
// "open" edited and made the default, which the shell takes unnamed.
const std::vector<Edit> kOpenEdits = {
    Command("open", "C:\\kvt\\kvtver.exe \"%1\""),
    [](FileTypeSave& save) { SetDefaultAction(&save.Edited, FindAction(save.Edited, "open")); }};
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

struct Save {
    const char* name;
    RunMode mode;
    uint32_t editorMode;
    const char* extension;
    std::string fixture;
    std::vector<Edit> edits;
    std::string expected;
};

const RunMode kUser = RunMode::User, kAdmin = RunMode::Admin;

// clang-format off
const Save kSaves[] = {
    {"customize copies the machine's keys, every name and byte as stored, then edits the copy: "
     "text in any script is saved as typed", kUser, kEditorCustomize, ".kvtu", R"(
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
     {Describe("Документ 文書 ✓ 📄 ещё"),
      Command("open", "C:\\Программы\\Kv\\kvu.exe /н \"%1\"")}, R"(
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
    {"customize without a class makes one: what the type shows, nothing absent, no empty keys",
     kUser, kEditorCustomize, ".kvtabc", R"(
[HKLM\Software\Classes\.kvtabc]
"Content Type"="text/kvtabc"
[HKLM\Software\Classes\.kvtabc\DefaultIcon]
@=")" + std::string(256, 'i') + R"(.ico"
)",
     {Flags(2)}, R"(
[HKCU\Software\Classes\.kvtabc]
@="kvtabcFile"
"Content Type"="text/kvtabc"
"PerceivedType"=-
[HKCU\Software\Classes\kvtabcFile]
@="KVTABC File"
"EditFlags"=dword:00000002
[HKCU\Software\Classes\kvtabcFile\DefaultIcon]
@=-
[-HKCU\Software\Classes\kvtabcFile\shell]
[-HKLM\Software\Classes\kvtabcFile]
)"},
    {"a description typed back to what it was is written, and backs up the user's own type "
     "name, never the machine's", kUser, kEditorEdit, ".kvtfn", R"(
[HKLM\Software\Classes\.kvtfn]
@="kvtmachfn"
[HKLM\Software\Classes\kvtmachfn]
"FriendlyTypeName"="@machine.dll,-1"
[HKCU\Software\Classes\.kvtfn\OpenWithProgIDs]
"kvtuserfn"=""
[HKCU\Software\Classes\kvtuserfn]
@="Same words"
"FriendlyTypeName"="@user.dll,-1"
)",
     {Describe("Same words")}, R"(
[HKCU\Software\Classes\kvtuserfn]
@="Same words"
"FriendlyTypeNameBak"="@user.dll,-1"
"FriendlyTypeName"=-
[HKLM\Software\Classes\kvtmachfn]
"FriendlyTypeName"="@machine.dll,-1"
"FriendlyTypeNameBak"=-
)"},
    {"DDE: a topic changed writes all three keys; no perceived type removes the user's value; "
     "the Open With list in its order, the values it had gone", kUser, kEditorEdit, ".kvtdde", R"(
[HKCU\Software\Classes\.kvtdde]
@="kvtddefile"
"PerceivedType"="image"
[HKCU\Software\Classes\kvtddefile\shell\open\command]
@="C:\\Tools\\kvtview.exe %1"
[HKCU\Software\Classes\kvtddefile\shell\Open\ddeexec]
@="[open]"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtdde\OpenWithList]
"a"="kvta.exe"
"b"="kvtb.exe"
"MRUList"="ba"
"kvtlong"="kvtc.exe"
)",
     {DdeTopic("KvtTopic"), NoPerceivedType(), OpenWith({"kvtc.exe", "kvtb.exe"})}, R"(
[HKCU\Software\Classes\kvtddefile\shell\Open\ddeexec]
@="[open]"
[HKCU\Software\Classes\kvtddefile\shell\Open\ddeexec\Topic]
@="KvtTopic"
[HKCU\Software\Classes\kvtddefile\shell\Open\ddeexec\Application]
@="kvtview"
[HKCU\Software\Classes\.kvtdde]
"PerceivedType"=-
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtdde\OpenWithList]
"a"="kvtc.exe"
"b"="kvtb.exe"
"MRUList"="ab"
"kvtlong"=-
)"},
    {"the last program taken from the Open With list empties it",
     kUser, kEditorEdit, ".kvtlast", R"(
[HKCU\Software\Classes\.kvtlast]
@="kvtlastfile"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtlast\OpenWithList]
"a"="kvta.exe"
"MRUList"="a"
)",
     {OpenWith({})}, R"(
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtlast\OpenWithList]
"a"=-
"MRUList"=-
)"},
    {"a new extension of the user's: its class, a description", kUser, kEditorCreate, ".kvtnew", "",
     {Describe("New")}, R"(
[HKCU\Software\Classes\.kvtnew]
@="kvtnewFile"
[HKCU\Software\Classes\kvtnewFile]
@="New"
[-HKLM\Software\Classes\.kvtnew]
)"},
    {"admin: the class from OpenWithProgIDs takes every class-level write",
     kAdmin, kEditorEdit, ".kvtprog", R"(
[HKLM\Software\Classes\.kvtprog\OpenWithProgIDs]
"kvtprogfile"=""
[HKLM\Software\Classes\kvtprogfile]
@="Old"
"FriendlyTypeName"="@m.dll,-3"
"EditFlags"=hex:00,00,20,00
)",
     {Describe("New"), Flags(0x200001)}, R"(
[HKLM\Software\Classes\kvtprogfile]
@="New"
"FriendlyTypeNameBak"="@m.dll,-3"
"EditFlags"=dword:00200001
[-HKCU\Software\Classes\kvtprogfile]
)"},
    {"admin: a class named by a path is never written", kAdmin, kEditorEdit, ".kvtpath",
     "[HKLM\\Software\\Classes\\.kvtpath]\n@=\"kvtpath\\\\evil\"\n",
     {Describe("Evil"), Flags(8)},
     "[-HKLM\\Software\\Classes\\kvtpath]\n"},
    {"admin: an extension without a class gets none", kAdmin, kEditorEdit, ".kvtnocls",
     "[HKLM\\Software\\Classes\\.kvtnocls]\n\"Content Type\"=\"x/kvt\"\n",
     {Describe("Evil"), Flags(8)},
     "[HKLM\\Software\\Classes\\.kvtnocls]\n@=-\n[-HKLM\\Software\\Classes\\kvtnoclsFile]\n"},
    {"admin: a new extension gets its class", kAdmin, kEditorCreate, ".kvtanew", "",
     {Describe("Machine's")},
     "[HKLM\\Software\\Classes\\.kvtanew]\n@=\"kvtanewFile\"\n"
     "[HKLM\\Software\\Classes\\kvtanewFile]\n@=\"Machine's\"\n"},
    {"actions of the user's own type", kUser, kEditorEdit, ".kvtact",
     In("HKCU", "[$\\Software\\Classes\\.kvtact]") + In("HKCU", kActionsBefore), kActionEdits,
     In("HKCU", kActionsAfter)},
    {"actions of the machine's type", kAdmin, kEditorEdit, ".kvtact",
     In("HKLM", "[$\\Software\\Classes\\.kvtact]") + In("HKLM", kActionsBefore), kActionEdits,
     In("HKLM", kActionsAfter)},
    {"customize: \"open\" made the default is named where the machine names another", kUser,
     kEditorCustomize, ".kvtopen", kOpenBefore, kOpenEdits, R"(
[HKCU\Software\Classes\kvtopenfile\shell]
@="open"
[HKCU\Software\Classes\kvtopenfile\shell\open\command]
@="C:\\kvt\\kvtver.exe \"%1\""
[HKLM\Software\Classes\kvtopenfile\shell]
@="edit"
)"},
    {"admin: \"open\" made the default clears the name", kAdmin, kEditorEdit, ".kvtopen",
     kOpenBefore, kOpenEdits, R"(
[HKLM\Software\Classes\kvtopenfile\shell]
@=-
[HKLM\Software\Classes\kvtopenfile\shell\open\command]
@="C:\\kvt\\kvtver.exe \"%1\""
)"},
};
// clang-format on

FileTypeSave Prepared(const Save& row) {
    FileTypeSave save;
    save.EditorMode = row.editorMode;
    save.Read = row.editorMode == kEditorCreate ? NewFileType(row.extension)
                                                : ReadFileType(row.extension, row.mode);
    save.Edited = save.Read;
    for (const Edit& edit : row.edits)
        edit(save);
    return save;
}

class Writers : public kvt::RegistryTest {};

TEST_F(Writers, EachSaveLeavesItsRegistryAndUndoTakesItBack) {
    for (const Save& row : kSaves) {
        SCOPED_TRACE(row.name);
        kvt::RemoveTestKeys();
        kvt::Seed(row.fixture);
        const std::string before = kvt::TestKeysBytes();
        ASSERT_TRUE(ApplyEdits(Prepared(row), row.mode).Done());
        EXPECT_REGISTRY(row.expected);
        ASSERT_TRUE(CanUndo());
        EXPECT_TRUE(UndoLastChange().Done());
        EXPECT_EQ(before, kvt::TestKeysBytes());
    }
}

// A refused write: the keys put back, no undo step, the key and reason said.
TEST_F(Writers, ARefusedWriteChangesNothing) {
    const char fixture[] = R"(
[HKLM\Software\Classes\.kvtA]
@="kvtAfile"
[HKLM\Software\Classes\kvtAfile]
@="Machine words"
[HKLM\Software\Classes\kvtAfile\DefaultIcon]
@="shell32.dll,3"
[HKLM\Software\Classes\kvtAfile\shell\open\command]
@="notepad.exe %1"
[HKCU\Software\Classes\kvtAfile] volatile
[HKCU\Software\Classes\.kvtmine]
@="kvtminefile"
[HKCU\Software\Classes\kvtminefile] volatile
@="Mine"
[HKCU\Software\Classes\.kvtdel]
@="kvtdelfile"
[HKCU\Software\Classes\kvtdelfile] locked
[HKCU\Software\Classes\kvtdelfile\shell\play\command]
@="kvtplay.exe %1"
[HKCU\Software\Classes\kvtnewFile] volatile
[HKLM\Software\Classes\.kvtadm]
@="kvtadmfile"
[HKLM\Software\Classes\kvtadmfile] volatile
[HKCU\Software\Classes\Applications\kvtlocked.exe] locked
[HKCU\Software\Classes\Applications\kvtlocked.exe\shell\open\command]
@="kvtlocked.exe %1"
[HKCU\Software\Classes\Applications\kvtnew.exe] volatile
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtdel\UserChoice] locked
"ProgId"="kvtdelfile"
)";
    auto save = [](RunMode mode, uint32_t editorMode, const char* extension, Edit edit) {
        return [=] {
            return ApplyEdits(Prepared({"", mode, editorMode, extension, "", {edit}, ""}), mode);
        };
    };
    const struct {
        const char* writer;
        std::function<ChangeOutcome()> change;
        const char* key; // below HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE
    } rows[] = {
        {"customize", save(kUser, kEditorCustomize, ".kvtA", Command("open", "notepad.exe /x %1")),
         "Software\\Classes\\kvtAfile\\DefaultIcon"},
        {"edit", save(kUser, kEditorEdit, ".kvtmine", Describe("New")),
         "Software\\Classes\\kvtminefile\\DefaultIcon"},
        {"new extension", save(kUser, kEditorCreate, ".kvtnew", Describe("New")),
         "Software\\Classes\\kvtnewFile\\DefaultIcon"},
        {"admin edit", save(kAdmin, kEditorEdit, ".kvtadm", Command("open", "notepad.exe %1")),
         "Software\\Classes\\kvtadmfile\\shell\\open"},
        {"delete", [] { return DeleteOrRestoreUser(kDeleteUserExtension, ".kvtdel"); },
         "Software\\Classes\\kvtdelfile"},
        {"the user's choice", [] { return RemoveUserChoice(".kvtdel"); },
         "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.kvtdel"},
        {"a program's removal",
         [] { return RemoveApplication(HKEY_CURRENT_USER, "kvtlocked.exe"); },
         "Software\\Classes\\Applications\\kvtlocked.exe"},
        {"a program's registration", [] { return RegisterApplication("kvtnew.exe", "C:\\n.exe"); },
         "Software\\Classes\\Applications\\kvtnew.exe\\shell\\open\\command"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.writer);
        kvt::RemoveTestKeys();
        kvt::Seed(fixture);
        const std::string before = kvt::TestKeysBytes();
        const size_t steps = CanUndo() ? 1 : 0;
        const std::string last = steps ? LastChange().Title : "";
        const ChangeOutcome outcome = row.change();
        ASSERT_FALSE(outcome.Done());
        EXPECT_EQ(row.key, outcome.Refused.Path);
        EXPECT_EQ(ERROR_SUCCESS, outcome.NotPutBack.Status);
        EXPECT_EQ(before, kvt::TestKeysBytes());
        EXPECT_EQ(last, CanUndo() ? LastChange().Title : "") << "no undo step";
    }
    // An undo the system refuses stays to be undone.
    kvt::RemoveTestKeys();
    kvt::Seed("[HKCU\\Software\\Classes\\.kvtundo]\n@=\"kvtundofile\"\n"
              "[HKCU\\Software\\Classes\\kvtundofile\\shell\\play\\command]\n");
    ASSERT_TRUE(
        save(kUser, kEditorEdit, ".kvtundo",
             [](FileTypeSave& s) { RemoveAction(&s.Edited, FindAction(s.Edited, "play")); })()
            .Done());
    kvt::Seed("[-HKCU\\Software\\Classes\\kvtundofile]\n"
              "[HKCU\\Software\\Classes\\kvtundofile] volatile\n");
    const std::string before = kvt::TestKeysBytes();
    const ChangeOutcome undo = UndoLastChange();
    EXPECT_FALSE(undo.Done());
    EXPECT_EQ(before, kvt::TestKeysBytes());
    EXPECT_EQ("Edit .kvtundo", LastChange().Title);
    EXPECT_EQ("The system refused to change HKEY_CURRENT_USER\\Software\\Classes\\kvtundofile\\"
              "shell:\r\n" +
                  SystemMessage(ERROR_CHILD_MUST_BE_VOLATILE) + "\r\n\r\nNothing was changed.",
              DescribeRefusal(undo));
}

// A command whose program, quoted or not, begins with a variable expands.
TEST(CommandValues, BeginningWithAVariableStayExpandable) {
    for (const auto& [command, type] : std::vector<std::pair<std::string, DWORD>>{
             {"%SystemRoot%\\notepad.exe %1", REG_EXPAND_SZ},
             {"\"%ProgramFiles%\\k v.exe\" %1", REG_EXPAND_SZ},
             {"\"C:\\k v.exe\" \"%1\"", REG_SZ},
             {"C:\\kvt.exe %TEMP%", REG_SZ}})
        EXPECT_EQ(type, CommandValueType(command)) << command;
}

} // namespace
