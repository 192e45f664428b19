// The main windows open the Open-With program editor and the About box from
// their context menus, as dialogs owned by the main window.
#include "records/app_state.h"
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

using kvt::User;

class MainWindowCommands : public kvt::RegistryTest, public ::testing::WithParamInterface<int> {
  protected:
    // The other tests run the dialogs without a main window.
    void TearDown() override {
        AppState.AdminMode = 0;
        AppState.MainWindow = nullptr;
        kvt::RegistryTest::TearDown();
    }
};

TEST_P(MainWindowCommands, OpenWithEditorAndAboutOpenOwnedByTheMainWindow) {
    kvt::RunMainWindow(GetParam(), [](User& user, HWND window) {
        HWND list = AppState.ExtensionList;
        ASSERT_GT(User::ListCount(list), 0);
        const struct {
            UINT command;
            const char* caption;
        } commands[] = {{IDM_OPENWITHEDITOR, "Modify Open With Programs"},
                        {IDM_ABOUT, "About KVEL"}};
        for (const auto& entry : commands) {
            user.RightClickListItem(list, 0);
            user.ChooseMenuCommand(entry.command);
            HWND dialog = user.WaitForWindow(entry.caption);
            ASSERT_NE(nullptr, dialog) << entry.caption;
            EXPECT_EQ(window, GetWindow(dialog, GW_OWNER)) << entry.caption;
            EXPECT_FALSE(IsWindowEnabled(window)) << entry.caption << " is not modal";
            user.Close(dialog);
            ASSERT_TRUE(user.WaitGone(dialog));
            ASSERT_TRUE(user.WaitUntil([&] { return IsWindowEnabled(window) != FALSE; }));
        }
        user.Close(window);
    });
}

INSTANTIATE_TEST_SUITE_P(BothModes, MainWindowCommands, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param ? std::string("Admin") : std::string("User");
                         });

} // namespace
