#!/usr/bin/env python3
"""Renders every window of KVEL into PNG files, each cropped to its window,
on the seeded e2e prefix (run.py setup must have run; scripts/screenshots.sh
does it all). KVEL is driven exactly as in the end-to-end flows.

  screenshots.py --build DIR --out DOCS_DIR
"""

import argparse
import filecmp
import ntpath
import os
import shutil
import sys
import tempfile
import time

sys.dont_write_bytecode = True

import session  # noqa: E402
from desktop import FILE_NAME_IDS, IDNO, IDYES, StepFailed  # noqa: E402
from fixtures import IEXPLORE, TASKMGR  # noqa: E402
from kvel import ID, Editor, Kvel  # noqa: E402

# The kind of problem whose rows the Problems window's picture shows.
PROBLEM_KIND = "Actions whose program is missing"

IDCANCEL = 2

# Where the pointer rests while a picture is taken: off every window.
POINTER_REST = (1015, 760)


class Camera:
    def __init__(self, work, out):
        self.work = work
        self.desktop = work.desktop
        self.out = out
        os.makedirs(out, exist_ok=True)

    def take(self, window, name):
        """Crops the window out of the screen once it has stopped changing."""
        d = self.desktop
        d.xdotool("mousemove", *d.to_x(*POINTER_REST))
        target = os.path.join(self.out, name + ".png")
        with tempfile.TemporaryDirectory() as work:
            previous = None
            for attempt in range(40):
                shot = os.path.join(work, f"{attempt}.png")
                d.screenshot(shot, window.rect)
                if previous and filecmp.cmp(previous, shot, shallow=False):
                    shutil.copy(shot, target)
                    print(f"  {target}")
                    return
                previous = shot
                time.sleep(0.15)
        raise RuntimeError(f"{name}: the window kept changing")


def window_by_hwnd(screen, hwnd):
    return next((w for w in screen.windows if w.hwnd == hwnd), None)


def user_mode_windows(work, camera):
    d = work.desktop
    app = Kvel(work)
    app.click_row(".html")
    camera.take(app.window(), "main-user")

    d.step("the editor's pages")
    app.double_click_row(".html")
    editor = Editor(app, "Customize properties for: .html")
    camera.take(editor.refresh(), "editor-icon")
    editor.show_page("Open", ID.IDC_OPENSWITH_PROGRAMCOMBO)
    camera.take(editor.refresh(), "editor-open")
    editor.show_page("Edit Flags", ID.IDC_EDITFLAGS_FIRST)
    camera.take(editor.refresh(), "editor-editflags")
    editor.show_page("Actions", ID.IDC_ACTIONS_LIST)
    camera.take(editor.refresh(), "editor-actions")

    editor.cancel()
    d.wait_gone(editor.window)

    d.step("the icon picker on regedit.exe, where .reg takes its icon from")
    app.double_click_row(".reg")
    editor = Editor(app, "Customize properties for: .reg")
    app.click_button(editor.refresh(), ID.IDC_GENERAL_CHANGEICON)
    picker = app.wait_dialog("Browse for Icons")
    files = picker.control(1, cls="SysListView32")
    program = files.item("regedit.exe") or files.item("regedit")
    if program is None or not program["rect"]:
        raise StepFailed("regedit.exe shown in the picker's folder", files.texts())
    d.click_rect(program["rect"])

    def scanned(screen):
        window = window_by_hwnd(screen, picker.hwnd)
        icons = window.control(ID.IDC_PICKER_ICONS) if window else None
        return window if icons and len(icons.items) > 1 else None
    picker = d.wait("the icons of regedit.exe in the picker", scanned)
    camera.take(picker, "icon-picker")
    app.click_button(picker, 2)
    d.wait_gone(picker)
    editor.cancel()
    d.wait_gone(editor.window)

    d.step("the name entry")
    app.list_menu("New Extension")
    entry = d.replace_text(app.wait_dialog("Create New Extension"), ID.IDC_ENTRY_NAME, "report")
    camera.take(entry, "entry")
    app.click_button(entry, ID.IDC_ENTRY_CANCEL)
    d.wait_gone(entry)

    compare_windows(work, camera, app)

    d.step("the Open With editor with two programs the user registered")
    for program in (TASKMGR, IEXPLORE):
        work.registry.add(rf"HKCU\Software\Classes\Applications\{ntpath.basename(program)}"
                          r"\shell\open\command", None, f'"{program}" "%1"')
    app.list_menu("Tools/Open With Editor")
    openwith = app.wait_dialog("Modify Open With Programs")
    camera.take(openwith, "openwith")
    app.click_button(openwith, ID.IDC_OPENWITHEDITOR_CLOSE)
    d.wait_gone(openwith)

    problems_window(work, camera, app)
    links_list(work, camera, app)

    d.step("About")
    app.list_menu("About")
    about = app.wait_dialog("About KVEL")
    camera.take(about, "about")
    d.click_close_box(about)
    d.wait_gone(about)
    app.exit()


