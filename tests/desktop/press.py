"""Presses a control of the running game through the accessibility bus: press.py ROLE NAME.

Wayland gives no client a way to send input to another one, so the test uses what a screen
reader uses. Waits up to ten seconds for the control to appear.
"""
import sys
import time

import pyatspi


def find(node, role, name, depth=0):
    if node is None or depth > 12:
        return None
    if node.getRoleName() == role and node.name == name:
        return node
    for i in range(node.childCount):
        found = find(node.getChildAtIndex(i), role, name, depth + 1)
        if found is not None:
            return found
    return None


def main():
    role, name = sys.argv[1], sys.argv[2]
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(100):
        for i in range(desktop.childCount):
            try:
                control = find(desktop.getChildAtIndex(i), role, name)
            except Exception:  # the tree changes while it is read
                control = None
            if control is not None:
                control.queryAction().doAction(0)
                return 0
        time.sleep(0.1)
    print(f"no {role} named {name}", file=sys.stderr)
    return 1


sys.exit(main())
