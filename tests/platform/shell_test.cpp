// The shell services of platform/shell.h that the details pane relies on:
// file information from the merged view, the read scope of its association
// answers, and programs' descriptions when their files change.
#include "platform/shell.h"

#include "records/app_state.h"
#include "harness/icon_bits.h"
#include "harness/registry_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kvt::Classes;
using kvt::FileIconBits;
using kvt::IconBits;
using kvt::TestIcon;

class Shell : public kvt::RegistryTest {};

struct FileInfo {
    DWORD_PTR result = 0;
    std::string typeName;
    std::vector<BYTE> icon;
    int index = -1;
};

FileInfo Ask(const char* path, UINT flags) {
    SHFILEINFOA info = {};
    info.iIcon = -1;
    FileInfo answer;
    answer.result = ShellGetFileInfo(path, 0, &info, flags | SHGFI_USEFILEATTRIBUTES);
    answer.typeName = info.szTypeName;
    answer.icon = IconBits(info.hIcon);
    answer.index = info.iIcon;
    if (info.hIcon)
        DestroyIcon(info.hIcon);
    return answer;
}

TEST_F(Shell, FileInformationComesFromTheViewWithTheSystemIndexOnlyWhenAskedFor) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtdoc", "kvtdocfile", "Kvt document", "");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtdocfile\\DefaultIcon"), nullptr,
                 TestIcon("user.ico"));
    const std::vector<BYTE> expected =
        FileIconBits(TestIcon("user.ico"), GetSystemMetrics(SM_CXICON));
    ASSERT_FALSE(expected.empty());

    FileInfo plain = Ask(".kvtdoc", SHGFI_ICON | SHGFI_TYPENAME);
    EXPECT_EQ(1u, plain.result);
    EXPECT_EQ("Kvt document", plain.typeName);
    EXPECT_EQ(expected, plain.icon) << "the user's DefaultIcon of the class";

    SHFILEINFOA shell = {};
    const DWORD_PTR imageList = SHGetFileInfoA(".kvtdoc", 0, &shell, sizeof shell,
                                               SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES);
    FileInfo indexed = Ask(".kvtdoc", SHGFI_ICON | SHGFI_SYSICONINDEX);
    EXPECT_EQ(imageList, indexed.result) << "the system image list";
    EXPECT_EQ(shell.iIcon, indexed.index);
    EXPECT_EQ(expected, indexed.icon);

    // Without a DefaultIcon of its own, or without a class, the type still has
    // an icon, and a name made of the extension.
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtplain", "kvtplainfile", "", "");
    FileInfo noIcon = Ask(".kvtplain", SHGFI_ICON | SHGFI_TYPENAME);
    EXPECT_FALSE(noIcon.icon.empty());
    EXPECT_EQ("KVTPLAIN File", noIcon.typeName);
    FileInfo perFile = Ask(".kvtnone", SHGFI_ICON | SHGFI_SMALLICON | SHGFI_TYPENAME);
    EXPECT_FALSE(perFile.icon.empty());
    EXPECT_EQ("KVTNONE File", perFile.typeName);
}

TEST_F(Shell, LocationWithAVariableLoadsAndOneThatStaysAVariableDoesNot) {
    SetEnvironmentVariableA("KVTICONS", (std::string(AppState.AppDirectory) + "testdata").c_str());
    HICON icon = ShellLoadIconLocation("%KVTICONS%\\icons\\user.ico", 32);
    EXPECT_EQ(FileIconBits(TestIcon("user.ico"), GetSystemMetrics(SM_CXICON)), IconBits(icon));
    DestroyIcon(icon);
    EXPECT_EQ(nullptr, ShellLoadIconLocation("%1", 32));
    EXPECT_EQ(nullptr, ShellLoadIconLocation("%KVTUNSET%\\user.ico", 32));
    SetEnvironmentVariableA("KVTICONS", nullptr);
}

std::string Query(ASSOCSTR kind, const char* extension, const char* verb = nullptr) {
    char answer[261] = {};
    DWORD length = sizeof answer;
    HRESULT result = ShellAssocQuery(ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_INIT_DEFAULTTOSTAR, kind,
                                     extension, verb, answer, &length);
    return SUCCEEDED(result) ? answer : "<failed>";
}

std::vector<std::string> Answers() {
    std::vector<std::string> answers;
    for (const char* extension : {".kvtfull", ".kvtdde", ".kvtbare", ".kvtnone"}) {
        for (ASSOCSTR kind : {ASSOCSTR_FRIENDLYAPPNAME, ASSOCSTR_EXECUTABLE, ASSOCSTR_DDECOMMAND,
                              ASSOCSTR_DDETOPIC, ASSOCSTR_DEFAULTICON})
            answers.push_back(Query(kind, extension));
        answers.push_back(Query(ASSOCSTR_COMMAND, extension, "Open"));
        answers.push_back(Query(ASSOCSTR_COMMAND, extension, "print"));
    }
    return answers;
}

