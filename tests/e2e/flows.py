"""The flows: KVEL as a person uses it, checked on the screen, in the
registry (read with Wine's reg.exe) and in the files it writes.

Every flow starts KVEL.exe itself, works on extensions of its own (see
fixtures.py) and ends it through the program's own "Exit" or close box.
"""

import ntpath
import os
import re

from desktop import FILE_NAME_IDS, IDNO, IDOK, IDYES, StepFailed
from fixtures import IEXPLORE, REGEDIT, TASKMGR
from kvel import ID, Editor, Kvel

FLOWS = {}

MACHINE = r"HKLM\Software\Classes"
USER = r"HKCU\Software\Classes"
REGEDIT_NAME = "Wine Registry Editor"
ARGS = '"%1"'


def flow(function):
    FLOWS[function.__name__] = function
    return function


def expect(expected, found, what):
    if expected != found:
        raise StepFailed(f"{what}: {expected!r}", found)


def expect_values(work, key, expected):
    """The key holds at least these values, read with reg.exe."""
    values = work.registry.values(key)
    if values is None:
        raise StepFailed(f"the key {key} with {expected}", "no such key")
    wrong = {name: values.get(name) for name, data in expected.items()
             if values.get(name) != data}
    if wrong:
        raise StepFailed(f"{key} holding {expected}", wrong)


def expect_absent(work, key):
    if work.registry.exists(key):
        raise StepFailed(f"no key {key}", work.registry.values(key))


def dot_keys(work, key):
    return {name.lower() for name in work.registry.subkeys(key) or [] if name.startswith(".")}


def expected_status(work, admin):
    """The status text from the registry as reg.exe sees it."""
    machine = dot_keys(work, MACHINE)
    if admin:
        return f"{len(machine)} Registered file extensions "
    user = dot_keys(work, USER)
    total = len(machine | user)
    return (f"{total} Registered file extensions - User Customized={len(machine & user)}"
            f"  User Defined={len(user - machine)}")


def counts(status):
    """(total, customized, defined) from a user-mode status text."""
    numbers = re.findall(r"\d+", status)
    return tuple(int(n) for n in numbers)


def message(box):
    """A message box's text with its line ends as the program wrote them."""
    return box.message().replace("\r\n", "\n").replace("\n", "\r\n")


def open_command(program, args=ARGS):
    """A registered open command: the program quoted, then its arguments."""
    return f'"{program}" {args}'


def composed_command(program, args=ARGS):
    """The open command the editor writes: folder and file of the Open page
    joined (in quotes when that holds a blank), one blank, the arguments."""
    if " " in program:
        program = f'"{program}"'
    return f"{program} {args}"


# --- Dialogs used by several flows


def name_entry(app, menu_entry, caption, typed, from_tree=None, kept=None):
    """Opens the name entry from a context menu and types a name; the entry
    then shows kept (by default what was typed)."""
    if from_tree:
        app.tree_menu(from_tree, menu_entry)
    else:
        app.list_menu(menu_entry)
    entry = app.wait_dialog(caption)
    if not typed:
        return entry
    return app.desktop.replace_text(entry, ID.IDC_ENTRY_NAME, typed, shown=kept)


def file_name_field(dialog):
    for control_id in FILE_NAME_IDS:
        control = dialog.control(control_id)
        if control is not None:
            return control_id
    raise StepFailed("a file name field in the file dialog", dialog.describe())


def close_box(app, window):
    app.desktop.click_close_box(window)
    app.desktop.wait_gone(window)


# --- User mode


