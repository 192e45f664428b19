// Mending the check's findings: what a mend removes, said before it happens,
// then removed as one change that Undo takes back. A mend writes the mode's
// own hive alone (the user's keys in user mode, the machine's in admin mode),
// as every other change of the mode does.
#pragma once
#include "checks/checks.h"
#include "records/file_type.h"
#include "writer/undo.h"

#include <string>
#include <vector>

// Whether a mend in mode removes the finding's value or key: its mend removes
// something, from the mode's hive.
bool Removable(const Finding& finding, RunMode mode);
// What the mend of a removable finding removes, for a person: "the default
// value of HKEY_...\..."; an entry of an Open With list takes its letter out
// of the list's order with it.
std::string MendText(const Finding& finding);
// Removes what MendText says of each removable finding, and nothing else, as
// one change titled "Mend 3 problems". Done, and no change made, where none
// is removable.
ChangeOutcome MendFindings(const std::vector<Finding>& findings, RunMode mode);