TEST_F(Shell, AnswersInAReadScopeAreTheAnswersOutsideAndEndWithIt) {
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtfull", "kvtfullfile", "Full",
                       "\"C:\\Tools\\kvtview.exe\" \"%1\"");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtfullfile\\shell\\print\\command"), nullptr,
                 "\"C:\\Tools\\kvtprint.exe\" /p \"%1\"");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtfullfile\\DefaultIcon"), nullptr,
                 "C:\\Tools\\kvtview.exe,2");
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("Applications\\kvtview.exe"), "FriendlyAppName",
                 "Kvt Viewer");
    kvt::SeedExtension(HKEY_CURRENT_USER, ".kvtdde", "kvtddefile", "Dde", "kvtdde.exe %1");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtddefile\\shell"), nullptr, "Go");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtddefile\\shell\\Go\\command"), nullptr,
                 "C:\\Tools\\kvtgo.exe \"%1\"");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtddefile\\shell\\Go\\ddeexec"), nullptr,
                 "[open(\"%1\")]");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtddefile\\shell\\Go\\ddeexec\\Topic"), nullptr,
                 "KvtTopic");
    kvt::CreateKey(HKEY_LOCAL_MACHINE, Classes(".kvtbare"));

    const std::vector<std::string> outside = Answers();
    ASSERT_EQ("Kvt Viewer", outside[0]);
    {
        ShellReadScope scope;
        EXPECT_EQ(outside, Answers());
        {
            ShellReadScope nested;
            EXPECT_EQ(outside, Answers());
        }
        EXPECT_EQ(outside, Answers());
    }
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("Applications\\kvtview.exe"), "FriendlyAppName",
                 "Kvt Viewer 2");
    kvt::SetText(HKEY_CURRENT_USER, Classes("kvtddefile\\shell"), nullptr, "");
    ShellReadScope next;
    EXPECT_EQ("Kvt Viewer 2", Query(ASSOCSTR_FRIENDLYAPPNAME, ".kvtfull"))
        << "what a scope read ends with it";
    EXPECT_EQ("kvtdde.exe %1", Query(ASSOCSTR_COMMAND, ".kvtdde"));
}

// A scope may keep what it read, never hand out an icon of another size or
// image than the same question gets outside it.
TEST_F(Shell, IconsInAReadScopeAreTheIconsOutside) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    const int large = GetSystemMetrics(SM_CXICON);
    const int small = GetSystemMetrics(SM_CXSMICON);
    for (const char* index : {",0", ",1", ",-3"}) {
        const std::string location = std::string(self) + index;
        SCOPED_TRACE(location);
        auto bitsAt = [&](int size) {
            HICON icon = ShellLoadIconLocation(location.c_str(), size);
            std::vector<BYTE> bits = IconBits(icon);
            if (icon)
                DestroyIcon(icon);
            return bits;
        };
        const std::vector<BYTE> largeBits = bitsAt(large);
        const std::vector<BYTE> smallBits = bitsAt(small);
        ASSERT_EQ(static_cast<size_t>(large * large * 4), largeBits.size());
        ASSERT_EQ(static_cast<size_t>(small * small * 4), smallBits.size());
        {
            ShellReadScope scope;
            EXPECT_EQ(largeBits, bitsAt(large));
            EXPECT_EQ(smallBits, bitsAt(small));
            EXPECT_EQ(largeBits, bitsAt(large)) << "asked again in the same scope";
        }
        {
            ShellReadScope scope;
            EXPECT_EQ(smallBits, bitsAt(small)) << "the small size asked first";
            EXPECT_EQ(largeBits, bitsAt(large));
        }
    }
    for (const char* index : {",99", ",-999", ",-70001"}) {
        const std::string location = std::string(self) + index;
        SCOPED_TRACE(location);
        EXPECT_EQ(nullptr, ShellLoadIconLocation(location.c_str(), large));
        ShellReadScope scope;
        EXPECT_EQ(nullptr, ShellLoadIconLocation(location.c_str(), large));
        EXPECT_EQ(nullptr, ShellLoadIconLocation(location.c_str(), small));
    }
}

TEST_F(Shell, ProgramDescriptionFollowsItsFile) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "kvtprogram";
    const std::string program = folder + "\\kvtview.exe";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\winver.exe", program.c_str(), FALSE));
    kvt::SeedExtension(HKEY_LOCAL_MACHINE, ".kvtver", "kvtverfile", "Versioned",
                       "\"" + program + "\" \"%1\"");
    EXPECT_EQ("Windows Version", Query(ASSOCSTR_FRIENDLYAPPNAME, ".kvtver"));
    EXPECT_EQ("Windows Version", Query(ASSOCSTR_FRIENDLYAPPNAME, ".kvtver"));

    ASSERT_TRUE(CopyFileA("C:\\windows\\explorer.exe", program.c_str(), FALSE));
    EXPECT_EQ("Wine Explorer", Query(ASSOCSTR_FRIENDLYAPPNAME, ".kvtver"))
        << "another file at the same place";
    DeleteFileA(program.c_str());
    EXPECT_EQ("<failed>", Query(ASSOCSTR_FRIENDLYAPPNAME, ".kvtver")) << "and none at all";
    RemoveDirectoryA(folder.c_str());
}

} // namespace
