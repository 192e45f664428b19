// The main windows of both modes, their context menus and commands and the
// name entry, on registry fixtures.
#include "harness/kvt.h"
#include "records/app_state.h"
#include "app/main_window_shared.h"
#include "resources/resource.h"
#include "resources/texts.h"

#include <algorithm>

namespace {

using kvt::User;
using Items = std::vector<std::string>;

class MainWindow : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        kvt::Seed(R"(
[HKLM\Software\Classes\.kvtsys]
@="kvtsysfile"
[HKLM\Software\Classes\kvtsysfile]
@="System one"
[HKLM\Software\Classes\.kvtboth]
[HKCU\Software\Classes\.kvtboth]
[HKCU\Software\Classes\.kvtmine]
@="kvtminefile"
[HKCU\Software\Classes\kvtminefile]
@="Mine"
)");
        kvt::Seed("[HKLM\\Software\\Classes\\.kvté]\n[HKCU\\Software\\Classes\\.KVTÉ]\n"
                  "[HKLM\\Software\\Classes\\.kvt" +
                  std::string(46, 'n') + "]\n");
    }
};

// Opens the context menu of an item, by a right-click or from the keyboard
// on the selected item, and gives its entries.
Items MenuOf(User& user, HWND control, const std::string& item, bool keyboard = false) {
    user.Act(control, item, keyboard ? 0 : NM_RCLICK);
    if (keyboard)
        user.MenuKey(control);
    HMENU menu = user.WaitForMenu();
    Items entries = menu ? User::MenuItems(menu) : Items{};
    for (std::string& entry : entries) // it names the session's last change
        entry = entry.rfind("Undo", 0) == 0 ? "Undo" : entry;
    user.Dismiss();
    return entries;
}

