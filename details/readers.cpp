// The readers of the extension record, and the resolution of its program and
// icons.
#include "details/readers.h"

#include "details/command_rules.h"
#include "details/edit_flags.h"
#include "details/pane.h"
#include "platform/registry.h"
#include "platform/handles.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "resources/texts.h"
#include "ui/window_helpers.h"
#include "text/system_text.h"

#include <shlwapi.h>

#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr char kOpenVerb[] = "Open";

// A value of an open key as text, or the fall-back word.
void ShowValueOrUnknown(HKEY key, const char* name, HWND control) {
    char text[kTextSize];
    if (key && RegistryReadText(key, name, text, kTextSize) == ERROR_SUCCESS)
        SetPaneText(control, text);
    else
        SetPaneText(control, kTextUnknown);
}

// The default value of a sub-key of an open key (null: none).
bool ReadSubKeyDefault(HKEY key, const char* subKey, char* text) {
    FillWords(text, kTextSize, 0);
    RegKey child;
    return key && RegistryOpenKey(key, subKey, KEY_QUERY_VALUE, child.put()) == ERROR_SUCCESS &&
           RegistryReadText(child.get(), nullptr, text, kTextSize) == ERROR_SUCCESS;
}

// The system's icon size for a control's monitor.
int IconSizeOf(HWND control, bool small) {
    return MetricForDpi(small ? SM_CXSMICON : SM_CXICON, WindowDpi(control));
}

void ShowShellIcon(UINT flags, HWND control) {
    ShellFileInfo.hIcon = nullptr;
    ShellGetFileInfo(CurrentExtension, 0, &ShellFileInfo, flags,
                     IconSizeOf(control, (flags & SHGFI_SMALLICON) != 0));
    SetPaneIcon(control, ShellFileInfo.hIcon);
    ShellFileInfo.hIcon = nullptr;
}

// The shell's large icon for a file of that name's type.
void ShowTypeIcon(const char* path, HWND control) {
    ShellFileInfo.hIcon = nullptr;
    ShellGetFileInfo(path, 0, &ShellFileInfo,
                     SHGFI_ICON | SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES,
                     IconSizeOf(control, false));
    SetPaneIcon(control, ShellFileInfo.hIcon);
    ShellFileInfo.hIcon = nullptr;
}

HICON LoadModuleIcon(HMODULE module, UINT id, int size) {
    return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
}

// Shows the folder of location, in long form, in pathLabel; gives the file
// within expanded (kTextSize bytes), past an opening quote.
const char* ShowFolderOf(const char* location, char* expanded, HWND pathLabel) {
    char folder[kTextSize];
    const char* file = ExpandedFolderOf(location, expanded, folder);
    SetPaneText(pathLabel, folder);
    return file;
}

// The command key of the action a double-click runs, as the shell picks it:
// the one the class's "shell" key names, else "open", else the first.
std::string DefaultCommandKey(HKEY classKey) {
    char named[kTextSize];
    const std::string shell = "shell\\";
    if (ReadSubKeyDefault(classKey, "shell", named) && named[0] &&
        RegistryKeyExists(classKey, (shell + named).c_str()))
        return shell + named + "\\command";
    RegKey verbs;
    std::string first = "open";
    if (!RegistryKeyExists(classKey, (shell + first).c_str()) &&
        RegistryOpenKey(classKey, "shell", KEY_READ, verbs.put()) == ERROR_SUCCESS)
        RegistryForEachSubKey(verbs.get(), [&](const char* name) {
            first = name;
            return false;
        });
    return shell + first + "\\command";
}

} // namespace

void ShowDetails() {
    // The readers ask the shell many questions about the same class and verbs.
    ShellReadScope scope;
    SetPaneText(DetailsPane.Extension, CurrentExtension);
    // No SHGFI_SYSICONINDEX: the pane has no use for the system image index,
    // and without it the merged view answers alone, sparing the shell's own
    // slow search for the icon.
    ShowShellIcon(SHGFI_ICON | SHGFI_USEFILEATTRIBUTES, DetailsPane.LargeIcon);
    ShowShellIcon(SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON, DetailsPane.SmallIcon);
    // The whole type name, or none where it is too long to edit and save
    // back whole.
    const std::string typeName = ShellTypeName(CurrentExtension);
    SetPaneText(DetailsPane.FileType,
                FitsBuffer(typeName.c_str(), kTextSize) ? typeName.c_str() : kTextUnknown);
    ReadContentType();
    ReadPerceivedType();
    ReadOpenCommand();
    ReadDefaultIconLabels();
    std::string chosen;
    SetPaneText(DetailsPane.Choice,
                ShellUserChoice(CurrentExtension, &chosen) && FitsBuffer(chosen.c_str(), kTextSize)
                    ? chosen.c_str()
                    : kTextNoChoice);
}

