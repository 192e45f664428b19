// The console program's commands, each on the same readers and writers as
// the windows.
#pragma once
#include "cli/command_line.h"

// The exit statuses.
enum ExitStatus : int {
    kExitDone = 0,
    kExitFindings = 1, // done with findings, or nothing to change
    kExitBadInput = 2, // bad usage or input; nothing written
    kExitRefused = 3,  // a write refused; nothing half written
};

int RunInvocation(const Invocation& invocation);

// The commands on file types, and on the default associations file.
int RunList(const Invocation& invocation);
int RunShow(const Invocation& invocation);
int RunSet(const Invocation& invocation);
int RunDeleteOrRestore(const Invocation& invocation);
int RunExport(const Invocation& invocation);
int RunDefaultsExport(const Invocation& invocation);
int RunDefaultsCheck(const Invocation& invocation);
// The check of the file types: its findings, or some kinds of them mended.
int RunProblems(const Invocation& invocation);

// The extension operand, read for the mode; false (and why said) where it
// cannot name a registered type.
bool ReadOperandType(const Invocation& invocation, FileType* type);
// Whether the process may write the machine's classes; where it may not,
// why is said.
bool MayWriteMode(const Invocation& invocation);
// Tells the shell that associations changed.
void AnnounceChange();
