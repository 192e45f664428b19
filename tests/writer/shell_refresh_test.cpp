// "Please Wait..." (dialog 1400) and the one notification it waits for.
#include "harness/dialog_driver.h"
#include "harness/observers.h"
#include "resources/resource.h"
#include "ui/please_wait.h"

#include <gtest/gtest.h>

namespace {

using kvt::User;

const char kPleaseWait[] = "Please Wait...";

TEST(ShellRefresh, TellsTheShellOnceAndClosesByItself) {
    kvt::AssocChangeWatch shell;
    kvt::WindowCreationLog windows;
    kvt::RunDialog([] { RunShellRefresh(nullptr); }, [](User&) {});
    EXPECT_EQ(1, shell.Count()) << "the window closes after the notification";
    EXPECT_EQ(1, windows.Count(kPleaseWait));
}

TEST(ShellRefresh, EscClosesTheWindowAtOnceAndTheShellIsStillTold) {
    kvt::AssocChangeWatch shell;
    // The notification cannot be delivered until the watch lets it through,
    // so the window stays open until Esc closes it.
    shell.Hold();
    bool closedByEsc = false;
    kvt::RunDialog(
        [] { RunShellRefresh(nullptr); },
        [&](User& user) {
            HWND window = user.WaitForWindow(kPleaseWait);
            ASSERT_NE(nullptr, window);
            EXPECT_EQ("Please wait, updating the shell", User::Text(window, IDC_PLEASEWAIT_TEXT));
            EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU) << "no close box";
            user.PressKey(VK_ESCAPE, window);
            closedByEsc = user.WaitGone(window);
        });
    EXPECT_TRUE(closedByEsc);
    EXPECT_EQ(0, shell.Count());
    shell.Release();
    EXPECT_TRUE(shell.WaitForCount(1)) << "the worker still tells the shell";
}

} // namespace
