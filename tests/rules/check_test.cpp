// The check of the file types on one fixture: each kind of finding once, and
// beside it the look-alikes that work and must never be reported.
#include "checks/checks.h"

#include "harness/kvt.h"
#include "records/app_state.h"
#include "text/system_text.h"
#include "writer/mend.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Broken: .kvtnoclass, kvtbroken, .kvtgood's OpenWithProgids "kvtnone", its
// choice and Open With entries a and d, Applications\kvtgone.exe, .kvtempty,
// the link types kvtmeet and (the user's) kvtchat. kvtorphan is a class no
// type names: the shell never reaches it.
constexpr char kFixture[] = R"(
[HKLM\Software\Classes\.kvtnoclass]
@="kvtnone"
[HKLM\Software\Classes\.kvtfallback]
@="kvtnone"
[HKLM\Software\Classes\.kvtfallback\OpenWithProgids]
"kvtgood"=""
[HKLM\Software\Classes\.kvtbroken]
@="kvtbroken"
[HKLM\Software\Classes\kvtbroken\DefaultIcon]
@="C:\\kvt\\нет.ico,0"
[HKLM\Software\Classes\kvtbroken\shell]
@="kvtnone"
[HKLM\Software\Classes\kvtbroken\shell\open\command]
@=expand:"\"%ProgramFiles%\\kvt\\gone.exe\" \"%1\""
[HKLM\Software\Classes\kvtbroken\shell\print\command]
@="rundll32.exe kvtgone.dll,Print %1"
[HKLM\Software\Classes\kvtbroken\shell\play]
[HKLM\Software\Classes\.kvtgood]
@="kvtgood"
[HKLM\Software\Classes\.kvtgood\OpenWithProgids]
"kvtnone"=""
"kvtuseronly"=""
[HKLM\Software\Classes\kvtgood\DefaultIcon]
@=expand:"%TEMP%\\kvt files\\kvt icon.ico,-1"
[HKLM\Software\Classes\kvtgood\shell]
@="kvtnone,print"
[HKLM\Software\Classes\kvtgood\shell\open\command]
@=expand:"\"%ProgramFiles%\\Kv Tool\\kvtool.exe\" \"%1\""
[HKLM\Software\Classes\kvtgood\shell\edit\command]
@="%TEMP%\\kvt files\\kvt tool.exe %1"
[HKLM\Software\Classes\kvtgood\shell\view\command]
@="C:\\Программы\\Kv 文\\kvu 📄.exe /v %1"
[HKLM\Software\Classes\kvtgood\shell\print\command]
@="rundll32.exe shell32.dll,ShellExec_RunDLL %1"
[HKLM\Software\Classes\kvtgood\shell\runas\command]
@="\"%1\" %*"
[HKLM\Software\Classes\kvtgood\shell\note\command]
@="notepad %1"
[HKLM\Software\Classes\kvtgood\shell\app\command]
@="kvtapp %1"
[HKLM\Software\Classes\kvtgood\shell\own\command]
@="%KVTNOSUCHVARIABLE%\\kvt.exe %1"
[HKLM\Software\Classes\kvtgood\shell\share\command]
"DelegateExecute"="{00000000-0000-0000-0000-000000000000}"
[HKLM\Software\Classes\kvtgood\shell\find\ddeexec]
@="[find]"
[HKLM\Software\Classes\.kvtpackaged]
@="kvtpackaged"
[HKLM\Software\Classes\kvtpackaged\Application]
"AppUserModelID"="Kvt.App"
[HKLM\Software\Classes\kvtpackaged\shell\open]
[HKLM\Software\Classes\kvtpackaged\shell\edit\command]
@="C:\\kvt\\gone.exe"
[HKLM\Software\Classes\Applications\kvtgone.exe\shell\open\command]
@="\"C:\\kvt\\gone.exe\" \"%1\""
[HKLM\Software\Classes\Applications\kvtool.exe\shell\open\command]
@="\"C:\\Program Files\\Kv Tool\\kvtool.exe\" \"%1\""
[HKCU\Software\Classes\kvtuseronly\DefaultIcon]
@="%1"
[HKCU\Software\Classes\kvtuseronly\shell\open\command]
@="C:\\kvt\\gone.exe %1"
[HKCU\Software\Classes\.kvtempty]
[HKCU\Software\Classes\.kvtgood]
"PerceivedType"="text"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtgood\UserChoice]
"ProgId"="kvtnone"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtbroken\UserChoice]
"Progid"="kvtbroken"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtgood\OpenWithList]
"a"="kvtgone.exe"
"b"="notepad.exe"
"c"="kvtool.exe"
"d"="kvtnowhere.exe"
"MRUList"="abcd"
[HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\kvtapp.exe]
@="C:\\Program Files\\Kv Tool\\kvtool.exe"
[HKLM\Software\Classes\kvtmeet]
"URL Protocol"=""
[HKLM\Software\Classes\kvtmeet\shell\open\command]
@="\"C:\\kvt\\meet.exe\" \"%1\""
[HKLM\Software\Classes\kvtweb]
"URL Protocol"=""
[HKLM\Software\Classes\kvtweb\shell\open\command]
@="notepad.exe %1"
[HKCU\Software\Classes\kvtchat]
"URL Protocol"=""
[HKCU\Software\Classes\kvtchat\shell\open\command]
@="C:\\kvt\\chat.exe %1"
[HKLM\Software\Classes\kvtorphan\shell\open\command]
@="C:\\kvt\\gone.exe %1"
)";

