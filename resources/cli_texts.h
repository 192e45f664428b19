// The console program's own texts: its help and its messages.
#pragma once

constexpr const char* kCliPrefix = "kvel: ";

constexpr const char* kCliHelp =
    "KVEL's command line: the file types of this machine, listed, shown, set, deleted,\n"
    "restored, exported, checked and mended, and the default associations file that\n"
    "Group Policy and Intune deploy.\n"
    "\n"
    "  kvel list [PATTERN] [--links] [--group system|customized|defined] [--format F]\n"
    "  kvel show .EXT [--format F]\n"
    "  kvel set .EXT [--description TEXT] [--icon FILE,INDEX] [--perceived TYPE]\n"
    "                [--content TYPE] [--program PATH] [--args ARGS]\n"
    "                [--action VERB --command COMMAND [--name NAME]]\n"
    "                [--default-action VERB] [--remove-action VERB] [--dry-run]\n"
    "  kvel delete .EXT\n"
    "  kvel restore .EXT\n"
    "  kvel export (.EXT ... | --all) FILE.reg\n"
    "  kvel defaults export FILE.xml [--only .EXT,...]\n"
    "  kvel defaults check FILE.xml [--format F]\n"
    "  kvel problems [--kind KIND,...] [--format F]\n"
    "  kvel problems --mend KIND,... [--dry-run]\n"
    "\n"
    "Every command works on the current user's types (the user's keys over the\n"
    "machine's, as the shell merges them); --machine works on the machine's, for\n"
    "every user, and writing them needs an elevated prompt. F is text, csv, tsv or\n"
    "json. .EXT names an extension; a link type goes by its scheme and a colon\n"
    "(mailto:). \"kvel COMMAND --help\" says more of a command.\n"
    "\n"
    "Exit status: 0 done; 1 done with findings, or nothing to change; 2 bad usage or\n"
    "input; 3 a write refused (the key and the system's reason on standard error).\n";

constexpr const char* kCliHelpList =
    "kvel list [PATTERN] [--links] [--group system|customized|defined]\n"
    "          [--format text|csv|tsv|json] [--machine]\n"
    "\n"
    "One row per extension: Extension, Group (as the main window groups them: System,\n"
    "User Customized, User Defined), Class, TypeName (as the details pane shows it),\n"
    "PerceivedType, ContentType, Program and Command of the action a double-click\n"
    "runs, DefaultAction (its verb) and UserChoice. PATTERN matches the extension, *\n"
    "and ? as wildcards, without regard to case. A field that is not there is empty.\n"
    "--links lists the link types instead (the classes with \"URL Protocol\"), their\n"
    "first column Scheme.\n";

constexpr const char* kCliHelpShow =
    "kvel show .EXT [--format text|csv|tsv|json] [--machine]\n"
    "\n"
    "Everything the details pane shows of the extension, with every action (verb,\n"
    "name, command, DDE) and the programs of the user's Open With list in their\n"
    "order. A field that is not there is empty.\n";

constexpr const char* kCliHelpSet =
    "kvel set .EXT [options] [--dry-run] [--machine]\n"
    "\n"
    "  --description TEXT       the file type's description\n"
    "  --icon FILE,INDEX        its icon\n"
    "  --perceived TYPE         its perceived type (\"\" removes it)\n"
    "  --content TYPE           its content type (\"\" removes it)\n"
    "  --program PATH           the program of the \"open\" action\n"
    "  --args ARGS              the arguments of the \"open\" action\n"
    "  --action VERB --command COMMAND [--name NAME]\n"
    "                           an action, added or changed\n"
    "  --default-action VERB    the action a double-click runs\n"
    "  --remove-action VERB     an action taken away\n"
    "\n"
    "The same writers and rules as the property editor: in user mode a machine's type\n"
    "is customised as Customize does it, into the user's own keys. Nothing is written\n"
    "where nothing differs (exit status 1); --dry-run says what would change and\n"
    "writes nothing. A change the system refuses is put back whole (exit status 3).\n"
    "KVEL never writes the user's choice of program (UserChoice).\n";

constexpr const char* kCliHelpDelete =
    "kvel delete .EXT [--machine]\n"
    "\n"
    "In user mode removes an extension only the user has (\"User Defined\"), with its\n"
    "class; with --machine removes the machine's extension and its class for every\n"
    "user. A class another extension still names stays.\n";

constexpr const char* kCliHelpRestore =
    "kvel restore .EXT\n"
    "\n"
    "Removes the user's keys of a customised extension (\"User Customized\"), so that\n"
    "the machine's settings hold again.\n";

constexpr const char* kCliHelpExport =
    "kvel export (.EXT ... | --all) FILE.reg [--machine]\n"
    "\n"
    "Writes the types to a registry file, as the main window's Export does: in user\n"
    "mode the user's own keys of each (a type that is the machine's alone has none),\n"
    "with --machine the machine's. regedit and \"reg import\" bring it back.\n";

constexpr const char* kCliHelpDefaultsExport =
    "kvel defaults export FILE.xml [--only .EXT,...] [--machine]\n"
    "\n"
    "Writes the default associations file (the XML of \"Dism /Online\n"
    "/Export-DefaultAppAssociations\", which the Group Policy setting \"Set a default\n"
    "associations configuration file\" and Intune's DefaultAssociationsConfiguration\n"
    "apply at sign-in): one Association per extension with its effective default,\n"
    "the user's choice where it holds, else its class; the link types' too\n"
    "(Identifier=\"mailto\"). --only takes extensions and link types (mailto:).\n";

