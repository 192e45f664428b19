// Hostile registry fixtures: extensions whose values have odd sizes or types,
// whose icons and commands lead nowhere, and whose names are long. Each
// seeding function writes its extensions in hive and returns their names.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace kvr {

// Content Type, PerceivedType, description, DefaultIcon and open command of
// 260, 261 and 4,000 bytes, each with and without a terminating zero:
// ".kvtv260n" (no zero), ".kvtv260z" (zero included), ...
std::vector<std::string> SeedOddSizes(HKEY hive);
// REG_BINARY, REG_DWORD, REG_MULTI_SZ and REG_NONE where text is read:
// ".kvtt<type>" on the extension's values, ".kvtu<type>" on its class's.
std::vector<std::string> SeedWrongTypes(HKEY hive);
// "EditFlags" of 0, 1, 2, 4, 8 and 100 bytes: ".kvtef<size>".
std::vector<std::string> SeedEditFlagSizes(HKEY hive);
// DefaultIcon locations naming nothing usable: ".kvti<tag>".
std::vector<std::string> SeedIconLocations(HKEY hive);
// Open commands of quotes, blanks, undefined and overlong variables, 300
// characters: ".kvtc<tag>".
std::vector<std::string> SeedCommands(HKEY hive);
// Classes named with 49, 50, 255, 259, 260 and 300 characters, named by the
// extension's default value (".kvtcn<length>") or by a value name under its
// "OpenWithProgIDs" (".kvtpi<length>"); the class keys that the registry
// admits exist with a description and EditFlags.
std::vector<std::string> SeedLongClassNames(HKEY hive);

// The variable KVTLONG, which expands to 300 characters.
void SetLongVariable();

} // namespace kvr
