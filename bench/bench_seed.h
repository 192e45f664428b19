// The catalogue benchmark's prefix, which the export benchmark uses too: N
// machine extensions .kvb00000 ..., each with a class of its own, content
// type, perceived type, DefaultIcon and open command, and N/10 user
// extensions, half of them overriding machine ones (.kvb00000, .kvb00020,
// ...), half the user's own (.kvu...).
// Link types likewise, at a tenth of the extensions' numbers: N/100 machine
// classes kvblink00000 ... and N/1000 user ones, half overriding machine ones
// (kvblink00000, kvblink00020, ...), half the user's own (kvulink...), each
// holding "URL Protocol", a description, DefaultIcon and open command. They
// add no "."-key, so a build without link types sees the same extensions.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstring>

constexpr char kClasses[] = "Software\\Classes";

// Seeding, with the raw registry calls, one open classes key per hive.

inline void SetText(HKEY key, const char* name, const char* text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(strlen(text) + 1));
}

inline void SetSubKeyText(HKEY key, const char* subKey, const char* text) {
    HKEY child;
    if (RegCreateKeyExA(key, subKey, 0, nullptr, 0, KEY_WRITE, nullptr, &child, nullptr) != 0)
        return;
    SetText(child, nullptr, text);
    RegCloseKey(child);
}

// Wine's notepad.exe has no version block; regedit.exe has one, so the
// friendly name comes from the file as it would for a program on Windows.
inline void WriteExtension(HKEY classes, const char* extension, const char* fileClass) {
    HKEY key;
    if (RegCreateKeyExA(classes, extension, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0)
        return;
    SetText(key, nullptr, fileClass);
    SetText(key, "Content Type", "application/x-kvbench");
    SetText(key, "PerceivedType", "document");
    RegCloseKey(key);

    if (RegCreateKeyExA(classes, fileClass, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0)
        return;
    SetText(key, nullptr, "Benchmark document");
    DWORD flags = 0x10000;
    RegSetValueExA(key, "EditFlags", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&flags), 4);
    SetSubKeyText(key, "DefaultIcon", "%SystemRoot%\\system32\\shell32.dll,1");
    SetSubKeyText(key, "shell\\open\\command", "\"C:\\windows\\regedit.exe\" \"%1\"");
    RegCloseKey(key);
}

// A class that makes a link type: "URL Protocol" is what marks it.
inline void WriteLinkType(HKEY classes, const char* scheme) {
    HKEY key;
    if (RegCreateKeyExA(classes, scheme, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0)
        return;
    SetText(key, nullptr, "URL:Benchmark link");
    SetText(key, "URL Protocol", "");
    SetSubKeyText(key, "DefaultIcon", "%SystemRoot%\\system32\\shell32.dll,1");
    SetSubKeyText(key, "shell\\open\\command", "\"C:\\windows\\regedit.exe\" \"%1\"");
    RegCloseKey(key);
}

inline void MachineName(int i, char* name, size_t size) {
    snprintf(name, size, ".kvb%05d", i);
}

// User extension i: the even ones override machine extension 10 * i.
inline void UserName(int i, char* name, size_t size) {
    if (i % 2 == 0)
        MachineName(i * 10, name, size);
    else
        snprintf(name, size, ".kvu%05d", i);
}

inline int MachineLinkCount(int count) {
    return count / 100;
}
inline int UserLinkCount(int count) {
    return count / 1000;
}

inline void MachineLinkName(int i, char* name, size_t size) {
    snprintf(name, size, "kvblink%05d", i);
}

// User link type i: the even ones override machine link type 10 * i.
inline void UserLinkName(int i, char* name, size_t size) {
    if (i % 2 == 0)
        MachineLinkName(i * 10, name, size);
    else
        snprintf(name, size, "kvulink%05d", i);
}

inline int Seed(int count) {
    HKEY machine, user;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kClasses, 0, nullptr, 0, KEY_WRITE, nullptr, &machine,
                        nullptr) != 0 ||
        RegCreateKeyExA(HKEY_CURRENT_USER, kClasses, 0, nullptr, 0, KEY_WRITE, nullptr, &user,
                        nullptr) != 0) {
        printf("cannot open the classes keys\n");
        return 1;
    }
    char extension[32], fileClass[32];
    for (int i = 0; i < count; ++i) {
        MachineName(i, extension, sizeof extension);
        snprintf(fileClass, sizeof fileClass, "kvbfile%05d", i);
        WriteExtension(machine, extension, fileClass);
    }
    for (int i = 0; i < count / 10; ++i) {
        UserName(i, extension, sizeof extension);
        snprintf(fileClass, sizeof fileClass, "kvufile%05d", i);
        WriteExtension(user, extension, fileClass);
    }
    for (int i = 0; i < MachineLinkCount(count); ++i) {
        MachineLinkName(i, extension, sizeof extension);
        WriteLinkType(machine, extension);
    }
    for (int i = 0; i < UserLinkCount(count); ++i) {
        UserLinkName(i, extension, sizeof extension);
        WriteLinkType(user, extension);
    }
    RegCloseKey(machine);
    RegCloseKey(user);
    printf("seeded %d machine and %d user extensions, %d machine and %d user link types\n", count,
           count / 10, MachineLinkCount(count), UserLinkCount(count));
    return 0;
}
