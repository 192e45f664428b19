// The extension record and its readers.
#include "details/extension_record.h"

#include "details/edit_flags.h"
#include "details/program_icons.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"

#include <shlwapi.h>

#include <cstring>
#include <initializer_list>

char CurrentExtension[kNameSize];
char NewExtensionName[kNameSize];
DetailsPaneRecord DetailsPane;
ExtensionRecordFlags ExtensionRecord;
char IconLocation[kNameSize];
SHFILEINFOA ShellFileInfo;

namespace {

constexpr char kOpenVerb[] = "Open";

LONG OpenClassesKey(HKEY hive, const char* name, RegKey* key) {
    char path[kRegistryPathSize];
    if (!ClassesPath(name, nullptr, path))
        return ERROR_FILE_NOT_FOUND;
    return RegistryOpenKey(hive, path, KEY_QUERY_VALUE, key->put());
}

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

void ShowShellIcon(UINT flags, HWND control) {
    ShellFileInfo.hIcon = nullptr;
    ShellGetFileInfo(CurrentExtension, 0, &ShellFileInfo, flags);
    SetPaneIcon(control, ShellFileInfo.hIcon);
    ShellFileInfo.hIcon = nullptr;
}

void ShowNoProgram() {
    SetPaneIcon(DetailsPane.ProgramIcon, nullptr);
    SetPaneText(DetailsPane.OpensWith, kTextUnknown);
    SetPaneText(DetailsPane.ProgramFile, kTextUnknown);
    SetPaneText(DetailsPane.ProgramPath, kTextUnknown);
    SetPaneText(DetailsPane.Args, kTextUnknown);
    ExtensionRecord.HasArgs = 0;
}

void ShowNoIconLocation() {
    SetPaneIcon(DetailsPane.LargeIcon, nullptr);
    SetPaneIcon(DetailsPane.SmallIcon, nullptr);
    SetPaneText(DetailsPane.IconFile, kTextUnknown);
    SetPaneText(DetailsPane.IconPath, kTextUnknown);
}

void ShowDde(bool present) {
    SetPaneText(DetailsPane.Dde, present ? kTextYes : kTextNo);
    ExtensionRecord.HasDde = present ? 1 : 0;
}

struct PaneIds {
    int LargeIcon, SmallIcon, IconFile, IconPath, Extension, FileType, PerceivedType, ContentType,
        ProgramIcon, OpensWith, ProgramFile, ProgramPath, Args, Dde, EditFlags;
};

void TakeDetailsPane(HWND dialog, const PaneIds& ids) {
    DetailsPane.LargeIcon = GetDlgItem(dialog, ids.LargeIcon);
    DetailsPane.SmallIcon = GetDlgItem(dialog, ids.SmallIcon);
    DetailsPane.IconFile = GetDlgItem(dialog, ids.IconFile);
    DetailsPane.IconPath = GetDlgItem(dialog, ids.IconPath);
    DetailsPane.Extension = GetDlgItem(dialog, ids.Extension);
    DetailsPane.FileType = GetDlgItem(dialog, ids.FileType);
    DetailsPane.PerceivedType = GetDlgItem(dialog, ids.PerceivedType);
    DetailsPane.ContentType = GetDlgItem(dialog, ids.ContentType);
    DetailsPane.ProgramIcon = GetDlgItem(dialog, ids.ProgramIcon);
    DetailsPane.OpensWith = GetDlgItem(dialog, ids.OpensWith);
    DetailsPane.ProgramFile = GetDlgItem(dialog, ids.ProgramFile);
    DetailsPane.ProgramPath = GetDlgItem(dialog, ids.ProgramPath);
    DetailsPane.Args = GetDlgItem(dialog, ids.Args);
    DetailsPane.Dde = GetDlgItem(dialog, ids.Dde);
    DetailsPane.EditFlags = GetDlgItem(dialog, ids.EditFlags);
}

} // namespace

void TakeDetailsPaneUser(HWND dialog) {
    TakeDetailsPane(dialog,
                    {IDC_MAIN_LARGEICON, IDC_MAIN_SMALLICON, IDC_MAIN_ICONFILE, IDC_MAIN_ICONPATH,
                     IDC_MAIN_EXTENSION, IDC_MAIN_FILETYPE, IDC_MAIN_PERCEIVED, IDC_MAIN_CONTENT,
                     IDC_MAIN_PROGRAMICON, IDC_MAIN_OPENSWITH, IDC_MAIN_PROGRAMFILE,
                     IDC_MAIN_PROGRAMPATH, IDC_MAIN_ARGS, IDC_MAIN_DDE, IDC_MAIN_EDITFLAGS});
}

