// KVEL.exe started as its own process: the main window its command line
// gives, and the exit code once the window's close box ends it.
#include "platform/handles.h"
#include "text/system_text.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

namespace {

struct Window {
    DWORD process;
    std::string caption;
};

// The caption of the process's main window, once it shows, which is then closed.
std::string CloseMainWindow(DWORD process) {
    for (int tries = 0; tries < 1500; ++tries, Sleep(10)) {
        Window found = {process, ""};
        EnumWindows(
            [](HWND window, LPARAM data) {
                auto* found = reinterpret_cast<Window*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                char caption[128] = {};
                GetWindowTextA(window, caption, sizeof caption);
                if (owner != found->process || !IsWindowVisible(window) ||
                    std::string(caption).find("Orvell File Type Editor") != 0)
                    return TRUE;
                found->caption = caption;
                PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (!found.caption.empty())
            return found.caption;
    }
    return "<no main window>";
}

TEST(KvelProcess, TheFirstArgumentChoosesTheModeAndTheExitCodeIsZero) {
    const struct {
        std::string arguments;
        bool admin;
    } rows[] = {{"", false},           {" \"\"", false},
                {"   ", false},        {" x", true},
                {" /admin", true},     {" \"run as admin\"", true},
                {" /admin \"", false}, {" " + std::string(600, 'a'), true}};
    char folder[MAX_PATH + 1];
    AppDirectoryOf(folder);
    for (const auto& row : rows) {
        SCOPED_TRACE("arguments:" + row.arguments);
        std::string command = "\"" + std::string(folder) + "KVEL.exe\"" + row.arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &started));
        FileOwner process(started.hProcess), thread(started.hThread);
        EXPECT_EQ(row.admin && IsUserAnAdmin() ? "Orvell File Type Editor - ADMIN MODE"
                                               : "Orvell File Type Editor",
                  CloseMainWindow(started.dwProcessId));
        if (WaitForSingleObject(process.get(), 15000) != WAIT_OBJECT_0)
            TerminateProcess(process.get(), 99);
        DWORD exitCode = 1;
        GetExitCodeProcess(process.get(), &exitCode);
        EXPECT_EQ(0u, exitCode);
    }
}

} // namespace
