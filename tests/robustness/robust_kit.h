// Shared fixtures of the robustness tests: images of registry trees to prove
// that nothing was written, hostile files on disk, names of given lengths.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace kvr {

// Every key and value below hive\path with its bytes and its time of last
// write, saved by the registry itself in one call; keyed by key path.
class RegistryImage {
  public:
    static RegistryImage Take(HKEY hive, const std::string& path);
    // One line per key added, removed or changed, "" when the images are equal.
    std::string DifferencesFrom(const RegistryImage& before) const;
    size_t KeyCount() const { return keys_.size(); }

  private:
    std::map<std::string, std::string> keys_;
};

// The registry either mode may touch: both hives' classes and the user's
// Explorer lists of file extensions.
struct ClassesImage {
    RegistryImage userClasses, machineClasses, fileExts;
    static ClassesImage Take();
    std::string DifferencesFrom(const ClassesImage& before) const;
};

// prefix followed by filler up to length characters.
std::string NameOfLength(const std::string& prefix, size_t length, char filler = 'x');

// hive\parent\name created one key at a time, for names and depths that a
// path from the hive's root cannot reach; false when the registry refuses.
bool CreateKeyBelow(HKEY hive, const std::string& parent, const std::string& name);
// A value set on hive\parent\name through a handle of its parent.
bool SetValueBelow(HKEY hive, const std::string& parent, const std::string& name,
                   const char* valueName, DWORD type, const std::string& data);

// Files that no icon or program can come from, in a folder of their own below
// the temporary folder; made once per process.
struct HostileFiles {
    std::string folder;    // with trailing backslash
    std::string directory; // a folder named like an icon file
    std::string notPe;     // text in a ".dll"
    std::string truncated; // the first kilobytes of a real program
    std::string badIcon;   // an icon file whose image lies past its end
    std::string missing;   // a path that does not exist
    std::string module;    // this test program: a real module with icons
};
const HostileFiles& Files();

} // namespace kvr

namespace kvt {
class User;
}

namespace kvr {

// Returns when the dialog thread has handled everything posted to it so far.
void Settle(kvt::User& user);
// Clicks the extension in the main window's list and waits until the pane
// shows it; false (and a test failure) when it is not listed or not shown.
bool ShowListed(kvt::User& user, HWND mainWindow, int adminMode, const std::string& extension);
// The same for an extension of the user-mode tree.
bool ShowInTree(kvt::User& user, HWND mainWindow, const std::string& extension);

} // namespace kvr
