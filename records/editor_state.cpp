// The property editor's process-wide state.
#include "records/editor_state.h"

#include "records/extension_record.h"

#include <initializer_list>

DWORD EditorMode;
DWORD EditorDiscarded;
ChangedFlags Changed;
EditBufferRecord EditBuffer;
GeneralPageRecord GeneralPage;
OpensWithPageRecord OpensWithPage;
EditFlagsPageRecord EditFlagsPage;
HMENU RecentListMenu;
ActionsRecord Actions;

void ZeroPageChangedFlags() {
    Changed.Icon = 0;
    Changed.PerceivedType = 0;
    Changed.ContentType = 0;
    Changed.Program = 0;
    Changed.Description = 0;
    Changed.Args = 0;
    Changed.DdeApplication = 0;
    Changed.DdeTopic = 0;
    Changed.DdeCommand = 0;
}

bool AnyChanged() {
    return Changed.Icon || Changed.PerceivedType || Changed.ContentType || Changed.Program ||
           Changed.Description || Changed.Args || Changed.DdeApplication || Changed.DdeTopic ||
           Changed.DdeCommand || Changed.EditFlags || Changed.OpenWithList || Changed.Actions;
}

void SetEditorIcon(HWND control, HICON icon) {
    auto replaced = reinterpret_cast<HICON>(
        SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
    if (!replaced || replaced == icon)
        return;
    for (HWND pane : {DetailsPane.LargeIcon, DetailsPane.SmallIcon, DetailsPane.ProgramIcon})
        if (pane && reinterpret_cast<HICON>(SendMessageA(pane, STM_GETICON, 0, 0)) == replaced)
            return;
    DestroyIcon(replaced);
}
