// Where file associations live in the registry: the key and value names the
// program reads and writes, spelled as the shell spells them ("open" in the
// command's key, "Open" in the DDE keys), and the paths built from them.
#pragma once
#include "platform/registry.h"
#include "text/text.h"

#include <windows.h>

#include <cstddef>

// Below a hive.
constexpr char kClassesKey[] = "Software\\Classes";
constexpr char kFileExtsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
constexpr char kApplicationsPath[] = "Software\\Classes\\Applications";
constexpr char kContentTypeDatabaseKey[] = "SOFTWARE\\Classes\\MIME\\Database\\Content Type";
// The user's choices of program for link types, one key per scheme.
constexpr char kUrlAssociationsKey[] =
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations";
// Below Software\Classes, and below HKEY_CLASSES_ROOT.
constexpr char kApplicationsKey[] = "Applications";
// Below an extension key.
constexpr char kOpenWithProgIds[] = "OpenWithProgIDs";
constexpr char kContentTypeValue[] = "Content Type";
constexpr char kPerceivedTypeValue[] = "PerceivedType";
// Below a class key: the value that makes the class a link type, whose
// scheme is the class's own name ("mailto").
constexpr char kUrlProtocolValue[] = "URL Protocol";
// Below a class key or an application key.
constexpr char kDefaultIconKey[] = "DefaultIcon";
constexpr char kOpenCommandKey[] = "shell\\open\\command";
constexpr char kEditCommandKey[] = "shell\\edit\\command";
constexpr char kDdeCommandKey[] = "shell\\Open\\ddeexec";
constexpr char kDdeApplicationKey[] = "shell\\Open\\ddeexec\\Application";
constexpr char kDdeTopicKey[] = "shell\\Open\\ddeexec\\Topic";
constexpr char kEditFlagsValue[] = "EditFlags";
constexpr char kFriendlyTypeNameValue[] = "FriendlyTypeName";
constexpr char kFriendlyTypeNameBackupValue[] = "FriendlyTypeNameBak";
constexpr char kFriendlyAppNameValue[] = "FriendlyAppName";
// A packaged app's class names its program in a key of its own.
constexpr char kPackagedApplicationNameKey[] = "Application";
constexpr char kPackagedApplicationNameValue[] = "ApplicationName";
// The class the user chose for an extension ("Always use this app"), in the
// user's FileExts entry of it ("Progid" on Windows 7; value names are
// case-blind).
constexpr char kUserChoiceKey[] = "UserChoice";
constexpr char kProgIdValue[] = "ProgId";
// The user's Open With list of an extension, and its order value.
constexpr char kMruListValue[] = "MRUList";

// Room for a path of the fixed parts and two names of up to 260 characters.
constexpr size_t kRegistryPathSize = 2 * kTextSize + 128;

// 1 when name can name one key of its own: not empty and without a
// backslash, so that nothing is ever written to or deleted from
// "Software\Classes\" itself or a key below another one.
int IsKeyName(const char* name);
// Whether name is that of a link type (its scheme) rather than of an
// extension: a key name that does not begin with ".". A link type is its
// own class; an extension names one.
bool IsLinkName(const char* name);

// "Software\Classes\" + name, and "\" + subKey when subKey is not null, into
// path (kRegistryPathSize bytes). False, and path empty, when name is not a
// key name.
bool ClassesPath(const char* name, const char* subKey, char* path);
// The user's "...\Explorer\FileExts\" + extension + "\OpenWithList" into path
// (kRegistryPathSize bytes); false, and path empty, when extension is not a
// key name or is a link type's, which has no such list.
bool OpenWithListPath(const char* extension, char* path);

// The user's own entry of a type, below HKEY_CURRENT_USER, into path
// (kRegistryPathSize bytes): "...\Explorer\FileExts\" + extension, or for a
// link type kUrlAssociationsKey + "\" + scheme; false, and path empty, when
// name is not a key name.
bool UserEntryPath(const char* name, char* path);
// The class the user chose for the type, in its entry's "UserChoice" key,
// into path as above.
bool UserChoicePath(const char* name, char* path);

// Opens hive\"Software\Classes\" + name (+ "\" + subKey when not null) into
// key; a name that is not a key name opens nothing (ERROR_INVALID_NAME).
LONG OpenClassesKey(HKEY hive, const char* name, const char* subKey, REGSAM access, RegKey* key);
// 1 when hive\"Software\Classes\" + name opens, else 0.
int HasClassesKey(HKEY hive, const char* name);

// The class lookup on the open key of the type name: a link type is its own
// class; an extension's is its default value, else the name of the first
// value of its "OpenWithProgIDs" sub-key (empty when that sub-key has none).
// 1 with the class in fileClass (kTextSize bytes), or 0 and fileClass empty
// when the type has no class.
int LookupFileClass(const char* name, HKEY key, char* fileClass);
// 1 when the class key of hive is there and holds kUrlProtocolValue.
int HasLinkClass(HKEY hive, const char* name);
