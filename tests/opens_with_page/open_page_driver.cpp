#include "open_page_driver.h"

#include "records/app_state.h"
#include "details/command_rules.h"
#include "details/pane.h"
#include "details/readers.h"
#include "records/extension_record.h"
#include "editor/editor_frame.h"
#include "records/editor_state.h"
#include "harness/editor_driver.h"
#include "resources/resource.h"
#include "text/text.h"

#include <string.h>

namespace kvt {

namespace {

// The details pane of a main window, as far as the editor copies it to the
// "Open" page; it outlives the editor, as the main window does.
struct TestPane {
    explicit TestPane(const PageSetup& setup) {
        DetailsPane.OpensWith = Static(setup.opensWith, 0);
        DetailsPane.ProgramFile = Static(setup.programFile, 0);
        DetailsPane.ProgramPath = Static(setup.programPath, 0);
        DetailsPane.Args = Static(setup.args, 0);
        DetailsPane.ProgramIcon = Static("", SS_ICON);
        SendMessageA(DetailsPane.ProgramIcon, STM_SETICON, reinterpret_cast<WPARAM>(setup.paneIcon),
                     0);
    }
    ~TestPane() {
        for (HWND control : {DetailsPane.OpensWith, DetailsPane.ProgramFile,
                             DetailsPane.ProgramPath, DetailsPane.Args, DetailsPane.ProgramIcon})
            DestroyWindow(control);
        DetailsPane = {};
    }
    static HWND Static(const std::string& text, DWORD style) {
        return CreateWindowA("STATIC", text.c_str(), WS_POPUP | style, 0, 0, 32, 32, nullptr,
                             nullptr, AppState.Instance, nullptr);
    }
};

} // namespace

void RunOpensWithPage(const PageSetup& setup, const std::function<void(User&, HWND page)>& script) {
    AppState.AdminMode = setup.admin ? 1 : 0;
    CopyTextBounded(setup.extension.c_str(), setup.create ? NewExtensionName : CurrentExtension,
                    kNameSize);
    ExtensionRecord.HasDde = setup.hasDde ? 1 : 0;
    ExtensionRecord.HasArgs = 1;
    TestPane pane(setup);
    const DWORD mode = setup.create ? kEditorCreate : kEditorEdit;
    RunDialog([mode] { RunPropertyEditor(mode); },
              [&](User& user) {
                  HWND editor = WaitForEditor(user);
                  ASSERT_NE(nullptr, editor);
                  HWND page = EditorPage(editor, IDC_OPENSWITH_RECENTLIST);
                  user.SelectTab(GetDlgItem(editor, IDC_EDITOR_TABS), 1);
                  ASSERT_TRUE(user.WaitUntil([page] { return IsWindowVisible(page) != FALSE; }));
                  script(user, page);
              });
    AppState.AdminMode = 0;
}

std::vector<std::string> TestPrograms(HWND combo) {
    std::vector<std::string> programs;
    for (int index = 0, count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
         index < count; ++index) {
        char text[kTextSize] = {};
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_LPARAM;
        item.iItem = index;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        const char* application = reinterpret_cast<const char*>(item.lParam);
        if (application && _strnicmp(application, "kvt", 3) == 0)
            programs.push_back(std::string(text) + " (" + application + ")");
    }
    return programs;
}

int ComboIndexOf(HWND combo, const std::string& application) {
    for (int index = 0, count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
         index < count; ++index) {
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_LPARAM;
        item.iItem = index;
        SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (item.lParam && application == reinterpret_cast<const char*>(item.lParam))
            return index;
    }
    return -1;
}

void SeedApplication(HKEY hive, const std::string& application, const std::string& friendlyName,
                     const std::string& command, const std::string& verb) {
    const std::string key = Classes("Applications\\" + application);
    SetText(hive, key + "\\shell\\" + verb + "\\command", nullptr, command);
    if (!friendlyName.empty())
        SetText(hive, key, "FriendlyAppName", friendlyName);
}

} // namespace kvt
