// The rules that need no window: labels, the splitting of open commands, the
// registered applications' paths and the command a new program is given.
#include "app/startup.h"
#include "details/applications.h"
#include "details/command_rules.h"
#include "writer/application_writes.h"
#include "text/system_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Rules, FileLabels) {
    const struct {
        std::string text, label;
        int shown;
    } rows[] = {{"", "", 0},
                {"app.exe", "app.exe", 1},
                {"shell32.dll,-154", "shell32.dll", 1},
                {"app.exe\" /x", "app.exe", 1},
                {"%1", "", 1},
                {"a,b\"c", "a,b", 1},
                {std::string(900, 'f'), std::string(kTextSize - 1, 'f'), 1}};
    for (const auto& row : rows) {
        char label[kTextSize + 8];
        memset(label, 'z', sizeof label);
        EXPECT_EQ(row.shown, FileLabelText(row.text.c_str(), label)) << row.text;
        EXPECT_EQ(row.label, label) << row.text;
        EXPECT_EQ('z', label[kTextSize]) << "past the buffer";
    }
}

// The admin pane's split of a stored command (the program is expanded and
// in long form; arguments are expanded unless the program is rundll32).
TEST(Rules, OpenCommands) {
    const struct {
        std::string command, normalised, program, folder, file, arguments;
    } rows[] = {
        {"C:\\Program Files\\App\\app.exe %1", "\"C:\\Program Files\\App\\app.exe\" %1",
         "C:\\Program Files\\App\\app.exe", "C:\\Program Files\\App\\", "app.exe", "%1"},
        {"rundll32.exe shell32.dll,Control_RunDLL", "rundll32.exe shell32.dll,Control_RunDLL",
         "rundll32.exe", "", "", "shell32.dll,Control_RunDLL"},
        {"notepad.exe %1", "\"notepad.exe\" %1", "notepad.exe", "", "", "%1"},
        {"\"%SystemRoot%\\v.exe\" %SystemRoot%", "\"%SystemRoot%\\v.exe\" %SystemRoot%",
         "C:\\windows\\v.exe", "C:\\windows\\", "v.exe", "C:\\windows"},
        {"\"C:\\Tools\\v.exe\"", "\"C:\\Tools\\v.exe\"", "C:\\Tools\\v.exe", "C:\\Tools\\", "v.exe",
         ""},
        {"C:\\A\\a.exe /p C:\\B\\b", "\"C:\\A\\a.exe /p C:\\B\\b\" ", "C:\\A\\a.exe /p C:\\B\\b",
         "C:\\A\\a.exe /p C:\\B\\", "b", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        char command[kTextSize] = {};
        CopyTextBounded(row.command.c_str(), command, kTextSize);
        OpenCommandParts parts;
        SplitCommandText(command, &parts);
        EXPECT_EQ(row.normalised, command);
        EXPECT_EQ(row.program, parts.Program);
        EXPECT_EQ(row.folder, parts.Folder);
        EXPECT_EQ(row.file, parts.File);
        EXPECT_EQ(row.arguments, parts.Arguments);
    }
}

TEST(Rules, ApplicationsAndTheirRegistration) {
    const struct {
        std::string command, application, path;
        bool made;
    } rows[] = {
        {"\"C:\\Tools\\viewer.exe\" \"%1\"", "viewer.exe", "C:\\Tools\\viewer.exe", true},
        {"C:\\Tools\\launcher.exe /p %1", "viewer.exe", "C:\\Tools\\viewer.exe", true},
        {"", "viewer.exe", "viewer.exe", true},
        {"\"%SystemRoot%\\v.exe\" %1", "v.exe", "C:\\windows\\v.exe", true},
        {"\"C:\\" + std::string(240, 'f') + "\\x.exe\"", std::string(30, 'n'), "", false},
    };
    for (const auto& row : rows) {
        char path[kTextSize + 8];
        memset(path, 'z', sizeof path);
        EXPECT_EQ(row.made,
                  ApplicationProgramPath(row.command.c_str(), row.application.c_str(), path))
            << row.command;
        EXPECT_EQ(row.path, path) << row.command;
        EXPECT_EQ('z', path[kTextSize]);
    }
    char command[kTextSize];
    EXPECT_TRUE(BuildOpenCommand("C:\\Program Files\\V\\v.exe", command));
    EXPECT_STREQ("\"C:\\Program Files\\V\\v.exe\" \"%1\"", command);
    EXPECT_FALSE(BuildOpenCommand(("C:\\" + std::string(254, 'p')).c_str(), command))
        << "no command at all rather than a cut one";
}

// Start-up over (argument, elevated, can elevate, answer, restart): the mode,
// and what it asked, tried and said on the way.
TEST(Rules, AdminModeThroughTheElevationPrompt) {
    using D = StartDecision;
    const struct {
        int argument;
        bool elevated, canElevate, yes, restarts;
        D decision;
        std::string steps;
    } rows[] = {
        {kArgFound, true, false, false, false, D::AdminMode, ""},
        {kArgFound, false, true, true, true, D::Restarted, " asked restarted"},
        {kArgFound, false, true, true, false, D::UserMode, " asked restarted said"},
        {kArgFound, false, true, false, true, D::UserMode, " asked"},
        {kArgFound, false, false, true, true, D::UserMode, ""},
        {kArgMissing, true, true, true, true, D::UserMode, ""},
        {kArgEmpty, false, true, true, true, D::UserMode, ""},
    };
    for (const auto& row : rows) {
        std::string steps;
        const ElevationSteps seams = {[&] { return steps += " asked", row.yes; },
                                      [&] { return steps += " restarted", row.restarts; },
                                      [&] { steps += " said"; }};
        EXPECT_EQ(row.decision, DecideStart(row.argument, row.elevated, row.canElevate, seams))
            << row.steps;
        EXPECT_EQ(row.steps, steps);
    }
}

} // namespace
