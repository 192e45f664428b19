// The rules both writers share: how an extension's class is found or made,
// and how each kind of value is written. Every rule writes through the
// change's checked writes, in the hive it is given: HKEY_CURRENT_USER in
// user mode, HKEY_LOCAL_MACHINE in admin mode.
#pragma once
#include "platform/registry_layout.h"
#include "platform/registry_write.h"
#include "records/file_type.h"

#include <windows.h>

#include <string>

// "Software\Classes\" + name (+ "\" + subKey); "" where name cannot name a
// key of its own, so that nothing is ever written to "Software\Classes\"
// itself or below a path in its place.
std::string ClassesKeyPath(const std::string& name, const char* subKey = nullptr);

// The class of hive's key of extension (LookupFileClass); "" for none or an
// empty one.
std::string FindClassIn(HKEY hive, const std::string& extension);
// The name of an extension's new class: its name without the "." followed
// by "File" (a link type's is its own name), into fileClass (kTextSize
// bytes); false, and fileClass empty, when that is too long.
bool NewClassName(const char* extension, char* fileClass);
// The new class of an extension (NewClassName), written as the extension
// key's default value, and the class's empty key; a new link type's key
// with its "URL Protocol" value. "" when the name is too long to make one.
std::string CreateExtensionClass(RegistryWrites& writes, HKEY hive, const std::string& extension);

// A value of hive\path: written where the field is there, removed where it
// is absent.
void WriteOptionalText(RegistryWrites& writes, HKEY hive, const std::string& path, const char* name,
                       const TextField& field);
// "EditFlags" as REG_DWORD; removed where the field is absent or 0.
void WriteEditFlags(RegistryWrites& writes, HKEY hive, const std::string& classPath,
                    const NumberField& flags);
// Moves "FriendlyTypeName" to "FriendlyTypeNameBak" (REG_SZ) after a new
// description was written; true when the key had a "FriendlyTypeName".
bool BackUpFriendlyTypeName(RegistryWrites& writes, HKEY hive, const std::string& classPath);

// A command's type: REG_EXPAND_SZ when its program, past an opening quote,
// begins with "%", else REG_SZ.
DWORD CommandValueType(const std::string& command);
