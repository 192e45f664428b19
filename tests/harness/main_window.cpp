#include "harness/main_window.h"

#include "app/app_state.h"
#include "app/startup.h"

#include <gtest/gtest.h>
#include <objbase.h>

namespace kvt {

std::string StatusText() {
    char text[512] = {};
    SendMessageA(AppState.StatusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

void RunMainWindow(int adminMode, const std::function<void(User&, HWND)>& script) {
    AppState.AdminMode = adminMode;
    AppState.MainWindow = nullptr;
    AppState.StatusBar = nullptr;
    // The main window undoes start-up's COM initialisation when it closes.
    CoInitializeEx(nullptr, COINIT_DISABLE_OLE1DDE);
    RunDialog(::RunMainWindow, [&](User& user) {
        const char* caption =
            adminMode ? "Orvell File Type Editor - ADMIN MODE" : "Orvell File Type Editor";
        // The first window of a test program may wait for Wine to start up.
        HWND window = user.WaitForWindow(caption, 4 * kWaitMs);
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(user.WaitUntil([] { return AppState.StatusBar && !StatusText().empty(); }))
            << "the catalogue did not load";
        script(user, window);
    });
    // Later dialogs of the test program must not take the closed window as owner.
    AppState.MainWindow = nullptr;
}

} // namespace kvt
