// Compare benchmark.
//
//   bench_compare seed N   writes N extension keys .kvc00000 ... under the
//                          machine's classes, each naming a class, and the N
//                          class keys kvcfile00000 ... they name
//   bench_compare run N    on that prefix, through the real dialog 8000:
//                          "&Scan", then 500 keys added and 500 of the N
//                          removed, then "Com&pare"; medians of 5 runs of
//     scan     the whole "&Scan" (the first snapshot), on the dialog's thread
//     compare  the whole "Com&pare": the second snapshot, the comparison, the
//              result list and the counts, until the save question appears
//     floor    the bare registry work under a snapshot: RegEnumKeyExA over
//              the run of "."-keys of HKLM\Software\Classes and of
//              HKCU\Software\Classes
//   Each run puts the registry back as it was seeded.
#include "bench/bench_clock.h"
#include "records/app_state.h"
#include "ui/app_ui.h"
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
    for (int i = 0; i < count; ++i) {
        WriteExtension(i, "");
        char path[64];
        snprintf(path, sizeof path, "Software\\Classes\\kvcfile%05d", i);
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
    printf("seeded %d extensions and their %d classes\n", count, count);
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

// --- The floor: the run of "."-keys of both hives' classes, enumerated bare.

int EnumerateRun(HKEY hive) {
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
        if (status != ERROR_SUCCESS || (name[0] != '.' && count > 0))
            break;
        count += name[0] == '.';
    }
    RegCloseKey(classes);
    return count;
}

double MeasureFloor() {
    double start = Now();
    volatile int keys = EnumerateRun(HKEY_LOCAL_MACHINE) + EnumerateRun(HKEY_CURRENT_USER);
    (void)keys;
    return Now() - start;
}

// --- One run through the real dialog.

double g_floor;
double g_scan;
double g_compareStart;
double g_compare;
char g_counts[64];

INT_PTR CALLBACK TimedCompareProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_COMPARE_COMPARE) {
        g_compareStart = Now();
        INT_PTR result = CompareDialogProc(dialog, message, wParam, lParam);
        snprintf(g_counts, sizeof g_counts, "added %u, deleted %u",
                 GetDlgItemInt(dialog, IDC_COMPARE_ADDED, nullptr, FALSE),
                 GetDlgItemInt(dialog, IDC_COMPARE_DELETED, nullptr, FALSE));
        return result;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_COMPARE_SCAN) {
        double start = Now();
        INT_PTR result = CompareDialogProc(dialog, message, wParam, lParam);
        g_scan = Now() - start;
        Install();
        g_floor = MeasureFloor();
        PostMessageA(dialog, WM_COMMAND, IDC_COMPARE_COMPARE, 0);
        return result;
    }
    INT_PTR result = CompareDialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG)
        PostMessageA(dialog, WM_COMMAND, IDC_COMPARE_SCAN, 0);
    return result;
}

// Stops the comparison's clock when the offer to save appears, answers "No",
// then closes the compare dialog.
void DeclineAndClose() {
    HWND question = nullptr;
    while (!(question = FindWindowA("#32770", "Save to file")))
        Sleep(0);
    g_compare = Now() - g_compareStart;
    HWND dialog = GetWindow(question, GW_OWNER);
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    while (IsWindow(question))
        Sleep(1);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

void RunOnce() {
    std::thread closer(DeclineAndClose);
    DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_COMPARE), nullptr, TimedCompareProc, 0);
    closer.join();
    Uninstall();
}

int Run(int count) {
    g_count = count;
    PrepareAppState();
    RunOnce(); // the first run pays for the registry's first touch
    std::vector<double> scans, compares, floors;
    for (int i = 0; i < kRuns; ++i) {
        RunOnce();
        scans.push_back(g_scan);
        compares.push_back(g_compare);
        floors.push_back(g_floor);
    }
    double compare = Median(compares), floor = Median(floors);
    printf("result  %s\n", g_counts);
    printf("scan    median %.1f ms (of %d)\n", Median(scans), kRuns);
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
