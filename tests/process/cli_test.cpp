// kvel.com, the command line, run as its own process on a fixture: each
// command's output compared whole, its exit status, and the registry after.
#include "harness/kvt.h"
#include "resources/texts.h"
#include "text/system_text.h"

#include <fstream>
#include <sstream>

namespace {

struct Ran {
    DWORD status = 99;
    std::string out, err;
};

std::string Slurp(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// kvel.com with the arguments (UTF-8), its output and messages caught in files.
Ran Kvel(const std::string& arguments) {
    char folder[MAX_PATH + 1];
    AppDirectoryOf(folder);
    // Files of their own per run: a child that has exited may still hold the last ones.
    static int runs = 0;
    const std::string run = std::to_string(++runs);
    const std::string out = kvt::TestFolder() + "out" + run + ".txt",
                      err = kvt::TestFolder() + "err" + run + ".txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    auto open = [&](const std::string& path) {
        return CreateFileW(kvt::Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
    };
    STARTUPINFOW startup = {sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = open(out);
    startup.hStdError = open(err);
    std::wstring command = kvt::Wide("\"" + std::string(folder) + "kvel.com\" " + arguments);
    PROCESS_INFORMATION started = {};
    Ran ran;
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &started)) {
        WaitForSingleObject(started.hProcess, 60000);
        GetExitCodeProcess(started.hProcess, &ran.status);
        CloseHandle(started.hProcess);
        CloseHandle(started.hThread);
    }
    const DWORD notStarted = ran.status == 99 ? GetLastError() : 0;
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    ran.out = Slurp(out);
    ran.err = Slurp(err);
    if (notStarted)
        ran.err += "not started: " + std::to_string(notStarted);
    DeleteFileA(out.c_str());
    DeleteFileA(err.c_str());
    return ran;
}

const char kFixture[] = R"(
[HKLM\Software\Classes\.kvtc]
@="kvtcfile"
"Content Type"="text/kvt"
[HKLM\Software\Classes\kvtcfile]
@="KVT, \"quoted\" words"
[HKLM\Software\Classes\kvtcfile\shell\open\command]
@="\"C:\\Tools\\kvtview.exe\" \"%1\""
[HKCU\Software\Classes\.kvtмой]
@="kvtmyfile"
[HKCU\Software\Classes\kvtmyfile]
@="Мой тип"
[HKLM\Software\Classes\.kvtA]
@="kvtAfile"
[HKLM\Software\Classes\kvtAfile\DefaultIcon]
@="shell32.dll,3"
[HKCU\Software\Classes\kvtAfile] volatile
[HKLM\Software\Classes\kvtweb]
@="URL:Kvt Web"
"URL Protocol"=""
[HKLM\Software\Classes\kvtweb\shell\open\command]
@="\"C:\\Tools\\kvtview.exe\" \"%1\""
[HKCU\Software\Classes\kvtown]
"URL Protocol"=""
[HKLM\Software\Classes\kvtplain]
)";

struct Row {
    std::string arguments;
    DWORD status;
    std::string out; // the whole output; "*" not checked
    std::string err; // a part of the messages
    std::string registry = "";
};

// The command of the row, run; what it printed, its status and the registry
// after it as the row says.
void Expect(const Row& row) {
    SCOPED_TRACE(row.arguments);
    const Ran ran = Kvel(row.arguments);
    EXPECT_EQ(row.status, ran.status) << ran.err;
    if (row.out != "*") {
        EXPECT_EQ(row.out, ran.out);
    }
    EXPECT_NE(std::string::npos, ran.err.find(row.err)) << ran.err;
    EXPECT_REGISTRY(row.registry);
}

class CommandLine : public kvt::RegistryTest {};