constexpr char kUserFindings[] = R"(
no default action | .kvtbroken | kvtbroken | HKLM\Software\Classes\kvtbroken\shell | remove value "" | kvtnone
no program | .kvtbroken | kvtbroken | HKLM\Software\Classes\kvtbroken\shell\open\command | edit | "%ProgramFiles%\kvt\gone.exe" "%1"
no command | .kvtbroken | kvtbroken | HKLM\Software\Classes\kvtbroken\shell\play | edit | play
no program | .kvtbroken | kvtbroken | HKLM\Software\Classes\kvtbroken\shell\print\command | edit | rundll32.exe kvtgone.dll,Print %1
no icon file | .kvtbroken | kvtbroken | HKLM\Software\Classes\kvtbroken\DefaultIcon | remove value "" | C:\kvt\нет.ico,0
empty | .kvtempty |  | HKCU\Software\Classes\.kvtempty | remove key
dangling progid | .kvtgood | kvtnone | HKLM\Software\Classes\.kvtgood\OpenWithProgIDs | remove value "kvtnone" | kvtnone
no program | .kvtgood | kvtuseronly | HKCU\Software\Classes\kvtuseronly\shell\open\command | edit | C:\kvt\gone.exe %1
no class | .kvtnoclass | kvtnone | HKLM\Software\Classes\.kvtnoclass | remove value "" | kvtnone
no program | kvtchat | kvtchat | HKCU\Software\Classes\kvtchat\shell\open\command | edit | C:\kvt\chat.exe %1
no program | kvtmeet | kvtmeet | HKLM\Software\Classes\kvtmeet\shell\open\command | edit | "C:\kvt\meet.exe" "%1"
dangling choice | .kvtgood | kvtnone | HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtgood\UserChoice | remove key | kvtnone
no open-with program | .kvtgood |  | HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtgood\OpenWithList | remove value "a" | kvtgone.exe
no open-with program | .kvtgood |  | HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtgood\OpenWithList | remove value "d" | kvtnowhere.exe
no application |  | Applications\kvtgone.exe | HKLM\Software\Classes\Applications\kvtgone.exe | remove key | "C:\kvt\gone.exe" "%1"
)";
// The user's own classes and lists are not the machine's.
constexpr char kAdminFindings[] = R"(
no default action | .kvtbroken | kvtbroken | HKLM\Software\Classes\kvtbroken\shell | remove value "" | kvtnone
no program | .kvtbroken | kvtbroken | HKLM\Software\Classes\kvtbroken\shell\open\command | edit | "%ProgramFiles%\kvt\gone.exe" "%1"
no command | .kvtbroken | kvtbroken | HKLM\Software\Classes\kvtbroken\shell\play | edit | play
no program | .kvtbroken | kvtbroken | HKLM\Software\Classes\kvtbroken\shell\print\command | edit | rundll32.exe kvtgone.dll,Print %1
no icon file | .kvtbroken | kvtbroken | HKLM\Software\Classes\kvtbroken\DefaultIcon | remove value "" | C:\kvt\нет.ico,0
dangling progid | .kvtgood | kvtnone | HKLM\Software\Classes\.kvtgood\OpenWithProgIDs | remove value "kvtnone" | kvtnone
dangling progid | .kvtgood | kvtuseronly | HKLM\Software\Classes\.kvtgood\OpenWithProgIDs | remove value "kvtuseronly" | kvtuseronly
no class | .kvtnoclass | kvtnone | HKLM\Software\Classes\.kvtnoclass | remove value "" | kvtnone
no program | kvtmeet | kvtmeet | HKLM\Software\Classes\kvtmeet\shell\open\command | edit | "C:\kvt\meet.exe" "%1"
no application |  | Applications\kvtgone.exe | HKLM\Software\Classes\Applications\kvtgone.exe | remove key | "C:\kvt\gone.exe" "%1"
)";

