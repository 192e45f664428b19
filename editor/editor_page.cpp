// What the editor's pages do alike.
#include "editor/editor.h"

#include "details/actions.h"

Editor& EditorOf(HWND page) {
    return *reinterpret_cast<Editor*>(GetWindowLongPtrA(page, DWLP_USER));
}

Editor& TakeEditor(HWND page, LPARAM parameter) {
    SetWindowLongPtrA(page, DWLP_USER, parameter);
    return EditorOf(page);
}

void StartPageLook(HWND page, EditorPageLook* look, const HeadingRule* rules, size_t count,
                   int left, int right) {
    look->Rules = rules;
    look->RuleCount = count;
    look->RuleLeft = left;
    look->RuleRight = right;
    ShowHeadings(page, &look->HeadingFont, rules, count);
}

bool RunCommonPageMessage(HWND page, UINT message, EditorPageLook* look) {
    switch (message) {
    case WM_DPICHANGED_AFTERPARENT:
        // The headings at the new scale.
        ShowHeadings(page, &look->HeadingFont, look->Rules, look->RuleCount);
        InvalidateRect(page, nullptr, TRUE);
        return true;
    case WM_PAINT: {
        PaintScope paint(page);
        DrawHeadingRules(page, paint.dc(), look->HeadingFont.get(), look->Rules, look->RuleCount,
                         look->RuleLeft, look->RuleRight);
        return true;
    }
    case WM_DESTROY:
        look->HeadingFont.reset();
        return false;
    default:
        return false;
    }
}

FileAction& OpenActionOf(FileType* type) {
    const int open = FindAction(*type, "open");
    if (open >= 0)
        return type->Actions[open];
    FileAction action;
    action.Verb = "open";
    action.From = Source::Typed;
    type->Actions.push_back(action);
    return type->Actions.back();
}
