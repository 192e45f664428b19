// Catalogue and details benchmark.
//
//   bench_catalogue seed N   writes N machine extensions .kvb00000 ..., each
//                            with a class, content type, perceived type,
//                            DefaultIcon and open command, and N/10 user
//                            extensions, half of them overriding machine ones
//                            (.kvb00000, .kvb00020, ...), half their own
//                            (.kvu); and N/100 machine and N/1000 user link
//                            types alike (kvblink, kvulink; bench_seed.h)
//   bench_catalogue run N    on that prefix, 7 runs, each of
//     floor   the registry work of a load alone: both hives' "."-keys
//             enumerated and the names the loader tests looked up in the other
//             hive
//     load    right after it, WM_INITDIALOG of dialog 1000 until
//             ShowStatusCounts has written the counts, split at the arrival of
//             the loader's last part (the registry has been read; the controls
//             are filled meanwhile); the link types come later and are left
//             out, so that builds without them compare
//     links   WM_INITDIALOG until the link types' counts are written
//     details then, in that window, a record read and shown in the pane for up
//             to 200 "System" extensions (tested under HKLM) and up to 200
//             "User Customized" ones (under HKCU)
//   and prints the medians: of load and floor, of the 7 ratios of a load to
//   the floor measured just before it (the machine is shared, and a ratio of
//   neighbours suffers least from what else runs), and of all selections.
//   The counts the window shows, of extensions and of link types, are checked
//   against N; a wrong load exits 1.
//   bench_catalogue check N  on that prefix, 5 runs, each of the floor and the
//     load as above, then
//     check floor  the registry reads the check of the file types cannot do
//                  without, bare: each machine extension's class and
//                  OpenWithProgids, its class's actions, their commands and
//                  its DefaultIcon
//     check        CheckFileTypes in user mode and in admin mode
//   and prints the medians, and those of the ratios of each check to the load
//   of its run. The seeded types are all sound: a finding exits 1.
#include "bench/bench_clock.h"
#include "bench/bench_seed.h"
#include "records/app_state.h"
#include "catalogue/catalogue.h"
#include "checks/checks.h"
#include "app/main_window.h"
#include "app/main_window_shared.h"
#include "app/startup.h"
#include "resources/resource.h"
#include "ui/app_ui.h"
#include "text/text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kLoadRuns = 7;
constexpr int kDetailRuns = 200;

// --- The floor: the loader's registry work without the window.

std::vector<std::string> ExtensionNames(HKEY hive) {
    std::vector<std::string> names;
    HKEY classes;
    if (RegOpenKeyExA(hive, kClasses, 0, KEY_ENUMERATE_SUB_KEYS, &classes) != 0)
        return names;
    char name[kExtensionNameSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = kExtensionNameSize;
        LONG status =
            RegEnumKeyExA(classes, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS && name[0] == '.')
            names.push_back(name);
    }
    RegCloseKey(classes);
    return names;
}

std::string Lower(std::string text) {
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The names the loader looks up in the other hive: those both hives list
// (all bench names are ASCII, so no others).
std::vector<std::string> NamesInBoth() {
    std::set<std::string> user;
    for (const std::string& name : ExtensionNames(HKEY_CURRENT_USER))
        user.insert(Lower(name));
    std::vector<std::string> both;
    for (const std::string& name : ExtensionNames(HKEY_LOCAL_MACHINE))
        if (user.count(Lower(name)))
            both.push_back(name);
    return both;
}

double MeasureFloor(const std::vector<std::string>& tested) {
    double start = Now();
    volatile size_t listed = ExtensionNames(HKEY_LOCAL_MACHINE).size();
    listed = listed + ExtensionNames(HKEY_CURRENT_USER).size();
    for (const std::string& name : tested) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kClasses) + "\\" + name).c_str(), 0,
                          KEY_QUERY_VALUE, &key) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
    return Now() - start;
}

// --- The load and the details, through the real dialog 1000.

struct LoadTimes {
    double initialised = 0;
    double lastPart = 0;
    double loaded = 0;
    double linksLoaded = 0;
};
LoadTimes g_times;
int g_count;
std::string g_status, g_linkStatus;
std::vector<double> g_systemDetails, g_customizedDetails;
bool g_measureDetails = true;

double TimeSelection(MainWindow& main, const char* extension) {
    double start = Now();
    ShowExtension(main, extension);
    return Now() - start;
}

// Selections that change each time, as a person goes down the list and the
// tree, one of each kind in turn: the "System" ones are the machine
// extensions nobody overrides, the "User Customized" ones the overridden.
void MeasureDetails(MainWindow& main) {
    char name[32];
    int machine = 0;
    for (int i = 0; i < kDetailRuns; ++i) {
        if (++machine % 20 == 0)
            ++machine;
        if (machine < g_count) {
            MachineName(machine, name, sizeof name);
            g_systemDetails.push_back(TimeSelection(main, name));
        }
        if (2 * i < g_count / 10) {
            UserName(2 * i, name, sizeof name);
            g_customizedDetails.push_back(TimeSelection(main, name));
        }
    }
}