TEST_F(MainWindow, GroupsCountsAndMenusOfBothModes) {
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        EXPECT_EQ(Items{".kvtsys"}, kvt::OurItems({list}, true))
            << "50 characters are too long for a name";
        EXPECT_EQ((Items{"User Customized", ".kvtboth", ".kvté", "User Defined", ".kvtmine"}),
                  kvt::OurItems({tree}, true));
        const int listed = static_cast<int>(User::Items(list).size());
        EXPECT_EQ(std::to_string(listed + 3) +
                      " Registered file extensions - User Customized=2  User Defined=1",
                  kvt::StatusText());
        const Items shared = {
            "Search\tCtrl+F", "Undo",  "Export...", "Export All...", "Tools>", "-",
            "Readme\tF1",     "About", "-",         "Exit"};
        Items entries = {"Customize\tEnter", "New Extension\tCtrl+N",
                         "New Link Type\tCtrl+Shift+N"};
        entries.insert(entries.end(), shared.begin(), shared.end());
        EXPECT_EQ(entries, MenuOf(user, list, ".kvtsys", true));
        entries[0] = "Edit\tEnter";
        entries.insert(entries.begin() + 3, "Restore\tDel");
        entries.erase(entries.begin() + 4); // no "Search" in the tree
        EXPECT_EQ(entries, MenuOf(user, tree, ".kvtboth", true));
        entries[3] = "Delete\tDel";
        EXPECT_EQ(entries, MenuOf(user, tree, ".kvtmine"));
        EXPECT_EQ("Mine", User::Text(window, IDC_MAIN_FILETYPE));
        // A group item and empty space offer nothing and change nothing.
        user.Act(tree, "User Defined", NM_RCLICK);
        RECT client;
        GetClientRect(tree, &client);
        user.ActAt(tree, {client.right / 2, client.bottom - 4}, NM_RCLICK);
        user.Do([] {});
        HWND menuWindow = FindWindowA("#32768", nullptr);
        EXPECT_FALSE(menuWindow && IsWindowVisible(menuWindow));
        EXPECT_EQ(".kvtmine", MainWindowOf(window).CurrentExtension);
        // A click beside an item's text, right of it or on its indent, hits it.
        for (int right : {1, 0}) {
            HTREEITEM item = TreeView_GetNextSibling(tree, TreeView_GetRoot(tree));
            item = TreeView_GetChild(tree, item);
            RECT text = {};
            memcpy(&text, &item, sizeof item);
            SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text));
            user.ActAt(tree,
                       {right ? text.right + 12 : text.left - 6, (text.top + text.bottom) / 2},
                       NM_RCLICK);
            EXPECT_NE(nullptr, user.WaitForMenu());
            user.Dismiss();
            EXPECT_EQ(".kvtmine", MainWindowOf(window).CurrentExtension);
        }
        // The pane follows the focus between list and tree.
        user.Act(tree, ".kvtmine", 0);
        user.Focus(list);
        user.Act(list, ".kvtsys", 0);
        EXPECT_TRUE(
            user.Wait([&] { return User::Text(window, IDC_MAIN_FILETYPE) == "System one"; }));
        user.Focus(tree);
        EXPECT_TRUE(
            user.Wait([&] { return User::Text(window, IDC_MAIN_EXTENSION) == ".kvtmine"; }));
        // Readme beside a folder too long to name it is said to be missing;
        // no cut name is opened.
        const std::string saved = AppState.AppDirectory;
        strcpy(AppState.AppDirectory, ("C:\\" + std::string(250, 'a') + "\\").c_str());
        user.Act(list, ".kvtsys", NM_RCLICK);
        user.Choose(IDM_README);
        std::string text;
        user.Answer(user.WaitForBox(&text), IDOK);
        strcpy(AppState.AppDirectory, saved.c_str());
        EXPECT_EQ(kTextReadmeMissing, text);
        user.Act(list, ".kvtsys", NM_RCLICK);
        user.Choose(IDM_EXIT);
        EXPECT_TRUE(user.WaitGone(window));
    });
    kvt::RunMainWindow(1, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_ADMIN_LIST);
        Items ours = kvt::OurItems({list}, true);
        std::sort(ours.begin(), ours.end());
        EXPECT_EQ((Items{".kvtboth", ".kvtsys", ".kvté"}), ours);
        EXPECT_EQ(std::to_string(User::Items(list).size()) + " Registered file extensions ",
                  kvt::StatusText());
        EXPECT_EQ((Items{"Edit\tEnter", "New Extension\tCtrl+N", "New Link Type\tCtrl+Shift+N",
                         "Delete\tDel", "Search\tCtrl+F", "Undo", "Export...", "Export All...",
                         "Tools>", "-", "Readme\tF1", "About", "-", "Exit"}),
                  MenuOf(user, list, ".kvtsys", true));
    });
}

// "New Extension" and "Search": refused characters and blanks, a name that
// exists selected in its control, an unknown one offered or created.
TEST_F(MainWindow, NameEntryInBothRoles) {
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST), tree = GetDlgItem(window, IDC_MAIN_TREE);
        auto entry = [&](UINT command, const std::string& name) {
            user.Act(list, ".kvtsys", NM_RCLICK);
            user.Choose(command);
            HWND dialog = user.WaitForControl(IDC_ENTRY_NAME);
            user.Type(GetDlgItem(dialog, IDC_ENTRY_NAME), name);
            return dialog;
        };
        HWND dialog = entry(IDM_NEWEXTENSION, "a.bЖ c\\d/e:f*g?h\"i<j|k>l" + std::string(300, 'x'));
        EXPECT_EQ("abЖcdefghijkl" + std::string(245, 'x'), User::Text(dialog, IDC_ENTRY_NAME))
            << "refused characters, letters of any script; room left for the dot";
        user.Type(GetDlgItem(dialog, IDC_ENTRY_NAME), " \t ");
        user.Click(dialog, IDC_ENTRY_OK);
        std::string text;
        user.Answer(user.WaitForBox(&text), IDOK);
        EXPECT_EQ("Can't be an empty string", text);
        user.Click(dialog, IDC_ENTRY_CANCEL);
        user.WaitGone(dialog);

        user.Click(entry(IDM_NEWEXTENSION, "KVTMINE"), IDC_ENTRY_OK);
        EXPECT_TRUE(
            user.Wait([&] { return User::Text(window, IDC_MAIN_EXTENSION) == ".kvtmine"; }));
        user.Click(entry(IDM_SEARCH, "kvtsys"), IDC_ENTRY_OK);
        EXPECT_TRUE(user.Wait([&] { return User::Text(window, IDC_MAIN_EXTENSION) == ".kvtsys"; }));
        user.Click(entry(IDM_SEARCH, "kvtновое"), IDC_ENTRY_OK);
        HWND box = user.WaitForBox(&text);
        EXPECT_EQ("Extension .kvtновое was not found.\r\nWould you like to create it?", text);
        user.Answer(box, IDYES);
        HWND editor = user.WaitForControl(IDC_EDITOR_TABS);
        EXPECT_EQ("Create new extension: .kvtновое", User::Text(editor));
        user.Type(kvt::EditorControl(user, editor, IDC_GENERAL_DESCRIPTION), "Новое 📄");
        user.Click(editor, IDC_EDITOR_SAVE);
        EXPECT_TRUE(user.Wait([&] { return kvt::OurItems({tree}, true).back() == ".kvtновое"; }));
    });
}

