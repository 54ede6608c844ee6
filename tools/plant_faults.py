#!/usr/bin/env python3
"""Plants each fault of tools/faults.txt in a throwaway copy of the tree, builds it
and runs the whole test suite: a fault that leaves the suite green is a hole in the
tests.

    tools/plant_faults.py              every fault
    tools/plant_faults.py 3 17         only these
    tools/plant_faults.py --list       the faults, without running anything

The copy and its build live in $TMPDIR/tolvo-faults-<folder of the tree> (kept between runs, so the
next run only rebuilds what a fault touches). The build is a plain Debug build,
without sanitizers, to keep a run short; ccache is used when installed.

faults.txt holds blocks like this one (the old text must appear exactly once):

    [12] Wording of the refused zero amount
    src/cheque/ChequeJob.cpp
    <<<
    Un montant nul n'est pas autorisé.
    ===
    Un montant nul n'est pas permis.
    >>>
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(tempfile.gettempdir(), "tolvo-faults-" + os.path.basename(ROOT))
COPY = os.path.join(WORK, "src")
BUILD = os.path.join(WORK, "build")


def read_faults(path):
    text = open(path, encoding="utf-8").read()
    pattern = re.compile(r"^\[(\d+)\] ([^\n]+)\n(\S+)\n<<<\n(.*?)\n===\n(.*?)\n?>>>$", re.M | re.S)
    faults = [(int(m[1]), m[2], m[3], m[4], m[5]) for m in pattern.finditer(text)]
    if len(faults) != text.count("\n<<<\n"):
        sys.exit("faults.txt: a block is malformed")
    return faults


def sync_copy():
    files = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True, capture_output=True).stdout
    wanted = set(f.decode() for f in files.split(b"\0") if f)
    # Files the tree no longer has go from the copy too (a deleted test would still build there).
    for folder, _, names in os.walk(COPY):
        for name in names:
            path = os.path.join(folder, name)
            if os.path.relpath(path, COPY) not in wanted:
                os.remove(path)
    for name in wanted:
        src, dst = os.path.join(ROOT, name), os.path.join(COPY, name)
        if not os.path.isfile(src):
            continue
        if os.path.exists(dst) and open(src, "rb").read() == open(dst, "rb").read():
            continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        # A new time, not the tree's: the copy's build may hold objects of a fault planted
        # after the tree's file was last changed.
        shutil.copy(src, dst)


def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def configure():
    args = ["cmake", "-S", COPY, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Debug", "-DTOLVO_TESTS=ON"]
    if shutil.which("ccache"):
        args.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    r = run(args)
    if r.returncode:
        sys.exit(r.stdout)


def build_and_test():
    """'caught', 'missed' or 'no build' (a fault that does not compile proves nothing)."""
    if run(["cmake", "--build", BUILD, "-j", str(os.cpu_count() or 2)]).returncode:
        return "no build", ""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    r = run(["ctest", "--test-dir", BUILD, "-j", str(os.cpu_count() or 2), "--stop-on-failure",
             "--timeout", "300"], env=env)
    failed = re.findall(r"\d+ - (\S+) \(", r.stdout)
    return ("caught", ", ".join(failed)) if r.returncode else ("missed", "")


def main():
    faults = read_faults(os.path.join(ROOT, "tools", "faults.txt"))
    if "--list" in sys.argv:
        for n, title, path, *_ in faults:
            print(f"[{n}] {title} ({path})")
        return
    only = {int(a) for a in sys.argv[1:] if a.isdigit()}
    os.makedirs(COPY, exist_ok=True)
    sync_copy()
    configure()
    if build_and_test()[0] != "missed":
        sys.exit("the suite does not pass on the unchanged tree")
    results = []
    for n, title, path, old, new in faults:
        if only and n not in only:
            continue
        target = os.path.join(COPY, path)
        original = open(target, encoding="utf-8").read()
        if original.count(old) != 1:
            results.append((n, title, "stale", f"the old text is found {original.count(old)} times"))
        else:
            open(target, "w", encoding="utf-8").write(original.replace(old, new))
            start = time.time()
            try:
                verdict, by = build_and_test()
            finally:
                open(target, "w", encoding="utf-8").write(original)
            results.append((n, title, verdict, f"{by} ({time.time() - start:.0f} s)"))
        print(f"[{n}] {results[-1][2]}: {title} {results[-1][3]}", flush=True)
    caught = sum(1 for r in results if r[2] == "caught")
    print(f"\n{caught} of {len(results)} faults caught")
    for n, title, verdict, _ in results:
        if verdict != "caught":
            print(f"  [{n}] {verdict}: {title}")
    sys.exit(0 if caught == len(results) else 1)


if __name__ == "__main__":
    main()
