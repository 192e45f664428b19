// Large and deep registries through the real windows: a class tree 200 levels
// deep, 5,000 registered programs with an Open With list of 1,000 of them, and
// 20,000 extensions in each hive. Each is seeded with batched writes through
// open handles and removed with one delete per parent; each step's time is
// printed, and bounded so that a quadratic slip fails the test.
#include "compare/compare_dialog.h"
#include "editor/opens_with_page.h"
#include "records/editor_state.h"
#include "harness//editor_driver.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "openwith/openwith_editor.h"
#include "resources/resource.h"
#include "robustness/robust_kit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

using kvt::Classes;
using kvt::User;

constexpr int kDepth = 200;
constexpr int kPrograms = 5000;
constexpr int kListed = 1000;
constexpr int kExtensionsPerHive = 20000;

// Prints how long a step took and fails when it took longer than bound.
class Stopwatch {
  public:
    explicit Stopwatch(const char* step, DWORD boundMs) : step_(step), bound_(boundMs) {}
    ~Stopwatch() {
        const DWORD took = GetTickCount() - start_;
        std::printf("  %-44s %6lu ms\n", step_, took);
        EXPECT_LE(took, bound_) << step_ << " took too long";
    }

  private:
    const char* step_;
    DWORD bound_;
    DWORD start_ = GetTickCount();
};

HKEY Create(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

void Set(HKEY key, const char* name, const std::string& text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

std::string Numbered(const char* prefix, int number) {
    char text[64];
    std::snprintf(text, sizeof text, "%s%05d", prefix, number);
    return text;
}

// The depth of the chain "level0\level1\..." below hive\path, walked with one
// relative open per level.
int ChainDepth(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    int depth = 0;
    for (;; ++depth) {
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, ("level" + std::to_string(depth)).c_str(), 0, KEY_READ, &child) !=
            ERROR_SUCCESS)
            break;
        RegCloseKey(key);
        key = child;
    }
    RegCloseKey(key);
    return depth;
}

class LargeFixtures : public kvt::RegistryTest {};

TEST_F(LargeFixtures, ClassTree200LevelsDeepIsCopiedWholeByCustomizeAndRestoredAway) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtdeep", "kvtdeepfile", "Deep", "deep.exe %1");
    HKEY key = Create(HKEY_LOCAL_MACHINE, Classes("kvtdeepfile"));
    for (int level = 0; level < kDepth; ++level) {
        HKEY child = Create(key, "level" + std::to_string(level));
        Set(child, "Level", std::to_string(level));
        RegCloseKey(key);
        key = child;
    }
    RegCloseKey(key);
    ASSERT_EQ(kDepth, ChainDepth(HKEY_LOCAL_MACHINE, Classes("kvtdeepfile")));
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        {
            Stopwatch watch("customize and save, 200 levels", 20000);
            HWND editor = kvt::CustomizeFromList(user, window, ".kvtdeep");
            ASSERT_NE(nullptr, editor);
            HWND description = kvt::EditorControl(editor, IDC_GENERAL_DESCRIPTION);
            kvt::MoveCaretToEnd(description);
            user.Type(description, " copy");
            user.Click(editor, IDC_EDITOR_SAVE);
            ASSERT_TRUE(user.WaitGone(editor));
        }
        EXPECT_EQ(kDepth, ChainDepth(HKEY_CURRENT_USER, Classes("kvtdeepfile")))
            << "the user's copy is the whole tree";
        EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtdeepfile"), nullptr, "Deep copy");
        {
            Stopwatch watch("restore, 200 levels", 20000);
            HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
            user.RightClickTreeItem(tree, User::TreeFind(tree, ".kvtdeep"));
            user.ChooseMenuCommand(IDM_RESTORE);
            kvt::MessageBoxInfo box = user.WaitForMessageBox();
            user.Answer(box, IDYES);
            ASSERT_TRUE(user.WaitGone(box.window));
            ASSERT_TRUE(user.WaitUntil(
                [&] { return IsWindowEnabled(window) && !user.FindWindowNow("Please Wait..."); }));
            kvr::Settle(user);
        }
        user.Close(window);
    });
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes("kvtdeepfile")));
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, Classes(".kvtdeep")));
    EXPECT_EQ(kDepth, ChainDepth(HKEY_LOCAL_MACHINE, Classes("kvtdeepfile")));
}

