#include "harness/file_dialog.h"

#include <dlgs.h>
#include <gtest/gtest.h>

namespace kvt {

namespace {

bool ClassIs(HWND window, const char* name) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

// The first visible descendant of parent with this class.
HWND FindDescendant(HWND parent, const char* className) {
    struct Search {
        const char* className;
        HWND found;
    } search = {className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) {
            auto* search = reinterpret_cast<Search*>(data);
            if (IsWindowVisible(child) && ClassIs(child, search->className)) {
                search->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    ASSERT_NE(nullptr, button) << "the file dialog has no button " << id;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

} // namespace

HWND FileDialogNameEdit(HWND fileDialog) {
    // Windows puts the name in an edit inside combo box cmb13; Wine uses edit
    // edt1; either way it is an edit below the dialog.
    HWND control = GetDlgItem(fileDialog, edt1);
    if (control && ClassIs(control, "Edit"))
        return control;
    control = GetDlgItem(fileDialog, cmb13);
    if (control) {
        HWND edit = FindWindowExA(control, nullptr, "Edit", nullptr);
        if (edit)
            return edit;
    }
    return FindDescendant(fileDialog, "Edit");
}

std::vector<std::string> FileDialogTypes(HWND fileDialog) {
    HWND types = GetDlgItem(fileDialog, cmb1);
    if (!types)
        return {};
    return User::ComboTexts(types);
}

void ChooseFileInDialog(User& user, HWND fileDialog, const std::string& path) {
    ASSERT_NE(nullptr, fileDialog);
    HWND edit = FileDialogNameEdit(fileDialog);
    ASSERT_NE(nullptr, edit) << "the file dialog has no file-name edit";
    user.SetText(edit, path);
    PressButton(fileDialog, IDOK);
    user.WaitGone(fileDialog);
}

void CancelFileDialog(User& user, HWND fileDialog) {
    ASSERT_NE(nullptr, fileDialog);
    PressButton(fileDialog, IDCANCEL);
    user.WaitGone(fileDialog);
}

} // namespace kvt
