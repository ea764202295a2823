#!/usr/bin/env python3
"""Fails when the files of src/ include each other in a cycle.

A header and its source file are one unit (TMainForm.h and TMainForm.cpp): a cycle is two or more units
that reach one another through their includes, such as a window that includes a helper whose source
includes the window back. Such units can only be understood, changed and tested together.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def units(src):
    """Maps each unit (a path below src without its extension) to the units it includes."""
    graph = {}
    for folder, _, files in os.walk(src):
        for name in files:
            if not name.endswith(('.h', '.cpp', '.c')):
                continue
            path = os.path.join(folder, name)
            unit = os.path.splitext(os.path.relpath(path, src))[0]
            with open(path, encoding='utf-8', errors='replace') as f:
                text = f.read()
            targets = graph.setdefault(unit, set())
            for included in INCLUDE.findall(text):
                for base in (src, folder):
                    candidate = os.path.normpath(os.path.join(base, included))
                    if os.path.isfile(candidate):
                        target = os.path.splitext(os.path.relpath(candidate, src))[0]
                        if target != unit:
                            targets.add(target)
                        break
    return graph


def cycles(graph):
    """The strongly connected components of more than one unit (Tarjan, without recursion)."""
    index, low, on_stack, stack, found, counter = {}, {}, set(), [], [], [0]
    for root in sorted(graph):
        if root in index:
            continue
        work = [(root, iter(sorted(graph.get(root, ()))))]
        index[root] = low[root] = counter[0]; counter[0] += 1
        stack.append(root); on_stack.add(root)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is not None:
                if child not in index:
                    index[child] = low[child] = counter[0]; counter[0] += 1
                    stack.append(child); on_stack.add(child)
                    work.append((child, iter(sorted(graph.get(child, ())))))
                elif child in on_stack:
                    low[node] = min(low[node], index[child])
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop(); on_stack.discard(member); component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    found.append(sorted(component))
    return found


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'src')
    found = cycles(units(os.path.normpath(src)))
    for component in found:
        print('include cycle: ' + ' <-> '.join(component))
    if not found:
        print('no include cycles in ' + os.path.normpath(src))
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
