"""The end-to-end environment: one Xvfb, one fresh Wine prefix with a virtual
desktop, seeded with the fixtures; set up once, used by every flow, torn
down at the end. Its state (display, process ids, menu layouts) is kept in
a JSON file in the build directory, so that each flow runs as its own
process and ctest can run them one by one.
"""

import json
import os
import shutil
import signal
import subprocess
import time

from desktop import Desktop, Registry, Wine, desktop_size, which
import fixtures

# The pop-up menus the flows open, as the probe builds its own copy of them,
# each entry with the key shown beside it.
TOOLS = "Compare|Open With Editor|Problems...\tF7"
_COMMON = "Undo\tCtrl+Z|Export...|Export All...|Tools>|-|Readme\tF1|About|-|Exit"
_NEW = "New Extension\tCtrl+N|New Link Type\tCtrl+Shift+N|"
# The tree's menu has Restore or Delete where the lists' have Search.
MENUS = {
    "user-list": "Customize\tEnter|" + _NEW + "Search\tCtrl+F|" + _COMMON,
    "user-tree-customized": "Edit\tEnter|" + _NEW + "Restore\tDel|" + _COMMON,
    "user-tree-defined": "Edit\tEnter|" + _NEW + "Delete\tDel|" + _COMMON,
    "admin-list": "Edit\tEnter|" + _NEW + "Delete\tDel|Search\tCtrl+F|" + _COMMON,
}
FONTS = ("marlett.ttf", "tahoma.ttf", "tahomabd.ttf")
FONT_DIR = "/usr/share/wine/fonts"
# The everyday types scripts/run.sh seeds its sandbox with.
SANDBOX_TYPES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sandbox.reg")


class Paths:
    def __init__(self, build):
        self.build = os.path.abspath(build)
        self.root = os.path.join(self.build, "e2e")
        self.prefix = os.path.join(self.root, "prefix")
        self.state = os.path.join(self.root, "state.json")
        self.failures = os.path.join(self.root, "failures")
        self.logs = os.path.join(self.root, "logs")
        self.kvel = os.path.join(self.build, "bin", "KVEL.exe")
        self.probe = os.path.join(self.build, "bin", "kvel_e2e_probe.exe")


def _alive(pid, name):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return name.encode() in f.read()
    except OSError:
        return False


def _stop_xvfb(pid):
    if pid and _alive(pid, "Xvfb"):
        os.kill(pid, signal.SIGTERM)
        for _ in range(50):
            if not _alive(pid, "Xvfb"):
                break
            time.sleep(0.1)


def _start_xvfb(logs, dpi):
    """Starts Xvfb on a free display, room for the desktop at the scale and
    its frame; returns (pid, ":n")."""
    width, height = desktop_size(dpi)
    read_end, write_end = os.pipe()
    with open(os.path.join(logs, "xvfb.log"), "ab") as log:
        xvfb = subprocess.Popen(
            [which("Xvfb"), "-displayfd", str(write_end), "-screen", "0", f"{width + 256}x{height + 132}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            start_new_session=True)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip():
        raise RuntimeError("Xvfb did not start")
    return xvfb.pid, ":" + number.decode().strip()


def setup(paths, dpi=96):
    """dpi: the prefix's display scale (LogPixels), 96 for 100 %."""
    cleanup(paths, keep_failures=False)
    os.makedirs(paths.logs, exist_ok=True)
    for needed in (paths.kvel, paths.probe):
        if not os.path.exists(needed):
            raise RuntimeError(f"{needed} is not built")
    xvfb_pid, display = _start_xvfb(paths.logs, dpi)
    state = {"display": display, "xvfb": xvfb_pid, "dpi": dpi}
    with open(paths.state, "w") as f:
        json.dump(state, f)
    wine = Wine(paths.prefix, display)
    code, _, err = wine.run("wineboot", "-i", timeout=300)
    wine.run("wineserver", "-w", timeout=120)
    # Debian's Wine leaves its own fonts out of new prefixes: without Marlett
    # the caption buttons are letters, without Tahoma the file dialogs
    # change their layout.
    fonts = os.path.join(paths.prefix, "drive_c", "windows", "Fonts")
    os.makedirs(fonts, exist_ok=True)
    for font in FONTS:
        if os.path.exists(os.path.join(FONT_DIR, font)):
            shutil.copy(os.path.join(FONT_DIR, font), fonts)
    # A server that stays up for the whole run, its output away from any pipe.
    wine.run("wineserver", "-p")
    registry = Registry(wine)
    registry.add(r"HKCU\Software\Wine\Explorer", "Desktop", "Default")
    registry.add(r"HKCU\Software\Wine\Explorer\Desktops", "Default",
                 "%dx%d" % desktop_size(dpi))
    registry.add(r"HKCU\Control Panel\Desktop", "LogPixels", str(dpi), "REG_DWORD")
    with open(SANDBOX_TYPES, encoding="latin-1") as f:
        registry.import_text(f.read())
    registry.import_text(fixtures.registry_text())
    # The first window-using program brings up the desktop.
    code, _, err = wine.run("wine", paths.probe, "snapshot")
    if code != 0:
        raise RuntimeError(f"the probe could not start: {err}")
    layouts = {}
    for name, entries in MENUS.items():
        layouts[name] = _menu_layout(wine, paths.probe, entries)
        layouts[name + "/Tools"] = _menu_layout(wine, paths.probe, TOOLS)
    state["menus"] = layouts
    with open(paths.state, "w") as f:
        json.dump(state, f)


def _menu_layout(wine, probe, entries):
    code, out, err = wine.run("wine", probe, "menu-layout", entries)
    if code != 0:
        raise RuntimeError(f"no layout for the menu {entries}: {err}")
    return json.loads(out)


def cleanup(paths, keep_failures=True):
    state = {}
    if os.path.exists(paths.state):
        with open(paths.state) as f:
            state = json.load(f)
    if os.path.isdir(paths.prefix):
        wine = Wine(paths.prefix, state.get("display", ":0"))
        try:
            wine.run("wineserver", "-k", timeout=60)
        except subprocess.TimeoutExpired:
            pass
    _stop_xvfb(state.get("xvfb"))
    for path in (paths.prefix, paths.state):
        if os.path.isdir(path):
            shutil.rmtree(path, ignore_errors=True)
        elif os.path.exists(path):
            os.unlink(path)
    if not keep_failures and os.path.isdir(paths.failures):
        shutil.rmtree(paths.failures, ignore_errors=True)


class Session:
    """What a flow works with: the desktop, the registry and the paths."""

    def __init__(self, paths, flow):
        if not os.path.exists(paths.state):
            raise RuntimeError("the e2e environment is not set up (run.py setup)")
        with open(paths.state) as f:
            state = json.load(f)
        self.paths = paths
        self.flow = flow
        self.dpi = state.get("dpi", 96)
        self.wine = Wine(paths.prefix, state["display"])
        self.registry = Registry(self.wine)
        self.desktop = Desktop(self.wine, paths.probe, paths.failures, state["menus"])
        self.processes = []

    def start(self, *args):
        process = self.wine.start("wine", *args,
                                  log=os.path.join(self.paths.logs, f"{self.flow}.log"))
        self.processes.append(process)
        return process

    def close(self):
        self.desktop.close()

    def close_everything(self):
        """After a failure: ends what the flow left running on the desktop."""
        for image in ("KVEL.exe", "notepad.exe"):
            self.wine.run("wine", "taskkill", "/f", "/im", image)
        for process in self.processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
