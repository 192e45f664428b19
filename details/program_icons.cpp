// Program and icon resolution for the details pane.
#include "details/program_icons.h"

#include "platform/shell.h"
#include "resources/texts.h"
#include "text/text.h"

#include <shlwapi.h>

namespace {

void Expand(const char* text, char* expanded) {
    FillWords(expanded, kTextSize, 0);
    DWORD length = ExpandEnvironmentStringsA(text, expanded, kTextSize);
    // A result that does not fit is no path at all.
    if (length == 0 || length > kTextSize)
        FillWords(expanded, kTextSize, 0);
}

const char* SkipOpeningQuote(const char* text) {
    return text[0] == '"' ? text + 1 : text;
}

// In place; the text stays as it was when the conversion fails.
void ToLongForm(char* path) {
    char longPath[kTextSize] = {};
    DWORD length = GetLongPathNameA(path, longPath, kTextSize);
    if (length != 0 && length < kTextSize)
        CopyTextBounded(longPath, path, kTextSize);
}

void FolderPart(const char* path, char* folder) {
    FillWords(folder, kTextSize, 0);
    DirectoryOf(path, folder);
}

// The file-name label rule: the file-name part first, the whole text when the
// text has no backslash. A text that gives no label at all (empty, as when its
// variables expand past the buffer) leaves both labels with the fall-back
// word, never with what the extension shown before left there.
void ShowFileLabelOf(const char* text, HWND label, HWND folderLabel) {
    char file[kTextSize] = {};
    FileNameOf(text, file);
    if (ShowFileLabel(file, label) || ShowFileLabel(text, label))
        return;
    SetPaneText(label, kTextUnknown);
    SetPaneText(folderLabel, kTextUnknown);
}

// The shell's large icon for a file of that name's type.
void ShowTypeIcon(const char* path, HWND control) {
    ShellFileInfo.hIcon = nullptr;
    ShellGetFileInfo(path, 0, &ShellFileInfo,
                     SHGFI_ICON | SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES);
    SetPaneIcon(control, ShellFileInfo.hIcon);
    ShellFileInfo.hIcon = nullptr;
}

HICON LoadModuleIcon(HMODULE module, UINT id) {
    return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0));
}

// Expands LOCATION into EXPANDED and shows its folder, in long form, in
// PATHLABEL; gives the file within EXPANDED, past an opening quote.
const char* ShowFolderOf(const char* location, char (&expanded)[kTextSize], HWND pathLabel) {
    Expand(location, expanded);
    const char* file = SkipOpeningQuote(expanded);
    char folder[kTextSize];
    FolderPart(file, folder);
    ToLongForm(folder);
    SetPaneText(pathLabel, folder);
    return file;
}

} // namespace

int FileLabelText(const char* text, char* out) {
    FillWords(out, kTextSize, 0);
    if (!text[0])
        return 0;
    if (strchr(text, '%'))
        return 1;
    const char* end = strchr(text, '"');
    if (!end)
        end = strchr(text, ',');
    size_t length = end ? static_cast<size_t>(end - text) : TextLength(text);
    LeftText(text, out, length < kTextSize ? length : kTextSize - 1);
    return 1;
}

int ShowFileLabel(const char* text, HWND label) {
    char shown[kTextSize];
    if (!FileLabelText(text, shown))
        return 0;
    SetPaneText(label, shown);
    return 1;
}

void ResolveExecutable(const char* executable) {
    char expanded[kTextSize];
    const char* program = ShowFolderOf(executable, expanded, DetailsPane.ProgramPath);
    ShowTypeIcon(program, DetailsPane.ProgramIcon);
    ShowFileLabelOf(program, DetailsPane.ProgramFile, DetailsPane.ProgramPath);
}

void ResolveIconLabels(const char* location) {
    char expanded[kTextSize];
    const char* file = ShowFolderOf(location, expanded, DetailsPane.IconPath);
    ShowFileLabelOf(file, DetailsPane.IconFile, DetailsPane.IconPath);
}

void NormaliseOpenCommand(char* command) {
    if (command[0] == '"' || command[0] == 'r' || command[0] == 'R')
        return;
    const char* lastSlash = strrchr(command, '\\');
    char folder[kTextSize] = {};
    char rest[kTextSize] = {};
    if (lastSlash) {
        LeftText(command, folder, static_cast<size_t>(lastSlash - command) + 1);
        CopyTextBounded(lastSlash + 1, rest, kTextSize);
    } else {
        CopyTextBounded(command, rest, kTextSize);
    }
    char arguments[kTextSize] = {};
    CopyTextBounded(PathGetArgsA(rest), arguments, kTextSize);
    PathRemoveArgsA(rest);
    char rebuilt[4 * kTextSize] = {};
    JoinTexts(6, rebuilt, "\"", folder, rest, "\"", " ", arguments);
    CopyTextBounded(rebuilt, command, kTextSize);
}

