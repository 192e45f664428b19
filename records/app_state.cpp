// The process-wide record of handles and run-mode state.
#include "records/app_state.h"

AppStateRecord AppState;

void FreeHeapBlock(void* block) {
    HeapFree(AppState.Heap, 0, block);
}

void* AllocateHeapBlock(size_t size) {
    return HeapAlloc(AppState.Heap, HEAP_ZERO_MEMORY, size ? size : 1);
}