@flow
def user_details(work):
    app = Kvel(work)
    d = work.desktop
    d.step("the catalogue counts the registry's extensions and shows the first one")
    app.wait_status(expected_status(work, admin=False))
    listing = app.list_control()
    expect(sorted(listing.texts(), key=str.lower), listing.texts(), "the list in name order")
    app.wait_details({"Extension": listing.texts()[0]})

    d.step("a click on .png shows its type, program and icon")
    app.click_row(".png")
    app.wait_details({"File Type": "PNG Image", "Perceived Type": "image",
                      "Content Type": "image/png", "Opens With": "Wine Internet Explorer",
                      "Program File": "iexplore.exe",
                      "Program Path": ntpath.dirname(IEXPLORE) + "\\", "Args": ARGS,
                      "Icon File": "shell32.dll", "Icon Path": "C:\\windows\\system32\\",
                      "DDE": "No", "Edit Flags": "No"})

    d.step("the tree groups the user's extensions; a click shows the user's own values")
    tree = app.tree_control()
    expect("User Customized", app.tree_group_of(".csv"), ".csv's group")
    expect("User Defined", app.tree_group_of(".md"), ".md's group")
    expect("User Defined", app.tree_group_of(".notes"), ".notes's group")
    if ".csv" in listing.texts():
        raise StepFailed("the customised .csv only in the tree", listing.texts())
    app.click_tree_item(".csv")
    app.wait_details({"Extension": ".csv", "File Type": "My CSV Table"})
    app.click_tree_item(".md")
    app.wait_details({"Extension": ".md", "Perceived Type": "text",
                      "Content Type": "text/markdown"})

    d.step("a group item empties the pane")
    app.click_tree_item("User Defined")
    app.wait_details({"Extension": "", "File Type": "", "Opens With": "", "DDE": "No",
                      "Edit Flags": "No"})
    expect(len(tree.items), len(app.tree_control().items), "the tree unchanged")

    d.step("Escape and Return do nothing in the main window")
    d.key("Escape", "Return")
    d.stays("the main window still open", lambda s: s.one(title=app.caption, pid=app.pid))

    d.step("a click into the list shows the list's extension again")
    app.click_row(".txt")
    app.wait_details({"File Type": "Text Document", "Content Type": "text/plain"})
    app.exit()


@flow
def user_customize(work):
    app = Kvel(work)
    d = work.desktop
    status = expected_status(work, admin=False)
    app.wait_status(status)

    d.step("a double-click on the System extension .log opens the editor to customise it")
    app.double_click_row(".log")
    editor = Editor(app, "Customize properties for: .log")
    expect("Log File", editor.text(ID.IDC_GENERAL_DESCRIPTION), "the description copied")
    expect("Save", editor.text(ID.IDC_EDITOR_SAVE), "the Save button")

    d.step("change the description and the perceived type on the Icon page")
    editor.type_into(ID.IDC_GENERAL_DESCRIPTION, "Server Log")
    editor.choose(ID.IDC_GENERAL_PERCEIVED_COMBO, "text")

    d.step("choose the program on the Open page")
    editor.show_page("Open", ID.IDC_OPENSWITH_PROGRAMCOMBO)
    editor.choose(ID.IDC_OPENSWITH_PROGRAMCOMBO, REGEDIT_NAME)
    expect(REGEDIT_NAME, editor.text(ID.IDC_OPENSWITH_OPENSWITH), "Opens With after the choice")
    expect("regedit.exe", editor.text(ID.IDC_OPENSWITH_PROGRAMFILE), "File after the choice")

    d.step("tick a box on the Edit Flags page")
    editor.show_page("Edit Flags", ID.IDC_EDITFLAGS_FIRST)
    editor.click_check_box(ID.IDC_EDITFLAGS_FIRST + 17)  # "Always show extension"

    d.step("Save moves .log into User Customized")
    editor.save()
    d.wait("'.log' selected under User Customized and gone from the list",
           lambda s: app.tree_group_of(".log", s) == "User Customized"
           and ".log" in app.tree_control(s).selected()
           and ".log" not in app.list_control(s).texts())
    app.wait_details({"Extension": ".log", "File Type": "Server Log", "Perceived Type": "text",
                      "Opens With": REGEDIT_NAME, "Edit Flags": "Yes"})
    app.wait_status(expected_status(work, admin=False))
    total, customized, defined = counts(status)
    expect((total, customized + 1, defined), counts(app.status()), "the counts")

    d.step("the user's hive holds the customisation, the machine's is untouched")
    expect_values(work, rf"{USER}\.log", {"": "logfile", "PerceivedType": "text",
                                          "Content Type": "text/plain"})
    expect_values(work, rf"{USER}\logfile", {"": "Server Log"})
    expect_values(work, rf"{USER}\logfile\shell\open\command", {"": composed_command(REGEDIT)})
    # The machine's class had no flags: only the ticked box's bit is set.
    expect("0x40000", work.registry.value(rf"{USER}\logfile", "EditFlags"), "EditFlags")
    expect_values(work, rf"{MACHINE}\logfile", {"": "Log File"})
    expect_values(work, rf"{MACHINE}\.log", {"": "logfile"})

    d.step("Cancel without a change writes nothing")
    app.double_click_row(".txt")
    editor = Editor(app, "Customize properties for: .txt")
    editor.cancel()
    d.wait_gone(editor.window)
    expect_absent(work, rf"{USER}\.txt")
    if ".txt" not in app.list_control().texts():
        raise StepFailed(".txt still in the list", app.list_control().texts())
    app.exit()


