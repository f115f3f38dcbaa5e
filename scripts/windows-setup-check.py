#!/usr/bin/env python3
"""The comparisons of scripts/windows-setup-test.sh, one command each; exits 1
with the differences said when the check fails.

  tree ZIP FOLDER [EXTRA...]       FOLDER holds the zip's files, byte for byte, and
                                   the EXTRA names, nothing else
  has-files FOLDER NAME...         each NAME is a file in FOLDER
  shortcut LNK TARGET              the shortcut exists and names TARGET
  uninstall-entry REG DIR VERSION MODE
                                   the Apps entry (a regedit export) of the install in DIR
  file-type EXTREG PROGREG ROOT DIR
                                   .lcjpatch and its ProgID open DIR's program
  mirror-classes EXTREG PROGREG OUT
                                   the two keys again under HKEY_CLASSES_ROOT, into OUT
  characters DATA CSV              lcjtool's export names the records as data.e5's bytes do
  log-line LOG PATH ENTRY          the program logged "opened PATH in ENTRY"
  settings REG VALUE               the settings key holds setupTest=VALUE
  command-words REG NAME           the command line in value NAME, a word a line
  nothing-left FOLDER LNK KEPT REG...
                                   FOLDER gone (or holding only KEPT), no LNK, every REG empty
"""
import os
import re
import sys
import zipfile


def fail(*lines):
    for line in lines:
        print(line)
    sys.exit(1)


def read_reg(path):
    """A regedit export as {key: {name: value}}; "" names the default value."""
    if not os.path.exists(path) or os.path.getsize(path) == 0:
        return {}
    raw = open(path, "rb").read()
    text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("utf-8")
    text = re.sub(r"\\\r?\n\s*", "", text)  # continued hex lines
    keys, key = {}, None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            key = line[1:-1]
            keys[key] = {}
            continue
        if key is None or not line or line.startswith(";"):
            continue
        m = re.match(r'^(@|"((?:[^"\\]|\\.)*)")=(.*)$', line)
        if not m:
            continue
        name = "" if m.group(1) == "@" else re.sub(r"\\(.)", r"\1", m.group(2))
        data = m.group(3)
        if data.startswith('"'):
            value = re.sub(r"\\(.)", r"\1", data[1:-1])
        elif data.startswith("dword:"):
            value = int(data[6:], 16)
        else:
            value = data
        keys[key][name] = value
    return keys


def first_key(path):
    keys = read_reg(path)
    if not keys:
        fail(f"registry key missing ({path})")
    return next(iter(keys.values()))


def cmd_tree(zip_path, folder, *extra):
    want = {}
    with zipfile.ZipFile(zip_path) as z:
        for info in z.infolist():
            if info.is_dir():
                continue
            name = info.filename.split("/", 1)[1]
            want[name] = z.read(info)
    have = set()
    for root, _, files in os.walk(folder):
        for f in files:
            have.add(os.path.relpath(os.path.join(root, f), folder).replace(os.sep, "/"))
    problems = []
    for name in sorted(set(want) - have):
        problems.append(f"missing: {name}")
    for name in sorted(have - set(want) - set(extra)):
        problems.append(f"not in the zip: {name}")
    for name in extra:
        if name not in have:
            problems.append(f"missing: {name}")
    for name in sorted(set(want) & have):
        if open(os.path.join(folder, name), "rb").read() != want[name]:
            problems.append(f"differs from the zip: {name}")
    if problems:
        fail(*problems[:30])
    print(f"{len(want)} files as in the zip, and {', '.join(extra) or 'nothing else'}")


def cmd_has_files(folder, *names):
    missing = [n for n in names if not os.path.isfile(os.path.join(folder, n))]
    if missing:
        fail(*(f"missing: {n}" for n in missing))


def cmd_shortcut(lnk, target):
    if not os.path.isfile(lnk):
        fail(f"no shortcut {lnk}")
    data = open(lnk, "rb").read()
    if target.encode("utf-16-le") not in data and target.lower().encode("utf-16-le") not in data.lower():
        fail(f"{lnk} does not name {target}")


def cmd_uninstall_entry(reg, folder, version, mode):
    v = first_key(reg)
    exe, uninst = folder + "\\lcjworkshop.exe", folder + "\\uninstall.exe"
    want = {
        "DisplayName": "岚川记数据工坊",
        "DisplayVersion": version,
        "Publisher": "lcjworkshop",
        "DisplayIcon": exe + ",0",
        "InstallLocation": folder,
        "UninstallString": f'"{uninst}" {mode}',
        "QuietUninstallString": f'"{uninst}" {mode} /S',
        "NoModify": 1,
        "NoRepair": 1,
    }
    problems = [f"{k}: {v.get(k)!r}, not {w!r}" for k, w in want.items() if v.get(k) != w]
    if not isinstance(v.get("EstimatedSize"), int) or v["EstimatedSize"] < 1000:
        problems.append(f"EstimatedSize: {v.get('EstimatedSize')!r}")
    if problems:
        fail(*problems)


