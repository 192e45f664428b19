// The default associations of this machine.
#include "defaults/current_defaults.h"

#include "checks/file_lookup.h"
#include "details/actions.h"
#include "details/readers.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"

namespace {

bool ClassExists(const std::string& name, RunMode mode) {
    return mode == RunMode::User ? RegistryKeyExists(HKEY_CLASSES_ROOT, name.c_str()) != 0
                                 : HasClassesKey(HKEY_LOCAL_MACHINE, name.c_str()) != 0;
}

} // namespace

std::vector<DefaultAssociation> CurrentDefaults(RunMode mode,
                                                const std::vector<std::string>& extensions) {
    std::vector<DefaultAssociation> defaults;
    ShellReadScope scope;
    for (const std::string& extension : extensions) {
        const FileType type = ReadFileTypeShown(extension, mode);
        const std::string& progId =
            type.UserChoice.Present() ? type.UserChoice.Text : type.Class.Text;
        if (!type.UserChoice.Present() && !type.ClassExists)
            continue;
        DefaultAssociation association;
        association.Identifier = extension;
        association.ProgId = progId;
        association.ApplicationName = type.Opens.Name.Text;
        defaults.push_back(association);
    }
    return defaults;
}

std::vector<DefaultVerdict> JudgeDefaults(const std::vector<DefaultAssociation>& associations,
                                          RunMode mode) {
    std::vector<DefaultVerdict> verdicts;
    FileLookup files;
    for (const DefaultAssociation& association : associations) {
        FileType type;
        if (association.ProgId.empty() || association.ProgId[0] == '\\' ||
            !ClassExists(association.ProgId, mode)) {
            verdicts.push_back(DefaultVerdict::NoClass);
            continue;
        }
        ReadActions(mode == RunMode::User ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE,
                    association.ProgId, &type);
        const int verb = DefaultAction(type);
        const FileAction* action = verb >= 0 ? &type.Actions[verb] : nullptr;
        // A packaged app's action, and one run through DDE or an object,
        // runs without a program of its own.
        if (action && (action->Delegated || !action->Command.Present()) &&
            (action->Delegated || action->HasDde))
            verdicts.push_back(DefaultVerdict::Honoured);
        else if (!action || !action->Command.Present())
            verdicts.push_back(DefaultVerdict::NothingToRun);
        else
            verdicts.push_back(files.ProgramMissing(action->Command.Text)
                                   ? DefaultVerdict::ProgramMissing
                                   : DefaultVerdict::Honoured);
    }
    return verdicts;
}