@flow
def user_edit(work):
    app = Kvel(work)
    d = work.desktop
    d.step("Edit from the tree's menu opens the user's .notes")
    app.click_tree_item(".notes")
    app.wait_details({"Extension": ".notes", "File Type": "Notes"})
    app.tree_menu(".notes", "Edit")
    editor = Editor(app, "Edit properties for: .notes")
    expect("Notes", editor.text(ID.IDC_GENERAL_DESCRIPTION), "the description")

    d.step("change the description and the arguments, then Save")
    editor.type_into(ID.IDC_GENERAL_DESCRIPTION, "Meeting Notes")
    editor.show_page("Open", ID.IDC_OPENSWITH_ARGS)
    expect(ARGS, editor.text(ID.IDC_OPENSWITH_ARGS), "the arguments copied")
    editor.type_into(ID.IDC_OPENSWITH_ARGS, '/p "%1"')
    editor.save()
    app.wait_details({"Extension": ".notes", "File Type": "Meeting Notes", "Args": '/p "%1"'})
    expect_values(work, rf"{USER}\notesfile", {"": "Meeting Notes"})
    expect_values(work, rf"{USER}\notesfile\shell\open\command",
                  {"": composed_command(REGEDIT, '/p "%1"')})
    expect_absent(work, rf"{MACHINE}\.notes")

    d.step("a double-click edits again; Cancel after a change asks, and No keeps the registry")
    app.desktop.click_rect(app.tree_item(".notes")["rect"], double=True)
    editor = Editor(app, "Edit properties for: .notes")
    editor.type_into(ID.IDC_GENERAL_DESCRIPTION, "Thrown away")
    editor.cancel()
    box = app.message_box(".notes")
    expect("Do you want to save changes?", box.message(), "the question")
    app.answer(box, IDNO)
    d.wait_gone(editor.window)
    expect_values(work, rf"{USER}\notesfile", {"": "Meeting Notes"})
    app.exit()


@flow
def user_new_extension(work):
    app = Kvel(work)
    d = work.desktop
    status = expected_status(work, admin=False)
    app.wait_status(status)

    d.step("New Extension refuses the dot and the blank while typing")
    entry = name_entry(app, "New Extension", "Create New Extension", ".e2e doc", kept="e2edoc")
    app.click_button(entry, ID.IDC_ENTRY_OK)

    d.step("the editor creates .e2edoc with a description and a program")
    editor = Editor(app, "Create new extension: .e2edoc")
    expect("Create", editor.text(ID.IDC_EDITOR_SAVE), "the Save button's text")
    expect("", editor.text(ID.IDC_GENERAL_DESCRIPTION), "an empty description")
    editor.type_into(ID.IDC_GENERAL_DESCRIPTION, "E2E Document")
    editor.show_page("Open", ID.IDC_OPENSWITH_PROGRAMCOMBO)
    editor.choose(ID.IDC_OPENSWITH_PROGRAMCOMBO, REGEDIT_NAME)
    editor.save("Create")

    d.step("the new extension is selected under User Defined and written for the user")
    d.wait("'.e2edoc' selected under User Defined",
           lambda s: app.tree_group_of(".e2edoc", s) == "User Defined"
           and ".e2edoc" in app.tree_control(s).selected())
    app.wait_details({"Extension": ".e2edoc", "File Type": "E2E Document",
                      "Opens With": REGEDIT_NAME})
    app.wait_status(expected_status(work, admin=False))
    total, customized, defined = counts(status)
    expect((total + 1, customized, defined + 1), counts(app.status()), "the counts")
    expect_values(work, rf"{USER}\.e2edoc", {"": "e2edocFile"})
    expect_values(work, rf"{USER}\e2edocFile", {"": "E2E Document"})
    expect_values(work, rf"{USER}\e2edocFile\shell\open\command",
                  {"": composed_command(REGEDIT)})
    expect_absent(work, rf"{MACHINE}\.e2edoc")

    d.step("New Extension with a registered name selects it instead")
    entry = name_entry(app, "New Extension", "Create New Extension", "PNG", from_tree=".e2edoc")
    app.click_button(entry, ID.IDC_ENTRY_OK)
    d.wait_gone(entry)
    d.wait("'.png' selected in the list", lambda s: ".png" in app.list_control(s).selected())
    app.wait_details({"Extension": ".png", "File Type": "PNG Image"})
    d.stays("no editor for a registered name",
            lambda s: not s.find(title_start="Create new extension", pid=app.pid))
    app.exit()


