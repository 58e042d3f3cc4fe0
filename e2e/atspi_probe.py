"""Prints, as JSON, what accessibility tools see of one process: `atspi_probe.py PID`.

Runs as a process of its own so that a program that stops answering on the accessibility bus
costs the caller one bounded wait, not a hang. Prints null when the process is not on the bus.
"""

import json
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

MAX_NODES = 2000
MAX_DEPTH = 24


def describe(node, depth, budget):
    budget[0] -= 1
    result = {
        "role": node.get_role_name() or "",
        "name": node.get_name() or "",
        "extents": None,
        "states": [],
        "text": None,
        "children": [],
    }
    try:
        component = node.get_component_iface()
        if component is not None:
            rect = component.get_extents(Atspi.CoordType.SCREEN)
            result["extents"] = [rect.x, rect.y, rect.width, rect.height]
    except gi.repository.GLib.Error:
        pass
    try:
        result["states"] = sorted(Atspi.StateType(state).value_nick
                                  for state in node.get_state_set().get_states())
    except gi.repository.GLib.Error:
        pass
    try:
        text = node.get_text_iface()
        if text is not None:
            result["text"] = text.get_text(0, text.get_character_count())
    except gi.repository.GLib.Error:
        pass
    if depth < MAX_DEPTH:
        for index in range(node.get_child_count()):
            if budget[0] <= 0:
                break
            child = node.get_child_at_index(index)
            if child is not None:
                result["children"].append(describe(child, depth + 1, budget))
    return result


def main():
    pid = int(sys.argv[1])
    Atspi.set_timeout(3000, 10000)
    desktop = Atspi.get_desktop(0)
    for index in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(index)
        try:
            if app is not None and app.get_process_id() == pid:
                print(json.dumps(describe(app, 0, [MAX_NODES])))
                return
        except gi.repository.GLib.Error:
            continue
    print("null")


if __name__ == "__main__":
    main()
