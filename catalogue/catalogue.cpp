// The extension catalogue: loading, selection, counts and in-place moves.
#include "catalogue/catalogue.h"

#include "platform/handles.h"
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

// What the loader thread is given: where to send its parts, and the mode.
struct LoadRequest {
    HWND Window;
    RunMode Mode;
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

// The groups' rules. A name both hives enumerate is confirmed with the same
// existence test the groups are defined by; an ASCII name a hive did not
// list cannot open there, so the test is not repeated for it.
bool InUserHiveToo(const NameList& users, const ExtensionName& name) {
    return (Contains(users, name) || !IsAscii(name)) && HasUserClass(name.Text);
}

bool InMachineHiveToo(const NameList& machine, const ExtensionName& name) {
    return IsAscii(name) ? Contains(machine, name) : HasMachineClass(name.Text) != 0;
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

void PostPart(HWND window, std::unique_ptr<CataloguePart> part) {
    for (NameList* group : {&part->System, &part->Customized, &part->Defined})
        SortForInsertion(group);
    const LPARAM id = reinterpret_cast<LPARAM>(part.get());
    {
        std::lock_guard<std::mutex> lock(g_partsLock);
        g_parts.push_back(std::move(part));
    }
    PostMessageA(window, kCatalogueLoadedMessage, 0, id);
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
// hive has it too. Returns every name read.
NameList PostMachineParts(const LoadRequest& request, const NameList& user) {
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
            if (request.Mode == RunMode::User && InUserHiveToo(user, name))
                part->Customized.push_back(name);
            else
                part->System.push_back(name);
        }
        PostPart(request.Window, std::move(part));
        end = begin;
    }
    return machine;
}

void InsertListItem(HWND list, const char* text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int CountChildren(HWND tree, HTREEITEM group) {
    int count = 0;
    for (HTREEITEM child = TreeRelative(tree, TVGN_CHILD, group); child;
         child = TreeRelative(tree, TVGN_NEXT, child))
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
void InsertIntoList(HWND list, const char* extension) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>(extension);
    const int row =
        static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    SelectListRow(list, row);
}

int FindListRow(HWND list, const char* name) {
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = name;
    return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(&find)));
}

} // namespace

void PrepareCatalogue(CatalogueView* view) {
    HWND list = view->List;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageA(list, LVM_SETITEMCOUNT, 1500, LVSICF_NOINVALIDATEALL);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = 0;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    if (view->Mode != RunMode::User)
        return;
    view->CustomizedRoot = InsertTreeItem(view->Tree, TVI_ROOT, TVI_SORT, kTextCustomizedGroup,
                                          TVIS_BOLD | TVIS_EXPANDED);
    view->DefinedRoot = InsertTreeItem(view->Tree, TVI_ROOT, TVI_SORT, kTextDefinedGroup,
                                       TVIS_BOLD | TVIS_EXPANDED);
}

void StartCatalogueLoad(const CatalogueView& view) {
    SetRedraw(view.List, FALSE);
    if (view.Tree)
        SetRedraw(view.Tree, FALSE);
    auto request = std::make_unique<LoadRequest>(LoadRequest{view.Window, view.Mode});
    if (StartWorker(LoadCatalogue, request.get()))
        request.release();
}

DWORD WINAPI LoadCatalogue(LPVOID parameter) {
    const std::unique_ptr<LoadRequest> request(static_cast<LoadRequest*>(parameter));
    const bool user = request->Mode == RunMode::User;
    NameList names;
    if (user) {
        names = EnumerateExtensions(HKEY_CURRENT_USER);
        std::sort(names.begin(), names.end(), LessNoCase);
    }
    NameList machine = PostMachineParts(*request, names);
    auto last = std::make_unique<CataloguePart>();
    last->Last = true;
    if (user) {
        std::sort(machine.begin(), machine.end(), LessNoCase);
        for (const ExtensionName& name : names)
            if (!InMachineHiveToo(machine, name))
                last->Defined.push_back(name);
    }
    PostPart(request->Window, std::move(last));
    return 0;
}

