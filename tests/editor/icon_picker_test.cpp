// The icon picker ("Browse for Icons") opened from the General page's
// "Change...", on a module with several icon groups, an icon file and a
// folder.
#include "details/command_rules.h"
#include "details/pane.h"
#include "details/readers.h"
#include "records/extension_record.h"
#include "records/editor_state.h"
#include "harness/editor_driver.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <atomic>

#include <dlgs.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using kvt::Classes;
using kvt::EditorControl;
using kvt::User;

#pragma pack(push, 2)
struct GroupHeader {
    WORD reserved, type, count;
};
struct GroupEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)
struct FileEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    DWORD offset;
};

std::vector<BYTE> OwnResource(LPCSTR type, LPCSTR name) {
    HRSRC found = FindResourceA(nullptr, name, type);
    if (!found)
        return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    return std::vector<BYTE>(data, data + SizeofResource(nullptr, found));
}

// An icon file with the images of this program's icon group id.
void WriteIconFile(const std::string& path, int id) {
    std::vector<BYTE> group = OwnResource(RT_GROUP_ICON, MAKEINTRESOURCEA(id));
    ASSERT_GE(group.size(), sizeof(GroupHeader));
    const auto* header = reinterpret_cast<const GroupHeader*>(group.data());
    const auto* entries = reinterpret_cast<const GroupEntry*>(header + 1);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(header), sizeof *header);
    DWORD offset = sizeof *header + header->count * sizeof(FileEntry);
    std::vector<std::vector<BYTE>> images;
    for (WORD i = 0; i < header->count; ++i) {
        images.push_back(OwnResource(RT_ICON, MAKEINTRESOURCEA(entries[i].id)));
        FileEntry entry = {entries[i].width,
                           entries[i].height,
                           entries[i].colors,
                           0,
                           entries[i].planes,
                           entries[i].bitCount,
                           static_cast<DWORD>(images.back().size()),
                           offset};
        offset += entry.bytes;
        file.write(reinterpret_cast<const char*>(&entry), sizeof entry);
    }
    for (const std::vector<BYTE>& image : images)
        file.write(reinterpret_cast<const char*>(image.data()), image.size());
}

class IconPicker : public kvt::RegistryTest {
  protected:
    // A folder with a module (this program's icon groups 1 to 6 and a group
    // named KVTSTAR), an icon file and a sub-folder; the extension .kvtpic
    // takes its icon from the module, so the picker starts in the folder.
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        GetLongPathNameA(temp, temp, MAX_PATH);
        folder_ = std::string(temp) + "kvtpicker\\";
        RemoveFolder();
        CreateDirectoryA(folder_.c_str(), nullptr);
        CreateDirectoryA((folder_ + "kvtsub").c_str(), nullptr);
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        ASSERT_TRUE(CopyFileA(self, Module().c_str(), FALSE));
        std::vector<BYTE> group = OwnResource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_PROGRAM));
        HANDLE update = BeginUpdateResourceA(Module().c_str(), FALSE);
        ASSERT_NE(nullptr, update);
        ASSERT_TRUE(UpdateResourceA(update, RT_GROUP_ICON, "KVTSTAR",
                                    MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), group.data(),
                                    static_cast<DWORD>(group.size())));
        ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
        WriteIconFile(IconFile(), IDI_ADDED);
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtpic"), nullptr, "kvtpicfile");
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtpicfile"), nullptr, "Kvt Pictures");
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtpicfile\\DefaultIcon"), nullptr,
                     Module() + ",0");
    }
    void TearDown() override {
        RemoveFolder();
        kvt::RegistryTest::TearDown();
    }
    void RemoveFolder() {
        DeleteFileA(Module().c_str());
        DeleteFileA(IconFile().c_str());
        RemoveDirectoryA((folder_ + "kvtsub").c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::string Module() const { return folder_ + "kvticons.dll"; }
    std::string IconFile() const { return folder_ + "kvticon.ico"; }

    std::string folder_;
};

struct Picker {
    HWND dialog = nullptr;
    HWND files = nullptr; // the folder view's list
    HWND icons = nullptr;
};

// Opens the editor on .kvtpic and the picker from "Change...".
Picker OpenPicker(User& user, HWND window, HWND* editor) {
    Picker picker;
    *editor = kvt::CustomizeFromList(user, window, ".kvtpic");
    if (!*editor)
        return picker;
    user.Click(kvt::EditorPage(*editor, IDC_GENERAL_CHANGEICON), IDC_GENERAL_CHANGEICON);
    picker.dialog = user.WaitForWindow("Browse for Icons");
    if (!picker.dialog)
        return picker;
    HWND view = FindWindowExA(picker.dialog, nullptr, "SHELLDLL_DefView", nullptr);
    picker.files = FindWindowExA(view, nullptr, WC_LISTVIEWA, nullptr);
    picker.icons = GetDlgItem(picker.dialog, IDC_PICKER_ICONS);
    return picker;
}

int FileRow(User& user, const Picker& picker, const std::string& name) {
    int row = -1;
    EXPECT_TRUE(user.WaitUntil([&] { return (row = User::ListFind(picker.files, name)) >= 0; }))
        << name << " is not shown in the folder";
    return row;
}

RECT RectIn(HWND dialog, HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) != FALSE;
}

