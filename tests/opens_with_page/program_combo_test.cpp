// The program combo of the Opens-with page: which registered applications it
// offers and in what order, and what choosing one puts into the page.
#include "open_page_driver.h"

#include "records/app_state.h"
#include "records/editor_state.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

using kvt::User;

class ProgramCombo : public kvt::RegistryTest {};

std::string Expanded(const char* text) {
    char buffer[MAX_PATH] = {};
    ExpandEnvironmentStringsA(text, buffer, sizeof buffer);
    return buffer;
}

bool IconAlive(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

HICON ShownIcon(HWND page) {
    return reinterpret_cast<HICON>(
        SendDlgItemMessageA(page, IDC_OPENSWITH_PROGRAMICON, STM_GETICON, 0, 0));
}

TEST_F(ProgramCombo, OffersNamedApplicationsInReverseOrderWithEditOnlyOnes) {
    kvt::SeedApplication(HKEY_LOCAL_MACHINE, "kvta.exe", "Kvt Alpha",
                         "\"C:\\kvt\\kvta.exe\" \"%1\"");
    kvt::SeedApplication(HKEY_CURRENT_USER, "kvtb.exe", "Kvt Beta", "C:\\kvt\\kvtb.exe %1", "edit");
    kvt::SeedApplication(HKEY_CURRENT_USER, "kvtc.exe", "Kvt Gamma", "kvtc.exe %1");
    kvt::SeedApplication(HKEY_CURRENT_USER, "kvtnameless.exe", "", "C:\\kvt\\kvtnameless.exe");
    kvt::CreateKey(HKEY_CURRENT_USER, kvt::Classes("Applications\\kvtnocommand.exe"));
    kvt::SetText(HKEY_CURRENT_USER, kvt::Classes("Applications\\kvtnocommand.exe"),
                 "FriendlyAppName", "Kvt No Command");
    // A command key without a readable command still names its program.
    kvt::Seed(R"(
[HKCU\Software\Classes\Applications\kvtemptycmd.exe]
"FriendlyAppName"="Kvt Empty Command"
[HKCU\Software\Classes\Applications\kvtemptycmd.exe\shell\open\command]
)");
    kvt::PageSetup setup;
    setup.create = true;
    HFONT heading = nullptr;
    kvt::RunOpensWithPage(setup, [&](User&, HWND page) {
        heading = reinterpret_cast<HFONT>(
            SendDlgItemMessageA(page, IDC_OPENSWITH_HEADER, WM_GETFONT, 0, 0));
        LOGFONTA face = {};
        ASSERT_TRUE(GetObjectA(heading, sizeof face, &face));
        EXPECT_EQ(FW_BOLD, face.lfWeight);
        HWND combo = GetDlgItem(page, IDC_OPENSWITH_PROGRAMCOMBO);
        EXPECT_EQ(
            (std::vector<std::string>{"Kvt Empty Command (kvtemptycmd.exe)", "Kvt Gamma (kvtc.exe)",
                                      "Kvt Beta (kvtb.exe)", "Kvt Alpha (kvta.exe)"}),
            kvt::TestPrograms(combo));
        // Create mode: nothing chosen, nothing shown.
        EXPECT_EQ(CB_ERR, SendMessageA(combo, CB_GETCURSEL, 0, 0));
        for (int id : {IDC_OPENSWITH_OPENSWITH, IDC_OPENSWITH_PROGRAMFILE,
                       IDC_OPENSWITH_PROGRAMPATH, IDC_OPENSWITH_ARGS})
            EXPECT_EQ("", User::Text(page, id)) << id;
        EXPECT_EQ(nullptr, ShownIcon(page));
    });
    EXPECT_EQ(0u, GetObjectType(heading)) << "the heading font outlives the page";
}

TEST_F(ProgramCombo, ChoiceShowsTheProgramAndItsOwnArgumentsUnexpanded) {
    // The folder in its short form, behind a variable: "Path:" shows it
    // expanded and long.
    const std::string folder = Expanded("%ProgramFiles%\\");
    char shortForm[MAX_PATH] = {};
    GetShortPathNameA(folder.c_str(), shortForm, sizeof shortForm);
    ASSERT_NE(folder, shortForm) << "the folder needs a short form of its own";
    kvt::SeedApplication(HKEY_CURRENT_USER, "kvtview.exe", "Kvt Viewer",
                         "\"%SystemDrive%" + std::string(shortForm + 2) +
                             "kvtview.exe\" \"%1\" /log=%TEMP%");
    kvt::SeedApplication(HKEY_LOCAL_MACHINE, "kvtedit.exe", "Kvt Editor",
                         "\"C:\\kvt\\kvtedit.exe\" \"%1\"", "edit");
    HICON paneIcon = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
    kvt::PageSetup setup;
    setup.opensWith = "Old Program";
    setup.programFile = "old.exe";
    setup.programPath = "C:\\Old\\";
    setup.args = "/old";
    setup.paneIcon = paneIcon;
    Changed.Program = 1;
    kvt::RunOpensWithPage(setup, [&](User& user, HWND page) {
        EXPECT_EQ(0u, Changed.Program) << "the page starts with nothing changed";
        EXPECT_EQ("Old Program", User::Text(page, IDC_OPENSWITH_OPENSWITH));
        EXPECT_EQ(paneIcon, ShownIcon(page));
        HWND combo = GetDlgItem(page, IDC_OPENSWITH_PROGRAMCOMBO);
        const int viewer = kvt::ComboIndexOf(combo, "kvtview.exe");
        ASSERT_GE(viewer, 0);

        user.SelectCombo(page, IDC_OPENSWITH_PROGRAMCOMBO, viewer);
        ASSERT_TRUE(user.WaitUntil([] { return Changed.Program == 1; }));
        EXPECT_EQ("Kvt Viewer", User::Text(page, IDC_OPENSWITH_OPENSWITH));
        EXPECT_EQ("kvtview.exe", User::Text(page, IDC_OPENSWITH_PROGRAMFILE));
        EXPECT_EQ(folder, User::Text(page, IDC_OPENSWITH_PROGRAMPATH));
        EXPECT_EQ("\"%1\" /log=%TEMP%", User::Text(page, IDC_OPENSWITH_ARGS));
        EXPECT_EQ(0, SendDlgItemMessageA(page, IDC_OPENSWITH_ARGS, EM_GETMODIFY, 0, 0))
            << "only typing counts as a change of the arguments";
        HICON first = ShownIcon(page);
        EXPECT_NE(nullptr, first);
        EXPECT_NE(paneIcon, first);
        EXPECT_TRUE(IconAlive(paneIcon)) << "the pane's icon stays with the pane";

        // The same program again is a change again; the page's own icon goes.
        Changed.Program = 0;
        user.SelectCombo(page, IDC_OPENSWITH_PROGRAMCOMBO, viewer);
        ASSERT_TRUE(user.WaitUntil([] { return Changed.Program == 1; }));
        EXPECT_NE(first, ShownIcon(page));
        EXPECT_FALSE(IconAlive(first)) << "a replaced icon of the page is destroyed";

        // Only the open command tells the location.
        Changed.Program = 0;
        user.SelectCombo(page, IDC_OPENSWITH_PROGRAMCOMBO, kvt::ComboIndexOf(combo, "kvtedit.exe"));
        ASSERT_TRUE(user.WaitUntil([] { return Changed.Program == 1; }));
        EXPECT_EQ("Kvt Editor", User::Text(page, IDC_OPENSWITH_OPENSWITH));
        EXPECT_EQ("kvtedit.exe", User::Text(page, IDC_OPENSWITH_PROGRAMFILE));
        EXPECT_EQ("", User::Text(page, IDC_OPENSWITH_PROGRAMPATH));
        EXPECT_EQ("", User::Text(page, IDC_OPENSWITH_ARGS));
    });
    EXPECT_TRUE(IconAlive(paneIcon)) << "closing the editor leaves the pane's icon alone";
    DestroyIcon(paneIcon);
}

} // namespace
