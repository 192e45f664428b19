// The text of the changed-extensions file.
#include "compare/changed_extensions_text.h"

#include "resources/texts.h"
#include "text/text.h"

std::string ComposeChangedExtensions(const char* description,
                                     const std::vector<ChangedExtension>& rows) {
    char title[kSaveDescriptionSize] = {};
    CopyTextBounded(description, title, kSaveDescriptionSize);
    TrimText(title);
    std::string text = kSaveTitlePrefix;
    text += title[0] ? title : kTextDefaultSaveTitle;
    text += kSaveLineEnd;
    for (const ChangedExtension& row : rows) {
        text += row.Kind == kChangeAdded ? kSaveAddedPrefix : kSaveDeletedPrefix;
        text += row.Name;
        text += kSaveLineEnd;
    }
    return text;
}