TEST_F(CommandLine, EachCommandItsOutputItsStatusAndTheRegistry) {
    kvt::Seed(kFixture);
    char here[MAX_PATH + 1];
    const std::string bin = AppDirectoryOf(here), folder = kvt::TestFolder(),
                      reg = folder + "kvt.reg", xml = folder + "kvt.xml",
                      bad = folder + "kvtbad.xml";
    std::ofstream(bad) << "<DefaultAssociations>\n  <Association ProgId=\"x\"/>\n";
    const std::string csv =
        "Extension,Group,Class,TypeName,PerceivedType,ContentType,Program,Command,"
        "DefaultAction,UserChoice\r\n";
    const Row rows[] = {
        {"list .kvtnothing* --format csv", 0, csv, ""},
        {"list .kvt* --format csv --group defined", 0,
         csv + ".kvtмой,User Defined,kvtmyfile,Мой тип,,,,,,\r\n", ""},
        {"list .kvtc --format tsv", 0,
         "Extension\tGroup\tClass\tTypeName\tPerceivedType\tContentType\tProgram\tCommand\t"
         "DefaultAction\tUserChoice\n.kvtc\tSystem\tkvtcfile\tKVT, \"quoted\" words\t\t"
         "text/kvt\tC:\\\\Tools\\\\kvtview.exe\t\"C:\\\\Tools\\\\kvtview.exe\" \"%1\"\topen\t\n",
         ""},
        {"list .kvtc --format json", 0,
         "[\n  {\n    \"Extension\": \".kvtc\",\n    \"Group\": \"System\",\n    \"Class\": "
         "\"kvtcfile\",\n    \"TypeName\": \"KVT, \\\"quoted\\\" words\",\n    "
         "\"PerceivedType\": \"\",\n    \"ContentType\": \"text/kvt\",\n    \"Program\": "
         "\"C:\\\\Tools\\\\kvtview.exe\",\n    \"Command\": \"\\\"C:\\\\Tools\\\\kvtview.exe\\\" "
         "\\\"%1\\\"\",\n    \"DefaultAction\": \"open\",\n    \"UserChoice\": \"\"\n  }\n]\n",
         ""},
        {"show .kvtмой --format csv", 0,
         "Field,Value\r\nExtension,.kvtмой\r\nGroup,User Defined\r\nClass,kvtmyfile\r\n"
         "Description,Мой тип\r\nTypeName,Мой тип\r\nPerceivedType,\r\nContentType,\r\n"
         "IconLocation,\r\nEditFlags,\r\nProgram,\r\nProgramName,\r\nArguments,\r\n"
         "Command,\r\nDefaultAction,\r\nDde,no\r\nUserChoice,\r\n",
         ""},
        {"set .kvtc --description New --args \"/x %1\" --dry-run", 0,
         "Description: \"KVT, \"quoted\" words\" -> \"New\"\n"
         "Actions[open].Command: \"\"C:\\Tools\\kvtview.exe\" \"%1\"\" -> "
         "\"C:\\Tools\\kvtview.exe /x %1\"\n",
         "", "[-HKCU\\Software\\Classes\\.kvtc]\n"},
        {"set .kvtc --description New --args \"/x %1\"", 0, "", "saved .kvtc",
         "[HKCU\\Software\\Classes\\.kvtc]\n@=\"kvtcfile\"\n[HKCU\\Software\\Classes\\kvtcfile]\n"
         "@=\"New\"\n[HKCU\\Software\\Classes\\kvtcfile\\shell\\open\\command]\n"
         "@=\"C:\\\\Tools\\\\kvtview.exe /x %1\"\n"},
        {"set .kvtc --description New", 1, "", ".kvtc: nothing to change"},
        {"list kvt* --links --format csv", 0,
         "Scheme" + csv.substr(9) +
             "kvtown,User Defined,kvtown,URL:kvtown,,,,,,\r\nkvtweb,System,kvtweb,URL:Kvt Web,,,"
             "C:\\Tools\\kvtview.exe,\"\"\"C:\\Tools\\kvtview.exe\"\" \"\"%1\"\"\",open,\r\n",
         ""},
        {"set kvtweb: --args \"/w %1\"", 0, "", "saved kvtweb",
         "[HKCU\\Software\\Classes\\kvtweb]\n@=\"URL:Kvt Web\"\n\"URL Protocol\"=\"\"\n"
         "[HKCU\\Software\\Classes\\kvtweb\\shell\\open\\command]\n"
         "@=\"C:\\\\Tools\\\\kvtview.exe /w %1\"\n"},
        {"set KVTWEB: --content text/x", 2, "", "kvtweb: a link type has no content"},
        {"show 1web:", 2, "", "\"1web:\" cannot name a link type"},
        {"show kvtplain:", 2, "", "kvtplain is not registered"},
        {"export kvtweb: \"" + reg + "\"", 0, "", "wrote"},
        {"set .kvtc --perceived words", 2, "", "--perceived takes one of: application"},
        {"set .kvtc --args x --remove-action nothing", 2, "", ".kvtc: no action nothing"},
        {"set .kvtA --description x", 3, "",
         "The system refused to change HKEY_CURRENT_USER\\Software\\Classes\\kvtAfile\\"
         "DefaultIcon",
         "[-HKCU\\Software\\Classes\\.kvtA]\n"},
        {"delete .kvtc", 2, "", ".kvtc is not the user's own"},
        {"restore .kvtc", 0, "", "restored .kvtc", "[-HKCU\\Software\\Classes\\.kvtc]\n"},
        {"--machine set .kvtc --content text/m", 0, "", "saved .kvtc",
         "[HKLM\\Software\\Classes\\.kvtc]\n\"Content Type\"=\"text/m\"\n"},
        {"show \"a b\"", 2, "", "cannot name an extension"},
        {"show .kvtnone", 2, "", ".kvtnone is not registered"},
        {"list --format xml", 2, "", "--format takes text, csv, tsv or json"},
        {"list --frob", 2, "", "unknown option --frob (list)"},
        {"frob", 2, "", "unknown command frob"},
        {"export .kvtmine \"" + reg + "\"", 1, "", "nothing to export"},
        {"export .kvtмой \"" + reg + "\"", 0, "", "wrote"},
        {"defaults export \"" + xml + "\" --only .kvtc,.kvtмой,kvtweb:", 0, "", "wrote"},
        {"defaults check \"" + xml + "\"", 1,
         "Identifier  ProgId     ApplicationName  Verdict\n----------  ---------  ----------"
         "-----  -------------------------------------\n.kvtc       kvtcfile   kvtview          "
         "ok\n.kvtмой     kvtmyfile                   its default action has nothing to run\n"
         "kvtweb      kvtweb     kvtview          ok\n",
         ":4:4: .kvtмой cannot be honoured on this machine"},
        {"defaults check \"" + bad + "\"", 2, "", "line 2, column"},
        {"defaults check nowhere.xml", 2, "", "nowhere.xml: cannot be opened"},
        {"defaults check \"" + bin + "testdata\\default_associations.xml\" --format csv", 1,
         "Identifier,ProgId,ApplicationName,Verdict\r\n.htm,htmlfile,Internet Explorer,ok\r\n"
         ".txt,txtfile,Notepad,ok\r\nmailto,kvtmail.mailto,Kv Mail & Calendar,no such file "
         "type\r\n.pdf,kvtpdf.Document.2,Kv Reader,no such file type\r\n.jpg,AppXk4q2vw7n3hd8r0"
         "yt5zp6cm1bs9xfge2a,Фото 照片,no such file type\r\n",
         ":8:4: .pdf cannot be honoured on this machine (no such file type)"},
    };
    for (const Row& row : rows)
        Expect(row);
    EXPECT_EQ(0, Slurp(reg).compare(0, 2, "\xFF\xFE")) << "a registry file in UTF-16";
}

