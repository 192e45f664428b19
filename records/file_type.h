// A file type as one plain value: what the registry and the shell's
// association answers hold for an extension, each field with where it was
// read. Readers return it, the windows show it and put what a person types
// back into it, the writers take the record as read and as edited. A field
// that is not there is absent; the words the windows show for that are
// theirs alone.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Where a field was read: the user's keys (their classes, or the shell's
// answer from them), the machine's, or nowhere. Typed marks what a person
// (or a script) put in, not yet written.
enum class Source { Absent, User, Machine, Typed };

struct TextField {
    std::string Text;
    Source From = Source::Absent;
    bool Present() const { return From != Source::Absent; }
    bool operator==(const TextField& other) const {
        return Present() == other.Present() && (!Present() || Text == other.Text);
    }
    bool operator!=(const TextField& other) const { return !(*this == other); }
};

struct NumberField {
    uint32_t Value = 0;
    Source From = Source::Absent;
    bool Present() const { return From != Source::Absent; }
    bool operator==(const NumberField& other) const {
        return Present() == other.Present() && (!Present() || Value == other.Value);
    }
    bool operator!=(const NumberField& other) const { return !(*this == other); }
};

// One action (verb) of the class: a key below its "shell" key.
struct FileAction {
    std::string Verb;
    Source From = Source::Absent; // the hive its key was read from
    TextField DisplayName;        // the key's default value
    TextField MuiVerb;            // the text the shell shows first
    TextField Command;            // "command"'s default value
    bool HasDde = false;          // it has a "ddeexec" key
    TextField DdeCommand;         // "ddeexec"'s default value
    TextField DdeApplication;     // "ddeexec\Application"'s
    TextField DdeTopic;           // "ddeexec\Topic"'s
    bool Delegated = false;       // a "DelegateExecute" or "DropTarget" runs it
};

// What a double-click runs, as the shell finds it: the default action of the
// class that decides (in user mode the one the user chose, where it holds).
struct FileOpener {
    std::string Verb;
    TextField Command;
    TextField Program;   // the program's file (on disk in user mode)
    TextField Name;      // the program's friendly name
    TextField Arguments; // what the command gives the program
    bool HasDde = false;
};

struct FileType {
    std::string Extension; // with its leading "."
    bool InUserHive = false;
    bool InMachineHive = false;
    TextField Class;          // the extension key's default value, else its first OpenWithProgIDs
    bool ClassExists = false; // the class has a key of its own
    TextField Description;    // the class's default value
    TextField TypeName;       // what the shell calls files of the type
    TextField IconLocation;   // the default icon as stored, nothing expanded
    TextField PerceivedType;
    TextField ContentType;
    NumberField EditFlags;
    std::vector<FileAction> Actions;       // in the registry's order
    TextField DefaultVerb;                 // the "shell" key's default value
    std::vector<std::string> OpenWithList; // the user's programs for it, most recent first
    TextField UserChoice; // the class the user chose for it, where that class exists
    FileOpener Opens;
};

// How a program runs: for the current user alone, or for the machine.
enum class RunMode { User, Admin };

// The command that opened the property editor.
constexpr uint32_t kEditorEdit = 10005;
constexpr uint32_t kEditorCreate = 10010;
constexpr uint32_t kEditorCustomize = 10014;

// What a person touched in the editor, each 0 or 1: a field typed into or
// chosen counts, even where it reads as before, and is written again.
struct ChangedFlags {
    uint32_t Icon = 0;
    uint32_t PerceivedType = 0;
    uint32_t ContentType = 0;
    uint32_t Program = 0;
    uint32_t Description = 0;
    uint32_t Args = 0;
    uint32_t DdeApplication = 0;
    uint32_t DdeTopic = 0;
    uint32_t DdeCommand = 0;
    uint32_t EditFlags = 0;
    uint32_t OpenWithList = 0;
    uint32_t Actions = 0;
};

// A save: the record as read and as edited, what was touched, and the
// command that asked for it (EditorMode: edit, create or customize).
struct FileTypeSave {
    uint32_t EditorMode = kEditorEdit;
    FileType Read;
    FileType Edited;
    ChangedFlags Changed;
};
