// The actions (verbs) of a file type: the rules the Actions page and the
// writers follow over a record's actions.
#pragma once
#include "records/file_type.h"

#include <string>

// What a person sees for an action, as the shell shows it: its MUIVerb,
// resolved where indirect, else its display name, else its verb; a single
// "&" (a menu's mnemonic) is not shown, "&&" shows as "&".
std::string ShownActionText(const std::string& muiVerb, const std::string& displayName,
                            const std::string& verb);
std::string ShownActionText(const FileAction& action);

bool IsOpenVerb(const std::string& verb);
// The index of the action with that verb (any letter case); -1 for none.
int FindAction(const FileType& type, const std::string& verb);
// The action a double-click runs: the one DefaultVerb names, else "open",
// else the first; -1 when there is none.
int DefaultAction(const FileType& type);
// Whether DefaultVerb names an action the type does not have.
bool DefaultIsMissing(const FileType& type);
// Makes the action at index the default: DefaultVerb names it, or is absent
// where the shell takes that action without a name.
void SetDefaultAction(FileType* type, int index);
// Takes the action at index away; a DefaultVerb that names it goes too.
void RemoveAction(FileType* type, int index);

// Why a verb cannot name a new action.
enum class ActionNameRefusal { None, Empty, Backslash, Taken };
ActionNameRefusal CheckActionName(const FileType& type, const std::string& verb);