TEST_F(IconPicker, OffersTheFolderTheFileTypesCancelAndTheIconList) {
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND editor = nullptr;
        Picker picker = OpenPicker(user, window, &editor);
        EXPECT_EQ(folder_, User::Text(window, IDC_MAIN_ICONPATH)) << "where the picker starts";
        ASSERT_NE(nullptr, picker.dialog);
        ASSERT_NE(nullptr, picker.files);
        ASSERT_NE(nullptr, picker.icons);
        for (int hidden : {IDOK, edt1, stc3})
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(picker.dialog, hidden))) << hidden;
        RECT client;
        GetClientRect(picker.dialog, &client);
        for (int shown : {cmb1, stc2, IDCANCEL, IDC_PICKER_ICONS}) {
            HWND control = GetDlgItem(picker.dialog, shown);
            EXPECT_TRUE(IsWindowVisible(control)) << shown;
            EXPECT_TRUE(Inside(RectIn(picker.dialog, control), client)) << shown << " is cut";
        }
        const RECT list = RectIn(picker.dialog, picker.icons);
        EXPECT_GE(list.left, RectIn(picker.dialog, GetParent(picker.files)).right);
        for (int other : {cmb1, stc2, IDCANCEL})
            EXPECT_FALSE(Overlap(list, RectIn(picker.dialog, GetDlgItem(picker.dialog, other))));
        // The file filter: all supported files first.
        char filter[128] = {};
        GetDlgItemTextA(picker.dialog, cmb1, filter, sizeof filter);
        EXPECT_STREQ("All Supported Files (*.ocx;*.cpl;*.dll;*.ico;*.icl;*.exe;*.scr)", filter);
        user.Click(picker.dialog, IDCANCEL);
        EXPECT_TRUE(user.WaitGone(picker.dialog));
        user.Click(editor, IDC_EDITOR_CANCEL);
        EXPECT_TRUE(user.WaitGone(editor));
        EXPECT_EQ(nullptr, user.FindMessageBoxNow()) << "cancelling the picker changes nothing";
        user.Close(window);
    });
}

