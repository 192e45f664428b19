#include "page_host.h"

#include "app/app_state.h"
#include "details/extension_record.h"
#include "editor/editor_state.h"
#include "editor/opens_with_page.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"

#include <string.h>

namespace kvt {

namespace {

const PageSetup* Setup;
HWND Page;

void CopyPaneTexts(const PageSetup& setup) {
    SetWindowTextA(OpensWithPage.OpensWith, setup.opensWith.c_str());
    SetWindowTextA(OpensWithPage.ProgramFile, setup.programFile.c_str());
    SetWindowTextA(OpensWithPage.ProgramPath, setup.programPath.c_str());
    SetWindowTextA(OpensWithPage.Args, setup.args.c_str());
    if (DetailsPane.ProgramIcon)
        SendMessageA(OpensWithPage.ProgramIcon, STM_SETICON,
                     SendMessageA(DetailsPane.ProgramIcon, STM_GETICON, 0, 0), 0);
}

void FillRecentListAsEditor(const PageSetup& setup) {
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_SUBITEM;
    SendMessageA(OpensWithPage.RecentList, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    if (setup.admin) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<char*>(kTextNotInAdminMode);
        SendMessageA(OpensWithPage.RecentList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        EnableWindow(OpensWithPage.RecentList, FALSE);
    } else {
        FillRecentList();
        RecentListMenu = CreatePopupMenu();
        AppendMenuA(RecentListMenu, MF_STRING, IDM_RECENT_REMOVE, kMenuRemove);
        BuildAddProgramMenu(RecentListMenu);
        PruneAddProgramMenu();
        EnableWindow(OpensWithPage.RecentList, TRUE);
    }
    SendMessageA(OpensWithPage.RecentList, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
}

INT_PTR CALLBACK HostProc(HWND host, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        const PageSetup& setup = *Setup;
        EditorMode = setup.create ? kEditorCreate : kEditorEdit;
        Changed.OpenWithList = 0;
        Page = CreateDialogParamA(AppState.Instance, MAKEINTRESOURCEA(IDD_OPENSWITH), host,
                                  OpensWithPageProc, 0);
        ShowWindow(Page, SW_SHOWDEFAULT);
        if (!setup.create)
            CopyPaneTexts(setup);
        for (HWND edit :
             {OpensWithPage.DdeApplication, OpensWithPage.DdeTopic, OpensWithPage.DdeCommand})
            SetWindowTextA(edit, setup.staleDde.c_str());
        FillProgramCombo();
        FillRecentListAsEditor(setup);
        if (setup.admin && setup.hasDde && !setup.create)
            ReadDdeMachine();
        return TRUE;
    }
    case WM_CLOSE:
        ReleaseOpensWithItemData();
        DestroyMenu(RecentListMenu);
        RecentListMenu = nullptr;
        EndDialog(host, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void RunOpensWithPage(const PageSetup& setup, const std::function<void(User&, HWND page)>& script) {
    Setup = &setup;
    CopyTextBounded(setup.extension.c_str(), CurrentExtension, kNameSize);
    ExtensionRecord.HasDde = setup.hasDde ? 1 : 0;
    // The details pane lives in the main window, beyond the editor's life.
    HWND pane = CreateWindowA("STATIC", "", WS_POPUP | SS_ICON, 0, 0, 32, 32, nullptr, nullptr,
                              AppState.Instance, nullptr);
    SendMessageA(pane, STM_SETICON, reinterpret_cast<WPARAM>(setup.paneIcon), 0);
    DetailsPane.ProgramIcon = pane;
    RunDialog(
        [] {
            DialogBoxParamA(AppState.Instance, MAKEINTRESOURCEA(IDD_EDITOR), nullptr, HostProc, 0);
        },
        [&](User& user) {
            user.WaitForDialogWith(IDC_EDITOR_TABS);
            script(user, Page);
        });
    DetailsPane.ProgramIcon = nullptr;
    DestroyWindow(pane);
    Page = nullptr;
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
