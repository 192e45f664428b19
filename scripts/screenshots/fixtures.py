"""The registry the end-to-end prefix starts with.

Each flow works on extensions of its own, so the flows do not depend on one
another's order. The machine's classes stand for what an installation left,
the user's for what the user customised or defined.
"""

# Programs and files that are not there, for the Problems window to find.
GONE = r"C:\Program Files\Gone\gone.exe"
OLD_VIEWER = r"C:\Program Files\Old Viewer\oldview.exe"
SKETCH_ICON = r"C:\Program Files\Sketcher\sketch.ico"

# Wine's own programs; those with a version description have a friendly name.
NOTEPAD = r"C:\windows\system32\notepad.exe"
WINVER = r"C:\windows\system32\winver.exe"  # "Windows Version"
REGEDIT = r"C:\windows\regedit.exe"  # "Wine Registry Editor"
TASKMGR = r"C:\windows\system32\taskmgr.exe"  # "Wine Task Manager"
IEXPLORE = r"C:\Program Files\Internet Explorer\iexplore.exe"  # "Wine Internet Explorer"
SHELL32 = r"C:\windows\system32\shell32.dll"


def _open_command(program):
    return f'"{program}" "%1"'


def _reg_text(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def _extension(hive, name, klass, description, extras=None, command=None, icon=None):
    lines = [f"[{hive}\\Software\\Classes\\{name}]", f'@="{klass}"']
    for value, data in (extras or {}).items():
        lines.append(f'"{value}"="{_reg_text(data)}"')
    lines += ["", f"[{hive}\\Software\\Classes\\{klass}]", f'@="{_reg_text(description)}"']
    if icon:
        lines += ["", f"[{hive}\\Software\\Classes\\{klass}\\DefaultIcon]",
                  f'@="{_reg_text(icon)}"']
    if command:
        lines += ["", f"[{hive}\\Software\\Classes\\{klass}\\shell\\open\\command]",
                  f'@="{_reg_text(command)}"']
    return "\n".join(lines) + "\n\n"


def _link_type(hive, scheme, description, command=None, icon=None):
    lines = [f"[{hive}\\Software\\Classes\\{scheme}]", f'@="{_reg_text(description)}"',
             '"URL Protocol"=""']
    if icon:
        lines += ["", f"[{hive}\\Software\\Classes\\{scheme}\\DefaultIcon]",
                  f'@="{_reg_text(icon)}"']
    if command:
        lines += ["", f"[{hive}\\Software\\Classes\\{scheme}\\shell\\open\\command]",
                  f'@="{_reg_text(command)}"']
    return "\n".join(lines) + "\n\n"


def _application(hive, name, program):
    return (f"[{hive}\\Software\\Classes\\Applications\\{name}\\shell\\open\\command]\n"
            f'@="{_reg_text(_open_command(program))}"\n\n')


MACHINE = "HKEY_LOCAL_MACHINE"
USER = "HKEY_CURRENT_USER"


def registry_text():
    parts = ["REGEDIT4\n\n"]
    # Machine-wide ("System"): a text type and an image type to look at, and
    # one extension per flow that changes a machine-wide one.
    parts.append(_extension(MACHINE, ".txt", "txtfile", "Text Document",
                            {"Content Type": "text/plain", "PerceivedType": "text"},
                            _open_command(NOTEPAD)))
    parts.append(_extension(MACHINE, ".png", "pngfile", "PNG Image",
                            {"Content Type": "image/png", "PerceivedType": "image"},
                            _open_command(IEXPLORE), icon=SHELL32 + ",1"))
    parts.append(_extension(MACHINE, ".reg", "regfile", "Registration Entries", {},
                            _open_command(REGEDIT), icon=REGEDIT + ",1"))
    parts.append(_extension(MACHINE, ".log", "logfile", "Log File",
                            {"Content Type": "text/plain"}, _open_command(NOTEPAD)))
    parts.append(_extension(MACHINE, ".csv", "csvfile", "CSV File",
                            {"Content Type": "text/csv"}, _open_command(NOTEPAD)))
    parts.append(_extension(MACHINE, ".dat", "datfile", "Data File", {},
                            _open_command(REGEDIT)))
    parts.append(_extension(MACHINE, ".bak", "bakfile", "Backup File", {}, None))
    parts.append(_extension(MACHINE, ".ucmpgone", "ucmpgonefile", "Removed by setup", {}))
    parts.append(_extension(MACHINE, ".acmpgone", "acmpgonefile", "Removed by setup", {}))
    parts.append(_application(MACHINE, "regedit.exe", REGEDIT))
    parts.append(_application(MACHINE, "winver.exe", WINVER))
    # The user's own: a customisation of .csv, and two extensions only the
    # user has.
    parts.append(_extension(USER, ".csv", "csvfile", "My CSV Table", {"Content Type": "text/csv"},
                            _open_command(NOTEPAD)))
    parts.append(_extension(USER, ".md", "mdfile", "Markdown Document",
                            {"Content Type": "text/markdown", "PerceivedType": "text"},
                            _open_command(NOTEPAD)))
    parts.append(_extension(USER, ".notes", "notesfile", "Notes", {}, _open_command(REGEDIT)))
    # Link types: two of the machine's, and one only the user has (the
    # tree's "User Defined").
    parts.append(_link_type(MACHINE, "mailto", "URL:MailTo Protocol",
                            f'"{NOTEPAD}" /m "%1"', icon=SHELL32 + ",1"))
    parts.append(_link_type(MACHINE, "kvmeet", "URL:Kvmeet Meeting",
                            f'"{NOTEPAD}" "%1"', icon=NOTEPAD + ",0"))
    parts.append(_link_type(USER, "kvnotes", "URL:Notes Link", _open_command(REGEDIT),
                            icon=REGEDIT + ",0"))
    # Broken types: an extension whose class is gone, commands whose program
    # is gone (the machine's and the user's), an icon file that is gone and a
    # user's extension key that holds nothing.
    parts.append(f"[{MACHINE}\\Software\\Classes\\.kvorphan]\n@=\"kvorphanfile\"\n\n")
    parts.append(_extension(MACHINE, ".kvgone", "kvgonefile", "Gone Document", {},
                            _open_command(GONE)))
    parts.append(_extension(USER, ".kvold", "kvoldfile", "Old Picture", {},
                            _open_command(OLD_VIEWER)))
    parts.append(_extension(USER, ".kvsketch", "kvsketchfile", "Sketch", {},
                            _open_command(NOTEPAD), icon=SKETCH_ICON + ",0"))
    parts.append(f"[{USER}\\Software\\Classes\\.kvempty]\n\n")
    return "".join(parts)
