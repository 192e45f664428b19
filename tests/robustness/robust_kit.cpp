#include "robustness/robust_kit.h"

#include "harness/dialog_driver.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace kvr {

namespace {

const char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

// Saving a key asks for the backup privilege, which the process has but does
// not hold enabled.
void EnableBackupPrivilege() {
    static bool enabled = false;
    if (enabled)
        return;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, SE_BACKUP_NAME, &privileges.Privileges[0].Luid))
        enabled = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) != 0;
    CloseHandle(token);
}

std::string TempFolder() {
    char path[MAX_PATH + 1] = {};
    GetTempPathA(sizeof path, path);
    return path;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// hive\path created one key at a time, each relative to its parent, so that
// no single call is given more than one name.
HKEY OpenOrCreate(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, nullptr, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return nullptr;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        HKEY child = nullptr;
        const LONG status = RegCreateKeyExA(key, path.substr(start, end - start).c_str(), 0,
                                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS)
            return nullptr;
        key = child;
        start = end + 1;
    }
    return key;
}

std::vector<std::string> Lines(const std::string& block) {
    std::vector<std::string> lines;
    std::istringstream in(block);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The lines of a key's block that only one of the images has.
std::string LineChanges(const std::string& before, const std::string& after) {
    std::vector<std::string> old = Lines(before), now = Lines(after);
    std::string report;
    for (const std::string& line : old)
        if (std::find(now.begin(), now.end(), line) == now.end())
            report += "  - " + line + "\n";
    for (const std::string& line : now)
        if (std::find(old.begin(), old.end(), line) == old.end())
            report += "  + " + line + "\n";
    return report;
}

} // namespace

RegistryImage RegistryImage::Take(HKEY hive, const std::string& path) {
    EnableBackupPrivilege();
    RegistryImage image;
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return image;
    const std::string file = TempFolder() + "kvtimage.reg";
    DeleteFileA(file.c_str());
    LONG saved = RegSaveKeyA(key, file.c_str(), nullptr);
    RegCloseKey(key);
    if (saved != ERROR_SUCCESS) {
        image.keys_["(unsaved)"] = "status " + std::to_string(saved);
        return image;
    }
    // The saved text is a run of blocks, each opened by its key's "[path]".
    std::istringstream lines(ReadWholeFile(file));
    DeleteFileA(file.c_str());
    std::string line, current;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[')
            current = line.substr(0, line.rfind(']') + 1);
        if (!current.empty() && !line.empty())
            image.keys_[current] += line + "\n";
    }
    return image;
}

std::string RegistryImage::DifferencesFrom(const RegistryImage& before) const {
    std::string report;
    for (const auto& [key, block] : keys_) {
        auto found = before.keys_.find(key);
        if (found == before.keys_.end())
            report += "added " + block;
        else if (found->second != block)
            report += "changed " + key + "\n" + LineChanges(found->second, block);
    }
    for (const auto& [key, block] : before.keys_)
        if (!keys_.count(key))
            report += "removed " + block;
    return report;
}

ClassesImage ClassesImage::Take() {
    return {RegistryImage::Take(HKEY_CURRENT_USER, "Software\\Classes"),
            RegistryImage::Take(HKEY_LOCAL_MACHINE, "Software\\Classes"),
            RegistryImage::Take(HKEY_CURRENT_USER, kFileExts)};
}

std::string ClassesImage::DifferencesFrom(const ClassesImage& before) const {
    return userClasses.DifferencesFrom(before.userClasses) +
           machineClasses.DifferencesFrom(before.machineClasses) +
           fileExts.DifferencesFrom(before.fileExts);
}

std::string NameOfLength(const std::string& prefix, size_t length, char filler) {
    std::string name = prefix;
    name.resize(length, filler);
    return name;
}

bool CreateKeyBelow(HKEY hive, const std::string& parent, const std::string& name) {
    HKEY key = OpenOrCreate(hive, parent + "\\" + name);
    if (!key)
        return false;
    RegCloseKey(key);
    return true;
}

