"""The screen, the mouse, the keyboard and the registry of the end-to-end run.

KVEL runs as its own Wine process on a Wine virtual desktop shown on Xvfb.
Everything the tests do to it goes through the X server as real input
(xdotool); everything they learn about the screen comes from the probe
(kvel_e2e_probe.exe, which looks at the windows from outside) and from
screenshots; the registry is read afterwards with Wine's own `reg`.
"""

import json
import os
import re
import select
import shutil
import subprocess
import tempfile
import time

WAIT_SECONDS = 20.0
POLL_SECONDS = 0.1
PROBE_SECONDS = 30.0
DOUBLE_CLICK_SECONDS = 0.6  # Wine's double-click time is 500 ms
DESKTOP_SIZE = (1024, 768)


def desktop_size(dpi):
    """The virtual desktop at a scale: the 96-dpi desktop, scaled."""
    return DESKTOP_SIZE[0] * dpi // 96, DESKTOP_SIZE[1] * dpi // 96

# Dialog and control ids of the windows that Wine itself draws.
MESSAGE_TEXT_ID = 0xFFFF
IDOK, IDYES, IDNO = 1, 6, 7
FILE_NAME_IDS = (1148, 1152)  # the file name combo box or edit of a file dialog


class StepFailed(Exception):
    """A step whose expectation the screen or the registry did not meet."""

    def __init__(self, expected, found):
        super().__init__(f"expected: {expected}\nfound:    {found}")
        self.expected = expected
        self.found = found


def center(rect):
    return ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)


def inside(inner, outer):
    return (inner[0] >= outer[0] and inner[1] >= outer[1] and inner[2] <= outer[2]
            and inner[3] <= outer[3])


def plain(text):
    """A button or menu text without its mnemonic marker."""
    return text.replace("&", "")


class Control:
    def __init__(self, data):
        self.data = data

    def __getattr__(self, name):
        try:
            return self.data[name]
        except KeyError:
            raise AttributeError(name) from None

    @property
    def items(self):
        return self.data.get("items") or []

    def item(self, text):
        """The row, tree item or tab with exactly this text, or None."""
        return next((i for i in self.items if i["text"] == text), None)

    def texts(self):
        return [i if isinstance(i, str) else i["text"] for i in self.items]

    def selected(self):
        return [i["text"] for i in self.items if i.get("selected")]

    def describe(self):
        return f"{self.data['class']} {self.data['id']} {self.data['text']!r}"


class Window:
    def __init__(self, data):
        self.data = data
        self.controls = [Control(c) for c in data["controls"]]

    def __getattr__(self, name):
        try:
            return self.data[name]
        except KeyError:
            raise AttributeError(name) from None

    def control(self, control_id, visible_only=True, cls=None):
        """The control with this id (and class: a file dialog has a list
        and a button both numbered 1)."""
        for control in self.controls:
            if control.id == control_id and (control.visible or not visible_only) \
                    and (cls is None or control.data["class"] == cls):
                return control
        return None

    def text(self, control_id):
        control = self.control(control_id, visible_only=False)
        return None if control is None else control.text

    def button(self, text):
        for control in self.controls:
            if control.data["class"] == "Button" and plain(control.text) == text \
                    and control.visible:
                return control
        return None

    def message(self):
        """The text of a message box, or None for any other window."""
        return self.text(MESSAGE_TEXT_ID)

    def describe(self):
        texts = [c.text for c in self.controls if c.visible and c.text][:24]
        return f"[{self.data['class']}] {self.title!r} texts={texts}"


class Screen:
    def __init__(self, data):
        self.data = data
        self.windows = [Window(w) for w in data["windows"]]

    def find(self, title=None, title_start=None, cls=None, pid=None):
        found = []
        for window in self.windows:
            if title is not None and window.title != title:
                continue
            if title_start is not None and not window.title.startswith(title_start):
                continue
            if cls is not None and window.data["class"] != cls:
                continue
            if pid is not None and window.pid != pid:
                continue
            found.append(window)
        return found

    def one(self, **criteria):
        found = self.find(**criteria)
        return found[0] if found else None

    def menus(self):
        return self.find(cls="#32768")

    def describe(self):
        shown = [w.describe() for w in self.windows
                 if w.data["class"] not in ("Shell_TrayWnd", "tooltips_class32")]
        return "; ".join(shown) if shown else "no window"


