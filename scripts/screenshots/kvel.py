"""KVEL's windows as a person sees and uses them: where to click and what to
read. Control ids come from the program's resources/resource.h, so that the
tests and the templates cannot drift apart."""

import os
import re
import subprocess

from desktop import StepFailed, center, inside

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

USER_CAPTION = "Orvell File Type Editor"
ADMIN_CAPTION = "Orvell File Type Editor - ADMIN MODE"


def _read_ids():
    ids = {}
    with open(os.path.join(SOURCE, "resources", "resource.h")) as f:
        for line in f:
            match = re.match(r"#define\s+(ID\w+)\s+(\d+)", line)
            if match:
                ids[match.group(1)] = int(match.group(2))
    return ids


IDS = _read_ids()


class Ids:
    def __getattr__(self, name):
        return IDS[name]


ID = Ids()

# The details pane: label -> (user-mode control, admin-mode control).
DETAILS = {
    "Extension": ("IDC_MAIN_EXTENSION", "IDC_ADMIN_EXTENSION"),
    "File Type": ("IDC_MAIN_FILETYPE", "IDC_ADMIN_FILETYPE"),
    "Perceived Type": ("IDC_MAIN_PERCEIVED", "IDC_ADMIN_PERCEIVED"),
    "Content Type": ("IDC_MAIN_CONTENT", "IDC_ADMIN_CONTENT"),
    "Icon File": ("IDC_MAIN_ICONFILE", "IDC_ADMIN_ICONFILE"),
    "Icon Path": ("IDC_MAIN_ICONPATH", "IDC_ADMIN_ICONPATH"),
    "Opens With": ("IDC_MAIN_OPENSWITH", "IDC_ADMIN_OPENSWITH"),
    "Program File": ("IDC_MAIN_PROGRAMFILE", "IDC_ADMIN_PROGRAMFILE"),
    "Program Path": ("IDC_MAIN_PROGRAMPATH", "IDC_ADMIN_PROGRAMPATH"),
    "Args": ("IDC_MAIN_ARGS", "IDC_ADMIN_ARGS"),
    "DDE": ("IDC_MAIN_DDE", "IDC_ADMIN_DDE"),
    "Edit Flags": ("IDC_MAIN_EDITFLAGS", "IDC_ADMIN_EDITFLAGS"),
}


