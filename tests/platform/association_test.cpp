// The association answers of platform/shell, side by side with Wine's own
// AssocQueryStringA on classes that only the machine registers (Wine's shell
// sees no others). Where the two must differ, the row says why: KVEL is a
// Windows program, and Windows' answer holds.
#include "platform/shell.h"

#include "harness/registry_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char kFixture[] = R"(
[HKLM\Software\Classes\.kvtquoted]
@="kvtquotedfile"
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
[HKLM\Software\Classes\kvtnamedfile\shell\open\command]
@="\"C:\\kvt\\Kv Tool\\kvtnamed.exe\" %1"
[HKLM\Software\Classes\Applications\kvtnamed.exe]
"FriendlyAppName"="Kvt Named Tool"

[HKLM\Software\Classes\.kvtgo]
@="kvtgofile"
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

[HKLM\Software\Classes\Applications\kvtool.exe\shell\open\command]
@="\"C:\\kvt\\Kv Tool\\kvtool.exe\" \"%1\""
)";

constexpr ASSOCF kByExtension = ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_INIT_DEFAULTTOSTAR;
constexpr ASSOCF kByProgram = ASSOCF_OPEN_BYEXENAME;
constexpr char kFails[] = "<fails>";

struct AssocRow {
    ASSOCF flags;
    ASSOCSTR kind;
    const char* assoc;
    const char* verb;
    const char* expected;    // kFails: no answer
    const char* wineDiffers; // why Wine's answer differs, or null
};

const AssocRow kRows[] = {
    {kByExtension, ASSOCSTR_EXECUTABLE, ".kvtquoted", nullptr, "C:\\kvt\\kvtver.exe", nullptr},
    {kByExtension, ASSOCSTR_FRIENDLYAPPNAME, ".kvtquoted", nullptr, "Windows Version", nullptr},
    {kByExtension, ASSOCSTR_COMMAND, ".kvtquoted", "open", "\"C:\\kvt\\kvtver.exe\" \"%1\"",
     nullptr},
    {kByExtension, ASSOCSTR_DEFAULTICON, ".kvtquoted", nullptr, "C:\\kvt\\kvtver.exe,0", nullptr},
    {kByExtension, ASSOCSTR_EXECUTABLE, ".kvtblanks", nullptr, "C:\\kvt\\Kv Tool\\kvtool.exe",
     nullptr},
    {kByExtension, ASSOCSTR_FRIENDLYAPPNAME, ".kvtblanks", nullptr, "kvtool", nullptr},
    {kByExtension, ASSOCSTR_DEFAULTICON, ".kvtblanks", nullptr, kFails, nullptr},
    {kByExtension, ASSOCSTR_EXECUTABLE, ".kvtbare", nullptr, "C:\\windows\\system32\\notepad.exe",
     nullptr},
    {kByExtension, ASSOCSTR_FRIENDLYAPPNAME, ".kvtbare", nullptr, "notepad", nullptr},
    {kByExtension, ASSOCSTR_EXECUTABLE, ".kvtgone", nullptr, kFails, nullptr},
    {kByExtension, ASSOCSTR_FRIENDLYAPPNAME, ".kvtgone", nullptr, kFails, nullptr},
    {kByExtension, ASSOCSTR_COMMAND, ".kvtgone", "open", "\"C:\\kvt\\gone.exe\" %1", nullptr},
    {kByExtension, ASSOCSTR_FRIENDLYAPPNAME, ".kvtnamed", nullptr, "Kvt Named Tool",
     "Wine's shell does not read the application key's FriendlyAppName"},
    {kByExtension, ASSOCSTR_EXECUTABLE, ".kvtgo", nullptr, "C:\\kvt\\kvtver.exe", nullptr},
    {kByExtension, ASSOCSTR_COMMAND, ".kvtgo", nullptr, "\"C:\\kvt\\kvtver.exe\" /go %1", nullptr},
    {kByExtension, ASSOCSTR_EXECUTABLE, ".kvtgo", "open", "C:\\windows\\system32\\notepad.exe",
     nullptr},
    {kByExtension, ASSOCSTR_EXECUTABLE, ".kvtprint", nullptr, "C:\\windows\\system32\\notepad.exe",
     nullptr},
    {kByExtension, ASSOCSTR_COMMAND, ".kvtprint", "open", kFails, nullptr},
    {kByExtension, ASSOCSTR_COMMAND, ".kvtedit", nullptr, "notepad.exe %1",
     "without a default verb Wine's shell takes the first verb, Windows takes \"open\""},
    {kByExtension, ASSOCSTR_COMMAND, ".kvtlost", nullptr, "notepad.exe %1",
     "Wine's shell fails on a default verb that is not there, Windows takes \"open\""},
    {kByExtension, ASSOCSTR_EXECUTABLE, ".kvtexpand", nullptr, "C:\\windows\\system32\\notepad.exe",
     "Windows expands a REG_EXPAND_SZ command before it looks for the program"},
    {kByExtension, ASSOCSTR_DDECOMMAND, ".kvtdde", nullptr, "[open(\"%1\")]",
     "Wine's shell does not answer DDE queries"},
    {kByExtension, ASSOCSTR_DDEAPPLICATION, ".kvtdde", nullptr, "KvtApp",
     "Wine's shell does not answer DDE queries"},
    {kByExtension, ASSOCSTR_DDETOPIC, ".kvtdde", nullptr, "KvtTopic",
     "Wine's shell does not answer DDE queries"},
    {kByExtension, ASSOCSTR_DDEAPPLICATION, ".kvtddebare", nullptr, "notepad",
     "Wine's shell does not answer DDE queries"},
    {kByExtension, ASSOCSTR_DDETOPIC, ".kvtddebare", nullptr, "System",
     "Wine's shell does not answer DDE queries"},
    {kByExtension, ASSOCSTR_DDECOMMAND, ".kvtbare", nullptr, kFails, nullptr},
    {kByExtension, ASSOCSTR_COMMAND, ".kvtnoclass", "open", kFails,
     "Wine's shell ignores ASSOCF_INIT_IGNOREUNKNOWN and reads the extension's own verbs"},
    {kByProgram, ASSOCSTR_FRIENDLYAPPNAME, "C:\\kvt\\kvtver.exe", nullptr, "Windows Version",
     "Wine's shell takes a program's name for the name of a class"},
    {kByProgram, ASSOCSTR_FRIENDLYAPPNAME, "kvtool.exe", nullptr, "kvtool",
     "Wine's shell takes a program's name for the name of a class"},
    {kByProgram, ASSOCSTR_FRIENDLYAPPNAME, "notepad.exe", nullptr, "notepad",
     "Wine's shell takes a program's name for the name of a class"},
    {kByProgram, ASSOCSTR_FRIENDLYAPPNAME, "kvtnamed.exe", nullptr, "Kvt Named Tool",
     "Wine's shell takes a program's name for the name of a class"},
    {kByProgram, ASSOCSTR_FRIENDLYAPPNAME, "C:\\kvt\\gone.exe", nullptr, kFails, nullptr},
    {kByProgram, ASSOCSTR_EXECUTABLE, "kvtool.exe", nullptr, "C:\\kvt\\Kv Tool\\kvtool.exe",
     "Wine's shell takes a program's name for the name of a class"},
};

