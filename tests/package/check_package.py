#!/usr/bin/python3
"""The Debian package as a shop gets it, made from this build tree with its CPack configuration:

  - it holds the program, both libraries and the dialog file, the configuration and template, the sample moulds, the
    DXF readers' fonts, the documentation, the man page and the shell completion, and no program of the build's own
    (tests, benchmarks, tools);
  - its Depends name the package of every library its programs link, and the sheet fonts;
  - unpacked in a folder of its own, its program runs the demo and the one-command sheets job from another folder,
    taking everything from the tree;
  - its completion completes the commands and a command's options from the program's usage.

    check_package.py --build BUILD_DIR --cpack CPACK
"""
import argparse
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

LIB = "usr/lib/quillon"
DATA = "usr/share/quillon"
EXPECTED = [
    "usr/bin/quillon", f"{LIB}/libcadhost.so", f"{LIB}/libquillon_command.so", f"{LIB}/quillon_dlg.dlg",
    f"{DATA}/conf/config.def", f"{DATA}/conf/my_edm_A4_a.prt",
    f"{DATA}/examples/sample_mould.step", f"{DATA}/examples/sample_mould.attrs.json",
    f"{DATA}/fonts/gbsn00lp.lff",
    f"{DATA}/ezdxf/ezdxf.ini", f"{DATA}/ezdxf/font_face_cache.json", f"{DATA}/ezdxf/font_measurement_cache.json",
    "usr/share/doc/quillon/README.md", "usr/share/doc/quillon/copyright", "usr/share/man/man1/quillon.1.gz",
    "usr/share/bash-completion/completions/quillon",
]
PROGRAMS = {"usr/bin/quillon", f"{LIB}/libcadhost.so", f"{LIB}/libquillon_command.so"}
FONT_PACKAGES = ["fonts-wqy-microhei", "fonts-arphic-gbsn00lp"]


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


def is_elf(path):
    with open(path, "rb") as f:
        return f.read(4) == b"\x7fELF"


def needed_libraries(path):
    return re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", run(["readelf", "-d", path]).stdout)


LIBRARY_DIRS = ["/usr/lib/x86_64-linux-gnu", "/lib/x86_64-linux-gnu", "/usr/lib", "/lib"]


def package_of_library(name):
    """The installed Debian package that holds the library the dynamic linker loads by this name: the first of its
    default folders that has it (dpkg knows a file by the path its package ships it under, with or without the /usr of
    merged /usr)."""
    for folder in LIBRARY_DIRS:
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            continue
        real = os.path.realpath(path)  # a link ldconfig made belongs to no package; the file it names does
        for candidate in (path, path[4:] if path.startswith("/usr/") else "/usr" + path, real):
            held = run(["dpkg-query", "-S", candidate])
            if held.returncode == 0:
                return [p.split(":")[0] for p in held.stdout.split(": ", 1)[0].split(", ")]
    return []


def check_contents(deb, tree, failures):
    listed = set()
    for line in run(["dpkg-deb", "-c", deb], check=True).stdout.splitlines():
        listed.add(line.split()[-1].lstrip("./") if "->" not in line else line.split()[-3].lstrip("./"))
    for path in EXPECTED:
        if path not in listed:
            failures.append(f"the package lacks {path}")
    for path in sorted(listed):
        full = os.path.join(tree, path)
        if os.path.isfile(full) and not os.path.islink(full) and is_elf(full) and path not in PROGRAMS:
            failures.append(f"the package holds a program of the build's own: {path}")
    return listed


def check_depends(deb, tree, failures):
    depends = run(["dpkg-deb", "-f", deb, "Depends"], check=True).stdout
    named = {entry.strip().split()[0] for entry in depends.replace("|", ",").split(",") if entry.strip()}
    shipped = {os.path.basename(p) for p in PROGRAMS}
    for program in sorted(PROGRAMS):
        for library in needed_libraries(os.path.join(tree, program)):
            if library in shipped:
                continue
            packages = package_of_library(library)
            if not packages:
                failures.append(f"{program} links {library}, which no installed package holds")
            elif not named.intersection(packages):
                failures.append(f"{program} links {library} of {packages[0]}, which Depends does not name")
    for font in FONT_PACKAGES:
        if font not in named:
            failures.append(f"Depends does not name {font}: {depends}")
    return depends.strip()


