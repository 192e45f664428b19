// The details pane as both main windows fill it, on registry fixtures: fall-back
// words, the class lookup, command splitting and icon locations.
#include "records/app_state.h"
#include "details/command_rules.h"
#include "details/pane.h"
#include "details/readers.h"
#include "records/extension_record.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"
#include "text/system_text.h"

#include <gtest/gtest.h>

namespace {

using kvt::Classes;
using kvt::User;

using Pane = kvt::PaneTexts;

// Opens the main window of the mode, clicks the machine extension in the
// list and hands its pane to check.
void ShowMachineExtension(int admin, const std::string& extension,
                          const std::function<void(const Pane&)>& check) {
    kvt::RunMainWindow(admin, [&](User& user, HWND window) {
        HWND list = GetDlgItem(window, admin ? IDC_ADMIN_LIST : IDC_MAIN_LIST);
        int row = User::ListFind(list, extension);
        ASSERT_GE(row, 0) << extension << " is not listed";
        user.ClickListItem(list, row);
        ASSERT_TRUE(user.WaitUntil([&] {
            return User::Text(window, admin ? IDC_ADMIN_EXTENSION : IDC_MAIN_EXTENSION) ==
                   extension;
        }));
        check(kvt::ReadPane(window, admin));
        user.Close(window);
    });
}

// The test parameters are made before start-up fills AppState.
std::string TestFolder() {
    char folder[MAX_PATH + 1] = {};
    AppDirectoryOf(folder);
    return folder;
}

std::string TestData(const char* file) {
    return TestFolder() + "testdata\\icons\\" + file;
}

std::string TestProgram() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

class DetailsPane : public kvt::RegistryTest {};

TEST_F(DetailsPane, FullyDescribedExtensionInBothModes) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtfull", "kvtfullfile", "Full document",
                       "\"C:\\Tools\\kvtview.exe\" /open \"%1\"");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtfull"), "Content Type", "text/x-kvt");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtfull"), "PerceivedType", "text");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtfullfile\\DefaultIcon"), nullptr,
                 TestData("user.ico"));
    kvt::SetDword(HKEY_LOCAL_MACHINE, Classes("kvtfullfile"), "EditFlags", 0x10000);
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("Applications\\kvtview.exe"), "FriendlyAppName",
                 "KVT Viewer");
    for (int admin : {0, 1}) {
        SCOPED_TRACE(admin ? "admin mode" : "user mode");
        ShowMachineExtension(admin, ".kvtfull", [&](const Pane& pane) {
            EXPECT_EQ(".kvtfull", pane.extension);
            EXPECT_EQ("Full document", pane.fileType);
            EXPECT_EQ("text", pane.perceived);
            EXPECT_EQ("text/x-kvt", pane.content);
            EXPECT_EQ("KVT Viewer", pane.opensWith);
            EXPECT_EQ("kvtview.exe", pane.programFile);
            EXPECT_EQ("C:\\Tools\\", pane.programPath);
            EXPECT_EQ("/open \"%1\"", pane.args);
            EXPECT_EQ("No", pane.dde);
            EXPECT_EQ("Yes", pane.editFlags);
            EXPECT_EQ("user.ico", pane.iconFile);
            EXPECT_TRUE(pane.largeIcon);
            EXPECT_TRUE(pane.smallIcon);
            EXPECT_TRUE(pane.programIcon);
            EXPECT_EQ(1u, ExtensionRecord.HasArgs);
            EXPECT_EQ(0u, ExtensionRecord.HasDde);
        });
    }
}

TEST_F(DetailsPane, ClassFromOpenWithProgIdsInAdminMode) {
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtprog\\OpenWithProgIDs"), "kvtprogB", "");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtprog\\OpenWithProgIDs"), "kvtprogA", "");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtprogB"), nullptr, "Class B");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtprogA"), nullptr, "Class A");
    kvt::SetDword(HKEY_LOCAL_MACHINE, Classes("kvtprogB"), "EditFlags", 1);
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes("kvtprogB\\shell\\Open\\ddeexec"));
    std::vector<std::string> order =
        kvt::ValueNames(HKEY_LOCAL_MACHINE, Classes(".kvtprog\\OpenWithProgIDs"));
    ASSERT_FALSE(order.empty());
    const std::string first = order[0];
    ShowMachineExtension(1, ".kvtprog", [&](const Pane& pane) {
        EXPECT_EQ(first == "kvtprogB" ? "Class B" : "Class A", pane.fileType)
            << "the first value in the registry's order names the class";
        if (first == "kvtprogB") {
            EXPECT_EQ("Yes", pane.editFlags);
            EXPECT_EQ("Yes", pane.dde) << "an empty ddeexec key still counts";
        }
    });
}

