// The EditFlags bits with a check box, and filling the boxes.
#include "details/edit_flags.h"

const DWORD EditFlagBits[kEditFlagBoxCount] = {
    0x1,   0x2,   0x4,    0x8,    0x10,   0x20,    0x40,    0x80,    0x100,   0x200,
    0x400, 0x800, 0x1000, 0x2000, 0x8000, 0x10000, 0x20000, 0x40000, 0x100000};

void CheckEditFlagBoxes(DWORD bits) {
    DWORD boxed = 0;
    for (int box = 0; box < kEditFlagBoxCount; ++box) {
        boxed |= EditFlagBits[box];
        if (bits & EditFlagBits[box])
            SendMessageA(EditFlagsPage.Boxes[box], BM_SETCHECK, BST_CHECKED, 0);
    }
    EditFlagsPage.UnboxedBits |= bits & ~boxed;
}

DWORD CollectEditFlags() {
    DWORD bits = 0;
    for (int box = 0; box < kEditFlagBoxCount; ++box)
        if (SendMessageA(EditFlagsPage.Boxes[box], BM_GETCHECK, 0, 0) == BST_CHECKED)
            bits |= EditFlagBits[box];
    return bits | EditFlagsPage.UnboxedBits;
}
