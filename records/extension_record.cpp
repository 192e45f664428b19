// The extension record's process-wide instances.
#include "records/extension_record.h"

char CurrentExtension[kNameSize];
char NewExtensionName[kNameSize];
DetailsPaneRecord DetailsPane;
ExtensionRecordFlags ExtensionRecord;
char IconLocation[kNameSize];
SHFILEINFOA ShellFileInfo;
