// The Problems window (dialog 9200): the check of the file types on a worker
// thread under the window's own progress, which Stop cuts short; the findings
// grouped by kind with their counts, each explained; the selected ones
// mended after a preview of what goes (dialog 9300), as one change that Undo
// takes back.
#pragma once
#include "records/file_type.h"

#include <windows.h>

#include <string>
#include <vector>

// What the main window does once the Problems window has closed.
struct ProblemsOutcome {
    // The extensions whose own keys a mend changed, each once: where they
    // stand in the catalogue may have changed.
    std::vector<std::string> Mended;
    // The type to show in the main window, "" for none, and the action to
    // open its editor on, "" for none.
    std::string Extension;
    std::string Action;
};

// Runs the window modally over owner, for the mode's types.
ProblemsOutcome RunProblemsWindow(HWND owner, RunMode mode);
