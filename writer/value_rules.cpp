// The value rules of both writers.
#include "writer/value_rules.h"

#include "records/app_state.h"
#include "details/command_rules.h"
#include "details/edit_flags.h"
#include "records/extension_record.h"
#include "records/editor_state.h"
#include "platform/registry.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"

namespace {

constexpr char kNewClassSuffix[] = "File";

// The text of a page's control, at most kTextSize - 1 characters.
void ReadControlText(HWND control, char* text) {
    FillWords(text, kTextSize, 0);
    SendMessageA(control, WM_GETTEXT, kTextSize, reinterpret_cast<LPARAM>(text));
}

} // namespace

void WriteText(HKEY key, const char* name, const char* text) {
    RegistryWriteText(key, name, REG_SZ, text);
}

int FindExtensionClass(HKEY extensionKey, char* fileClass) {
    return LookupFileClass(extensionKey, fileClass) && fileClass[0] ? 1 : 0;
}

bool NewClassName(const char* extension, char* fileClass) {
    if (extension[0] && JoinTextsBounded(fileClass, kTextSize, {extension + 1, kNewClassSuffix}) &&
        FitsBuffer(fileClass, kTextSize))
        return true;
    FillWords(fileClass, kTextSize, 0);
    return false;
}

int CreateExtensionClass(HKEY hive, HKEY extensionKey, const char* extension, char* fileClass) {
    if (!NewClassName(extension, fileClass))
        return 0;
    WriteText(extensionKey, nullptr, fileClass);
    RegKey classKey;
    CreateClassesKey(hive, fileClass, nullptr, KEY_WRITE, &classKey);
    return 1;
}

void WriteOptionalText(HKEY extensionKey, const char* name, const char* text) {
    if (CompareNoCase(text, kTextNoneMarker) == 0)
        RegistryDeleteValue(extensionKey, name);
    else
        WriteText(extensionKey, name, text);
}

void WriteEditFlags(HKEY classKey) {
    const DWORD bits = CollectEditFlags();
    if (bits > 0)
        RegistrySetValue(classKey, kEditFlagsValue, REG_DWORD, &bits, sizeof bits);
    else
        RegistryDeleteValue(classKey, kEditFlagsValue);
}

bool BackUpFriendlyTypeName(HKEY classKey) {
    DWORD size = 0;
    if (RegistryQueryValue(classKey, kFriendlyTypeNameValue, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return false;
    HeapBlock bytes(AllocateHeapBlock(size));
    if (bytes && RegistryQueryValue(classKey, kFriendlyTypeNameValue, nullptr, bytes.get(),
                                    &size) == ERROR_SUCCESS) {
        RegistrySetValue(classKey, kFriendlyTypeNameBackupValue, REG_SZ, bytes.get(), size);
        RegistryDeleteValue(classKey, kFriendlyTypeNameValue);
    }
    return true;
}

bool ComposeOpenCommand(char* command) {
    char path[kTextSize], file[kTextSize], args[kTextSize];
    ReadControlText(OpensWithPage.ProgramPath, path);
    ReadControlText(OpensWithPage.ProgramFile, file);
    ReadControlText(OpensWithPage.Args, args);
    FillWords(command, kTextSize, 0);
    // The reader's fall-back word stands for a program it could not find.
    if (CompareNoCase(path, kTextUnknown) == 0 || CompareNoCase(file, kTextUnknown) == 0)
        return false;
    char program[2 * kTextSize] = {};
    JoinTexts(2, program, path, file);
    // A rundll32 command shows its program without file or folder: the
    // program stays, new arguments or not.
    if (!program[0]) {
        ReadControlText(OpensWithPage.OpensWith, program);
        if (CompareNoCase(program, kRundllProgram) != 0)
            return false;
    }
    return FitsBuffer(program, kTextSize) && JoinProgramAndArguments(program, args, command);
}

void WriteCommandValue(HKEY commandKey, const char* command) {
    const char* program = command[0] == '"' ? command + 1 : command;
    RegistryWriteText(commandKey, nullptr, program[0] == '%' ? REG_EXPAND_SZ : REG_SZ, command);
}

void WriteDdeKeys(HKEY hive, const char* fileClass) {
    struct DdeKey {
        const char* subKey;
        const char* text;
    };
    const DdeKey keys[] = {{kDdeCommandKey, EditBuffer.DdeCommand},
                           {kDdeApplicationKey, EditBuffer.DdeApplication},
                           {kDdeTopicKey, EditBuffer.DdeTopic}};
    for (const DdeKey& dde : keys) {
        RegKey key;
        if (CreateClassesKey(hive, fileClass, dde.subKey, KEY_WRITE, &key))
            WriteText(key.get(), nullptr, dde.text);
    }
}
