#include "harness/main_window.h"

#include "records/app_state.h"
#include "app/startup.h"
#include "resources/resource.h"

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

PaneTexts ReadPane(HWND window, int admin) {
    auto text = [&](int user, int adminId) { return User::Text(window, admin ? adminId : user); };
    auto icon = [&](int user, int adminId) {
        return SendDlgItemMessageA(window, admin ? adminId : user, STM_GETICON, 0, 0) != 0;
    };
    PaneTexts pane;
    pane.extension = text(IDC_MAIN_EXTENSION, IDC_ADMIN_EXTENSION);
    pane.fileType = text(IDC_MAIN_FILETYPE, IDC_ADMIN_FILETYPE);
    pane.perceived = text(IDC_MAIN_PERCEIVED, IDC_ADMIN_PERCEIVED);
    pane.content = text(IDC_MAIN_CONTENT, IDC_ADMIN_CONTENT);
    pane.iconFile = text(IDC_MAIN_ICONFILE, IDC_ADMIN_ICONFILE);
    pane.iconPath = text(IDC_MAIN_ICONPATH, IDC_ADMIN_ICONPATH);
    pane.opensWith = text(IDC_MAIN_OPENSWITH, IDC_ADMIN_OPENSWITH);
    pane.programFile = text(IDC_MAIN_PROGRAMFILE, IDC_ADMIN_PROGRAMFILE);
    pane.programPath = text(IDC_MAIN_PROGRAMPATH, IDC_ADMIN_PROGRAMPATH);
    pane.args = text(IDC_MAIN_ARGS, IDC_ADMIN_ARGS);
    pane.dde = text(IDC_MAIN_DDE, IDC_ADMIN_DDE);
    pane.editFlags = text(IDC_MAIN_EDITFLAGS, IDC_ADMIN_EDITFLAGS);
    pane.largeIcon = icon(IDC_MAIN_LARGEICON, IDC_ADMIN_LARGEICON);
    pane.smallIcon = icon(IDC_MAIN_SMALLICON, IDC_ADMIN_SMALLICON);
    pane.programIcon = icon(IDC_MAIN_PROGRAMICON, IDC_ADMIN_PROGRAMICON);
    return pane;
}

} // namespace kvt
