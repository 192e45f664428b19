// The EditFlags bits that have a check box on the Edit Flags page, and the
// page's box handles (taken by the page when it initialises).
#pragma once
#include <windows.h>

constexpr int kEditFlagBoxCount = 19;

// Bit of each box, in the order of the boxes 1801 to 1819.
extern const DWORD EditFlagBits[kEditFlagBoxCount];

struct EditFlagsPageRecord {
    HWND Boxes[kEditFlagBoxCount];
    // Bits of the filled value that have no box: not shown, but written back
    // with the boxes' bits, so that a save keeps them.
    DWORD UnboxedBits;
};
extern EditFlagsPageRecord EditFlagsPage;

// Checks every box whose bit is set in bits; other boxes keep their state.
// The bits without a box are added to EditFlagsPage.UnboxedBits.
void CheckEditFlagBoxes(DWORD bits);