class Wine:
    """Runs Windows programs in the e2e prefix on the e2e display."""

    def __init__(self, prefix, display):
        self.env = dict(os.environ)
        self.env.update({
            "WINEPREFIX": prefix,
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "winemenubuilder.exe=d;mscoree=d;mshtml=d",
            "DISPLAY": display,
        })
        self.prefix = prefix

    def run(self, *args, timeout=60):
        """Runs a command to its end; output goes through files, so that a
        process it starts (the wineserver, the desktop) cannot hold a pipe."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run(list(args), env=self.env, stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=err, timeout=timeout)
            out.seek(0)
            err.seek(0)
            return (result.returncode, out.read().decode("latin-1"),
                    err.read().decode("latin-1"))

    def start(self, *args, log=None):
        output = open(log, "ab") if log else subprocess.DEVNULL
        try:
            return subprocess.Popen(list(args), env=self.env, stdin=subprocess.DEVNULL,
                                    stdout=output, stderr=output, start_new_session=True)
        finally:
            if log:
                output.close()

    def unix_path(self, windows_path):
        """Where a C:\\ path of the prefix lies on this machine."""
        drive, rest = windows_path.split(":", 1)
        assert drive.upper() == "C", windows_path
        return os.path.join(self.prefix, "drive_c", *rest.strip("\\").split("\\"))


HIVES = {"HKLM": "HKEY_LOCAL_MACHINE", "HKCU": "HKEY_CURRENT_USER"}


def full_key(key):
    hive, _, rest = key.partition("\\")
    return HIVES.get(hive.upper(), hive) + ("\\" + rest if rest else "")


class Registry:
    """Reads and changes the prefix's registry with Wine's own reg.exe."""

    def __init__(self, wine):
        self.wine = wine

    def _query(self, key):
        """reg.exe's listing of key, or None when the key does not exist. A
        failure of another kind (reg.exe enumerating a key that KVEL is
        writing at that moment) is asked again before it counts."""
        for attempt in range(3):
            code, out, err = self.wine.run("wine", "reg", "query", key)
            if code == 0:
                return out
            if "Unable to find" in out + err:
                return None
            time.sleep(0.5)
        raise RuntimeError(f"reg query {key} failed ({code}): {out}{err}")

    def values(self, key):
        """The values of key as {name: data} ("" is the default value), or
        None when the key does not exist."""
        key = full_key(key)
        out = self._query(key)
        if out is None:
            return None
        values = {}
        header = None
        for line in out.splitlines():
            if not line.strip():
                continue
            if not line.startswith("    "):
                header = line.strip()
                continue
            if header is None or header.lower() != key.lower():
                continue
            parts = line[4:].split("    ")
            if len(parts) >= 2:
                name = "" if parts[0] == "(Default)" else parts[0]
                values[name] = "    ".join(parts[2:]) if len(parts) > 2 else ""
        return values

    def subkeys(self, key):
        """The names of the keys directly below key."""
        key = full_key(key)
        out = self._query(key)
        if out is None:
            return None
        start = key.lower() + "\\"
        return [line.strip()[len(start):] for line in out.splitlines()
                if line.strip().lower().startswith(start)]

    def value(self, key, name=""):
        values = self.values(key)
        return None if values is None else values.get(name)

    def exists(self, key):
        return self.values(key) is not None

    def import_text(self, text):
        with tempfile.NamedTemporaryFile("w", suffix=".reg", delete=False,
                                         encoding="latin-1", newline="\r\n") as f:
            f.write(text)
            path = f.name
        try:
            code, out, err = self.wine.run("wine", "reg", "import", path)
            if code != 0:
                raise RuntimeError(f"reg import failed: {out}{err}")
        finally:
            os.unlink(path)

    def add(self, key, value=None, data="", kind="REG_SZ"):
        args = ["wine", "reg", "add", key, "/f"]
        args += ["/ve"] if value is None else ["/v", value]
        args += ["/t", kind, "/d", data]
        code, out, err = self.wine.run(*args)
        if code != 0:
            raise RuntimeError(f"reg add {key} failed: {out}{err}")

    def delete(self, key):
        code, out, err = self.wine.run("wine", "reg", "delete", key, "/f")
        if code != 0:
            raise RuntimeError(f"reg delete {key} failed: {out}{err}")


class Desktop:
    """The Wine virtual desktop on Xvfb: what it shows, and real input to it."""

    def __init__(self, wine, probe, failures, menu_layouts):
        self.wine = wine
        self.probe = probe
        self.failures = failures
        self.menu_layouts = menu_layouts
        self.origin = None
        self.server = None
        self.last_click = (0.0, -100, -100)
        self.step_name = "start"
        self.step_count = 0
        self.step_started = time.monotonic()
        self.last_screen = None

    # --- Looking

    def snapshot(self):
        """What the screen shows now, from the probe that keeps running."""
        if self.server is None or self.server.poll() is not None:
            self.server = subprocess.Popen(
                ["wine", self.probe, "serve"], env=self.wine.env, stdin=subprocess.PIPE,
                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
        self.server.stdin.write(b"snapshot\n")
        self.server.stdin.flush()
        ready, _, _ = select.select([self.server.stdout], [], [], PROBE_SECONDS)
        line = self.server.stdout.readline() if ready else b""
        if not line.strip():
            self.close()
            raise RuntimeError("the probe gave no answer")
        self.last_screen = Screen(json.loads(line))
        return self.last_screen

    def close(self):
        if self.server is not None:
            try:
                self.server.stdin.close()
                self.server.wait(timeout=10)
            except (OSError, subprocess.TimeoutExpired):
                self.server.kill()
            self.server = None

    def wait(self, expected, check, timeout=WAIT_SECONDS):
        """Polls the screen until check(screen) gives a true value and returns
        it; after timeout the step fails with what the screen showed."""
        deadline = time.monotonic() + timeout
        while True:
            screen = self.snapshot()
            result = check(screen)
            if result:
                return result
            if time.monotonic() > deadline:
                raise StepFailed(expected, screen.describe())
            time.sleep(POLL_SECONDS)

    def wait_window(self, expected, timeout=WAIT_SECONDS, **criteria):
        return self.wait(f"a window {expected}", lambda s: s.one(**criteria), timeout)

    def wait_gone(self, window, timeout=WAIT_SECONDS):
        self.wait(f"the window {window.title!r} closed",
                  lambda s: not any(w.hwnd == window.hwnd for w in s.windows), timeout)

    def stays(self, expected, check, seconds=1.0):
        """For something that must not happen (a key that closes nothing):
        check(screen) has to hold for the whole time given."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            screen = self.snapshot()
            if not check(screen):
                raise StepFailed(expected, screen.describe())
            time.sleep(POLL_SECONDS)

    def wait_message_box(self, owner_pid, caption=None, timeout=WAIT_SECONDS):
        def check(screen):
            for window in screen.find(cls="#32770", pid=owner_pid):
                if window.message() is not None and (caption is None or window.title == caption):
                    return window
            return None
        return self.wait(f"a message box {caption!r}", check, timeout)

    def wait_for_registry(self, expected, check, timeout=WAIT_SECONDS):
        deadline = time.monotonic() + timeout
        while True:
            found = check()
            if found is True:
                return
            if time.monotonic() > deadline:
                raise StepFailed(expected, found)
            time.sleep(POLL_SECONDS)

    def screenshot(self, path, rect=None):
        args = ["import", "-window", "root"]
        if rect:
            x, y = self.to_x(rect[0], rect[1])
            args += ["-crop", f"{rect[2] - rect[0]}x{rect[3] - rect[1]}+{x}+{y}", "+repage"]
        subprocess.run(args + [path], env=self.wine.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    # --- Steps and failures

    def step(self, name):
        now = time.monotonic()
        if self.step_count:
            print(f"    ({now - self.step_started:.1f} s)", flush=True)
        self.step_count += 1
        self.step_name = name
        self.step_started = now
        print(f"  step {self.step_count}: {name}", flush=True)

    def keep_evidence(self, flow):
        """Saves the screen and the last snapshot of the failing step."""
        os.makedirs(self.failures, exist_ok=True)
        base = os.path.join(self.failures, f"{flow}-step{self.step_count}")
        try:
            self.screenshot(base + ".png")
        except (subprocess.CalledProcessError, OSError):
            pass
        if self.last_screen is not None:
            with open(base + ".json", "w") as f:
                json.dump(self.last_screen.data, f, indent=1)
        return base + ".png"

    # --- Input

    def to_x(self, x, y):
        # The desktop's X window exists while a program shows windows on it.
        if self.origin is None:
            self.origin = self.wait("the Wine desktop on the X screen",
                                    lambda s: desktop_origin(self.wine.env))
        return x + self.origin[0], y + self.origin[1]

    def xdotool(self, *args):
        subprocess.run(["xdotool", *[str(a) for a in args]], env=self.wine.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def click(self, point, button=1, double=False):
        x, y = self.to_x(*point)
        # A second click on the same spot within the double-click time would
        # be taken for a double-click: a person pauses, and so does this.
        last_time, last_x, last_y = self.last_click
        since = time.monotonic() - last_time
        if button == 1 and abs(x - last_x) < 8 and abs(y - last_y) < 8 \
                and since < DOUBLE_CLICK_SECONDS:
            time.sleep(DOUBLE_CLICK_SECONDS - since)
        repeat = ["--repeat", "2", "--delay", "80"] if double else []
        self.xdotool("mousemove", x, y, "click", *repeat, button)
        if button == 1:
            self.last_click = (time.monotonic(), x, y)

    def click_rect(self, rect, button=1, double=False):
        self.click(center(rect), button, double)

    def right_click(self, point):
        self.click(point, button=3)

    def type(self, text):
        self.xdotool("type", "--delay", "25", "--", text)

    def key(self, *keys):
        self.xdotool("key", "--delay", "40", *keys)

    def click_close_box(self, window):
        """The close box: the square at the right end of the caption."""
        caption = window.caption
        assert caption and window.closeBox, f"{window.title!r} has no close box"
        height = caption[3] - caption[1]
        self.click((caption[2] - height // 2 - 1, (caption[1] + caption[3]) // 2))

    # --- Menus

    def choose_menu(self, layout_name, entry, opened_by):
        """Opens a pop-up menu with opened_by() (a right-click), waits for it
        and clicks the entry; "Tools/Compare" goes through a submenu. The
        entries' places come from the probe's own copy of the same menu,
        made before the program ran; the shown menu must have its size."""
        path = entry.split("/")
        names = [layout_name] + [f"{layout_name}/{p}" for p in path[:-1]]
        known = set()
        opened_by()
        for depth, (name, text) in enumerate(zip(names, path)):
            layout = self.menu_layouts[name]
            width, height = layout["size"]

            def find(screen, known=frozenset(known), width=width, height=height):
                for menu in screen.menus():
                    r = menu.rect
                    if menu.hwnd not in known and (r[2] - r[0], r[3] - r[1]) == (width, height):
                        return menu
                return None
            menu = self.wait(f"the menu {name} ({width}x{height}) open", find)
            known.add(menu.hwnd)
            item = next(i for i in layout["items"] if i["text"].split("\t")[0] == text)
            r = item["rect"]
            left, top = menu.rect[0], menu.rect[1]
            self.click(center([left + r[0], top + r[1], left + r[2], top + r[3]]))
        self.wait(f"the menu closed after {entry!r}", lambda s: not s.menus())

    # --- Controls

    def choose_combo(self, window, combo_id, text):
        """Opens a drop-down list with a click and clicks the item."""
        combo = window.control(combo_id)
        if combo is None:
            raise StepFailed(f"the combo box {combo_id} shown", window.describe())
        if text not in combo.texts():
            raise StepFailed(f"{text!r} offered by the combo box {combo_id}", combo.texts())
        index = combo.texts().index(text)
        self.click_rect(combo.rect)

        def dropped(screen):
            for lister in screen.find(cls="ComboLBox"):
                items = lister.data.get("items") or []
                if len(items) == len(combo.items) and items[index]["rect"]:
                    return items[index]["rect"]
            return None
        rect = self.wait(f"the drop-down list of {combo_id} open with {text!r} visible", dropped)
        self.click_rect(rect)

        def chosen(screen):
            now = next((w for w in screen.windows if w.hwnd == window.hwnd), None)
            if now and now.control(combo_id).data.get("selectedIndex") == index \
                    and not screen.find(cls="ComboLBox"):
                return now
            return None
        return self.wait(f"{text!r} chosen in {combo_id}", chosen)

    def replace_text(self, window, edit_id, text, shown=None):
        """Clicks into an edit, selects what it holds and types text; the
        edit then shows shown (by default the text)."""
        edit = window.control(edit_id)
        if edit is None:
            raise StepFailed(f"the edit {edit_id} shown", window.describe())
        self.click_rect(edit.rect)
        # The edit of a combo box lies inside it.
        inner = {edit.hwnd}
        for control in window.controls:  # parents come before their children
            if control.parent in inner:
                inner.add(control.hwnd)
        self.wait(f"the keyboard focus in {edit_id}",
                  lambda s: any(w.focus in inner for w in s.windows))
        self.key("End", "shift+Home", "BackSpace")
        if text:
            self.type(text)
        shown = text if shown is None else shown
        return self.wait(f"{shown!r} in the edit {edit_id}",
                         lambda s: next((w for w in s.windows
                                         if w.text(edit_id) == shown and w.hwnd == window.hwnd),
                                        None))


def desktop_origin(env):
    """Where the Wine desktop's (0, 0) lies on the X screen."""
    out = subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True,
                         text=True, check=True).stdout
    for line in out.splitlines():
        if "Wine desktop" in line:
            match = re.search(r"\+(-?\d+)\+(-?\d+)\s*$", line.strip())
            if match:
                return int(match.group(1)), int(match.group(2))
    return None


def which(name):
    path = shutil.which(name)
    if not path:
        raise RuntimeError(f"{name} is not installed")
    return path
