// Delete and Restore in both modes: each step a right-click, the command, the
// question, its answer and what the window then selects; then the registry.
#include "harness/kvt.h"
#include "app/main_window_shared.h"
#include "resources/resource.h"

#include <algorithm>

namespace {

using kvt::User;

struct Step {
    const char* extension;
    UINT command;
    int answer;
    const char* question; // the start of the question, after the common words
    const char* selected; // what the window then shows; "": its first row; null: not checked
};

class DeleteRestore : public kvt::RegistryTest {
  protected:
    void Run(int admin, const std::vector<Step>& steps) {
        kvt::RunMainWindow(admin, [&](User& user, HWND window) {
            for (const Step& step : steps) {
                SCOPED_TRACE(step.extension);
                HWND control = kvt::ListOrTree(window, step.extension);
                user.Act(control, step.extension, 0);
                user.Act(control, step.extension, NM_RCLICK);
                user.Choose(step.command);
                std::string text;
                const std::string counts = kvt::StatusText();
                user.Answer(user.WaitForBox(&text), step.answer);
                // The counts come last: the command has ended.
                if (step.answer == IDYES) {
                    EXPECT_TRUE(user.Wait([&] { return kvt::StatusText() != counts; }));
                }
                EXPECT_EQ(step.question + std::string(step.extension) +
                              (admin ? "\r\nSome programs many not work properly." : "") +
                              "\r\nAre you sure you want to continue?",
                          text);
                HWND shown = GetDlgItem(window, admin ? IDC_ADMIN_EXTENSION : IDC_MAIN_EXTENSION);
                const auto items = User::Items(control);
                const std::string selected = step.selected && !*step.selected ? items[0]
                                             : step.selected                  ? step.selected
                                                                              : "";
                if (!selected.empty()) {
                    EXPECT_TRUE(user.Wait([&] { return User::Text(shown) == selected; }))
                        << User::Text(shown);
                    EXPECT_EQ(selected, MainWindowOf(window).CurrentExtension)
                        << "what the next command acts on";
                }
                EXPECT_EQ(step.answer == IDNO,
                          std::find(items.begin(), items.end(), step.extension) != items.end());
            }
        });
    }
};

const char kDelete[] = "You are about to delete the file extension ";
const char kRestore[] = "You are about to restore the file extension ";
const char kWarning[] = "!!!!  WARNING  !!!!\r\n\r\nYOU ARE ABOUT TO PERMENANTLY DELTE THE FILE "
                        "EXTENSION ";

TEST_F(DeleteRestore, UserMode) {
    kvt::Seed(R"(
[HKCU\Software\Classes\.kvtdel]
@="kvtdelfile"
[HKCU\Software\Classes\kvtdelfile]
[HKCU\Software\Classes\.kvtone]
@="kvtshared"
[HKCU\Software\Classes\.kvttwo\OpenWithProgIDs]
"kvtshared"=""
[HKCU\Software\Classes\kvtshared]
[HKCU\Software\Classes\.kvtbare]
[HKLM\Software\Classes\.kvtres]
@="kvtresfile"
[HKLM\Software\Classes\kvtresfile]
[HKCU\Software\Classes\.kvtres]
@="kvtresfile"
[HKCU\Software\Classes\kvtresfile\shell\Печать 文\command]
)");
    Run(0, {{".kvtdel", IDM_DELETE, IDNO, kDelete, ".kvtdel"},
            {".kvtdel", IDM_DELETE, IDYES, kDelete, nullptr},
            {".kvtone", IDM_DELETE, IDYES, kDelete, nullptr},
            {".kvtbare", IDM_DELETE, IDYES, kDelete, nullptr},
            {".kvtres", IDM_RESTORE, IDYES, kRestore, ".kvtres"}});
    EXPECT_REGISTRY(R"(
[-HKCU\Software\Classes\.kvtdel]
[-HKCU\Software\Classes\kvtdelfile]
[-HKCU\Software\Classes\.kvtone]
[HKCU\Software\Classes\kvtshared]
[-HKCU\Software\Classes\.kvtbare]
[-HKCU\Software\Classes\.kvtres]
[-HKCU\Software\Classes\kvtresfile]
[HKLM\Software\Classes\.kvtres]
[HKLM\Software\Classes\kvtresfile]
)");
}

// The admin window selects the row before the deleted one (the new first row
// when the first goes); the next Delete acts on what it selected.
TEST_F(DeleteRestore, AdminMode) {
    kvt::Seed(R"(
[HKLM\Software\Classes\.!kvtfirst]
@="kvtfirstfile"
[HKLM\Software\Classes\.kvtq1]
@="kvtshared"
[HKLM\Software\Classes\.kvtq2\OpenWithProgIDs]
"kvtshared"=""
[HKLM\Software\Classes\.kvtq3]
@="kvtq3file"
[HKLM\Software\Classes\kvtq3file]
[HKLM\Software\Classes\kvtshared]
[HKLM\Software\Classes\kvtfirstfile]
[HKCU\Software\Classes\.kvtq3]
@="kvtq3file"
)");
    Run(1, {{".kvtq3", IDM_DELETE, IDNO, kWarning, ".kvtq3"},
            {".kvtq3", IDM_DELETE, IDYES, kWarning, ".kvtq2"},
            {".kvtq2", IDM_DELETE, IDYES, kWarning, ".kvtq1"},
            {".!kvtfirst", IDM_DELETE, IDYES, kWarning, ""}});
    EXPECT_REGISTRY(R"(
[-HKLM\Software\Classes\.kvtq3]
[-HKLM\Software\Classes\kvtq3file]
[HKCU\Software\Classes\.kvtq3]
[-HKLM\Software\Classes\.kvtq2]
[HKLM\Software\Classes\kvtshared]
[HKLM\Software\Classes\.kvtq1]
[-HKLM\Software\Classes\.!kvtfirst]
[-HKLM\Software\Classes\kvtfirstfile]
)");
}

} // namespace
