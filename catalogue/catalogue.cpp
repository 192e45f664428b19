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
    bool Last = false;  // the last part of extensions
    bool Links = false; // the link types, the groups as for extensions
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

// The link types' names in the tree and their own list; the extensions'
// everywhere else.
bool IsLinkItem(const char* name) {
    return name[0] != '.';
}

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

// Every "."-name of hive\Software\Classes that fits the name buffer, and
// where classes is given every other name that does.
NameList EnumerateExtensions(HKEY hive, NameList* classes = nullptr) {
    NameList names;
    RegKey key;
    if (RegistryOpenKey(hive, kClassesKey, KEY_ENUMERATE_SUB_KEYS, key.put()) != ERROR_SUCCESS)
        return names;
    RegistryForEachSubKey(key.get(), [&](const char* text) {
        NameList* list = text[0] == '.' ? &names : classes;
        if (list && FitsBuffer(text, kExtensionNameSize)) {
            ExtensionName name = {};
            CopyTextBounded(text, name.Text, kExtensionNameSize);
            list->push_back(name);
        }
        return true;
    });
    return names;
}

// Whether classes\name holds "URL Protocol".
bool HoldsUrlProtocol(HKEY classes, const char* name) {
    RegKey key;
    return classes && RegistryOpenKey(classes, name, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS &&
           RegistryQueryValue(key.get(), kUrlProtocolValue, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
}

// The link types among the classes of both hives (each sorted), grouped as
// extensions are: in user mode a class of the user's is a link type where
// either hive's key holds "URL Protocol", "User Customized" where the
// machine has the class too; the machine's others are "System".
CataloguePart FindLinkTypes(RunMode mode, const NameList& users, const NameList& machine) {
    CataloguePart links;
    links.Links = true;
    RegKey userClasses, machineClasses;
    RegistryOpenKey(HKEY_LOCAL_MACHINE, kClassesKey, KEY_QUERY_VALUE, machineClasses.put());
    const bool user = mode == RunMode::User;
    if (user) {
        RegistryOpenKey(HKEY_CURRENT_USER, kClassesKey, KEY_QUERY_VALUE, userClasses.put());
        for (const ExtensionName& name : users) {
            const bool inMachine = InMachineHiveToo(machine, name);
            if (HoldsUrlProtocol(userClasses.get(), name.Text) ||
                (inMachine && HoldsUrlProtocol(machineClasses.get(), name.Text)))
                (inMachine ? links.Customized : links.Defined).push_back(name);
        }
    }
    for (const ExtensionName& name : machine)
        if (!(user && InUserHiveToo(users, name)) &&
            HoldsUrlProtocol(machineClasses.get(), name.Text))
            links.System.push_back(name);
    return links;
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
// hive has it too. Returns every name read; the other names into classes.
NameList PostMachineParts(const LoadRequest& request, const NameList& user, NameList* classes) {
    NameList machine;
    RegKey key;
    DWORD count = 0;
    if (RegistryOpenKey(HKEY_LOCAL_MACHINE, kClassesKey, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE,
                        key.put()) != ERROR_SUCCESS ||
        RegistryQueryInfo(key.get(), &count, nullptr) != ERROR_SUCCESS)
        return machine;
    ExtensionName name;
    for (DWORD end = count; end > 0;) {
        const DWORD begin = end > kPartSize ? end - kPartSize : 0;
        auto part = std::make_unique<CataloguePart>();
        for (DWORD index = end; index-- > begin;) {
            const LONG status = ReadExtensionName(key.get(), index, &name);
            if (status == ERROR_FILE_NOT_FOUND && name.Text[0])
                classes->push_back(name);
            if (status != ERROR_SUCCESS)
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

// The items of a group of the tree that are extensions, or link types.
int CountChildren(HWND tree, HTREEITEM group, bool links) {
    int count = 0;
    for (HTREEITEM child = TreeRelative(tree, TVGN_CHILD, group); child;
         child = TreeRelative(tree, TVGN_NEXT, child)) {
        char text[kExtensionNameSize];
        ReadTreeItemText(tree, child, text, kExtensionNameSize);
        count += IsLinkItem(text) == links ? 1 : 0;
    }
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

HWND ListOf(const CatalogueView& view, const char* name) {
    return IsLinkItem(name) ? view.Links : view.List;
}

void PrepareCatalogue(CatalogueView* view) {
    for (HWND list : {view->List, view->Links}) {
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                     LVS_EX_FULLROWSELECT);
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = 0;
        SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(view->List, LVM_SETITEMCOUNT, 1500, LVSICF_NOINVALIDATEALL);
    // The extensions' counts in the wider part, the link types' beside them.
    RECT bar = {};
    GetClientRect(view->StatusBar, &bar);
    const int parts[] = {(bar.right - bar.left) * 3 / 5, -1};
    SendMessageA(view->StatusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    if (view->Mode != RunMode::User)
        return;
    view->CustomizedRoot = InsertTreeItem(view->Tree, TVI_ROOT, TVI_SORT, kTextCustomizedGroup,
                                          TVIS_BOLD | TVIS_EXPANDED);
    view->DefinedRoot = InsertTreeItem(view->Tree, TVI_ROOT, TVI_SORT, kTextDefinedGroup,
                                       TVIS_BOLD | TVIS_EXPANDED);
}

void StartCatalogueLoad(const CatalogueView& view) {
    SetRedraw(view.List, FALSE);
    SetRedraw(view.Links, FALSE);
    if (view.Tree)
        SetRedraw(view.Tree, FALSE);
    auto request = std::make_unique<LoadRequest>(LoadRequest{view.Window, view.Mode});
    if (StartWorker(LoadCatalogue, request.get()))
        request.release();
}

DWORD WINAPI LoadCatalogue(LPVOID parameter) {
    const std::unique_ptr<LoadRequest> request(static_cast<LoadRequest*>(parameter));
    const bool user = request->Mode == RunMode::User;
    NameList names, userClasses, machineClasses;
    if (user) {
        names = EnumerateExtensions(HKEY_CURRENT_USER, &userClasses);
        std::sort(names.begin(), names.end(), LessNoCase);
    }
    NameList machine = PostMachineParts(*request, names, &machineClasses);
    auto last = std::make_unique<CataloguePart>();
    last->Last = true;
    if (user) {
        std::sort(machine.begin(), machine.end(), LessNoCase);
        for (const ExtensionName& name : names)
            if (!InMachineHiveToo(machine, name))
                last->Defined.push_back(name);
    }
    PostPart(request->Window, std::move(last));
    // The link types come after the extensions are shown: which classes are
    // link types takes a question to each.
    std::sort(userClasses.begin(), userClasses.end(), LessNoCase);
    std::sort(machineClasses.begin(), machineClasses.end(), LessNoCase);
    PostPart(request->Window, std::make_unique<CataloguePart>(
                                  FindLinkTypes(request->Mode, userClasses, machineClasses)));
    return 0;
}

void FillCatalogue(CatalogueView& view, LPARAM loaded) {
    std::unique_ptr<CataloguePart> part = TakePart(loaded);
    if (!part)
        return;
    HWND list = part->Links ? view.Links : view.List;
    for (const ExtensionName& name : part->System)
        InsertListItem(list, name.Text);
    for (const ExtensionName& name : part->Customized)
        InsertTreeItem(view.Tree, view.CustomizedRoot, TVI_SORT, name.Text, 0);
    for (const ExtensionName& name : part->Defined)
        InsertTreeItem(view.Tree, view.DefinedRoot, TVI_SORT, name.Text, 0);
    if (part->Links) {
        SetRedraw(view.Links, TRUE);
        SendMessageA(view.Links, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
        view.LinksLoaded = true;
        ShowStatusCounts(view);
        return;
    }
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

std::vector<CatalogueEntry> ListLinkTypes(RunMode mode) {
    NameList users, machine;
    if (mode == RunMode::User)
        EnumerateExtensions(HKEY_CURRENT_USER, &users);
    EnumerateExtensions(HKEY_LOCAL_MACHINE, &machine);
    std::sort(users.begin(), users.end(), LessNoCase);
    std::sort(machine.begin(), machine.end(), LessNoCase);
    const CataloguePart links = FindLinkTypes(mode, users, machine);
    std::vector<CatalogueEntry> entries;
    for (const auto& [names, group] : {std::pair{&links.System, CatalogueGroup::System},
                                       {&links.Customized, CatalogueGroup::Customized},
                                       {&links.Defined, CatalogueGroup::Defined}})
        for (const ExtensionName& name : *names)
            entries.push_back({name.Text, group});
    std::sort(entries.begin(), entries.end(), [](const CatalogueEntry& a, const CatalogueEntry& b) {
        return CompareRegistryNames(a.Extension.c_str(), b.Extension.c_str()) < 0;
    });
    return entries;
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

bool IsRegisteredType(RunMode mode, const char* name) {
    const bool user = mode == RunMode::User;
    if (!IsLinkName(name))
        return (user && HasUserClass(name)) || HasMachineClass(name);
    return (user && HasLinkClass(HKEY_CURRENT_USER, name)) ||
           HasLinkClass(HKEY_LOCAL_MACHINE, name);
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
    HWND list = ListOf(view, name);
    const int row = FindListRow(list, name);
    if (row < 0)
        return nullptr;
    SelectListRow(list, row);
    return list;
}

void FormatStatusCounts(int adminMode, int total, int customized, int defined, char* out,
                        bool links) {
    FillWords(out, kTextSize, 0);
    char number[16] = {};
    FormatDecimal(total, number);
    JoinTexts(2, out, number, links ? kTextRegisteredLinkTypes : kTextRegisteredExtensions);
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
    for (const bool links : {false, true}) {
        if (links && !view.LinksLoaded)
            return;
        HWND list = links ? view.Links : view.List;
        const int listCount = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        int customized = 0;
        int defined = 0;
        const bool user = view.Mode == RunMode::User;
        if (user) {
            customized = CountChildren(view.Tree, view.CustomizedRoot, links);
            defined = CountChildren(view.Tree, view.DefinedRoot, links);
        }
        char text[kTextSize];
        FormatStatusCounts(user ? 0 : 1, listCount + customized + defined, customized, defined,
                           text, links);
        SendMessageA(view.StatusBar, SB_SETTEXTA, links ? 1 : 0, reinterpret_cast<LPARAM>(text));
    }
}

void MoveToCustomized(const CatalogueView& view, int row, const char* extension) {
    SendMessageA(ListOf(view, extension), LVM_DELETEITEM, row, 0);
    HTREEITEM item = InsertTreeItem(view.Tree, view.CustomizedRoot, TVI_LAST, extension, 0);
    SelectTreeItem(view.Tree, item);
    SetFocus(view.Tree);
}

void ShowNewUserExtension(const CatalogueView& view, const char* extension) {
    SelectTreeItem(view.Tree, InsertTreeItem(view.Tree, view.DefinedRoot, TVI_SORT, extension, 0));
}

void ShowNewMachineExtension(const CatalogueView& view, const char* extension) {
    InsertIntoList(ListOf(view, extension), extension);
}

void MoveToList(const CatalogueView& view, HTREEITEM item, const char* extension) {
    InsertIntoList(ListOf(view, extension), extension);
    RemoveTreeItem(view, item);
}

void RemoveTreeItem(const CatalogueView& view, HTREEITEM item) {
    SendMessageA(view.Tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

HTREEITEM PlaceExtension(const CatalogueView& view, const char* name) {
    HWND list = ListOf(view, name);
    const int row = FindListRow(list, name);
    if (row >= 0)
        SendMessageA(list, LVM_DELETEITEM, row, 0);
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
    const bool machine = IsRegisteredType(RunMode::Admin, name);
    HTREEITEM placed = nullptr;
    if (view.Mode == RunMode::User && HasUserClass(name) &&
        (!IsLinkName(name) || IsRegisteredType(RunMode::User, name))) {
        placed = InsertTreeItem(view.Tree,
                                HasMachineClass(name) ? view.CustomizedRoot : view.DefinedRoot,
                                TVI_SORT, name, 0);
        SelectTreeItem(view.Tree, placed);
        SetFocus(view.Tree);
    } else if (machine) {
        InsertIntoList(list, name);
    }
    ShowStatusCounts(view);
    return placed;
}

int RemoveListRow(HWND list, int row) {
    SendMessageA(list, LVM_DELETEITEM, row, 0);
    if (row > 0)
        --row;
    SelectListRow(list, row);
    return row;
}