INT_PTR CALLBACK TimedMainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        g_times.initialised = Now();
    const double arrived = message == kCatalogueLoadedMessage ? Now() : 0;
    INT_PTR result = UserMainWindowProc(dialog, message, wParam, lParam);
    if (message != kCatalogueLoadedMessage)
        return result;
    // The extensions' counts are written after their last part, the link
    // types' after theirs, which also writes the extensions' again: each
    // time is taken at its first writing only.
    char status[300] = {};
    if (!g_times.loaded) {
        SendDlgItemMessageA(dialog, IDC_MAIN_STATUS, SB_GETTEXTA, 0,
                            reinterpret_cast<LPARAM>(status));
        if (status[0]) {
            g_times.lastPart = arrived;
            g_times.loaded = Now();
            g_status = status;
        }
    }
    status[0] = 0;
    SendDlgItemMessageA(dialog, IDC_MAIN_STATUS, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(status));
    if (!status[0] || g_times.linksLoaded)
        return result;
    g_times.linksLoaded = Now();
    g_linkStatus = status;
    // The loader has ended: nothing else runs while the details are timed,
    // nor once the window has closed.
    if (g_measureDetails)
        MeasureDetails(MainWindowOf(dialog));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    return result;
}

LoadTimes MeasureLoad() {
    g_times = LoadTimes();
    // The main window undoes start-up's COM initialisation when it closes.
    CoInitializeEx(nullptr, COINIT_DISABLE_OLE1DDE);
    MainWindow main;
    DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, TimedMainWindowProc,
                    reinterpret_cast<LPARAM>(&main));
    return g_times;
}

std::string CountsText(const char* what, size_t total, int customized, int defined) {
    return std::to_string(total) + " Registered " + what +
           " - User Customized=" + std::to_string(customized) +
           "  User Defined=" + std::to_string(defined);
}

std::string ExpectedStatus(int count) {
    const int users = count / 10;
    const int customized = (users + 1) / 2;
    const int defined = users - customized;
    const size_t machine = ExtensionNames(HKEY_LOCAL_MACHINE).size();
    return CountsText("file extensions", machine + defined, customized, defined);
}

