#include "harness/link_control.h"

#include <commctrl.h>

namespace kvt {

bool ClickLink(HWND link) {
    RECT client = {};
    GetClientRect(link, &client);
    for (LONG y = client.top; y < client.bottom; y += 2) {
        for (LONG x = client.left; x < client.right; x += 2) {
            LHITTESTINFO hit = {};
            hit.pt = {x, y};
            if (!SendMessageA(link, LM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) ||
                hit.item.iLink != 0)
                continue;
            const LPARAM at = MAKELPARAM(x, y);
            PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageA(link, WM_LBUTTONUP, 0, at);
            return true;
        }
    }
    return false;
}

} // namespace kvt
