// The export commands: which keys, which file, and the file written whole.
#include "export/export_command.h"

#include "export/export_keys.h"
#include "export/export_progress.h"
#include "export/reg_file.h"
#include "platform/whole_file.h"
#include "resources/texts.h"
#include "text/text.h"

#include <commdlg.h>

#include <string>
#include <vector>

namespace {

HKEY ModeHive(RunMode mode) {
    return mode == RunMode::Admin ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The file the user names into path (kTextSize bytes); false on Cancel.
bool AskForRegFile(HWND owner, char* path) {
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kExportFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = kTextSize;
    dialog.lpstrTitle = kTextExportTitle;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    dialog.lpstrDefExt = kExportDefaultExtension;
    return GetSaveFileNameA(&dialog) && path[0];
}

void SaveRegFile(HWND owner, const char* path, const std::string& bytes) {
    if (WriteWholeFile(path, bytes))
        return;
    const std::string text = kTextExportFailed + std::string(path) + kTextExportNotWritten;
    MessageBoxA(owner, text.c_str(), kTextExportTitle, MB_OK | MB_ICONHAND);
}

void WriteRegFile(HWND owner, const std::vector<ExportedKey>& keys) {
    char path[kTextSize] = {};
    if (AskForRegFile(owner, path))
        SaveRegFile(owner, path, ComposeRegFile(keys));
}

} // namespace

void ExportExtension(HWND owner, const std::string& extension, RunMode mode) {
    std::vector<ExportedKey> keys;
    if (!extension.empty() && extension[0] == '.')
        keys = GatherExportKeys(ModeHive(mode), {extension}, nullptr);
    if (!keys.empty())
        return WriteRegFile(owner, keys);
    const std::string text = kTextExportNothingStart + extension + kTextExportNothingEnd;
    MessageBoxA(owner, text.c_str(), kTextExportTitle, MB_OK | MB_ICONINFORMATION);
}

// The file is asked for first: a Cancel there costs no reading.
void ExportAllExtensions(HWND owner, RunMode mode) {
    char path[kTextSize] = {};
    std::string bytes;
    if (AskForRegFile(owner, path) && ComposeAllWithProgress(owner, ModeHive(mode), &bytes))
        SaveRegFile(owner, path, bytes);
}
