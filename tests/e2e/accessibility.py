"""What a screen reader reads of the results, for run_e2e.py --accessibility.

After the usage page has shown (run_e2e's step 1):

  1. before any search, the results list "検索結果" holds the usage page as
     a label, the search box is named 「検索ワード」, the search button by its
     label and the history's buttons 「前の検索ワード」 and 「次の検索ワード」;
  2. after a search of 料理 apple, the list's items are the ten rows shown,
     each named "<n>. <title> — <path>" with its excerpt as description,
     beside the hit count and the page links;
  3. once a click on an empty spot of the results has given them the
     keyboard, the pointer on row 3 gives that row the focused and selected
     states, and on row 5 moves them there; a listener hears both focus
     changes (on Windows a WinEvent hook of the probe).

The Linux program is read through AT-SPI (pyatspi; run_e2e.py runs inside
dbus-run-session, so the accessibility bus is the run's own); sorahiki.exe
through Active Accessibility, by the probe that the Windows build makes, run
under the same Wine. Each reading is a fresh process, so nothing a reader
keeps from an earlier reading can stand in for the program's answer.
"""

import json
import os
import re
import subprocess
import sys
import time

LIST_NAME = "検索結果"
EMPTY_SPOT = (780, 590)  # bottom strip, right of every link and label
ROW_NAME = re.compile(r"^(\d+)\. (.*) \u2014 (.*)$")


# run_e2e's Failure, handed over by scenario().
_failure = None


def fail(run, expected, seen):
    return _failure(run.step, expected, seen)


class Reading:
    """One reading: the results list's children and the named controls."""

    def __init__(self, children, edit_name, buttons):
        self.children = children  # dicts: role, name, description, states
        self.edit_name = edit_name
        self.buttons = buttons

    def rows(self):
        return [c for c in self.children if c["role"] == "list item"]

    def names(self, role):
        return [c["name"] for c in self.children if c["role"] == role]

    def summary(self):
        return "; ".join(f"{c['role']} \"{c['name'][:60]}\"" for c in self.children) or "no children"


# --- Linux: AT-SPI --------------------------------------------------------------


def read_atspi():
    """Prints the tree of the application "sorahiki" as JSON (a child process)."""
    import pyatspi

    def node(acc):
        states = [pyatspi.stateToString(s) for s in acc.getState().getStates()]
        return {"role": acc.getRoleName(), "name": acc.name or "",
                "description": acc.description or "", "states": states}

    found = {"children": None, "edit": None, "buttons": []}

    def walk(acc):
        role = acc.getRoleName()
        if role == "list" and acc.name == LIST_NAME:
            found["children"] = [node(acc.getChildAtIndex(i)) for i in range(acc.childCount)]
            return
        if role == "text" and found["edit"] is None:
            found["edit"] = acc.name or ""
        if role == "push button":
            found["buttons"].append(acc.name or "")
        for i in range(acc.childCount):
            walk(acc.getChildAtIndex(i))

    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "sorahiki":
            walk(app)
    print(json.dumps(found, ensure_ascii=False))


def listen_atspi(seconds):
    """Prints focus events as JSON lines for `seconds` (a child process)."""
    import pyatspi
    from gi.repository import GLib

    def heard(event):
        target = event.any_data if event.type.startswith("object:active-descendant") else event.source
        try:
            # A text told anew comes with the event: the part may be gone by
            # the time its name could be asked.
            name = event.any_data if event.type.startswith("object:text-changed") else target.name
        except Exception:
            name = ""
        print(json.dumps({"type": event.type, "detail1": event.detail1, "name": name},
                         ensure_ascii=False), flush=True)

    pyatspi.Registry.registerEventListener(heard, "object:state-changed:focused",
                                           "object:active-descendant-changed",
                                           "object:text-changed:insert")
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop() or False)
    print("ready", flush=True)
    pyatspi.Registry.start()