class Kvel:
    """KVEL.exe started as its own process, in user or admin mode."""

    def __init__(self, session, admin=False):
        self.session = session
        self.desktop = session.desktop
        self.admin = admin
        self.caption = ADMIN_CAPTION if admin else USER_CAPTION
        self.list_id = ID.IDC_ADMIN_LIST if admin else ID.IDC_MAIN_LIST
        self.tabs_id = ID.IDC_ADMIN_SYSTEMTAB if admin else ID.IDC_MAIN_SYSTEMTAB
        # The list of each tab over the lists.
        self.lists = {"System": self.list_id,
                      "Links": ID.IDC_ADMIN_LINKS if admin else ID.IDC_MAIN_LINKS}
        self.status_id = ID.IDC_ADMIN_STATUS if admin else ID.IDC_MAIN_STATUS
        args = [session.paths.kvel] + (["/admin"] if admin else [])
        self.desktop.step(f"start KVEL in {'admin' if admin else 'user'} mode")
        self.process = session.start(*args)
        window = self.desktop.wait(
            f"the main window {self.caption!r} with its catalogue loaded", self._loaded)
        self.pid = window.pid
        self.hwnd = window.hwnd

    def _loaded(self, screen):
        for window in screen.find(title=self.caption):
            listing = window.control(self.list_id)
            status = window.control(self.status_id)
            if listing and listing.items and status and status.parts and status.parts[0]:
                return window
        return None

    # --- Reading

    def window(self, screen=None):
        screen = screen or self.desktop.snapshot()
        return next((w for w in screen.windows if w.hwnd == self.hwnd), None)

    def details(self, screen=None):
        window = self.window(screen)
        mode = 1 if self.admin else 0
        return {label: window.text(IDS[ids[mode]]) for label, ids in DETAILS.items()}

    def status(self, screen=None):
        return self.window(screen).control(self.status_id).parts[0]

    def list_control(self, screen=None):
        return self.window(screen).control(self.list_id)

    def tree_control(self, screen=None):
        return self.window(screen).control(ID.IDC_MAIN_TREE)

    def wait_details(self, expected, what=None):
        """Waits until the details pane shows every label of expected."""
        def check(screen):
            window = self.window(screen)
            if window is None:
                return None
            shown = self.details(screen)
            return shown if all(shown[k] == v for k, v in expected.items()) else None
        try:
            return self.desktop.wait(what or f"the details {expected}", check)
        except StepFailed as failure:
            shown = self.details(self.desktop.last_screen)
            raise StepFailed(failure.expected,
                             {k: shown[k] for k in expected} if shown else failure.found)

    def wait_status(self, expected):
        return self.desktop.wait(f"the status bar {expected!r}",
                                 lambda s: self.status(s) == expected)

    # --- The list and the tree

    def reveal_row(self, text):
        """The screen rectangle of a list row, scrolled into view first, as a
        person does with the keyboard: click a row, then arrow keys."""
        listing = self.list_control()
        row = listing.item(text)
        if row is None:
            raise StepFailed(f"{text!r} in the list", listing.texts())
        if row["rect"] and inside(row["rect"], listing.client):
            return row["rect"]
        shown = [i for i in listing.items if i["rect"] and inside(i["rect"], listing.client)]
        # Start from the far end, so that the row ends up elsewhere than the
        # clicked one (two clicks on one spot would make a double-click).
        start = shown[0] if row["index"] > shown[-1]["index"] else shown[-1]
        self.desktop.click_rect(start["rect"])
        self.desktop.wait(f"the row {start['text']!r} selected",
                          lambda s: start["text"] in self.list_control(s).selected())
        steps = row["index"] - start["index"]
        self.desktop.key(*["Down" if steps > 0 else "Up"] * abs(steps))

        def shown(screen):
            r = self.list_control(screen).item(text)
            return r["rect"] if r and r["rect"] and inside(
                r["rect"], self.list_control(screen).client) else None
        return self.desktop.wait(f"the row {text!r} scrolled into view", shown)

    def click_row(self, text, shown=None):
        """shown: what the pane's first row then shows (a link type's
        scheme ends with a colon)."""
        self.desktop.click_rect(self.reveal_row(text))
        return self.wait_details({"Extension": text if shown is None else shown})

    def double_click_row(self, text):
        self.desktop.click_rect(self.reveal_row(text), double=True)

    def show_list(self, tab):
        """Clicks the tab ("System" or "Links") over the lists; the list
        methods then work on its list."""
        tabs = self.window().control(self.tabs_id)
        item = tabs.item(tab)
        if item is None:
            raise StepFailed(f"the tab {tab!r}", tabs.texts())
        self.desktop.click_rect(item["rect"])
        list_id = self.lists[tab]
        self.desktop.wait(f"the list of the tab {tab!r} shown",
                          lambda s: (c := self.window(s).control(list_id)) and c.items)
        self.list_id = list_id

    def tree_item(self, text, screen=None):
        tree = self.tree_control(screen)
        item = tree.item(text)
        if item is None or not item["rect"]:
            raise StepFailed(f"{text!r} shown in the tree", tree.texts())
        return item

    def tree_group_of(self, text, screen=None):
        """"User Customized" or "User Defined" for an extension item."""
        group = None
        for item in self.tree_control(screen).items:
            if item["level"] == 0:
                group = item["text"]
            elif item["text"] == text:
                return group
        return None

    def click_tree_item(self, text):
        self.desktop.click_rect(self.tree_item(text)["rect"])

    # --- Menus

    def list_menu(self, entry, row=None):
        """Right-clicks the list (on a row, or on the selected one) and
        chooses the entry of its menu."""
        layout = "admin-list" if self.admin else "user-list"

        def open_menu():
            listing = self.list_control()
            target = row or (listing.selected() or [listing.items[0]["text"]])[0]
            self.desktop.right_click(center(self.reveal_row(target)))
        self.desktop.choose_menu(layout, entry, open_menu)

    def tree_menu(self, item, entry):
        group = self.tree_group_of(item)
        layout = "user-tree-customized" if group == "User Customized" else "user-tree-defined"
        self.desktop.choose_menu(
            layout, entry,
            lambda: self.desktop.right_click(center(self.tree_item(item)["rect"])))

    # --- Dialogs of the program

    def wait_dialog(self, title, timeout=None):
        criteria = {"title": title, "pid": self.pid}
        if timeout:
            return self.desktop.wait_window(repr(title), timeout=timeout, **criteria)
        return self.desktop.wait_window(repr(title), **criteria)

    def message_box(self, caption):
        return self.desktop.wait_message_box(self.pid, caption)

    def answer(self, box, button):
        control = box.control(button, cls="Button")
        if control is None:
            raise StepFailed(f"the button {button} in {box.title!r}", box.describe())
        self.desktop.click_rect(control.rect)
        self.desktop.wait_gone(box)

    def click_button(self, window, control_id):
        control = window.control(control_id, cls="Button")
        if control is None or not control.enabled:
            raise StepFailed(f"the enabled button {control_id} in {window.title!r}",
                             window.describe())
        self.desktop.click_rect(control.rect)

    def exit(self):
        """"Exit" from the context menu; the process ends with code 0."""
        self.desktop.step("Exit from the context menu")
        self.list_menu("Exit")
        try:
            code = self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            raise StepFailed("KVEL.exe ended after Exit", "still running") from None
        if code != 0:
            raise StepFailed("exit code 0", code)