void FillCatalogue(const CatalogueView& view, LPARAM loaded) {
    std::unique_ptr<CataloguePart> part = TakePart(loaded);
    if (!part)
        return;
    for (const ExtensionName& name : part->System)
        InsertListItem(view.List, name.Text);
    for (const ExtensionName& name : part->Customized)
        InsertTreeItem(view.Tree, view.CustomizedRoot, TVI_SORT, name.Text, 0);
    for (const ExtensionName& name : part->Defined)
        InsertTreeItem(view.Tree, view.DefinedRoot, TVI_SORT, name.Text, 0);
    if (!part->Last)
        return;
    // On again before the column is sized: the width depends on the list's
    // scroll bar, which is only worked out while redrawing.
    SetRedraw(view.List, TRUE);
    if (view.Tree)
        SetRedraw(view.Tree, TRUE);
    SendMessageA(view.List, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    SetListItemState(view.List, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ShowWindow(view.List, SW_SHOW);
    if (view.Tree)
        ShowWindow(view.Tree, SW_SHOW);
    ShowStatusCounts(view);
}

std::vector<CatalogueEntry> ListCatalogue(RunMode mode) {
    const bool user = mode == RunMode::User;
    NameList users = user ? EnumerateExtensions(HKEY_CURRENT_USER) : NameList();
    NameList machine = EnumerateExtensions(HKEY_LOCAL_MACHINE);
    std::sort(users.begin(), users.end(), LessNoCase);
    std::sort(machine.begin(), machine.end(), LessNoCase);
    std::vector<CatalogueEntry> entries;
    for (const ExtensionName& name : machine) {
        const bool customized = user && InUserHiveToo(users, name);
        entries.push_back(
            {name.Text, customized ? CatalogueGroup::Customized : CatalogueGroup::System});
    }
    for (const ExtensionName& name : users)
        if (!InMachineHiveToo(machine, name))
            entries.push_back({name.Text, CatalogueGroup::Defined});
    std::sort(entries.begin(), entries.end(), [](const CatalogueEntry& a, const CatalogueEntry& b) {
        return CompareRegistryNames(a.Extension.c_str(), b.Extension.c_str()) < 0;
    });
    return entries;
}

const char* GroupName(CatalogueGroup group) {
    return group == CatalogueGroup::System       ? kTextSystemGroup
           : group == CatalogueGroup::Customized ? kTextCustomizedGroup
                                                 : kTextDefinedGroup;
}

int HasUserClass(const char* name) {
    return HasClassesKey(HKEY_CURRENT_USER, name);
}

int HasMachineClass(const char* name) {
    return HasClassesKey(HKEY_LOCAL_MACHINE, name);
}

HWND SelectInCatalogue(const CatalogueView& view, const char* name) {
    if (view.Mode == RunMode::User && HasUserClass(name)) {
        for (HTREEITEM group = TreeRelative(view.Tree, TVGN_ROOT, nullptr); group;
             group = TreeRelative(view.Tree, TVGN_NEXT, group))
            for (HTREEITEM child = TreeRelative(view.Tree, TVGN_CHILD, group); child;
                 child = TreeRelative(view.Tree, TVGN_NEXT, child)) {
                char text[kExtensionNameSize];
                ReadTreeItemText(view.Tree, child, text, kExtensionNameSize);
                if (CompareNoCase(text, name) == 0) {
                    SelectTreeItem(view.Tree, child);
                    return view.Tree;
                }
            }
        return nullptr;
    }
    const int row = HasMachineClass(name) ? FindListRow(view.List, name) : -1;
    if (row < 0)
        return nullptr;
    SelectListRow(view.List, row);
    return view.List;
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

void ShowStatusCounts(const CatalogueView& view) {
    const int listCount = static_cast<int>(SendMessageA(view.List, LVM_GETITEMCOUNT, 0, 0));
    int total = listCount;
    int customized = 0;
    int defined = 0;
    const bool user = view.Mode == RunMode::User;
    if (user) {
        customized = CountChildren(view.Tree, view.CustomizedRoot);
        defined = CountChildren(view.Tree, view.DefinedRoot);
        total = listCount + customized + defined;
    }
    char text[kTextSize];
    FormatStatusCounts(user ? 0 : 1, total, customized, defined, text);
    SendMessageA(view.StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

void MoveToCustomized(const CatalogueView& view, int row, const char* extension) {
    SendMessageA(view.List, LVM_DELETEITEM, row, 0);
    HTREEITEM item = InsertTreeItem(view.Tree, view.CustomizedRoot, TVI_LAST, extension, 0);
    SelectTreeItem(view.Tree, item);
    SetFocus(view.Tree);
}

void ShowNewUserExtension(const CatalogueView& view, const char* extension) {
    SelectTreeItem(view.Tree, InsertTreeItem(view.Tree, view.DefinedRoot, TVI_SORT, extension, 0));
}

void ShowNewMachineExtension(const CatalogueView& view, const char* extension) {
    InsertIntoList(view.List, extension);
}

void MoveToList(const CatalogueView& view, HTREEITEM item, const char* extension) {
    InsertIntoList(view.List, extension);
    RemoveTreeItem(view, item);
}

void RemoveTreeItem(const CatalogueView& view, HTREEITEM item) {
    SendMessageA(view.Tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

HTREEITEM PlaceExtension(const CatalogueView& view, const char* name) {
    const int row = FindListRow(view.List, name);
    if (row >= 0)
        SendMessageA(view.List, LVM_DELETEITEM, row, 0);
    for (HTREEITEM group : {view.CustomizedRoot, view.DefinedRoot}) {
        for (HTREEITEM child = group ? TreeRelative(view.Tree, TVGN_CHILD, group) : nullptr;
             child;) {
            char text[kExtensionNameSize];
            ReadTreeItemText(view.Tree, child, text, kExtensionNameSize);
            const HTREEITEM next = TreeRelative(view.Tree, TVGN_NEXT, child);
            if (CompareNoCase(text, name) == 0)
                RemoveTreeItem(view, child);
            child = next;
        }
    }
    const bool machine = HasMachineClass(name) != 0;
    HTREEITEM placed = nullptr;
    if (view.Mode == RunMode::User && HasUserClass(name)) {
        placed = InsertTreeItem(view.Tree, machine ? view.CustomizedRoot : view.DefinedRoot,
                                TVI_SORT, name, 0);
        SelectTreeItem(view.Tree, placed);
        SetFocus(view.Tree);
    } else if (machine) {
        InsertIntoList(view.List, name);
    }
    ShowStatusCounts(view);
    return placed;
}

int RemoveListRow(const CatalogueView& view, int row) {
    SendMessageA(view.List, LVM_DELETEITEM, row, 0);
    if (row > 0)
        --row;
    SelectListRow(view.List, row);
    return row;
}