@flow
def user_search(work):
    app = Kvel(work)
    d = work.desktop
    d.step("Search finds a user extension in the tree")
    entry = name_entry(app, "Search", "Find extension", "MD")
    app.click_button(entry, ID.IDC_ENTRY_OK)
    d.wait_gone(entry)
    d.wait("'.md' selected in the tree", lambda s: ".md" in app.tree_control(s).selected())
    app.wait_details({"Extension": ".md", "File Type": "Markdown Document"})

    d.step("Search finds a System extension in the list")
    entry = name_entry(app, "Search", "Find extension", "txt")
    app.click_button(entry, ID.IDC_ENTRY_OK)
    d.wait_gone(entry)
    d.wait("'.txt' selected in the list", lambda s: ".txt" in app.list_control(s).selected())
    app.wait_details({"Extension": ".txt"})

    d.step("an empty name is refused with a message")
    entry = name_entry(app, "Search", "Find extension", "")
    app.click_button(entry, ID.IDC_ENTRY_OK)
    box = app.message_box(None)
    expect("Can't be an empty string", box.message(), "the message")
    app.answer(box, IDOK)

    d.step("an unknown name asks to create it; No closes")
    entry = app.desktop.replace_text(app.wait_dialog("Find extension"), ID.IDC_ENTRY_NAME,
                                     "nosuch")
    app.click_button(entry, ID.IDC_ENTRY_OK)
    box = app.message_box("Not found")
    expect("Extension .nosuch was not found.\r\nWould you like to create it?",
           message(box), "the question")
    app.answer(box, IDNO)
    d.wait_gone(entry)

    d.step("Yes opens the editor in create mode; Cancel without a change creates nothing")
    entry = name_entry(app, "Search", "Find extension", "nosuch")
    app.click_button(entry, ID.IDC_ENTRY_OK)
    app.answer(app.message_box("Not found"), IDYES)
    editor = Editor(app, "Create new extension: .nosuch")
    editor.cancel()
    d.wait_gone(editor.window)
    expect_absent(work, rf"{USER}\.nosuch")
    if app.tree_group_of(".nosuch") is not None:
        raise StepFailed("no .nosuch in the tree", app.tree_control().texts())
    app.exit()


@flow
def user_delete_restore(work):
    app = Kvel(work)
    d = work.desktop
    d.step("Delete of the user's .md: No keeps it")
    app.tree_menu(".md", "Delete")
    box = app.message_box("Delete File Extension")
    expect("You are about to delete the file extension .md\r\nAre you sure you want to continue?",
           message(box), "the question")
    app.answer(box, IDNO)
    expect("User Defined", app.tree_group_of(".md"), ".md's group")
    expect_values(work, rf"{USER}\.md", {"": "mdfile"})

    d.step("Delete with Yes removes .md and its class from the user's hive")
    app.tree_menu(".md", "Delete")
    app.answer(app.message_box("Delete File Extension"), IDYES)
    d.wait("'.md' gone from the tree", lambda s: app.tree_group_of(".md", s) is None)
    expect_absent(work, rf"{USER}\.md")
    expect_absent(work, rf"{USER}\mdfile")
    app.wait_status(expected_status(work, admin=False))

    d.step("Restore of the customised .csv: No keeps the customisation")
    app.tree_menu(".csv", "Restore")
    box = app.message_box("Restore File Extension")
    expect("You are about to restore the file extension .csv\r\nAre you sure you want to "
           "continue?", message(box),
           "the question")
    app.answer(box, IDNO)
    expect_values(work, rf"{USER}\csvfile", {"": "My CSV Table"})

    d.step("Restore with Yes removes the user's copy; .csv is a System extension again")
    app.tree_menu(".csv", "Restore")
    app.answer(app.message_box("Restore File Extension"), IDYES)
    d.wait("'.csv' selected in the list and gone from the tree",
           lambda s: ".csv" in app.list_control(s).selected()
           and app.tree_group_of(".csv", s) is None)
    app.wait_details({"Extension": ".csv", "File Type": "CSV File"})
    expect_absent(work, rf"{USER}\.csv")
    expect_absent(work, rf"{USER}\csvfile")
    expect_values(work, rf"{MACHINE}\csvfile", {"": "CSV File"})
    app.wait_status(expected_status(work, admin=False))
    app.exit()


