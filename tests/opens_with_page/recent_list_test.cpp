// The Recently Used list of the Opens-with page and its pop-up menu: which of
// the user's Open With entries are listed, and how "Remove" and "Add Program"
// move programs between the list and the menu.
#include "open_page_driver.h"

#include "records/app_state.h"
#include "records/editor_state.h"
#include "editor/opens_with_page.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using kvt::MenuEntry;
using kvt::User;

constexpr UINT kRemove = IDM_RECENT_REMOVE;

class RecentList : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        kvt::SeedApplication(HKEY_CURRENT_USER, "kvtview.exe", "Kvt Viewer",
                             "\"C:\\kvt\\kvtview.exe\" \"%1\"");
        kvt::SeedApplication(HKEY_LOCAL_MACHINE, "kvttwin.exe", "Kvt Viewer",
                             "\"C:\\kvt\\kvttwin.exe\" \"%1\"");
        kvt::SeedApplication(HKEY_CURRENT_USER, "kvtedit.exe", "Kvt Editor",
                             "\"C:\\kvt\\kvtedit.exe\" \"%1\"", "edit");
        kvt::SeedApplication(HKEY_CURRENT_USER, "kvtzoom.exe", "Kvt Zoom",
                             "\"C:\\kvt\\kvtzoom.exe\" \"%1\"");
        kvt::SeedApplication(HKEY_CURRENT_USER, "kvtnameless.exe", "", "C:\\kvt\\kvtnameless.exe");
    }
    void SetRecent(const char* name, const std::string& application) {
        kvt::SetText(HKEY_CURRENT_USER, kvt::OpenWithListPath(".kvtdoc"), name, application);
    }
};

HWND ListOf(HWND page) {
    return GetDlgItem(page, IDC_OPENSWITH_RECENTLIST);
}

// Each row as "friendly name (application key name)".
std::vector<std::string> Rows(HWND list) {
    std::vector<std::string> rows;
    for (int row = 0; row < User::ListCount(list); ++row) {
        auto application = reinterpret_cast<const char*>(User::ListParam(list, row));
        rows.push_back(User::ListText(list, row) + " (" + (application ? application : "") + ")");
    }
    return rows;
}

HMENU AddProgramMenuOf(HMENU popup) {
    for (const MenuEntry& entry : User::MenuEntries(popup))
        if (entry.submenu)
            return entry.submenu;
    return nullptr;
}

// The "Add Program" items of the test's applications, each as "friendly name
// (application key name)", in menu order.
std::vector<std::string> AddProgramItems() {
    std::vector<std::string> items;
    HMENU menu = AddProgramMenuOf(RecentListMenu);
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        char text[260] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_DATA;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, position, TRUE, &info);
        auto application = reinterpret_cast<const char*>(info.dwItemData);
        if (application && _strnicmp(application, "kvt", 3) == 0)
            items.push_back(std::string(text) + " (" + application + ")");
    }
    return items;
}

UINT CommandOf(HMENU menu, const std::string& text) {
    for (const MenuEntry& entry : User::MenuEntries(menu))
        if (entry.text == text)
            return entry.command;
    ADD_FAILURE() << "no menu item " << text;
    return 0;
}

bool RemoveEnabled(HMENU popup) {
    for (const MenuEntry& entry : User::MenuEntries(popup))
        if (entry.command == kRemove)
            return entry.enabled;
    ADD_FAILURE() << "the menu has no \"Remove\"";
    return false;
}

TEST_F(RecentList, ListsTheUsersProgramsButNeverMruListOrLongNames) {
    SetRecent("a", "kvtview.exe");
    SetRecent("abcdefg", "kvtedit.exe");
    SetRecent("mRuLiSt", "kvtzoom.exe");
    SetRecent("kvtlongname", "kvtzoom.exe");
    SetRecent("b", "kvtnameless.exe");
    kvt::PageSetup setup;
    kvt::RunOpensWithPage(setup, [](User&, HWND page) {
        EXPECT_EQ(
            (std::vector<std::string>{"Kvt Editor (kvtedit.exe)", "Kvt Viewer (kvtview.exe)"}),
            Rows(ListOf(page)));
        EXPECT_TRUE(IsWindowEnabled(ListOf(page)));
        // What the list shows is not offered again; namesakes go as well.
        EXPECT_EQ((std::vector<std::string>{"Kvt Zoom (kvtzoom.exe)"}), AddProgramItems());
    });
}

// Counts the blocks still allocated on a heap.
int BusyBlocks(HANDLE heap) {
    int busy = 0;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            ++busy;
    return busy;
}