def cmd_file_type(ext_reg, prog_reg, root, folder):
    ext, prog = read_reg(ext_reg), read_reg(prog_reg)
    classes = root + "\\Software\\Classes\\"
    exe = folder + "\\lcjworkshop.exe"
    want = {
        (classes + ".lcjpatch", ""): "lcjworkshop.patch",
        (classes + "lcjworkshop.patch", ""): "岚川记模组补丁",
        (classes + "lcjworkshop.patch\\DefaultIcon", ""): f'"{exe}",1',
        (classes + "lcjworkshop.patch\\shell\\open\\command", ""): f'"{exe}" "%1"',
    }
    keys = {**ext, **prog}
    problems = []
    for (key, name), value in want.items():
        have = keys.get(key, {}).get(name)
        if have != value:
            problems.append(f"{key}: {have!r}, not {value!r}")
    if problems:
        fail(*problems)


def cmd_mirror_classes(ext_reg, prog_reg, out):
    lines = ["Windows Registry Editor Version 5.00", ""]
    for path in (ext_reg, prog_reg):
        raw = open(path, "rb").read().decode("utf-16")
        body = raw.split("\n", 1)[1] if raw.startswith("Windows Registry") else raw
        lines.append(body.replace("HKEY_CURRENT_USER\\Software\\Classes", "HKEY_CLASSES_ROOT"))
    text = "\r\n".join(lines)
    if "HKEY_CLASSES_ROOT\\.lcjpatch" not in text or "HKEY_CLASSES_ROOT\\lcjworkshop.patch" not in text:
        fail("no per-user file type to mirror")
    open(out, "wb").write(("\ufeff" + text).encode("utf-16-le"))


def cmd_characters(data_path, csv_path):
    data = open(data_path, "rb").read()
    rows = open(csv_path, "rb").read().decode("utf-8-sig").replace("\r", "").split("\n")
    header = rows[0].split(",")
    if header[:2] != ["序号", "姓名"]:
        fail(f"header: {rows[0]}")
    problems = []
    for i in range(3):
        cells = rows[1 + i].split(",")
        at = 396 + 32 * i
        name = data[at:at + 12].split(b"\0")[0].decode("gbk")
        if cells[:2] != [str(i), name]:
            problems.append(f"row {i}: {cells[:2]}, data.e5 has {name}")
    if problems:
        fail(*problems)
    print(f"{len(rows) - 2} rows; records 0-2 named as in data.e5")


def logged_lines(log):
    """The program's log lines: written to stderr, or through OutputDebugString as
    Wine's warn+seh channel prints it (a C string)."""
    lines = []
    raw = open(log, "rb").read() if os.path.exists(log) else b""
    for line in raw.replace(b"\r", b"").split(b"\n"):
        at = line.find(b'OutputDebugStringA "')
        if at >= 0:
            quoted = line[at + len(b'OutputDebugStringA "'):line.rfind(b'"')]
            text = re.sub(rb"\\x([0-9a-fA-F]{2})", lambda m: bytes([int(m.group(1), 16)]), quoted)
            text = re.sub(rb"\\(.)", lambda m: {b"n": b"\n", b"r": b"", b"t": b"\t"}.get(
                m.group(1), m.group(1)), text)
            lines.extend(t for t in text.split(b"\n") if t)
        elif line:
            lines.append(line)
    return [line for line in lines if line.startswith(b"lcj.shell:")]


def cmd_log_line(log, path, entry):
    # Qt writes its log in the Windows code page, which is not Chinese here: each
    # character it cannot write comes out as "?".
    want = f"lcj.shell: opened {path} in {entry}".encode("cp1252", errors="replace")
    logged = logged_lines(log)
    # The program also says where it listens for a later start; it opens the file once.
    opened = [line for line in logged if line.startswith(b"lcj.shell: opened ")]
    if opened != [want]:
        fail(f"want: {want!r}", *(f"have: {line!r}" for line in logged or [b"(no line)"]))
    print(want.decode("cp1252"))


def cmd_settings(reg, value):
    have = first_key(reg).get("setupTest")
    if have != value:
        fail(f"setupTest: {have!r}, not {value!r}")


def cmd_command_words(reg, name):
    command = first_key(reg).get(name)
    if not command:
        fail(f"no value {name}")
    # As Windows splits a command line: a quoted program, then words.
    for word in re.findall(r'"[^"]*"|\S+', command):
        print(word.strip('"'))


def cmd_nothing_left(folder, lnk, kept, *regs):
    problems = []
    if os.path.exists(folder):
        left = sorted(os.listdir(folder))
        if left != ([kept] if kept else []):
            problems.append(f"left in {folder}: {left}")
    if os.path.exists(lnk):
        problems.append(f"left: {lnk}")
    for reg in regs:
        for key in read_reg(reg):
            problems.append(f"left: [{key}]")
    if problems:
        fail(*problems)


commands = {
    "tree": cmd_tree,
    "has-files": cmd_has_files,
    "shortcut": cmd_shortcut,
    "uninstall-entry": cmd_uninstall_entry,
    "file-type": cmd_file_type,
    "mirror-classes": cmd_mirror_classes,
    "characters": cmd_characters,
    "log-line": cmd_log_line,
    "settings": cmd_settings,
    "command-words": cmd_command_words,
    "nothing-left": cmd_nothing_left,
}
if len(sys.argv) < 2 or sys.argv[1] not in commands:
    sys.exit(__doc__)
commands[sys.argv[1]](*sys.argv[2:])
