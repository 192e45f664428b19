// Mends: values and keys the check found dangling, removed whole or not at all.
#include "writer/mend.h"

#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "resources/texts.h"
#include "text/system_text.h"

namespace {

// The order of an Open With list without the letter that names entry, into
// order; false where the list's order does not hold it.
bool OrderWithout(const Finding& finding, std::string* order) {
    RegKey key;
    char text[kTextSize];
    if (finding.Kind != FindingKind::MissingOpenWithProgram || finding.ValueName.size() != 1 ||
        RegistryOpenKey(finding.Hive, finding.KeyPath.c_str(), KEY_QUERY_VALUE, key.put()) !=
            ERROR_SUCCESS ||
        RegistryReadText(key.get(), kMruListValue, text, kTextSize) != ERROR_SUCCESS)
        return false;
    *order = text;
    const size_t at = order->find(finding.ValueName[0]);
    if (at == std::string::npos)
        return false;
    order->erase(at, 1);
    return true;
}

void Remove(const Finding& finding, RegistryWrites& writes) {
    if (finding.Mend == MendKind::RemoveKey) {
        writes.DeleteTree(finding.Hive, finding.KeyPath);
        return;
    }
    std::string order;
    const bool ordered = OrderWithout(finding, &order);
    writes.DeleteValue(finding.Hive, finding.KeyPath, finding.ValueName.c_str());
    if (ordered && order.empty())
        writes.DeleteValue(finding.Hive, finding.KeyPath, kMruListValue);
    else if (ordered)
        writes.SetText(finding.Hive, finding.KeyPath, kMruListValue, order);
}

std::string MendTitle(size_t count) {
    return count == 1 ? kUndoMendOne : kUndoMendStart + std::to_string(count) + kUndoMendProblems;
}

} // namespace

bool Removable(const Finding& finding, RunMode mode) {
    return finding.Mend != MendKind::EditAction &&
           finding.Hive == (mode == RunMode::Admin ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER);
}

std::string MendText(const Finding& finding) {
    const std::string key = KeyDisplayName(finding.Hive, finding.KeyPath);
    if (finding.Mend == MendKind::RemoveKey)
        return kTextMendKeyStart + key + kTextMendKeyEnd;
    std::string text = finding.ValueName.empty()
                           ? kTextMendDefaultValue + key
                           : kTextMendValueStart + finding.ValueName + kTextMendValueEnd + key;
    std::string order;
    if (OrderWithout(finding, &order))
        text += kTextMendOrderStart + finding.ValueName + kTextMendOrderEnd;
    return text;
}

ChangeOutcome MendFindings(const std::vector<Finding>& findings, RunMode mode) {
    std::vector<const Finding*> mended;
    std::vector<KeyState> keys;
    std::string extension;
    for (const Finding& finding : findings) {
        if (!Removable(finding, mode))
            continue;
        // One extension names the change; several, none.
        extension = mended.empty() || extension == finding.Extension ? finding.Extension : "";
        mended.push_back(&finding);
        bool kept = false;
        for (const KeyState& key : keys)
            kept = kept || (key.Hive == finding.Hive &&
                            CompareNoCase(key.Path.c_str(), finding.KeyPath.c_str()) == 0);
        if (!kept)
            keys.push_back(KeyOf(finding.Hive, finding.KeyPath));
    }
    if (mended.empty())
        return ChangeOutcome();
    return MakeChange(MendTitle(mended.size()), extension, std::move(keys),
                      [&](RegistryWrites& writes) {
                          for (const Finding* finding : mended)
                              Remove(*finding, writes);
                      });
}
