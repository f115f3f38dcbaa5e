#!/usr/bin/env python3
"""zipdir.py ZIP FOLDER: zips FOLDER (as its own top folder) into ZIP.

Names that are not ASCII are stored as UTF-8 with the zip's UTF-8 flag set, so
Windows' own unzip shows 使用说明.txt and lcjpic/攻击范围0.jpg as they are named
(Info-ZIP's zip leaves the flag unset, and Windows then reads the names in the
local code page). Entries are sorted and dated by their files, so the same
folder gives the same zip.
"""
import os
import sys
import zipfile

target, folder = sys.argv[1], sys.argv[2].rstrip("/")
base = os.path.dirname(folder)
paths = []
for root, dirs, files in os.walk(folder):
    dirs.sort()
    for name in sorted(files):
        paths.append(os.path.join(root, name))
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for path in paths:
        z.write(path, os.path.relpath(path, base))
with zipfile.ZipFile(target) as z:
    for info in z.infolist():
        if not info.filename.isascii() and not info.flag_bits & 0x800:
            sys.exit(f"{info.filename}: stored without the UTF-8 flag")
print(f"{target}: {len(paths)} files")
