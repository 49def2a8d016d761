#!/usr/bin/env python3
"""Converts the test folders and the examples with the Linux build and with
the Windows build under wine, and compares every .SML file byte for byte.

  windows_differential.py SOURCE_DIR SYMCONV SYMCONV_CLI_EXE WINE

SYMCONV is the Linux command-line program, SYMCONV_CLI_EXE the Windows one,
WINE the loader that runs it, in the caller's WINEPREFIX. Names are bytes in the ANSI code page (1252) on the
Windows side, which wine keeps as UTF-8 on the Linux file system: a Linux
name is compared with the Windows one through that code page.
"""

import glob
import os
import shutil
import subprocess
import sys
import tempfile

CODE_PAGE = "cp1252"
VARIANTS = {"plain": [], "drawings-polylines": ["--drawings", "--polylines"]}


def line(x1, y1, x2, y2):
    return (f"0\nLINE\n8\n0\n10\n{x1}\n20\n{y1}\n30\n0\n"
            f"11\n{x2}\n21\n{y2}\n31\n0\n")


def arc(x, y, r, a1, a2):
    return (f"0\nARC\n8\n0\n10\n{x}\n20\n{y}\n30\n0\n40\n{r}\n"
            f"50\n{a1}\n51\n{a2}\n")


def block(name):
    return (b"0\nBLOCK\n8\n0\n2\n" + name + b"\n70\n0\n10\n0\n20\n0\n30\n0\n" +
            (line(0, 0, 3, 1) + arc(1, 1, 0.5, 30, 290)).encode() +
            b"0\nENDBLK\n")


def write_names_folder(folder, windows):
    """Blocks and a .SYM file whose names hold bytes above 0x7F."""
    def name(raw):
        return raw.decode(CODE_PAGE).encode() if windows else raw

    os.makedirs(folder)
    dxf = (b"0\nSECTION\n2\nBLOCKS\n" + block(b"\xc4PFEL") +
           block(b"caf\xe9") + b"0\nENDSEC\n0\nEOF\n")
    with open(os.path.join(folder.encode(), name(b"N\xc4MES.DXF")), "wb") as f:
        f.write(dxf)
    sym = b"*LENGTH=0.700000,WIDTH=1.500000,HEIGHT=0.000000\nL 0 0 0 2 1 0\n"
    with open(os.path.join(folder.encode(), name(b"\xdcBER.SYM")), "wb") as f:
        f.write(sym)


def sml_files(folder):
    return sorted(n for n in os.listdir(folder.encode())
                  if n.upper().endswith(b".SML"))


def run(command, what):
    # Into a file, not a pipe: the wine services that the first program
    # starts inherit its streams and outlive it.
    with tempfile.TemporaryFile() as errors:
        status = subprocess.run(command, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL,
                                stderr=errors).returncode
        if status not in (0, 1):
            errors.seek(0)
            sys.exit(f"{what} ended with status {status}:\n"
                     f"{errors.read().decode(errors='replace')}")


def main():
    source, symconv, symconv_cli, wine = sys.argv[1:5]
    # Folders of files to convert together; DXF files each in a folder of
    # their own, since their blocks share names.
    inputs = {"examples": glob.glob(os.path.join(source, "examples", "*")),
              "sym-seeds": glob.glob(os.path.join(source, "fuzz", "seeds",
                                                  "sym", "*"))}
    for dxf in (glob.glob(os.path.join(source, "tests", "data", "dxf", "*.dxf")) +
                glob.glob(os.path.join(source, "fuzz", "seeds", "dxf", "*"))):
        inputs[os.path.relpath(dxf, source).replace(os.sep, "-")] = [dxf]
    compared, faults = 0, []
    with tempfile.TemporaryDirectory(prefix="symconv-diff-") as top:
        for variant, flags in VARIANTS.items():
            for side in ("linux", "windows"):
                for tag, files in inputs.items():
                    folder = os.path.join(top, side, variant, tag)
                    os.makedirs(folder)
                    for file in files:
                        shutil.copy(file, folder)
                write_names_folder(os.path.join(top, side, variant, "names"),
                                   side == "windows")
            for tag in list(inputs) + ["names"]:
                linux = os.path.join(top, "linux", variant, tag)
                windows = os.path.join(top, "windows", variant, tag)
                run([symconv, "--yes"] + flags + [linux], "symconv")
                run([wine, symconv_cli, "--yes"] + flags +
                    ["Z:" + windows.replace("/", "\\")], "symconv-cli.exe")
                expected = {n.decode(CODE_PAGE).encode(): n
                            for n in sml_files(linux)}
                got = set(sml_files(windows))
                print(f"{variant}/{tag}: {len(expected)} from Linux, "
                      f"{len(got)} from Windows")
                for n in sorted(set(expected) ^ got):
                    faults.append(f"{variant}/{tag}: {n!r} written by one build only")
                for n in sorted(set(expected) & got):
                    compared += 1
                    with open(os.path.join(linux.encode(), expected[n]), "rb") as f:
                        a = f.read()
                    with open(os.path.join(windows.encode(), n), "rb") as f:
                        b = f.read()
                    if a != b:
                        faults.append(f"{variant}/{tag}: {n!r} differs")
    for fault in faults:
        print(fault)
    print(f"compared {compared} .SML files: {len(faults)} differences")
    return 1 if faults or compared == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