bool SetValueBelow(HKEY hive, const std::string& parent, const std::string& name,
                   const char* valueName, DWORD type, const std::string& data) {
    HKEY key = OpenOrCreate(hive, parent + "\\" + name);
    if (!key)
        return false;
    const LONG status =
        RegSetValueExA(key, valueName, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

const HostileFiles& Files() {
    static const HostileFiles files = [] {
        HostileFiles made;
        made.folder = TempFolder() + "kvtrobust\\";
        CreateDirectoryA(made.folder.c_str(), nullptr);
        made.directory = made.folder + "folder.ico";
        CreateDirectoryA(made.directory.c_str(), nullptr);
        made.notPe = made.folder + "notpe.dll";
        WriteWholeFile(made.notPe, "MZ this is no program at all\r\n");
        char self[MAX_PATH + 1] = {};
        GetModuleFileNameA(nullptr, self, sizeof self);
        made.module = self;
        made.truncated = made.folder + "truncated.exe";
        WriteWholeFile(made.truncated, ReadWholeFile(made.module).substr(0, 4096));
        made.badIcon = made.folder + "broken.ico";
        // One image of 4,000 bytes announced at offset 22, of which the file
        // holds none.
        WriteWholeFile(made.badIcon, std::string("\0\0\1\0\1\0\x20\x20\0\0\1\0\x20\0"
                                                 "\xA0\x0F\0\0\x16\0\0\0",
                                                 22));
        made.badIcon = made.folder + "broken.ico";
        // One image of 4,000 bytes announced at offset 22, of which the file
        // holds none.
        WriteWholeFile(made.badIcon, std::string("\0\0\1\0\1\0\x20\x20\0\0\1\0\x20\0"
                                                 "\xA0\x0F\0\0\x16\0\0\0",
                                                 22));
        made.missing = made.folder + "missing\\nothing.ico";
        return made;
    }();
    return files;
}

void Settle(kvt::User& user) {
    // A dialog that a worker ends with a sent WM_CLOSE drops the posted
    // message its loop took in the same turn (Wine's dialog loop does), so
    // the action is posted again until one of them runs.
    HANDLE handled = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const DWORD start = GetTickCount();
    DWORD waited = WAIT_TIMEOUT;
    while (waited != WAIT_OBJECT_0 && GetTickCount() - start < kvt::kWaitMs) {
        user.RunOnDialogThread([handled] { SetEvent(handled); });
        waited = WaitForSingleObject(handled, 500);
    }
    EXPECT_EQ(WAIT_OBJECT_0, waited) << "the program hangs";
    // Actions still on their way find their event: it stays open.
}

bool ShowListed(kvt::User& user, HWND window, int admin, const std::string& extension) {
    HWND list = GetDlgItem(window, admin ? IDC_ADMIN_LIST : IDC_MAIN_LIST);
    const int row = kvt::User::ListFind(list, extension);
    EXPECT_GE(row, 0) << extension << " is not listed";
    if (row < 0)
        return false;
    user.ClickListItem(list, row);
    const int shown = admin ? IDC_ADMIN_EXTENSION : IDC_MAIN_EXTENSION;
    const bool done = user.WaitUntil([&] { return kvt::User::Text(window, shown) == extension; });
    EXPECT_TRUE(done) << extension << " is not shown";
    return done;
}

bool ShowInTree(kvt::User& user, HWND window, const std::string& extension) {
    HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
    HTREEITEM item = kvt::User::TreeFind(tree, extension);
    EXPECT_NE(nullptr, item) << extension << " is not in the tree";
    if (!item)
        return false;
    user.SelectTreeItem(tree, item);
    const bool done =
        user.WaitUntil([&] { return kvt::User::Text(window, IDC_MAIN_EXTENSION) == extension; });
    EXPECT_TRUE(done) << extension << " is not shown";
    return done;
}

} // namespace kvr