std::string Answer(HRESULT result, const char* text) {
    return SUCCEEDED(result) ? text : kFails;
}

class Associations : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        CreateDirectoryA("C:\\kvt", nullptr);
        CreateDirectoryA("C:\\kvt\\Kv Tool", nullptr);
        ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\winver.exe", "C:\\kvt\\kvtver.exe", FALSE));
        for (const char* copy : {"C:\\kvt\\Kv Tool\\kvtool.exe", "C:\\kvt\\Kv Tool\\kvtnamed.exe"})
            ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\notepad.exe", copy, FALSE));
        kvt::Seed(kFixture);
    }
    void TearDown() override {
        DeleteFileA("C:\\kvt\\Kv Tool\\kvtool.exe");
        DeleteFileA("C:\\kvt\\Kv Tool\\kvtnamed.exe");
        DeleteFileA("C:\\kvt\\kvtver.exe");
        RemoveDirectoryA("C:\\kvt\\Kv Tool");
        RemoveDirectoryA("C:\\kvt");
        kvt::RegistryTest::TearDown();
    }
};

TEST_F(Associations, AnswerAsWindowsAndAsWineWhereWineAgrees) {
    for (const AssocRow& row : kRows) {
        SCOPED_TRACE(std::string(row.assoc) + " kind " + std::to_string(row.kind) + " verb " +
                     (row.verb ? row.verb : "(none)"));
        char ours[261] = {}, wine[261] = {};
        DWORD ourLength = sizeof ours, wineLength = sizeof wine;
        const std::string answer = Answer(
            ShellAssocQuery(row.flags, row.kind, row.assoc, row.verb, ours, &ourLength), ours);
        EXPECT_EQ(row.expected, answer);
        const std::string wineAnswer = Answer(
            AssocQueryStringA(row.flags, row.kind, row.assoc, row.verb, wine, &wineLength), wine);
        if (row.wineDiffers)
            EXPECT_NE(answer, wineAnswer) << "Wine now agrees; the row's note is stale";
        else
            EXPECT_EQ(wineAnswer, answer) << "Wine's own answer";
    }
}

// A program on the search path whose whole path does not fit the shell's
// buffer is not found: a path the system did not write is never taken.
TEST_F(Associations, AProgramWhosePathDoesNotFitIsNotFound) {
    const std::wstring first = L"\\\\?\\C:\\kvt\\" + std::wstring(120, L'a');
    const std::wstring folder = first + L"\\" + std::wstring(120, L'b');
    const std::wstring program = folder + L"\\kvtlongpath.exe";
    CreateDirectoryW(first.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(L"C:\\windows\\system32\\notepad.exe", program.c_str(), FALSE));
    char searchPath[8192] = {};
    GetEnvironmentVariableA("PATH", searchPath, sizeof searchPath);
    const std::string longFolder =
        "C:\\kvt\\" + std::string(120, 'a') + "\\" + std::string(120, 'b');
    SetEnvironmentVariableA("PATH", (longFolder + ";" + searchPath).c_str());
    kvt::Seed(R"(
[HKLM\Software\Classes\.kvtlongpath]
@="kvtlongpathfile"
[HKLM\Software\Classes\kvtlongpathfile\shell\open\command]
@="kvtlongpath.exe %1"
)");
    char answer[261] = {};
    DWORD length = sizeof answer;
    EXPECT_EQ(kFails, Answer(ShellAssocQuery(kByExtension, ASSOCSTR_EXECUTABLE, ".kvtlongpath",
                                             nullptr, answer, &length),
                             answer));
    SetEnvironmentVariableA("PATH", searchPath);
    DeleteFileW(program.c_str());
    RemoveDirectoryW(folder.c_str());
    RemoveDirectoryW(first.c_str());
}

} // namespace
