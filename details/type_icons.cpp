// The icons of a file type and of a program, as the windows show them.
#include "details/type_icons.h"

#include "details/command_rules.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "resources/texts.h"
#include "text/text.h"
#include "ui/window_helpers.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstring>

namespace {

HICON ShellIcon(const std::string& path, UINT flags, int size) {
    SHFILEINFOA info = {};
    ShellGetFileInfo(path.c_str(), 0, &info, flags, size);
    return info.hIcon;
}

HICON LoadModuleIcon(HMODULE module, UINT id, int size) {
    return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
}

// Icon index "n" or resource id "-n" of a module, at both sizes; false when
// there is none. The module is always freed.
bool LoadIconFromModule(const char* path, const char* indexText, int large, int small,
                        TypeIconView* view) {
    ModuleOwner module(
        ShellIsWholeIconSource(path)
            ? LoadLibraryExA(path, nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)
            : nullptr);
    if (!module)
        return false;
    HICON icon = nullptr;
    if (indexText[0] == '-') {
        icon = LoadModuleIcon(module.get(), ParseDecimal(indexText + 1), large);
    } else {
        const UINT index = ParseDecimal(indexText);
        icon = LoadModuleIcon(module.get(), index + 1, large);
        if (!icon) {
            char file[kTextSize] = {};
            CopyTextBounded(path, file, kTextSize);
            WORD iconIndex = static_cast<WORD>(index);
            icon =
                ExtractAssociatedIconA(reinterpret_cast<HINSTANCE>(module.get()), file, &iconIndex);
        }
    }
    view->Large.reset(icon);
    view->Small.reset(
        icon ? static_cast<HICON>(CopyImage(icon, IMAGE_ICON, small, small, LR_COPYFROMRESOURCE))
             : nullptr);
    return icon != nullptr;
}

// Admin mode: the icons and labels of a DefaultIcon location as stored; false
// where the labels are to show that there is none.
bool ViewDefaultIcon(const std::string& location, int large, int small, TypeIconView* view) {
    const char* comma = strchr(location.c_str(), ',');
    char expanded[kTextSize], folder[kTextSize];
    const char* text = ExpandedFolderOf(location.c_str(), expanded, folder);
    view->Folder = folder;
    char file[kTextSize] = {};
    if (!comma) {
        if (location[0] == '%')
            return false;
        if (ShellIsWholeIconSource(location)) {
            for (auto [owner, size] : {std::pair{&view->Large, large}, {&view->Small, small}})
                owner->reset(
                    static_cast<HICON>(LoadImageA(nullptr, location.c_str(), IMAGE_ICON, size, size,
                                                  LR_LOADFROMFILE | LR_LOADMAP3DCOLORS)));
        }
        FileNameOf(text, file);
        view->File = file;
        return true;
    }
    char path[kTextSize] = {};
    const char* expandedComma = strchr(expanded, ',');
    LeftText(expanded, path,
             expandedComma ? static_cast<size_t>(expandedComma - expanded) : TextLength(expanded));
    PathUnquoteSpacesA(path);
    LoadIconFromModule(path, comma + 1, large, small, view);
    return FileLabelOf(text, &view->File);
}

// User mode: the program the shell found, its folder in long form.
ProgramView ViewProgramUser(const FileOpener& opens) {
    ProgramView view;
    if (!opens.Name.Present())
        return view;
    view.Name = opens.Name.Text;
    view.Args = opens.Arguments.Present() ? opens.Arguments.Text : kTextUnknown;
    if (!opens.Program.Present())
        return view;
    char expanded[kTextSize], folder[kTextSize];
    const char* program = ExpandedFolderOf(opens.Program.Text.c_str(), expanded, folder);
    view.Folder = folder;
    view.IconOf = program;
    if (!FileLabelOf(program, &view.File))
        view.File = view.Folder = kTextUnknown;
    return view;
}

// Admin mode: the stored command split as the pane shows it.
ProgramView ViewProgramAdmin(const FileOpener& opens) {
    ProgramView view;
    if (!opens.Command.Present())
        return view;
    char command[kTextSize];
    CopyTextBounded(opens.Command.Text.c_str(), command, kTextSize);
    OpenCommandParts parts;
    SplitCommandText(command, &parts);
    view.IconOf = parts.Program;
    view.Name = opens.Name.Text;
    view.Args = opens.Arguments.Present() ? opens.Arguments.Text : kTextUnknown;
    view.File = parts.IsRundll ? "" : parts.File;
    view.Folder = parts.IsRundll ? "" : parts.Folder;
    return view;
}

} // namespace

ProgramView ViewProgram(const FileOpener& opens, RunMode mode) {
    return mode == RunMode::User ? ViewProgramUser(opens) : ViewProgramAdmin(opens);
}

int TypeIconSize(HWND control, bool small) {
    return MetricForDpi(small ? SM_CXSMICON : SM_CXICON, WindowDpi(control));
}

TypeIconView ViewTypeIcon(const FileType& type, RunMode mode, int largeSize, int smallSize) {
    TypeIconView view;
    view.File = view.Folder = kTextUnknown;
    // No file has a link type: its icons are those of its DefaultIcon (the
    // location the user's choice gives, in user mode), as stored.
    if (mode == RunMode::User && !IsLinkName(type.Extension.c_str())) {
        // No SHGFI_SYSICONINDEX: the window has no use for the system image
        // index, and without it the merged view answers alone, sparing the
        // shell's own slow search for the icon.
        view.Large.reset(
            ShellIcon(type.Extension, SHGFI_ICON | SHGFI_USEFILEATTRIBUTES, largeSize));
        view.Small.reset(ShellIcon(
            type.Extension, SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON, smallSize));
        if (!type.IconLocation.Present()) {
            // Without a location of its own, the labels repeat the program's.
            const ProgramView program = ViewProgram(type.Opens, mode);
            view.File = program.File;
            view.Folder = program.Folder;
            return view;
        }
        char expanded[kTextSize], folder[kTextSize];
        const char* file = ExpandedFolderOf(type.IconLocation.Text.c_str(), expanded, folder);
        if (FileLabelOf(file, &view.File))
            view.Folder = folder;
        return view;
    }
    if (!type.Class.Present()) {
        // A copy, so that whoever shows it owns what it destroys.
        view.Large.reset(CopyIcon(LoadIconA(nullptr, IDI_HAND)));
        return view;
    }
    if (type.IconLocation.Present() &&
        ViewDefaultIcon(type.IconLocation.Text, largeSize, smallSize, &view))
        return view;
    view.Large.reset();
    view.Small.reset();
    view.File = view.Folder = kTextUnknown;
    return view;
}

HICON FileTypeIcon(const std::string& path, int size) {
    return ShellIcon(path, SHGFI_ICON | SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES, size);
}
