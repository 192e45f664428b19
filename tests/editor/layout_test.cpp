// The editor's templates at the program's fonts: no label, heading, button or
// check box text is cut.
#include "harness/editor_driver.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kvt::User;

class EditorLayout : public kvt::RegistryTest {};

bool HasClass(HWND window, const char* name) {
    char type[64] = {};
    GetClassNameA(window, type, sizeof type);
    return lstrcmpiA(type, name) == 0;
}

// Width the control's text needs in its own font, in pixels, beside what the
// control draws besides the text (a check box's box).
int NeededWidth(HWND control) {
    const std::string text = User::Text(control);
    HDC dc = GetDC(control);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT rect = {};
    DrawTextA(dc, text.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (HasClass(control, "Button") && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
        return rect.right + GetSystemMetrics(SM_CXMENUCHECK) + 4;
    return rect.right;
}

// Texts the template fixes (values shown with an ellipsis are not).
bool IsFixedText(HWND control) {
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (HasClass(control, "Static"))
        return (style & SS_TYPEMASK) != SS_ICON && !(style & SS_ELLIPSISMASK) &&
               !User::Text(control).empty();
    return HasClass(control, "Button");
}

void ExpectTextsFit(HWND dialog) {
    for (HWND control = GetWindow(dialog, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
        if (!IsFixedText(control))
            continue;
        RECT client;
        GetClientRect(control, &client);
        EXPECT_LE(NeededWidth(control), client.right)
            << "\"" << User::Text(control) << "\" (control " << GetDlgCtrlID(control) << ") is cut";
    }
}

TEST_F(EditorLayout, NoTextOfTheEditorIsCut) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtlay", "kvtlayfile", "Layout", "");
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND editor = kvt::CustomizeFromList(user, window, ".kvtlay");
        ASSERT_NE(nullptr, editor);
        ExpectTextsFit(editor);
        for (int id : {IDC_GENERAL_DESCRIPTION, IDC_OPENSWITH_ARGS, IDC_EDITFLAGS_FIRST}) {
            SCOPED_TRACE("page with control " + std::to_string(id));
            ExpectTextsFit(kvt::EditorPage(editor, id));
        }
        user.Click(editor, IDC_EDITOR_CANCEL);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
}

} // namespace
