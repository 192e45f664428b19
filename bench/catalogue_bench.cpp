// Catalogue and details benchmark.
//
//   bench_catalogue seed N   writes N machine extensions, each with a class,
//                            content type, perceived type, DefaultIcon and open
//                            command, and N/10 user extensions, half of them
//                            overriding machine ones
//   bench_catalogue run      measures, on whatever the prefix holds:
//     load   WM_INITDIALOG of dialog 1000 until the counts are in the status bar
//     floor  the same registry work alone: both hives' "."-keys enumerated and
//            each tested in the other hive
//     detail ShowDetails plus the EditFlags test for one selection
#include "app/app_state.h"
#include "app/catalogue/catalogue.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "details/extension_record.h"
#include "platform/registry.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kLoadRuns = 5;
constexpr int kDetailRuns = 200;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void SetText(HKEY key, const char* name, const char* text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(strlen(text) + 1));
}

void WriteExtension(HKEY hive, const char* extension, const char* fileClass) {
    char path[128];
    HKEY key;
    snprintf(path, sizeof path, "Software\\Classes\\%s", extension);
    if (RegCreateKeyExA(hive, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0)
        return;
    SetText(key, nullptr, fileClass);
    SetText(key, "Content Type", "application/x-kvbench");
    SetText(key, "PerceivedType", "document");
    RegCloseKey(key);

    snprintf(path, sizeof path, "Software\\Classes\\%s", fileClass);
    if (RegCreateKeyExA(hive, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0)
        return;
    SetText(key, nullptr, "Benchmark document");
    DWORD flags = 0x10000;
    RegSetValueExA(key, "EditFlags", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&flags), 4);
    HKEY child;
    if (RegCreateKeyExA(key, "DefaultIcon", 0, nullptr, 0, KEY_WRITE, nullptr, &child, nullptr) ==
        0) {
        SetText(child, nullptr, "%SystemRoot%\\system32\\shell32.dll,1");
        RegCloseKey(child);
    }
    if (RegCreateKeyExA(key, "shell\\open\\command", 0, nullptr, 0, KEY_WRITE, nullptr, &child,
                        nullptr) == 0) {
        SetText(child, nullptr, "\"C:\\windows\\notepad.exe\" \"%1\"");
        RegCloseKey(child);
    }
    RegCloseKey(key);
}

int Seed(int count) {
    char extension[32], fileClass[32];
    for (int i = 0; i < count; ++i) {
        snprintf(extension, sizeof extension, ".kvb%05d", i);
        snprintf(fileClass, sizeof fileClass, "kvbfile%05d", i);
        WriteExtension(HKEY_LOCAL_MACHINE, extension, fileClass);
    }
    for (int i = 0; i < count / 10; ++i) {
        if (i % 2 == 0)
            snprintf(extension, sizeof extension, ".kvb%05d", i * 10);
        else
            snprintf(extension, sizeof extension, ".kvu%05d", i);
        snprintf(fileClass, sizeof fileClass, "kvufile%05d", i);
        WriteExtension(HKEY_CURRENT_USER, extension, fileClass);
    }
    printf("seeded %d machine and %d user extensions\n", count, count / 10);
    return 0;
}

// --- The floor: the registry work of the catalogue without any control.

int FloorPass(HKEY hive, HKEY other) {
    int found = 0;
    RegKey classes;
    if (RegistryOpenKey(hive, "Software\\Classes", KEY_ENUMERATE_SUB_KEYS, classes.put()) != 0)
        return 0;
    char name[kExtensionNameSize];
    char path[kExtensionNameSize + 20];
    for (DWORD index = 0;; ++index) {
        memset(name, 0, sizeof name);
        DWORD length = kExtensionNameSize;
        LONG status = RegistryEnumKey(classes.get(), index, name, &length);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || name[0] != '.')
            continue;
        snprintf(path, sizeof path, "Software\\Classes\\%s", name);
        found += RegistryKeyExists(other, path);
    }
    return found;
}

double MeasureFloor() {
    double start = Now();
    volatile int found = FloorPass(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER);
    found = found + FloorPass(HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE);
    return Now() - start;
}

// --- The load and the details, through the real dialog 1000.

double g_initTime;
double g_loadTime;
std::vector<double> g_detailTimes;
bool g_measureDetails;
char g_statusText[300];

void MeasureDetails() {
    ListView_GetItemText(AppState.ExtensionList, 0, 0, CurrentExtension, kExtensionNameSize);
    for (int i = 0; i < kDetailRuns; ++i) {
        double start = Now();
        ShowDetails();
        ShowEditFlagsTest(HKEY_LOCAL_MACHINE);
        g_detailTimes.push_back(Now() - start);
    }
}

INT_PTR CALLBACK TimedMainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        g_initTime = Now();
    INT_PTR result = UserMainWindowProc(dialog, message, wParam, lParam);
    if (message == kCatalogueLoadedMessage) {
        g_loadTime = Now() - g_initTime;
        SendMessageA(AppState.StatusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(g_statusText));
        if (g_measureDetails)
            MeasureDetails();
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
    return result;
}

double MeasureLoad(bool withDetails) {
    g_measureDetails = withDetails;
    CoInitializeEx(nullptr, COINIT_DISABLE_OLE1DDE);
    DialogBoxParamA(AppState.Instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, TimedMainWindowProc, 0);
    return g_loadTime;
}

int Run() {
    PrepareAppState();
    AppState.AdminMode = 0;
    std::vector<double> loads, floors;
    MeasureFloor(); // the first pass pays for the registry's first touch
    for (int i = 0; i < kLoadRuns; ++i) {
        floors.push_back(MeasureFloor());
        loads.push_back(MeasureLoad(i == kLoadRuns - 1));
    }
    double load = Median(loads), floor = Median(floors);
    printf("status: %s\n", g_statusText);
    printf("load   median %.1f ms (of %d)\n", load, kLoadRuns);
    printf("floor  median %.1f ms (of %d)\n", floor, kLoadRuns);
    printf("ratio  %.2f\n", load / floor);
    printf("detail median %.3f ms (of %d)\n", Median(g_detailTimes), kDetailRuns);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && strcmp(argv[1], "seed") == 0)
        return Seed(atoi(argv[2]));
    if (argc >= 2 && strcmp(argv[1], "run") == 0)
        return Run();
    printf("usage: bench_catalogue seed N | run\n");
    return 1;
}
