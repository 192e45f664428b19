// The action dialog (1950): one action of the Actions page, new or edited.
#pragma once
#include "records/file_type.h"

#include <windows.h>

// Shows action in the dialog over owner; on OK, true with action holding what
// the person left there. A new action (isNew) needs a verb that type does
// not have yet; an existing one keeps its verb.
bool RunActionDialog(HWND owner, const FileType& type, FileAction* action, bool isNew);
