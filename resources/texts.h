// The program's own texts, grouped by the window that shows them.
#pragma once

// Details pane (both main windows)
constexpr const char* kTextUnknown = "Unknown";
constexpr const char* kTextYes = "Yes";
constexpr const char* kTextNo = "No";
constexpr const char* kRundllProgram = "rundll32.exe";
// The user's own choice of program: none decides.
constexpr const char* kTextNoChoice = "None";

// Extension catalogue
constexpr const char* kTextSystemGroup = "System";
constexpr const char* kTextCustomizedGroup = "User Customized";
constexpr const char* kTextDefinedGroup = "User Defined";
constexpr const char* kTextRegisteredExtensions = " Registered file extensions ";
constexpr const char* kTextRegisteredLinkTypes = " Registered link types ";
// The tab over the list of link types.
constexpr const char* kTextLinksTab = "Links";
// The details pane's first row: the extension, or the link type's scheme.
constexpr const char* kTextExtensionLabel = "Extension:";
constexpr const char* kTextLinkTypeLabel = "Link Type:";
constexpr const char* kTextCountsDash = "- ";
constexpr const char* kTextCountsEquals = "=";
constexpr const char* kTextCountsGap = " ";

// Start-up: admin mode asked for without administrator rights
constexpr const char* kCaptionProgram = "Orvell File Type Editor";
constexpr const char* kElevateVerb = "runas";
constexpr const char* kTextElevateQuestion =
    "Admin mode needs administrator rights, which KVEL runs without.\r\nRestart KVEL as "
    "administrator?";
constexpr const char* kTextElevateFailed =
    "KVEL could not start as administrator, and runs in user mode.";

// Main windows: context menus and commands
constexpr const char* kMenuRestore = "Restore";
constexpr const char* kMenuReadme = "Readme";
constexpr const char* kMenuExit = "Exit";
constexpr const char* kMenuEdit = "Edit";
constexpr const char* kMenuAbout = "About";
constexpr const char* kMenuNewExtension = "New Extension";
constexpr const char* kMenuNewLinkType = "New Link Type";
constexpr const char* kMenuDelete = "Delete";
constexpr const char* kMenuSearch = "Search";
constexpr const char* kMenuCustomize = "Customize";
constexpr const char* kMenuOpenWithEditor = "Open With Editor";
constexpr const char* kMenuCompare = "Compare";
constexpr const char* kMenuTools = "Tools";
constexpr const char* kMenuUndo = "Undo";
constexpr const char* kMenuExport = "Export...";
constexpr const char* kMenuExportAll = "Export All...";
// The keys beside the commands in the menus.
constexpr const char* kKeyUndo = "\tCtrl+Z";
constexpr const char* kKeyEnter = "\tEnter";
constexpr const char* kKeyDelete = "\tDel";
constexpr const char* kKeyNewExtension = "\tCtrl+N";
constexpr const char* kKeyNewLinkType = "\tCtrl+Shift+N";
constexpr const char* kKeySearch = "\tCtrl+F";
constexpr const char* kKeyReadme = "\tF1";
// What Undo names for the changes that have no menu command of their own.
constexpr const char* kUndoRemoveChoice = "Remove Your Choice ";
constexpr const char* kUndoDeleteProgram = "Delete Program ";
// A change the system refused: the key, the system's own reason, and what
// became of the keys.
constexpr const char* kTextRefusedStart = "The system refused to change ";
constexpr const char* kTextRefusedReason = ":\r\n";
constexpr const char* kTextRefusedNothingChanged = "\r\n\r\nNothing was changed.";
constexpr const char* kTextRefusedNotPutBack =
    "\r\n\r\nKVEL could not put back what it had written, at ";
constexpr const char* kCaptionRefused = "Not Saved";
// Undo where another program changed the keys since.
constexpr const char* kTextUndoCaption = "Undo";
constexpr const char* kTextUndoChangedStart = "Since \"";
constexpr const char* kTextUndoChangedMiddle = "\", another program changed:\r\n";
constexpr const char* kTextUndoChangedEnd =
    "Undo anyway? These keys then hold again what they held before the change.";
constexpr const char* kReadmeFile = "Readme.txt";
constexpr const char* kReadmeVerb = "Open";
constexpr const char* kTextReadmeMissing =
    "Could not find ReadMe.txt\r\nPlease make sure it exists in the directory of KVEL.exe";