def compare_windows(work, camera, app):
    d = work.desktop
    machine = r"HKEY_LOCAL_MACHINE\Software\Classes"
    d.step("an installation, the result and the save dialog")
    app.list_menu("Tools/Compare")
    dialog = app.wait_dialog("Compare Extensions")
    app.click_button(dialog, ID.IDC_COMPARE_SCAN)
    dialog = d.wait("Compare enabled", lambda s: next(
        (w for w in s.find(title="Compare Extensions")
         if w.control(ID.IDC_COMPARE_COMPARE).enabled), None))
    for name in (".foo", ".fooproj", ".foolog"):
        work.registry.add(rf"{machine}\{name}", None, "foofile")
    work.registry.delete(rf"{machine}\.ucmpgone")
    app.click_button(dialog, ID.IDC_COMPARE_COMPARE)
    app.answer(app.message_box("Save to file"), IDYES)
    save = app.wait_dialog("Save changed extensions to file")
    save = d.replace_text(save, ID.IDC_SAVE_DESCRIPTION, "Setup of Foo 1.0")
    field = next(i for i in FILE_NAME_IDS if save.control(i))
    save = d.replace_text(save, field, "foo-setup")
    camera.take(save, "save-dialog")
    app.click_button(save, 2)
    d.wait_gone(save)
    dialog = d.wait("the compare result", lambda s: next(
        (w for w in s.find(title="Compare Extensions")
         if w.control(ID.IDC_COMPARE_SCAN).enabled
         and not s.find(title="Save changed extensions to file")), None))
    camera.take(dialog, "compare")
    app.click_button(dialog, ID.IDC_COMPARE_CLOSE)
    d.wait_gone(dialog)
    for name in (".foo", ".fooproj", ".foolog"):
        work.registry.delete(rf"{machine}\{name}")


def problems_window(work, camera, app):
    d = work.desktop
    d.step("the Problems window from F7 on the list, its check done")
    app.click_row(".html")
    d.key("F7")

    def checked(screen):
        for window in screen.find(title="Problems", pid=app.pid):
            kinds = window.control(ID.IDC_PROBLEMS_KINDS)
            if kinds and kinds.items and not window.control(ID.IDC_PROBLEMS_PROGRESS):
                return window
        return None
    window = d.wait("the Problems window with its kinds", checked, timeout=60)
    kinds = window.control(ID.IDC_PROBLEMS_KINDS)
    kind = next((i for i in kinds.items if i["text"].startswith(PROBLEM_KIND + " (")), None)
    if kind is None or not kind["rect"]:
        raise StepFailed(f"the kind {PROBLEM_KIND!r} shown", kinds.texts())
    d.click_rect(kind["rect"])

    def shown(screen):
        now = window_by_hwnd(screen, window.hwnd)
        rows = now.control(ID.IDC_PROBLEMS_LIST) if now else None
        if rows and rows.items and rows.selected() and now.text(ID.IDC_PROBLEMS_EXPLANATION) \
                and kind["text"] in now.control(ID.IDC_PROBLEMS_KINDS).selected():
            return now
        return None
    window = d.wait(f"the rows of {PROBLEM_KIND!r}", shown)
    camera.take(window, "problems")
    app.click_button(window, IDCANCEL)  # "Close"
    d.wait_gone(window)


def links_list(work, camera, app):
    d = work.desktop
    d.step("the Links tab, a link type of the machine's selected")
    app.show_list("Links")
    app.click_row("kvmeet", shown="kvmeet:")
    camera.take(app.window(), "main-user-links")


def template_window(work, camera, template, control_id, name):
    """A window that is on screen for less time than a picture takes (the
    shell refresh's "Please Wait...", the compare progress) is shown from
    its template in KVEL.exe's resources, without its changing texts."""
    d = work.desktop
    d.step(f"{name} from its template")
    shower = work.start(work.paths.probe, "show-template", work.paths.kvel, str(template))

    def shown(screen):
        return next((w for w in screen.windows if w.control(control_id)), None)
    camera.take(d.wait(f"the window of template {template}", shown), name)
    d.key("Escape")
    shower.wait(timeout=20)


def scaled_windows(work, camera):
    """At a display scale above 100 %: the windows whose layout the program
    sizes itself, named after the scale ("main-user-150")."""
    suffix = f"-{work.dpi * 100 // 96}"
    app = Kvel(work)
    app.click_row(".html")
    camera.take(app.window(), "main-user" + suffix)
    app.double_click_row(".html")
    editor = Editor(app, "Customize properties for: .html")
    camera.take(editor.refresh(), "editor-icon" + suffix)
    editor.show_page("Actions", ID.IDC_ACTIONS_LIST)
    camera.take(editor.refresh(), "editor-actions" + suffix)
    editor.cancel()
    work.desktop.wait_gone(editor.window)
    app.exit()


def admin_mode_window(work, camera):
    app = Kvel(work, admin=True)
    app.click_row(".html")
    camera.take(app.window(), "main-admin")
    app.exit()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    work = session.Session(session.Paths(args.build), "screenshots")
    camera = Camera(work, os.path.abspath(args.out))
    try:
        if work.dpi != 96:
            scaled_windows(work, camera)
            return 0
        user_mode_windows(work, camera)
        admin_mode_window(work, camera)
        template_window(work, camera, ID.IDD_PLEASEWAIT, ID.IDC_PLEASEWAIT_TEXT, "please-wait")
        template_window(work, camera, ID.IDD_PROGRESS, ID.IDC_PROGRESS_WAIT, "compare-progress")
    finally:
        work.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
