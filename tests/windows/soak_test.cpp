// Leaks: a session of selections, editor and compare cycles, once caches are
// warm, leaves no icons, GDI objects, menus or kernel handles behind.
#include "harness/kvt.h"
#include "records/app_state.h"
#include "resources/resource.h"

namespace {

using kvt::User;

constexpr int kExtensions = 150;
// What caches, image lists and Wine's controls may still take after warming.
constexpr long kBound = 30;

struct Usage {
    long gdi = 0, icons = 0, menus = 0, kernel = 0;
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
        usage.menus += index % 2 == 0 && IsMenu(reinterpret_cast<HMENU>(index));
        if (index % 2 == 0 && GetIconInfo(reinterpret_cast<HICON>(index), &icon)) {
            ++usage.icons;
            DeleteObject(icon.hbmMask);
            DeleteObject(icon.hbmColor);
        }
    }
    return usage;
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
        user.Close(compare);
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
        const Usage after = Measure();
        EXPECT_LE(after.gdi - warm.gdi, kBound) << "GDI objects";
        EXPECT_LE(after.icons - warm.icons, kBound) << "icons";
        EXPECT_LE(after.menus - warm.menus, 2) << "menus (none is cached)";
        EXPECT_LE(after.kernel - warm.kernel, kBound) << "kernel handles";
    });
}

} // namespace