// The machine's link types that the prefix had before seeding: those of its
// classes that hold "URL Protocol", other than the seeded ones.
size_t PrefixLinkTypes() {
    size_t found = 0;
    HKEY classes;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClasses, 0, KEY_READ, &classes) != 0)
        return 0;
    char name[300];
    for (DWORD index = 0, length = sizeof name;
         RegEnumKeyExA(classes, index, name, &length, 0, 0, 0, 0) != ERROR_NO_MORE_ITEMS;
         ++index, length = sizeof name) {
        HKEY key;
        if (name[0] == '.' || strncmp(name, "kvblink", 7) == 0 ||
            RegOpenKeyExA(classes, name, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            continue;
        if (RegQueryValueExA(key, "URL Protocol", nullptr, nullptr, nullptr, nullptr) == 0)
            ++found;
        RegCloseKey(key);
    }
    RegCloseKey(classes);
    return found;
}

// From the seeding's numbers, not from the registry, so that link types
// the seeding wrote but the window left out are found.
std::string ExpectedLinkStatus(int count) {
    const int users = UserLinkCount(count);
    const int customized = (users + 1) / 2;
    const int defined = users - customized;
    return CountsText("link types", PrefixLinkTypes() + MachineLinkCount(count) + defined,
                      customized, defined);
}

int Run(int count) {
    g_count = count;
    PrepareAppState();
    AppState.AdminMode = 0;
    const std::vector<std::string> tested = NamesInBoth();
    std::vector<double> loads, registryParts, finishes, floors, ratios, links;
    MeasureFloor(tested); // the first pass pays for the registry's first touch
    for (int i = 0; i < kLoadRuns; ++i) {
        floors.push_back(MeasureFloor(tested));
        LoadTimes times = MeasureLoad();
        loads.push_back(times.loaded - times.initialised);
        ratios.push_back(loads.back() / floors.back());
        registryParts.push_back(times.lastPart - times.initialised);
        finishes.push_back(times.loaded - times.lastPart);
        links.push_back(times.linksLoaded - times.initialised);
    }
    const std::string expected = ExpectedStatus(count);
    const std::string expectedLinks = ExpectedLinkStatus(count);
    printf("status  %s | %s\n", g_status.c_str(), g_linkStatus.c_str());
    if (g_status != expected || g_linkStatus != expectedLinks) {
        printf("wrong counts: expected %s | %s\n", expected.c_str(), expectedLinks.c_str());
        return 1;
    }
    printf("load    median %.1f ms (of %d): last part in after %.1f ms, then %.1f ms to finish\n",
           Median(loads), kLoadRuns, Median(registryParts), Median(finishes));
    printf("links   median %.1f ms (of %d): the link types' counts written\n", Median(links),
           kLoadRuns);
    printf("floor   median %.1f ms (of %d)\n", Median(floors), kLoadRuns);
    printf("ratio   median %.2f (of %d; load / floor of each run)\n", Median(ratios), kLoadRuns);
    printf("details median %.2f ms System (of %zu), %.2f ms User Customized (of %zu)\n",
           Median(g_systemDetails), g_systemDetails.size(), Median(g_customizedDetails),
           g_customizedDetails.size());
    return 0;
}

// --- The check of the file types, beside the load.

constexpr int kCheckRuns = 5;

// The default value of parent\path; false when the key does not open.
bool ReadDefault(HKEY parent, const char* path, char* text, DWORD size) {
    HKEY key;
    if (RegOpenKeyExA(parent, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return true;
}

double MeasureCheckFloor() {
    const double start = Now();
    HKEY classes;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClasses, 0, KEY_READ, &classes) != 0)
        return 0;
    char fileClass[300], text[600], verb[300];
    for (const std::string& extension : ExtensionNames(HKEY_LOCAL_MACHINE)) {
        HKEY key, shell;
        if (!ReadDefault(classes, extension.c_str(), fileClass, sizeof fileClass))
            continue;
        if (RegOpenKeyExA(classes, (extension + "\\OpenWithProgids").c_str(), 0, KEY_READ, &key) ==
            ERROR_SUCCESS)
            RegCloseKey(key);
        const std::string path = fileClass;
        if (RegOpenKeyExA(classes, (path + "\\shell").c_str(), 0, KEY_READ, &shell) == 0) {
            DWORD size = sizeof text;
            RegQueryValueExA(shell, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                             &size);
            for (DWORD index = 0, length = sizeof verb;
                 RegEnumKeyExA(shell, index, verb, &length, 0, 0, 0, 0) == 0;
                 ++index, length = sizeof verb)
                ReadDefault(shell, (std::string(verb) + "\\command").c_str(), text, sizeof text);
            RegCloseKey(shell);
        }
        ReadDefault(classes, (path + "\\DefaultIcon").c_str(), text, sizeof text);
    }
    RegCloseKey(classes);
    return Now() - start;
}

double MeasureCheck(int adminMode) {
    std::vector<Finding> findings;
    const double start = Now();
    CheckFileTypes(adminMode, &findings);
    const double taken = Now() - start;
    for (const Finding& finding : findings)
        printf("finding: %s %s %s\n", finding.Extension.c_str(), finding.KeyPath.c_str(),
               finding.Missing.c_str());
    return findings.empty() ? taken : -1;
}

int RunCheck() {
    g_measureDetails = false;
    PrepareAppState();
    AppState.AdminMode = 0;
    const std::vector<std::string> tested = NamesInBoth();
    std::vector<double> floors, loads, checkFloors, users, admins, userRatios, adminRatios;
    MeasureFloor(tested);
    for (int i = 0; i < kCheckRuns; ++i) {
        floors.push_back(MeasureFloor(tested));
        const LoadTimes times = MeasureLoad();
        loads.push_back(times.loaded - times.initialised);
        checkFloors.push_back(MeasureCheckFloor());
        users.push_back(MeasureCheck(0));
        admins.push_back(MeasureCheck(1));
        if (users.back() < 0 || admins.back() < 0) {
            printf("the check found something in sound types\n");
            return 1;
        }
        userRatios.push_back(users.back() / loads.back());
        adminRatios.push_back(admins.back() / loads.back());
    }
    printf("load    median %.1f ms, floor %.1f ms (of %d)\n", Median(loads), Median(floors),
           kCheckRuns);
    printf("check   median %.1f ms user mode, %.1f ms admin mode; check floor %.1f ms\n",
           Median(users), Median(admins), Median(checkFloors));
    printf("ratio   median %.2f user mode, %.2f admin mode (check / load of each run)\n",
           Median(userRatios), Median(adminRatios));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc >= 3 ? atoi(argv[2]) : 0;
    if (count > 0 && strcmp(argv[1], "seed") == 0)
        return Seed(count);
    if (count > 0 && strcmp(argv[1], "run") == 0)
        return Run(count);
    if (count > 0 && strcmp(argv[1], "check") == 0)
        return RunCheck();
    printf("usage: bench_catalogue seed N | run N | check N\n");
    return 1;
}
