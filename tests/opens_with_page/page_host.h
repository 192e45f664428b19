// A stand-in for the property editor that runs the Opens-with page as the
// editor does: the page is created as a child of a modal dialog, the details
// pane's texts and program icon are copied into it, and the page's fillers
// run in the editor's order for the mode.
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
    // Admin mode: ReadDdeMachine runs; these texts are in the DDE edits before.
    bool hasDde = false;
    std::string staleDde;
};

// Runs the page until the script ends; the host then closes as the editor
// does (item data released, the pop-up menu destroyed).
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
