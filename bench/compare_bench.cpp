// Compare benchmark.
//
//   bench_compare seed N   writes N extension keys .kvc00000 ... under the
//                          machine's classes, each with a class name
//   bench_compare run N    on that prefix, through the real dialog 8000:
//                          "&Scan", then 500 keys added and 500 of the N
//                          removed, then "Com&pare"; medians of 5 runs of
//     compare  the whole "Com&pare": the second snapshot, the comparison, the
//              result list and the counts, until the progress window closes
//     floor    the bare registry work under it: RegEnumKeyExA over every
//              sub-key of HKLM\Software\Classes and HKCU\Software\Classes
//   Each run puts the registry back as it was seeded.
#include "bench/bench_clock.h"
#include "app/app_state.h"
#include "app/startup.h"
#include "compare/compare_dialog.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kChanges = 500;

// ".kvc00042", or with a suffix ".kvc00042x", which sorts right after it.
void ClassesPath(char* path, size_t size, int number, const char* suffix) {
    snprintf(path, size, "Software\\Classes\\.kvc%05d%s", number, suffix);
}

void WriteExtension(int number, const char* suffix) {
    char path[64], fileClass[32];
    ClassesPath(path, sizeof path, number, suffix);
    snprintf(fileClass, sizeof fileClass, "kvcfile%05d", number);
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(fileClass),
                   static_cast<DWORD>(strlen(fileClass) + 1));
    RegCloseKey(key);
}

void DeleteExtension(int number, const char* suffix) {
    char path[64];
    ClassesPath(path, sizeof path, number, suffix);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
}

int Seed(int count) {
    for (int i = 0; i < count; ++i)
        WriteExtension(i, "");
    printf("seeded %d extensions\n", count);
    return 0;
}

// --- The installation between the snapshots, and its undoing: the added and
// the removed extensions are spread over the whole run and interleave in the
// result list.

int g_count;

int ChangedNumber(int i) {
    return i * (g_count / kChanges);
}

void Install() {
    for (int i = 0; i < kChanges; ++i) {
        WriteExtension(ChangedNumber(i), "x");
        DeleteExtension(ChangedNumber(i) + 1, "");
    }
}

void Uninstall() {
    for (int i = 0; i < kChanges; ++i) {
        DeleteExtension(ChangedNumber(i), "x");
        WriteExtension(ChangedNumber(i) + 1, "");
    }
}

// --- The floor: every sub-key of both hives' classes, enumerated bare.

int EnumerateAll(HKEY hive) {
    HKEY classes;
    if (RegOpenKeyExA(hive, "Software\\Classes", 0, KEY_ENUMERATE_SUB_KEYS, &classes) !=
        ERROR_SUCCESS)
        return 0;
    int count = 0;
    char name[MAX_PATH];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        LONG status =
            RegEnumKeyExA(classes, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        count += status == ERROR_SUCCESS;
    }
    RegCloseKey(classes);
    return count;
}

double MeasureFloor() {
    double start = Now();
    volatile int keys = EnumerateAll(HKEY_LOCAL_MACHINE) + EnumerateAll(HKEY_CURRENT_USER);
    (void)keys;
    return Now() - start;
}

// --- One run through the real dialog.

double g_floor;
double g_compare;
char g_counts[64];

INT_PTR CALLBACK TimedCompareProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_COMPARE_COMPARE) {
        double start = Now();
        INT_PTR result = CompareDialogProc(dialog, message, wParam, lParam);
        g_compare = Now() - start;
        snprintf(g_counts, sizeof g_counts, "added %u, deleted %u",
                 GetDlgItemInt(dialog, IDC_COMPARE_ADDED, nullptr, FALSE),
                 GetDlgItemInt(dialog, IDC_COMPARE_DELETED, nullptr, FALSE));
        return result;
    }
    INT_PTR result = CompareDialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG)
        PostMessageA(dialog, WM_COMMAND, IDC_COMPARE_SCAN, 0);
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_COMPARE_SCAN) {
        Install();
        g_floor = MeasureFloor();
        PostMessageA(dialog, WM_COMMAND, IDC_COMPARE_COMPARE, 0);
    }
    return result;
}

// Answers "No" to the offer to save, then closes the compare dialog.
void DeclineAndClose() {
    HWND question = nullptr;
    while (!(question = FindWindowA("#32770", "Save to file")))
        Sleep(1);
    HWND dialog = GetWindow(question, GW_OWNER);
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    while (IsWindow(question))
        Sleep(1);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

void RunOnce() {
    std::thread closer(DeclineAndClose);
    DialogBoxParamA(AppState.Instance, MAKEINTRESOURCEA(IDD_COMPARE), nullptr, TimedCompareProc, 0);
    closer.join();
    Uninstall();
}

int Run(int count) {
    g_count = count;
    PrepareAppState();
    RunOnce(); // the first run pays for the registry's first touch
    std::vector<double> compares, floors;
    for (int i = 0; i < kRuns; ++i) {
        RunOnce();
        compares.push_back(g_compare);
        floors.push_back(g_floor);
    }
    double compare = Median(compares), floor = Median(floors);
    printf("result  %s\n", g_counts);
    printf("compare median %.1f ms (of %d)\n", compare, kRuns);
    printf("floor   median %.1f ms (of %d)\n", floor, kRuns);
    printf("ratio   %.2f\n", compare / floor);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && strcmp(argv[1], "seed") == 0)
        return Seed(atoi(argv[2]));
    if (argc >= 3 && strcmp(argv[1], "run") == 0)
        return Run(atoi(argv[2]));
    printf("usage: bench_compare seed N | run N\n");
    return 1;
}
