// The details pane: a record in its controls.
#include "details/pane.h"

#include "details/command_rules.h"
#include "details/type_icons.h"
#include "platform/registry_layout.h"
#include "resources/resource.h"
#include "resources/texts.h"

#include <cstring>
#include <initializer_list>
#include <string>

namespace {

struct PaneIds {
    int LargeIcon, SmallIcon, IconFile, IconPath, ExtensionLabel, Extension, FileType,
        PerceivedType, ContentType, ProgramIcon, OpensWith, ProgramFile, ProgramPath, Args, Dde,
        EditFlags, Choice;
};

DetailsPane TakeDetailsPane(HWND dialog, const PaneIds& ids) {
    DetailsPane pane;
    pane.LargeIcon = GetDlgItem(dialog, ids.LargeIcon);
    pane.SmallIcon = GetDlgItem(dialog, ids.SmallIcon);
    pane.IconFile = GetDlgItem(dialog, ids.IconFile);
    pane.IconPath = GetDlgItem(dialog, ids.IconPath);
    pane.ExtensionLabel = GetDlgItem(dialog, ids.ExtensionLabel);
    pane.Extension = GetDlgItem(dialog, ids.Extension);
    pane.FileType = GetDlgItem(dialog, ids.FileType);
    pane.PerceivedType = GetDlgItem(dialog, ids.PerceivedType);
    pane.ContentType = GetDlgItem(dialog, ids.ContentType);
    pane.ProgramIcon = GetDlgItem(dialog, ids.ProgramIcon);
    pane.OpensWith = GetDlgItem(dialog, ids.OpensWith);
    pane.ProgramFile = GetDlgItem(dialog, ids.ProgramFile);
    pane.ProgramPath = GetDlgItem(dialog, ids.ProgramPath);
    pane.Args = GetDlgItem(dialog, ids.Args);
    pane.Dde = GetDlgItem(dialog, ids.Dde);
    pane.EditFlags = GetDlgItem(dialog, ids.EditFlags);
    pane.Choice = ids.Choice ? GetDlgItem(dialog, ids.Choice) : nullptr;
    return pane;
}

const char* OrUnknown(const TextField& field) {
    return field.Present() ? field.Text.c_str() : kTextUnknown;
}

int IconSizeOf(HWND control, bool small) {
    return TypeIconSize(control, small);
}

} // namespace

DetailsPane TakeDetailsPaneUser(HWND dialog) {
    return TakeDetailsPane(dialog, {IDC_MAIN_LARGEICON, IDC_MAIN_SMALLICON, IDC_MAIN_ICONFILE,
                                    IDC_MAIN_ICONPATH, IDC_MAIN_EXTENSION_LABEL, IDC_MAIN_EXTENSION,
                                    IDC_MAIN_FILETYPE, IDC_MAIN_PERCEIVED, IDC_MAIN_CONTENT,
                                    IDC_MAIN_PROGRAMICON, IDC_MAIN_OPENSWITH, IDC_MAIN_PROGRAMFILE,
                                    IDC_MAIN_PROGRAMPATH, IDC_MAIN_ARGS, IDC_MAIN_DDE,
                                    IDC_MAIN_EDITFLAGS, IDC_MAIN_CHOICE});
}

DetailsPane TakeDetailsPaneAdmin(HWND dialog) {
    return TakeDetailsPane(dialog, {IDC_ADMIN_LARGEICON, IDC_ADMIN_SMALLICON, IDC_ADMIN_ICONFILE,
                                    IDC_ADMIN_ICONPATH, IDC_ADMIN_EXTENSION_LABEL,
                                    IDC_ADMIN_EXTENSION, IDC_ADMIN_FILETYPE, IDC_ADMIN_PERCEIVED,
                                    IDC_ADMIN_CONTENT, IDC_ADMIN_PROGRAMICON, IDC_ADMIN_OPENSWITH,
                                    IDC_ADMIN_PROGRAMFILE, IDC_ADMIN_PROGRAMPATH, IDC_ADMIN_ARGS,
                                    IDC_ADMIN_DDE, IDC_ADMIN_EDITFLAGS, 0});
}

void ShowFileType(const DetailsPane& pane, const FileType& type, RunMode mode) {
    // A link type shows its scheme as links spell it, and has no perceived or
    // content type to show.
    const bool link = IsLinkName(type.Extension.c_str());
    SetPaneText(pane.ExtensionLabel, link ? kTextLinkTypeLabel : kTextExtensionLabel);
    SetPaneText(pane.Extension, (type.Extension + (link ? ":" : "")).c_str());
    SetPaneText(pane.FileType, OrUnknown(type.TypeName));
    SetPaneText(pane.PerceivedType, link ? "" : OrUnknown(type.PerceivedType));
    SetPaneText(pane.ContentType, link ? "" : OrUnknown(type.ContentType));

    const ProgramView program = ViewProgram(type.Opens, mode);
    SetPaneText(pane.OpensWith, program.Name.c_str());
    SetPaneText(pane.ProgramFile, program.File.c_str());
    SetPaneText(pane.ProgramPath, program.Folder.c_str());
    SetPaneText(pane.Args, program.Args.c_str());
    SetPaneIcon(pane.ProgramIcon,
                program.IconOf.empty()
                    ? nullptr
                    : FileTypeIcon(program.IconOf, IconSizeOf(pane.ProgramIcon, false)));

    TypeIconView icon = ViewTypeIcon(type, mode, IconSizeOf(pane.LargeIcon, false),
                                     IconSizeOf(pane.SmallIcon, true));
    SetPaneIcon(pane.LargeIcon, icon.Large.release());
    SetPaneIcon(pane.SmallIcon, icon.Small.release());
    SetPaneText(pane.IconFile, icon.File.c_str());
    SetPaneText(pane.IconPath, icon.Folder.c_str());

    SetPaneText(pane.Dde, type.Opens.HasDde ? kTextYes : kTextNo);
    SetPaneText(pane.EditFlags, type.EditFlags.Present() ? kTextYes : kTextNo);
    if (pane.Choice)
        SetPaneText(pane.Choice,
                    type.UserChoice.Present() ? type.UserChoice.Text.c_str() : kTextNoChoice);
}

void ClearDetails(const DetailsPane& pane) {
    for (HWND text : {pane.IconFile, pane.IconPath, pane.Extension, pane.FileType,
                      pane.PerceivedType, pane.ContentType, pane.OpensWith, pane.ProgramFile,
                      pane.ProgramPath, pane.Args, pane.Choice})
        if (text)
            SetPaneText(text, "");
    SetPaneText(pane.Dde, kTextNo);
    SetPaneText(pane.EditFlags, kTextNo);
    for (HWND icon : {pane.LargeIcon, pane.SmallIcon, pane.ProgramIcon})
        SetPaneIcon(icon, nullptr);
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
