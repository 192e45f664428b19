// The property editor's own state, which lives as long as its dialog: the
// record as read and as edited, what was touched, and its windows. The frame
// and every page reach it through their dialog's DWLP_USER. Each page shows
// the edited record (Show...) and puts what the person typed back into it
// (Collect...), so that the writers never read a control.
#pragma once
#include "platform/handles.h"
#include "records/file_type.h"
#include "ui/window_helpers.h"

#include <windows.h>

// The pages, in tab order.
enum EditorPageIndex { kGeneralPage, kOpensWithPage, kEditFlagsPage, kActionsPage };
constexpr int kEditorPageCount = 4;

// What every page keeps alike: its editor, its headings and their font.
struct EditorPageLook {
    const HeadingRule* Rules = nullptr;
    size_t RuleCount = 0;
    int RuleLeft = 0;
    int RuleRight = 0;
    FontOwner HeadingFont;
};

struct Editor {
    RunMode Mode = RunMode::User;
    FileTypeSave Save; // Save.EditorMode: the command that opened the editor
    // "[ NONE ]" is offered, to remove a value of the user's own extension.
    bool NoneAllowed = false;
    HWND Window = nullptr;
    HWND Tabs = nullptr;
    HWND Pages[kEditorPageCount] = {};
    EditorPageLook Looks[kEditorPageCount];
    int PageIndex = 0;
    // The action whose row the Actions page opens on; "" for the first page.
    std::string StartAction;
    bool Saved = false;
    bool Closed = false;
    // The Recently Used list's pop-up menu ("Remove", "Add Program"), user
    // mode, and its "Add Program" submenu.
    MenuOwner RecentMenu;
    HMENU AddProgramMenu = nullptr;
    int RightClickedRow = -1;
};

// The editor of a page, from its dialog's DWLP_USER; at WM_INITDIALOG the
// editor arrives as the parameter and is kept there.
Editor& EditorOf(HWND page);
Editor& TakeEditor(HWND page, LPARAM parameter);

// What every page does alike with a message: its headings in bold at the
// page's scale (at start, with the rules through them between left and
// right, and after a change of scale), the rules painted, and the font
// released when it goes. True where the message was handled.
void StartPageLook(HWND page, EditorPageLook* look, const HeadingRule* rules, size_t count,
                   int left, int right);
bool RunCommonPageMessage(HWND page, UINT message, EditorPageLook* look);

// The pages' procedures and their record traffic, called by the frame.
INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OpensWithPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK EditFlagsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ActionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

void ShowGeneralPage(Editor& editor);
void CollectGeneralPage(Editor& editor);
void ShowOpensWithPage(Editor& editor);
void CollectOpensWithPage(Editor& editor);
void ShowEditFlagsPage(Editor& editor);
void ShowActionsPage(Editor& editor);

// The "open" action of the edited record, made where it has none.
FileAction& OpenActionOf(FileType* type);