// The item data of the combo, the list and "Add Program", in that order.
std::vector<LPARAM> ItemData(HWND page) {
    std::vector<LPARAM> blocks;
    HWND combo = GetDlgItem(page, IDC_OPENSWITH_PROGRAMCOMBO);
    for (int index = 0; index < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++index) {
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_LPARAM;
        item.iItem = index;
        SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        blocks.push_back(item.lParam);
    }
    for (int row = 0; row < User::ListCount(ListOf(page)); ++row)
        blocks.push_back(User::ListParam(ListOf(page), row));
    HMENU addProgram = AddProgramMenuOf(RecentListMenu);
    for (int position = 0; position < GetMenuItemCount(addProgram); ++position) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA;
        GetMenuItemInfoA(addProgram, position, TRUE, &info);
        blocks.push_back(static_cast<LPARAM>(info.dwItemData));
    }
    return blocks;
}

TEST_F(RecentList, RemoveAndAddProgramMoveProgramsAndTheirBlocksBetweenListAndMenu) {
    SetRecent("a", "kvtview.exe");
    SetRecent("b", "kvtzoom.exe");
    // A heap of the test's own shows what the page allocates and frees.
    HANDLE processHeap = AppState.Heap;
    AppState.Heap = HeapCreate(0, 0, 0);
    kvt::RunOpensWithPage(kvt::PageSetup{}, [](User& user, HWND page) {
        HWND list = ListOf(page);
        ASSERT_EQ((std::vector<std::string>{"Kvt Viewer (kvtview.exe)", "Kvt Zoom (kvtzoom.exe)"}),
                  Rows(list));
        EXPECT_EQ((std::vector<std::string>{"Kvt Editor (kvtedit.exe)"}), AddProgramItems());

        user.RightClickListItem(list, 0);
        HMENU popup = user.WaitForPopupMenu();
        ASSERT_NE(nullptr, popup);
        EXPECT_EQ((std::vector<std::string>{"Remove", "Add Program"}), User::MenuTexts(popup));
        EXPECT_TRUE(RemoveEnabled(popup));
        user.ChooseMenuCommand(kRemove);
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(list) == 1; }));
        EXPECT_EQ((std::vector<std::string>{"Kvt Zoom (kvtzoom.exe)"}), Rows(list));
        EXPECT_EQ(1u, Changed.OpenWithList);
        EXPECT_EQ(
            (std::vector<std::string>{"Kvt Viewer (kvtview.exe)", "Kvt Editor (kvtedit.exe)"}),
            AddProgramItems());
        std::set<UINT> commands;
        for (const MenuEntry& entry : User::MenuEntries(AddProgramMenuOf(RecentListMenu))) {
            EXPECT_NE(kRemove, entry.command);
            EXPECT_TRUE(commands.insert(entry.command).second) << "command used twice";
        }

        // Empty space below the row: nothing to remove, programs to add.
        Changed.OpenWithList = 0;
        RECT client;
        GetClientRect(list, &client);
        user.ClickListAt(list, {client.right / 2, client.bottom - 2}, NM_RCLICK);
        popup = user.WaitForPopupMenu();
        ASSERT_NE(nullptr, popup);
        EXPECT_FALSE(RemoveEnabled(popup));
        user.ChooseMenuCommand(CommandOf(AddProgramMenuOf(popup), "Kvt Viewer"));
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(list) == 2; }));
        EXPECT_EQ((std::vector<std::string>{"Kvt Viewer (kvtview.exe)", "Kvt Zoom (kvtzoom.exe)"}),
                  Rows(list));
        EXPECT_EQ(1u, Changed.OpenWithList);
        EXPECT_EQ((std::vector<std::string>{"Kvt Editor (kvtedit.exe)"}), AddProgramItems());
        EXPECT_EQ(-1, User::ListSelected(list)) << "a right-click does not select";

        // Adding from a right-click on a row, and the column follows the texts.
        user.RightClickListItem(list, 1);
        popup = user.WaitForPopupMenu();
        ASSERT_NE(nullptr, popup);
        user.ChooseMenuCommand(CommandOf(AddProgramMenuOf(popup), "Kvt Editor"));
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(list) == 3; }));
        EXPECT_EQ("Kvt Editor (kvtedit.exe)", Rows(list)[0]);
        EXPECT_TRUE(AddProgramItems().empty());
        EXPECT_GT(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 0);

        // Combo items, rows and menu items each hold a block of their own.
        std::vector<LPARAM> blocks = ItemData(page);
        EXPECT_EQ(static_cast<int>(blocks.size()), BusyBlocks(AppState.Heap));
        std::sort(blocks.begin(), blocks.end());
        EXPECT_EQ(blocks.end(), std::adjacent_find(blocks.begin(), blocks.end()))
            << "two holders share one block";
        EXPECT_NE(0, blocks.front()) << "a holder without its name";
    });
    EXPECT_EQ(0, BusyBlocks(AppState.Heap)) << "item data left behind after the editor closed";
    EXPECT_TRUE(HeapValidate(AppState.Heap, 0, nullptr));
    HeapDestroy(AppState.Heap);
    AppState.Heap = processHeap;
}

} // namespace
