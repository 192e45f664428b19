// Hostile values through the real main windows and the real editor: every
// hostile extension is shown, opened in the editor and cancelled, in both
// modes. Nothing may crash or hang, the pane shows the fall-back words where
// the data cannot be used and nothing left over from another extension, and
// the registry stays byte for byte as it was.
#include "harness/editor_driver.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"
#include "robustness/hostile_seed.h"
#include "robustness/robust_kit.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

using kvt::Classes;
using kvt::PaneTexts;
using kvt::User;

constexpr char kStale[] = "kvtstale";
constexpr int kEditFlagBoxes = 19;

// The pane's value controls of the mode.
std::vector<int> PaneTextIds(int admin) {
    if (admin)
        return {IDC_ADMIN_FILETYPE,    IDC_ADMIN_PERCEIVED,   IDC_ADMIN_CONTENT,
                IDC_ADMIN_ICONFILE,    IDC_ADMIN_ICONPATH,    IDC_ADMIN_OPENSWITH,
                IDC_ADMIN_PROGRAMFILE, IDC_ADMIN_PROGRAMPATH, IDC_ADMIN_ARGS,
                IDC_ADMIN_DDE,         IDC_ADMIN_EDITFLAGS};
    return {IDC_MAIN_FILETYPE, IDC_MAIN_PERCEIVED, IDC_MAIN_CONTENT,     IDC_MAIN_ICONFILE,
            IDC_MAIN_ICONPATH, IDC_MAIN_OPENSWITH, IDC_MAIN_PROGRAMFILE, IDC_MAIN_PROGRAMPATH,
            IDC_MAIN_ARGS,     IDC_MAIN_DDE,       IDC_MAIN_EDITFLAGS};
}

int CheckedBoxes(HWND editor) {
    int checked = 0;
    for (int box = 0; box < kEditFlagBoxes; ++box)
        checked += kvt::IsChecked(kvt::EditorControl(editor, IDC_EDITFLAGS_FIRST + box)) ? 1 : 0;
    return checked;
}

struct Visit {
    PaneTexts pane;
    int checkedBoxes = -1;
};

// Shows every extension (list or tree) with stale texts planted in the pane
// first, opens the editor of the mode on it and cancels; returns what was
// seen. The editor must close without a question: nothing was changed.
std::map<std::string, Visit> VisitAll(int admin, bool fromTree,
                                      const std::vector<std::string>& extensions) {
    std::map<std::string, Visit> seen;
    kvt::RunMainWindow(admin, [&](User& user, HWND window) {
        for (const std::string& extension : extensions) {
            SCOPED_TRACE(extension);
            kvr::Settle(user);
            for (int id : PaneTextIds(admin))
                user.SetText(GetDlgItem(window, id), kStale);
            const bool shown = fromTree ? kvr::ShowInTree(user, window, extension)
                                        : kvr::ShowListed(user, window, admin, extension);
            if (!shown)
                continue;
            kvr::Settle(user);
            Visit& visit = seen[extension];
            visit.pane = kvt::ReadPane(window, admin);
            HWND editor = fromTree ? kvt::EditFromTree(user, window, extension)
                          : admin  ? kvt::EditFromAdminList(user, window, extension)
                                   : kvt::CustomizeFromList(user, window, extension);
            ASSERT_NE(nullptr, editor);
            visit.checkedBoxes = CheckedBoxes(editor);
            user.Click(editor, IDC_EDITOR_CANCEL);
            ASSERT_TRUE(user.WaitGone(editor)) << "Cancel asked a question or hung";
        }
        user.Close(window);
    });
    return seen;
}

std::vector<std::string> SeedEverything(HKEY hive) {
    std::vector<std::string> all;
    for (auto seed : {kvr::SeedOddSizes, kvr::SeedWrongTypes, kvr::SeedEditFlagSizes,
                      kvr::SeedIconLocations, kvr::SeedCommands, kvr::SeedLongClassNames}) {
        std::vector<std::string> some = seed(hive);
        all.insert(all.end(), some.begin(), some.end());
    }
    return all;
}

std::vector<std::string> AllTexts(const PaneTexts& pane) {
    return {pane.fileType, pane.perceived, pane.content,     pane.iconFile,
            pane.iconPath, pane.opensWith, pane.programFile, pane.programPath,
            pane.args,     pane.dde,       pane.editFlags};
}

// What every visit must show, whatever the extension.
void ExpectNothingStale(const std::map<std::string, Visit>& seen) {
    for (const auto& [extension, visit] : seen)
        for (const std::string& text : AllTexts(visit.pane))
            EXPECT_EQ(std::string::npos, text.find(kStale))
                << extension << ": a field kept the text of the extension shown before";
}

// The value text read from size bytes (with or without its zero), or the
// fall-back word when it does not fit the 261-byte buffer.
std::string Expected(const std::string& prefix, size_t size, bool zero) {
    const bool fits = size == 260 || (size == 261 && zero);
    return fits ? kvr::NameOfLength(prefix, zero ? size - 1 : size) : "Unknown";
}

void ExpectSizeRules(const std::map<std::string, Visit>& seen, int admin) {
    for (size_t size : {260, 261, 4000}) {
        for (bool zero : {false, true}) {
            const std::string extension = ".kvtv" + std::to_string(size) + (zero ? "z" : "n");
            SCOPED_TRACE(extension);
            const PaneTexts& pane = seen.at(extension).pane;
            EXPECT_EQ(Expected("t/", size, zero), pane.content);
            EXPECT_EQ(Expected("t/", size, zero), pane.perceived);
            if (admin) {
                EXPECT_EQ(Expected("d", size, zero), pane.fileType);
            }
        }
    }
}

