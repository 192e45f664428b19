// The EditFlags bits that have a check box on the Edit Flags page, in the
// order of its boxes 1801 to 1819.
#pragma once
#include <cstdint>

constexpr int kEditFlagBoxCount = 19;
extern const uint32_t EditFlagBits[kEditFlagBoxCount];
