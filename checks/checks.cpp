// The check of the registered file types. Under Wine each registry call is a
// round trip to the server, so the check makes few: a class key is reached
// by its path from the classes key, a key that only the machine has is read
// from the machine's hive alone (the merged view would ask the user's hive
// too), and each class is checked once, however many extensions name it.
#include "checks/checks.h"

#include "checks/file_lookup.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "resources/texts.h"
#include "text/system_text.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr char kShellKey[] = "shell";
constexpr char kCommandKey[] = "command";
constexpr char kOpenVerb[] = "open";
constexpr char kOpenWithListKey[] = "OpenWithList";
constexpr char kDelegateExecuteValue[] = "DelegateExecute";
// A packaged app's class: its actions run through the app, not a command.
constexpr char kAppUserModelIdValue[] = "AppUserModelID";
// What runs an action that has no command: a COM object or DDE. A cascading
// menu runs nothing itself and needs no command either.
constexpr const char* kRunnerKeys[] = {"DropTarget", "ddeexec"};
constexpr const char* kRunnerValues[] = {kDelegateExecuteValue, "ExplorerCommandHandler",
                                         "SubCommands", "ExtendedSubCommandsKey"};

// A text value whole, however long; false when it is absent, not text, or empty.
bool ReadText(HKEY key, const char* name, std::string* text) {
    DWORD type = REG_NONE, size = 512;
    text->assign(size, '\0');
    LONG status = RegistryQueryValue(key, name, &type, &(*text)[0], &size);
    if (status == ERROR_MORE_DATA) {
        text->assign(size + 1, '\0');
        status = RegistryQueryValue(key, name, &type, &(*text)[0], &size);
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        size = 0;
    text->resize(strnlen(text->c_str(), size));
    return !text->empty();
}

bool HasValue(HKEY key, const char* name) {
    return RegistryQueryValue(key, name, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::vector<std::string> SubKeys(HKEY key) {
    std::vector<std::string> names;
    RegistryForEachSubKey(key, [&](const char* name) {
        names.emplace_back(name);
        return true;
    });
    return names;
}

// The names of the values, but the default value's; a name too long to read
// is passed over.
std::vector<std::string> ValueNames(HKEY key) {
    std::vector<std::string> names;
    char name[kKeyNameSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        const LONG status = RegistryEnumValue(key, index, name, &length, nullptr, nullptr, nullptr);
        if (status == ERROR_SUCCESS && name[0])
            names.emplace_back(name);
        else if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
            return names;
    }
}

bool SameName(const std::string& a, const std::string& b) {
    return CompareNoCase(a.c_str(), b.c_str()) == 0;
}

bool HasVerb(const std::vector<std::string>& verbs, const std::string& verb) {
    for (const std::string& name : verbs)
        if (SameName(name, verb))
            return true;
    return false;
}

// The action a "shell" key's default value names: the whole text, else the
// first of its comma- or blank-separated verbs that the class has; empty when
// it names none.
std::string NamedAction(const std::string& named, const std::vector<std::string>& verbs) {
    if (HasVerb(verbs, named))
        return named;
    for (size_t start = 0; start < named.size();) {
        const size_t end = std::min(named.find_first_of(", ", start), named.size());
        const std::string verb = named.substr(start, end - start);
        if (!verb.empty() && HasVerb(verbs, verb))
            return verb;
        start = end + 1;
    }
    return "";
}

// The action a double-click runs: the named one, else "open", else the first.
std::string DefaultAction(const std::string& named, const std::vector<std::string>& verbs) {
    const std::string action = NamedAction(named, verbs);
    if (!action.empty() || verbs.empty())
        return action;
    return HasVerb(verbs, kOpenVerb) ? kOpenVerb : verbs.front();
}

std::string InClasses(const std::string& path) {
    return std::string(kClassesKey) + "\\" + path;
}

// Each hive's run of "."-keys in the registry's order, merged; a name in both
// is taken once.
std::vector<std::string> MergeRuns(const std::vector<std::string>& user,
                                   const std::vector<std::string>& machine) {
    std::vector<std::string> names;
    auto u = user.begin(), m = machine.begin();
    while (u != user.end() || m != machine.end()) {
        const int order = u == user.end()      ? 1
                          : m == machine.end() ? -1
                                               : CompareRegistryNames(u->c_str(), m->c_str());
        names.push_back(order <= 0 ? *u : *m);
        if (order <= 0)
            ++u;
        if (order >= 0)
            ++m;
    }
    return names;
}

class Check {
  public:
    Check(int adminMode, std::vector<Finding>* findings)
        : admin_(adminMode != 0), findings_(findings) {}
    bool Run(const CheckProgress& progress);

  private:
    LONG Open(const std::string& path, RegKey* key);
    bool UserHas(const std::string& path);
    HKEY HiveOfKey(const std::string& path);
    HKEY HiveOfValue(const std::string& path, const char* name);
    void Add(FindingKind kind, const std::string& extension, const std::string& fileClass,
             HKEY hive, const std::string& keyPath, const std::string& valueName,
             const std::string& missing);

    void CheckExtension(const std::string& extension);
    bool VisitClass(const std::string& extension, const std::string& fileClass);
    void CheckClass(const std::string& extension, const std::string& fileClass, HKEY shell);
    void CheckAction(const std::string& extension, const std::string& fileClass, HKEY shell,
                     const std::string& verb);
    bool IsPackaged(const std::string& fileClass);
    void CheckExplorerLists(const std::string& extension);
    bool ApplicationCommand(const std::string& application, std::string* command);
    void CheckApplication(const std::string& application);

    bool admin_;
    std::vector<Finding>* findings_;
    RegKey machine_, user_;                          // each hive's Software\Classes
    std::unordered_set<std::wstring> userNames_;     // the user's classes keys, folded
    std::unordered_map<std::wstring, bool> classes_; // classes visited, folded: whether there
    FileLookup files_;
};

bool Check::UserHas(const std::string& path) {
    return !admin_ && userNames_.count(RegistryNameKey(path.substr(0, path.find('\\')).c_str()));
}

// path below the classes of the mode.
LONG Check::Open(const std::string& path, RegKey* key) {
    return RegistryOpenKey(UserHas(path) ? HKEY_CLASSES_ROOT : machine_.get(), path.c_str(),
                           KEY_READ, key->put());
}

// The hive that holds a key, or a value, of the mode's classes: the user's
// where it holds it.
HKEY Check::HiveOfKey(const std::string& path) {
    return UserHas(path) && RegistryKeyExists(user_.get(), path.c_str()) ? HKEY_CURRENT_USER
                                                                         : HKEY_LOCAL_MACHINE;
}

HKEY Check::HiveOfValue(const std::string& path, const char* name) {
    RegKey key;
    return UserHas(path) &&
                   RegistryOpenKey(user_.get(), path.c_str(), KEY_QUERY_VALUE, key.put()) ==
                       ERROR_SUCCESS &&
                   HasValue(key.get(), name)
               ? HKEY_CURRENT_USER
               : HKEY_LOCAL_MACHINE;
}

void Check::Add(FindingKind kind, const std::string& extension, const std::string& fileClass,
                HKEY hive, const std::string& keyPath, const std::string& valueName,
                const std::string& missing) {
    const FindingKindFacts& facts = FactsOf(kind);
    findings_->push_back({kind, extension, fileClass, hive, keyPath, valueName, missing,
                          facts.Sentence, facts.Mend});
}

bool Check::Run(const CheckProgress& progress) {
    findings_->clear();
    RegistryOpenKey(HKEY_LOCAL_MACHINE, kClassesKey, KEY_READ, machine_.put());
    std::vector<std::string> userRun, machineRun, userClasses, machineClasses, explorerEntries,
        applications;
    if (!admin_) {
        RegistryOpenKey(HKEY_CURRENT_USER, kClassesKey, KEY_READ, user_.put());
        RegistryForEachSubKey(user_.get(), [&](const char* name) {
            userNames_.insert(RegistryNameKey(name));
            (name[0] == '.' ? userRun : userClasses).emplace_back(name);
            return true;
        });
        RegKey fileExts;
        if (RegistryOpenKey(HKEY_CURRENT_USER, kFileExtsKey, KEY_READ, fileExts.put()) ==
            ERROR_SUCCESS)
            explorerEntries = SubKeys(fileExts.get());
    }
    RegistryForEachSubKey(machine_.get(), [&](const char* name) {
        (name[0] == '.' ? machineRun : machineClasses).emplace_back(name);
        return true;
    });
    RegKey applicationsKey;
    if (Open(kApplicationsKey, &applicationsKey) == ERROR_SUCCESS)
        applications = SubKeys(applicationsKey.get());

    const std::vector<std::string> extensions = MergeRuns(userRun, machineRun);
    const std::vector<std::string> classNames = MergeRuns(userClasses, machineClasses);
    const size_t total =
        extensions.size() + classNames.size() + explorerEntries.size() + applications.size();
    size_t done = 0;
    auto checked = [&] { return !progress || progress(++done, total); };
    for (const std::string& extension : extensions) {
        CheckExtension(extension);
        if (!checked())
            return false;
    }
    // A link type is a class no extension need name: each is checked as a type
    // of its own, unless an extension's check has reached its class already.
    for (const std::string& name : classNames) {
        RegKey key;
        if (!classes_.count(RegistryNameKey(name.c_str())) && Open(name, &key) == ERROR_SUCCESS &&
            HasValue(key.get(), kUrlProtocolValue))
            VisitClass(name, name);
        if (!checked())
            return false;
    }
    for (const std::string& extension : explorerEntries) {
        CheckExplorerLists(extension);
        if (!checked())
            return false;
    }
    for (const std::string& application : applications) {
        CheckApplication(application);
        if (!checked())
            return false;
    }
    return true;
}

void Check::CheckExtension(const std::string& extension) {
    RegKey own;
    DWORD subKeys = 0, values = 0;
    if (UserHas(extension) &&
        RegistryOpenKey(user_.get(), extension.c_str(), KEY_READ, own.put()) == ERROR_SUCCESS &&
        RegistryQueryInfo(own.get(), &subKeys, &values) == ERROR_SUCCESS && subKeys + values == 0)
        Add(FindingKind::EmptyUserExtension, extension, "", HKEY_CURRENT_USER, InClasses(extension),
            "", "");

    RegKey key;
    if (Open(extension, &key) != ERROR_SUCCESS)
        return;
    std::string fileClass;
    const bool named = ReadText(key.get(), nullptr, &fileClass);
    const bool classThere = named && VisitClass(extension, fileClass);
    bool fallBack = false;
    RegKey progIds;
    if (RegistryOpenKey(key.get(), kOpenWithProgIds, KEY_READ, progIds.put()) == ERROR_SUCCESS) {
        const std::string path = extension + "\\" + kOpenWithProgIds;
        for (const std::string& progId : ValueNames(progIds.get())) {
            if (VisitClass(extension, progId))
                fallBack = true;
            else
                Add(FindingKind::DanglingOpenWithProgId, extension, progId,
                    HiveOfValue(path, progId.c_str()), InClasses(path), progId, progId);
        }
    }
    if (named && !classThere && !fallBack)
        Add(FindingKind::MissingClass, extension, fileClass, HiveOfValue(extension, ""),
            InClasses(extension), "", fileClass);
}

// Checks a class the first time an extension reaches it; whether it exists.
bool Check::VisitClass(const std::string& extension, const std::string& fileClass) {
    const std::wstring folded = RegistryNameKey(fileClass.c_str());
    auto known = classes_.find(folded);
    if (known != classes_.end())
        return known->second;
    RegKey shell, key;
    const bool hasShell = Open(fileClass + "\\" + kShellKey, &shell) == ERROR_SUCCESS;
    const bool there = hasShell || Open(fileClass, &key) == ERROR_SUCCESS;
    classes_.emplace(folded, there);
    if (there)
        CheckClass(extension, fileClass, shell.get());
    return there;
}

void Check::CheckClass(const std::string& extension, const std::string& fileClass, HKEY shell) {
    if (shell) {
        const std::string shellPath = fileClass + "\\" + kShellKey;
        std::string named;
        const std::vector<std::string> verbs = SubKeys(shell);
        if (ReadText(shell, nullptr, &named) && NamedAction(named, verbs).empty())
            Add(FindingKind::MissingDefaultAction, extension, fileClass, HiveOfValue(shellPath, ""),
                InClasses(shellPath), "", named);
        for (const std::string& verb : verbs)
            CheckAction(extension, fileClass, shell, verb);
    }
    const std::string iconPath = fileClass + "\\" + kDefaultIconKey;
    RegKey icon;
    std::string location;
    if (Open(iconPath, &icon) == ERROR_SUCCESS && ReadText(icon.get(), nullptr, &location) &&
        files_.IconFileMissing(location))
        Add(FindingKind::MissingIconFile, extension, fileClass, HiveOfValue(iconPath, ""),
            InClasses(iconPath), "", location);
}

void Check::CheckAction(const std::string& extension, const std::string& fileClass, HKEY shell,
                        const std::string& verb) {
    const std::string verbPath = fileClass + "\\" + kShellKey + "\\" + verb;
    const std::string commandPath = verbPath + "\\" + kCommandKey;
    RegKey command;
    std::string text;
    const bool hasCommand = RegistryOpenKey(shell, (verb + "\\" + kCommandKey).c_str(), KEY_READ,
                                            command.put()) == ERROR_SUCCESS;
    if (hasCommand && ReadText(command.get(), nullptr, &text)) {
        if (files_.ProgramMissing(text) && !HasValue(command.get(), kDelegateExecuteValue) &&
            !IsPackaged(fileClass))
            Add(FindingKind::MissingProgram, extension, fileClass, HiveOfValue(commandPath, ""),
                InClasses(commandPath), "", text);
        return;
    }
    RegKey key;
    if ((hasCommand && HasValue(command.get(), kDelegateExecuteValue)) ||
        RegistryOpenKey(shell, verb.c_str(), KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    for (const char* name : kRunnerKeys)
        if (RegistryKeyExists(key.get(), name))
            return;
    for (const char* name : kRunnerValues)
        if (HasValue(key.get(), name))
            return;
    if (!IsPackaged(fileClass))
        Add(FindingKind::ActionWithoutCommand, extension, fileClass, HiveOfKey(verbPath),
            InClasses(verbPath), "", verb);
}

bool Check::IsPackaged(const std::string& fileClass) {
    RegKey key, application;
    return Open(fileClass, &key) == ERROR_SUCCESS &&
           (HasValue(key.get(), kAppUserModelIdValue) ||
            RegistryOpenKey(key.get(), kPackagedApplicationNameKey, KEY_READ, application.put()) ==
                ERROR_SUCCESS);
}

// The user's choice of program for an extension and the user's Open With
// list of it.
void Check::CheckExplorerLists(const std::string& extension) {
    const std::string entry = std::string(kFileExtsKey) + "\\" + extension;
    const std::string choicePath = entry + "\\" + kUserChoiceKey;
    RegKey choice;
    std::string progId;
    // The value alone: Windows guards the choice's key against more.
    if (RegistryOpenKey(HKEY_CURRENT_USER, choicePath.c_str(), KEY_QUERY_VALUE, choice.put()) ==
            ERROR_SUCCESS &&
        ReadText(choice.get(), kProgIdValue, &progId) && !VisitClass(extension, progId))
        Add(FindingKind::DanglingUserChoice, extension, progId, HKEY_CURRENT_USER, choicePath, "",
            progId);

    const std::string listPath = entry + "\\" + kOpenWithListKey;
    RegKey list;
    if (RegistryOpenKey(HKEY_CURRENT_USER, listPath.c_str(), KEY_READ, list.put()) != ERROR_SUCCESS)
        return;
    for (const std::string& name : ValueNames(list.get())) {
        std::string program, command;
        if (SameName(name, kMruListValue) || !ReadText(list.get(), name.c_str(), &program))
            continue;
        // The shell runs an entry through its application key's command where
        // there is one, else it finds the program by its name.
        const bool missing =
            ApplicationCommand(program.substr(program.find_last_of('\\') + 1), &command)
                ? files_.ProgramMissing(command)
                : files_.NamedProgramMissing(program);
        if (missing)
            Add(FindingKind::MissingOpenWithProgram, extension, "", HKEY_CURRENT_USER, listPath,
                name, program);
    }
}

// The command of the action the shell runs for an application; false where
// there is none, or the action runs through a COM object.
bool Check::ApplicationCommand(const std::string& application, std::string* command) {
    RegKey shell, key;
    std::string named;
    if (Open(std::string(kApplicationsKey) + "\\" + application + "\\" + kShellKey, &shell) !=
        ERROR_SUCCESS)
        return false;
    ReadText(shell.get(), nullptr, &named);
    const std::string verb = DefaultAction(named, SubKeys(shell.get()));
    return !verb.empty() &&
           RegistryOpenKey(shell.get(), (verb + "\\" + kCommandKey).c_str(), KEY_READ, key.put()) ==
               ERROR_SUCCESS &&
           !HasValue(key.get(), kDelegateExecuteValue) && ReadText(key.get(), nullptr, command);
}

void Check::CheckApplication(const std::string& application) {
    const std::string path = std::string(kApplicationsKey) + "\\" + application;
    std::string command;
    if (ApplicationCommand(application, &command) && files_.ProgramMissing(command))
        Add(FindingKind::MissingApplication, "", path, HiveOfKey(path), InClasses(path), "",
            command);
}

// In the order of FindingKind. The names are the command line's: scripts
// depend on them, so they never change.
constexpr FindingKindFacts kKinds[kFindingKindCount] = {
    {"missing-class", kHeadingMissingClass, kTextCheckMissingClass, MendKind::RemoveValue},
    {"missing-default-action", kHeadingMissingDefaultAction, kTextCheckMissingDefaultAction,
     MendKind::RemoveValue},
    {"action-without-command", kHeadingActionWithoutCommand, kTextCheckActionWithoutCommand,
     MendKind::EditAction},
    {"missing-program", kHeadingMissingProgram, kTextCheckMissingProgram, MendKind::EditAction},
    {"missing-icon-file", kHeadingMissingIconFile, kTextCheckMissingIconFile,
     MendKind::RemoveValue},
    {"dangling-user-choice", kHeadingDanglingUserChoice, kTextCheckDanglingUserChoice,
     MendKind::RemoveKey},
    {"dangling-open-with-progid", kHeadingDanglingOpenWithProgId, kTextCheckDanglingOpenWithProgId,
     MendKind::RemoveValue},
    {"missing-open-with-program", kHeadingMissingOpenWithProgram, kTextCheckMissingOpenWithProgram,
     MendKind::RemoveValue},
    {"missing-application", kHeadingMissingApplication, kTextCheckMissingApplication,
     MendKind::RemoveKey},
    {"empty-user-extension", kHeadingEmptyUserExtension, kTextCheckEmptyUserExtension,
     MendKind::RemoveKey},
};

} // namespace

const FindingKindFacts& FactsOf(FindingKind kind) {
    return kKinds[static_cast<int>(kind)];
}

bool FindingKindNamed(const std::string& name, FindingKind* kind) {
    for (int index = 0; index < kFindingKindCount; ++index)
        if (name == kKinds[index].Name) {
            *kind = static_cast<FindingKind>(index);
            return true;
        }
    return false;
}

std::string ActionVerb(const Finding& finding) {
    const std::string shell = std::string("\\") + kShellKey + "\\";
    const std::string command = std::string("\\") + kCommandKey;
    std::string path = finding.KeyPath;
    if (finding.Kind == FindingKind::MissingProgram)
        path.erase(path.size() - command.size());
    const size_t at = path.rfind(shell);
    return at == std::string::npos ? "" : path.substr(at + shell.size());
}

bool CheckFileTypes(int adminMode, std::vector<Finding>* findings, const CheckProgress& progress) {
    return Check(adminMode, findings).Run(progress);
}
