// The icons, GDI objects, menus and module loads that the program's own code
// has made and not yet destroyed or freed. They are counted where the program calls the system,
// at the import table of this executable, because the system's own count
// (GetGuiResources) answers 0 under Wine.
#pragma once

namespace kvr {

struct HandleBalance {
    long icons = 0;
    long gdiObjects = 0;
    long menus = 0;
    long modules = 0;
};

// Installs the counters once; later calls do nothing.
void CountProgramHandles();
// What is alive now of what was made since the counters were installed.
HandleBalance LiveProgramHandles();

} // namespace kvr
