// The default associations of this machine, for the default associations
// file: the effective default of each extension, and what the machine makes
// of an association a file gives. No window.
#pragma once
#include "defaults/default_associations.h"
#include "records/file_type.h"

#include <string>
#include <vector>

// Each extension's effective default in the mode: the user's choice where it
// holds, else its class; the program named as the shell names it. An
// extension without a class that exists has none and is left out.
std::vector<DefaultAssociation> CurrentDefaults(RunMode mode,
                                                const std::vector<std::string>& extensions);

// Whether the machine can honour an association: its class exists, and the
// program of the action a double-click on its files runs is on disk.
enum class DefaultVerdict { Honoured, NoClass, NothingToRun, ProgramMissing };
std::vector<DefaultVerdict> JudgeDefaults(const std::vector<DefaultAssociation>& associations,
                                          RunMode mode);
