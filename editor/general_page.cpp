// The General page: its lists, the choices made in them, "Change..." and the
// rules beside its bold headers.
#include "editor/general_page.h"

#include "app/window_helpers.h"
#include "details/extension_record.h"
#include "editor/editor_state.h"
#include "editor/icon_picker.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"

#include <initializer_list>

namespace {

constexpr char kHeaderFace[] = "MS Sans Serif";

// The rules beside the headers, in dialog units of the template: each in two
// pieces, from the left margin to just before the header and from just after
// it to the right margin.
struct HeaderRule {
    int header;
    int y;
};
constexpr HeaderRule kHeaderRules[] = {{IDC_GENERAL_ICON_HEADER, 24},
                                       {IDC_GENERAL_PERCEIVED_HEADER, 84},
                                       {IDC_GENERAL_CONTENT_HEADER, 128}};
constexpr int kRuleLeft = 2;
constexpr int kRuleRight = 296;
constexpr int kRuleGap = 2;

HFONT HeaderFont;

void AddChoice(HWND combo, const char* text) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void DeleteHeaderFont() {
    if (HeaderFont)
        DeleteObject(HeaderFont);
    HeaderFont = nullptr;
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
    DeleteHeaderFont();
    LOGFONTA font = {};
    font.lfHeight = -12;
    font.lfWeight = FW_BOLD;
    CopyTextBounded(kHeaderFace, font.lfFaceName, LF_FACESIZE);
    HeaderFont = CreateFontIndirectA(&font);
    for (const HeaderRule& rule : kHeaderRules)
        SendDlgItemMessageA(page, rule.header, WM_SETFONT, reinterpret_cast<WPARAM>(HeaderFont),
                            FALSE);
    TakePageControls(page);
}

// The icons the page shows are released with it: those the icon picker made
// are destroyed, those handed over from the details pane stay with the pane.
void OnDestroy() {
    SetEditorIcon(GeneralPage.LargeIcon, nullptr);
    SetEditorIcon(GeneralPage.SmallIcon, nullptr);
    DeleteHeaderFont();
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

void DrawHeaderRule(HWND page, HDC dc, const HeaderRule& rule) {
    HWND header = GetDlgItem(page, rule.header);
    RECT bounds;
    GetWindowRect(header, &bounds);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&bounds), 2);
    // The right piece starts after the header's text, which may be narrower
    // than its control.
    char text[kTextSize] = {};
    GetWindowTextA(header, text, kTextSize);
    SIZE extent = {};
    HGDIOBJ previous = SelectObject(dc, HeaderFont);
    GetTextExtentPoint32A(dc, text, static_cast<int>(TextLength(text)), &extent);
    SelectObject(dc, previous);
    RECT line = {kRuleLeft, rule.y, kRuleRight, 0};
    MapDialogRect(page, &line);
    RECT gap = {kRuleGap, 0, 0, 0};
    MapDialogRect(page, &gap);
    DrawEtchedLine(dc, line.left, bounds.left - gap.left, line.top);
    DrawEtchedLine(dc, bounds.left + extent.cx + gap.left, line.right, line.top);
}

void OnPaint(HWND page) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(page, &paint);
    for (const HeaderRule& rule : kHeaderRules)
        DrawHeaderRule(page, dc, rule);
    EndPaint(page, &paint);
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
