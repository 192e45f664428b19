// The program's own texts, grouped by the window that shows them.
#pragma once

// Details pane (both main windows)
constexpr const char* kTextUnknown = "Unknown";
constexpr const char* kTextYes = "Yes";
constexpr const char* kTextNo = "No";
constexpr const char* kRundllProgram = "rundll32.exe";

// Extension catalogue
constexpr const char* kTextSystemGroup = "System";
constexpr const char* kTextCustomizedGroup = "User Customized";
constexpr const char* kTextDefinedGroup = "User Defined";
constexpr const char* kTextRegisteredExtensions = " Registered file extensions ";
constexpr const char* kTextCountsDash = "- ";
constexpr const char* kTextCountsEquals = "=";
constexpr const char* kTextCountsGap = " ";

// Main windows: context menus and commands
constexpr const char* kMenuRestore = "Restore";
constexpr const char* kMenuReadme = "Readme";
constexpr const char* kMenuExit = "Exit";
constexpr const char* kMenuEdit = "Edit";
constexpr const char* kMenuAbout = "About";
constexpr const char* kMenuNewExtension = "New Extension";
constexpr const char* kMenuDelete = "Delete";
constexpr const char* kMenuSearch = "Search";
constexpr const char* kMenuCustomize = "Customize";
constexpr const char* kMenuOpenWithEditor = "Open With Editor";
constexpr const char* kMenuCompare = "Compare";
constexpr const char* kMenuTools = "Tools";
constexpr const char* kReadmeFile = "Readme.txt";
constexpr const char* kReadmeVerb = "Open";
constexpr const char* kTextReadmeMissing =
    "Could not find ReadMe.txt\r\nPlease make sure it exists in the directory of KVEL.exe";
constexpr const char* kTextDeletePrompt = "You are about to delete the file extension ";
constexpr const char* kTextDeleteCaption = "Delete File Extension";
constexpr const char* kTextRestorePrompt = "You are about to restore the file extension ";
constexpr const char* kTextRestoreCaption = "Restore File Extension";

// Opens-with page: the Recently Used list and its pop-up menu
constexpr const char* kMenuRemove = "Remove";
constexpr const char* kMenuAddProgram = "Add Program";
constexpr const char* kMruListValue = "MRUList";
constexpr const char* kTextNotInAdminMode = "Not available in Admin Mode";

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

// Open-With program editor
constexpr const char* kTextBrowseForPrograms = "Browse for programs";
// The browse dialog's one file type: its name, its pattern, and the end of the list.
constexpr const char kTextProgramsFilter[] = "Programs (*.exe)\0*.exe\0";

// About box (the template's contact link shows the same address)
constexpr const char* kTitleFontFace = "MS Sans Serif";
constexpr const char* kLinkVerb = "Open";
constexpr const char* kHomePageAddress = "https://kvel.example.org/";
constexpr const char* kContactMailto = "mailto:kvel@example.org";
