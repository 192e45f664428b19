// The Edit-flags page (dialog 1800, tab "Edit Flags"): one check box per
// EditFlags bit that has one. The bits without a box stay in the record, so
// that a save keeps them.
#include "details/edit_flags.h"
#include "editor/editor.h"
#include "resources/resource.h"

namespace {

// A click on any box; checking and unchecking again still counts.
void OnBoxClicked(HWND page, int id) {
    Editor& editor = EditorOf(page);
    const int box = id - IDC_EDITFLAGS_FIRST;
    if (box < 0 || box >= kEditFlagBoxCount)
        return;
    NumberField& flags = editor.Save.Edited.EditFlags;
    const uint32_t bit = EditFlagBits[box];
    const uint32_t bits =
        IsDlgButtonChecked(page, id) == BST_CHECKED ? flags.Value | bit : flags.Value & ~bit;
    flags = {bits, Source::Typed};
    editor.Save.Changed.EditFlags = 1;
}

} // namespace

INT_PTR CALLBACK EditFlagsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        TakeEditor(page, lParam);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            OnBoxClicked(page, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

void ShowEditFlagsPage(Editor& editor) {
    const NumberField& flags = editor.Save.Edited.EditFlags;
    for (int box = 0; box < kEditFlagBoxCount; ++box)
        CheckDlgButton(editor.Pages[kEditFlagsPage], IDC_EDITFLAGS_FIRST + box,
                       flags.Present() && (flags.Value & EditFlagBits[box]) ? BST_CHECKED
                                                                            : BST_UNCHECKED);
}
