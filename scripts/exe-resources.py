#!/usr/bin/env python3
"""Shows the icons and the version texts a Windows program carries, and checks them.

    scripts/exe-resources.py PROGRAM.exe [--icons N]

Prints each icon group in the order the shell counts them (index 0, 1, ...)
with the sizes it holds, then the texts of its VERSIONINFO. With --icons N it
fails unless the program holds exactly N icon groups, each with a 16, 32, 48
and 256 pixel image, and a version text block.
"""
import argparse
import struct
import sys

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16


def sections(pe):
    """The sections of a PE file as (virtual address, size, file offset), and the
    resource directory's virtual address."""
    head = struct.unpack_from("<I", pe, 0x3C)[0]
    if pe[head:head + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    count = struct.unpack_from("<H", pe, head + 6)[0]
    optional_size = struct.unpack_from("<H", pe, head + 20)[0]
    optional = head + 24
    magic = struct.unpack_from("<H", pe, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    resources = struct.unpack_from("<I", pe, directories + 2 * 8)[0]
    table = optional + optional_size
    found = []
    for i in range(count):
        at = table + 40 * i
        vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", pe, at + 8)
        found.append((vaddr, max(vsize, rawsize), rawptr))
    return found, resources


def resource_tree(pe):
    """{type: {id: bytes}} of the first language of every resource with a number."""
    found, rva = sections(pe)
    if rva == 0:
        return {}

    def offset(address):
        for vaddr, size, rawptr in found:
            if vaddr <= address < vaddr + size:
                return rawptr + address - vaddr
        raise ValueError("address %#x outside every section" % address)

    base = offset(rva)

    def entries(at):
        named, numbered = struct.unpack_from("<HH", pe, base + at + 12)
        for i in range(named + numbered):
            name, value = struct.unpack_from("<II", pe, base + at + 16 + 8 * i)
            yield (None if name & 0x80000000 else name), value

    tree = {}
    for kind, kind_value in entries(0):
        if kind is None:
            continue
        for ident, ident_value in entries(kind_value & 0x7FFFFFFF):
            if ident is None:
                continue
            language = next(entries(ident_value & 0x7FFFFFFF))[1]
            data_rva, size = struct.unpack_from("<II", pe, base + language)
            start = offset(data_rva)
            tree.setdefault(kind, {})[ident] = pe[start:start + size]
    return tree


def version_texts(block):
    """The name/value texts of a VS_VERSIONINFO block."""
    texts = {}

    def walk(at, end):
        while at + 6 <= end:
            length, value_length, is_text = struct.unpack_from("<HHH", block, at)
            if length == 0:
                break
            key_end = at + 6
            while block[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = block[at + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            if is_text and value_length and key not in ("StringFileInfo", "VarFileInfo"):
                raw = block[value_at:value_at + 2 * value_length]
                texts[key] = raw.decode("utf-16-le").rstrip("\0")
                child = value_at + 2 * value_length
            else:
                child = value_at + (value_length if not is_text else 2 * value_length)
            child = (child + 3) & ~3
            walk(child, at + length)
            at = (at + length + 3) & ~3

    length = struct.unpack_from("<H", block, 0)[0]
    walk(0, length)
    return texts


def main():
    parser = argparse.ArgumentParser(description="The icons and version texts of a Windows program.")
    parser.add_argument("program")
    parser.add_argument("--icons", type=int, help="fail unless exactly this many icon groups")
    args = parser.parse_args()
    with open(args.program, "rb") as f:
        pe = f.read()
    tree = resource_tree(pe)
    faults = []
    groups = tree.get(RT_GROUP_ICON, {})
    for index, ident in enumerate(groups):  # in the order of the directory, as the shell counts
        group = groups[ident]
        count = struct.unpack_from("<H", group, 4)[0]
        sizes = []
        for i in range(count):
            width = group[6 + 14 * i] or 256
            icon = struct.unpack_from("<H", group, 6 + 14 * i + 12)[0]
            if icon not in tree.get(RT_ICON, {}):
                faults.append("icon group %d names icon %d, which is missing" % (ident, icon))
            sizes.append(width)
        print("%s: icon index %d (resource %d): %s px" %
              (args.program, index, ident, ", ".join(map(str, sizes))))
        if args.icons is not None and not {16, 32, 48, 256} <= set(sizes):
            faults.append("icon index %d lacks a size of 16, 32, 48 or 256 px" % index)
    texts = {}
    for block in tree.get(RT_VERSION, {}).values():
        texts.update(version_texts(block))
    for key, value in texts.items():
        print("%s: %s = %s" % (args.program, key, value))
    if args.icons is not None:
        if len(groups) != args.icons:
            faults.append("%d icon groups, expected %d" % (len(groups), args.icons))
        if not texts.get("ProductName") or not texts.get("FileVersion"):
            faults.append("no version texts")
    for fault in faults:
        print("%s: %s" % (args.program, fault), file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
