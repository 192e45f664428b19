// The registered applications' keys.
#include "writer/application_writes.h"

#include "platform/registry_layout.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"

namespace {

// The tail of a registered open command after the quoted program path.
constexpr char kOpenCommandArguments[] = "\" \"%1\"";

} // namespace

bool BuildOpenCommand(const char* programPath, char* command) {
    if (JoinTextsBounded(command, kTextSize, {"\"", programPath, kOpenCommandArguments}) &&
        FitsBuffer(command, kTextSize))
        return true;
    FillWords(command, kTextSize, 0);
    return false;
}

ChangeOutcome RegisterApplication(const std::string& fileName, const std::string& programPath) {
    char command[kTextSize] = {};
    const bool built = BuildOpenCommand(programPath.c_str(), command);
    const KeyState key = ApplicationKey(HKEY_CURRENT_USER, fileName.c_str());
    return MakeChange(
        kMenuAddProgram + std::string(" ") + fileName, "", {key}, [&](RegistryWrites& writes) {
            if (built)
                writes.SetText(key.Hive, key.Path + "\\" + kOpenCommandKey, nullptr, command);
        });
}

ChangeOutcome RemoveApplication(HKEY hive, const std::string& application) {
    const KeyState key = ApplicationKey(hive, application.c_str());
    return MakeChange(kUndoDeleteProgram + application, "", {key}, [&](RegistryWrites& writes) {
        // An empty name would name "Applications" itself.
        if (IsKeyName(application.c_str()))
            writes.DeleteTree(key.Hive, key.Path);
    });
}