void ShowEditFlagsTest(HKEY hive) {
    SetPaneText(DetailsPane.EditFlags, QueryEditFlags(kEditFlagsTest, hive) ? kTextYes : kTextNo);
}

void ReadContentType() {
    RegKey key;
    RegistryOpenKey(HKEY_CLASSES_ROOT, CurrentExtension, KEY_QUERY_VALUE, key.put());
    ShowValueOrUnknown(key.get(), kContentTypeValue, DetailsPane.ContentType);
}

void ReadPerceivedType() {
    RegKey key;
    RegistryOpenKey(HKEY_CLASSES_ROOT, CurrentExtension, KEY_QUERY_VALUE, key.put());
    ShowValueOrUnknown(key.get(), kPerceivedTypeValue, DetailsPane.PerceivedType);
}

void ReadOpenCommand() {
    const ASSOCF flags = ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_INIT_DEFAULTTOSTAR;
    char answer[kTextSize];
    DWORD length = kTextSize;
    if (FAILED(ShellAssocQuery(flags, ASSOCSTR_FRIENDLYAPPNAME, CurrentExtension, nullptr, answer,
                               &length))) {
        ShowNoProgram();
        ShowDde(false);
        return;
    }
    SetPaneText(DetailsPane.OpensWith, answer);

    length = kTextSize;
    if (SUCCEEDED(ShellAssocQuery(flags, ASSOCSTR_COMMAND, CurrentExtension, kOpenVerb, answer,
                                  &length))) {
        ExtensionRecord.HasArgs = 1;
        SetPaneText(DetailsPane.Args, ShellCommandArguments(answer));
    } else {
        ExtensionRecord.HasArgs = 0;
        SetPaneText(DetailsPane.Args, kTextUnknown);
    }

    length = kTextSize;
    if (SUCCEEDED(ShellAssocQuery(flags, ASSOCSTR_EXECUTABLE, CurrentExtension, nullptr, answer,
                                  &length))) {
        ResolveExecutable(answer);
    } else {
        SetPaneIcon(DetailsPane.ProgramIcon, nullptr);
        SetPaneText(DetailsPane.ProgramFile, kTextUnknown);
        SetPaneText(DetailsPane.ProgramPath, kTextUnknown);
        SetPaneText(DetailsPane.Args, kTextUnknown);
        ExtensionRecord.HasArgs = 0;
    }

    length = kTextSize;
    ShowDde(SUCCEEDED(
        ShellAssocQuery(flags, ASSOCSTR_DDECOMMAND, CurrentExtension, nullptr, answer, &length)));
}

void ReadDefaultIconLabels() {
    FillWords(IconLocation, kNameSize, 0);
    char location[kTextSize];
    DWORD length = kTextSize;
    // A location too long for IconLocation counts as absent: a save would
    // write it back cut.
    if (SUCCEEDED(ShellAssocQuery(ASSOCF_INIT_DEFAULTTOSTAR, ASSOCSTR_DEFAULTICON, CurrentExtension,
                                  nullptr, location, &length)) &&
        FitsBuffer(location, kNameSize)) {
        CopyTextBounded(location, IconLocation, kNameSize);
        ResolveIconLabels(location);
        return;
    }
    char text[kTextSize] = {};
    GetWindowTextA(DetailsPane.ProgramFile, text, kTextSize);
    SetPaneText(DetailsPane.IconFile, text);
    FillWords(text, kTextSize, 0);
    GetWindowTextA(DetailsPane.ProgramPath, text, kTextSize);
    SetPaneText(DetailsPane.IconPath, text);
}