TEST_F(IconPicker, AClickOnAnIconOfAModuleTakesItByIndex) {
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND editor = nullptr;
        Picker picker = OpenPicker(user, window, &editor);
        ASSERT_NE(nullptr, picker.icons);
        user.ClickListItem(picker.files, FileRow(user, picker, "kvticons.dll"));
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(picker.icons) == 7; }))
            << User::ListCount(picker.icons) << " icons";
        EXPECT_EQ((std::vector<std::string>{"KVTSTAR", "1", "2", "3", "4", "5", "6"}),
                  User::ListTexts(picker.icons));
        for (int item = 0; item < 7; ++item)
            EXPECT_EQ(item, User::ListImage(picker.icons, item));
        user.ClickListItem(picker.icons, 3);
        EXPECT_TRUE(user.WaitGone(picker.dialog)) << "taking an icon closes the picker";
        EXPECT_EQ(Module() + ",3", std::string(IconLocation));
        EXPECT_EQ("kvticons.dll", User::Text(EditorControl(editor, IDC_GENERAL_ICONFILE)));
        EXPECT_EQ(folder_, User::Text(EditorControl(editor, IDC_GENERAL_ICONPATH)));
        const LRESULT shown =
            SendMessageA(EditorControl(editor, IDC_GENERAL_LARGEICON), STM_GETICON, 0, 0);
        EXPECT_NE(0, shown);
        EXPECT_NE(SendDlgItemMessageA(window, IDC_MAIN_LARGEICON, STM_GETICON, 0, 0), shown)
            << "the page shows the new icon, the pane keeps its own";
        EXPECT_NE(0, SendMessageA(EditorControl(editor, IDC_GENERAL_SMALLICON), STM_GETICON, 0, 0));
        EXPECT_EQ(1u, Changed.Icon);
        user.Click(editor, IDC_EDITOR_SAVE);
        EXPECT_TRUE(user.WaitGone(editor));
        EXPECT_NE(0, SendDlgItemMessageA(window, IDC_MAIN_LARGEICON, STM_GETICON, 0, 0))
            << "the pane's icon survives the editor";
        user.Close(window);
    });
    EXPECT_REG_TEXT(HKEY_CURRENT_USER, Classes("kvtpicfile\\DefaultIcon"), nullptr,
                    Module() + ",3");
}

TEST_F(IconPicker, AnIconFileIsTakenByOpeningItAndOtherFilesAreRefused) {
    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND editor = nullptr;
        Picker picker = OpenPicker(user, window, &editor);
        ASSERT_NE(nullptr, picker.icons);
        user.ClickListItem(picker.files, FileRow(user, picker, "kvticons.dll"));
        ASSERT_TRUE(user.WaitUntil([&] { return User::ListCount(picker.icons) == 7; }));
        user.ClickListItem(picker.files, FileRow(user, picker, "kvtsub"));
        EXPECT_TRUE(user.WaitUntil([&] { return User::ListCount(picker.icons) == 0; }))
            << "a folder has no icons";
        user.DoubleClickListItem(picker.files, FileRow(user, picker, "kvticons.dll"));
        EXPECT_TRUE(user.WaitUntil([&] { return User::ListCount(picker.icons) == 7; }));
        // The double click is handled before the next click selects another file.
        std::atomic<bool> handled{false};
        user.RunOnDialogThread([&] { handled = true; });
        ASSERT_TRUE(user.WaitUntil([&] { return handled.load(); }));
        // The list of the icon file comes empty, after the double click was handled.
        user.ClickListItem(picker.files, FileRow(user, picker, "kvticon.ico"));
        EXPECT_TRUE(user.WaitUntil([&] { return User::ListCount(picker.icons) == 0; }));
        EXPECT_TRUE(IsWindowVisible(picker.dialog)) << "a module is not taken by opening it";
        EXPECT_EQ(0u, Changed.Icon);
        user.DoubleClickListItem(picker.files, FileRow(user, picker, "kvticon.ico"));
        EXPECT_TRUE(user.WaitGone(picker.dialog));
        EXPECT_EQ(IconFile(), std::string(IconLocation)) << "an icon file has no index";
        EXPECT_EQ("kvticon.ico", User::Text(EditorControl(editor, IDC_GENERAL_ICONFILE)));
        EXPECT_EQ(folder_, User::Text(EditorControl(editor, IDC_GENERAL_ICONPATH)));
        EXPECT_NE(0, SendMessageA(EditorControl(editor, IDC_GENERAL_LARGEICON), STM_GETICON, 0, 0));
        EXPECT_EQ(1u, Changed.Icon);
        user.Close(editor);
        EXPECT_TRUE(user.WaitGone(editor));
        user.Close(window);
    });
}

} // namespace
