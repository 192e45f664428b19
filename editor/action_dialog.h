// The action dialog (1950): one action of the Actions page, new or edited.
#pragma once
#include "records/editor_state.h"

#include <windows.h>

// Shows action in the dialog over owner; on OK, true with action holding what
// the user left there, each part that changed marked for Save. A new action
// (isNew) needs a verb that actions does not have yet; an existing one keeps
// its verb.
bool RunActionDialog(HWND owner, const ActionsRecord& actions, ActionRecord* action, bool isNew);
