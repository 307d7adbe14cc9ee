"""Walks the game window's accessible tree over AT-SPI and checks what a screen reader
finds there: 49 named board squares, the seats, the clock, the buttons and the arrows."""
import os
import re
import socket
import subprocess
import sys
import time

program, launcher = sys.argv[1], sys.argv[2]


def skip(why):
    print("SKIPPED:", why)
    sys.exit(77)


bus = subprocess.Popen([launcher, "--launch-immediately"], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
time.sleep(0.5)
if bus.poll() is not None:
    skip("the accessibility bus did not start: " + bus.stderr.read().decode(errors="replace").strip())

import pyatspi  # noqa: E402  (needs the session bus above)

with socket.socket() as s:  # a free loopback port for the game server
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb")
game = subprocess.Popen([program, "--port", str(port)], env=env)
failures = []


def fail(text):
    failures.append(text)
    print("FAIL:", text)


def walk(node, found, depth=0):
    if node is None or depth > 40:
        return
    try:
        role, name, count = node.getRoleName(), node.name, node.childCount
    except Exception:
        return
    found.append((role, name, node))
    for i in range(count):
        try:
            walk(node.getChildAtIndex(i), found, depth + 1)
        except Exception:
            pass


def find_window():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        try:
            if app.get_process_id() != game.pid:
                continue
        except Exception:
            continue
        for frame in app:
            if frame is not None and frame.name == "Quorbit":
                return frame
    return None


try:
    deadline = time.time() + 25
    objects = []
    while time.time() < deadline:
        if game.poll() is not None:
            fail("the program ended early with status %s" % game.returncode)
            break
        window = find_window()
        if window is not None:
            objects = []
            walk(window, objects)
            squares = [n for r, n, _ in objects if re.match(r"^(empty|[A-Z], \d+ points?), column [1-7], row [1-7]", n)]
            if len(squares) == 49 and any(n.startswith("You, ") for _, n, _ in objects):
                break
        time.sleep(0.3)
    names = [n for _, n, _ in objects]
    byname = {n: r for r, n, _ in objects}

    board = [o for r, n, o in objects if n == "Board"]
    if len(board) != 1:
        fail("expected one board, found %d" % len(board))
    else:
        cells = [board[0].getChildAtIndex(i) for i in range(board[0].childCount)]
        if len(cells) != 49:
            fail("the board has %d squares, not 49" % len(cells))
        places = set()
        for cell in cells:
            m = re.match(r"^(empty|[A-Z], \d+ points?), column ([1-7]), row ([1-7])(, [a-z ]+)?$", cell.name)
            if not m:
                fail("square without a proper name: %r" % cell.name)
                continue
            places.add((m.group(2), m.group(3)))
            if cell.getRoleName() != "table cell":
                fail("square %r has role %s" % (cell.name, cell.getRoleName()))
        if len(places) != 49:
            fail("the squares name %d different places, not 49" % len(places))
        if cells and not cells[24].name.endswith("column 4, row 4, bonus"):
            fail("the middle square is %r" % cells[24].name)

    for expected in ["You, 0 points, playing", "seat 3, waiting for a player"]:
        if expected not in names:
            fail("no seat named %r" % expected)
    for role, name in [("label", "Welcome to Quorbit"), ("text", "Chat entry"), ("text", "Chat"),
                       ("image", "0 Quorbit Shuffles left")]:
        if byname.get(name) != role:
            fail("no %s named %r" % (role, name))
    if not any(re.match(r"^\d+ seconds? left$", n) for n in names):
        fail("no clock")
    for button in ["Start", "Way To Go!", "Good Game Everyone!", "slide the tiles toward the left column",
                   "letter 1 of the chain: empty"]:
        if byname.get(button) != "push button":
            fail("no push button named %r (role %r)" % (button, byname.get(button)))
    # Start a game as a screen reader user would: press Start, then the dialog's start
    # picture, and hear the status line change.
    heard = []
    pyatspi.Registry.registerEventListener(
        lambda e: heard.append(e.source.name if e.source is not None else ""), "object:property-change:accessible-name")
    from gi.repository import GLib  # noqa: E402

    def pump(seconds, until):
        context, end = GLib.MainContext.default(), time.time() + seconds
        while time.time() < end and not until():
            context.iteration(False)
            time.sleep(0.02)

    def press(name):
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is None or app.get_process_id() != game.pid:
                    continue
            except Exception:
                continue
            found = []
            walk(app, found)
            for role, n, node in found:
                if n == name and role == "push button":
                    action = node.queryAction()
                    for i in range(action.nActions):
                        if action.getName(i) == "Press":
                            return action.doAction(i)
        return False

    if not press("Start"):
        fail("could not press Start")
    started = []
    pump(5, lambda: started.append(True) or True if press("Start the game") else False)
    if not started:
        fail("could not press the dialog's start picture")
    pump(15, lambda: any(n in ("Your Turn", "Zubo's Turn") for n in heard))
    if not any(n in ("Your Turn", "Zubo's Turn") for n in heard):
        fail("no turn was told; names heard: %r" % heard[-10:])
    print("walked %d accessible objects; heard %d name changes" % (len(objects), len(heard)))
    if os.environ.get("ATSPI_TREE_VERBOSE"):
        for r, n, _ in objects:
            print("  %-16s %s" % (r, n))
finally:
    game.terminate()
    try:
        game.wait(10)
    except subprocess.TimeoutExpired:
        game.kill()
    bus.terminate()

sys.exit(1 if failures else 0)
