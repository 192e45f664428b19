// The extension catalogue: loading, selection, counts and in-place moves.
#include "catalogue/catalogue.h"

#include "platform/handles.h"
#include "records/app_state.h"
#include "records/extension_record.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "ui/list_items.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"

#include <commctrl.h>

#include <algorithm>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

namespace {

struct ExtensionName {
    char Text[kExtensionNameSize];
};
using NameList = std::vector<ExtensionName>;

// The loader's model of the catalogue, handed to the main window in parts
// while the registry is still being read, so that the window fills its
// controls meanwhile. Each group of a part is in descending order of the
// controls' own comparison, and the parts follow each other in descending
// order too, so that every sorted insertion lands in front of the items
// already there and the controls never scan their items to place a new one.
struct CataloguePart {
    NameList System;
    NameList Customized;
    NameList Defined;
    bool Last = false;
};

// A part belongs to this queue until the main window takes it, so that parts
// the window never took (it closed during the load) are still released.
std::mutex g_partsLock;
std::list<std::unique_ptr<CataloguePart>> g_parts;

// Machine names go to the window this many at a time.
constexpr DWORD kPartSize = 1024;

bool LessNoCase(const ExtensionName& a, const ExtensionName& b) {
    return CompareRegistryNames(a.Text, b.Text) < 0;
}

bool Contains(const NameList& sorted, const ExtensionName& name) {
    return std::binary_search(sorted.begin(), sorted.end(), name, LessNoCase);
}

// Only an ASCII name is taken to be absent from a hive that did not list it;
// a name with other letters is confirmed by opening it, as the registry
// folds their case by tables of its own.
bool IsAscii(const ExtensionName& name) {
    for (const char* c = name.Text; *c; ++c)
        if (static_cast<unsigned char>(*c) >= 0x80)
            return false;
    return true;
}

// The list and the tree sort by the locale's comparison, which orders
// punctuation differently from the ordinal one. The ordinal sort comes first
// because it is cheap; the few names it leaves out of place then move with
// few of the slower comparisons.
void SortForInsertion(NameList* names) {
    std::sort(names->begin(), names->end(), LessNoCase);
    for (size_t i = 1; i < names->size(); ++i) {
        ExtensionName name = (*names)[i];
        size_t j = i;
        for (; j > 0 && lstrcmpiA((*names)[j - 1].Text, name.Text) > 0; --j)
            (*names)[j] = (*names)[j - 1];
        (*names)[j] = name;
    }
    std::reverse(names->begin(), names->end());
}

// The name at index of an open classes key into name: ERROR_SUCCESS only for
// a "."-name that fits the buffer.
LONG ReadExtensionName(HKEY classes, DWORD index, ExtensionName* name) {
    FillWords(name->Text, sizeof name->Text, 0);
    DWORD length = kExtensionNameSize;
    LONG status = RegistryEnumKey(classes, index, name->Text, &length);
    if (status == ERROR_SUCCESS && !FitsBuffer(name->Text, kExtensionNameSize))
        return ERROR_MORE_DATA;
    return status == ERROR_SUCCESS && name->Text[0] != '.' ? ERROR_FILE_NOT_FOUND : status;
}

// Every "."-name of hive\Software\Classes that fits the name buffer.
NameList EnumerateExtensions(HKEY hive) {
    NameList names;
    RegKey classes;
    if (RegistryOpenKey(hive, kClassesKey, KEY_ENUMERATE_SUB_KEYS, classes.put()) != ERROR_SUCCESS)
        return names;
    RegistryForEachSubKey(classes.get(), [&](const char* text) {
        if (text[0] == '.' && FitsBuffer(text, kExtensionNameSize)) {
            ExtensionName name = {};
            CopyTextBounded(text, name.Text, kExtensionNameSize);
            names.push_back(name);
        }
        return true;
    });
    return names;
}

void PostPart(std::unique_ptr<CataloguePart> part) {
    for (NameList* group : {&part->System, &part->Customized, &part->Defined})
        SortForInsertion(group);
    const LPARAM id = reinterpret_cast<LPARAM>(part.get());
    {
        std::lock_guard<std::mutex> lock(g_partsLock);
        g_parts.push_back(std::move(part));
    }
    PostMessageA(AppState.MainWindow, kCatalogueLoadedMessage, 0, id);
}

std::unique_ptr<CataloguePart> TakePart(LPARAM id) {
    std::lock_guard<std::mutex> lock(g_partsLock);
    for (auto part = g_parts.begin(); part != g_parts.end(); ++part) {
        if (reinterpret_cast<LPARAM>(part->get()) == id) {
            std::unique_ptr<CataloguePart> taken = std::move(*part);
            g_parts.erase(part);
            return taken;
        }
    }
    return nullptr;
}

// The machine's names, read from the last index down in parts of kPartSize;
// each goes to "System", or in user mode to "User Customized" when the user's
// hive has it too. A name both hives enumerate is confirmed with the same
// existence test the groups are defined by; an ASCII name the user's hive did
// not list cannot open there, so the test is not repeated for it. Returns
// every name read.
NameList PostMachineParts(const NameList& user) {
    NameList machine;
    RegKey classes;
    DWORD count = 0;
    if (RegistryOpenKey(HKEY_LOCAL_MACHINE, kClassesKey, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE,
                        classes.put()) != ERROR_SUCCESS ||
        RegistryQueryInfo(classes.get(), &count, nullptr) != ERROR_SUCCESS)
        return machine;
    ExtensionName name;
    for (DWORD end = count; end > 0;) {
        const DWORD begin = end > kPartSize ? end - kPartSize : 0;
        auto part = std::make_unique<CataloguePart>();
        for (DWORD index = end; index-- > begin;) {
            if (ReadExtensionName(classes.get(), index, &name) != ERROR_SUCCESS)
                continue;
            machine.push_back(name);
            if (!AppState.AdminMode && (Contains(user, name) || !IsAscii(name)) &&
                HasUserClass(name.Text))
                part->Customized.push_back(name);
            else
                part->System.push_back(name);
        }
        PostPart(std::move(part));
        end = begin;
    }
    return machine;
}

void InsertListItem(const char* text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>(text);
    SendMessageA(AppState.ExtensionList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

HTREEITEM NextTreeItem(UINT relation, HTREEITEM item) {
    return TreeRelative(AppState.ExtensionTree, relation, item);
}

int CountChildren(HTREEITEM group) {
    int count = 0;
    for (HTREEITEM child = NextTreeItem(TVGN_CHILD, group); child;
         child = NextTreeItem(TVGN_NEXT, child))
        ++count;
    return count;
}

// While redrawing is on, Wine's list and tree rescroll and invalidate after
// every insertion, which costs as much as the load itself grows; both are
// hidden until the load ends, so nothing is lost by switching it off.
void SetRedraw(HWND control, BOOL redraw) {
    SendMessageA(control, WM_SETREDRAW, redraw, 0);
}

// The extension's row in the list, selected, focused and in view.
void InsertCurrentIntoList() {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = CurrentExtension;
    const int row = static_cast<int>(
        SendMessageA(AppState.ExtensionList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    SelectListRow(AppState.ExtensionList, row);
}

} // namespace

void PrepareExtensionList(HWND list) {
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageA(list, LVM_SETITEMCOUNT, 1500, LVSICF_NOINVALIDATEALL);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = 0;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

void InsertGroupItems() {
    AppState.CustomizedRoot = InsertTreeItem(AppState.ExtensionTree, TVI_ROOT, TVI_SORT,
                                             kTextCustomizedGroup, TVIS_BOLD | TVIS_EXPANDED);
    AppState.DefinedRoot = InsertTreeItem(AppState.ExtensionTree, TVI_ROOT, TVI_SORT,
                                          kTextDefinedGroup, TVIS_BOLD | TVIS_EXPANDED);
}

void StartCatalogueLoad() {
    SetRedraw(AppState.ExtensionList, FALSE);
    if (!AppState.AdminMode)
        SetRedraw(AppState.ExtensionTree, FALSE);
    StartWorker(LoadCatalogue, nullptr);
}

DWORD WINAPI LoadCatalogue(LPVOID) {
    NameList user;
    if (!AppState.AdminMode) {
        user = EnumerateExtensions(HKEY_CURRENT_USER);
        std::sort(user.begin(), user.end(), LessNoCase);
    }
    NameList machine = PostMachineParts(user);
    auto last = std::make_unique<CataloguePart>();
    last->Last = true;
    if (!AppState.AdminMode) {
        std::sort(machine.begin(), machine.end(), LessNoCase);
        for (const ExtensionName& name : user) {
            const bool inMachine =
                IsAscii(name) ? Contains(machine, name) : HasMachineClass(name.Text);
            if (!inMachine)
                last->Defined.push_back(name);
        }
    }
    PostPart(std::move(last));
    return 0;
}

void FillCatalogue(LPARAM loaded) {
    std::unique_ptr<CataloguePart> part = TakePart(loaded);
    if (!part)
        return;
    for (const ExtensionName& name : part->System)
        InsertListItem(name.Text);
    for (const ExtensionName& name : part->Customized)
        InsertTreeItem(AppState.ExtensionTree, AppState.CustomizedRoot, TVI_SORT, name.Text, 0);
    for (const ExtensionName& name : part->Defined)
        InsertTreeItem(AppState.ExtensionTree, AppState.DefinedRoot, TVI_SORT, name.Text, 0);
    if (!part->Last)
        return;
    // On again before the column is sized: the width depends on the list's
    // scroll bar, which is only worked out while redrawing.
    SetRedraw(AppState.ExtensionList, TRUE);
    if (!AppState.AdminMode)
        SetRedraw(AppState.ExtensionTree, TRUE);
    SendMessageA(AppState.ExtensionList, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    SetListItemState(AppState.ExtensionList, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ShowWindow(AppState.ExtensionList, SW_SHOW);
    if (!AppState.AdminMode)
        ShowWindow(AppState.ExtensionTree, SW_SHOW);
    ShowStatusCounts();
}

int HasUserClass(const char* name) {
    return HasClassesKey(HKEY_CURRENT_USER, name);
}

int HasMachineClass(const char* name) {
    return HasClassesKey(HKEY_LOCAL_MACHINE, name);
}

void SelectInList(const char* name) {
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = name;
    int index =
        static_cast<int>(SendMessageA(AppState.ExtensionList, LVM_FINDITEMA,
                                      static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
    if (index >= 0)
        SelectListRow(AppState.ExtensionList, index);
}

void SelectInTree(const char* name) {
    for (HTREEITEM group = NextTreeItem(TVGN_ROOT, nullptr); group;
         group = NextTreeItem(TVGN_NEXT, group)) {
        for (HTREEITEM child = NextTreeItem(TVGN_CHILD, group); child;
             child = NextTreeItem(TVGN_NEXT, child)) {
            char text[kExtensionNameSize];
            ReadTreeItemText(AppState.ExtensionTree, child, text, kExtensionNameSize);
            if (CompareNoCase(text, name) == 0) {
                SelectTreeItem(AppState.ExtensionTree, child);
                return;
            }
        }
    }
}

void FormatStatusCounts(int adminMode, int total, int customized, int defined, char* out) {
    FillWords(out, kTextSize, 0);
    char number[16] = {};
    FormatDecimal(total, number);
    JoinTexts(2, out, number, kTextRegisteredExtensions);
    if (adminMode)
        return;
    char customizedText[16] = {};
    char definedText[16] = {};
    FormatDecimal(customized, customizedText);
    FormatDecimal(defined, definedText);
    JoinTexts(9, out, kTextCountsDash, kTextCustomizedGroup, kTextCountsEquals, customizedText,
              kTextCountsGap, kTextCountsGap, kTextDefinedGroup, kTextCountsEquals, definedText);
}

void ShowStatusCounts() {
    int listCount = static_cast<int>(SendMessageA(AppState.ExtensionList, LVM_GETITEMCOUNT, 0, 0));
    int total = listCount;
    int customized = 0;
    int defined = 0;
    if (!AppState.AdminMode) {
        int treeCount = static_cast<int>(SendMessageA(AppState.ExtensionTree, TVM_GETCOUNT, 0, 0));
        total = treeCount - 2 + listCount;
        HTREEITEM first = NextTreeItem(TVGN_ROOT, nullptr);
        customized = CountChildren(first);
        defined = CountChildren(NextTreeItem(TVGN_NEXT, first));
    }
    char text[kTextSize];
    FormatStatusCounts(AppState.AdminMode, total, customized, defined, text);
    SendMessageA(AppState.StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

void MoveToCustomized() {
    SendMessageA(AppState.ExtensionList, LVM_DELETEITEM, AppState.CurrentListIndex, 0);
    HTREEITEM item = InsertTreeItem(AppState.ExtensionTree, AppState.CustomizedRoot, TVI_LAST,
                                    CurrentExtension, 0);
    SelectTreeItem(AppState.ExtensionTree, item);
    SetFocus(AppState.ExtensionTree);
}

void ShowNewUserExtension() {
    SelectTreeItem(AppState.ExtensionTree,
                   InsertTreeItem(AppState.ExtensionTree, AppState.DefinedRoot, TVI_SORT,
                                  CurrentExtension, 0));
}

void ShowNewMachineExtension() {
    InsertCurrentIntoList();
}

void MoveToList() {
    InsertCurrentIntoList();
    RemoveCurrentTreeItem();
}

void RemoveCurrentTreeItem() {
    SendMessageA(AppState.ExtensionTree, TVM_DELETEITEM, 0,
                 reinterpret_cast<LPARAM>(AppState.CurrentTreeItem));
}

void PlaceExtension(const char* name) {
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = name;
    const int row =
        static_cast<int>(SendMessageA(AppState.ExtensionList, LVM_FINDITEMA,
                                      static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
    if (row >= 0)
        SendMessageA(AppState.ExtensionList, LVM_DELETEITEM, row, 0);
    for (HTREEITEM group : {AppState.CustomizedRoot, AppState.DefinedRoot}) {
        for (HTREEITEM child = group ? NextTreeItem(TVGN_CHILD, group) : nullptr; child;) {
            char text[kExtensionNameSize];
            ReadTreeItemText(AppState.ExtensionTree, child, text, kExtensionNameSize);
            const HTREEITEM next = NextTreeItem(TVGN_NEXT, child);
            if (CompareNoCase(text, name) == 0)
                SendMessageA(AppState.ExtensionTree, TVM_DELETEITEM, 0,
                             reinterpret_cast<LPARAM>(child));
            child = next;
        }
    }
    FillWords(CurrentExtension, kNameSize, 0);
    CopyTextBounded(name, CurrentExtension, kNameSize);
    const bool machine = HasMachineClass(name) != 0;
    if (!AppState.AdminMode && HasUserClass(name)) {
        AppState.CurrentTreeItem = InsertTreeItem(
            AppState.ExtensionTree, machine ? AppState.CustomizedRoot : AppState.DefinedRoot,
            TVI_SORT, name, 0);
        SelectTreeItem(AppState.ExtensionTree, AppState.CurrentTreeItem);
        SetFocus(AppState.ExtensionTree);
    } else if (machine) {
        InsertCurrentIntoList();
    }
    ShowStatusCounts();
}

void RemoveCurrentListRow() {
    SendMessageA(AppState.ExtensionList, LVM_DELETEITEM, AppState.CurrentListIndex, 0);
    if (AppState.CurrentListIndex > 0)
        --AppState.CurrentListIndex;
    SelectListRow(AppState.ExtensionList, AppState.CurrentListIndex);
}
