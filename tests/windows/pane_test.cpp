// The details pane of each main window, a row per extension: normal, hostile
// and long values, every fall-back. Read as "type|perceived|content|icon file|
// icon folder|opens with|file|folder|args|DDE|edit flags|icons", "?" for
// "Unknown", icons L, S, P (large, small, program) or -, and in user mode the
// class the user chose; "*" matches any.
#include "harness/kvt.h"
#include "records/app_state.h"
#include "resources/resource.h"

#include <regex>
#include <sstream>

namespace {

using kvt::User;

std::string Pane(HWND window, int admin) {
    std::string line =
        admin ? User::Texts(window, {IDC_ADMIN_FILETYPE, IDC_ADMIN_PERCEIVED, IDC_ADMIN_CONTENT,
                                     IDC_ADMIN_ICONFILE, IDC_ADMIN_ICONPATH, IDC_ADMIN_OPENSWITH,
                                     IDC_ADMIN_PROGRAMFILE, IDC_ADMIN_PROGRAMPATH, IDC_ADMIN_ARGS,
                                     IDC_ADMIN_DDE, IDC_ADMIN_EDITFLAGS})
              : User::Texts(window, {IDC_MAIN_FILETYPE, IDC_MAIN_PERCEIVED, IDC_MAIN_CONTENT,
                                     IDC_MAIN_ICONFILE, IDC_MAIN_ICONPATH, IDC_MAIN_OPENSWITH,
                                     IDC_MAIN_PROGRAMFILE, IDC_MAIN_PROGRAMPATH, IDC_MAIN_ARGS,
                                     IDC_MAIN_DDE, IDC_MAIN_EDITFLAGS});
    line = std::regex_replace("|" + line + "|", std::regex("\\|Unknown(?=\\|)"), "|?");
    const int icons[][2] = {{IDC_MAIN_LARGEICON, IDC_ADMIN_LARGEICON},
                            {IDC_MAIN_SMALLICON, IDC_ADMIN_SMALLICON},
                            {IDC_MAIN_PROGRAMICON, IDC_ADMIN_PROGRAMICON}};
    for (int i = 0; i < 3; ++i)
        line += SendDlgItemMessageA(window, icons[i][admin], STM_GETICON, 0, 0) ? "LSP"[i] : '-';
    return line.substr(1) + (admin ? "" : "|" + User::Text(window, IDC_MAIN_CHOICE));
}

bool Matches(const std::string& pattern, const std::string& line) {
    std::istringstream wanted(pattern), shown(line);
    for (std::string want, have; std::getline(wanted, want, '|');)
        if (!std::getline(shown, have, '|') || (want != "*" && want != have))
            return false;
    return true;
}

struct Row {
    const char* extension;
    std::string pane;
    const char* change = nullptr; // seeded just before the extension is selected
};

class DetailsPane : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        icons_ = std::string(AppState.AppDirectory) + "testdata\\icons\\";
        SetEnvironmentVariableA("KVTICONS", icons_.c_str());
        SetEnvironmentVariableA("KVTLONG", std::string(300, 'x').c_str());
        kvt::Seed(std::string(R"(
[HKLM\Software\Classes\.kvtfull]
@="kvtfullfile"
"Content Type"="text/x-kvt"
"PerceivedType"="text"
[HKLM\Software\Classes\kvtfullfile]
@="Full document"
"EditFlags"=dword:00010000
[HKLM\Software\Classes\kvtfullfile\DefaultIcon]
@=")") + kvt::RegText(icons_ + "user.ico") +
                  R"("
[HKLM\Software\Classes\kvtfullfile\shell\open\command]
@="\"C:\\Tools\\kvtview.exe\" /open \"%1\""
[HKLM\Software\Classes\Applications\kvtview.exe]
"FriendlyAppName"="KVT Viewer"
[HKLM\Software\Classes\.kvtbare]
"Content Type"="x/kvt"
[HKLM\Software\Classes\.kvtprog\OpenWithProgIDs]
"kvtprogB"=""
[HKLM\Software\Classes\kvtprogB]
@="Class B"
"EditFlags"=hex:02,00,00,00
[HKLM\Software\Classes\kvtprogB\shell\Open\ddeexec]
[HKLM\Software\Classes\.kvtcut]
@="kvtcutfile"
[HKLM\Software\Classes\kvtcutfile\DefaultIcon]
@="C:\\Tools\\kvtcut.exe,0"
[HKLM\Software\Classes\kvtcutfile\shell\open\command]
@="C:\\Tools\\kvtcut.exe %1"
[HKLM\Software\Classes\.kvtlong]
@="kvtlongfile"
"Content Type"=dword:00000001
"PerceivedType"=")" +
                  std::string(260, 'p') + R"("
[HKLM\Software\Classes\kvtlongfile]
@=")" + std::string(300, 'd') +
                  R"("
"EditFlags"=hex:01,00,00,00,00,00,00,00
[HKLM\Software\Classes\kvtlongfile\DefaultIcon]
@=")" + std::string(256, 'i') +
                  R"(.ico"
[HKLM\Software\Classes\.kvtnote]
@="kvtnotefile"
[HKLM\Software\Classes\kvtnotefile\shell\open\command]
@="notepad.exe %1"
[HKLM\Software\Classes\kvtnotefile\shell\open\ddeexec]
@="[open]"
[HKLM\Software\Classes\.kvtblank]
@="kvtblankfile"
[HKLM\Software\Classes\kvtblankfile\DefaultIcon]
@=expand:"%KVTLONG%,1"
[HKLM\Software\Classes\kvtblankfile\shell\open\command]
@="C:\\Program Files\\Kv Tool\\kvtool.exe /v %1"
[HKLM\Software\Classes\.kvtgone]
@="kvtgonefile"
[HKLM\Software\Classes\kvtgonefile\DefaultIcon]
@="%1"
[HKLM\Software\Classes\kvtgonefile\shell\open\command]
@="\"C:\\Program Files\\Kv Tool\\gone.exe\" %1"
[HKCU\Software\Classes\.kvtfull]
@="kvtfullfile"
[HKCU\Software\Classes\kvtfullfile\DefaultIcon]
@=expand:"%KVTICONS%added.ico"
[HKLM\Software\Classes\.kvtu]
@="kvtufile"
[HKLM\Software\Classes\kvtufile]
@="Документ 文書 ✓ 📄"
[HKLM\Software\Classes\kvtufile\shell\open\command]
@="\"C:\\Программы\\Kv\\kvu.exe\" \"%1\""
[HKLM\Software\Classes\.kvtkvedit]
@="kvtkveditfile"
[HKLM\Software\Classes\kvtkveditfile\shell]
@="kvedit"
[HKLM\Software\Classes\kvtkveditfile\shell\kvedit\command]
@="C:\\Tools\\kvtview.exe /e \"%1\""
[HKLM\Software\Classes\kvtkveditfile\shell\open\command]
@="notepad.exe \"%1\""
[HKLM\Software\Classes\kvtkveditfile\shell\open\ddeexec]
@="[open]"
[HKLM\Software\Classes\.kvtnamed]
@="kvtnamedfile"
[HKLM\Software\Classes\kvtnamedfile]
@="KV default"
"FriendlyTypeName"="@%KVTBIN%kvtstrings.dll,-101"
)");
    }

    void Check(int admin, const std::vector<Row>& rows) {
        kvt::RunMainWindow(admin, [&](User& user, HWND window) {
            for (const Row& row : rows) {
                SCOPED_TRACE(row.extension);
                if (row.change)
                    kvt::Seed(row.change);
                user.Act(kvt::ListOrTree(window, row.extension), row.extension, 0);
                EXPECT_TRUE(user.Wait([&] { return Matches(row.pane, Pane(window, admin)); }, 3000))
                    << Pane(window, admin);
            }
        });
    }

    std::string icons_;
};

