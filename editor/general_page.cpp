// The General page: its lists, the choices made in them, "Change..." and the
// rules beside its bold headers.
#include "editor/general_page.h"

#include "records/extension_record.h"
#include "records/editor_state.h"
#include "editor/icon_picker.h"
#include "platform/handles.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"
#include "ui/window_helpers.h"

#include <initializer_list>
#include <iterator>

namespace {

// The rules through the headers, in dialog units of the template.
constexpr HeadingRule kHeaderRules[] = {{IDC_GENERAL_ICON_HEADER, 24},
                                        {IDC_GENERAL_PERCEIVED_HEADER, 84},
                                        {IDC_GENERAL_CONTENT_HEADER, 128}};
constexpr int kRuleLeft = 2;
constexpr int kRuleRight = 296;

FontOwner HeaderFont;

void AddChoice(HWND combo, const char* text) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void TakePageControls(HWND page) {
    GeneralPage.LargeIcon = GetDlgItem(page, IDC_GENERAL_LARGEICON);
    GeneralPage.SmallIcon = GetDlgItem(page, IDC_GENERAL_SMALLICON);
    GeneralPage.IconFile = GetDlgItem(page, IDC_GENERAL_ICONFILE);
    GeneralPage.IconPath = GetDlgItem(page, IDC_GENERAL_ICONPATH);
    GeneralPage.Description = GetDlgItem(page, IDC_GENERAL_DESCRIPTION);
    GeneralPage.ContentCombo = GetDlgItem(page, IDC_GENERAL_CONTENT_COMBO);
    GeneralPage.PerceivedCombo = GetDlgItem(page, IDC_GENERAL_PERCEIVED_COMBO);
    GeneralPage.ContentCurrent = GetDlgItem(page, IDC_GENERAL_CONTENT_CURRENT);
    GeneralPage.PerceivedCurrent = GetDlgItem(page, IDC_GENERAL_PERCEIVED_CURRENT);
}

void OnInitDialog(HWND page) {
    ZeroPageChangedFlags();
    ShowHeadings(page, &HeaderFont, kHeaderRules, std::size(kHeaderRules));
    TakePageControls(page);
}

// The icons the page shows are released with it: those the icon picker made
// are destroyed, those handed over from the details pane stay with the pane.
void OnDestroy() {
    SetEditorIcon(GeneralPage.LargeIcon, nullptr);
    SetEditorIcon(GeneralPage.SmallIcon, nullptr);
    HeaderFont.reset();
}

void OnPerceivedChoice() {
    FillWords(EditBuffer.PerceivedType, sizeof EditBuffer.PerceivedType, 0);
    SendMessageA(GeneralPage.PerceivedCombo, WM_GETTEXT, sizeof EditBuffer.PerceivedType,
                 reinterpret_cast<LPARAM>(EditBuffer.PerceivedType));
    SetWindowTextA(GeneralPage.PerceivedCurrent, EditBuffer.PerceivedType);
    Changed.PerceivedType = 1;
}

void OnContentChoice() {
    char text[kTextSize] = {};
    SendMessageA(GeneralPage.ContentCombo, WM_GETTEXT, kTextSize, reinterpret_cast<LPARAM>(text));
    FillWords(EditBuffer.ContentType, sizeof EditBuffer.ContentType, 0);
    SetWindowTextA(GeneralPage.ContentCurrent, text);
    Changed.ContentType = 1;
    CopyTextBounded(text, EditBuffer.ContentType, sizeof EditBuffer.ContentType);
}

void OnCommand(HWND page, WPARAM wParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDC_GENERAL_CHANGEICON && code == BN_CLICKED)
        BrowseForIcons(page);
    else if (id == IDC_GENERAL_PERCEIVED_COMBO && code == CBN_SELCHANGE)
        OnPerceivedChoice();
    else if (id == IDC_GENERAL_CONTENT_COMBO && code == CBN_SELCHANGE)
        OnContentChoice();
}

void OnPaint(HWND page) {
    PaintScope paint(page);
    DrawHeadingRules(page, paint.dc(), HeaderFont.get(), kHeaderRules, std::size(kHeaderRules),
                     kRuleLeft, kRuleRight);
}

} // namespace

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return TRUE;
    case WM_COMMAND:
        OnCommand(page, wParam);
        return TRUE;
    case WM_DPICHANGED_AFTERPARENT:
        // The heading at the new scale.
        ShowHeadings(page, &HeaderFont, kHeaderRules, std::size(kHeaderRules));
        InvalidateRect(page, nullptr, TRUE);
        return TRUE;
    case WM_PAINT:
        OnPaint(page);
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    default:
        return FALSE;
    }
}

void FillPerceivedTypes() {
    if (ExtensionRecord.NoneAllowed == 1)
        AddChoice(GeneralPage.PerceivedCombo, kTextNoneMarker);
    for (const char* type : kPerceivedTypes)
        AddChoice(GeneralPage.PerceivedCombo, type);
}

void FillContentTypes() {
    RegKey database;
    RegistryOpenKey(HKEY_LOCAL_MACHINE, kContentTypeDatabaseKey, KEY_ENUMERATE_SUB_KEYS,
                    database.put());
    if (ExtensionRecord.NoneAllowed == 1)
        AddChoice(GeneralPage.ContentCombo, kTextNoneMarker);
    if (!database)
        return;
    for (DWORD index = 0;; ++index) {
        char name[kTextSize] = {};
        DWORD length = kTextSize;
        if (RegistryEnumKey(database.get(), index, name, &length) != ERROR_SUCCESS)
            return;
        AddChoice(GeneralPage.ContentCombo, name);
    }
}