constexpr const char* kTextDeletePrompt = "You are about to delete the file extension ";
constexpr const char* kTextDeleteCaption = "Delete File Extension";
constexpr const char* kTextRestorePrompt = "You are about to restore the file extension ";
constexpr const char* kTextRestoreCaption = "Restore File Extension";
constexpr const char* kTextContinueQuestion = "\r\nAre you sure you want to continue?";
constexpr const char* kTextAdminDeleteWarning =
    "!!!!  WARNING  !!!!\r\n\r\nYOU ARE ABOUT TO PERMENANTLY DELTE THE FILE EXTENSION ";
constexpr const char* kTextAdminDeleteConsequence = "\r\nSome programs many not work properly.";

// Name entry (New Extension, Search)
constexpr const char* kCaptionNewExtension = "Create New Extension";
constexpr const char* kCaptionFindExtension = "Find extension";
constexpr const char* kCaptionNewLinkType = "Create New Link Type";
constexpr const char* kTextBadScheme =
    "A link type is named by its scheme: a letter (A to Z), then letters, digits, \"+\", \"-\" "
    "or \".\", as in \"mailto\" or \"ms-settings\".";
constexpr const char* kTextEmptyName = "Can't be an empty string";
constexpr const char* kTextNotFoundStart = "Extension ";
constexpr const char* kTextNotFoundEnd = " was not found.";
constexpr const char* kTextCreateQuestion = "\r\nWould you like to create it?";
constexpr const char* kCaptionNotFound = "Not found";
// Characters that a name cannot hold, blank included.
constexpr const char* kRefusedNameCharacters = ".\\/:*?\"<|> ";

// Opens-with page: the Recently Used list and its pop-up menu
constexpr const char* kMenuRemove = "Remove";
constexpr const char* kMenuAddProgram = "Add Program";
constexpr const char* kTextNotInAdminMode = "Not available in Admin Mode";
constexpr const char* kTextNotForLinkTypes = "Not available for link types";

// Property editor (dialog 1500) and its pages
constexpr const char* kTextCustomizeTitle = "Customize properties for: ";
constexpr const char* kTextEditTitle = "Edit properties for: ";
constexpr const char* kTextCreateTitle = "Create new extension: ";
constexpr const char* kTextSaveButton = "Save";
constexpr const char* kTextCreateButton = "Create";
constexpr const char* kTextSaveChanges = "Do you want to save changes?";
// After a save, where the user's own choice of program decides.
constexpr const char* kTextChoiceQuestionStart = "Files of type ";
constexpr const char* kTextLinkChoiceQuestionStart = "Links of type ";
constexpr const char* kTextChoiceQuestionMiddle = " open by your own choice of program (";
constexpr const char* kTextChoiceQuestionEnd =
    "), not by the program saved here.\r\nRemove your choice, so that the saved program opens "
    "them?";
constexpr const char* kTextChoiceRefusedStart = "Windows did not let KVEL remove your choice for ";
constexpr const char* kTextChoiceRefusedReason = ".\r\nThe system refused to change ";
constexpr const char* kTextChoiceRefusedEnd =
    "\r\nIt is still in effect. Open Windows' Default apps settings to change it there?";
constexpr const char* kDefaultAppsSettings = "ms-settings:defaultapps";
constexpr const char* kTabGeneral = "Icon";
constexpr const char* kTabOpensWith = "Open";
constexpr const char* kTabEditFlags = "Edit Flags";
constexpr const char* kTabActions = "Actions";

// Actions page and the action dialog
constexpr const char* kActionColumns[] = {"Action", "Verb", "Command"};
constexpr const char* kCaptionNewAction = "New Action";
constexpr const char* kCaptionEditAction = "Edit Action";
constexpr const char* kTextActionNameEmpty = "An action needs a verb.";
constexpr const char* kTextActionNameBackslash = "A verb cannot hold a backslash (\\).";
constexpr const char* kTextActionNameTakenStart = "This file type has an action \"";
constexpr const char* kTextActionNameTakenEnd = "\" already.";
constexpr const char* kTextActionTooLong =
    "The program and its arguments are longer than a command can hold.";
