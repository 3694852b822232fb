#!/usr/bin/env python3
"""Includes between folders run one way only.

Every folder of the product (a layer, or a part of one) may include folders below it, never
one that includes it back, directly or through others. The layers' include folders already
refuse an include against the order of the libraries; this check also covers folders that
share a library (helper/ and helper/linux/, the views' sub-folders, the status item's).
A program's entry point (main.cpp) sits above everything and is not counted.

Usage: include_graph_test.py SOURCE_ROOT
Prints every cycle with one include of each of its edges; exits 1 when there is one.
"""

import os
import re
import sys

NOT_PRODUCT = {"tests", "bench", "fuzz", "build", ".git", "docs", "packaging", "scripts", "cmake"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def product_files(root):
    for folder, subfolders, files in os.walk(root):
        relative = os.path.relpath(folder, root)
        top = relative.split(os.sep)[0]
        if top in NOT_PRODUCT or top.startswith("build"):
            subfolders[:] = []
            continue
        for name in files:
            if name.endswith((".h", ".cpp")) and name != "main.cpp":
                yield os.path.normpath(os.path.join(relative, name))


def folder_edges(root):
    """{folder: {included folder: one include line that makes the edge}}"""
    edges = {}
    for path in product_files(root):
        source_folder = os.path.dirname(path)
        with open(os.path.join(root, path), encoding="utf-8") as source:
            text = source.read()
        for included in INCLUDE.findall(text):
            if not os.path.isfile(os.path.join(root, included)):
                continue  # a header beside the file or a generated one
            target_folder = os.path.dirname(os.path.normpath(included))
            if target_folder and target_folder != source_folder:
                edges.setdefault(source_folder, {}).setdefault(
                    target_folder, '%s includes "%s"' % (path, included))
    return edges


def cycles(edges):
    """Strongly connected components of more than one folder (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for target in edges.get(node, {}):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
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

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return found


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    edges = folder_edges(root)
    if not edges:
        print("no includes between folders found under %s" % root)
        return 1
    found = cycles(edges)
    for component in found:
        members = set(component)
        print("folders that include each other: %s" % ", ".join(component))
        for source in component:
            for target, example in sorted(edges.get(source, {}).items()):
                if target in members:
                    print("  %s -> %s: %s" % (source, target, example))
    if not found:
        print("%d folders, %d edges, no cycle" % (len(edges), sum(map(len, edges.values()))))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
