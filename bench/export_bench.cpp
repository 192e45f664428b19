// Export All benchmark, in admin mode.
//
//   bench_export seed N   seeds the catalogue benchmark's prefix (bench_seed.h)
//   bench_export run N    on that prefix, 5 runs of what Export All does once
//                         the file is named, without the window:
//     list     the run of "."-keys of HKLM\Software\Classes
//     gather   GatherExportKeys over them, told of each extension as the
//              progress window is
//     compose  ComposeRegFile of those keys
//     floor    the same keys read again whole (opened by path, ReadKeyTree):
//              the registry work of the gathering without finding the keys
//   and prints the medians of each, of list + gather + compose, and of the
//   ratio of gather to the floor measured right after it. Every seeded extension
//   and class must be among the keys; a run short of them exits 1.
#include "bench/bench_clock.h"
#include "bench/bench_seed.h"
#include "export/export_keys.h"
#include "platform/registry_tree.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 5;

double MeasureFloor(const std::vector<ExportedKey>& keys) {
    const double start = Now();
    for (const ExportedKey& key : keys) {
        HKEY opened;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.Path.c_str(), 0, KEY_READ, &opened) != 0)
            continue;
        RegistryTree tree;
        ReadKeyTree(opened, &tree);
        RegCloseKey(opened);
    }
    return Now() - start;
}

int Run(int count) {
    std::vector<double> list, gather, compose, total, floor, ratio;
    size_t keyCount = 0, bytes = 0;
    for (int run = 0; run < kRuns; ++run) {
        const double start = Now();
        const std::vector<std::string> extensions = ExportableExtensions(HKEY_LOCAL_MACHINE);
        const double listed = Now();
        size_t told = 0;
        const std::vector<ExportedKey> keys =
            GatherExportKeys(HKEY_LOCAL_MACHINE, extensions,
                             [&](size_t, size_t, const std::string&) { return ++told > 0; });
        const double gathered = Now();
        const std::string file = ComposeRegFile(keys);
        const double composed = Now();
        list.push_back(listed - start);
        gather.push_back(gathered - listed);
        compose.push_back(composed - gathered);
        total.push_back(composed - start);
        floor.push_back(MeasureFloor(keys));
        ratio.push_back(gather.back() / floor.back());
        keyCount = keys.size();
        bytes = file.size();
        if (told != extensions.size() || keyCount < 2 * static_cast<size_t>(count)) {
            printf("run %d: %zu keys of %zu extensions, told of %zu\n", run, keyCount,
                   extensions.size(), told);
            return 1;
        }
    }
    printf("N = %d: %zu keys, %zu bytes; medians of %d runs:\n", count, keyCount, bytes, kRuns);
    printf("  list %.0f ms, gather %.0f ms, compose %.0f ms, total %.0f ms\n", Median(list),
           Median(gather), Median(compose), Median(total));
    printf("  floor %.0f ms, gather / floor %.2f\n", Median(floor), Median(ratio));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc >= 3 ? atoi(argv[2]) : 0;
    if (count > 0 && strcmp(argv[1], "seed") == 0)
        return Seed(count);
    if (count > 0 && strcmp(argv[1], "run") == 0)
        return Run(count);
    printf("usage: bench_export seed N | run N\n");
    return 2;
}
