// The command splitting and label rules on thousands of generated command
// lines and icon locations, each through the real routines and the shell's
// own path functions, with guard bytes on both sides of every fixed buffer.
#include "details/command_rules.h"
#include "details/pane.h"
#include "details/readers.h"
#include "robustness/hostile_seed.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

constexpr int kRounds = 4000;
constexpr unsigned char kGuard = 0xA5;
constexpr size_t kGuardSize = 64;

// A value with guard bytes before and after it.
template <typename T> struct Guarded {
    unsigned char before[kGuardSize];
    T value;
    unsigned char after[kGuardSize];

    Guarded() {
        memset(before, kGuard, sizeof before);
        memset(&value, kGuard, sizeof value);
        memset(after, kGuard, sizeof after);
    }
    bool Intact() const {
        for (size_t i = 0; i < kGuardSize; ++i)
            if (before[i] != kGuard || after[i] != kGuard)
                return false;
        return true;
    }
};

struct Text {
    char bytes[kTextSize];
};

bool TerminatedWithin(const char* text, size_t size) {
    return memchr(text, 0, size) != nullptr;
}

// Command lines and icon locations made of the pieces the rules react to.
class Generator {
  public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::string Next() {
        static const char* const kPieces[] = {"\"",
                                              "\"",
                                              " ",
                                              "  ",
                                              "\t",
                                              "\\",
                                              "\\\\",
                                              ",",
                                              ",-",
                                              "-",
                                              "%",
                                              "%1",
                                              "\"%1\"",
                                              "%SystemRoot%",
                                              "%KVTLONG%",
                                              "%KVTUNDEFINED%",
                                              "r",
                                              "R",
                                              "rundll32.exe",
                                              "C:\\Program Files\\",
                                              "app.exe",
                                              ".exe",
                                              "shell32.dll,-154",
                                              "x",
                                              "abc",
                                              "0",
                                              "99",
                                              "\xE9",
                                              "\x01"};
        std::string text;
        const size_t length = Length();
        while (text.size() < length)
            text += kPieces[Pick(std::size(kPieces))];
        text.resize(length);
        return text;
    }

  private:
    size_t Pick(size_t count) {
        return std::uniform_int_distribution<size_t>(0, count - 1)(random_);
    }
    // Mostly short, often right at the buffer's edges.
    size_t Length() {
        switch (Pick(6)) {
        case 0:
            return 259 + Pick(2);
        case 1:
            return 200 + Pick(61);
        default:
            return Pick(60);
        }
    }
    std::mt19937 random_;
};

void Put(const std::string& text, Text* buffer) {
    memset(buffer->bytes, 0, sizeof buffer->bytes);
    memcpy(buffer->bytes, text.data(), text.size());
}

TEST(CommandRulesRandom, SplittingStaysInsideEveryBuffer) {
    kvr::SetLongVariable();
    Generator generate(20260101);
    for (int round = 0; round < kRounds; ++round) {
        const std::string line = generate.Next();
        SCOPED_TRACE("command line: " + line);
        Guarded<Text> command;
        Put(line, &command.value);
        NormaliseOpenCommand(command.value.bytes);
        ASSERT_TRUE(command.Intact());
        ASSERT_TRUE(TerminatedWithin(command.value.bytes, kTextSize));
        const char first = line.empty() ? '\0' : line[0];
        if (first != '"' && first != 'r' && first != 'R') {
            ASSERT_EQ('"', command.value.bytes[0]) << "the program was not put in quotes";
        }

        Guarded<Text> split;
        Guarded<OpenCommandParts> parts;
        Put(line, &split.value);
        SplitCommandText(split.value.bytes, &parts.value);
        ASSERT_TRUE(split.Intact());
        ASSERT_TRUE(parts.Intact());
        const OpenCommandParts& p = parts.value;
        for (const char* field : {p.Program, p.Folder, p.File, p.Arguments})
            ASSERT_TRUE(TerminatedWithin(field, kTextSize));
        ASSERT_TRUE(p.IsRundll == 0 || p.IsRundll == 1);
        const std::string program = p.Program;
        if (!p.IsRundll && program.find('\\') != std::string::npos) {
            ASSERT_EQ(program, std::string(p.Folder) + p.File)
                << "folder and file are the program's two parts";
        } else if (!p.IsRundll) {
            ASSERT_EQ("", std::string(p.Folder) + p.File);
        }
    }
}

TEST(CommandRulesRandom, FileLabelsStayInsideTheirBuffer) {
    Generator generate(20260102);
    for (int round = 0; round < kRounds; ++round) {
        const std::string location = generate.Next();
        SCOPED_TRACE("location: " + location);
        Guarded<Text> label;
        const int shown = FileLabelText(location.c_str(), label.value.bytes);
        ASSERT_TRUE(label.Intact());
        ASSERT_TRUE(TerminatedWithin(label.value.bytes, kTextSize));
        const std::string text = label.value.bytes;
        ASSERT_EQ(location.empty() ? 0 : 1, shown);
        if (location.find('%') != std::string::npos) {
            ASSERT_EQ("", text) << "a variable makes no label";
        } else {
            ASSERT_EQ(std::string::npos, text.find('"'));
        }
        ASSERT_EQ(0u, location.compare(0, text.size(), text)) << "a label is the text's start";

        // The pieces the pane shows around a label.
        Guarded<Text> folder, file;
        DirectoryOf(location.c_str(), folder.value.bytes);
        memset(file.value.bytes, 0, kTextSize);
        FileNameOf(location.c_str(), file.value.bytes);
        ASSERT_TRUE(folder.Intact());
        ASSERT_TRUE(file.Intact());
        if (location.find('\\') == std::string::npos) {
            ASSERT_EQ("", std::string(folder.value.bytes));
            ASSERT_EQ("", std::string(file.value.bytes));
        } else {
            ASSERT_EQ(location, std::string(folder.value.bytes) + file.value.bytes);
        }
    }
}

} // namespace
