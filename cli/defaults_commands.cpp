// "defaults export" and "defaults check": the default associations file
// that Group Policy and Intune deploy.
#include "cli/commands.h"

#include "catalogue/catalogue.h"
#include "cli/console.h"
#include "defaults/current_defaults.h"
#include "platform/whole_file.h"
#include "resources/cli_texts.h"

#include <sstream>

namespace {

const char* VerdictText(DefaultVerdict verdict) {
    switch (verdict) {
    case DefaultVerdict::Honoured:
        return kCliHonoured;
    case DefaultVerdict::NoClass:
        return kCliNoClass;
    case DefaultVerdict::NothingToRun:
        return kCliNothingToRun;
    default:
        return kCliProgramMissing;
    }
}

// The extensions and link types of --only, or every one of the mode's
// catalogue.
bool ChosenExtensions(const Invocation& invocation, std::vector<std::string>* extensions) {
    const auto only = invocation.Values.find("--only");
    if (only == invocation.Values.end()) {
        for (const CatalogueEntry& entry : ListCatalogue(invocation.Mode))
            extensions->push_back(entry.Extension);
        for (const CatalogueEntry& entry : ListLinkTypes(invocation.Mode))
            extensions->push_back(entry.Extension);
        return true;
    }
    std::istringstream names(only->second);
    for (std::string name; std::getline(names, name, ',');) {
        std::string extension, error;
        if (!ExtensionOperand(name, &extension, &error)) {
            SayError(error);
            return false;
        }
        extensions->push_back(extension);
    }
    return true;
}

} // namespace

int RunDefaultsExport(const Invocation& invocation) {
    std::vector<std::string> extensions;
    if (!ChosenExtensions(invocation, &extensions))
        return kExitBadInput;
    const std::vector<DefaultAssociation> defaults = CurrentDefaults(invocation.Mode, extensions);
    if (defaults.empty()) {
        SayError(kCliNothingToExport);
        return kExitFindings;
    }
    const std::string& file = invocation.Operands[0];
    const std::string bytes = ComposeDefaultAssociations(defaults);
    if (bytes.empty() || !WriteWholeFile(file.c_str(), bytes)) {
        SayError(file + kCliNotWritten);
        return kExitRefused;
    }
    SayError(kCliWritten + file);
    return kExitDone;
}

int RunDefaultsCheck(const Invocation& invocation) {
    const std::string& file = invocation.Operands[0];
    const DefaultAssociationsFile read = ReadDefaultAssociationsFile(file);
    if (!read.Error.empty()) {
        SayError(read.Error.compare(0, file.size(), file) == 0 ? read.Error
                                                               : file + ": " + read.Error);
        return kExitBadInput;
    }
    const std::vector<DefaultVerdict> verdicts = JudgeDefaults(read.Associations, invocation.Mode);
    Table table{{"Identifier", "ProgId", "ApplicationName", "Verdict"}, {}};
    int refused = 0;
    for (size_t index = 0; index < verdicts.size(); ++index) {
        const DefaultAssociation& association = read.Associations[index];
        table.Rows.push_back({association.Identifier, association.ProgId,
                              association.ApplicationName, VerdictText(verdicts[index])});
        if (verdicts[index] != DefaultVerdict::Honoured) {
            ++refused;
            SayError(file + ":" + std::to_string(association.Line) + ":" +
                     std::to_string(association.Column) + ": " + association.Identifier +
                     kCliCannotHonour + " (" + VerdictText(verdicts[index]) + ")");
        }
    }
    WriteOutput(RenderTable(table, invocation.Format));
    return refused ? kExitFindings : kExitDone;
}
