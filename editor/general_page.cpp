// The General page (dialog 1600, tab "Icon"): the description, the icon and
// where it comes from, the perceived type and the content type.
#include "details/pane.h"
#include "details/type_icons.h"
#include "editor/editor.h"
#include "editor/icon_picker.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"

#include <iterator>
#include <string>

namespace {

// The rules through the headers, in dialog units of the template.
constexpr HeadingRule kHeaderRules[] = {{IDC_GENERAL_ICON_HEADER, 24},
                                        {IDC_GENERAL_PERCEIVED_HEADER, 84},
                                        {IDC_GENERAL_CONTENT_HEADER, 128}};
constexpr int kRuleLeft = 2;
constexpr int kRuleRight = 296;

void AddChoice(HWND combo, const char* text) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

// Both lists start with "[ NONE ]" where the editor offers it.
void FillPerceivedTypes(HWND page, bool noneAllowed) {
    HWND combo = GetDlgItem(page, IDC_GENERAL_PERCEIVED_COMBO);
    if (noneAllowed)
        AddChoice(combo, kTextNoneMarker);
    for (const char* type : kPerceivedTypes)
        AddChoice(combo, type);
}

// The sub-keys of the machine's MIME database, in the registry's order.
void FillContentTypes(HWND page, bool noneAllowed) {
    HWND combo = GetDlgItem(page, IDC_GENERAL_CONTENT_COMBO);
    if (noneAllowed)
        AddChoice(combo, kTextNoneMarker);
    RegKey database;
    if (RegistryOpenKey(HKEY_LOCAL_MACHINE, kContentTypeDatabaseKey, KEY_ENUMERATE_SUB_KEYS,
                        database.put()) != ERROR_SUCCESS)
        return;
    RegistryForEachSubKey(database.get(), [&](const char* name) {
        AddChoice(combo, name);
        return true;
    });
}

void OnInitDialog(HWND page, LPARAM parameter) {
    Editor& editor = TakeEditor(page, parameter);
    StartPageLook(page, &editor.Looks[kGeneralPage], kHeaderRules, std::size(kHeaderRules),
                  kRuleLeft, kRuleRight);
    // No more than a save writes back whole.
    SendDlgItemMessageA(page, IDC_GENERAL_DESCRIPTION, EM_LIMITTEXT, kNameCharacters, 0);
    FillPerceivedTypes(page, editor.NoneAllowed);
    FillContentTypes(page, editor.NoneAllowed);
    // Perceived and content types belong to files; a link type has neither.
    const bool link = IsLinkName(editor.Save.Read.Extension.c_str());
    for (int id : {IDC_GENERAL_PERCEIVED_COMBO, IDC_GENERAL_CONTENT_COMBO})
        EnableWindow(GetDlgItem(page, id), !link);
}

// The file a location names, without its icon index.
std::string IconFileOf(const std::string& location) {
    const size_t comma = location.rfind(',');
    return comma == std::string::npos ? location : location.substr(0, comma);
}

// A location the person took: its icons, and its file and folder as the
// picker names them.
void ShowTakenIcon(HWND page, const std::string& location) {
    HWND large = GetDlgItem(page, IDC_GENERAL_LARGEICON),
         small = GetDlgItem(page, IDC_GENERAL_SMALLICON);
    SetPaneIcon(large, ShellLoadIconLocation(location.c_str(), TypeIconSize(large, false)));
    SetPaneIcon(small, ShellLoadIconLocation(location.c_str(), TypeIconSize(small, true)));
    const std::string file = IconFileOf(location);
    char part[kTextSize] = {};
    DirectoryOf(file.c_str(), part);
    SetDlgItemTextA(page, IDC_GENERAL_ICONPATH, part);
    FillWords(part, kTextSize, 0);
    FileNameOf(file.c_str(), part);
    SetDlgItemTextA(page, IDC_GENERAL_ICONFILE, part);
}

// The type's icon as the main window shows it; nothing for a new extension.
void ShowStoredIcon(HWND page, const Editor& editor) {
    HWND large = GetDlgItem(page, IDC_GENERAL_LARGEICON),
         small = GetDlgItem(page, IDC_GENERAL_SMALLICON);
    if (editor.Save.EditorMode == kEditorCreate)
        return;
    TypeIconView view = ViewTypeIcon(editor.Save.Read, editor.Mode, TypeIconSize(large, false),
                                     TypeIconSize(small, true));
    SetPaneIcon(large, view.Large.release());
    SetPaneIcon(small, view.Small.release());
    SetDlgItemTextA(page, IDC_GENERAL_ICONPATH, view.Folder.c_str());
    SetDlgItemTextA(page, IDC_GENERAL_ICONFILE, view.File.c_str());
}

// The description the editor edits is the class's own: in user mode the
// main window shows the shell's type name, which a "FriendlyTypeName" or the
// user's choice of class can make another.
std::string ShownDescription(const Editor& editor) {
    const FileType& edited = editor.Save.Edited;
    if (editor.Save.EditorMode == kEditorCreate || edited.Description.From == Source::Typed)
        return edited.Description.Text;
    if (editor.Mode == RunMode::Admin)
        return edited.Description.Present() ? edited.Description.Text : kTextUnknown;
    const std::string description = ShellClassDescription(edited.Extension.c_str());
    return FitsBuffer(description.c_str(), kTextSize) ? description : kTextUnknown;
}

// A value's "Current:" text: the value, or what shows there is none.
const char* CurrentText(const Editor& editor, const TextField& field) {
    if (field.Present())
        return field.Text.c_str();
    return editor.Save.EditorMode == kEditorCreate ? "" : kTextUnknown;
}

// A choice of a list: "[ NONE ]" takes the value away.
void OnChoice(HWND page, int combo, int current, TextField* field, uint32_t* changed) {
    char text[kTextSize] = {};
    GetDlgItemTextA(page, combo, text, kTextSize);
    SetDlgItemTextA(page, current, text);
    *field =
        CompareNoCase(text, kTextNoneMarker) == 0 ? TextField() : TextField{text, Source::Typed};
    *changed = 1;
}

void OnChangeIcon(HWND page) {
    Editor& editor = EditorOf(page);
    char folder[kTextSize] = {};
    GetDlgItemTextA(page, IDC_GENERAL_ICONPATH, folder, kTextSize);
    std::string location;
    if (!BrowseForIcons(page, CompareNoCase(folder, kTextUnknown) == 0 ? "" : folder, &location))
        return;
    editor.Save.Edited.IconLocation = {location, Source::Typed};
    editor.Save.Changed.Icon = 1;
    ShowTakenIcon(page, location);
}

void OnCommand(HWND page, WPARAM wParam) {
    Editor& editor = EditorOf(page);
    FileType& edited = editor.Save.Edited;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDC_GENERAL_CHANGEICON && code == BN_CLICKED)
        OnChangeIcon(page);
    else if (id == IDC_GENERAL_PERCEIVED_COMBO && code == CBN_SELCHANGE)
        OnChoice(page, id, IDC_GENERAL_PERCEIVED_CURRENT, &edited.PerceivedType,
                 &editor.Save.Changed.PerceivedType);
    else if (id == IDC_GENERAL_CONTENT_COMBO && code == CBN_SELCHANGE)
        OnChoice(page, id, IDC_GENERAL_CONTENT_CURRENT, &edited.ContentType,
                 &editor.Save.Changed.ContentType);
}

