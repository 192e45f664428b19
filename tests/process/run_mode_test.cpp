// KVEL.exe started as its own process: the main window its command line
// gives, and the exit code once the window's close box ends it.
#include "platform/handles.h"
#include "text/system_text.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

namespace {

// The caption of the main window (this program shows none), once it shows;
// the window is then closed.
std::string CloseMainWindow() {
    for (int tries = 0; tries < 1500; ++tries, Sleep(10))
        for (const char* caption :
             {"Orvell File Type Editor", "Orvell File Type Editor - ADMIN MODE"})
            if (HWND window = FindWindowA(nullptr, caption); window && IsWindowVisible(window)) {
                PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                return caption;
            }
    return "<no main window>";
}

TEST(KvelProcess, TheFirstArgumentChoosesTheModeAndTheExitCodeIsZero) {
    const struct {
        std::string arguments;
        bool admin;
    } rows[] = {{"", false}, {" /admin", true}, {" /admin \"", false}};
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
                  CloseMainWindow());
        if (WaitForSingleObject(process.get(), 15000) != WAIT_OBJECT_0)
            TerminateProcess(process.get(), 99);
        DWORD exitCode = 1;
        GetExitCodeProcess(process.get(), &exitCode);
        EXPECT_EQ(0u, exitCode);
    }
}

} // namespace
