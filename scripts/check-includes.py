#!/usr/bin/env python3
"""Checks that our own includes run down the layers and never in a circle.

Reads every #include "..." of the source folders and fails (status 1) when
  - a folder includes a file of a folder above it in LAYERS, or
  - modules form a cycle; a module is a header with its source file of the
    same name (frame.h and frame.cpp, and a private name_detail.h), and
    module A depends on module B when any file of A includes B's header.
Tests, benchmarks and fuzz targets sit above every layer and are not read.

    scripts/check-includes.py [top]
"""
import os
import re
import sys

# Lowest first. The engine and the definitions reach the operating system
# only through platform/ and take their texts from res/; the path data is
# made from the engine's records under the machine and tool definitions;
# the views draw path data; the panels show the block store; the property
# sheets edit definitions and settings and restyle panels and panes; the
# application joins everything. A sub-folder (view/win32) belongs to its
# folder.
LAYERS = ["platform", "res", "engine", "definitions", "pathdata", "view", "panes", "dialogs",
          "app"]
SOURCE_SUFFIXES = (".h", ".cpp", ".inc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def layer_of(path):
    folder = path.split("/", 1)[0]
    return LAYERS.index(folder) if folder in LAYERS else None


def module_of(path):
    # A module's private header (block_text_detail.h) belongs to it.
    stem = os.path.splitext(path)[0]
    return stem[: -len("_detail")] if stem.endswith("_detail") else stem


def read_includes(top):
    """{file: [included file, ...]} for every source file of the layers."""
    includes = {}
    for folder in LAYERS:
        for root, _, names in os.walk(os.path.join(top, folder)):
            for name in sorted(names):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.relpath(os.path.join(root, name), top).replace(os.sep, "/")
                with open(os.path.join(top, path), encoding="utf-8") as f:
                    includes[path] = INCLUDE.findall(f.read())
    return includes


def upward_includes(includes):
    for path, targets in sorted(includes.items()):
        for target in targets:
            here, there = layer_of(path), layer_of(target)
            if there is not None and there > here:
                yield f"{path} includes {target}: {LAYERS[here]} is below {LAYERS[there]}"


def module_graph(includes):
    graph = {}
    for path, targets in includes.items():
        edges = graph.setdefault(module_of(path), set())
        for target in targets:
            if target in includes and module_of(target) != module_of(path):
                edges.add(module_of(target))
    return graph


def cycles(graph):
    """Strongly connected components of more than one module (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(graph.get(node, ())):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return found


def main():
    top = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    includes = read_includes(top)
    problems = list(upward_includes(includes))
    graph = module_graph(includes)
    for component in cycles(graph):
        problems.append("modules in a cycle: " + ", ".join(component))
    for problem in problems:
        print(problem)
    edges = sum(len(e) for e in graph.values())
    print(f"{len(includes)} files, {len(graph)} modules, {edges} module dependencies; "
          f"layers {' < '.join(LAYERS)}: "
          + ("no upward include, no cycle" if not problems else f"{len(problems)} problems"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
