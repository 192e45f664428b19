// The default associations configuration file: the XML that Windows' image
// tool writes ("Dism /Online /Export-DefaultAppAssociations") and that the
// policy "Set a default associations configuration file" applies at sign-in.
// It is read and written through the system's XmlLite, loaded when needed.
#pragma once
#include <string>
#include <vector>

// One <Association>: an extension (".txt") or a link scheme ("mailto"), the
// class that opens it and the program's name; Windows 11 adds Version and
// Suggested. Line and Column say where the element was read, 0 for none.
struct DefaultAssociation {
    std::string Identifier, ProgId, ApplicationName, Version;
    bool Suggested = false;
    int Line = 0, Column = 0;
};

// What a file held, or why it could not be read: Error is empty when it was
// read, else "line L, column C: what was wrong" ("PATH: ..." for a file that
// cannot be opened). Attributes other than the five above, and elements
// other than the root's Associations, are passed over.
struct DefaultAssociationsFile {
    std::vector<DefaultAssociation> Associations;
    std::string Error;
};

// The file's bytes in the layout the image tool writes: the declaration
// (UTF-8), the root and one <Association .../> a line, indented by two
// blanks; Version and Suggested only where they are set. Empty when XmlLite
// cannot be had or refuses a text (a control character).
std::string ComposeDefaultAssociations(const std::vector<DefaultAssociation>& associations);
DefaultAssociationsFile ReadDefaultAssociations(const std::string& bytes);
DefaultAssociationsFile ReadDefaultAssociationsFile(const std::string& path);
