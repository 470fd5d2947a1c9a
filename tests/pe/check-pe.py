#!/usr/bin/python3
"""Checks a shipped program's PE headers, sections, imports and version resource against what
Windows 95 can load, reading the file's own structures (not a tool's report of them).
Usage: check-pe.py PROGRAM.exe ALLOWLIST MAX_BYTES IMPORTS
(ALLOWLIST: what Windows 95 exports; IMPORTS: exactly what the program imports; both one
"DLL Function" a line)"""
import os
import sys

import pefile

exe, allow, max_bytes, expected = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
failed = False


def ok(holds, what):
    global failed
    print(("ok: " if holds else "FAIL: ") + what)
    failed |= not holds


def listed(path):
    with open(path) as lines:
        return {tuple(line.split()) for line in lines if line.strip() and not line.startswith("#")}


pe = pefile.PE(exe)
header, optional = pe.FILE_HEADER, pe.OPTIONAL_HEADER
ok(optional.Magic == 0x10B and header.Machine == 0x14C, "PE32 for i386")
ok(optional.Subsystem == 2, "GUI subsystem")
ok((optional.MajorSubsystemVersion, optional.MinorSubsystemVersion) == (4, 0), "subsystem version 4.0")
ok((optional.MajorOperatingSystemVersion, optional.MinorOperatingSystemVersion) == (4, 0), "OS version 4.0")
ok(header.TimeDateStamp == 0, "no timestamp in the header")
ok(header.PointerToSymbolTable == 0 and header.NumberOfSymbols == 0 and not hasattr(pe, "DIRECTORY_ENTRY_DEBUG"),
   "stripped: no symbol table, no debug directory")
size = os.path.getsize(exe)
ok(size <= max_bytes, f"size {size} bytes, at most {max_bytes}")
names = [section.Name.rstrip(b"\0").decode() for section in pe.sections]
ok(len(names) == 3, f"three sections: code, data, resources ({' '.join(names)})")

imports = set()
for dll in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
    for symbol in dll.imports:
        name = symbol.name.decode() if symbol.name else f"#{symbol.ordinal}"  # by ordinal: never listed
        imports.add((dll.dll.decode().upper().removesuffix(".DLL"), name))
ok(bool(imports), "has an import table")
dlls = sorted({dll for dll, _ in imports})
ok(set(dlls) <= {"KERNEL32", "USER32", "ADVAPI32", "SHELL32"},
   f"imports only from the four system DLLs: {' '.join(dlls)}")
text = lambda pairs: " ".join(sorted(" ".join(pair) for pair in pairs))
outside = imports - listed(allow)
ok(not outside, "every import exported by Windows 95" + (f" (not: {text(outside)})" if outside else ""))
unlisted, missing = imports - listed(expected), listed(expected) - imports
ok(not unlisted and not missing, f"imports exactly {os.path.basename(expected)}"
   + (f" (not listed: {text(unlisted)})" if unlisted else "")
   + (f" (listed, not imported: {text(missing)})" if missing else ""))

strings = {}
for info in getattr(pe, "FileInfo", []):
    for entry in info:
        for table in getattr(entry, "StringTable", []):
            strings.update({key.decode(): value.decode() for key, value in table.entries.items()})
fixed = pe.VS_FIXEDFILEINFO[0] if hasattr(pe, "VS_FIXEDFILEINFO") else None
version = fixed and "%d.%d.%d.%d" % (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF,
                                     fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF)
ok(strings.get("CompanyName") == "Vellmark Software", "version resource: CompanyName \"Vellmark Software\"")
ok(strings.get("ProductName") == "Corvane", "version resource: ProductName \"Corvane\"")
ok(bool(strings.get("FileDescription")), f"version resource: FileDescription \"{strings.get('FileDescription')}\"")
ok(version is not None and strings.get("FileVersion") == version,
   f"version resource: FileVersion \"{strings.get('FileVersion')}\" as the fixed part's {version}")
sys.exit(1 if failed else 0)
