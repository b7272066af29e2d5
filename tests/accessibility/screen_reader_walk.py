#!/usr/bin/python3
"""Every window of Stowbook as a screen reader sees it.

Starts the program on a demo data folder with accessibility on, opens each
window the way a person would (menus through their accessible actions, the
calendar with its key), and walks each window's accessible tree: every
control that takes the focus must have a name, and two buttons of one
window may share a name only when the group they stand in says which.

    screen_reader_walk.py STOWBOOK STOWBOOK-SETUP

Run it on an X display and a session bus (on-private-display.sh dbus-run-session ...).
"""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

# How long a window may take to appear or go, in seconds.
PATIENCE = 30

BUTTON_ROLES = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON}
GROUP_ROLES = {pyatspi.ROLE_PANEL, pyatspi.ROLE_GROUPING, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_FILLER}


def children(node):
    try:
        found = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # a node that went away while it was read
        return []
    return [child for child in found if child is not None]


def states(node):
    return node.getState()


def wait_for(what, condition, seen=lambda: ""):
    """Polls the accessibility bus until condition() gives something."""
    deadline = time.monotonic() + PATIENCE
    while time.monotonic() < deadline:
        found = condition()
        if found:
            return found
        pyatspi.Registry.pumpQueuedEvents()
        time.sleep(0.05)  # polling the bus, not waiting for the program
    raise SystemExit(f"{what} did not happen within {PATIENCE} s {seen()}")


def find(node, match, depth=0):
    if match(node):
        return node
    if depth > 40:
        return None
    for child in children(node):
        found = find(child, match, depth + 1)
        if found:
            return found
    return None


def windows(app):
    """The application's open windows by their titles (a plain widget window is a filler)."""
    return {w.name: w for w in children(app) if w.getRole() in (
        pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG, pyatspi.ROLE_WINDOW, pyatspi.ROLE_FILLER)}


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() in ("press", "click", "activate", "toggle"):
            action.doAction(i)
            return
    action.doAction(0)


def menu_item(main, *path):
    """The menu item reached through the captions of path (access keys left out)."""
    node = main
    for caption in path:
        node = find(node, lambda n, c=caption: n.name.replace("&", "") == c and n.getRole() in (
            pyatspi.ROLE_MENU, pyatspi.ROLE_MENU_ITEM))
        if node is None:
            raise SystemExit(f"no menu entry {' > '.join(path)}")
    return node


def walk(window):
    """The problems of one window: unnamed focusable controls, buttons named alike."""
    problems = []
    buttons = {}

    def visit(node, trail, group):
        role = node.getRole()
        name = node.name.strip()
        if role in GROUP_ROLES and name:
            group = name
        st = states(node)
        # A table's cells are its data, read with their column's heading; an
        # empty one has nothing to say.
        if (st.contains(pyatspi.STATE_FOCUSABLE) and st.contains(pyatspi.STATE_SHOWING) and not name
                and role != pyatspi.ROLE_TABLE_CELL):
            problems.append(f"{node.getRoleName()} without a name at {trail}")
        if role in BUTTON_ROLES and name and st.contains(pyatspi.STATE_SHOWING):
            buttons.setdefault((name, group), []).append(trail)
        for index, child in enumerate(children(node)):
            visit(child, f"{trail}/{child.getRoleName()}[{index}]", group)

    visit(window, window.getRoleName(), "")
    for (name, group), where in buttons.items():
        if len(where) > 1:
            problems.append(f"{len(where)} buttons named \"{name}\"" + (f" in \"{group}\"" if group else "")
                            + f": {', '.join(where)}")
    return problems