TEST_F(DetailsPane, WithoutClassEveryFieldFallsBack) {
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtbare"), "Content Type", "x/kvt");
    ShowMachineExtension(1, ".kvtbare", [](const Pane& pane) {
        EXPECT_EQ("Unknown", pane.fileType);
        EXPECT_EQ("Unknown", pane.perceived);
        EXPECT_EQ("x/kvt", pane.content);
        for (const std::string* field : {&pane.iconFile, &pane.iconPath, &pane.opensWith,
                                         &pane.programFile, &pane.programPath, &pane.args})
            EXPECT_EQ("Unknown", *field);
        EXPECT_EQ("No", pane.dde);
        EXPECT_EQ("No", pane.editFlags);
        EXPECT_TRUE(pane.largeIcon) << "the system's error icon";
        EXPECT_FALSE(pane.smallIcon);
        EXPECT_FALSE(pane.programIcon);
    });
    ShowMachineExtension(0, ".kvtbare", [](const Pane& pane) {
        EXPECT_EQ("KVTBARE File", pane.fileType) << "the shell's name for an unknown type";
        EXPECT_EQ("Unknown", pane.opensWith);
        EXPECT_EQ("Unknown", pane.args);
        EXPECT_EQ("Unknown", pane.iconFile) << "no icon location repeats the program's file";
        EXPECT_EQ("No", pane.dde);
    });
}

TEST_F(DetailsPane, WithoutOpenCommand) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtnocmd", "kvtnocmdfile", "No command", "");
    ShowMachineExtension(1, ".kvtnocmd", [](const Pane& pane) {
        EXPECT_EQ("No command", pane.fileType);
        EXPECT_EQ("Unknown", pane.opensWith);
        EXPECT_EQ("Unknown", pane.args);
        EXPECT_EQ(0u, ExtensionRecord.HasArgs);
    });
}

struct CommandCase {
    const char* label;
    std::string command;
    std::string opensWith, file, path, args;
    DWORD hasArgs;
};

void PrintTo(const CommandCase& c, std::ostream* out) {
    *out << c.label;
}

class AdminCommandSplit : public DetailsPane, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(AdminCommandSplit, ShowsProgramFolderAndArguments) {
    const CommandCase& c = GetParam();
    SCOPED_TRACE(c.label);
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtcmd", "kvtcmdfile", "Command", c.command);
    ShowMachineExtension(1, ".kvtcmd", [&](const Pane& pane) {
        EXPECT_EQ(c.opensWith, pane.opensWith);
        EXPECT_EQ(c.file, pane.programFile);
        EXPECT_EQ(c.path, pane.programPath);
        EXPECT_EQ(c.args, pane.args);
        EXPECT_EQ(c.hasArgs, ExtensionRecord.HasArgs);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AdminCommandSplit,
    ::testing::Values(
        CommandCase{"unquoted with blanks", "C:\\Program Files\\App\\app.exe %1", "", "app.exe",
                    "C:\\Program Files\\App\\", "%1", 1},
        CommandCase{"rundll32", "rundll32.exe shell32.dll,Control_RunDLL", "rundll32.exe", "", "",
                    "shell32.dll,Control_RunDLL", 1},
        CommandCase{"unquoted without backslash", "kvtnote.exe %1", "", "", "", "%1", 1},
        CommandCase{"first letter r but not rundll32", "rkvtview.exe %1", "", "", "", "%1", 1},
        CommandCase{"no arguments", "\"C:\\Tools\\kvtview.exe\"", "kvtview", "kvtview.exe",
                    "C:\\Tools\\", "", 0}),
    [](const ::testing::TestParamInfo<CommandCase>& info) {
        return "Case" + std::to_string(info.index);
    });

struct IconCase {
    const char* label;
    std::string location;
    std::string file, path;
    bool icon;
};

void PrintTo(const IconCase& c, std::ostream* out) {
    *out << c.label;
}

class AdminIconLocation : public DetailsPane, public ::testing::WithParamInterface<IconCase> {};

TEST_P(AdminIconLocation, LoadsTheIconAndShowsItsFile) {
    const IconCase& c = GetParam();
    SCOPED_TRACE(c.label);
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvticon", "kvticonfile", "Icon", "");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvticonfile\\DefaultIcon"), nullptr, c.location,
                 REG_EXPAND_SZ);
    ShowMachineExtension(1, ".kvticon", [&](const Pane& pane) {
        EXPECT_EQ(c.file, pane.iconFile);
        EXPECT_EQ(c.path, pane.iconPath);
        EXPECT_EQ(c.icon, pane.largeIcon);
        EXPECT_EQ(c.icon, pane.smallIcon);
    });
}

std::string ProgramFolder() {
    std::string program = TestProgram();
    return program.substr(0, program.rfind('\\') + 1);
}

