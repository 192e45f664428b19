// The association answers of platform/shell, side by side with Wine's own
// AssocQueryStringA on classes that only the machine registers (Wine's shell
// sees no others). Where the two must differ, the row says why: KVEL is a
// Windows program, and Windows' answer holds.
#include "platform/shell.h"

#include "harness/kvt.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char kFixture[] = R"(
[HKLM\Software\Classes\.kvtquoted]
@="kvtquotedfile"
[HKLM\Software\Classes\kvtquotedfile]
@="KV default"
"FriendlyTypeName"="KV plain friendly"
[HKLM\Software\Classes\kvtquotedfile\DefaultIcon]
@="C:\\kvt\\kvtver.exe,0"
[HKLM\Software\Classes\kvtquotedfile\shell\open\command]
@="\"C:\\kvt\\kvtver.exe\" \"%1\""

[HKLM\Software\Classes\.kvtblanks]
@="kvtblanksfile"
[HKLM\Software\Classes\kvtblanksfile\shell\open\command]
@="C:\\kvt\\Kv Tool\\kvtool.exe %1"

[HKLM\Software\Classes\.kvtbare]
@="kvtbarefile"
[HKLM\Software\Classes\kvtbarefile\shell\open\command]
@="notepad.exe %1"

[HKLM\Software\Classes\.kvtgone]
@="kvtgonefile"
[HKLM\Software\Classes\kvtgonefile\shell\open\command]
@="\"C:\\kvt\\gone.exe\" %1"

[HKLM\Software\Classes\.kvtnamed]
@="kvtnamedfile"
[HKLM\Software\Classes\kvtnamedfile]
@="KV default"
"FriendlyTypeName"="@%KVTBIN%kvtstrings.dll,-101"
[HKLM\Software\Classes\kvtnamedfile\shell\open\command]
@="\"C:\\kvt\\Kv Tool\\kvtnamed.exe\" %1"
[HKLM\Software\Classes\Applications\kvtnamed.exe]
"FriendlyAppName"="Kvt Named Tool"

[HKLM\Software\Classes\.kvtgo]
@="kvtgofile"
[HKLM\Software\Classes\kvtgofile]
@="KV default"
"FriendlyTypeName"="@%KVTBIN%kvtstrings.dll,-999"
[HKLM\Software\Classes\kvtgofile\shell]
@="Go"
[HKLM\Software\Classes\kvtgofile\shell\Go\command]
@="\"C:\\kvt\\kvtver.exe\" /go %1"
[HKLM\Software\Classes\kvtgofile\shell\open\command]
@="notepad.exe %1"

[HKLM\Software\Classes\.kvtprint]
@="kvtprintfile"
[HKLM\Software\Classes\kvtprintfile\shell\print\command]
@="notepad.exe /p %1"

[HKLM\Software\Classes\.kvtedit]
@="kvteditfile"
[HKLM\Software\Classes\kvteditfile\shell\edit\command]
@="C:\\kvt\\kvtver.exe %1"
[HKLM\Software\Classes\kvteditfile\shell\open\command]
@="notepad.exe %1"

[HKLM\Software\Classes\.kvtlost]
@="kvtlostfile"
[HKLM\Software\Classes\kvtlostfile\shell]
@="Missing"
[HKLM\Software\Classes\kvtlostfile\shell\open\command]
@="notepad.exe %1"

[HKLM\Software\Classes\.kvtexpand]
@="kvtexpandfile"
[HKLM\Software\Classes\kvtexpandfile\shell\open\command]
@=expand:"%SystemRoot%\\system32\\notepad.exe %1"

[HKLM\Software\Classes\.kvtdde]
@="kvtddefile"
[HKLM\Software\Classes\kvtddefile\shell\open\command]
@="notepad.exe %1"
[HKLM\Software\Classes\kvtddefile\shell\open\ddeexec]
@="[open(\"%1\")]"
[HKLM\Software\Classes\kvtddefile\shell\open\ddeexec\Application]
@="KvtApp"
[HKLM\Software\Classes\kvtddefile\shell\open\ddeexec\Topic]
@="KvtTopic"

[HKLM\Software\Classes\.kvtddebare]
@="kvtddebarefile"
[HKLM\Software\Classes\kvtddebarefile\shell\open\command]
@="notepad.exe %1"
[HKLM\Software\Classes\kvtddebarefile\shell\open\ddeexec]
@="[open(\"%1\")]"

[HKLM\Software\Classes\.kvtnoclass]
[HKLM\Software\Classes\.kvtnoclass\shell\open\command]
@="notepad.exe %1"

[HKLM\Software\Classes\.kvtпуть]
@="kvtпутьfile"
[HKLM\Software\Classes\kvtпутьfile\shell\Печать\command]
@="\"C:\\Программы\\Kv 文\\kvu 📄.exe\" /p %1"

