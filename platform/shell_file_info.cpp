// The file information of the shell services: type names and icons from the
// merged classes view, the shell asked only for what the view cannot give.
#include "platform/shell.h"

#include "platform/handles.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell_parts.h"
#include "text/text.h"

#include <shlwapi.h>

#include <string>

namespace {

using namespace shell_parts;

// A name without extension: the shell answers for it with its generic icons.
constexpr char kUntypedFileName[] = "KvelUntyped";

// The extension a file-info request is about: a bare ".ext", else the
// extension of the path ("" when it has none).
std::string ExtensionOf(const char* path) {
    if (!path)
        return "";
    if (path[0] == '.' && !strchr(path, '\\'))
        return path;
    const char* extension = PathFindExtensionA(path);
    return extension ? extension : "";
}

// The DefaultIcon of an extension's class in the machine's own classes, where
// the shell of some systems (Wine's) looks.
std::string MachineIconLocation(const std::string& extension) {
    RegKey key;
    char text[BufferFor(1023)];
    if (RegistryOpenKey(HKEY_LOCAL_MACHINE, (std::string(kClassesKey) + "\\" + extension).c_str(),
                        KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS ||
        RegistryReadText(key.get(), nullptr, text, sizeof text) != ERROR_SUCCESS || !text[0])
        return "";
    RegKey icon;
    if (RegistryOpenKey(HKEY_LOCAL_MACHINE,
                        (std::string(kClassesKey) + "\\" + text + "\\" + kDefaultIconKey).c_str(),
                        KEY_QUERY_VALUE, icon.put()) != ERROR_SUCCESS ||
        RegistryReadText(icon.get(), nullptr, text, sizeof text) != ERROR_SUCCESS)
        return "";
    return text;
}

// Whether the shell may be asked for the icon of path: it reads the icon
// named by the DefaultIcon of the extension's class, as the merged view or
// the machine's own classes give it, or, for a class whose icon is each
// file's own ("%1"), the file itself unless only its attributes count.
bool MayAskShellForIcon(const char* path, UINT flags, const std::string& extension) {
    if (!(flags & (SHGFI_ICON | SHGFI_SYSICONINDEX)) || extension.size() < 2)
        return true;
    std::string className, merged;
    if (ReadClassesText(extension, nullptr, &className) && !className.empty())
        ReadClassesText(className + "\\" + kDefaultIconKey, nullptr, &merged);
    for (const std::string& location : {merged, MachineIconLocation(extension)}) {
        if (NamesBrokenFile(location))
            return false;
        if (!location.empty() && location[0] == '%' && !(flags & SHGFI_USEFILEATTRIBUTES) &&
            GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES && !ShellIsWholeIconSource(path))
            return false;
    }
    return true;
}

// Asks the shell, about a file without a type of its own in place of a path
// whose icon the shell must not read.
DWORD_PTR AskShell(const char* path, DWORD attributes, SHFILEINFOA* info, UINT flags,
                   const std::string& extension) {
    if (MayAskShellForIcon(path, flags, extension))
        return SHGetFileInfoA(path, attributes, info, sizeof *info, flags);
    return SHGetFileInfoA(kUntypedFileName, FILE_ATTRIBUTE_NORMAL, info, sizeof *info,
                          flags | SHGFI_USEFILEATTRIBUTES);
}

} // namespace

std::string ShellClassDescription(const char* extension) {
    std::string className, description;
    if (IsLinkName(extension))
        className = extension;
    if ((!className.empty() || ReadClassesText(extension, nullptr, &className)) &&
        !className.empty() && ReadClassesText(className, nullptr, &description) &&
        !description.empty())
        return description;
    return UpperTypeName(extension);
}

DWORD_PTR ShellGetFileInfo(const char* path, DWORD attributes, SHFILEINFOA* info, UINT flags,
                           int iconSize) {
    const std::string extension = ExtensionOf(path);
    if (!info)
        return SHGetFileInfoA(path, attributes, info, sizeof *info, flags);
    if (!(flags & SHGFI_USEFILEATTRIBUTES) || !(flags & (SHGFI_TYPENAME | SHGFI_ICON)) ||
        extension.size() < 2 || extension == ".")
        return AskShell(path, attributes, info, flags, extension);

    std::string className;
    bool chosen = false;
    const bool hasClass = AssociatedClass(extension, &className, &chosen);
    const int systemSize = GetSystemMetrics((flags & SHGFI_SMALLICON) ? SM_CXSMICON : SM_CXICON);
    const int size = iconSize ? iconSize : systemSize;
    HICON icon = nullptr;
    if (flags & SHGFI_ICON) {
        std::string location;
        char program[kTextSize];
        DWORD length = kTextSize;
        if (hasClass && ReadClassesText(className + "\\" + kDefaultIconKey, nullptr, &location))
            icon = ShellLoadIconLocation(location.c_str(), size);
        // A chosen class without an icon of its own, such as a program's
        // Applications key, draws its files with the program's icon.
        else if (chosen && SUCCEEDED(ShellAssocQuery(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_EXECUTABLE,
                                                     extension.c_str(), nullptr, program, &length)))
            icon = ShellLoadIconLocation((std::string(program) + ",0").c_str(), size);
    }
    // The shell is asked only for what the merged view cannot give: the
    // system image index and the other answers, or an icon the view lacks
    // (not for a chosen class, which the shell of some systems does not
    // know). Its answers cost milliseconds each, as it looks for the icon
    // again.
    const UINT servedFlags =
        SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME | SHGFI_ICON | SHGFI_SMALLICON | SHGFI_LARGEICON;
    const bool askShell = (flags & ~servedFlags) || ((flags & SHGFI_ICON) && !icon && !chosen);
    DWORD_PTR result = 1;
    if (askShell)
        result = AskShell(path, attributes, info, flags, extension);

    if (flags & SHGFI_TYPENAME)
        CopyTextBounded(ShellTypeName(extension.c_str()).c_str(), info->szTypeName,
                        sizeof info->szTypeName);
    if (flags & SHGFI_ICON) {
        if (icon) {
            // The view's icon wins over the shell's.
            IconOwner replaced(askShell ? info->hIcon : nullptr);
            info->hIcon = icon;
        } else if (!askShell || !info->hIcon) {
            info->hIcon = ShellGenericDocumentIcon(size);
        } else if (size != systemSize) {
            // The shell draws at the system's scale; a window on a monitor
            // of another scale has its icon redrawn to its own.
            info->hIcon = static_cast<HICON>(
                CopyImage(info->hIcon, IMAGE_ICON, size, size, LR_COPYDELETEORG));
        }
    }
    return result ? result : 1;
}
