// The Edit-flags page: takes its boxes and records that the user touched one.
#include "editor/edit_flags_page.h"

#include "details/edit_flags.h"
#include "records/editor_state.h"
#include "resources/resource.h"

namespace {

void OnInitDialog(HWND page) {
    for (int box = 0; box < kEditFlagBoxCount; ++box)
        EditFlagsPage.Boxes[box] = GetDlgItem(page, IDC_EDITFLAGS_FIRST + box);
    EditFlagsPage.UnboxedBits = 0;
    Changed.EditFlags = 0;
}

} // namespace

INT_PTR CALLBACK EditFlagsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return TRUE;
    case WM_COMMAND:
        // A click on any box; checking and unchecking again still counts.
        if (HIWORD(wParam) == BN_CLICKED)
            Changed.EditFlags = 1;
        return TRUE;
    default:
        return FALSE;
    }
}
