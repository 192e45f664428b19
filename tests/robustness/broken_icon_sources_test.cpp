// The platform's icon answers on files that are there but broken: a program
// cut short and an icon file whose image lies past its end. The system's own
// icon readers fault on such files under Wine; outside a window procedure,
// where nothing hides the fault, these calls must come back with no icon or
// the generic one.
#include "details/command_rules.h"
#include "details/pane.h"
#include "details/readers.h"
#include "records/extension_record.h"
#include "harness/registry_fixture.h"
#include "platform/shell.h"
#include "text/text.h"
#include "robustness/robust_kit.h"

#include <gtest/gtest.h>

namespace {

using kvt::Classes;

class BrokenIconSources : public kvt::RegistryTest {};

TEST_F(BrokenIconSources, ShellAnswersComeBackWithoutReadingThem) {
    const kvr::HostileFiles& files = kvr::Files();
    for (const std::string& location :
         {files.truncated + ",0", files.truncated + ",-1", files.badIcon, files.badIcon + ",0"}) {
        SCOPED_TRACE(location);
        EXPECT_EQ(nullptr, ShellLoadIconLocation(location.c_str(), 32));
        EXPECT_EQ(nullptr, ShellLoadIconLocation(location.c_str(), 16));
        // The same location as a class's icon, asked for in every way the
        // program asks, several times over: the system's icon cache keeps
        // what it read once.
        kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtbroken", "kvtbrokenfile", "Broken", "");
        kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtbrokenfile\\DefaultIcon"), nullptr, location);
        for (int round = 0; round < 3; ++round) {
            for (UINT flags :
                 {SHGFI_ICON | SHGFI_USEFILEATTRIBUTES,
                  SHGFI_ICON | SHGFI_SMALLICON | SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES,
                  SHGFI_ICON | SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES,
                  SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES}) {
                SHFILEINFOA info = {};
                EXPECT_NE(0u, ShellGetFileInfo(".kvtbroken", 0, &info, flags));
                if (flags & SHGFI_ICON) {
                    EXPECT_NE(nullptr, info.hIcon) << "the generic icon stands in";
                    DestroyIcon(info.hIcon);
                }
            }
        }
        // The details pane reads the same, with its own readers.
        CopyTextBounded(".kvtbroken", CurrentExtension, kNameSize);
        ShowDetails();
    }
    // A broken program named as a file of its own, as the Open With editor
    // asks for a program the user picked.
    SHFILEINFOA info = {};
    EXPECT_NE(0u, ShellGetFileInfo(files.truncated.c_str(), 0, &info, SHGFI_SYSICONINDEX));
    EXPECT_NE(0u, ShellGetFileInfo(files.module.c_str(), 0, &info, SHGFI_SYSICONINDEX))
        << "a whole program is still asked about";
}

} // namespace
