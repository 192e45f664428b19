// The command line of the console program: a command, its options and its
// operands, read from the arguments as given, and checked against what each
// command takes. Nothing here reads the registry.
#pragma once
#include "cli/table_output.h"
#include "records/file_type.h"

#include <map>
#include <set>
#include <string>
#include <vector>

struct Invocation {
    std::string Command; // "list", ..., or "defaults export" / "defaults check"
    RunMode Mode = RunMode::User;
    OutputFormat Format = OutputFormat::Text;
    bool Help = false;
    std::map<std::string, std::string> Values; // "--description" -> its text
    std::set<std::string> Flags;               // "--dry-run", "--all"
    std::vector<std::string> Operands;
    // Why the arguments cannot be run; empty when they can.
    std::string Error;
};

// The arguments after the program's name, as UTF-8.
Invocation ReadInvocation(const std::vector<std::string>& arguments);

// An extension as typed ("txt" or ".txt") as its key's name (".txt"), or a
// link type as typed with its colon ("mailto:") as its scheme ("mailto");
// false, with why in error, for a name the main window refuses too.
bool ExtensionOperand(const std::string& text, std::string* extension, std::string* error);

// The help of a command ("" for the program's own).
std::string HelpText(const std::string& command);
