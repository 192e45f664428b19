// kvel.com: KVEL's command line. Named .com beside KVEL.exe, so that "kvel"
// typed in cmd or PowerShell runs it before the window program.
#include "cli/commands.h"
#include "platform/handles.h"
#include "records/app_state.h"
#include "text/system_text.h"

#include <windows.h>
#include <shellapi.h>

int main() {
    int count = 0;
    const ArgumentsOwner arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> texts;
    for (int index = 1; arguments && index < count; ++index)
        texts.push_back(ProgramText(arguments.get()[index], wcslen(arguments.get()[index])));
    // The shell's file information and the default associations' XmlLite
    // want COM.
    ComScope com;
    AppDirectoryOf(AppState.AppDirectory);
    return RunInvocation(ReadInvocation(texts));
}
