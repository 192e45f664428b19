// The EditFlags bits that have a check box on the Edit Flags page, and the
// filling of those boxes from a stored value.
#pragma once
#include "records/editor_state.h"

#include <windows.h>

// Bit of each box, in the order of the boxes 1801 to 1819.
extern const DWORD EditFlagBits[kEditFlagBoxCount];

// Checks every box whose bit is set in bits; other boxes keep their state.
// The bits without a box are added to EditFlagsPage.UnboxedBits.
void CheckEditFlagBoxes(DWORD bits);
// The value to store: the bits of the checked boxes, with the bits without a
// box that the page was filled with.
DWORD CollectEditFlags();
