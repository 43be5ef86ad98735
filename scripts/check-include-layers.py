#!/usr/bin/env python3
"""Checks that the library's includes run one way, from the exports down to the shared helpers.

Each folder of src/ sits on a layer; a file may include headers of its own folder and of
folders on lower layers only: never a layer above, never a sibling folder on the same layer.
No chain of includes may lead from a file back to itself. Prints every offending include and
exits 1 when there is one.
"""
import os
import re
import sys

# Higher layers first; folders on one line share a layer and must not include each other.
LAYERS = [
    ["api"],
    ["designfiles", "dynofiles", "cloud"],
    ["model"],
    ["engine"],
    ["catalog", "pumpunit"],
    ["log"],
    ["common"],
]
# The public header is the host's contract: every layer may use its records.
PUBLIC = "include"

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def layer_of(folder):
    for rank, folders in enumerate(LAYERS):
        if folder in folders:
            return rank
    return None


def resolve(root, source, name):
    """The repository path of an include, or None for a header outside the project."""
    for base in (os.path.dirname(source), os.path.join(root, "src"), os.path.join(root, "include")):
        path = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(path):
            return os.path.relpath(path, root)
    return None


def folder_of(path):
    parts = path.split(os.sep)
    return parts[1] if parts[0] == "src" and len(parts) > 2 else parts[0]


def read_includes(root):
    graph = {}
    for directory, _, files in os.walk(os.path.join(root, "src")):
        for name in sorted(files):
            if not name.endswith((".h", ".hpp", ".c", ".cpp")):
                continue
            source = os.path.join(directory, name)
            with open(source, encoding="utf-8", errors="replace") as f:
                text = f.read()
            targets = [resolve(root, source, inc) for inc in INCLUDE.findall(text)]
            graph[os.path.relpath(source, root)] = [t for t in targets if t is not None]
    return graph


def layer_faults(graph):
    faults = []
    for source, targets in sorted(graph.items()):
        here = folder_of(source)
        for target in targets:
            there = folder_of(target)
            if there in (here, PUBLIC):
                continue
            rank_here, rank_there = layer_of(here), layer_of(there)
            if rank_here is None or rank_there is None:
                faults.append(f"{source}: {target}: folder without a layer")
            elif rank_there <= rank_here:
                side = "a sibling" if rank_there == rank_here else "a higher"
                faults.append(f"{source}: includes {target}, on {side} layer")
    return faults


def cycle_faults(graph):
    faults, state = [], {}

    def visit(node, path):
        state[node] = "open"
        for target in graph.get(node, []):
            if state.get(target) == "open":
                loop = path[path.index(target):] + [target]
                faults.append("include cycle: " + " -> ".join(loop))
            elif target not in state:
                visit(target, path + [target])
        state[node] = "done"

    for node in sorted(graph):
        if node not in state:
            visit(node, [node])
    return faults


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    graph = read_includes(root)
    faults = layer_faults(graph) + cycle_faults(graph)
    for fault in faults:
        print(fault)
    print(f"{len(graph)} files, {sum(len(t) for t in graph.values())} project includes, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
