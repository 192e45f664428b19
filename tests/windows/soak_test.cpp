// Leaks: hundreds of selections, editor and compare cycles in one session may
// not leave icons, GDI objects, menus, kernel handles (keys, files, threads)
// or heap blocks behind once the program has warmed its caches.
#include "harness/kvt.h"
#include "records/app_state.h"
#include "resources/resource.h"

namespace {

using kvt::User;

constexpr int kExtensions = 150;
// What caches, image lists and Wine's controls may still take after warming.
constexpr long kBound = 30;
constexpr long long kHeapBound = 2 << 20;

struct Usage {
    long gdi = 0, icons = 0, menus = 0, kernel = 0;
    long long heap = 0;
};

// Counted by probing every handle value: Wine keeps no counts, but answers
// for a handle given by its table index alone.
Usage Measure() {
    Usage usage;
    for (ULONG_PTR index = 1; index < 0x10000; ++index) {
        usage.gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
        DWORD flags = 0;
        usage.kernel +=
            index % 4 == 0 && GetHandleInformation(reinterpret_cast<HANDLE>(index), &flags);
        ICONINFO icon = {};
        if (index % 2 == 0 && IsMenu(reinterpret_cast<HMENU>(index))) {
            ++usage.menus;
        } else if (index % 2 == 0 && GetIconInfo(reinterpret_cast<HICON>(index), &icon)) {
            ++usage.icons;
            DeleteObject(icon.hbmMask);
            DeleteObject(icon.hbmColor);
        }
    }
    PROCESS_HEAP_ENTRY entry = {};
    HeapLock(GetProcessHeap());
    while (HeapWalk(GetProcessHeap(), &entry))
        usage.heap += entry.wFlags & PROCESS_HEAP_ENTRY_BUSY ? entry.cbData : 0;
    HeapUnlock(GetProcessHeap());
    return usage;
}

void ExpectBounded(const Usage& before, const Usage& after) {
    EXPECT_LE(after.gdi - before.gdi, kBound) << "GDI objects";
    EXPECT_LE(after.icons - before.icons, kBound) << "icons";
    EXPECT_LE(after.menus - before.menus, kBound) << "menus";
    EXPECT_LE(after.kernel - before.kernel, kBound) << "kernel handles";
    EXPECT_LE(after.heap - before.heap, kHeapBound) << "heap bytes";
}

std::string Extension(int i) {
    return ".kvts" + std::to_string(1000 + i);
}

void Cycle(User& user, HWND window, int i) {
    user.Act(GetDlgItem(window, IDC_MAIN_LIST), Extension(i), 0);
    if (i % 10 == 0) {
        HWND editor = kvt::OpenEditor(user, window, Extension(i));
        user.Click(editor, IDC_EDITOR_CANCEL);
        user.WaitGone(editor);
    }
    if (i % 40 == 0) {
        PostMessageA(window, WM_COMMAND, IDM_COMPARE, 0);
        HWND compare = user.WaitFor("Compare Extensions");
        user.Click(compare, IDC_COMPARE_SCAN);
        user.Wait([&] { return IsWindowEnabled(GetDlgItem(compare, IDC_COMPARE_COMPARE)); });
        user.Click(compare, IDC_COMPARE_COMPARE);
        user.Wait([&] { return IsWindowEnabled(GetDlgItem(compare, IDC_COMPARE_SCAN)); });
        user.Click(compare, IDC_COMPARE_CLOSE);
        user.WaitGone(compare);
    }
}

class Soak : public kvt::RegistryTest {};

TEST_F(Soak, ASessionLeavesNothingBehind) {
    // Every selection loads icons from a real module and the program's file.
    const std::string module =
        kvt::RegText(std::string(AppState.AppDirectory) + "test_windows.exe");
    std::string seed;
    for (int i = 0; i < kExtensions; ++i) {
        const std::string type = "HKLM\\Software\\Classes\\kvtsoak" + std::to_string(i % 20);
        seed += "[HKLM\\Software\\Classes\\" + Extension(i) + "]\n@=\"" + type.substr(22) +
                "\"\n[" + type + "\\DefaultIcon]\n@=\"" + module + "," + std::to_string(i % 3) +
                "\"\n[" + type + "\\shell\\open\\command]\n@=\"C:\\\\Tools\\\\kvtview.exe %1\"\n";
    }
    kvt::Seed(seed);
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        for (int i = 0; i < 20; ++i)
            Cycle(user, window, i);
        user.Do([] {});
        const Usage warm = Measure();
        for (int i = 20; i < kExtensions; ++i)
            Cycle(user, window, i);
        user.Do([] {});
        ExpectBounded(warm, Measure());
    });
}

} // namespace