TEST_F(DetailsPane, AdminMode) {
    Check(1,
          {
              {".kvtfull", "Full document|text|text/x-kvt|user.ico|" + icons_ +
                               "|KVT Viewer|kvtview.exe|C:\\Tools\\|/open \"%1\"|No|Yes|LSP"},
              {".kvtprog", "Class B|*|*|?|?|?|?|?|?|Yes|Yes|*"},
              {".kvtu", "Документ 文書 ✓ 📄|*|*|?|?|kvu|kvu.exe|C:\\Программы\\Kv\\|\"%1\"|*|*|*"},
              {".kvtcut", "*|*|*|kvtcut.exe|C:\\Tools\\|kvtcut|kvtcut.exe|C:\\Tools\\|%1|*|*|--P"},
              {".kvtlong", "?|" + std::string(260, 'p') + "|?|?|?|*|*|*|*|*|No|---"},
              // Program, arguments and DDE of the action a double-click runs.
              {".kvtkvedit", "*|*|*|*|*|KVT Viewer|kvtview.exe|C:\\Tools\\|/e \"%1\"|No|*|*"},
              // The friendly name of a program not on disk is left empty.
              {".kvtgone", "*|*|*|?|?||gone.exe|C:\\Program Files\\Kv Tool\\|%1|No|No|--P"},
          });
}

TEST_F(DetailsPane, UserMode) {
    Check(
        0,
        {
            // The user's class names the icon; the machine's has another.
            {".kvtfull", "Full document|text|text/x-kvt|added.ico|" + icons_ +
                             "|KVT Viewer|kvtview.exe|C:\\Tools\\|/open \"%1\"|No|No|LSP"},
            {".kvtbare", "KVTBARE File|?|x/kvt|?|?|?|?|?|?|No|No|LS-|None"},
            {".kvtkvedit", "*|*|*|*|*|KVT Viewer|kvtview.exe|C:\\Tools\\|/e \"%1\"|No|*|*|None"},
            {".kvtnamed", "KV indirect friendly|*|*|*|*|*|*|*|*|*|*|*|None"},
            {".kvtu", "Документ 文書 ✓ 📄|*|*|*|*|kvu|kvu.exe|C:\\Программы\\Kv\\|\"%1\"|*|*|*"},
            {".kvtnote", "KVTNOTE File|*|*|notepad.exe|C:\\windows\\system32\\|notepad|notepad.exe|"
                         "C:\\windows\\system32\\|%1|Yes|No|LSP"},
            // A location that expands past its buffer names nothing, and a group
            // item empties the pane: no label shown before stays.
            {".kvtblank", "*|*|*|?|?|kvtool|kvtool.exe|C:\\Program Files\\Kv Tool\\|/v %1|No|No|*"},
            {"User Customized", "|||||||||No|No|---"},
            {".kvtgone", "*|*|*|*|*|?|?|?|?|No|No|LS-"},
            {".kvtnote", "Changed|*|*|*|*|KVT Viewer|kvtview.exe|C:\\Tools\\|%1 /x|*|*|*", R"(
[HKLM\Software\Classes\kvtnotefile]
@="Changed"
[HKLM\Software\Classes\kvtnotefile\shell\open\command]
@="C:\\Tools\\kvtview.exe %1 /x"
)"},
        });
}

} // namespace
