#!/usr/bin/env python3
"""symconv --recursive --output --report on a read-only tree: the report,
read with a real JSON parser, must agree with the files on disk after a
clean run, a run whose failure is answered Yes and one stopped by No.

Usage: run_report_test.py SYMCONV EXAMPLES_DIR"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

SYMCONV, EXAMPLES = sys.argv[1], sys.argv[2]
FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAILED:", what)


def make_tree(root, with_bad):
    """src/ (2 .SYM), elec/ (PARTS.DXF whose DIODE block a DIODE.SYM then
    replaces), elec/deep/, hyd/ (a UTF-16 .SYM that fails when with_bad) and
    a link to elec that must not be followed."""
    src = os.path.join(root, "src")
    for sub in ("elec/deep", "hyd"):
        os.makedirs(os.path.join(src, sub))
    for source, target in [("LAMP.SYM", "LAMP.SYM"), ("EARTH.SYM", "EARTH.SYM"),
                           ("PARTS.DXF", "elec/PARTS.DXF"),
                           ("VALVE.SYM", "elec/DIODE.SYM"),
                           ("RESISTOR.SYM", "elec/deep/RESISTOR.SYM"),
                           ("VALVE.SYM", "hyd/VALVE.SYM")]:
        shutil.copy(os.path.join(EXAMPLES, source), os.path.join(src, target))
    if with_bad:
        with open(os.path.join(src, "hyd/BAD.SYM"), "wb") as f:
            f.write("L 0 0 0 1 1 0\n".encode("utf-16"))
    os.symlink("elec", os.path.join(src, "link"))
    for folder, _, _ in os.walk(src):
        os.chmod(folder, 0o555)
    return src


def snapshot(folder):
    return sorted((p, os.lstat(os.path.join(p, n)).st_mtime_ns, n)
                  for p, ds, fs in os.walk(folder) for n in ds + fs)


def run(args):
    """Runs symconv as a user who may not write the sources (nobody, when
    this runs as root and can drop privileges)."""
    command = [SYMCONV] + args
    if os.geteuid() == 0 and shutil.which("setpriv"):
        command = ["setpriv", "--reuid=nobody", "--regid=nogroup",
                   "--clear-groups"] + command
    return subprocess.run(command, capture_output=True, text=True,
                          stdin=subprocess.DEVNULL, timeout=120)


def summary_totals(text):
    numbers = re.search(r"(\d+) Drawing .*\n\t\((\d+) Symbols\)\n\n(\d+) KRO DOS"
                        r".*\n\n(\d+) KRO Win", text)
    check(numbers, "a summary in " + repr(text))
    keys = ("dxf_files", "dxf_symbols", "sym_files", "sml_files")
    return dict(zip(keys, map(int, numbers.groups()))) if numbers else {}


def check_against_disk(report, out):
    symbols = [s for f in report["files"] for s in f["symbols"]]
    listed = {s["output"] for s in symbols}
    on_disk = {os.path.join(p, n) for p, _, fs in os.walk(out) for n in fs}
    check(listed == on_disk, "outputs listed %s == on disk %s"
          % (sorted(listed), sorted(on_disk)))
    # The last symbol written to a path is the one on disk.
    last = {s["output"]: s for s in symbols}
    lines = subprocess.run([SYMCONV, "inspect", "--json"] + sorted(last),
                           capture_output=True, text=True).stdout.splitlines()
    for decoded in map(json.loads, lines):
        s = last[decoded["file"]]
        check(decoded["name"] == s["name"]
              and decoded["counts"] == {k: s[k] for k in
                                        ("lines", "arcs", "circles")},
              "%s holds what the report says" % decoded["file"])
    check(len(lines) == len(last), "every output was inspected")
    totals = report["totals"]
    check(totals["sml_files"] == len(symbols) ==
          totals["dxf_symbols"] + totals["sym_files"],
          "totals count the symbols listed")
    return symbols


def scenario(root, name, with_bad, answer, report_arg):
    src = make_tree(os.path.join(root, name), with_bad)
    os.chmod(os.path.join(root, name), 0o777)  # for the outputs and report
    out = os.path.join(root, name, "out")
    report_path = os.path.join(root, name, "report.json")
    before = snapshot(src)
    result = run([answer, "--recursive", "--output", out, "--report",
                  report_arg if report_arg == "-" else report_path, src])
    check(snapshot(src) == before, name + ": the sources are only read")
    text = result.stdout if report_arg == "-" else open(report_path).read()
    report = json.loads(text)
    summary = result.stderr if report_arg == "-" else result.stdout
    symbols = check_against_disk(report, out)
    folders = [f["source"] for f in report["folders"]]
    check(not any("link" in f for f in folders), name + ": link not followed")
    return result, report, summary, symbols, src


def main():
    root = tempfile.mkdtemp(prefix="symconv-report-")
    os.chmod(root, 0o755)
    try:
        # A clean run: every folder in byte order, depth first.
        result, report, summary, symbols, src = scenario(
            root, "clean", False, "--yes", "file")
        check(result.returncode == 0, "clean: status 0: " + result.stderr)
        check(report["totals"] == summary_totals(summary),
              "clean: totals equal the summary")
        check([f["source"] for f in report["folders"]] ==
              [src, src + "/elec", src + "/elec/deep", src + "/hyd"],
              "clean: folders depth first")
        check(report["replaced"] == [{"output": os.path.join(
            root, "clean/out/elec/DIODE.SML"), "times": 2}],
            "clean: the block replaced by DIODE.SYM is reported")
        check(report["outcome"] == "completed" and not report["stopped"],
              "clean: completed")

        # A failure answered Yes; the report on standard output.
        result, report, summary, symbols, src = scenario(
            root, "yes", True, "--yes", "-")
        check(result.returncode == 1, "yes: status 1")
        check(report["totals"] == summary_totals(summary),
              "yes: totals equal the summary")
        failures = [x for f in report["files"] for x in f["failures"]]
        check(len(failures) == 1 and failures[0]["answer"] == "yes" and
              failures[0]["path"].endswith("hyd/BAD.SYM") and
              "UTF-16" in failures[0]["reason"], "yes: the failure %s"
              % failures)
        check(any(s["output"].endswith("hyd/VALVE.SML") for s in symbols),
              "yes: the run went on after the failure")

        # Stopped by No at the same failure: what came before is kept.
        result, report, summary, symbols, src = scenario(
            root, "no", True, "--no", "file")
        check(result.returncode == 1, "no: status 1")
        check(report["stopped"] and report["outcome"] == "stopped",
              "no: stopped")
        failures = [x for f in report["files"] for x in f["failures"]]
        check([x["answer"] for x in failures] == ["no"], "no: answered No")
        check(not any(s["output"].endswith("hyd/VALVE.SML") for s in symbols)
              and len(symbols) == 7, "no: nothing after the No")
    finally:
        for folder, _, _ in os.walk(root):
            os.chmod(folder, 0o755)
        shutil.rmtree(root)
    print("%d passed, %d failed" % (1 if not FAILURES else 0,
                                    1 if FAILURES else 0))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
