#!/usr/bin/env python3
"""Fails when the sources or the CMake link graph break the one-way layering.

    python3 scripts/check-layers.py [ROOT]

Every folder of src/ is a layer; the mains (src/*.cpp) are the top. A file may
include its own layer and every layer below it; only platform, ui and the mains
may include Qt. Each layer library links exactly what it needs: no link to a
layer or Qt module that none of its files include, and no include of a layer
that its links do not reach. Every package found is linked somewhere.
"""

import functools
import re
import sys
from pathlib import Path

# The layers and what each builds on directly; everything below those is
# allowed too. Platform implements the interfaces of base, link and http.
LAYERS = {
    "base": [],
    "output": ["base"],
    "window": ["output"],
    "link": ["base"],
    "http": ["base"],
    "control": ["link"],
    "chip": ["link"],
    "sim": ["link"],
    "session": ["chip", "control"],
    # The update checks stand on the session's level and know no window.
    "update": ["session", "http"],
    # What every main wires the same way, below the window and the command line.
    "startup": ["sim", "output"],
    "app": ["update", "window", "startup"],
    "cli": ["session", "startup"],
    "platform": ["link", "http"],
    "ui": ["app"],
    "platform_win32": ["link", "http"],
    # The Win32 window runs on the Win32 loop (its shortcuts are the loop's filter).
    "ui_win32": ["app", "platform_win32"],
    "main": ["ui", "cli", "platform", "ui_win32", "platform_win32"],
}
QT_LAYERS = {"platform", "ui", "main"}
QT_INCLUDE_FOLDERS = ["/usr/include/*/qt6", "/usr/include/qt6"]

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
QT_HEADER = re.compile(r"^(Q[A-Z]\w*|Qt\w*/.*)$")


def below(layer):
    """The layer and every layer it may include, directly or through others."""
    seen, todo = set(), [layer]
    while todo:
        name = todo.pop()
        if name not in seen:
            seen.add(name)
            todo.extend(LAYERS[name])
    return seen


def layer_of(path, src):
    parts = path.relative_to(src).parts
    return "main" if len(parts) == 1 else parts[0]


def includes_by_layer(src):
    """{layer: [(file, line, kind, header)]} for every include in src/."""
    found = {}
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for match in INCLUDE.finditer(text):
            line = text.count("\n", 0, match.start()) + 1
            found.setdefault(layer_of(path, src), []).append(
                (path, line, match.group(1), match.group(2)))
    return found


def include_errors(found, src):
    errors = []
    for layer, includes in found.items():
        if layer not in LAYERS:
            errors.append(f"src/{layer}/ is no layer: add it to LAYERS in {Path(__file__).name}")
            continue
        allowed = below(layer)
        for path, line, kind, header in includes:
            where = f"{path.relative_to(src.parent)}:{line}"
            if kind == "<" and QT_HEADER.match(header) and layer not in QT_LAYERS:
                errors.append(f"{where}: Qt header <{header}> outside platform, ui and the mains")
            target = header.split("/")[0]
            if kind == '"' and "/" in header and target in LAYERS and target not in allowed:
                errors.append(f'{where}: "{header}" reaches up from {layer} to {target}')
    return errors


def cmake_text(root):
    text = (root / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.sub(r"#[^\n]*", "", text)


def links(text, root):
    """{target: (folder or "main:<source>", [linked items])} of the layers and the mains."""
    graph = {}
    for name, folder, items in re.findall(r"telvarn_library\(\s*(\S+)\s+(\S+)([^)]*)\)", text):
        # A folder without sources yet makes no library (CMakeLists.txt skips it).
        if any((root / "src" / folder).glob("*.cpp")):
            graph[name] = (folder, items.split())
    for name, source in re.findall(r"add_executable\(\s*(\S+)\s+(?:WIN32\s+)?src/([\w.]+\.cpp)\s*\)", text):
        graph[name] = ("main:" + source, [])
    for name, items in re.findall(
            r"target_link_libraries\(\s*(\S+)\s+(?:PRIVATE|PUBLIC|INTERFACE)\s([^)]*)\)", text):
        if name in graph and graph[name][0].startswith("main:"):
            graph[name][1].extend(items.split())
    return graph


def reachable(graph, target):
    seen, todo = set(), [target]
    while todo:
        name = todo.pop()
        if name not in seen and name in graph:
            seen.add(name)
            todo.extend(item for item in graph[name][1] if item in graph)
    return seen


@functools.lru_cache(maxsize=None)
def qt_module_of(header):
    for pattern in QT_INCLUDE_FOLDERS:
        for folder in Path("/").glob(pattern.lstrip("/")):
            for module in folder.glob("Qt*"):
                if (module / header).exists():
                    return module.name[2:]
    return None


def target_errors(name, layer, items, includes, graph, libraries):
    """A layer library's or a main's links against what its files include."""
    included = {header.split("/")[0] for _, _, kind, header in includes
                if kind == '"' and "/" in header}
    qt_modules = {qt_module_of(header) for _, _, kind, header in includes
                  if kind == "<" and QT_HEADER.match(header)}
    errors = []
    for item in items:
        other = next((folder for folder, library in libraries.items() if library == item), None)
        if other is not None and other not in below(layer):
            errors.append(f"{name} links {item}, a layer it may not build on")
        if other is not None and other not in included:
            errors.append(f"{name} links {item}, but none of its files include {other}/")
        if item.startswith("Qt6::") and item[5:] not in qt_modules:
            errors.append(f"{name} links {item}, but none of its files include a header of it")
    reached = {graph[target][0] for target in reachable(graph, name)}
    for other in sorted(included - reached - {layer}):
        if other in libraries:
            errors.append(f"{name} includes {other}/ but links nothing that reaches "
                          f"{libraries[other]}")
    return errors


def package_errors(text):
    errors = []
    for package, components in re.findall(r"find_package\(\s*(\w+)([^)]*)\)", text):
        words = components.split()
        if "COMPONENTS" in words:
            for component in words[words.index("COMPONENTS") + 1:]:
                if f"{package}::{component}" not in text:
                    errors.append(f"find_package({package}) component {component} is never linked")
        elif f"{package}::" not in text:
            errors.append(f"find_package({package}) is never linked")
    return errors


def link_errors(found, root):
    text = cmake_text(root)
    graph = links(text, root)
    libraries = {folder: name for name, (folder, _) in graph.items()
                 if not folder.startswith("main:")}
    errors = []
    for name, (folder, items) in graph.items():
        if folder.startswith("main:"):
            includes = [entry for entry in found.get("main", []) if entry[0].name == folder[5:]]
            errors += target_errors(name, "main", items, includes, graph, libraries)
        else:
            errors += target_errors(name, folder, items, found.get(folder, []), graph, libraries)
    return errors + package_errors(text)


def main():
    root = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent)
    src = root / "src"
    found = includes_by_layer(src)
    errors = include_errors(found, src) + link_errors(found, root)
    for error in errors:
        print(f"layering: {error}", file=sys.stderr)
    if errors:
        return 1
    print(f"layering: {sum(map(len, found.values()))} includes in {len(found)} layers keep to it")
    return 0


if __name__ == "__main__":
    sys.exit(main())
