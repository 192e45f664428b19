#include "harness/editor_driver.h"

#include "resources/resource.h"

#include <gtest/gtest.h>

namespace kvt {

namespace {

HWND EditorFromList(User& user, HWND list, const std::string& extension) {
    const int index = User::ListFind(list, extension);
    EXPECT_GE(index, 0) << extension << " is not in the list";
    if (index < 0)
        return nullptr;
    user.DoubleClickListItem(list, index);
    return WaitForEditor(user);
}

} // namespace

HWND WaitForEditor(User& user) {
    return user.WaitForDialogWith(IDC_EDITOR_TABS);
}

HWND EditorPage(HWND editor, int id) {
    for (HWND page = GetWindow(editor, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (GetDlgItem(page, id))
            return page;
    ADD_FAILURE() << "no page of the editor holds control " << id;
    return nullptr;
}

HWND EditorControl(HWND editor, int id) {
    HWND page = EditorPage(editor, id);
    return page ? GetDlgItem(page, id) : nullptr;
}

HWND CustomizeFromList(User& user, HWND mainWindow, const std::string& extension) {
    return EditorFromList(user, GetDlgItem(mainWindow, IDC_MAIN_LIST), extension);
}

HWND EditFromAdminList(User& user, HWND mainWindow, const std::string& extension) {
    return EditorFromList(user, GetDlgItem(mainWindow, IDC_ADMIN_LIST), extension);
}

HWND EditFromTree(User& user, HWND mainWindow, const std::string& extension) {
    HWND tree = GetDlgItem(mainWindow, IDC_MAIN_TREE);
    HTREEITEM item = User::TreeFind(tree, extension);
    EXPECT_NE(nullptr, item) << extension << " is not in the tree";
    if (!item)
        return nullptr;
    user.DoubleClickTreeItem(tree, item);
    return WaitForEditor(user);
}

HWND ShowEditorPage(User& user, HWND editor, int tab) {
    const int pageControls[] = {IDC_GENERAL_DESCRIPTION, IDC_OPENSWITH_ARGS, IDC_EDITFLAGS_FIRST};
    HWND page = EditorPage(editor, pageControls[tab]);
    user.SelectTab(GetDlgItem(editor, IDC_EDITOR_TABS), tab);
    EXPECT_TRUE(user.WaitUntil([&] { return IsWindowVisible(page) != FALSE; }))
        << "page " << tab << " is not shown";
    return page;
}

bool IsChecked(HWND box) {
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MoveCaretToEnd(HWND edit) {
    const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    SendMessageA(edit, EM_SETSEL, length, length);
}

} // namespace kvt