std::string Line(const Finding& finding) {
    static const char* const kinds[] = {"no class",        "no default action",
                                        "no command",      "no program",
                                        "no icon file",    "dangling choice",
                                        "dangling progid", "no open-with program",
                                        "no application",  "empty"};
    static const char* const mends[] = {"remove value", "remove key", "edit"};
    std::string mend = mends[int(finding.Mend)];
    if (finding.Mend == MendKind::RemoveValue)
        mend += " \"" + finding.ValueName + "\"";
    return std::string(kinds[int(finding.Kind)]) + " | " + finding.Extension + " | " +
           finding.Class + " | " + (finding.Hive == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\") +
           finding.KeyPath + " | " + mend + (finding.Missing.empty() ? "" : " | ") +
           finding.Missing + "\n";
}

class Checks : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        kvt::Seed(kFixture);
        kvt::TestFile("kvt tool.exe", "C:\\windows\\system32\\notepad.exe");
        kvt::TestFile("kvt icon.ico",
                      std::string(AppState.AppDirectory) + "testdata\\icons\\program.ico");
    }
    void TearDown() override {
        kvt::Seed(R"([-HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\kvtapp.exe])");
        kvt::RegistryTest::TearDown();
    }
};

// Wine's own types may have findings of their own; the fixture's are "kvt".
std::string FixtureFindings(int adminMode) {
    std::vector<Finding> findings;
    EXPECT_TRUE(CheckFileTypes(adminMode, &findings));
    std::string lines = "\n";
    for (const Finding& finding : findings)
        if (Line(finding).find("kvt") != std::string::npos)
            lines += Line(finding);
    return lines;
}

TEST_F(Checks, FindEachBrokenPieceAndNoWorkingOne) {
    EXPECT_EQ(kUserFindings, FixtureFindings(0));
    EXPECT_EQ(kAdminFindings, FixtureFindings(1));
}

TEST_F(Checks, ProgressReachesTheTotalAndCancels) {
    std::vector<Finding> findings;
    size_t calls = 0, last = 0, total = 0;
    EXPECT_TRUE(CheckFileTypes(0, &findings, [&](size_t done, size_t all) {
        ++calls, last = done, total = all;
        return true;
    }));
    EXPECT_EQ(total, calls);
    EXPECT_EQ(total, last);
    EXPECT_FALSE(CheckFileTypes(0, &findings, [&](size_t done, size_t) { return done < 3; }));
}

} // namespace