def open_compare(work, app):
    work.desktop.step("Tools > Compare opens the dialog; only Scan is enabled")
    app.list_menu("Tools/Compare")
    dialog = app.wait_dialog("Compare Extensions")
    expect((True, False), (dialog.control(ID.IDC_COMPARE_SCAN).enabled,
                           dialog.control(ID.IDC_COMPARE_COMPARE).enabled), "Scan, Compare")
    return dialog


def compare_round(work, app, dialog, added, removed, save_as=None, description=""):
    """Scan, an "installation" by reg.exe while the dialog is open, Compare;
    the list is saved to save_as (a C:\\ path) or not saved. Returns the
    dialog as the comparison left it."""
    d = work.desktop
    d.step(f"Scan, then install: {added} added and {removed} removed with reg.exe")
    app.click_button(dialog, ID.IDC_COMPARE_SCAN)
    dialog = d.wait("Compare enabled, Scan disabled, no results after the scan",
                    lambda s: next((w for w in s.find(title="Compare Extensions", pid=app.pid)
                                    if w.control(ID.IDC_COMPARE_COMPARE).enabled
                                    and not w.control(ID.IDC_COMPARE_SCAN).enabled
                                    and not w.control(ID.IDC_COMPARE_RESULTS).items
                                    and w.text(ID.IDC_COMPARE_ADDED) == "0"), None))
    work.registry.add(rf"{MACHINE}\{added}", None, "installedfile")
    work.registry.delete(rf"{MACHINE}\{removed}")

    d.step("Compare lists both and asks to save")
    app.click_button(dialog, ID.IDC_COMPARE_COMPARE)
    box = app.message_box("Save to file")
    expect("Would you like to save this list to file?", box.message(), "the question")
    dialog = d.snapshot().one(title="Compare Extensions", pid=app.pid)
    results = dialog.control(ID.IDC_COMPARE_RESULTS)
    expect(sorted([added, removed]), results.texts(), "the compared extensions")
    expect(("1", "1"), (dialog.text(ID.IDC_COMPARE_ADDED), dialog.text(ID.IDC_COMPARE_DELETED)),
           "Added:, Deleted:")
    if save_as is None:
        app.answer(box, IDNO)
    else:
        d.step("Yes: the save dialog takes a description and a file name")
        app.answer(box, IDYES)
        save = app.wait_dialog("Save changed extensions to file")
        label = save.control(ID.IDC_SAVE_DESCRIPTION_LABEL)
        expect("Description:", label.text if label else None, "the description label")
        if description:
            d.replace_text(save, ID.IDC_SAVE_DESCRIPTION, description)
        d.replace_text(save, file_name_field(save), save_as)
        app.click_button(save, IDOK)
        d.wait_gone(save)
    dialog = d.wait("Scan enabled and Compare disabled after the comparison",
                    lambda s: next((w for w in s.find(title="Compare Extensions", pid=app.pid)
                                    if w.control(ID.IDC_COMPARE_SCAN).enabled
                                    and not w.control(ID.IDC_COMPARE_COMPARE).enabled
                                    and not s.find(title="Save to file", pid=app.pid)), None))
    expect(sorted([added, removed]), dialog.control(ID.IDC_COMPARE_RESULTS).texts(),
           "the results still shown")
    return dialog


def close_compare(work, app, dialog):
    app.click_button(dialog, ID.IDC_COMPARE_CLOSE)
    work.desktop.wait_gone(dialog)


