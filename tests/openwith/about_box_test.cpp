// The About box (dialog 2000): its texts and fonts, that only the close box
// ends it, and that its links reach the shell with the right targets.
#include "app/about_box.h"

#include "records/app_state.h"
#include "harness/dialog_driver.h"
#include "harness/link_control.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using kvt::User;

constexpr char kCaption[] = "About KVEL";
// Where the recorder standing in for the browser and the mail program writes
// the target it was started with: one value per protocol class.
constexpr char kRecordKey[] = "Software\\Classes\\kvtlinks";

LOGFONTA FontOf(HWND control) {
    LOGFONTA font = {};
    auto handle = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    GetObjectA(handle, sizeof font, &font);
    return font;
}

// Whether the control's text, drawn in its own font, fits its width.
bool TextFits(HWND control, const std::string& text) {
    HDC dc = GetDC(control);
    auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT client = {};
    GetClientRect(control, &client);
    return size.cx <= client.right && size.cy <= client.bottom;
}

void RunAbout(const std::function<void(User&, HWND)>& script) {
    AppState.MainWindow = nullptr;
    kvt::RunDialog(RunAboutBox, [&](User& user) {
        HWND dialog = user.WaitForWindow(kCaption);
        ASSERT_NE(nullptr, dialog);
        script(user, dialog);
    });
}

TEST(AboutBox, ShowsProductVersionAndDescriptionUncut) {
    RunAbout([](User& user, HWND dialog) {
        EXPECT_EQ("Orvell File Type Editor", User::Text(dialog, IDC_ABOUT_TITLE));
        EXPECT_EQ("Version:", User::Text(dialog, IDC_ABOUT_VERSION_LABEL));
        EXPECT_EQ("3.1.4.8", User::Text(dialog, IDC_ABOUT_VERSION));
        EXPECT_EQ("Create and modify various properties for file extensions",
                  User::Text(dialog, IDC_ABOUT_DESCRIPTION));
        EXPECT_EQ(SS_CENTER, GetWindowLongA(GetDlgItem(dialog, IDC_ABOUT_DESCRIPTION), GWL_STYLE) &
                                 SS_TYPEMASK);

        const LOGFONTA title = FontOf(GetDlgItem(dialog, IDC_ABOUT_TITLE));
        EXPECT_EQ(-16, title.lfHeight);
        EXPECT_EQ(FW_BOLD, title.lfWeight);
        EXPECT_STREQ("MS Sans Serif", title.lfFaceName);
        EXPECT_NE(FW_BOLD, FontOf(GetDlgItem(dialog, IDC_ABOUT_DESCRIPTION)).lfWeight);

        for (int id :
             {IDC_ABOUT_TITLE, IDC_ABOUT_VERSION_LABEL, IDC_ABOUT_VERSION, IDC_ABOUT_DESCRIPTION})
            EXPECT_TRUE(TextFits(GetDlgItem(dialog, id), User::Text(dialog, id)))
                << "text of " << id << " is cut";
        EXPECT_TRUE(TextFits(GetDlgItem(dialog, IDC_ABOUT_HOMEPAGE), "Homepage"));
        EXPECT_TRUE(TextFits(GetDlgItem(dialog, IDC_ABOUT_CONTACT), "kvel@example.org"));
        user.Close(dialog);
    });
}

TEST(AboutBox, OnlyTheCloseBoxEndsItAndTheTitleFontGoesWithIt) {
    HFONT titleFont = nullptr;
    RunAbout([&](User& user, HWND dialog) {
        titleFont = reinterpret_cast<HFONT>(
            SendMessageA(GetDlgItem(dialog, IDC_ABOUT_TITLE), WM_GETFONT, 0, 0));
        EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(titleFont));
        // What Escape and Enter turn into reaches the dialog and ends nothing.
        for (int command : {IDCANCEL, IDOK})
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        EXPECT_TRUE(IsWindowVisible(dialog));
        user.Close(dialog);
        EXPECT_TRUE(user.WaitGone(dialog));
    });
    EXPECT_EQ(0u, GetObjectType(titleFont)) << "the title font was not deleted";
}

// Points the open commands of the protocol classes at a recorder (reg.exe
// writing its argument below kRecordKey) and restores them afterwards, so no
// browser or mail program starts.
class AboutBoxLinks : public kvt::RegistryTest {
  protected:
    void SetUp() override {
        kvt::RegistryTest::SetUp();
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, sizeof system);
        for (const char* protocol : {"https", "mailto"}) {
            const std::string path = CommandPath(protocol);
            saved_.push_back({path, kvt::ReadValue(HKEY_LOCAL_MACHINE, path, nullptr)});
            kvt::SetText(HKEY_LOCAL_MACHINE, path, nullptr,
                         "\"" + std::string(system) + "\\reg.exe\" add HKCU\\" + kRecordKey +
                             " /v " + protocol + " /d \"%1\" /f");
        }
    }
    void TearDown() override {
        for (const Saved& saved : saved_) {
            if (saved.value.exists)
                kvt::SetBytes(HKEY_LOCAL_MACHINE, saved.path, nullptr, saved.value.type,
                              saved.value.data);
            else
                kvt::DeleteKey(HKEY_LOCAL_MACHINE, saved.path);
        }
        kvt::RegistryTest::TearDown();
    }

    static std::string CommandPath(const std::string& protocol) {
        return kvt::Classes(protocol + "\\shell\\open\\command");
    }
    // The target the shell started the recorder with for this protocol.
    static std::string Recorded(User& user, const char* protocol) {
        kvt::Value value;
        user.WaitUntil([&] {
            value = kvt::ReadValue(HKEY_CURRENT_USER, kRecordKey, protocol);
            return value.exists;
        });
        return value.exists ? value.Text() : "<nothing started for " + std::string(protocol) + ">";
    }

    struct Saved {
        std::string path;
        kvt::Value value;
    };
    std::vector<Saved> saved_;
};

TEST_F(AboutBoxLinks, ClickAndEnterOpenTheHomePageAndTheMailAddress) {
    RunAbout([](User& user, HWND dialog) {
        HWND homePage = GetDlgItem(dialog, IDC_ABOUT_HOMEPAGE);
        HWND contact = GetDlgItem(dialog, IDC_ABOUT_CONTACT);
        EXPECT_NE(std::string::npos, User::Text(contact).find("kvel@example.org"));

        // Escape first: the click after it is handled only if the box is
        // still open.
        user.PressKey(VK_ESCAPE, homePage);
        ASSERT_TRUE(kvt::ClickLink(homePage));
        EXPECT_EQ("https://kvel.example.org/", Recorded(user, "https"));
        EXPECT_TRUE(IsWindowVisible(dialog));

        user.FocusControl(contact);
        user.PressKey(VK_RETURN, contact);
        EXPECT_EQ("mailto:kvel@example.org", Recorded(user, "mailto"));
        user.Close(dialog);
        user.WaitGone(dialog);
    });
}

} // namespace