void SplitCommandText(char* command, OpenCommandParts* parts) {
    FillWords(parts, sizeof *parts, 0);
    NormaliseOpenCommand(command);
    char program[kTextSize] = {};
    CopyTextBounded(command, program, kTextSize);
    PathRemoveArgsA(program);
    PathUnquoteSpacesA(program);
    Expand(program, parts->Program);
    ToLongForm(parts->Program);
    parts->IsRundll = CompareNoCase(parts->Program, kRundllProgram) == 0 ? 1 : 0;
    if (parts->IsRundll) {
        CopyTextBounded(PathGetArgsA(command), parts->Arguments, kTextSize);
        return;
    }
    DirectoryOf(parts->Program, parts->Folder);
    FileNameOf(parts->Program, parts->File);
    char expanded[kTextSize];
    Expand(command, expanded);
    CopyTextBounded(PathGetArgsA(expanded), parts->Arguments, kTextSize);
}

void SplitOpenCommand(char* command) {
    ExtensionRecord.HasArgs = 0;
    OpenCommandParts parts;
    SplitCommandText(command, &parts);
    ShowTypeIcon(parts.Program, DetailsPane.ProgramIcon);
    if (parts.IsRundll) {
        SetPaneText(DetailsPane.OpensWith, parts.Program);
        SetPaneText(DetailsPane.ProgramFile, "");
        SetPaneText(DetailsPane.ProgramPath, "");
        SetPaneText(DetailsPane.Args, parts.Arguments);
        ExtensionRecord.HasArgs = 1;
        return;
    }
    char friendlyName[kTextSize] = {};
    DWORD length = kTextSize;
    ShellAssocQuery(ASSOCF_OPEN_BYEXENAME, ASSOCSTR_FRIENDLYAPPNAME, parts.Program, nullptr,
                    friendlyName, &length);
    SetPaneText(DetailsPane.OpensWith, friendlyName);
    SetPaneText(DetailsPane.ProgramPath, parts.Folder);
    SetPaneText(DetailsPane.ProgramFile, parts.File);
    SetPaneText(DetailsPane.Args, parts.Arguments);
    ExtensionRecord.HasArgs = parts.Arguments[0] ? 1 : 0;
}

int ResolveDefaultIcon(const char* location) {
    // Too long for IconLocation: absent, as a save would write it back cut.
    if (TextLength(location) >= kNameSize)
        return 0;
    const char* comma = strchr(location, ',');
    char expanded[kTextSize];
    if (!comma) {
        if (location[0] == '%') {
            SetPaneIcon(DetailsPane.LargeIcon, nullptr);
            SetPaneIcon(DetailsPane.SmallIcon, nullptr);
            return 0;
        }
        SetPaneIcon(DetailsPane.LargeIcon,
                    static_cast<HICON>(LoadImageA(nullptr, location, IMAGE_ICON, 32, 32,
                                                  LR_LOADFROMFILE | LR_LOADMAP3DCOLORS)));
        SetPaneIcon(DetailsPane.SmallIcon,
                    static_cast<HICON>(LoadImageA(nullptr, location, IMAGE_ICON, 16, 16,
                                                  LR_LOADFROMFILE | LR_LOADMAP3DCOLORS)));
        CopyTextBounded(location, IconLocation, kNameSize);
        const char* text = ShowFolderOf(location, expanded, DetailsPane.IconPath);
        char file[kTextSize] = {};
        FileNameOf(text, file);
        SetPaneText(DetailsPane.IconFile, file);
        return 1;
    }
    CopyTextBounded(location, IconLocation, kNameSize);
    const char* text = ShowFolderOf(location, expanded, DetailsPane.IconPath);
    char path[kTextSize] = {};
    const char* expandedComma = strchr(expanded, ',');
    LeftText(expanded, path,
             expandedComma ? static_cast<size_t>(expandedComma - expanded) : TextLength(expanded));
    PathUnquoteSpacesA(path);
    LoadIconFromModule(path, comma + 1);
    char file[kTextSize] = {};
    FileNameOf(text, file);
    if (ShowFileLabel(file, DetailsPane.IconFile))
        return 1;
    return ShowFileLabel(text, DetailsPane.IconFile);
}

int LoadIconFromModule(const char* path, const char* indexText) {
    HMODULE module =
        LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) {
        SetPaneIcon(DetailsPane.LargeIcon, nullptr);
        SetPaneIcon(DetailsPane.SmallIcon, nullptr);
        return 0;
    }
    HICON icon = nullptr;
    if (indexText[0] == '-') {
        icon = LoadModuleIcon(module, ParseDecimal(indexText + 1));
    } else {
        UINT index = ParseDecimal(indexText);
        icon = LoadModuleIcon(module, index + 1);
        if (!icon) {
            char file[kTextSize] = {};
            CopyTextBounded(path, file, kTextSize);
            WORD iconIndex = static_cast<WORD>(index);
            icon = ExtractAssociatedIconA(reinterpret_cast<HINSTANCE>(module), file, &iconIndex);
        }
    }
    HICON small = icon
                      ? static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 16, 16, LR_COPYFROMRESOURCE))
                      : nullptr;
    SetPaneIcon(DetailsPane.LargeIcon, icon);
    SetPaneIcon(DetailsPane.SmallIcon, small);
    FreeLibrary(module);
    return icon ? 1 : 0;
}