def saved_file(work, windows_path):
    """The bytes of the file the program saved as windows_path."""
    target = work.wine.unix_path(windows_path)
    if not os.path.exists(target):
        raise StepFailed(f"the file {target}", "no file")
    with open(target, "rb") as f:
        return f.read()


def forget_file(work, windows_path):
    target = work.wine.unix_path(windows_path)
    if os.path.exists(target):
        os.unlink(target)


@flow
def user_compare(work):
    app = Kvel(work)
    saved = r"C:\users\Public\setup-of-foo"
    forget_file(work, saved + ".kvels")
    dialog = open_compare(work, app)
    dialog = compare_round(work, app, dialog, ".ucmpnew", ".ucmpgone", saved,
                           "  Setup of Foo 1.0  ")
    close_compare(work, app, dialog)
    work.desktop.step("the file holds the description and both changes, in the list's order")
    expect(b";Setup of Foo 1.0\r\nDELETED-.ucmpgone\r\nADDED-.ucmpnew\r\n",
           saved_file(work, saved + ".kvels"), "the file's content")
    app.exit()


@flow
def user_openwith(work):
    app = Kvel(work)
    d = work.desktop
    d.step("Tools > Open With Editor lists the user's programs; Delete starts disabled")
    app.list_menu("Tools/Open With Editor")
    editor = app.wait_dialog("Modify Open With Programs")
    listing = editor.control(ID.IDC_OPENWITHEDITOR_LIST)
    if "Wine Task Manager" in listing.texts():
        raise StepFailed("Task Manager not registered yet", listing.texts())
    expect(False, editor.control(ID.IDC_OPENWITHEDITOR_DELETE).enabled, "Delete enabled")

    d.step("New: the browse dialog registers the program for the user")
    app.click_button(editor, ID.IDC_OPENWITHEDITOR_NEW)
    browse = app.wait_dialog("Browse for programs")
    d.replace_text(browse, file_name_field(browse), TASKMGR)
    app.click_button(browse, IDOK)
    d.wait_gone(browse)
    d.wait("'Wine Task Manager' listed and selected",
           lambda s: "Wine Task Manager" in s.one(title="Modify Open With Programs")
           .control(ID.IDC_OPENWITHEDITOR_LIST).selected())
    expect_values(work, rf"{USER}\Applications\taskmgr.exe\shell\open\command",
                  {"": open_command(TASKMGR)})
    expect_absent(work, rf"{MACHINE}\Applications\taskmgr.exe")

    d.step("a click on the row enables Delete, which removes the registration")
    editor = d.snapshot().one(title="Modify Open With Programs")
    row = editor.control(ID.IDC_OPENWITHEDITOR_LIST).item("Wine Task Manager")
    d.click_rect(row["rect"])
    editor = d.wait("Delete enabled",
                    lambda s: next((w for w in s.find(title="Modify Open With Programs")
                                    if w.control(ID.IDC_OPENWITHEDITOR_DELETE).enabled), None))
    app.click_button(editor, ID.IDC_OPENWITHEDITOR_DELETE)
    editor = d.wait("the row gone and Delete disabled again",
                    lambda s: next((w for w in s.find(title="Modify Open With Programs")
                                    if "Wine Task Manager" not in
                                    w.control(ID.IDC_OPENWITHEDITOR_LIST).texts()
                                    and not w.control(ID.IDC_OPENWITHEDITOR_DELETE).enabled),
                                   None))
    expect_absent(work, rf"{USER}\Applications\taskmgr.exe")
    app.click_button(editor, ID.IDC_OPENWITHEDITOR_CLOSE)
    d.wait_gone(editor)
    app.exit()


