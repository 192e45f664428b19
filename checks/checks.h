// The check of the registered file types: every broken piece the shell
// stumbles over, found from the registry and the disk alone, each with what
// a mend would remove. Nothing here touches a window; the check may run on
// any thread.
//
// Only what is surely broken is reported: a program or icon file counts as
// there wherever the shell could find it, and a command the check cannot
// judge (the file runs itself, a variable this process does not know, a
// packaged app's action) is never reported.
#pragma once
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

enum class FindingKind {
    MissingClass,           // an extension names a class that does not exist, and has no
                            // OpenWithProgids class to fall back on
    MissingDefaultAction,   // a class's "shell" default value names none of its actions
    ActionWithoutCommand,   // an action with nothing to run
    MissingProgram,         // the program of an action's command (or rundll32's library)
    MissingIconFile,        // the file of a DefaultIcon
    DanglingUserChoice,     // the user's choice names a class that does not exist
    DanglingOpenWithProgId, // an OpenWithProgids value names a class that does not exist
    MissingOpenWithProgram, // the program of an entry of the user's Open With list
    MissingApplication,     // the program of an Applications key's command
    EmptyUserExtension,     // the user's key of an extension holds nothing
};
constexpr int kFindingKindCount = 10;

enum class MendKind {
    RemoveValue, // the value ValueName of Hive\KeyPath goes
    RemoveKey,   // Hive\KeyPath goes, with everything below it
    EditAction,  // the editor opens on the action whose key or command key is KeyPath
};

struct Finding {
    FindingKind Kind;
    std::string Extension; // or a link type's scheme; empty for an application
    std::string Class;     // the class, or "Applications\<program>"; empty where there is none
    HKEY Hive;             // HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE: where KeyPath is stored
    std::string KeyPath;   // below Hive
    std::string ValueName; // "" for the default value, and for RemoveKey and EditAction
    std::string Missing;   // what is not there: a class, an action, a command, an icon location
    const char* Sentence;  // what the shell does because of it (resources/texts.h)
    MendKind Mend;
};

// What each kind is: its name on the command line ("missing-class"), its
// heading in the Problems window, what the shell does because of it
// (resources/texts.h) and its mend.
struct FindingKindFacts {
    const char* Name;
    const char* Heading;
    const char* Sentence;
    MendKind Mend;
};
const FindingKindFacts& FactsOf(FindingKind kind);
// The kind a name stands for; false for none.
bool FindingKindNamed(const std::string& name, FindingKind* kind);

// The verb of the action a finding of EditAction is about, from its key.
std::string ActionVerb(const Finding& finding);

// Called after each extension, each class (a link type is checked as one),
// each entry of the user's Explorer lists and each application checked,
// with how many of them there are; the check stops when it returns false.
using CheckProgress = std::function<bool(size_t done, size_t total)>;

// Every finding of the mode, in the registry's order: user mode (adminMode
// 0) through the merged classes view, with the user's Explorer lists (the
// choice of program, Open With) and the user's own extension keys; admin
// mode in the machine's classes alone. False when progress stopped the
// check; findings then holds what was found until then.
bool CheckFileTypes(int adminMode, std::vector<Finding>* findings,
                    const CheckProgress& progress = nullptr);
