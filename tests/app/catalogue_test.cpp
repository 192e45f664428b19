// The catalogue of the user-mode main window on registries larger than one
// part of the load, and names whose order or case the locale treats apart
// from the ordinal rule.
#include "harness/main_window.h"
#include "harness/registry_fixture.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

using kvt::Classes;
using kvt::User;

class Catalogue : public kvt::RegistryTest {};

bool IsTestName(const std::string& name) {
    return _strnicmp(name.c_str(), ".kvt", 4) == 0;
}

std::vector<std::string> TestNames(const std::vector<std::string>& names) {
    std::vector<std::string> kept;
    std::copy_if(names.begin(), names.end(), std::back_inserter(kept), IsTestName);
    return kept;
}

std::vector<std::string> Sorted(std::set<std::string> names) {
    std::vector<std::string> sorted(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    return sorted;
}

// The first pair of neighbours out of ascending order, or "" when none is.
std::string FirstDisorder(const std::vector<std::string>& names) {
    for (size_t i = 1; i < names.size(); ++i)
        if (lstrcmpiA(names[i - 1].c_str(), names[i].c_str()) > 0)
            return names[i - 1] + " before " + names[i];
    return "";
}

TEST_F(Catalogue, ManyExtensionsLandOnceEachInTheirGroupsInAscendingOrder) {
    // More machine names than one part of the load holds, with punctuation
    // that the locale sorts apart from the ordinal rule.
    std::set<std::string> system, customized, defined;
    for (int i = 0; i < 1300; ++i) {
        char name[16];
        snprintf(name, sizeof name, ".kvtm%04d", i);
        kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(name));
        if (i % 50 == 7) {
            kvt::CreateKey(HKEY_CURRENT_USER, Classes(name));
            customized.insert(name);
        } else {
            system.insert(name);
        }
    }
    for (const char* name : {".kvt-dash", ".kvt_under", ".kvt~tilde", ".kvtZ", ".kvt.dot"}) {
        kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(name));
        system.insert(name);
    }
    for (const char* name : {".kvt-mine", ".kvtu1", ".kvtu_2", ".kvtU3"}) {
        kvt::CreateKey(HKEY_CURRENT_USER, Classes(name));
        defined.insert(name);
    }
    kvt::CreateKey(HKEY_CURRENT_USER, Classes(".kvt_both"));
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvt_both"));
    customized.insert(".kvt_both");

    kvt::RunMainWindow(0, [&](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        const std::vector<std::string> listed = User::ListTexts(list);
        EXPECT_EQ("", FirstDisorder(listed)) << "the list is in ascending order";
        EXPECT_EQ(Sorted(system), TestNames(listed));

        HTREEITEM customizedRoot = User::TreeNext(tree, TVGN_ROOT, nullptr);
        HTREEITEM definedRoot = User::TreeNext(tree, TVGN_NEXT, customizedRoot);
        const std::vector<std::string> customizedShown = User::TreeChildren(tree, customizedRoot);
        const std::vector<std::string> definedShown = User::TreeChildren(tree, definedRoot);
        EXPECT_EQ(Sorted(customized), TestNames(customizedShown));
        EXPECT_EQ(Sorted(defined), TestNames(definedShown));
        EXPECT_EQ("", FirstDisorder(customizedShown));
        EXPECT_EQ("", FirstDisorder(definedShown));

        EXPECT_EQ(std::to_string(listed.size() + customizedShown.size() + definedShown.size()) +
                      " Registered file extensions - User Customized=" +
                      std::to_string(customizedShown.size()) +
                      "  User Defined=" + std::to_string(definedShown.size()),
                  kvt::StatusText());

        EXPECT_EQ(0, User::ListSelected(list)) << "the first entry is selected";
        EXPECT_EQ(listed.front(), User::Text(window, IDC_MAIN_EXTENSION));

        // The column is sized once the list knows its scroll bar: it fills
        // the list without a horizontal one.
        EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
        RECT client;
        GetClientRect(list, &client);
        EXPECT_EQ(client.right, SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
        user.Close(window);
    });
}

TEST_F(Catalogue, NameThatDiffersOnlyInTheCaseOfAnAccentedLetterIsOneExtension) {
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvt\xC4"));
    kvt::CreateKey(HKEY_CURRENT_USER, Classes(".kvt\xE4"));
    ASSERT_TRUE(kvt::KeyExists(HKEY_CURRENT_USER, Classes(".kvt\xC4")))
        << "the registry compares these names without regard to case";
    kvt::RunMainWindow(0, [](User& user, HWND window) {
        HWND list = GetDlgItem(window, IDC_MAIN_LIST);
        HWND tree = GetDlgItem(window, IDC_MAIN_TREE);
        HTREEITEM customizedRoot = User::TreeNext(tree, TVGN_ROOT, nullptr);
        HTREEITEM definedRoot = User::TreeNext(tree, TVGN_NEXT, customizedRoot);
        EXPECT_EQ((std::vector<std::string>{".kvt\xC4"}),
                  TestNames(User::TreeChildren(tree, customizedRoot)));
        EXPECT_TRUE(TestNames(User::ListTexts(list)).empty());
        EXPECT_TRUE(TestNames(User::TreeChildren(tree, definedRoot)).empty());
        user.Close(window);
    });
}

} // namespace
