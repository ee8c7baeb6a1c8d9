#!/usr/bin/python3
"""Reads Lapdex through the accessibility bus as a screen reader does (AT-SPI, pyatspi).

Usage: atspi_walk.py TITLE...  Waits for a window of each title, then checks that every shown
control of every window has a name, and that the calendar reports its days (one selected).
"""
import re
import sys
import time

import pyatspi

# Lists, tables, charts, combo boxes and text fields are one control each: their items are
# named by their data, and the calendar is checked on its own.
HOLDS_ITEMS = {pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE,
               pyatspi.ROLE_CHART, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
               pyatspi.ROLE_PASSWORD_TEXT}
MUST_BE_NAMED = HOLDS_ITEMS | {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX,
                               pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_SPIN_BUTTON,
                               pyatspi.ROLE_IMAGE, pyatspi.ROLE_PROGRESS_BAR,
                               pyatspi.ROLE_PAGE_TAB_LIST}
CALENDAR_NAMES = {"走行のカレンダー", "Calendar of runs"}


def application(deadline):
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "Lapdex":
                return app
        time.sleep(0.2)
    return None


def windows(app, titles, deadline):
    while time.time() < deadline:
        found = {w.name: w for w in app if w is not None}
        if all(t in found for t in titles):
            return [found[t] for t in titles]
        time.sleep(0.2)
    missing = [t for t in titles if t not in {w.name for w in app if w is not None}]
    sys.exit("atspi_walk: windows not on the bus: %s" % ", ".join(missing))


def walk(node, path, faults, calendars):
    states = node.getState()
    if not states.contains(pyatspi.STATE_SHOWING):
        return
    role = node.getRole()
    where = "%s/%s" % (path, node.getRoleName())
    focusable = states.contains(pyatspi.STATE_FOCUSABLE) and role != pyatspi.ROLE_LABEL
    if (role in MUST_BE_NAMED or focusable) and not node.name.strip():
        faults.append(where + ": no name")
    if node.name in CALENDAR_NAMES:
        calendars.append(node)
    if role in HOLDS_ITEMS:
        return
    for child in node:
        if child is not None:
            walk(child, where, faults, calendars)


def check_calendar(calendar, faults):
    days = [calendar.getChildAtIndex(i) for i in range(calendar.childCount)]
    if not 56 <= len(days) <= 62:
        faults.append("calendar: %d days for two months" % len(days))
    selected = [d.name for d in days if d.getState().contains(pyatspi.STATE_SELECTED)]
    if len(selected) != 1:
        faults.append("calendar: %d selected days" % len(selected))
    for number, day in enumerate(days[:28], start=1):
        if not re.search(r"(?<!\d)%d(?!\d)" % number, day.name):
            faults.append("calendar: day %d is named %r" % (number, day.name))


def main():
    titles = sys.argv[1:]
    deadline = time.time() + 30
    app = application(deadline)
    if app is None:
        sys.exit("atspi_walk: Lapdex is not on the accessibility bus")
    faults, calendars = [], []
    checked = 0
    for window in windows(app, titles, deadline):
        walk(window, window.name, faults, calendars)
        checked += 1
    if len(calendars) != 1:
        faults.append("%d calendars found" % len(calendars))
    for calendar in calendars:
        check_calendar(calendar, faults)
    if faults:
        sys.exit("atspi_walk:\n  " + "\n  ".join(faults))
    print("atspi_walk: %d windows, every control named; the calendar reports its days" % checked)


main()
