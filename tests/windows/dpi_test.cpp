// At the prefix's scale (96 and, by test.sh, 144 dots per inch): no label's
// text wider than its control, and the pane's icons at the system's sizes.
#include "harness/kvt.h"
#include "resources/resource.h"

namespace {

using kvt::User;

// The visible labels of window whose text is wider than the label.
std::vector<std::string> ClippedLabels(HWND window) {
    std::vector<std::string> clipped;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE), type = style & SS_TYPEMASK;
        char kind[16] = {};
        GetClassNameA(child, kind, sizeof kind);
        for (const std::string& label :
             lstrcmpA(kind, "#32770") ? std::vector<std::string>() : ClippedLabels(child))
            clipped.push_back(label);
        if (lstrcmpiA(kind, "Static") || !IsWindowVisible(child) || (style & SS_ELLIPSISMASK) ||
            (type > SS_RIGHT && type != SS_LEFTNOWORDWRAP))
            continue;
        std::wstring text = kvt::Wide(User::Text(child));
        for (size_t at; !(style & SS_NOPREFIX) && (at = text.find(L'&')) != std::wstring::npos;)
            text.erase(at, 1);
        HDC dc = GetDC(child);
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(child, WM_GETFONT, 0, 0)));
        SIZE extent = {};
        RECT client;
        GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
        ReleaseDC(child, dc);
        if (GetClientRect(child, &client) && extent.cx > client.right)
            clipped.push_back(User::Text(child));
    }
    return clipped;
}

int IconWidth(HWND control) {
    ICONINFO info = {};
    BITMAP bitmap = {};
    GetIconInfo(reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0)), &info);
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

class Dpi : public kvt::RegistryTest {};

TEST_F(Dpi, NothingClippedAndIconsAtTheSystemsSizes) {
    kvt::Seed("[HKLM\\Software\\Classes\\.kvtdpi]\n[HKCU\\Software\\Classes\\.kvtdpi]\n"
              "@=\"kvtdpifile\"\n[HKCU\\Software\\Classes\\kvtdpifile\\DefaultIcon]\n"
              "@=\"%SystemRoot%\\\\system32\\\\shell32.dll,1\"\n");
    for (int admin : {0, 1}) {
        kvt::RunMainWindow(admin, [&](User& user, HWND window) {
            EXPECT_EQ(std::vector<std::string>{}, ClippedLabels(window)) << "main window";
            if (!admin) {
                user.Act(GetDlgItem(window, IDC_MAIN_TREE), ".kvtdpi", 0);
                EXPECT_TRUE(user.Wait([&] {
                    return IconWidth(GetDlgItem(window, IDC_MAIN_LARGEICON)) ==
                               GetSystemMetrics(SM_CXICON) &&
                           IconWidth(GetDlgItem(window, IDC_MAIN_SMALLICON)) ==
                               GetSystemMetrics(SM_CXSMICON);
                })) << IconWidth(GetDlgItem(window, IDC_MAIN_LARGEICON));
            }
            HWND editor = kvt::OpenEditor(user, window, ".kvtdpi");
            HWND tabs = GetDlgItem(editor, IDC_EDITOR_TABS);
            for (int page = 0; page < TabCtrl_GetItemCount(tabs); ++page) {
                user.Select(tabs, page);
                user.Do([] {});
                EXPECT_EQ(std::vector<std::string>{}, ClippedLabels(editor)) << "page " << page;
            }
            user.Click(editor, IDC_EDITOR_CANCEL);
            user.WaitGone(editor);
        });
    }
}

} // namespace
