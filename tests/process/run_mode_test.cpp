// KVEL.exe started as its own process: which main window the command line
// gives, and the exit code.
#include "app/startup.h"
#include "text/system_text.h"
#include "text/text.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

namespace {

const char kUserCaption[] = "Orvell File Type Editor";
const char kAdminCaption[] = "Orvell File Type Editor - ADMIN MODE";

struct Found {
    DWORD process;
    HWND window;
};

HWND FindMainWindow(DWORD process) {
    Found found = {process, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) {
            auto* found = reinterpret_cast<Found*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != found->process || !IsWindowVisible(window))
                return TRUE;
            char caption[128] = {};
            GetWindowTextA(window, caption, sizeof caption);
            if (strncmp(caption, kUserCaption, strlen(kUserCaption)) != 0)
                return TRUE;
            found->window = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

struct RunResult {
    std::string caption;
    DWORD exitCode = 0xFFFFFFFF;
};

// Starts KVEL.exe with the arguments, waits for its main window, closes it
// with the close box and waits for the process to end.
RunResult RunKvel(const std::string& arguments) {
    RunResult result;
    char directory[MAX_PATH + 1];
    AppDirectoryOf(directory);
    std::string commandLine = "\"" + std::string(directory) + "KVEL.exe\"" + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return result;
    }
    HWND window = nullptr;
    for (int i = 0; i < 1500 && !window; ++i) {
        window = FindMainWindow(process.dwProcessId);
        if (!window)
            Sleep(10);
    }
    if (window) {
        char caption[128] = {};
        GetWindowTextA(window, caption, sizeof caption);
        result.caption = caption;
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        ADD_FAILURE() << "no main window for " << commandLine;
        TerminateProcess(process.hProcess, 99);
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 15000));
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

struct ModeCase {
    const char* label;
    std::string arguments;
    bool adminWhenAdministrator;
};

void PrintTo(const ModeCase& c, std::ostream* out) {
    *out << c.label;
}

class RunMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(RunMode, MainWindowFollowsTheFirstArgumentAndTheExitCodeIsZero) {
    const ModeCase& c = GetParam();
    SCOPED_TRACE(c.label);
    const bool admin = c.adminWhenAdministrator && IsUserAnAdmin();
    RunResult result = RunKvel(c.arguments);
    EXPECT_EQ(admin ? kAdminCaption : kUserCaption, result.caption);
    EXPECT_EQ(0u, result.exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, RunMode,
    ::testing::Values(ModeCase{"no argument", "", false}, ModeCase{"empty quotes", " \"\"", false},
                      ModeCase{"trailing blanks", "   ", false},
                      ModeCase{"a single letter", " x", true},
                      ModeCase{"a word with a slash", " /admin", true},
                      ModeCase{"a quoted text with blanks", " \"run as admin\"", true},
                      ModeCase{"an odd number of quotes", " /admin \"", false},
                      ModeCase{"an argument far longer than 192 bytes", " " + std::string(600, 'a'),
                               true}),
    [](const ::testing::TestParamInfo<ModeCase>& info) {
        return "Case" + std::to_string(info.index);
    });

TEST(RunModeDecision, NeedsANonEmptyArgumentAndAnAdministrator) {
    EXPECT_EQ(1, DecideAdminMode(kArgFound, 1));
    EXPECT_EQ(0, DecideAdminMode(kArgFound, 0)) << "a non-administrator stays in user mode";
    EXPECT_EQ(0, DecideAdminMode(kArgMissing, 1));
    EXPECT_EQ(0, DecideAdminMode(kArgEmpty, 1));
    EXPECT_EQ(0, DecideAdminMode(kArgUnbalanced, 1));
}

} // namespace
