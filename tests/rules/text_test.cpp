// The text routines and the command-line reader, each rule a row.
#include "text/system_text.h"
#include "text/text.h"

#include "harness/kvt.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

TEST(Text, CommandLineArguments) {
    const std::string longWord(500, 'L');
    const struct {
        std::string line;
        int n, result;
        std::string argument; // unread when the result is kArgUnbalanced
    } rows[] = {
        {"kvel.exe a b", 2, kArgFound, "b"},
        {"\"C:\\A B\\kvel.exe\" x", 0, kArgFound, "C:\\A B\\kvel.exe"},
        {"kvel.exe x \"y", 1, kArgUnbalanced, ""},
        {"kvel.exe   ", 1, kArgEmpty, ""},
        {"kvel.exe " + longWord + " last", 2, kArgFound, "last"},
        {"kvel.exe " + longWord, 1, kArgFound, std::string(15, 'L')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line.substr(0, 40));
        char destination[16 + 8];
        memset(destination, 'z', sizeof destination);
        EXPECT_EQ(row.result, GetCommandArgFrom(row.line.c_str(), row.n, destination, 16));
        if (row.result != kArgUnbalanced) {
            EXPECT_EQ(row.argument, destination);
        }
        EXPECT_EQ(std::string(8, 'z'), std::string(destination + 16, 8)) << "past the room";
    }
}

// Each row: what a routine made of its input, and what it must make.
TEST(Text, Routines) {
    auto order = [](const char* a, const char* b) {
        return std::to_string(CompareRegistryNames(a, b));
    };
    auto text = [](const std::function<void(char*)>& make) {
        char out[64];
        memset(out, 0, sizeof out);
        make(out);
        return std::string(out);
    };
    const struct {
        const char* rule;
        std::string made, expected;
    } rows[] = {
        {"join appends", text([](char* o) { JoinTexts(3, strcpy(o, "x "), "a", "b", "\r\n"); }),
         "x ab\r\n"},
        {"bounded join",
         std::to_string(JoinTextsBounded(std::string(8, 'j').data(), 4, {"ab", "cd"})), "0"},
        {"bounded copy",
         text([](char* o) { CopyTextBounded("abcdef", (char*)memset(o, 'x', 9), 4); }), "abc"},
        {"trim keeps any script", text([](char* o) { TrimText(strcpy(o, " Дж\t")); }), "Дж"},
        {"bounded copy keeps whole characters",
         text([](char* o) { CopyTextBounded("aД📄", (char*)memset(o, 'x', 12), 6); }), "aД"},
        {"negative decimal", text([](char* o) { FormatDecimal(-2147483647 - 1, o); }),
         "-2147483648"},
        {"parse", std::to_string(ParseDecimal("4294967295")), "4294967295"},
        {"words", text([](char* o) { FillWords(memset(o, 'x', 7), 6, 0x41414141); }), "AAAAxxx"},
        {"first difference", std::to_string(CompareNoCase("ab", "abc")), "3"},
        {"case of every script", std::to_string(CompareNoCase("Док ωé Ǆ", "дОК ΩÉ ǆ")), "0"},
        {"difference at a character", std::to_string(CompareNoCase("Дa", "Дb")), "3"},
        {"registry order: punctuation, other scripts, ß a letter, UTF-16 units",
         order("-.x", ".a") + order(".я", ".Ω") + order(".ß", ".ss") + order("📄", "Ａ"), "-111-1"},
        {"characters as the system counts them", std::to_string(CharacterCount("aД文📄")), "5"},
        {"259 characters of any script fit a name, 260 do not",
         std::to_string(FitsBuffer(kvt::Repeat("Ж", 259).c_str(), kNameSize)) +
             std::to_string(FitsBuffer(std::string(260, 'x').c_str(), kNameSize)),
         "10"},
        {"URI schemes: a letter, then letters, digits, + - .",
         [] {
             std::string made;
             for (const char* name : {"mailto", "ms-settings", "a1+b.c", "", "1a", "-a", "a b",
                                      "a_b", "a:", "яa", "aя"})
                 made += std::to_string(IsUrlScheme(name));
             return made;
         }(),
         "11100000000"},
        {"expansion", text([](char* o) {
             char e[kTextSize];
             ExpandText("%SystemRoot%", e);
             strcpy(o, e);
         }),
         "C:\\windows"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, row.made) << row.rule;
    char expanded[kTextSize];
    EXPECT_FALSE(ExpandText(("%SystemRoot%" + std::string(255, 'x')).c_str(), expanded))
        << "an expansion that does not fit is none";
    EXPECT_STREQ("", expanded);
}

} // namespace
