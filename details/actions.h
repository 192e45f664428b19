// The actions (verbs) of a file type: read from its class's "shell" key, and
// the rules the Actions page follows over them, on plain data.
#pragma once
#include "records/editor_state.h"

#include <windows.h>

#include <string>

// The actions of CurrentExtension's class into actions: in user mode from the
// merged classes view (root HKEY_CLASSES_ROOT), in admin mode from the
// machine's classes (root HKEY_LOCAL_MACHINE), in the registry's order, with
// the "shell" key's default value. An extension without a class has none.
void ReadExtensionActions(HKEY root, ActionsRecord* actions);

// What a person sees for an action, as the shell shows it: its MUIVerb,
// resolved where indirect, else its display name, else its verb; a single
// "&" (a menu's mnemonic) is not shown, "&&" shows as "&".
std::string ShownActionText(const std::string& muiVerb, const std::string& displayName,
                            const std::string& verb);

bool IsOpenVerb(const std::string& verb);
// The index of the action with that verb (any letter case); -1 for none.
int FindAction(const ActionsRecord& actions, const std::string& verb);
// The action a double-click runs: the one Default names, else "open", else
// the first; -1 when there is none.
int DefaultAction(const ActionsRecord& actions);
// Whether Default names an action the class does not have.
bool DefaultIsMissing(const ActionsRecord& actions);
// Makes the action at index the default: Default names it, or is cleared
// where the shell takes that action without a name.
void SetDefaultAction(ActionsRecord* actions, int index);
// Takes the action at index away; a stored one's key goes on Save, and a
// Default that names it is cleared.
void RemoveAction(ActionsRecord* actions, int index);

// Why a verb cannot name a new action.
enum class ActionNameRefusal { None, Empty, Backslash, Taken };
ActionNameRefusal CheckActionName(const ActionsRecord& actions, const std::string& verb);
