// The pane's rules over plain text.
#include "details/command_rules.h"

#include "platform/shell.h"
#include "resources/texts.h"
#include "text/system_text.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <string>

int FileLabelText(const char* text, char* out) {
    FillWords(out, kTextSize, 0);
    if (!text[0])
        return 0;
    if (strchr(text, '%'))
        return 1;
    const char* end = strchr(text, '"');
    if (!end)
        end = strchr(text, ',');
    const std::string label(text, end ? static_cast<size_t>(end - text) : TextLength(text));
    CopyTextBounded(label.c_str(), out, kTextSize);
    return 1;
}

bool FileLabelOf(const char* text, std::string* label) {
    char file[kTextSize] = {}, shown[kTextSize];
    FileNameOf(text, file);
    if (!FileLabelText(file, shown) && !FileLabelText(text, shown))
        return false;
    *label = shown;
    return true;
}

const char* SkipOpeningQuote(const char* text) {
    return text[0] == '"' ? text + 1 : text;
}

const char* ExpandedFolderOf(const char* location, char* expanded, char* folder) {
    ExpandText(location, expanded);
    const char* file = SkipOpeningQuote(expanded);
    FillWords(folder, kTextSize, 0);
    DirectoryOf(file, folder);
    ToLongForm(folder);
    return file;
}

bool JoinProgramAndArguments(const char* program, const char* arguments, char* command) {
    FillWords(command, kTextSize, 0);
    if (!program[0])
        return false;
    const bool quote = program[0] != '"' && strchr(program, ' ') != nullptr;
    char joined[2 * kTextSize + 4] = {};
    JoinTexts(4, joined, quote ? "\"" : "", program, quote ? "\"" : "", arguments[0] ? " " : "");
    AppendText(joined, arguments);
    if (!FitsBuffer(joined, kTextSize))
        return false;
    CopyTextBounded(joined, command, kTextSize);
    return true;
}

void SplitProgramAndArguments(const char* command, char* program, char* arguments) {
    FillWords(program, kTextSize, 0);
    const char* rest = ShellCommandArguments(command);
    CopyTextBounded(rest, arguments, kTextSize);
    std::string head(command, static_cast<size_t>(rest - command));
    while (!head.empty() && head.back() == ' ')
        head.pop_back();
    if (head.size() >= 2 && head.front() == '"' && head.back() == '"')
        head = head.substr(1, head.size() - 2);
    CopyTextBounded(head.c_str(), program, kTextSize);
}

void NormaliseOpenCommand(char* command) {
    if (command[0] == '"' || command[0] == 'r' || command[0] == 'R')
        return;
    const char* lastSlash = strrchr(command, '\\');
    char folder[kTextSize] = {};
    char rest[kTextSize] = {};
    if (lastSlash) {
        LeftText(command, folder, static_cast<size_t>(lastSlash - command) + 1);
        CopyTextBounded(lastSlash + 1, rest, kTextSize);
    } else {
        CopyTextBounded(command, rest, kTextSize);
    }
    char arguments[kTextSize] = {};
    CopyTextBounded(PathGetArgsA(rest), arguments, kTextSize);
    PathRemoveArgsA(rest);
    char rebuilt[4 * kTextSize] = {};
    JoinTexts(6, rebuilt, "\"", folder, rest, "\"", " ", arguments);
    CopyTextBounded(rebuilt, command, kTextSize);
}

void SplitCommandText(char* command, OpenCommandParts* parts) {
    FillWords(parts, sizeof *parts, 0);
    NormaliseOpenCommand(command);
    char program[kTextSize] = {};
    CopyTextBounded(command, program, kTextSize);
    PathRemoveArgsA(program);
    PathUnquoteSpacesA(program);
    ExpandText(program, parts->Program);
    ToLongForm(parts->Program);
    parts->IsRundll = CompareNoCase(parts->Program, kRundllProgram) == 0 ? 1 : 0;
    if (parts->IsRundll) {
        CopyTextBounded(PathGetArgsA(command), parts->Arguments, kTextSize);
        return;
    }
    DirectoryOf(parts->Program, parts->Folder);
    FileNameOf(parts->Program, parts->File);
    char expanded[kTextSize];
    ExpandText(command, expanded);
    CopyTextBounded(PathGetArgsA(expanded), parts->Arguments, kTextSize);
}
