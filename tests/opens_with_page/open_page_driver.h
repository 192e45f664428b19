// Runs the property editor on its "Open" page the way the main window opens
// it, over a details pane of the test's own.
#pragma once
#include "harness/dialog_driver.h"
#include "harness/registry_fixture.h"

#include <string>
#include <vector>

namespace kvt {

struct PageSetup {
    bool admin = false;
    // Create mode: nothing is copied from the pane.
    bool create = false;
    std::string extension = ".kvtdoc";
    // The details pane as the editor copies it.
    std::string opensWith, programFile, programPath, args;
    // Shown by the pane and handed over to the page; the test owns it.
    HICON paneIcon = nullptr;
    bool hasDde = false;
};

// Opens the editor (edit or create mode), shows its "Open" page and runs the
// script on it; whatever the script leaves open is then closed.
void RunOpensWithPage(const PageSetup& setup, const std::function<void(User&, HWND page)>& script);

// The program combo's items of the test's own applications, in the combo's
// order, each as "friendly name (application key name)".
std::vector<std::string> TestPrograms(HWND combo);
// The item of the combo that carries this application key name, or -1.
int ComboIndexOf(HWND combo, const std::string& application);

// Registers a program below Applications: its command under the verb, and
// its friendly name when one is given.
void SeedApplication(HKEY hive, const std::string& application, const std::string& friendlyName,
                     const std::string& command, const std::string& verb = "open");

} // namespace kvt