def walk_every_page(window):
    """walk() of the window with each page of each of its tab lists shown in turn."""
    problems = walk(window)
    tabs = find(window, lambda n: n.getRole() == pyatspi.ROLE_PAGE_TAB_LIST)
    if tabs is None:
        return problems
    pages = [tab for tab in children(tabs) if tab.getRole() == pyatspi.ROLE_PAGE_TAB]
    for page in pages[1:] + pages[:1]:
        # The tab pressed is the current one, which the tab bar marks as focused.
        press(page)
        wait_for(f"the page \"{page.name}\"", lambda p=page: states(p).contains(pyatspi.STATE_FOCUSED))
        problems += [f"{problem} (page \"{page.name}\")" for problem in walk(window) if problem not in problems]
    return problems


def main():
    program, setup = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as scratch:
        folder = os.path.join(scratch, "household")
        subprocess.run([setup, "--demo", folder], check=True, stdout=subprocess.DEVNULL)
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb")
        stowbook = subprocess.Popen([program, "-d", folder], env=env)
        try:
            return run(stowbook)
        finally:
            stowbook.kill()
            stowbook.wait()


def run(stowbook):
    desktop = pyatspi.Registry.getDesktop(0)
    def on_bus():
        if stowbook.poll() is not None:
            raise SystemExit(f"the program ended (exit code {stowbook.returncode}) before it was on the accessibility bus")
        return next((a for a in children(desktop) if a is not None and a.get_process_id() == stowbook.pid), None)
    app = wait_for("the program on the accessibility bus", on_bus)
    main_window = wait_for("the main window", lambda: windows(app).get("Stowbook"))

    # Each window: how it is opened, and its title. The import window opens
    # only after a file dialog; its names are checked by its own tests.
    opened_by_menu = [
        (("View", "Item List..."), "Item List"),
        (("View", "Documents..."), "Documents"),
        (("View", "Warranty and Disposal..."), "Warranty and Disposal"),
        (("View", "Warranties..."), "Warranties"),
        (("Maintain", "Categories"), "Maintain Categories"),
        (("Reports", "All Items by Category"), "Report Output"),
        (("Reports", "Custom Reports"), "Custom Report"),
        (("Reports", "Insurance Claim..."), "Insurance Claim"),
        (("Reports", "Claim Readiness..."), "Claim Readiness"),
        (("Help", "Contents"), "Stowbook Help"),
        (("Help", "About Stowbook"), "About Stowbook"),
    ]
    report = {"Stowbook": walk(main_window)}

    # The calendar, by a click on the purchase date's calendar button (its
    # accessible action would wait for the calendar, which is modal, to close).
    button = find(main_window, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON
                  and n.name == "Calendar for the purchase date")
    extents = button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(extents.x + extents.width // 2, extents.y + extents.height // 2, "b1c")
    calendar = wait_for("the calendar", lambda: windows(app).get("Select Purchase Date Date"))
    report["calendar"] = walk(calendar)
    pyatspi.Registry.generateKeyboardEvent(0xFF1B, None, pyatspi.KEY_SYM)  # Escape
    wait_for("the calendar to close", lambda: "Select Purchase Date Date" not in windows(app))

    for path, title in opened_by_menu:
        press(menu_item(main_window, *path))
        window = wait_for(f"the window \"{title}\"", lambda t=title: windows(app).get(t),
                          lambda: f"(windows: {[(c.name, c.getRoleName()) for c in children(app)]})")
        report[title] = walk_every_page(window)

    # The help window's search page.
    help_window = windows(app)["Stowbook Help"]
    press(find(help_window, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name.replace("&", "") == "Search"))
    wait_for("the help's search page", lambda: find(help_window, lambda n: n.getRole() == pyatspi.ROLE_LIST
                                                   and states(n).contains(pyatspi.STATE_SHOWING)))
    report["Stowbook Help, search"] = walk(help_window)

    # The picture window, from the main window's button.
    picture = find(main_window, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name.replace("&", "") == "Picture")
    press(picture)
    window = wait_for("the picture window", lambda: windows(app).get("Image"))
    report[window.name] = walk(window)

    failed = False
    for title, problems in report.items():
        print(f"{title}: {'ok' if not problems else ''}")
        for problem in problems:
            print(f"    {problem}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
