// Entry point of every test program: the state prepared as KVEL.exe does, and
// the programs the fixtures name put on disk (the shell finds only those).
#include "app/startup.h"
#include "platform/handles.h"
#include "records/app_state.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <fstream>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ComScope com;
    const char* const programs[][2] = {
        {"C:\\Tools\\kvtview.exe", "notepad.exe"},
        {"C:\\Program Files\\Kv Tool\\kvtool.exe", "notepad.exe"},
        {"C:\\kvt\\Kv Tool\\kvtool.exe", "notepad.exe"},
        {"C:\\kvt\\Kv Tool\\kvtnamed.exe", "notepad.exe"},
        {"C:\\kvt\\kvtver.exe", "winver.exe"},
        {"C:\\Программы\\Kv\\kvu.exe", "notepad.exe"},
        {"C:\\Программы\\Kv 文\\kvu 📄.exe", "notepad.exe"},
    };
    for (const auto& program : programs) {
        const std::string path = program[0];
        SHCreateDirectoryExA(nullptr, path.substr(0, path.rfind('\\')).c_str(), nullptr);
        CopyFileA((std::string("C:\\windows\\system32\\") + program[1]).c_str(), path.c_str(), 0);
    }
    // A program cut short: the icon readers must never be given it.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string head(4096, '\0');
    std::ifstream(self, std::ios::binary).read(&head[0], head.size());
    std::ofstream("C:\\Tools\\kvtcut.exe", std::ios::binary) << head;
    PrepareAppState();
    // Fixtures name the test library's texts as "@%KVTBIN%kvtstrings.dll,-id".
    SetEnvironmentVariableA("KVTBIN", AppState.AppDirectory);
    return RUN_ALL_TESTS();
}
