// The Opens-with page in admin mode: the DDE settings come from the machine's
// classes, and there is no Recently Used list.
#include "open_page_driver.h"

#include "records/editor_state.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

using kvt::Classes;
using kvt::User;

class MachineDde : public kvt::RegistryTest {};

std::vector<std::string> DdeTexts(HWND page) {
    return {User::Text(page, IDC_OPENSWITH_DDEAPP), User::Text(page, IDC_OPENSWITH_DDETOPIC),
            User::Text(page, IDC_OPENSWITH_DDECOMMAND)};
}

void SeedDde(HKEY hive, const std::string& fileClass, const std::string& command,
             const std::string& application, const std::string& topic) {
    const std::string dde = Classes(fileClass + "\\shell\\Open\\ddeexec");
    kvt::SetText(hive, dde, nullptr, command);
    if (!application.empty())
        kvt::SetText(hive, dde + "\\Application", nullptr, application);
    if (!topic.empty())
        kvt::SetText(hive, dde + "\\Topic", nullptr, topic);
}

kvt::PageSetup AdminSetup(const std::string& extension) {
    kvt::PageSetup setup;
    setup.admin = true;
    setup.hasDde = true;
    setup.extension = extension;
    return setup;
}

TEST_F(MachineDde, ReadsTheMachinesClassNotTheUsers) {
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtdde"), nullptr, "kvtddefile");
    SeedDde(HKEY_LOCAL_MACHINE, "kvtddefile", "[open(\"%1\")]", "KvtApp", "KvtTopic");
    SeedDde(HKEY_CURRENT_USER, "kvtddefile", "[user(\"%1\")]", "UserApp", "UserTopic");
    kvt::RunOpensWithPage(AdminSetup(".kvtdde"), [](User&, HWND page) {
        EXPECT_EQ((std::vector<std::string>{"KvtApp", "KvtTopic", "[open(\"%1\")]"}),
                  DdeTexts(page));
        for (int id : {IDC_OPENSWITH_DDEAPP, IDC_OPENSWITH_DDETOPIC, IDC_OPENSWITH_DDECOMMAND})
            EXPECT_EQ(0, SendDlgItemMessageA(page, id, EM_GETMODIFY, 0, 0)) << id;
        HWND list = GetDlgItem(page, IDC_OPENSWITH_RECENTLIST);
        EXPECT_EQ((std::vector<std::string>{"Not available in Admin Mode"}), User::ListTexts(list));
        EXPECT_FALSE(IsWindowEnabled(list));
    });
}

TEST_F(MachineDde, EmptiesWhatTheMachineDoesNotHold) {
    // Class from OpenWithProgIDs; no Application and no Topic key.
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes(".kvtprog\\OpenWithProgIDs"), "kvtprogfile", "");
    SeedDde(HKEY_LOCAL_MACHINE, "kvtprogfile", "[print]", "", "");
    kvt::RunOpensWithPage(AdminSetup(".kvtprog"), [](User&, HWND page) {
        EXPECT_EQ((std::vector<std::string>{"", "", "[print]"}), DdeTexts(page));
    });
    // No class at all, even where the user's hive has one.
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtnone"));
    kvt::SetText(HKEY_CURRENT_USER, Classes(".kvtnone"), nullptr, "kvtnonefile");
    SeedDde(HKEY_CURRENT_USER, "kvtnonefile", "[user]", "UserApp", "UserTopic");
    kvt::RunOpensWithPage(AdminSetup(".kvtnone"), [](User&, HWND page) {
        EXPECT_EQ((std::vector<std::string>{"", "", ""}), DdeTexts(page));
    });
}

} // namespace