// problems on the fixture, .kvtc's program gone from the disk, and a few
// broken keys more; the user's choice of .kvtp protected, as Windows protects
// some.
TEST_F(CommandLine, ProblemsListedFilteredAndMended) {
    kvt::Seed(std::string(kFixture) + R"(
[HKLM\Software\Classes\kvtcfile\shell\open\command]
@="\"C:\\Tools\\kvtgone.exe\" \"%1\""
[HKCU\Software\Classes\.kvtempty]
[HKLM\Software\Classes\.kvtnoclass]
@="kvtnone"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvtp\UserChoice] locked
"ProgId"="kvtnone"
)");
    const std::string user = "HKEY_CURRENT_USER\\Software\\",
                      machine = "HKEY_LOCAL_MACHINE\\Software\\";
    const std::string choice =
        "Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.kvtp\\UserChoice";
    const Row rows[] = {
        {"problems --format csv", 1,
         "Kind,Extension,Class,Key,Value,Missing,Mend,Explanation\r\n"
         "missing-program,.kvtc,kvtcfile," +
             machine +
             "Classes\\kvtcfile\\shell\\open\\command,,"
             "\"\"\"C:\\Tools\\kvtgone.exe\"\" \"\"%1\"\"\",edit action," +
             kTextCheckMissingProgram +
             "\r\n"
             "empty-user-extension,.kvtempty,," +
             user + "Classes\\.kvtempty,,,remove key,\"" + kTextCheckEmptyUserExtension +
             "\"\r\n"
             "missing-class,.kvtnoclass,kvtnone," +
             machine +
             "Classes\\.kvtnoclass,,kvtnone,remove "
             "value,\"" +
             kTextCheckMissingClass +
             "\"\r\n"
             "dangling-user-choice,.kvtp,kvtnone," +
             user + choice + ",,kvtnone,remove key," + kTextCheckDanglingUserChoice + "\r\n",
         ""},
        {"problems --kind missing-class --format json", 1,
         std::string(
             "[\n  {\n    \"Kind\": \"missing-class\",\n    \"Extension\": \".kvtnoclass\",\n    "
             "\"Class\": \"kvtnone\",\n    \"Key\": \"HKEY_LOCAL_MACHINE\\\\Software\\\\Classes\\\\"
             ".kvtnoclass\",\n    \"Value\": \"\",\n    \"Missing\": \"kvtnone\",\n    \"Mend\": "
             "\"remove value\",\n    \"Explanation\": \"") +
             kTextCheckMissingClass + "\"\n  }\n]\n",
         ""},
        {"problems --kind missing-class,nothing", 2, "", "\"nothing\" is no kind of problem"},
        {"problems --mend missing-program,missing-class,empty-user-extension --dry-run", 0,
         "would remove the key " + user + "Classes\\.kvtempty, with everything below it\n",
         "1 of them are in the machine's keys"},
        {"problems --mend dangling-user-choice", 3, "",
         "The system refused to change " + user + choice},
        {"problems --mend empty-user-extension", 0, "", "mended 1 problem",
         "[-HKCU\\Software\\Classes\\.kvtempty]\n"},
        {"problems --mend empty-user-extension", 1, "", "nothing to mend"},
        {"--machine problems --mend missing-class", 0, "", "mended 1 problem",
         "[HKLM\\Software\\Classes\\.kvtnoclass]\n@=-\n"},
    };
    for (const Row& row : rows)
        Expect(row);
}

} // namespace
