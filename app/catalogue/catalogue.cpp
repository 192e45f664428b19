// The extension catalogue: loading, selection, counts and in-place moves.
#include "app/catalogue/catalogue.h"

#include "app/app_state.h"
#include "details/extension_record.h"
#include "platform/registry.h"
#include "resources/texts.h"
#include "text/text.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

constexpr char kClassesKey[] = "Software\\Classes";
constexpr char kClassesPrefix[] = "Software\\Classes\\";

struct ExtensionName {
    char Text[kExtensionNameSize];
};
using NameList = std::vector<ExtensionName>;

// The loader's model of the catalogue: the three groups, each in descending
// order, so that every sorted insertion lands in front of the items already
// there and the controls never scan their items to place a new one.
struct LoadedCatalogue {
    NameList System;
    NameList Customized;
    NameList Defined;
};

// Ordinal comparison without regard to case, the registry's own rule.
bool LessNoCase(const ExtensionName& a, const ExtensionName& b) {
    for (size_t i = 0;; ++i) {
        unsigned char ca = CaseTable[static_cast<unsigned char>(a.Text[i])];
        unsigned char cb = CaseTable[static_cast<unsigned char>(b.Text[i])];
        if (ca != cb)
            return ca < cb;
        if (!ca)
            return false;
    }
}

bool GreaterNoCase(const ExtensionName& a, const ExtensionName& b) {
    return LessNoCase(b, a);
}

bool Contains(const NameList& sorted, const ExtensionName& name) {
    return std::binary_search(sorted.begin(), sorted.end(), name, LessNoCase);
}

// Every "."-name of hive\Software\Classes that fits the name buffer.
NameList EnumerateExtensions(HKEY hive) {
    NameList names;
    RegKey classes;
    if (RegistryOpenKey(hive, kClassesKey, KEY_ENUMERATE_SUB_KEYS, classes.put()) != ERROR_SUCCESS)
        return names;
    ExtensionName name;
    for (DWORD index = 0;; ++index) {
        FillWords(name.Text, sizeof name.Text, 0);
        DWORD length = kExtensionNameSize;
        LONG status = RegistryEnumKey(classes.get(), index, name.Text, &length);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS && name.Text[0] == '.')
            names.push_back(name);
    }
    return names;
}

int HasClassUnder(HKEY hive, const char* name) {
    char path[kExtensionNameSize + sizeof kClassesPrefix + kNameSize] = {};
    CopyTextBounded(kClassesPrefix, path, sizeof path);
    if (TextLength(name) >= kNameSize)
        return 0;
    AppendText(path, name);
    return RegistryKeyExists(hive, path);
}

// Groups the machine's names (and the user's) as the catalogue shows them.
// A name both hives enumerate is confirmed with the same existence test the
// groups are defined by; a name only one hive enumerates cannot open in the
// other, so the test is not repeated for it.
void GroupExtensions(NameList machine, NameList user, LoadedCatalogue* catalogue) {
    if (AppState.AdminMode) {
        catalogue->System = std::move(machine);
        std::sort(catalogue->System.begin(), catalogue->System.end(), GreaterNoCase);
        return;
    }
    std::sort(user.begin(), user.end(), LessNoCase);
    for (const ExtensionName& name : machine) {
        if (Contains(user, name) && HasUserClass(name.Text))
            catalogue->Customized.push_back(name);
        else
            catalogue->System.push_back(name);
    }
    std::sort(machine.begin(), machine.end(), LessNoCase);
    for (const ExtensionName& name : user)
        if (!Contains(machine, name))
            catalogue->Defined.push_back(name);
    for (NameList* group : {&catalogue->System, &catalogue->Customized, &catalogue->Defined})
        std::sort(group->begin(), group->end(), GreaterNoCase);
}