// The icons the page made go with it.
void OnDestroy(HWND page) {
    SetPaneIcon(GetDlgItem(page, IDC_GENERAL_LARGEICON), nullptr);
    SetPaneIcon(GetDlgItem(page, IDC_GENERAL_SMALLICON), nullptr);
}

} // namespace

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInitDialog(page, lParam);
        return TRUE;
    }
    if (!GetWindowLongPtrA(page, DWLP_USER))
        return FALSE;
    if (RunCommonPageMessage(page, message, &EditorOf(page).Looks[kGeneralPage]))
        return TRUE;
    switch (message) {
    case WM_COMMAND:
        OnCommand(page, wParam);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(page);
        return TRUE;
    default:
        return FALSE;
    }
}

void ShowGeneralPage(Editor& editor) {
    HWND page = editor.Pages[kGeneralPage];
    const FileType& edited = editor.Save.Edited;
    SetDlgItemTextA(page, IDC_GENERAL_DESCRIPTION, ShownDescription(editor).c_str());
    SetDlgItemTextA(page, IDC_GENERAL_PERCEIVED_CURRENT, CurrentText(editor, edited.PerceivedType));
    SetDlgItemTextA(page, IDC_GENERAL_CONTENT_CURRENT, CurrentText(editor, edited.ContentType));
    if (editor.Save.Changed.Icon)
        ShowTakenIcon(page, edited.IconLocation.Text);
    else
        ShowStoredIcon(page, editor);
}

void CollectGeneralPage(Editor& editor) {
    HWND edit = GetDlgItem(editor.Pages[kGeneralPage], IDC_GENERAL_DESCRIPTION);
    if (!SendMessageA(edit, EM_GETMODIFY, 0, 0))
        return;
    // The edit's own text, untrimmed.
    char text[kNameSize] = {};
    GetWindowTextA(edit, text, kNameSize);
    editor.Save.Edited.Description = {text, Source::Typed};
    editor.Save.Changed.Description = 1;
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
}