constexpr const char* kTextMissingDefaultStart = "The default action \"";
constexpr const char* kTextMissingDefaultEnd =
    "\" does not exist: set another action as the default.";
constexpr const char* kTextMachineActionStart = "The action \"";
constexpr const char* kTextMachineActionEnd =
    "\" is registered for every user of this machine; only admin mode can remove it.";
// Offered first in the General page's lists when the user's value may be removed.
constexpr const char* kTextNoneMarker = "[ NONE ]";
constexpr const char* kPerceivedTypes[] = {"application", "audio",     "compressed", "contacts",
                                           "document",    "gamemedia", "image",      "system",
                                           "text",        "video"};

// Icon picker
constexpr const char* kTextBrowseForIcons = "Browse for Icons";
constexpr char kIconPickerFilter[] =
    "All Supported Files (*.ocx;*.cpl;*.dll;*.ico;*.icl;*.exe;*.scr)\0"
    "*.ocx;*.cpl;*.dll;*.ico;*.icl;*.exe;*.scr\0"
    "ActiveX Controls (*.ocx)\0*.ocx\0"
    "Control Panel Applets (*.cpl)\0*.cpl\0"
    "Dynamic Link Libraries (*.dll)\0*.dll\0"
    "Icon Files (*.ico)\0*.ico\0"
    "Icon Libraries (*.icl)\0*.icl\0"
    "Programs (*.exe)\0*.exe\0"
    "Screen Savers(*.scr)\0*.scr\0";
constexpr const char* kIconFileExtension = ".ico";

// Compare dialog and its progress window
constexpr const char* kTextCompareColumn = "System";
constexpr const char* kTextSaveQuestion = "Would you like to save this list to file?";
constexpr const char* kTextSaveCaption = "Save to file";

// Changed-extensions file and its save dialog
constexpr char kSaveFilter[] = "KVEL Save Files\0*.kvels\0";
constexpr const char* kSaveDefaultExtension = "kvels";
constexpr const char* kTextSaveTitle = "Save changed extensions to file";
constexpr const char* kTextDescriptionLabel = "Description:";
constexpr const char* kTextDefaultSaveTitle = "KVEL modified extension save file";
constexpr const char* kSaveTitlePrefix = ";";
constexpr const char* kSaveAddedPrefix = "ADDED-";
constexpr const char* kSaveDeletedPrefix = "DELETED-";
constexpr const char* kSaveLineEnd = "\r\n";
constexpr const char* kTextSaveFailed = "Could not write the file\r\n";
constexpr const char* kTextSaveFailedNotSaved = "\r\nThe list was not saved.";

// Export
constexpr char kExportFilter[] = "Registration Files (*.reg)\0*.reg\0";
constexpr const char* kExportDefaultExtension = "reg";
constexpr const char* kTextExportTitle = "Export File Types";
constexpr const char* kTextExportNothingStart = "There is nothing of yours to export for ";
constexpr const char* kTextExportNothingEnd = ": its settings are the machine's.";
constexpr const char* kTextExportFailed = "Could not write the file\r\n";
constexpr const char* kTextExportNotWritten = "\r\nNothing was exported.";

// Open-With program editor
constexpr const char* kTextBrowseForPrograms = "Browse for programs";
// The browse dialog's one file type: its name, its pattern, and the end of the list.
constexpr const char kTextProgramsFilter[] = "Programs (*.exe)\0*.exe\0";

// The face of the bold headings of the editor's pages and of the About box's title.
constexpr const char* kHeadingFace = "MS Sans Serif";

// About box (the template's contact link shows the same address)
constexpr const char* kLinkVerb = "Open";
constexpr const char* kHomePageAddress = "https://kvel.example.org/";
constexpr const char* kContactMailto = "mailto:kvel@example.org";

// The check of the file types: what the shell does because of each finding.
constexpr const char* kTextCheckMissingClass =
    "Windows finds no file type of the name this extension gives, and treats its files as "
    "having no type.";
constexpr const char* kTextCheckMissingDefaultAction =
    "Windows finds no action of the name the default gives, and a double-click runs \"open\" "
    "or the first action instead.";
constexpr const char* kTextCheckActionWithoutCommand =
    "The action is offered in the files' menu, and choosing it fails: it has nothing to run.";