void ExpectTypeRules(const std::map<std::string, Visit>& seen, int admin) {
    for (DWORD type : {REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_NONE}) {
        const std::string tag = std::to_string(type);
        SCOPED_TRACE(tag);
        const PaneTexts& onExtension = seen.at(".kvtt" + tag).pane;
        EXPECT_EQ("Unknown", onExtension.content);
        EXPECT_EQ("Unknown", onExtension.perceived);
        EXPECT_EQ("Unknown", onExtension.opensWith);
        const PaneTexts& onClass = seen.at(".kvtu" + tag).pane;
        EXPECT_EQ("Unknown", onClass.opensWith);
        EXPECT_EQ("Unknown", onClass.args);
        if (admin) {
            EXPECT_EQ("Unknown", onExtension.fileType) << "no text, no class";
            EXPECT_EQ("Unknown", onClass.fileType);
            EXPECT_EQ("Unknown", onClass.iconFile);
            // Only the key's existence counts for DDE.
            EXPECT_EQ("Yes", onClass.dde);
        }
    }
}

void ExpectEditFlagRules(const std::map<std::string, Visit>& seen) {
    const std::map<size_t, int> boxes = {{0, 0}, {1, 8},  {2, 15}, {4, kEditFlagBoxes},
                                         {8, 0}, {100, 0}};
    for (const auto& [size, checked] : boxes) {
        SCOPED_TRACE("EditFlags of " + std::to_string(size) + " bytes");
        const Visit& visit = seen.at(".kvtef" + std::to_string(size));
        EXPECT_EQ(size <= 4 ? "Yes" : "No", visit.pane.editFlags);
        EXPECT_EQ(checked, visit.checkedBoxes);
    }
}

// A class named with up to 255 characters is a key of its own and is read
// whole, however long the path to it; a longer name names no key.
void ExpectLongClassRules(const std::map<std::string, Visit>& seen, int admin) {
    for (size_t length : {49, 50, 255, 259, 260, 300}) {
        SCOPED_TRACE("class of " + std::to_string(length) + " characters");
        const bool exists = length <= 255;
        const PaneTexts& byDefault = seen.at(".kvtcn" + std::to_string(length)).pane;
        EXPECT_EQ(exists ? "Yes" : "No", byDefault.editFlags);
        if (admin) {
            EXPECT_EQ(exists ? "Long class" : "Unknown", byDefault.fileType);
        }
        // A value name past the 261-byte buffer names no class at all.
        EXPECT_EQ(exists ? "Yes" : "No", seen.at(".kvtpi" + std::to_string(length)).pane.editFlags);
    }
}

class HostileValues : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        kvr::SetLongVariable();
    }
};

TEST_F(HostileValues, MachineExtensionsInBothModesShowFallBacksAndCancelWritesNothing) {
    const std::vector<std::string> extensions = SeedEverything(HKEY_LOCAL_MACHINE);
    const kvr::ClassesImage before = kvr::ClassesImage::Take();
    for (int admin : {0, 1}) {
        SCOPED_TRACE(admin ? "admin mode" : "user mode");
        const std::map<std::string, Visit> seen = VisitAll(admin, false, extensions);
        ASSERT_EQ(extensions.size(), seen.size());
        ExpectNothingStale(seen);
        ExpectSizeRules(seen, admin);
        ExpectTypeRules(seen, admin);
        ExpectEditFlagRules(seen);
        ExpectLongClassRules(seen, admin);
        // A location whose file cannot be loaded shows where it points, and no icon.
        for (const char* extension : {".kvtimissingi", ".kvtinotpe", ".kvtitrunc"}) {
            EXPECT_FALSE(seen.at(extension).pane.largeIcon && admin) << extension;
            EXPECT_NE("", seen.at(extension).pane.iconFile) << extension;
        }
        // A location whose variable expands past 260 characters names no file.
        EXPECT_EQ("Unknown", seen.at(".kvtilong").pane.iconFile);
    }
    EXPECT_EQ("", kvr::ClassesImage::Take().DifferencesFrom(before));
}

TEST_F(HostileValues, UserExtensionsInTheTreeShowFallBacksAndCancelWritesNothing) {
    std::vector<std::string> extensions = kvr::SeedOddSizes(HKEY_CURRENT_USER);
    for (auto seed : {kvr::SeedWrongTypes, kvr::SeedEditFlagSizes, kvr::SeedIconLocations}) {
        std::vector<std::string> some = seed(HKEY_CURRENT_USER);
        extensions.insert(extensions.end(), some.begin(), some.end());
    }
    const kvr::ClassesImage before = kvr::ClassesImage::Take();
    const std::map<std::string, Visit> seen = VisitAll(0, true, extensions);
    ASSERT_EQ(extensions.size(), seen.size());
    ExpectNothingStale(seen);
    ExpectSizeRules(seen, 0);
    ExpectTypeRules(seen, 0);
    ExpectEditFlagRules(seen);
    EXPECT_EQ("", kvr::ClassesImage::Take().DifferencesFrom(before));
}

} // namespace