namespace {

// Each mode's removable findings of the fixture: what the preview says, then
// exactly that removed as one change, which Undo takes back byte for byte.
TEST_F(Checks, MendsRemoveWhatTheySayAndUndoPutsItBack) {
    const std::string openWith =
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\"
        ".kvtgood\\";
    const std::string classes = "HKEY_LOCAL_MACHINE\\Software\\Classes\\";
    const struct {
        RunMode mode;
        std::string title, preview, after;
    } rows[] = {
        {RunMode::User, "Mend 4 problems",
         "the key HKEY_CURRENT_USER\\Software\\Classes\\.kvtempty, with everything below it\n"
         "the key " +
             openWith +
             "UserChoice, with everything below it\n"
             "the value \"a\" of " +
             openWith +
             "OpenWithList, and \"a\" from its MRUList\n"
             "the value \"d\" of " +
             openWith + "OpenWithList, and \"d\" from its MRUList\n",
         R"([-HKCU\Software\Classes\.kvtempty]
[-HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtgood\UserChoice]
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtgood\OpenWithList]
"a"=-
"b"="notepad.exe"
"d"=-
"MRUList"="bc"
)"},
        {RunMode::Admin, "Mend 6 problems",
         "the default value of " + classes +
             "kvtbroken\\shell\n"
             "the default value of " +
             classes +
             "kvtbroken\\DefaultIcon\n"
             "the value \"kvtnone\" of " +
             classes +
             ".kvtgood\\OpenWithProgIDs\n"
             "the value \"kvtuseronly\" of " +
             classes +
             ".kvtgood\\OpenWithProgIDs\n"
             "the default value of " +
             classes +
             ".kvtnoclass\n"
             "the key " +
             classes + "Applications\\kvtgone.exe, with everything below it\n",
         R"([HKLM\Software\Classes\kvtbroken\shell]
@=-
[HKLM\Software\Classes\kvtbroken\shell\open\command]
[HKLM\Software\Classes\kvtbroken\DefaultIcon]
@=-
[HKLM\Software\Classes\.kvtgood\OpenWithProgids]
"kvtnone"=-
"kvtuseronly"=-
[HKLM\Software\Classes\.kvtnoclass]
@=-
[-HKLM\Software\Classes\Applications\kvtgone.exe]
[HKLM\Software\Classes\Applications\kvtool.exe]
)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.title);
        kvt::RemoveTestKeys();
        SetUp();
        const std::string before = kvt::TestKeysBytes();
        std::vector<Finding> findings;
        CheckFileTypes(row.mode == RunMode::Admin, &findings);
        std::string preview;
        for (const Finding& finding : findings)
            if (Removable(finding, row.mode))
                preview += MendText(finding) + "\n";
        EXPECT_EQ(row.preview, preview);
        ASSERT_TRUE(MendFindings(findings, row.mode).Done());
        EXPECT_EQ(row.title, LastChange().Title);
        EXPECT_REGISTRY(row.after);
        ASSERT_TRUE(UndoLastChange().Done());
        EXPECT_EQ(before, kvt::TestKeysBytes());
    }
}

// A key the system protects (as Windows protects some choices) refuses the
// mend whole: nothing removed, no undo step, the key and the reason said.
TEST_F(Checks, ARefusedMendChangesNothing) {
    std::vector<Finding> findings;
    CheckFileTypes(0, &findings);
    const std::string choice =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.kvtgood\\UserChoice";
    kvt::Seed("[HKCU\\" + choice + "] locked\n");
    const std::string before = kvt::TestKeysBytes();
    const std::string last = CanUndo() ? LastChange().Title : "";
    const ChangeOutcome outcome = MendFindings(findings, RunMode::User);
    ASSERT_FALSE(outcome.Done());
    EXPECT_EQ(before, kvt::TestKeysBytes());
    EXPECT_EQ(last, CanUndo() ? LastChange().Title : "");
    EXPECT_EQ("The system refused to change HKEY_CURRENT_USER\\" + choice + ":\r\n" +
                  SystemMessage(ERROR_ACCESS_DENIED) + "\r\n\r\nNothing was changed.",
              DescribeRefusal(outcome));
}

} // namespace