constexpr const char* kTextCheckMissingProgram =
    "Choosing the action fails: Windows cannot find the program its command runs.";
constexpr const char* kTextCheckMissingIconFile =
    "Windows cannot find the icon's file, and shows the files with the plain document icon.";
constexpr const char* kTextCheckDanglingUserChoice =
    "Windows ignores your choice of program: the file type it names does not exist.";
constexpr const char* kTextCheckDanglingOpenWithProgId =
    "Windows ignores this Open With entry: the file type it names does not exist.";
constexpr const char* kTextCheckMissingOpenWithProgram =
    "Windows cannot find the program this entry of your Open With list names, and cannot open "
    "the files with it.";
constexpr const char* kTextCheckMissingApplication =
    "Windows cannot find the program this registered application runs, and opening files with "
    "it fails.";
constexpr const char* kTextCheckEmptyUserExtension =
    "Your own key of this extension holds nothing: the extension counts as customised, while "
    "the machine's settings decide.";

// The Problems window's headings of the kinds of finding; each is followed
// by its count.
constexpr const char* kHeadingMissingClass = "Extensions naming a missing file type";
constexpr const char* kHeadingMissingDefaultAction = "Defaults naming no action";
constexpr const char* kHeadingActionWithoutCommand = "Actions with nothing to run";
constexpr const char* kHeadingMissingProgram = "Actions whose program is missing";
constexpr const char* kHeadingMissingIconFile = "Icons whose file is missing";
constexpr const char* kHeadingDanglingUserChoice = "Your choices naming a missing file type";
constexpr const char* kHeadingDanglingOpenWithProgId = "Open With types that are missing";
constexpr const char* kHeadingMissingOpenWithProgram = "Open With programs that are missing";
constexpr const char* kHeadingMissingApplication = "Applications whose program is missing";
constexpr const char* kHeadingEmptyUserExtension = "Empty extension keys of yours";

// Mends: what Undo names, and what a mend removes.
constexpr const char* kUndoMendOne = "Mend 1 problem";
constexpr const char* kUndoMendStart = "Mend ";
constexpr const char* kUndoMendProblems = " problems";
constexpr const char* kTextMendDefaultValue = "the default value of ";
constexpr const char* kTextMendValueStart = "the value \"";
constexpr const char* kTextMendValueEnd = "\" of ";
constexpr const char* kTextMendKeyStart = "the key ";
constexpr const char* kTextMendKeyEnd = ", with everything below it";
constexpr const char* kTextMendOrderStart = ", and \"";
constexpr const char* kTextMendOrderEnd = "\" from its MRUList";

// Problems window
constexpr const char* kMenuProblems = "Problems...";
constexpr const char* kKeyProblems = "\tF7";
constexpr const char* kTextProblemsChecking = "Checking the file types: ";
constexpr const char* kTextProblemsOf = " of ";
constexpr const char* kTextProblemOne = " problem";
constexpr const char* kTextProblemMany = " problems";
constexpr const char* kTextProblemsNone =
    "No problems found: every file type works, as far as the registry and the disk tell.";
constexpr const char* kTextProblemsFound = " found. Select a kind, then its rows (Ctrl+A all).";
constexpr const char* kTextProblemsStopped = "Stopped: the file types checked so far have ";
constexpr const char* kTextProblemsMended = "Mended ";
constexpr const char* kTextProblemsUndo = "; Undo (Ctrl+Z) in the main window takes the mend back.";
constexpr const char* kTextMendRemoves = "Mend removes ";
constexpr const char* kTextEditOpensStart = "Edit opens the editor on the action \"";
constexpr const char* kTextEditOpensMiddle = "\" of ";
constexpr const char* kTextEditCannotStart = "The editor cannot reach this action: ";
constexpr const char* kTextEditCannotMiddle = " is not the file type of ";
constexpr const char* kTextMachinesKeyStart = "The key is the machine's, ";
constexpr const char* kTextMachinesKeyEnd = ": admin mode mends it.";
constexpr const char* kButtonMend = "&Mend...";
constexpr const char* kButtonEdit = "&Edit...";
constexpr const char* kCaptionNotMended = "Not Mended";
constexpr const char* kProblemsKindColumn = "Problem";
constexpr const char* kProblemsColumns[] = {"Extension", "File Type", "Missing", "Key"};
