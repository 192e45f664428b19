#include "editor/editor_state.h"

DWORD EditorMode;
DWORD EditorDiscarded;
ChangedFlags Changed;
EditBufferRecord EditBuffer;
GeneralPageRecord GeneralPage;
OpensWithPageRecord OpensWithPage;

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
           Changed.DdeCommand || Changed.EditFlags || Changed.OpenWithList;
}