def about_and_readme(work, app, layout_entry):
    d = work.desktop
    d.step("About shows the product, its version and its links; the close box ends it")
    layout_entry("About")
    about = app.wait_dialog("About KVEL")
    expect(("Orvell File Type Editor", "Version:", "3.1.4.8",
            "Create and modify various properties for file extensions"),
           tuple(about.text(i) for i in (ID.IDC_ABOUT_TITLE, ID.IDC_ABOUT_VERSION_LABEL,
                                          ID.IDC_ABOUT_VERSION, ID.IDC_ABOUT_DESCRIPTION)),
           "the About texts")
    if "Homepage" not in about.text(ID.IDC_ABOUT_HOMEPAGE):
        raise StepFailed("the Homepage link", about.text(ID.IDC_ABOUT_HOMEPAGE))
    d.key("Escape")
    d.stays("the About box still open after Escape",
            lambda s: s.one(title="About KVEL", pid=app.pid))
    close_box(app, about)

    d.step("Readme opens Readme.txt beside KVEL.exe in the text editor")
    with open(os.path.join(os.path.dirname(work.paths.kvel), "Readme.txt"), "rb") as f:
        first_line = f.readline().decode("latin-1").rstrip()
    layout_entry("Readme")

    def reader_with_readme(screen):
        for window in screen.find(title_start="Readme"):
            if window.pid != app.pid and any(c.data["class"] == "Edit"
                                             and c.text.startswith(first_line)
                                             for c in window.controls):
                return window
        return None
    reader = d.wait(f"a text editor showing Readme.txt, which starts {first_line!r}",
                    reader_with_readme)
    close_box(app, reader)


@flow
def user_about_readme(work):
    app = Kvel(work)
    about_and_readme(work, app, app.list_menu)
    app.exit()


# --- Admin mode


@flow
def admin_details_edit(work):
    app = Kvel(work, admin=True)
    d = work.desktop
    d.step("one list of the machine's extensions, counted in the status bar")
    app.wait_status(expected_status(work, admin=True))
    texts = app.list_control().texts()
    if ".md" in texts:
        raise StepFailed("the user's .md not listed in admin mode", texts)

    d.step("a click on .dat shows the machine's registration")
    app.click_row(".dat")
    app.wait_details({"File Type": "Data File", "Opens With": REGEDIT_NAME,
                      "Program File": "regedit.exe", "Program Path": "C:\\windows\\",
                      "Args": ARGS, "DDE": "No", "Edit Flags": "No"})

    d.step("a double-click edits .dat; Save writes the machine's class")
    app.double_click_row(".dat")
    editor = Editor(app, "Edit properties for: .dat")
    editor.type_into(ID.IDC_GENERAL_DESCRIPTION, "Data Archive")
    editor.show_page("Open", ID.IDC_OPENSWITH_RECENTLIST)
    recent = editor.refresh().control(ID.IDC_OPENSWITH_RECENTLIST)
    expect((["Not available in Admin Mode"], False), (recent.texts(), recent.enabled),
           "the Recently Used list")
    editor.save()
    expect_values(work, rf"{MACHINE}\datfile", {"": "Data Archive"})
    expect_absent(work, rf"{USER}\.dat")
    expect_absent(work, rf"{USER}\datfile")
    app.click_row(".png")
    app.click_row(".dat")
    app.wait_details({"File Type": "Data Archive"})
    app.exit()


@flow
def admin_new_search(work):
    app = Kvel(work, admin=True)
    d = work.desktop
    d.step("New Extension creates .e2eadmin for the machine")
    entry = name_entry(app, "New Extension", "Create New Extension", "e2eadmin")
    app.click_button(entry, ID.IDC_ENTRY_OK)
    editor = Editor(app, "Create new extension: .e2eadmin")
    editor.type_into(ID.IDC_GENERAL_DESCRIPTION, "Admin Document")
    editor.choose(ID.IDC_GENERAL_PERCEIVED_COMBO, "document")
    editor.save("Create")
    d.wait("'.e2eadmin' selected in the list",
           lambda s: not s.find(title="Please Wait...", pid=app.pid)
           and ".e2eadmin" in app.list_control(s).selected())
    expect_values(work, rf"{MACHINE}\.e2eadmin", {"": "e2eadminFile", "PerceivedType": "document"})
    expect_values(work, rf"{MACHINE}\e2eadminFile", {"": "Admin Document"})
    expect_absent(work, rf"{USER}\.e2eadmin")
    app.wait_status(expected_status(work, admin=True))

    d.step("Search selects a registered extension")
    entry = name_entry(app, "Search", "Find extension", "png")
    app.click_button(entry, ID.IDC_ENTRY_OK)
    d.wait_gone(entry)
    d.wait("'.png' selected", lambda s: ".png" in app.list_control(s).selected())
    app.wait_details({"Extension": ".png", "File Type": "PNG Image"})

    d.step("Search for the user's own .md does not find it in admin mode; No closes")
    entry = name_entry(app, "Search", "Find extension", "md")
    app.click_button(entry, ID.IDC_ENTRY_OK)
    box = app.message_box("Not found")
    app.answer(box, IDNO)
    d.wait_gone(entry)
    expect_absent(work, rf"{MACHINE}\.md")
    app.exit()