// Each key opens what its menu entry opens (F1 here a Readme that is missing).
TEST_F(MainWindow, KeysDoWhatTheirEntriesDo) {
    const std::string saved = AppState.AppDirectory;
    strcpy(AppState.AppDirectory, "C:\\kvtnowhere\\");
    for (int admin : {0, 1}) {
        kvt::RunMainWindow(admin, [&](User& user, HWND window) {
            HWND list = GetDlgItem(window, admin ? IDC_ADMIN_LIST : IDC_MAIN_LIST);
            HWND tree = admin ? list : GetDlgItem(window, IDC_MAIN_TREE);
            const struct {
                HWND control;
                const char* item;
                UINT modifier;
                int key;
                std::string opens; // its caption, or the start of a message box's text
            } keys[] = {
                {list, ".kvtsys", 0, VK_RETURN,
                 admin ? "Edit properties for: .kvtsys" : "Customize properties for: .kvtsys"},
                {tree, admin ? ".kvtsys" : ".kvtmine", 0, VK_DELETE,
                 admin ? "!!!!  WARNING" : "You are about to delete the file extension .kvtmine"},
                {tree, admin ? ".kvtsys" : ".kvtboth", 0, admin ? VK_F1 : VK_DELETE,
                 admin ? "Could not find ReadMe.txt"
                       : "You are about to restore the file extension"},
                {tree, admin ? ".kvtsys" : ".kvtmine", 0, VK_RETURN,
                 admin ? "Edit properties for: .kvtsys" : "Edit properties for: .kvtmine"},
                {list, ".kvtsys", VK_CONTROL, 'N', "Create New Extension"},
                {list, ".kvtsys", VK_CONTROL, 'F', "Find extension"},
                {list, ".kvtsys", 0, VK_F7, "Problems"},
            };
            for (const auto& key : keys) {
                user.Act(key.control, key.item, 0);
                user.Focus(key.control);
                if (key.modifier)
                    user.Chord(key.control, key.modifier, key.key);
                else
                    user.Key(key.control, key.key);
                HWND opened = nullptr;
                user.Wait(
                    [&] { return (opened = User::Find([&](HWND w) { return w != window; })); });
                std::string text = User::Text(opened);
                if (HWND box = User::FindBox())
                    user.WaitForBox(&text), user.Answer(box, GetDlgItem(box, IDNO) ? IDNO : IDOK);
                else
                    user.Close(opened);
                EXPECT_EQ(key.opens, text.substr(0, key.opens.size())) << key.key;
                user.WaitGone(opened);
            }
        });
    }
    strcpy(AppState.AppDirectory, saved.c_str());
}

} // namespace