def linux_reading(run):
    result = subprocess.run([sys.executable, __file__, "read"], env=run.desktop.env,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    if result.returncode != 0:
        return None, result.stderr.decode(errors="replace").strip()[-300:]
    found = json.loads(result.stdout)
    if found["children"] is None:
        return None, "no list named 検索結果 in the tree of \"sorahiki\""
    return Reading(found["children"], found["edit"], found["buttons"]), ""


# --- Windows: the probe under Wine --------------------------------------------------

ROLES = {0x22: "list item", 0x29: "label", 0x1E: "link", 0x21: "list", 0x17: "status bar"}
STATE_SELECTED, STATE_FOCUSED = 0x2, 0x4


def windows_reading(run):
    result = subprocess.run(["wine", os.path.abspath(run.args.accessibility_probe)],
                            env=run.desktop.env, cwd=run.work, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, timeout=120)
    if result.returncode != 0:
        return None, f"the probe ended with {result.returncode}: " + \
            result.stderr.decode(errors="replace").strip()[-300:]
    children, edit_name, buttons = [], None, []
    for line in result.stdout.decode("utf-8", errors="replace").splitlines():
        fields = line.rstrip("\r").split("\t")
        if fields[0] == "child" and len(fields) >= 7:
            state = int(fields[3], 16)
            states = [s for s, bit in (("selected", STATE_SELECTED), ("focused", STATE_FOCUSED))
                      if state & bit]
            children.append({"role": ROLES.get(int(fields[2], 16), fields[2]),
                             "name": fields[4].replace("\\n", "\n"),
                             "description": fields[5], "states": states})
        elif fields[0] == "self" and (len(fields) < 4 or fields[3] != LIST_NAME):
            return None, f"a client object named {LIST_NAME}, not {fields[3:]}"
        elif fields[0] == "edit" and len(fields) > 1:
            edit_name = fields[1]
        elif fields[0] == "button" and len(fields) > 2:
            buttons.append(fields[2])
    return Reading(children, edit_name, buttons), ""


# --- The scenario -----------------------------------------------------------------


def expect_reading(run, expected, test, timeout=20):
    """Reads until test(reading) gives (True, _); returns that reading."""
    reader = windows_reading if run.args.wine else linux_reading
    deadline = time.monotonic() + timeout
    while True:
        reading, trouble = reader(run)
        ok, seen = test(reading) if reading else (False, trouble)
        if ok:
            return reading
        if time.monotonic() > deadline:
            raise fail(run, expected, seen)
        time.sleep(0.5)


def step_before_search(run):
    def test(reading):
        labels = reading.names("label")
        return (len(labels) == 27 and labels[1] == "【使い方】" and not reading.rows() and
                not any(label.startswith(("　", " ")) for label in labels), reading.summary())
    reading = expect_reading(run, f"the list {LIST_NAME} holding the usage page's 27 lines as labels, "
                                  "without their leading blanks", test)
    if reading.edit_name != "検索ワード":
        raise fail(run, "the search box named 「検索ワード」", f"\"{reading.edit_name}\"")
    # The history's buttons, painted 「前へ」 and 「次へ」 as the page strip's
    # links are, are named as the history's.
    if sorted(reading.buttons) != sorted(["検索", "前の検索ワード", "次の検索ワード"]):
        raise fail(run, "push buttons named 検索, 前の検索ワード and 次の検索ワード",
                   reading.buttons)


def rows_as_shown(reading):
    """None when the rows are named as rows 1 to 10 of 料理 apple, else what is wrong."""
    rows = reading.rows()
    if len(rows) != 10:
        return f"{len(rows)} list items: {reading.summary()}"
    for n, row in enumerate(rows, 1):
        match = ROW_NAME.match(row["name"])
        if not match or int(match.group(1)) != n or not match.group(2).startswith("週末の料理メモ") \
                or not re.search(r"(料理|おやつ)/(ryouri|oyatsu)-\d\d\.txt$",
                                 match.group(3)):
            return f"item {n} named \"{row['name']}\""
        if "apple" not in row["description"]:
            return f"item {n} described \"{row['description']}\""
    return None


def step_rows(run):
    run.submit("料理", " apple")
    run.expect_rows(10, "13 hits: page 1 full")

    def test(reading):
        wrong = rows_as_shown(reading)
        if wrong:
            return False, wrong
        return (reading.names("status bar") == ["総ヒット数 13　件"] and
                reading.names("link") == ["ページ 1", "ページ 2", "次のページ"]), reading.summary()
    expect_reading(run, "ten items \"<n>. 週末の料理メモその<k> — <path>\" described by their "
                        "excerpts, the status \"総ヒット数 13　件\" and the links ページ 1, ページ 2, "
                        "次のページ", test)


def focused_rows(reading):
    return [n for n, row in enumerate(reading.rows(), 1) if "focused" in row["states"]]


def expect_focus_on(run, row):
    def test(reading):
        focused = focused_rows(reading)
        selected = [n for n, r in enumerate(reading.rows(), 1) if "selected" in r["states"]]
        return focused == [row] and selected == [row], f"focused {focused}, selected {selected}"
    expect_reading(run, f"row {row} alone focused and selected", test)


def start_focus_listener(run):
    """A listener of focus events that has told it is ready."""
    if run.args.wine:
        command = ["wine", os.path.abspath(run.args.accessibility_probe), "focus", "4"]
    else:
        command = [sys.executable, __file__, "listen", "30"]
    listener = subprocess.Popen(command, env=run.desktop.env, cwd=run.work, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL)
    if listener.stdout.readline().strip() != b"ready":
        listener.kill()
        raise fail(run, "a listener of focus events", "none started")
    time.sleep(1.0)  # the program hears of a new listener through its desktop
    return listener


def focus_heard(run, listener):
    """The names of the objects the listener heard gain the focus, and the
    texts it heard a status say (a name change, or a live region's insert)."""
    if run.args.wine:
        try:
            listener.wait(30)  # it ends after the two events it waits for
        except subprocess.TimeoutExpired:
            pass
    else:
        time.sleep(0.5)
    if listener.poll() is None:
        listener.kill()
    lines = listener.stdout.read().decode("utf-8", errors="replace").splitlines()
    if run.args.wine:
        said = [line.split("\t", 1)[1] for line in lines if line.startswith("name\t")]
        return [line.split("\t", 1)[1] for line in lines if line.startswith("focus\t")], said
    heard = [json.loads(line) for line in lines if line.strip() and line.strip() != "ready"]
    said = [e["name"] for e in heard if e["type"].startswith("object:text-changed:insert")]
    return [e["name"] for e in heard
            if e["type"] == "object:state-changed:focused" and e["detail1"] == 1], said


def step_focus(run):
    listener = start_focus_listener(run)
    try:
        # A click that opens nothing gives the results the keyboard.
        run.program.click(*EMPTY_SPOT)
        run.program.move(400, 45 + 53 * 2 + 27)
        expect_focus_on(run, 3)
        run.program.move(400, 45 + 53 * 4 + 27)
        expect_focus_on(run, 5)
        # Tab takes the keyboard to the page strip's link of the page shown,
        # → to the next; F5 searches again, whose end is heard.
        run.desktop.xdo("key", "--clearmodifiers", "Tab")
        time.sleep(0.5)
        run.desktop.xdo("key", "--clearmodifiers", "Right")
        time.sleep(0.5)
        run.desktop.xdo("key", "--clearmodifiers", "F5")
        time.sleep(3)
    finally:
        focused, said = focus_heard(run, listener)
    for number in (3, 5):
        if not any(name.startswith(f"{number}. ") for name in focused):
            raise fail(run, f"focus announced on row {number}", f"focus events on {focused}")
    if "ページ 1" not in focused or "ページ 2" not in focused[focused.index("ページ 1"):]:
        raise fail(run, "focus announced on ページ 1, then ページ 2", f"focus events on {focused}")
    if "総ヒット数 13　件" not in said:
        raise fail(run, "the search's end heard as 総ヒット数 13　件", f"heard {said}")


def scenario(run, failure):
    global _failure
    _failure = failure
    run.timed("2 reader: usage page and named controls", lambda: step_before_search(run))
    run.timed("3 reader: rows after a search", lambda: step_rows(run))
    run.timed("4 reader: focus follows the selected row", lambda: step_focus(run))


def prepare(env):
    """The program talks to the run's accessibility bus."""
    env.pop("NO_AT_BRIDGE", None)


def add_arguments(parser):
    parser.add_argument("--accessibility", action="store_true",
                        help="read the program as a screen reader does instead of the full scenario")
    parser.add_argument("--accessibility-probe",
                        help="with --wine: the Windows build's probe of Active Accessibility")


if __name__ == "__main__":
    if sys.argv[1] == "read":
        read_atspi()
    elif sys.argv[1] == "listen":
        listen_atspi(float(sys.argv[2]))
