#include "robustness/hostile_seed.h"

#include "harness/registry_fixture.h"
#include "robustness/robust_kit.h"

namespace kvr {

namespace {

using kvt::Classes;

constexpr char kPlainCommand[] = "\"C:\\kvt\\app.exe\" \"%1\"";

std::vector<BYTE> BytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// size bytes of text: with a terminating zero as its last byte, or without.
std::vector<BYTE> SizedText(const std::string& prefix, size_t size, bool zero,
                            const std::string& suffix = "") {
    std::string text = NameOfLength(prefix, (zero ? size - 1 : size) - suffix.size()) + suffix;
    if (zero)
        text.push_back('\0');
    return BytesOf(text);
}

void SeedPlain(HKEY hive, const std::string& extension, const std::string& fileClass,
               const std::string& command = kPlainCommand) {
    kvt::SeedExtension(hive, extension, fileClass, "Hostile " + extension, command);
}

} // namespace

std::vector<std::string> SeedOddSizes(HKEY hive) {
    std::vector<std::string> extensions;
    for (size_t size : {260, 261, 4000}) {
        for (bool zero : {false, true}) {
            const std::string tag = std::to_string(size) + (zero ? "z" : "n");
            const std::string extension = ".kvtv" + tag, fileClass = "kvtv" + tag + "file";
            SeedPlain(hive, extension, fileClass);
            for (const char* name : {"Content Type", "PerceivedType"})
                kvt::SetBytes(hive, Classes(extension), name, REG_SZ, SizedText("t/", size, zero));
            kvt::SetBytes(hive, Classes(fileClass), nullptr, REG_SZ, SizedText("d", size, zero));
            kvt::SetBytes(hive, Classes(fileClass + "\\DefaultIcon"), nullptr, REG_SZ,
                          SizedText("C:\\i", size, zero, ".ico"));
            kvt::SetBytes(hive, Classes(fileClass + "\\shell\\open\\command"), nullptr, REG_SZ,
                          SizedText("\"C:\\p", size, zero, "\\a.exe\""));
            extensions.push_back(extension);
        }
    }
    return extensions;
}

std::vector<std::string> SeedWrongTypes(HKEY hive) {
    std::vector<std::string> extensions;
    for (DWORD type : {REG_BINARY, REG_DWORD, REG_MULTI_SZ, REG_NONE}) {
        std::vector<BYTE> data = {'k', 'v', 't', 'x', '\0', 'y', '\0', '\0'};
        if (type == REG_DWORD)
            data.resize(4);
        const std::string tag = std::to_string(type);
        const std::string onExtension = ".kvtt" + tag;
        for (const char* name :
             {static_cast<const char*>(nullptr), "Content Type", "PerceivedType"})
            kvt::SetBytes(hive, Classes(onExtension), name, type, data);
        extensions.push_back(onExtension);

        const std::string onClass = ".kvtu" + tag, fileClass = "kvtu" + tag + "file";
        kvt::SetText(hive, Classes(onClass), nullptr, fileClass);
        for (const char* key : {"", "\\DefaultIcon", "\\shell\\open\\command",
                                "\\shell\\Open\\ddeexec", "\\shell\\Open\\ddeexec\\Topic"})
            kvt::SetBytes(hive, Classes(fileClass + key), nullptr, type, data);
        extensions.push_back(onClass);
    }
    return extensions;
}

std::vector<std::string> SeedEditFlagSizes(HKEY hive) {
    std::vector<std::string> extensions;
    for (size_t size : {0, 1, 2, 4, 8, 100}) {
        const std::string extension = ".kvtef" + std::to_string(size);
        const std::string fileClass = "kvtef" + std::to_string(size) + "file";
        SeedPlain(hive, extension, fileClass);
        kvt::SetBytes(hive, Classes(fileClass), "EditFlags", REG_BINARY,
                      std::vector<BYTE>(size, 0xFF));
        extensions.push_back(extension);
    }
    return extensions;
}

std::vector<std::string> SeedIconLocations(HKEY hive) {
    const HostileFiles& files = Files();
    const std::pair<const char*, std::string> locations[] = {
        {"missing", files.missing},
        {"missingi", files.missing + ",0"},
        {"dir", files.directory},
        {"diri", files.directory + ",1"},
        {"notpe", files.notPe + ",0"},
        {"notpeid", files.notPe + ",-5"},
        {"trunc", files.truncated + ",0"},
        {"truncid", files.truncated + ",-1"},
        {"badico", files.badIcon},
        {"badicoi", files.badIcon + ",0"},
        {"past", files.module + ",999"},
        {"noid", files.module + ",-9999"},
        {"sign", files.module + ",-"},
        {"huge", files.module + ",99999999999999999999"},
        {"quoted", "\"" + files.module + "\",1"},
        {"comma", ","},
        {"undef", "%KVTUNDEFINED%\\x.ico,2"},
        {"long", "%KVTLONG%\\x.ico,0"},
        {"empty", ""},
        {"blank", "   "}};
    std::vector<std::string> extensions;
    for (const auto& [tag, location] : locations) {
        const std::string extension = std::string(".kvti") + tag;
        const std::string fileClass = std::string("kvti") + tag + "file";
        SeedPlain(hive, extension, fileClass);
        kvt::SetText(hive, Classes(fileClass + "\\DefaultIcon"), nullptr, location);
        extensions.push_back(extension);
    }
    return extensions;
}

std::vector<std::string> SeedCommands(HKEY hive) {
    const std::pair<const char*, std::string> commands[] = {
        {"q1", "\""},
        {"q2", "\"\""},
        {"q3", "\"\"\""},
        {"blank", "     "},
        {"tab", "\t \t"},
        {"c259", "C:\\" + NameOfLength("p", 244) + "\\a.exe %1"},
        {"c300", "C:\\" + NameOfLength("p", 250) + "\\app.exe %1 " + std::string(33, 'a')},
        {"open", "\"C:\\Program Files\\kvt app.exe %1"},
        {"openarg", "C:\\kvt\\app.exe \"%1"},
        {"mid", "app.exe\" x \"y"},
        {"undef", "%KVTUNDEFINED%\\app.exe %1"},
        {"long", "%KVTLONG%\\app.exe %1"},
        {"longq", "\"%KVTLONG%\\app.exe\" %1"},
        {"r", "r"},
        {"slash", "\\"},
        {"slashes", "\\\\\\\\"},
        {"rundll", "rundll32.exe"},
        {"percent", "%"},
        {"commas", ",,,"}};
    std::vector<std::string> extensions;
    for (const auto& [tag, command] : commands) {
        const std::string extension = std::string(".kvtc") + tag;
        const std::string fileClass = std::string("kvtc") + tag + "file";
        SeedPlain(hive, extension, fileClass, command);
        extensions.push_back(extension);
    }
    return extensions;
}

std::vector<std::string> SeedLongClassNames(HKEY hive) {
    std::vector<std::string> extensions;
    for (size_t length : {49, 50, 255, 259, 260, 300}) {
        const std::string fileClass = NameOfLength("kvtcn", length);
        const std::string byDefault = ".kvtcn" + std::to_string(length);
        kvt::SetText(hive, Classes(byDefault), nullptr, fileClass);
        const std::string byProgId = ".kvtpi" + std::to_string(length);
        kvt::SetText(hive, Classes(byProgId + "\\OpenWithProgIDs"), fileClass.c_str(), "");
        // The registry admits key names up to 255 characters.
        SetValueBelow(hive, "Software\\Classes", fileClass, nullptr, REG_SZ,
                      std::string("Long class") + '\0');
        SetValueBelow(hive, "Software\\Classes", fileClass, "EditFlags", REG_DWORD,
                      std::string("\x01\x00\x00\x00", 4));
        extensions.push_back(byDefault);
        extensions.push_back(byProgId);
    }
    return extensions;
}

void SetLongVariable() {
    SetEnvironmentVariableA("KVTLONG", ("C:\\" + NameOfLength("v", 297)).c_str());
}

} // namespace kvr