void TakeDetailsPaneAdmin(HWND dialog) {
    TakeDetailsPane(dialog, {IDC_ADMIN_LARGEICON, IDC_ADMIN_SMALLICON, IDC_ADMIN_ICONFILE,
                             IDC_ADMIN_ICONPATH, IDC_ADMIN_EXTENSION, IDC_ADMIN_FILETYPE,
                             IDC_ADMIN_PERCEIVED, IDC_ADMIN_CONTENT, IDC_ADMIN_PROGRAMICON,
                             IDC_ADMIN_OPENSWITH, IDC_ADMIN_PROGRAMFILE, IDC_ADMIN_PROGRAMPATH,
                             IDC_ADMIN_ARGS, IDC_ADMIN_DDE, IDC_ADMIN_EDITFLAGS});
}

void SetPaneText(HWND control, const char* text) {
    // A static repaints itself at once on every new text, which costs more
    // than reading the old one; most fields repeat from one extension to the
    // next, so a text the control already shows is left alone.
    char shown[kTextSize + 1] = {};
    const int length = GetWindowTextA(control, shown, sizeof shown);
    if (length < static_cast<int>(kTextSize) && strcmp(shown, text) == 0)
        return;
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void SetPaneIcon(HWND control, HICON icon) {
    auto replaced = reinterpret_cast<HICON>(
        SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
    if (replaced && replaced != icon)
        DestroyIcon(replaced);
}

int LookupFileClass(HKEY extensionKey, char* fileClass) {
    FillWords(fileClass, kTextSize, 0);
    if (!extensionKey)
        return 0;
    if (RegistryReadText(extensionKey, nullptr, fileClass, kTextSize) == ERROR_SUCCESS)
        return 1;
    RegKey progIds;
    if (RegistryOpenKey(extensionKey, kOpenWithProgIds, KEY_QUERY_VALUE, progIds.put()) !=
        ERROR_SUCCESS)
        return 0;
    DWORD length = kTextSize;
    if (RegistryEnumValue(progIds.get(), 0, fileClass, &length, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
        FillWords(fileClass, kTextSize, 0);
    return 1;
}

void ShowDetails() {
    // The readers ask the shell many questions about the same class and verbs.
    ShellReadScope scope;
    SetPaneText(DetailsPane.Extension, CurrentExtension);
    // No SHGFI_SYSICONINDEX: the pane has no use for the system image index,
    // and without it the merged view answers alone, sparing the shell's own
    // slow search for the icon.
    ShowShellIcon(SHGFI_ICON | SHGFI_USEFILEATTRIBUTES, DetailsPane.LargeIcon);
    FillWords(ShellFileInfo.szTypeName, sizeof ShellFileInfo.szTypeName, 0);
    ShowShellIcon(SHGFI_TYPENAME | SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON,
                  DetailsPane.SmallIcon);
    SetPaneText(DetailsPane.FileType, ShellFileInfo.szTypeName);
    ReadContentType();
    ReadPerceivedType();
    ReadOpenCommand();
    ReadDefaultIconLabels();
}

void ClearDetails() {
    for (HWND text :
         {DetailsPane.IconFile, DetailsPane.IconPath, DetailsPane.Extension, DetailsPane.FileType,
          DetailsPane.PerceivedType, DetailsPane.ContentType, DetailsPane.OpensWith,
          DetailsPane.ProgramFile, DetailsPane.ProgramPath, DetailsPane.Args})
        SetPaneText(text, "");
    SetPaneText(DetailsPane.Dde, kTextNo);
    SetPaneText(DetailsPane.EditFlags, kTextNo);
    for (HWND icon : {DetailsPane.LargeIcon, DetailsPane.SmallIcon, DetailsPane.ProgramIcon})
        SetPaneIcon(icon, nullptr);
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
        TextLength(location) < kNameSize) {
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
    OpenClassesKey(HKEY_LOCAL_MACHINE, CurrentExtension, &extension);
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
    OpenClassesKey(HKEY_LOCAL_MACHINE, fileClass, &classKey);
    ShowValueOrUnknown(classKey.get(), nullptr, DetailsPane.FileType);

    char text[kTextSize];
    if (!ReadSubKeyDefault(classKey.get(), kDefaultIconKey, text) || !ResolveDefaultIcon(text))
        ShowNoIconLocation();
    if (ReadSubKeyDefault(classKey.get(), kOpenCommandKey, text))
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
    if (OpenClassesKey(hive, CurrentExtension, &extension) == ERROR_SUCCESS &&
        LookupFileClass(extension.get(), fileClass)) {
        RegKey classKey;
        DWORD size = sizeof bits;
        found = OpenClassesKey(hive, fileClass, &classKey) == ERROR_SUCCESS &&
                RegistryQueryValue(classKey.get(), kEditFlagsValue, nullptr, &bits, &size) ==
                    ERROR_SUCCESS;
    }
    if (mode == kEditFlagsTest)
        return found ? 1 : 0;
    CheckEditFlagBoxes(found ? bits : 0);
    return 0;
}