void ReadDetailsAdminMode() {
    // A location left from the previous extension must not reach the writers.
    FillWords(IconLocation, kNameSize, 0);
    SetPaneText(DetailsPane.Extension, CurrentExtension);
    RegKey extension;
    OpenClassesKey(HKEY_LOCAL_MACHINE, CurrentExtension, nullptr, KEY_QUERY_VALUE, &extension);
    ShowValueOrUnknown(extension.get(), kContentTypeValue, DetailsPane.ContentType);
    ShowValueOrUnknown(extension.get(), kPerceivedTypeValue, DetailsPane.PerceivedType);

    char fileClass[kTextSize];
    if (!LookupFileClass(extension.get(), fileClass)) {
        SetPaneText(DetailsPane.FileType, kTextUnknown);
        // A copy, so that the control owns what it destroys when replaced.
        SetPaneIcon(DetailsPane.LargeIcon, CopyIcon(LoadIconA(nullptr, IDI_HAND)));
        SetPaneIcon(DetailsPane.SmallIcon, nullptr);
        SetPaneText(DetailsPane.IconFile, kTextUnknown);
        SetPaneText(DetailsPane.IconPath, kTextUnknown);
        ShowNoProgram();
        ShowDde(false);
        return;
    }

    RegKey classKey;
    OpenClassesKey(HKEY_LOCAL_MACHINE, fileClass, nullptr, KEY_QUERY_VALUE, &classKey);
    ShowValueOrUnknown(classKey.get(), nullptr, DetailsPane.FileType);

    char text[kTextSize];
    if (!ReadSubKeyDefault(classKey.get(), kDefaultIconKey, text) || !ResolveDefaultIcon(text))
        ShowNoIconLocation();
    if (classKey &&
        ReadSubKeyDefault(classKey.get(), DefaultCommandKey(classKey.get()).c_str(), text))
        SplitOpenCommand(text);
    else
        ShowNoProgram();
    ShowDde(classKey && RegistryKeyExists(classKey.get(), kDdeCommandKey));
}

DWORD QueryEditFlags(DWORD mode, HKEY hive) {
    DWORD bits = 0;
    bool found = false;
    RegKey extension;
    char fileClass[kTextSize];
    if (OpenClassesKey(hive, CurrentExtension, nullptr, KEY_QUERY_VALUE, &extension) ==
            ERROR_SUCCESS &&
        LookupFileClass(extension.get(), fileClass)) {
        RegKey classKey;
        DWORD size = sizeof bits;
        found =
            OpenClassesKey(hive, fileClass, nullptr, KEY_QUERY_VALUE, &classKey) == ERROR_SUCCESS &&
            RegistryQueryValue(classKey.get(), kEditFlagsValue, nullptr, &bits, &size) ==
                ERROR_SUCCESS;
    }
    if (mode == kEditFlagsTest)
        return found ? 1 : 0;
    CheckEditFlagBoxes(found ? bits : 0);
    return 0;
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
    if (!FitsBuffer(location, kNameSize))
        return 0;
    const char* comma = strchr(location, ',');
    char expanded[kTextSize];
    if (!comma) {
        if (location[0] == '%') {
            SetPaneIcon(DetailsPane.LargeIcon, nullptr);
            SetPaneIcon(DetailsPane.SmallIcon, nullptr);
            return 0;
        }
        const bool whole = ShellIsWholeIconSource(location);
        for (const auto& [control, small] :
             {std::pair{DetailsPane.LargeIcon, false}, std::pair{DetailsPane.SmallIcon, true}})
            SetPaneIcon(control, whole ? static_cast<HICON>(LoadImageA(
                                             nullptr, location, IMAGE_ICON,
                                             IconSizeOf(control, small), IconSizeOf(control, small),
                                             LR_LOADFROMFILE | LR_LOADMAP3DCOLORS))
                                       : nullptr);
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
    ModuleOwner module(
        ShellIsWholeIconSource(path)
            ? LoadLibraryExA(path, nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)
            : nullptr);
    if (!module) {
        SetPaneIcon(DetailsPane.LargeIcon, nullptr);
        SetPaneIcon(DetailsPane.SmallIcon, nullptr);
        return 0;
    }
    HICON icon = nullptr;
    const int large = IconSizeOf(DetailsPane.LargeIcon, false);
    if (indexText[0] == '-') {
        icon = LoadModuleIcon(module.get(), ParseDecimal(indexText + 1), large);
    } else {
        UINT index = ParseDecimal(indexText);
        icon = LoadModuleIcon(module.get(), index + 1, large);
        if (!icon) {
            char file[kTextSize] = {};
            CopyTextBounded(path, file, kTextSize);
            WORD iconIndex = static_cast<WORD>(index);
            icon =
                ExtractAssociatedIconA(reinterpret_cast<HINSTANCE>(module.get()), file, &iconIndex);
        }
    }
    HICON small = icon ? static_cast<HICON>(CopyImage(
                             icon, IMAGE_ICON, IconSizeOf(DetailsPane.SmallIcon, true),
                             IconSizeOf(DetailsPane.SmallIcon, true), LR_COPYFROMRESOURCE))
                       : nullptr;
    SetPaneIcon(DetailsPane.LargeIcon, icon);
    SetPaneIcon(DetailsPane.SmallIcon, small);
    return icon ? 1 : 0;
}