// kPrograms registered programs of the user, each with a friendly name, and
// the user's Open With list of ".kvtowl" naming the first kListed of them.
void SeedPrograms() {
    Stopwatch watch("seed 5,000 programs, 1,000 listed", 60000);
    HKEY applications = Create(HKEY_CURRENT_USER, "Software\\Classes\\Applications");
    for (int i = 0; i < kPrograms; ++i) {
        const std::string name = Numbered("kvtapp", i) + ".exe";
        HKEY program = Create(applications, name);
        Set(program, "FriendlyAppName", Numbered("KVT Program ", i));
        HKEY command = Create(program, "shell\\open\\command");
        Set(command, nullptr, "\"C:\\kvt\\" + name + "\" \"%1\"");
        RegCloseKey(command);
        RegCloseKey(program);
    }
    RegCloseKey(applications);
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtowl", "kvtowlfile", "Listed", "o.exe %1");
    HKEY list = Create(HKEY_CURRENT_USER, kvt::OpenWithListPath(".kvtowl"));
    // The list's own names are single letters; longer ones are read too.
    for (int i = 0; i < kListed; ++i)
        Set(list, Numbered("k", i).c_str(), Numbered("kvtapp", i) + ".exe");
    Set(list, "MRUList", "abc");
    RegCloseKey(list);
}

// The "Add Program" submenu of the Opens-with page's pop-up menu.
HMENU AddProgramMenu() {
    for (const kvt::MenuEntry& entry : User::MenuEntries(RecentListMenu))
        if (entry.submenu)
            return entry.submenu;
    return nullptr;
}

std::set<std::string> ProgramTexts(HMENU menu) {
    std::set<std::string> texts;
    for (const kvt::MenuEntry& entry : User::MenuEntries(menu))
        texts.insert(entry.text);
    return texts;
}

TEST_F(LargeFixtures, FiveThousandProgramsAndAnOpenWithListOfAThousand) {
    SeedPrograms();
    const kvr::ClassesImage before = kvr::ClassesImage::Take();
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND editor = nullptr;
        {
            Stopwatch watch("editor with 5,000 programs opens", 60000);
            editor = kvt::CustomizeFromList(user, window, ".kvtowl");
            ASSERT_NE(nullptr, editor);
        }
        HWND combo = kvt::EditorControl(editor, IDC_OPENSWITH_PROGRAMCOMBO);
        HWND recent = kvt::EditorControl(editor, IDC_OPENSWITH_RECENTLIST);
        EXPECT_GE(SendMessageA(combo, CB_GETCOUNT, 0, 0), kPrograms);
        EXPECT_EQ(kListed, User::ListCount(recent));
        // "Add Program" offers exactly the programs the list does not show.
        std::set<std::string> offered = ProgramTexts(AddProgramMenu());
        EXPECT_EQ(0u, offered.count(Numbered("KVT Program ", 0)));
        EXPECT_EQ(0u, offered.count(Numbered("KVT Program ", kListed - 1)));
        EXPECT_EQ(1u, offered.count(Numbered("KVT Program ", kListed)));
        EXPECT_EQ(1u, offered.count(Numbered("KVT Program ", kPrograms - 1)));

        kvt::ShowEditorPage(user, editor, 1);
        const std::string first = User::ListText(recent, 0);
        {
            Stopwatch watch("Remove beside 4,000 offered programs", 20000);
            user.RightClickListItem(recent, 0);
            user.ChooseMenuCommand(IDM_RECENT_REMOVE);
            ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(recent) == kListed - 1; }));
        }
        std::set<UINT> commands;
        for (const kvt::MenuEntry& entry : User::MenuEntries(AddProgramMenu())) {
            EXPECT_NE(static_cast<UINT>(IDM_RECENT_REMOVE), entry.command);
            EXPECT_TRUE(commands.insert(entry.command).second) << "command used twice";
        }
        EXPECT_EQ(1u, ProgramTexts(AddProgramMenu()).count(first));
        {
            Stopwatch watch("Add Program of the removed one", 20000);
            user.RightClickListItem(recent, 0);
            HMENU popup = user.WaitForPopupMenu();
            ASSERT_NE(nullptr, popup);
            UINT command = 0;
            for (const kvt::MenuEntry& entry : User::MenuEntries(AddProgramMenu()))
                if (entry.text == first)
                    command = entry.command;
            user.ChooseMenuCommand(command);
            ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(recent) == kListed; }));
        }
        EXPECT_EQ(first, User::ListText(recent, 0));
        EXPECT_EQ(0u, ProgramTexts(AddProgramMenu()).count(first));
        {
            Stopwatch watch("editor cancelled unsaved and closed", 20000);
            user.Click(editor, IDC_EDITOR_CANCEL);
            kvt::MessageBoxInfo box = user.WaitForMessageBox();
            EXPECT_EQ("Do you want to save changes?", box.text);
            user.Answer(box, IDNO);
            ASSERT_TRUE(user.WaitGone(editor));
        }
        user.Close(window);
    });
    kvt::RunDialog(RunOpenWithEditor, [&](User& user) {
        Stopwatch watch("Open With editor lists 5,000 programs", 60000);
        HWND dialog = user.WaitForDialogWith(IDC_OPENWITHEDITOR_LIST);
        ASSERT_NE(nullptr, dialog);
        EXPECT_GE(User::ListCount(GetDlgItem(dialog, IDC_OPENWITHEDITOR_LIST)), kPrograms);
        user.Close(dialog);
        EXPECT_TRUE(user.WaitGone(dialog));
    });
    EXPECT_EQ("", kvr::ClassesImage::Take().DifferencesFrom(before));
    Stopwatch watch("remove 5,000 programs", 60000);
    kvt::DeleteKey(HKEY_CURRENT_USER, "Software\\Classes\\Applications");
}