[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtchoice\UserChoice]
"ProgId"="Applications\\kvtool.exe"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtother\UserChoice]
"ProgId"="kvtquotedfile"
[HKLM\Software\Classes\.kvtmissing]
@="kvtbarefile"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtmissing\UserChoice]
"ProgId"="kvtnosuchclass"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtseven\UserChoice]
"Progid"="kvtquotedfile"
[HKLM\Software\Classes\.kvtpackaged]
@="kvtpackagedfile"
[HKLM\Software\Classes\kvtpackagedfile\Application]
"ApplicationName"="@%KVTBIN%kvtstrings.dll,-102"
[HKLM\Software\Classes\kvtpackagedfile\shell\open]
"DelegateExecute"="{00000000-0000-0000-0000-000000000000}"
[HKLM\Software\Classes\Applications\kvtindirect.exe]
"FriendlyAppName"="@%KVTBIN%kvtstrings.dll,-103"

[HKLM\Software\Classes\Applications\kvtool.exe\shell\open\command]
@="\"C:\\kvt\\Kv Tool\\kvtool.exe\" \"%1\""
)";

constexpr ASSOCF kByExtension = ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_INIT_DEFAULTTOSTAR;
constexpr ASSOCF kByProgram = ASSOCF_OPEN_BYEXENAME;
constexpr char kFails[] = "<fails>";
constexpr ASSOCSTR kExe = ASSOCSTR_EXECUTABLE, kName = ASSOCSTR_FRIENDLYAPPNAME,
                   kCommand = ASSOCSTR_COMMAND, kIcon = ASSOCSTR_DEFAULTICON,
                   kDoc = ASSOCSTR_FRIENDLYDOCNAME;
// Why Wine's own answer differs.
constexpr char kNoDde[] = "Wine's shell does not answer DDE queries";
constexpr char kClassName[] = "Wine's shell takes a program's name for the name of a class";
constexpr char kNoChoice[] = "Wine's shell does not read the user's choice";
constexpr char kNoFriendly[] = "Wine's shell reads no FriendlyTypeName, nor an indirect name";

struct AssocRow {
    ASSOCF flags;
    ASSOCSTR kind;
    const char *assoc, *verb;
    const char* expected;    // kFails: no answer
    const char* wineDiffers; // why Wine's answer differs, or null
};

const AssocRow kRows[] = {
    {kByExtension, kExe, ".kvtquoted", nullptr, "C:\\kvt\\kvtver.exe", nullptr},
    {kByExtension, kName, ".kvtquoted", nullptr, "Windows Version", nullptr},
    {kByExtension, kCommand, ".kvtquoted", "open", "\"C:\\kvt\\kvtver.exe\" \"%1\"", nullptr},
    {kByExtension, kIcon, ".kvtquoted", nullptr, "C:\\kvt\\kvtver.exe,0", nullptr},
    {kByExtension, kExe, ".kvtblanks", nullptr, "C:\\kvt\\Kv Tool\\kvtool.exe", nullptr},
    {kByExtension, kName, ".kvtblanks", nullptr, "kvtool", nullptr},
    {kByExtension, kExe, ".kvtbare", nullptr, "C:\\windows\\system32\\notepad.exe", nullptr},
    {kByExtension, kName, ".kvtbare", nullptr, "notepad", nullptr},
    {kByExtension, kExe, ".kvtgone", nullptr, kFails, nullptr},
    {kByExtension, kName, ".kvtпуть", nullptr, "kvu 📄", nullptr},
    {kByExtension, kCommand, ".kvtпуть", "Печать", "\"C:\\Программы\\Kv 文\\kvu 📄.exe\" /p %1",
     nullptr},
    {kByExtension, kCommand, ".kvtgone", "open", "\"C:\\kvt\\gone.exe\" %1", nullptr},
    {kByExtension, kName, ".kvtnamed", nullptr, "Kvt Named Tool",
     "Wine's shell does not read the application key's FriendlyAppName"},
    {kByExtension, kExe, ".kvtgo", nullptr, "C:\\kvt\\kvtver.exe", nullptr},
    {kByExtension, kCommand, ".kvtgo", nullptr, "\"C:\\kvt\\kvtver.exe\" /go %1", nullptr},
    {kByExtension, kExe, ".kvtgo", "open", "C:\\windows\\system32\\notepad.exe", nullptr},
    {kByExtension, kCommand, ".kvtprint", "open", kFails, nullptr},
    {kByExtension, kCommand, ".kvtedit", nullptr, "notepad.exe %1",
     "without a default verb Wine's shell takes the first verb, Windows takes \"open\""},
    {kByExtension, kCommand, ".kvtlost", nullptr, "notepad.exe %1",
     "Wine's shell fails on a default verb that is not there, Windows takes \"open\""},
    {kByExtension, kExe, ".kvtexpand", nullptr, "C:\\windows\\system32\\notepad.exe",
     "Windows expands a REG_EXPAND_SZ command before it looks for the program"},
    {kByExtension, ASSOCSTR_DDECOMMAND, ".kvtdde", nullptr, "[open(\"%1\")]", kNoDde},
    {kByExtension, ASSOCSTR_DDEAPPLICATION, ".kvtdde", nullptr, "KvtApp", kNoDde},
    {kByExtension, ASSOCSTR_DDETOPIC, ".kvtdde", nullptr, "KvtTopic", kNoDde},
    {kByExtension, ASSOCSTR_DDEAPPLICATION, ".kvtddebare", nullptr, "notepad", kNoDde},
    {kByExtension, ASSOCSTR_DDETOPIC, ".kvtddebare", nullptr, "System", kNoDde},
    {kByExtension, ASSOCSTR_DDECOMMAND, ".kvtbare", nullptr, kFails, nullptr},
    {kByExtension, kCommand, ".kvtnoclass", "open", kFails,
     "Wine's shell ignores ASSOCF_INIT_IGNOREUNKNOWN and reads the extension's own verbs"},
    {kByExtension, kExe, ".kvtchoice", nullptr, "C:\\kvt\\Kv Tool\\kvtool.exe", kNoChoice},
    {kByExtension, kExe, ".kvtother", nullptr, "C:\\kvt\\kvtver.exe", kNoChoice},
    {kByExtension, kDoc, ".kvtother", nullptr, "KV plain friendly", kNoChoice},
    {kByExtension, kExe, ".kvtmissing", nullptr, "C:\\windows\\system32\\notepad.exe", nullptr},
    {kByExtension, kExe, ".kvtseven", nullptr, "C:\\kvt\\kvtver.exe", kNoChoice},
    {kByExtension, kDoc, ".kvtquoted", nullptr, "KV plain friendly", kNoFriendly},
    {kByExtension, kDoc, ".kvtnamed", nullptr, "KV indirect friendly", kNoFriendly},
    {kByExtension, kDoc, ".kvtgo", nullptr, "KV default", nullptr},
    {kByExtension, kName, ".kvtpackaged", nullptr, "KV Packaged App", kNoFriendly},
    {kByProgram, kName, "kvtindirect.exe", nullptr, "KV Indirect App", kClassName},
    {kByProgram, kName, "C:\\kvt\\kvtver.exe", nullptr, "Windows Version", kClassName},
    {kByProgram, kName, "kvtool.exe", nullptr, "kvtool", kClassName},
    {kByProgram, kName, "kvtnamed.exe", nullptr, "Kvt Named Tool", kClassName},
    {kByProgram, kName, "C:\\kvt\\gone.exe", nullptr, kFails, nullptr},
    {kByProgram, kExe, "kvtool.exe", nullptr, "C:\\kvt\\Kv Tool\\kvtool.exe", kClassName},
};

