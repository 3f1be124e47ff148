"""Presses a control of the running game through the accessibility bus: press.py ROLE NAME.

Wayland gives no client a way to send input to another one, so the test uses what a screen
reader uses. Waits up to ten seconds for the control to appear.
"""
import sys
import time

import pyatspi

for _ in range(100):
    try:
        control = pyatspi.findDescendant(
            pyatspi.Registry.getDesktop(0),
            lambda node: node.getRoleName() == sys.argv[1] and node.name == sys.argv[2])
    except Exception:  # the tree changes while it is read
        control = None
    if control is not None:
        control.queryAction().doAction(0)
        sys.exit(0)
    time.sleep(0.1)
sys.exit(f"no {sys.argv[1]} named {sys.argv[2]}")
