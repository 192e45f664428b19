// The details pane's controls.
#include "details/pane.h"

#include "details/command_rules.h"
#include "resources/resource.h"
#include "resources/texts.h"

#include <cstring>
#include <initializer_list>

namespace {

struct PaneIds {
    int LargeIcon, SmallIcon, IconFile, IconPath, Extension, FileType, PerceivedType, ContentType,
        ProgramIcon, OpensWith, ProgramFile, ProgramPath, Args, Dde, EditFlags, Choice;
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
    DetailsPane.Choice = ids.Choice ? GetDlgItem(dialog, ids.Choice) : nullptr;
}

} // namespace

void TakeDetailsPaneUser(HWND dialog) {
    TakeDetailsPane(dialog, {IDC_MAIN_LARGEICON, IDC_MAIN_SMALLICON, IDC_MAIN_ICONFILE,
                             IDC_MAIN_ICONPATH, IDC_MAIN_EXTENSION, IDC_MAIN_FILETYPE,
                             IDC_MAIN_PERCEIVED, IDC_MAIN_CONTENT, IDC_MAIN_PROGRAMICON,
                             IDC_MAIN_OPENSWITH, IDC_MAIN_PROGRAMFILE, IDC_MAIN_PROGRAMPATH,
                             IDC_MAIN_ARGS, IDC_MAIN_DDE, IDC_MAIN_EDITFLAGS, IDC_MAIN_CHOICE});
}

void TakeDetailsPaneAdmin(HWND dialog) {
    TakeDetailsPane(dialog, {IDC_ADMIN_LARGEICON, IDC_ADMIN_SMALLICON, IDC_ADMIN_ICONFILE,
                             IDC_ADMIN_ICONPATH, IDC_ADMIN_EXTENSION, IDC_ADMIN_FILETYPE,
                             IDC_ADMIN_PERCEIVED, IDC_ADMIN_CONTENT, IDC_ADMIN_PROGRAMICON,
                             IDC_ADMIN_OPENSWITH, IDC_ADMIN_PROGRAMFILE, IDC_ADMIN_PROGRAMPATH,
                             IDC_ADMIN_ARGS, IDC_ADMIN_DDE, IDC_ADMIN_EDITFLAGS, 0});
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

int ShowFileLabel(const char* text, HWND label) {
    char shown[kTextSize];
    if (!FileLabelText(text, shown))
        return 0;
    SetPaneText(label, shown);
    return 1;
}

void ShowFileLabelOf(const char* text, HWND label, HWND folderLabel) {
    char file[kTextSize] = {};
    FileNameOf(text, file);
    if (ShowFileLabel(file, label) || ShowFileLabel(text, label))
        return;
    SetPaneText(label, kTextUnknown);
    SetPaneText(folderLabel, kTextUnknown);
}

void ClearDetails() {
    for (HWND text :
         {DetailsPane.IconFile, DetailsPane.IconPath, DetailsPane.Extension, DetailsPane.FileType,
          DetailsPane.PerceivedType, DetailsPane.ContentType, DetailsPane.OpensWith,
          DetailsPane.ProgramFile, DetailsPane.ProgramPath, DetailsPane.Args, DetailsPane.Choice})
        SetPaneText(text, "");
    SetPaneText(DetailsPane.Dde, kTextNo);
    SetPaneText(DetailsPane.EditFlags, kTextNo);
    for (HWND icon : {DetailsPane.LargeIcon, DetailsPane.SmallIcon, DetailsPane.ProgramIcon})
        SetPaneIcon(icon, nullptr);
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