void InsertListItem(const char* text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>(text);
    SendMessageA(AppState.ExtensionList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

HTREEITEM InsertTreeItem(HTREEITEM parent, HTREEITEM after, const char* text, UINT state) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | (state ? TVIF_STATE : 0);
    insert.item.state = state;
    insert.item.stateMask = state;
    insert.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(SendMessageA(AppState.ExtensionTree, TVM_INSERTITEMA, 0,
                                                    reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM NextTreeItem(UINT relation, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(AppState.ExtensionTree, TVM_GETNEXTITEM,
                                                    relation, reinterpret_cast<LPARAM>(item)));
}

int CountChildren(HTREEITEM group) {
    int count = 0;
    for (HTREEITEM child = NextTreeItem(TVGN_CHILD, group); child;
         child = NextTreeItem(TVGN_NEXT, child))
        ++count;
    return count;
}

void SelectTreeItem(HTREEITEM item) {
    SendMessageA(AppState.ExtensionTree, TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(item));
}

void SetListItemState(int index, UINT state) {
    LVITEMA item = {};
    item.state = state;
    item.stateMask = state;
    SendMessageA(AppState.ExtensionList, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
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
    AppState.CustomizedRoot =
        InsertTreeItem(TVI_ROOT, TVI_SORT, kTextCustomizedGroup, TVIS_BOLD | TVIS_EXPANDED);
    AppState.DefinedRoot =
        InsertTreeItem(TVI_ROOT, TVI_SORT, kTextDefinedGroup, TVIS_BOLD | TVIS_EXPANDED);
}

void StartCatalogueLoad() {
    HANDLE thread = CreateThread(nullptr, 0, LoadCatalogue, nullptr, 0, nullptr);
    if (thread)
        CloseHandle(thread);
}

DWORD WINAPI LoadCatalogue(LPVOID) {
    LoadedCatalogue catalogue;
    NameList machine = EnumerateExtensions(HKEY_LOCAL_MACHINE);
    NameList user;
    if (!AppState.AdminMode)
        user = EnumerateExtensions(HKEY_CURRENT_USER);
    GroupExtensions(std::move(machine), std::move(user), &catalogue);
    SendMessageA(AppState.MainWindow, kCatalogueLoadedMessage, 0,
                 reinterpret_cast<LPARAM>(&catalogue));
    return 0;
}

void FillCatalogue(LPARAM loaded) {
    const auto* catalogue = reinterpret_cast<const LoadedCatalogue*>(loaded);
    for (const ExtensionName& name : catalogue->System)
        InsertListItem(name.Text);
    if (!AppState.AdminMode) {
        for (const ExtensionName& name : catalogue->Customized)
            InsertTreeItem(AppState.CustomizedRoot, TVI_SORT, name.Text, 0);
        for (const ExtensionName& name : catalogue->Defined)
            InsertTreeItem(AppState.DefinedRoot, TVI_SORT, name.Text, 0);
    }
    SendMessageA(AppState.ExtensionList, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    SetListItemState(0, LVIS_SELECTED | LVIS_FOCUSED);
    ShowWindow(AppState.ExtensionList, SW_SHOW);
    if (!AppState.AdminMode)
        ShowWindow(AppState.ExtensionTree, SW_SHOW);
    ShowStatusCounts();
}

int HasUserClass(const char* name) {
    return HasClassUnder(HKEY_CURRENT_USER, name);
}

int HasMachineClass(const char* name) {
    return HasClassUnder(HKEY_LOCAL_MACHINE, name);
}

void SelectInList(const char* name) {
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = name;
    int index =
        static_cast<int>(SendMessageA(AppState.ExtensionList, LVM_FINDITEMA,
                                      static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
    if (index < 0)
        return;
    SetListItemState(index, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(AppState.ExtensionList);
    SendMessageA(AppState.ExtensionList, LVM_ENSUREVISIBLE, index, FALSE);
}

void SelectInTree(const char* name) {
    for (HTREEITEM group = NextTreeItem(TVGN_ROOT, nullptr); group;
         group = NextTreeItem(TVGN_NEXT, group)) {
        for (HTREEITEM child = NextTreeItem(TVGN_CHILD, group); child;
             child = NextTreeItem(TVGN_NEXT, child)) {
            char text[kExtensionNameSize] = {};
            TVITEMA item = {};
            item.mask = TVIF_TEXT;
            item.hItem = child;
            item.pszText = text;
            item.cchTextMax = kExtensionNameSize;
            SendMessageA(AppState.ExtensionTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            if (CompareNoCase(text, name) == 0) {
                SelectTreeItem(child);
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
    HTREEITEM item = InsertTreeItem(AppState.CustomizedRoot, TVI_LAST, CurrentExtension, 0);
    SelectTreeItem(item);
    SetFocus(AppState.ExtensionTree);
}