@flow
def admin_delete(work):
    app = Kvel(work, admin=True)
    d = work.desktop
    d.step("Delete asks with the loud warning; No keeps .bak")
    app.click_row(".bak")
    before = app.list_control().texts()
    app.list_menu("Delete", row=".bak")
    box = app.message_box("Delete File Extension")
    expect("!!!!  WARNING  !!!!\r\n\r\nYOU ARE ABOUT TO PERMENANTLY DELTE THE FILE EXTENSION .bak"
           "\r\nSome programs many not work properly.\r\nAre you sure you want to continue?",
           message(box), "the warning")
    app.answer(box, IDNO)
    expect(before, app.list_control().texts(), "the list")
    expect_values(work, rf"{MACHINE}\.bak", {"": "bakfile"})

    d.step("Yes removes .bak and its class for every user; the row before is selected")
    app.list_menu("Delete", row=".bak")
    app.answer(app.message_box("Delete File Extension"), IDYES)
    previous = before[before.index(".bak") - 1]
    d.wait(f"'.bak' gone and '{previous}' selected",
           lambda s: ".bak" not in app.list_control(s).texts()
           and previous in app.list_control(s).selected())
    expect_absent(work, rf"{MACHINE}\.bak")
    expect_absent(work, rf"{MACHINE}\bakfile")
    app.wait_status(expected_status(work, admin=True))
    app.exit()


@flow
def admin_compare(work):
    app = Kvel(work, admin=True)
    saved = r"C:\users\Public\second-setup.kvels"
    forget_file(work, saved)
    dialog = open_compare(work, app)
    dialog = compare_round(work, app, dialog, ".acmpnew", ".acmpgone")
    work.desktop.step("a second installation in the same dialog, saved without a description")
    dialog = compare_round(work, app, dialog, ".acmpnext", ".acmpnew", saved)
    close_compare(work, app, dialog)
    expect(b";KVEL modified extension save file\r\nDELETED-.acmpnew\r\nADDED-.acmpnext\r\n",
           saved_file(work, saved), "the file's content")
    app.exit()


@flow
def admin_openwith(work):
    app = Kvel(work, admin=True)
    d = work.desktop
    d.step("the editor lists the machine's programs")
    app.list_menu("Tools/Open With Editor")
    editor = app.wait_dialog("Modify Open With Programs")
    texts = editor.control(ID.IDC_OPENWITHEDITOR_LIST).texts()
    for name in ("Windows Version", REGEDIT_NAME, "Wine Internet Explorer"):
        if name not in texts:
            raise StepFailed(f"{name!r} listed", texts)

    d.step("Delete removes the machine's registration of winver.exe")
    d.click_rect(editor.control(ID.IDC_OPENWITHEDITOR_LIST).item("Windows Version")["rect"])
    editor = d.wait("Delete enabled",
                    lambda s: next((w for w in s.find(title="Modify Open With Programs")
                                    if w.control(ID.IDC_OPENWITHEDITOR_DELETE).enabled), None))
    app.click_button(editor, ID.IDC_OPENWITHEDITOR_DELETE)
    d.wait("'Windows Version' gone",
           lambda s: "Windows Version" not in s.one(title="Modify Open With Programs")
           .control(ID.IDC_OPENWITHEDITOR_LIST).texts())
    expect_absent(work, rf"{MACHINE}\Applications\winver.exe")

    d.step("New registers a program for the current user even in admin mode")
    editor = d.snapshot().one(title="Modify Open With Programs")
    app.click_button(editor, ID.IDC_OPENWITHEDITOR_NEW)
    browse = app.wait_dialog("Browse for programs")
    d.replace_text(browse, file_name_field(browse), REGEDIT)
    app.click_button(browse, IDOK)
    d.wait_gone(browse)
    expect_values(work, rf"{USER}\Applications\regedit.exe\shell\open\command",
                  {"": open_command(REGEDIT)})
    editor = d.snapshot().one(title="Modify Open With Programs")
    close_box(app, editor)
    about_and_readme(work, app, app.list_menu)
    app.exit()