class Editor:
    """The property editor with its three pages."""

    TABS = ("Icon", "Open", "Edit Flags")

    def __init__(self, app, title):
        self.app = app
        self.desktop = app.desktop
        self.window = app.wait_dialog(title)
        self.title = title

    def refresh(self):
        screen = self.desktop.snapshot()
        self.window = next((w for w in screen.windows if w.hwnd == self.window.hwnd), None)
        if self.window is None:
            raise StepFailed(f"the editor {self.title!r} open", screen.describe())
        return self.window

    def text(self, control_id):
        return self.refresh().text(control_id)

    def show_page(self, tab, shows_control):
        tabs = self.refresh().control(ID.IDC_EDITOR_TABS)
        item = tabs.item(tab)
        if item is None:
            raise StepFailed(f"the tab {tab!r}", tabs.texts())
        self.desktop.click_rect(item["rect"])
        self.desktop.wait(f"the page {tab!r} shown",
                          lambda s: any(w.hwnd == self.window.hwnd and w.control(shows_control)
                                        for w in s.windows))
        return self.refresh()

    def type_into(self, control_id, text):
        self.window = self.desktop.replace_text(self.refresh(), control_id, text)

    def choose(self, combo_id, text):
        self.window = self.desktop.choose_combo(self.refresh(), combo_id, text)

    def click_check_box(self, box_id):
        box = self.refresh().control(box_id)
        before = box.checked
        self.desktop.click_rect(box.rect)
        self.desktop.wait(f"the box {box.text!r} toggled",
                          lambda s: self.refresh().control(box_id).checked != before)

    def save(self, button_text=None):
        window = self.refresh()
        save = window.control(ID.IDC_EDITOR_SAVE)
        if button_text is not None and save.text != button_text:
            raise StepFailed(f"the button {button_text!r}", save.text)
        self.desktop.click_rect(save.rect)
        self.desktop.wait_gone(window)

    def cancel(self):
        self.desktop.click_rect(self.refresh().control(ID.IDC_EDITOR_CANCEL).rect)