// The answer to the row's question, from our shell or from Wine's.
std::string Ask(const AssocRow& row, bool wine = false) {
    char answer[261] = {};
    DWORD length = sizeof answer;
    const HRESULT result = (wine ? AssocQueryStringA : ShellAssocQuery)(
        row.flags, row.kind, row.assoc, row.verb, answer, &length);
    return SUCCEEDED(result) ? answer : kFails;
}

class Associations : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        kvt::Seed(kFixture);
    }
};

TEST_F(Associations, AnswerAsWindowsAndAsWineWhereWineAgrees) {
    for (const AssocRow& row : kRows) {
        SCOPED_TRACE(std::string(row.assoc) + " kind " + std::to_string(row.kind) + " verb " +
                     (row.verb ? row.verb : "(none)"));
        const std::string answer = Ask(row), wineAnswer = Ask(row, true);
        EXPECT_EQ(row.expected, answer);
        if (row.wineDiffers)
            EXPECT_NE(answer, wineAnswer) << "Wine now agrees; the row's note is stale";
        else
            EXPECT_EQ(wineAnswer, answer) << "Wine's own answer";
        ShellReadScope scope;
        EXPECT_EQ(answer, Ask(row)) << "inside a read scope";
    }
}

// The icon readers are given only files whose images lie within them.
TEST_F(Associations, IconSourcesMustBeWhole) {
    for (const auto& [file, whole] :
         {std::pair{"C:\\Tools\\kvtcut.exe", false}, {"C:\\Tools\\kvtview.exe", true}})
        EXPECT_EQ(whole, ShellIsWholeIconSource(file)) << file;
}

// A program's description follows its file, read scope or not.
TEST_F(Associations, ADescriptionFollowsItsFile) {
    auto description = [] { return Ask({kByExtension, kName, ".kvtquoted", nullptr}); };
    ASSERT_TRUE(CopyFileA("C:\\windows\\explorer.exe", "C:\\kvt\\kvtver.exe", FALSE));
    EXPECT_EQ("Wine Explorer", description()) << "another file at the same place";
    DeleteFileA("C:\\kvt\\kvtver.exe");
    EXPECT_EQ(kFails, description()) << "and none at all";
    CopyFileA("C:\\windows\\system32\\winver.exe", "C:\\kvt\\kvtver.exe", FALSE);
}

} // namespace
