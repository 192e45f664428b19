// The text routines, including command lines of any length.
#include "text/system_text.h"
#include "text/text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

struct ArgCase {
    const char* label;
    std::string commandLine;
    int n;
    int result;
    std::string argument; // ignored when the destination is not written
};

void PrintTo(const ArgCase& c, std::ostream* out) {
    *out << c.label;
}

class CommandArgument : public ::testing::TestWithParam<ArgCase> {};

TEST_P(CommandArgument, SplitsAsTheRulesSay) {
    const ArgCase& c = GetParam();
    SCOPED_TRACE(c.label);
    char destination[128];
    memset(destination, 'z', sizeof destination);
    EXPECT_EQ(c.result,
              GetCommandArgFrom(c.commandLine.c_str(), c.n, destination, sizeof destination));
    if (c.result == kArgUnbalanced)
        EXPECT_EQ('z', destination[0]) << "an odd number of quotes leaves the destination alone";
    else
        EXPECT_EQ(c.argument, destination);
}

const std::string kLong(500, 'L');

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandArgument,
    ::testing::Values(
        ArgCase{"two words", "kvel.exe a b", 1, kArgFound, "a"},
        ArgCase{"second word", "kvel.exe a b", 2, kArgFound, "b"},
        ArgCase{"program name", "\"C:\\Program Files\\kvel.exe\" x", 0, kArgFound,
                "C:\\Program Files\\kvel.exe"},
        ArgCase{"quoted words keep their blank", "kvel.exe \"a b\"", 1, kArgFound, "a b"},
        ArgCase{"name alone", "kvel.exe", 1, kArgMissing, ""},
        ArgCase{"single quote", "kvel.exe \"", 1, kArgUnbalanced, ""},
        ArgCase{"odd quotes with an argument", "kvel.exe x \"y", 1, kArgUnbalanced, ""},
        ArgCase{"trailing blanks", "kvel.exe   ", 1, kArgEmpty, ""},
        ArgCase{"empty quotes", "kvel.exe \"\"", 1, kArgEmpty, ""},
        ArgCase{"tabs separate like blanks", "kvel.exe\t\tx\ty", 2, kArgFound, "y"},
        ArgCase{"tab inside quotes becomes a blank", "kvel.exe \"a\tb\"", 1, kArgFound, "a b"},
        ArgCase{"leading blanks", "   kvel.exe /admin", 1, kArgFound, "/admin"},
        ArgCase{"no such argument", "kvel.exe a", 3, kArgMissing, ""},
        ArgCase{"empty command line", "", 1, kArgMissing, ""},
        ArgCase{"quotes inside a word vanish", "kvel.exe ab\"c d\"e", 1, kArgFound, "abc de"},
        ArgCase{"argument after 500 characters", "kvel.exe " + kLong + " last", 2, kArgFound,
                "last"},
        ArgCase{"argument longer than the destination is cut", "kvel.exe " + kLong, 1, kArgFound,
                std::string(127, 'L')},
        ArgCase{"quote far beyond 192 bytes still counts", "kvel.exe x " + kLong + "\"", 1,
                kArgUnbalanced, ""}));

TEST(CommandArgumentBuffers, NeverWritesPastTheDestination) {
    const std::string line = "kvel.exe " + std::string(4000, 'a');
    char buffer[16 + 8];
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(kArgFound, GetCommandArgFrom(line.c_str(), 1, buffer, 16));
    EXPECT_EQ(std::string(15, 'a'), buffer);
    for (size_t i = 16; i < sizeof buffer; ++i)
        EXPECT_EQ('#', buffer[i]) << "guard byte " << i;
}

TEST(CompareNoCase, GivesTheFirstDifferingPosition) {
    EXPECT_EQ(0, CompareNoCase(".TXT", ".txt"));
    EXPECT_EQ(3, CompareNoCase("abc", "abd"));
    EXPECT_EQ(3, CompareNoCase("ab", "abc")) << "the terminating zero differs";
    EXPECT_EQ(1, CompareNoCase("", "a"));
    EXPECT_EQ(0, CompareNoCase("\x9D", "\x9C"));
    EXPECT_EQ(0, CompareNoCase("\xAE", "\xAD"));
    EXPECT_EQ(1, CompareNoCase("\xC4", "\xE4")) << "only A to Z and two bytes fold";
}