std::string ProgramName() {
    std::string program = TestProgram();
    return program.substr(program.rfind('\\') + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Locations, AdminIconLocation,
    ::testing::Values(
        IconCase{"each file its own icon", "%1", "Unknown", "Unknown", false},
        IconCase{"module index", TestProgram() + ",0", ProgramName(), ProgramFolder(), true},
        IconCase{"negative resource id", TestProgram() + ",-3", ProgramName(), ProgramFolder(),
                 true},
        IconCase{"resource id that does not exist", TestProgram() + ",-999", ProgramName(),
                 ProgramFolder(), false},
        IconCase{"icon file", TestData("added.ico"), "added.ico",
                 TestFolder() + "testdata\\icons\\", true},
        IconCase{"missing module", "C:\\kvt\\missing.dll,1", "missing.dll", "C:\\kvt\\", false}),
    [](const ::testing::TestParamInfo<IconCase>& info) {
        return "Case" + std::to_string(info.index);
    });

struct ProgramCase {
    const char* label;
    std::string command;
    std::string opensWith, file, path, args;
};

// User mode shows the program the shell finds on disk, named by its file
// when it has no version block, and the fall-backs for one that is not there.
TEST_F(DetailsPane, UserModeShowsTheProgramOnDisk) {
    CreateDirectoryA("C:\\Program Files\\Kv Tool", nullptr);
    ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\notepad.exe",
                          "C:\\Program Files\\Kv Tool\\kvtool.exe", FALSE));
    const ProgramCase cases[] = {
        {"bare name on the search path", "notepad.exe %1", "notepad", "notepad.exe",
         "C:\\windows\\system32\\", "%1"},
        {"unquoted with blanks", "C:\\Program Files\\Kv Tool\\kvtool.exe /v %1", "kvtool",
         "kvtool.exe", "C:\\Program Files\\Kv Tool\\", "/v %1"},
        {"missing", "\"C:\\Program Files\\Kv Tool\\gone.exe\" %1", "Unknown", "Unknown", "Unknown",
         "Unknown"},
    };
    for (const ProgramCase& c : cases) {
        SCOPED_TRACE(c.label);
        kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtprog", "kvtprogfile", "Program", c.command);
        ShowMachineExtension(0, ".kvtprog", [&](const Pane& pane) {
            EXPECT_EQ(c.opensWith, pane.opensWith);
            EXPECT_EQ(c.file, pane.programFile);
            EXPECT_EQ(c.path, pane.programPath);
            EXPECT_EQ(c.args, pane.args);
        });
    }
    DeleteFileA("C:\\Program Files\\Kv Tool\\kvtool.exe");
    RemoveDirectoryA("C:\\Program Files\\Kv Tool");
}

TEST_F(DetailsPane, UserModeWithoutIconLocationRepeatsTheProgram) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtrep", "kvtrepfile", "Repeat",
                       "\"C:\\Tools\\kvtview.exe\" %1");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("Applications\\kvtview.exe"), "FriendlyAppName",
                 "KVT Viewer");
    ShowMachineExtension(0, ".kvtrep", [](const Pane& pane) {
        EXPECT_EQ("kvtview.exe", pane.programFile);
        EXPECT_EQ("kvtview.exe", pane.iconFile);
        EXPECT_EQ("C:\\Tools\\", pane.iconPath);
        EXPECT_EQ("%1", pane.args);
    });
}

TEST_F(DetailsPane, ValueOverTheBufferShowsTheFallBack) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtlongval", "kvtlongvalfile", std::string(300, 'd'),
                       "");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtlongval"), "Content Type", std::string(261, 'c'));
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtlongval"), "PerceivedType",
                 std::string(260, 'p'));
    ShowMachineExtension(1, ".kvtlongval", [](const Pane& pane) {
        EXPECT_EQ("Unknown", pane.fileType);
        EXPECT_EQ("Unknown", pane.content);
        EXPECT_EQ(std::string(260, 'p'), pane.perceived) << "260 characters still fit";
    });
}

TEST_F(DetailsPane, EditFlagsOfEightBytesCountAsAbsent) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtflags", "kvtflagsfile", "Flags", "");
    kvt::SetBytes(HKEY_LOCAL_MACHINE, Classes("kvtflagsfile"), "EditFlags", REG_BINARY,
                  {1, 0, 0, 0, 0, 0, 0, 0});
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtflags4", "kvtflags4file", "Flags", "");
    kvt::SetBytes(HKEY_LOCAL_MACHINE, Classes("kvtflags4file"), "EditFlags", REG_BINARY,
                  {2, 0, 0, 0});
    ShowMachineExtension(1, ".kvtflags", [](const Pane& pane) { EXPECT_EQ("No", pane.editFlags); });
    ShowMachineExtension(1, ".kvtflags4",
                         [](const Pane& pane) { EXPECT_EQ("Yes", pane.editFlags); });
}

} // namespace
