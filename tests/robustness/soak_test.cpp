// Leaks and handles: every extension of a 2,000-extension catalogue selected
// in turn, the editor opened and cancelled 200 times, 50 compare cycles. The
// process's GDI and USER objects and the bytes in use on its heaps may not
// grow past a small bound once the program has warmed its caches.
#include "compare/compare_dialog.h"
#include "harness/editor_driver.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"
#include "robustness/handle_balance.h"
#include "robustness/robust_kit.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using kvt::Classes;
using kvt::User;

constexpr int kExtensions = 2000;
constexpr int kEditorCycles = 200;
constexpr int kCompareCycles = 50;
// Objects and bytes that caches and lists may still take after the warm-up.
// The heap does grow under Wine, by about 80 bytes a selection and 0.8 KB an
// editor cycle, none of it the program's own blocks: the driver keeps every
// notification it posts, and Wine's controls keep a few hundred bytes for
// each page made from the editor's templates, even under an empty dialog
// procedure.
constexpr long kObjectBound = 40;
constexpr long long kHeapBound = 4 << 20;

// What the process holds: the system's counts of GDI and USER objects (0
// under Wine, which does not count them), the program's own live icons, GDI
// objects and menus, and the bytes in use on the heaps.
struct Usage {
    long gdi = 0;
    long user = 0;
    kvr::HandleBalance own;
    long long heap = 0;
};

// Bytes in busy blocks over every heap of the process.
long long HeapInUse() {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    long long busy = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                busy += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return busy;
}

Usage Measure() {
    Usage usage;
    usage.gdi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    usage.user = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    usage.own = kvr::LiveProgramHandles();
    usage.heap = HeapInUse();
    return usage;
}

void Report(const char* when, const Usage& usage) {
    std::printf(
        "  %-20s GDI %4ld USER %4ld | icons %4ld GDI %4ld menus %4ld modules %3ld | heap %9lld\n",
        when, usage.gdi, usage.user, usage.own.icons, usage.own.gdiObjects, usage.own.menus,
        usage.own.modules, usage.heap);
}

void ExpectBounded(const Usage& before, const Usage& after, const char* what) {
    EXPECT_LE(after.gdi - before.gdi, kObjectBound) << what << " leaks GDI objects";
    EXPECT_LE(after.user - before.user, kObjectBound) << what << " leaks USER objects";
    EXPECT_LE(after.own.icons - before.own.icons, kObjectBound) << what << " leaks icons";
    EXPECT_LE(after.own.gdiObjects - before.own.gdiObjects, kObjectBound)
        << what << " leaks fonts or pens";
    EXPECT_LE(after.own.menus - before.own.menus, kObjectBound) << what << " leaks menus";
    EXPECT_LE(after.own.modules - before.own.modules, kObjectBound) << what << " leaks modules";
    EXPECT_LE(after.heap - before.heap, kHeapBound) << what << " leaks heap memory";
}

// 2,000 machine extensions, each with a class, a description, an icon from a
// real module (so that every selection loads icons) and an open command.
void SeedCatalogue() {
    const std::string icon = kvr::Files().module + ",1";
    HKEY classes = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &classes, nullptr);
    auto set = [](HKEY parent, const std::string& path, const std::string& text) {
        HKEY key = nullptr;
        RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    };
    for (int i = 0; i < kExtensions; ++i) {
        char extension[32], fileClass[32];
        std::snprintf(extension, sizeof extension, ".kvts%04d", i);
        std::snprintf(fileClass, sizeof fileClass, "kvts%04dfile", i);
        set(classes, extension, fileClass);
        set(classes, fileClass, std::string("Soak ") + extension);
        set(classes, std::string(fileClass) + "\\DefaultIcon", icon);
        set(classes, std::string(fileClass) + "\\shell\\open\\command",
            "\"C:\\kvt\\s.exe\" \"%1\"");
    }
    RegCloseKey(classes);
}

void OpenAndCancelEditor(User& user, HWND window, const std::string& extension) {
    HWND editor = kvt::CustomizeFromList(user, window, extension);
    ASSERT_NE(nullptr, editor);
    user.Click(editor, IDC_EDITOR_CANCEL);
    ASSERT_TRUE(user.WaitGone(editor));
}

void CompareCycle(User& user) {
    user.RunOnDialogThread(RunCompareDialog);
    HWND compare = user.WaitForWindow("Compare Extensions");
    ASSERT_NE(nullptr, compare);
    user.Click(compare, IDC_COMPARE_SCAN);
    ASSERT_TRUE(
        user.WaitUntil([&] { return IsWindowEnabled(GetDlgItem(compare, IDC_COMPARE_COMPARE)); }));
    user.Click(compare, IDC_COMPARE_COMPARE);
    ASSERT_TRUE(
        user.WaitUntil([&] { return IsWindowEnabled(GetDlgItem(compare, IDC_COMPARE_SCAN)); }));
    user.Click(compare, IDC_COMPARE_CLOSE);
    ASSERT_TRUE(user.WaitGone(compare));
}

std::string Extension(int i) {
    char name[32];
    std::snprintf(name, sizeof name, ".kvts%04d", i);
    return name;
}

class Soak : public kvt::RegistryTest {};

TEST_F(Soak, SelectingEditingAndComparingLeaksNothing) {
    // The counters move when objects are made, so a leak cannot pass unseen.
    kvr::CountProgramHandles();
    const Usage empty = Measure();
    HICON probe = CopyIcon(LoadIconA(nullptr, IDI_HAND));
    ASSERT_EQ(empty.own.icons + 1, Measure().own.icons) << "the icon counter counts nothing";
    DestroyIcon(probe);
    ASSERT_EQ(empty.own.icons, Measure().own.icons);
    HMODULE module = LoadLibraryExA(kvr::Files().module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_EQ(empty.own.modules + 1, Measure().own.modules) << "the module counter counts nothing";
    FreeLibrary(module);
    ASSERT_EQ(empty.own.modules, Measure().own.modules);

    SeedCatalogue();
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        // Warm-up: the system image lists, fonts and caches fill once.
        for (int i = 0; i < 20; ++i)
            ASSERT_TRUE(kvr::ShowListed(user, window, 0, Extension(i)));
        OpenAndCancelEditor(user, window, Extension(0));
        CompareCycle(user);
        kvr::Settle(user);
        const Usage warm = Measure();
        Report("after warm-up", warm);

        for (int i = 0; i < kExtensions; ++i) {
            const int row = User::ListFind(list, Extension(i));
            ASSERT_GE(row, 0);
            user.ClickListItem(list, row);
            if (i % 100 == 99) {
                ASSERT_TRUE(user.WaitUntil(
                    [&] { return User::Text(window, IDC_MAIN_EXTENSION) == Extension(i); }));
            }
        }
        kvr::Settle(user);
        const Usage selected = Measure();
        Report("2,000 selections", selected);
        ExpectBounded(warm, selected, "selecting");

        for (int cycle = 0; cycle < kEditorCycles; ++cycle)
            OpenAndCancelEditor(user, window, Extension(cycle * 7 % kExtensions));
        kvr::Settle(user);
        const Usage edited = Measure();
        Report("200 editor cycles", edited);
        ExpectBounded(selected, edited, "the editor");

        for (int cycle = 0; cycle < kCompareCycles; ++cycle)
            CompareCycle(user);
        kvr::Settle(user);
        const Usage compared = Measure();
        Report("50 compare cycles", compared);
        ExpectBounded(edited, compared, "comparing");
        ExpectBounded(warm, compared, "the whole session");
        user.Close(window);
    });
}

} // namespace
