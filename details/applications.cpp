// The registered applications' rules.
#include "details/applications.h"

#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "text/system_text.h"

namespace {

constexpr ASSOCF kProgramQuery =
    ASSOCF_NOTRUNCATE | ASSOCF_INIT_DEFAULTTOFOLDER | ASSOCF_INIT_BYEXENAME;

} // namespace

bool ReadApplicationCommand(HKEY applications, const char* application, const char* verbKey,
                            char* command) {
    FillWords(command, kTextSize, 0);
    char path[kRegistryPathSize];
    RegKey verb;
    if (!applications || !IsKeyName(application) ||
        !JoinTextsBounded(path, kRegistryPathSize, {application, "\\", verbKey}) ||
        RegistryOpenKey(applications, path, KEY_READ, verb.put()) != ERROR_SUCCESS)
        return false;
    RegistryReadText(verb.get(), nullptr, command, kTextSize);
    return true;
}

bool ApplicationProgramPath(const char* command, const char* application, char* path) {
    FillWords(path, kTextSize, 0);
    char folder[kTextSize] = {};
    DirectoryOf(command[0] == '"' ? command + 1 : command, folder);
    char joined[kTextSize];
    return JoinTextsBounded(joined, kTextSize, {folder, application}) && ExpandText(joined, path);
}

bool ProgramFriendlyName(const char* program, char* name) {
    DWORD length = kTextSize;
    return SUCCEEDED(ShellAssocQuery(kProgramQuery, ASSOCSTR_FRIENDLYAPPNAME, program, nullptr,
                                     name, &length)) &&
           name[0] != '\0';
}

int ProgramIconIndex(const char* program, UINT flags) {
    SHFILEINFOA info = {};
    ShellGetFileInfo(program, 0, &info, SHGFI_SYSICONINDEX | flags);
    return info.iIcon;
}

int ApplicationIconIndex(const char* application) {
    char executable[kTextSize] = {};
    DWORD length = kTextSize;
    ShellAssocQuery(kProgramQuery, ASSOCSTR_EXECUTABLE, application, nullptr, executable, &length);
    return ProgramIconIndex(executable, SHGFI_USEFILEATTRIBUTES);
}
