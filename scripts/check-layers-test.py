#!/usr/bin/env python3
"""The layering check against copies of the tree, each with one planted fault.

    python3 scripts/check-layers-test.py

The copy without a fault must pass; each planted fault must fail the check with
a message naming it.
"""

import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
CHECK = ROOT / "scripts" / "check-layers.py"

# (what is planted, file, text appended to it or (old, new) replaced in it, expected message)
CASES = [
    ("an upward include", "src/link/serial_port.h", '#include "app/main_window.h"\n',
     '"app/main_window.h" reaches up from link to app'),
    ("a Qt header in the core", "src/chip/chip_buffer.h", "#include <QString>\n",
     "Qt header <QString> outside platform, ui and the mains"),
    ("an upward link", "CMakeLists.txt",
     ("telvarn_library(telvarn_platform platform telvarn_link",
      "telvarn_library(telvarn_platform platform telvarn_app telvarn_link"),
     "telvarn_platform links telvarn_app, a layer it may not build on"),
    ("a link without an include", "CMakeLists.txt",
     ("telvarn_library(telvarn_sim sim telvarn_link)",
      "telvarn_library(telvarn_sim sim telvarn_link telvarn_window)"),
     "telvarn_sim links telvarn_window, but none of its files include window/"),
    ("an unused Qt module", "CMakeLists.txt",
     ("telvarn_library(telvarn_ui ui telvarn_app Qt6::Widgets)",
      "telvarn_library(telvarn_ui ui telvarn_app Qt6::Widgets Qt6::Network)"),
     "telvarn_ui links Qt6::Network, but none of its files include a header of it"),
    ("an include without a link", "CMakeLists.txt",
     ("telvarn_window telvarn_startup)", "telvarn_window)"),
     "telvarn_app includes startup/ but links nothing that reaches telvarn_startup"),
    ("an unused package", "CMakeLists.txt",
     ("find_package(ZLIB REQUIRED)", "find_package(ZLIB REQUIRED)\nfind_package(Threads)"),
     "find_package(Threads) is never linked"),
]


def copy_of_tree(folder):
    shutil.copytree(ROOT / "src", folder / "src")
    shutil.copy(ROOT / "CMakeLists.txt", folder / "CMakeLists.txt")


def plant(folder, file, change):
    path = folder / file
    text = path.read_text(encoding="utf-8")
    if isinstance(change, tuple):
        old, new = change
        if old not in text:
            raise AssertionError(f"{file} no longer holds {old!r}: update the case")
        text = text.replace(old, new)
    else:
        text += change
    path.write_text(text, encoding="utf-8")


def run_check(folder):
    result = subprocess.run([sys.executable, str(CHECK), str(folder)],
                            capture_output=True, text=True, check=False)
    return result.returncode, result.stderr


def main():
    failures = []
    with tempfile.TemporaryDirectory() as temporary:
        clean = Path(temporary) / "clean"
        copy_of_tree(clean)
        code, output = run_check(clean)
        if code != 0:
            failures.append(f"the unchanged tree fails the check:\n{output}")
        for name, file, change, expected in CASES:
            folder = Path(temporary) / name.replace(" ", "_")
            copy_of_tree(folder)
            plant(folder, file, change)
            code, output = run_check(folder)
            if code == 0 or expected not in output:
                failures.append(f"{name} in {file}: exit {code}, expected {expected!r} in:\n"
                                f"{output}")
            else:
                print(f"check-layers-test: {name} fails the check: {output.splitlines()[0]}")
    for failure in failures:
        print(f"check-layers-test: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
