"""press.py ROLE NAME: as a screen reader, for no Wayland client may send another input."""
import sys
import time

import pyatspi

for _ in range(100):
    try:
        control = pyatspi.findDescendant(
            pyatspi.Registry.getDesktop(0),
            lambda node: (node.getRoleName(), node.name) == tuple(sys.argv[1:]))
        control.queryAction().doAction(0)
        sys.exit(0)
    except Exception:  # not there yet, or the tree changed while it was read
        time.sleep(0.1)
sys.exit(f"no {sys.argv[1]} named {sys.argv[2]}")
