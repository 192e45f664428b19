// "problems": the check of the file types, its findings listed, or those of
// some kinds mended as the Problems window mends them.
#include "cli/commands.h"

#include "checks/checks.h"
#include "cli/console.h"
#include "platform/registry_write.h"
#include "resources/cli_texts.h"
#include "writer/mend.h"

#include <algorithm>
#include <sstream>

namespace {

const char* MendName(MendKind mend) {
    return mend == MendKind::RemoveValue ? "remove value"
           : mend == MendKind::RemoveKey ? "remove key"
                                         : "edit action";
}

// The kinds a comma-separated list of names stands for into kinds; false,
// and why said, for a name of none.
bool ReadKinds(const std::string& names, std::vector<FindingKind>* kinds) {
    std::istringstream list(names);
    std::string name;
    // An empty list names no kind, rather than every one.
    while (std::getline(list, name, ',') || kinds->empty()) {
        FindingKind kind;
        if (!FindingKindNamed(name, &kind)) {
            std::string known;
            for (int index = 0; index < kFindingKindCount; ++index)
                known += (index ? ", " : "") +
                         std::string(FactsOf(static_cast<FindingKind>(index)).Name);
            SayError("\"" + name + "\"" + kCliBadKind + known);
            return false;
        }
        kinds->push_back(kind);
    }
    return true;
}

bool Chosen(const std::vector<FindingKind>& kinds, FindingKind kind) {
    return kinds.empty() || std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

int List(const std::vector<Finding>& findings, OutputFormat format) {
    Table table{{"Kind", "Extension", "Class", "Key", "Value", "Missing", "Mend", "Explanation"},
                {}};
    for (const Finding& finding : findings)
        table.Rows.push_back({FactsOf(finding.Kind).Name, finding.Extension, finding.Class,
                              KeyDisplayName(finding.Hive, finding.KeyPath), finding.ValueName,
                              finding.Missing, MendName(finding.Mend), finding.Sentence});
    WriteOutput(RenderTable(table, format));
    return findings.empty() ? kExitDone : kExitFindings;
}

int Mend(const Invocation& invocation, const std::vector<FindingKind>& kinds,
         const std::vector<Finding>& findings) {
    for (FindingKind kind : kinds)
        if (FactsOf(kind).Mend == MendKind::EditAction)
            SayError(FactsOf(kind).Name + std::string(kCliMendedInEditor));
    std::vector<Finding> removable;
    size_t machine = 0;
    for (const Finding& finding : findings) {
        if (Removable(finding, invocation.Mode))
            removable.push_back(finding);
        else if (finding.Mend != MendKind::EditAction)
            ++machine;
    }
    if (machine)
        SayError(std::to_string(machine) + kCliMachinesFindings);
    if (removable.empty()) {
        SayError(kCliNothingToMend);
        return kExitFindings;
    }
    if (invocation.Flags.count("--dry-run")) {
        for (const Finding& finding : removable)
            WriteOutput(kCliWouldRemove + MendText(finding) + "\n");
        return kExitDone;
    }
    if (!MayWriteMode(invocation))
        return kExitRefused;
    const ChangeOutcome outcome = MendFindings(removable, invocation.Mode);
    if (!outcome.Done()) {
        SayError(DescribeRefusal(outcome));
        return kExitRefused;
    }
    AnnounceChange();
    SayError(kCliMended + std::to_string(removable.size()) +
             (removable.size() == 1 ? kCliOneProblem : kCliProblems));
    return kExitDone;
}

} // namespace

int RunProblems(const Invocation& invocation) {
    const auto kindValue = invocation.Values.find("--kind");
    const auto mendValue = invocation.Values.find("--mend");
    const bool mend = mendValue != invocation.Values.end();
    if ((mend && kindValue != invocation.Values.end()) ||
        (!mend && invocation.Flags.count("--dry-run"))) {
        SayError(kCliMendAlone);
        return kExitBadInput;
    }
    std::vector<FindingKind> kinds;
    if ((mend && !ReadKinds(mendValue->second, &kinds)) ||
        (kindValue != invocation.Values.end() && !ReadKinds(kindValue->second, &kinds)))
        return kExitBadInput;
    std::vector<Finding> all, findings;
    CheckFileTypes(invocation.Mode == RunMode::Admin, &all);
    for (const Finding& finding : all)
        if (Chosen(kinds, finding.Kind))
            findings.push_back(finding);
    return mend ? Mend(invocation, kinds, findings) : List(findings, invocation.Format);
}
