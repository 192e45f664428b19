// The compare dialog (dialog 8000): a snapshot of the registered extensions
// before an installation, a second one after it, and the list of the added and
// deleted extensions with their counts; and its progress window (dialog 9000),
// during which CompareWorker compares on its own thread.
#pragma once
#include "compare/changed_extensions_text.h"

#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

// The extension keys of both hives' classes, in the registry's order, with
// their keys in that order beside them (RegistryNameKey) for exact look-ups
// without regard to case.
struct ExtensionSnapshot {
    std::vector<std::string> Names;
    std::unordered_set<std::wstring> Folded;
};

// What the dialog thread and the compare worker share. The worker touches the
// windows only through SendMessageA and the calls built on it, and the
// snapshots only while the progress window blocks the dialog.
struct CompareStateRecord {
    HWND CompareDialog;
    HWND ResultList;
    HWND CompareProgress; // while a comparison runs, else null
    ExtensionSnapshot Before;
    ExtensionSnapshot After;
};

extern CompareStateRecord CompareState;

// Opens dialog 8000 owned by owner; returns when it closes.
void RunCompareDialog(HWND owner);
INT_PTR CALLBACK CompareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Empties snapshot and reads into it the run of "."-keys of each hive's
// classes, each name once: the keys before the run are passed over and the
// classes after it are not read.
void TakeSnapshot(ExtensionSnapshot* snapshot);
bool SnapshotHolds(const ExtensionSnapshot& snapshot, const char* name);

// Sent by the worker to the progress window when the comparison is done; the
// window closes on it alone, so nothing else ends it while the worker reads
// the snapshots.
constexpr UINT kComparisonDoneMessage = WM_APP + 1;

// A row of the result list: a name of one of the snapshots and its change.
struct ResultRow {
    const char* Name;
    ChangeKind Kind;
};

// Sent by the worker to the compare dialog, whose thread puts the rows
// (lParam, a std::vector<ResultRow>) into the result list in one go.
constexpr UINT kInsertResultRowsMessage = WM_APP + 2;

// Runs dialog 9000 over CompareDialog until the worker has compared.
void RunCompareProgress();
// The worker thread: the after snapshot, the comparison into the result list,
// and the counts. The offer to save the list follows on the dialog's thread,
// once the progress window has closed, so that nothing in the dialog runs
// before it is answered.
DWORD WINAPI CompareWorker(LPVOID);