TEST(FindText, FollowsItsRulesInOrder) {
    EXPECT_EQ(-1, FindText(1, "abc", "abc"));
    EXPECT_EQ(-1, FindText(1, "ab", "abc"));
    EXPECT_EQ(2, FindText(1, "abcabc", "bc"));
    EXPECT_EQ(5, FindText(3, "abcabc", "bc"));
    EXPECT_EQ(-2, FindText(0, "abcabc", "bc"));
    EXPECT_EQ(-2, FindText(6, "abcabc", "bc")) << "no room for the pattern from there";
    EXPECT_EQ(0, FindText(1, "abcabc", "bd"));
    EXPECT_EQ(5, FindText(5, "abcabc", "bc"));
}

TEST(TrimText, DropsBlanksAroundButKeepsInnerOnes) {
    char text[32] = "  x\t\r\n";
    EXPECT_EQ(1u, TrimText(text));
    EXPECT_STREQ("x", text);
    char inner[32] = "\t a \x01 b  ";
    EXPECT_EQ(5u, TrimText(inner));
    EXPECT_STREQ("a \x01 b", inner);
    char blank[32] = " \t \r";
    EXPECT_EQ(0u, TrimText(blank));
    EXPECT_STREQ("", blank);
    char high[32] = " \xE9 ";
    EXPECT_EQ(1u, TrimText(high)) << "bytes of 128 and above are visible";
}

TEST(Decimal, FormatsAndParses) {
    char text[16];
    FormatDecimal(-120, text);
    EXPECT_STREQ("-120", text);
    FormatDecimal(0, text);
    EXPECT_STREQ("0", text);
    FormatDecimal(2147483647, text);
    EXPECT_STREQ("2147483647", text);
    FormatDecimal(-2147483647 - 1, text);
    EXPECT_STREQ("-2147483648", text);
    EXPECT_EQ(154u, ParseDecimal("154"));
    EXPECT_EQ(0u, ParseDecimal(""));
    EXPECT_EQ(4294967295u, ParseDecimal("4294967295"));
}

TEST(JoinAndCopy, AppendToWhatIsThere) {
    char text[64] = "Extension ";
    JoinTexts(3, text, ".txt", " was not found.", "\r\n");
    EXPECT_STREQ("Extension .txt was not found.\r\n", text);
    char bounded[8];
    CopyTextBounded("abcdefghij", bounded, sizeof bounded);
    EXPECT_STREQ("abcdefg", bounded);
    char copy[8];
    CopyText("abc", copy);
    EXPECT_STREQ("abc", copy);
    EXPECT_EQ(3u, TextLength(copy));
}

TEST(Pieces, LeftMidRight) {
    char out[16];
    LeftText("abcdef", out, 3);
    EXPECT_STREQ("abc", out);
    MidText("abcdef", out, 2, 3);
    EXPECT_STREQ("cde", out);
    RightText("abcdef", out, 2);
    EXPECT_STREQ("ef", out);
    RightText("ab", out, 5);
    EXPECT_STREQ("ab", out);
}

TEST(FillWords, LeavesTheTailBytesAlone) {
    unsigned char bytes[7];
    memset(bytes, 0xAA, sizeof bytes);
    FillWords(bytes, 6, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(0, bytes[i]);
    EXPECT_EQ(0xAA, bytes[4]);
    EXPECT_EQ(0xAA, bytes[5]);
}

TEST(Paths, SplitAtTheLastBackslash) {
    char part[64] = "untouched";
    EXPECT_EQ(0, FileNameOf("C:\\Program Files\\App\\app.exe", part));
    EXPECT_STREQ("app.exe", part);
    strcpy(part, "untouched");
    EXPECT_EQ(-1, FileNameOf("notepad.exe", part));
    EXPECT_STREQ("untouched", part);
    DirectoryOf("C:\\Program Files\\App\\app.exe", part);
    EXPECT_STREQ("C:\\Program Files\\App\\", part);
    DirectoryOf("notepad.exe", part);
    EXPECT_STREQ("", part);
}

TEST(Paths, AppDirectoryEndsWithABackslashAndHoldsTheProgram) {
    char directory[261];
    AppDirectoryOf(directory);
    const size_t length = strlen(directory);
    ASSERT_GT(length, 0u);
    EXPECT_EQ('\\', directory[length - 1]);
    char module[261];
    GetModuleFileNameA(nullptr, module, sizeof module);
    EXPECT_EQ(0, strncmp(directory, module, length));
    EXPECT_EQ(nullptr, strchr(module + length, '\\'));
}

} // namespace