// kExtensionsPerHive extensions in each hive, every tenth of the user's
// overriding one of the machine's.
void SeedExtensions() {
    Stopwatch watch("seed 20,000 extensions per hive", 120000);
    for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY classes = Create(hive, "Software\\Classes");
        for (int i = 0; i < kExtensionsPerHive; ++i) {
            const bool overrides = hive == HKEY_CURRENT_USER && i % 10 == 0;
            HKEY extension = Create(
                classes, Numbered(hive == HKEY_LOCAL_MACHINE || overrides ? ".kvtm" : ".kvtu", i));
            Set(extension, nullptr, "kvtbulkfile");
            RegCloseKey(extension);
        }
        HKEY fileClass = Create(classes, "kvtbulkfile");
        Set(fileClass, nullptr, "Bulk");
        RegCloseKey(fileClass);
        RegCloseKey(classes);
    }
}

void RemoveExtensions() {
    Stopwatch watch("remove 20,000 extensions per hive", 120000);
    kvt::RemoveTestKeys();
}

TEST_F(LargeFixtures, TwentyThousandExtensionsInEachHive) {
    SeedExtensions();
    const int machineCount = kvt::CountExtensionKeys(HKEY_LOCAL_MACHINE);
    const int userCount = kvt::CountExtensionKeys(HKEY_CURRENT_USER);
    for (int admin : {0, 1}) {
        SCOPED_TRACE(admin ? "admin mode" : "user mode");
        Stopwatch watch(admin ? "admin window: load, select, search, close"
                              : "user window: load, select, compare, close",
                        120000);
        kvt::RunMainWindow(admin, [&](User& user, HWND window) {
            HWND list = GetDlgItem(window, admin ? IDC_ADMIN_LIST : IDC_MAIN_LIST);
            if (admin) {
                EXPECT_EQ(machineCount, User::ListCount(list));
            } else {
                EXPECT_EQ(machineCount - kExtensionsPerHive / 10, User::ListCount(list));
                EXPECT_NE(std::string::npos,
                          kvt::StatusText().find(
                              std::to_string(machineCount + userCount - kExtensionsPerHive / 10)));
            }
            // Machine extensions that the user does not override.
            for (int i : {1, kExtensionsPerHive / 2 + 1, kExtensionsPerHive - 1}) {
                ASSERT_TRUE(kvr::ShowListed(user, window, admin, Numbered(".kvtm", i)));
                EXPECT_EQ("Bulk", kvt::ReadPane(window, admin).fileType);
            }
            if (!admin) {
                EXPECT_TRUE(
                    kvr::ShowInTree(user, window, Numbered(".kvtu", kExtensionsPerHive - 1)));
                user.RunOnDialogThread(RunCompareDialog);
                HWND compare = user.WaitForWindow("Compare Extensions");
                ASSERT_NE(nullptr, compare);
                user.Click(compare, IDC_COMPARE_SCAN);
                EXPECT_TRUE(user.WaitUntil(
                    [&] { return IsWindowEnabled(GetDlgItem(compare, IDC_COMPARE_COMPARE)); },
                    60000));
                user.Click(compare, IDC_COMPARE_COMPARE);
                EXPECT_TRUE(user.WaitUntil(
                    [&] { return IsWindowEnabled(GetDlgItem(compare, IDC_COMPARE_SCAN)); }, 60000));
                EXPECT_EQ("0", User::Text(compare, IDC_COMPARE_ADDED));
                EXPECT_EQ("0", User::Text(compare, IDC_COMPARE_DELETED));
                user.Click(compare, IDC_COMPARE_CLOSE);
                EXPECT_TRUE(user.WaitGone(compare));
            }
            user.Close(window);
        });
    }
    RemoveExtensions();
}

} // namespace