constexpr const char* kCliHelpDefaultsCheck =
    "kvel defaults check FILE.xml [--format text|csv|tsv|json] [--machine]\n"
    "\n"
    "Says, for each association of a default associations file (Windows 11's Version\n"
    "and Suggested too), whether this machine can honour it: its class exists and the\n"
    "program of the action a double-click runs is on disk. Exit status 1 where any\n"
    "cannot.\n";

constexpr const char* kCliHelpProblems =
    "kvel problems [--kind KIND,...] [--format text|csv|tsv|json] [--machine]\n"
    "kvel problems --mend KIND,... [--dry-run] [--machine]\n"
    "\n"
    "Checks every file type, as the Problems window does, and lists what is broken:\n"
    "one row per finding with its Kind, Extension, Class, Key, Value, what is Missing,\n"
    "its Mend and an Explanation of what Windows does because of it. The kinds:\n"
    "  missing-class              an extension names a file type that does not exist\n"
    "  missing-default-action     a type's default names no action of it\n"
    "  action-without-command     an action has nothing to run\n"
    "  missing-program            an action's program is not on disk\n"
    "  missing-icon-file          a type's icon file is not on disk\n"
    "  dangling-user-choice       the user's choice names a type that does not exist\n"
    "  dangling-open-with-progid  an OpenWithProgids entry names no type\n"
    "  missing-open-with-program  a program of the user's Open With list is not on disk\n"
    "  missing-application        a registered application's program is not on disk\n"
    "  empty-user-extension       the user's key of an extension holds nothing\n"
    "Exit status 1 where anything is found.\n"
    "\n"
    "--mend removes the dangling value or key of each finding of the kinds, as one\n"
    "change, whole or not at all; --dry-run says what it would remove. It writes the\n"
    "mode's keys alone: the user's, or with --machine the machine's. A missing\n"
    "program or a command is mended in KVEL's editor, not here. Exit status 1 where\n"
    "there is nothing to mend, 3 where the system refuses a removal.\n";

// Messages, on standard error after kCliPrefix.
constexpr const char* kCliUnknownCommand = "unknown command ";
constexpr const char* kCliUnknownOption = "unknown option ";
constexpr const char* kCliNoValue = " needs a value";
constexpr const char* kCliBadFormat = "--format takes text, csv, tsv or json";
constexpr const char* kCliBadGroup = "--group takes system, customized or defined";
constexpr const char* kCliOperands = "wrong operands; see kvel ";
constexpr const char* kCliHelpHint = " --help";
constexpr const char* kCliEmptyName = "an extension needs a name";
constexpr const char* kCliRefusedName =
    " cannot name an extension: it holds one of . \\ / : * ? \" < | > or a blank";
constexpr const char* kCliLongName = " is too long for an extension";
constexpr const char* kCliBadScheme =
    " cannot name a link type: a scheme is a letter, then letters, digits, +, - or .";
constexpr const char* kCliLinkHasNoFileTypes = ": a link type has no content or perceived type";
constexpr const char* kCliNotRegistered = " is not registered";
constexpr const char* kCliNoMachineRights =
    "--machine writes the machine's classes, which this process may not: run kvel from an "
    "elevated prompt (\"Run as administrator\")";
constexpr const char* kCliNothingToChange = ": nothing to change";
constexpr const char* kCliSaved = "saved ";
constexpr const char* kCliWouldChange = "would change ";
constexpr const char* kCliTooLong = " is longer than a file type's value can hold";
constexpr const char* kCliBadPerceived = "--perceived takes one of: ";
constexpr const char* kCliNoProgram = ": no program for --args; name one with --program";
constexpr const char* kCliNoSuchAction = ": no action ";
constexpr const char* kCliBadVerb = "--action needs a verb without a backslash";
constexpr const char* kCliCommandWithoutAction = "--command and --name go with --action";
constexpr const char* kCliChoiceDecides =
    ": the user's own choice of program decides what opens the files (";
constexpr const char* kCliChoiceDecidesEnd =
    "); KVEL never writes it: change it in Settings > Apps > Default apps";
constexpr const char* kCliNotDefined =
    " is not the user's own (\"User Defined\"): only those can be deleted in user mode";
constexpr const char* kCliNotCustomized =
    " is not customised (\"User Customized\"): nothing to restore";
constexpr const char* kCliRestoreMachine =
    "restore is for user mode: the machine's types have nothing over them";
constexpr const char* kCliDeleted = "deleted ";
constexpr const char* kCliRestored = "restored ";
constexpr const char* kCliNothingToExport = "nothing to export";
constexpr const char* kCliNotWritten = ": the file could not be written";
constexpr const char* kCliWritten = "wrote ";
constexpr const char* kCliBadKind = " is no kind of problem; the kinds: ";
constexpr const char* kCliMendAlone =
    "--mend names the kinds it mends, without --kind; --dry-run goes with --mend";
constexpr const char* kCliMendedInEditor =
    ": these are mended in KVEL's editor (its Problems window opens it), not here";
constexpr const char* kCliMachinesFindings =
    " of them are in the machine's keys, which kvel --machine mends";
constexpr const char* kCliNothingToMend = "nothing to mend";
constexpr const char* kCliWouldRemove = "would remove ";
constexpr const char* kCliMended = "mended ";
constexpr const char* kCliOneProblem = " problem";
constexpr const char* kCliProblems = " problems";
constexpr const char* kCliCannotHonour = " cannot be honoured on this machine";
// What defaults check says of an association.
constexpr const char* kCliHonoured = "ok";
constexpr const char* kCliNoClass = "no such file type";
constexpr const char* kCliNothingToRun = "its default action has nothing to run";
constexpr const char* kCliProgramMissing = "its program is not on disk";
