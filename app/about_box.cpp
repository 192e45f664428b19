// The About box: a bold title and two links handed to the shell.
#include "app/about_box.h"

#include "platform/handles.h"
#include "ui/app_ui.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"
#include "ui/window_helpers.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

constexpr LONG kTitleFontHeight = -16;

FontOwner TitleFont;

void OpenAboutBox(HWND dialog) {
    TitleFont.reset(CreateBoldFont(dialog, kHeadingFace, kTitleFontHeight));
    SendMessageA(GetDlgItem(dialog, IDC_ABOUT_TITLE), WM_SETFONT,
                 reinterpret_cast<WPARAM>(TitleFont.get()), FALSE);
}

// A link is followed on a click and on Enter; failures are not reported.
INT_PTR FollowLink(const NMHDR* header) {
    if (header->code != NM_CLICK && header->code != NM_RETURN)
        return TRUE;
    const char* target = nullptr;
    if (header->idFrom == IDC_ABOUT_HOMEPAGE)
        target = kHomePageAddress;
    else if (header->idFrom == IDC_ABOUT_CONTACT)
        target = kContactMailto;
    if (target)
        ShellExecuteA(nullptr, kLinkVerb, target, nullptr, nullptr, SW_SHOW);
    return TRUE;
}

void CloseAboutBox(HWND dialog) {
    TitleFont.reset();
    EndDialog(dialog, 0);
}

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OpenAboutBox(dialog);
        return TRUE;
    case WM_COMMAND:
        // Escape and Enter close the box.
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)
            CloseAboutBox(dialog);
        return TRUE;
    case WM_NOTIFY:
        return FollowLink(reinterpret_cast<const NMHDR*>(lParam));
    case WM_CLOSE:
        CloseAboutBox(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void RunAboutBox(HWND owner) {
    DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutBoxProc, 0);
}