def check_unpacked_demo(tree, work, failures):
    elsewhere = os.path.join(work, "elsewhere")
    os.makedirs(elsewhere)
    env = {k: v for k, v in os.environ.items() if not k.startswith("QUILLON_")}
    program = os.path.join(tree, "usr/bin/quillon")
    version = run([program, "--version"], cwd=elsewhere, env=env)
    for line in (f"command library: {tree}/{LIB}/libquillon_command.so", f"configuration: {tree}/{DATA}/conf"):
        if line not in version.stdout:
            failures.append(f"the unpacked program does not take its files from its tree ({line}): {version.stdout}")
    demo = run([program, "demo", "-o", "sheets"], cwd=elsewhere, env=env, timeout=600)
    if demo.returncode != 0:
        failures.append(f"the unpacked demo failed ({demo.returncode}): {demo.stdout[-800:]} {demo.stderr[-800:]}")
        return 0
    if f"importing the sample mould from {tree}/{DATA}/examples" not in demo.stdout:
        failures.append(f"the unpacked demo took the sample mould from elsewhere: {demo.stdout[:300]}")
    out = os.path.join(elsewhere, "sheets")
    report = json.load(open(os.path.join(out, "sample_mould.json"), encoding="utf-8"))
    sheets = [s["name"] for s in report["sheets"]]
    missing = [n for n in sheets if not os.path.exists(os.path.join(out, n + ".dxf"))]
    if not sheets or missing or not os.path.exists(os.path.join(out, "sample_mould.pdf")):
        failures.append(f"the unpacked demo made {len(sheets)} sheets, without the files of {missing}")
    # The one-command job a shop runs per mould, from the same tree: the same sheets as the demo.
    examples = os.path.join(tree, DATA, "examples")
    one = run([program, "sheets", os.path.join(examples, "sample_mould.step"), "--attrs",
               os.path.join(examples, "sample_mould.attrs.json"), "-o", "one"], cwd=elsewhere, env=env, timeout=600)
    made = os.path.join(elsewhere, "one", "sample_mould.json")
    if one.returncode != 0 or not os.path.exists(made):
        failures.append(f"the unpacked tree's sheets job failed ({one.returncode}): {one.stdout[-800:]} {one.stderr[-800:]}")
    elif [s["name"] for s in json.load(open(made, encoding="utf-8"))["sheets"]] != sheets:
        failures.append("the unpacked tree's sheets job made other sheets than its demo")
    return len(sheets)


def complete(tree, words, failures):
    script = (f"source {tree}/usr/share/bash-completion/completions/quillon; COMP_WORDS=({' '.join(words)}); "
              f"COMP_CWORD={len(words) - 1}; _quillon; echo \"${{COMPREPLY[*]}}\"")
    done = run(["bash", "-c", script])
    if done.returncode != 0:
        failures.append(f"the completion failed on {words}: {done.stderr}")
    return done.stdout.split()


def check_completion(tree, failures):
    program = os.path.join(tree, "usr/bin/quillon")
    cases = [([program, "ch"], ["check"]), ([program, "export", "m.prt", "--cs"], ["--csv", "--csv-header"]),
             ([program, "import", "m.step", "--names", "p"], ["product"]), ([program, "ser"], ["serve"])]
    for words, expected in cases:
        got = complete(tree, words, failures)
        if sorted(got) != sorted(expected):
            failures.append(f"completing {words[1:]} gave {got}, not {expected}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--cpack", required=True)
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="quillon_package_")
    try:
        made = run([args.cpack, "--config", os.path.join(args.build, "CPackConfig.cmake"), "-B",
                    os.path.join(work, "cpack")], timeout=600)
        debs = glob.glob(os.path.join(work, "cpack", "quillon_*_amd64.deb"))
        if made.returncode != 0 or len(debs) != 1:
            print(made.stdout[-2000:], made.stderr[-2000:])
            print("FAIL cpack made no quillon_VERSION_amd64.deb")
            return 1
        deb = debs[0]
        tree = os.path.join(work, "tree")
        run(["dpkg-deb", "-x", deb, tree], check=True)
        failures = []
        listed = check_contents(deb, tree, failures)
        depends = check_depends(deb, tree, failures)
        check_completion(tree, failures)
        sheets = check_unpacked_demo(tree, work, failures)
        print(f"{os.path.basename(deb)}: {len(listed)} entries, {os.path.getsize(deb) // 1024} KiB")
        print(f"Depends: {depends}")
        print(f"the unpacked tree's demo made {sheets} sheets")
        for failure in failures:
            print("FAIL", failure)
        return 1 if failures else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
