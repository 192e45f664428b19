// Registry fixtures for the tests: seed keys and typed values in either hive,
// read them back with their type through the raw Win32 API (never through the
// program's own registry layer), and keep every test's keys apart.
//
// Every key a test creates carries "kvt" at the start of its name (".kvtdoc",
// "kvtdocfile", "kvtview.exe"); RegistryTest removes all of them before and
// after each test, so each test starts from the prefix's own registry.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvt {

// "Software\Classes\" + name.
std::string Classes(const std::string& name);
// The user's Open With list of an extension.
std::string OpenWithListPath(const std::string& extension);

struct Value {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    // The data as text without its terminating zero.
    std::string Text() const;
    DWORD Dword() const;
};

void CreateKey(HKEY hive, const std::string& path);
void SetText(HKEY hive, const std::string& path, const char* name, const std::string& text,
             DWORD type = REG_SZ);
void SetDword(HKEY hive, const std::string& path, const char* name, DWORD value);
void SetBytes(HKEY hive, const std::string& path, const char* name, DWORD type,
              const std::vector<BYTE>& data);
void DeleteKey(HKEY hive, const std::string& path);

Value ReadValue(HKEY hive, const std::string& path, const char* name);
bool KeyExists(HKEY hive, const std::string& path);
std::vector<std::string> SubKeyNames(HKEY hive, const std::string& path);
std::vector<std::string> ValueNames(HKEY hive, const std::string& path);
// Number of "."-keys of hive\Software\Classes whose names have at most
// maxLength characters.
int CountExtensionKeys(HKEY hive, size_t maxLength = 49);

// A typical extension: hive\Software\Classes\extension with class fileClass,
// the class with a description and an open command.
void SeedExtension(HKEY hive, const std::string& extension, const std::string& fileClass,
                   const std::string& description, const std::string& command);

// Seeds the registry from text in the form of a .reg file:
//   [HKLM\Software\Classes\.kvtdoc]   the key, created ([-HKLM\...] deletes it)
//   @="kvtdocfile"                      its default value, REG_SZ
//   "Content Type"="text/plain"         a named value; \\ and \" as in .reg files
//   "Command"=expand:"%SystemRoot%"     REG_EXPAND_SZ
//   "EditFlags"=dword:00010000          REG_DWORD
//   "EditFlags"=hex:00,00,01,00         REG_BINARY
// HKLM and HKCU name the hives; blank lines and lines starting with ";" are
// skipped. A line it cannot read fails the test that gave it.
void Seed(const std::string& text);

// Removes every "kvt" key the tests may have created.
void RemoveTestKeys();

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { RemoveTestKeys(); }
    void TearDown() override { RemoveTestKeys(); }
};

void ExpectText(HKEY hive, const std::string& path, const char* name, const std::string& expected,
                DWORD type);
void ExpectAbsentValue(HKEY hive, const std::string& path, const char* name);

} // namespace kvt

// Registry checks that report the line of the test that makes them.
#define EXPECT_REG_TEXT(hive, path, name, expected)                                                \
    do {                                                                                           \
        SCOPED_TRACE("registry check");                                                            \
        kvt::ExpectText(hive, path, name, expected, REG_SZ);                                       \
    } while (0)
#define EXPECT_REG_TEXT_TYPED(hive, path, name, expected, type)                                    \
    do {                                                                                           \
        SCOPED_TRACE("registry check");                                                            \
        kvt::ExpectText(hive, path, name, expected, type);                                         \
    } while (0)
#define EXPECT_REG_ABSENT(hive, path, name)                                                        \
    do {                                                                                           \
        SCOPED_TRACE("registry check");                                                            \
        kvt::ExpectAbsentValue(hive, path, name);                                                  \
    } while (0)
