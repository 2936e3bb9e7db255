#!/usr/bin/env python3
"""Drives one build of Sorahiki the way a person does, in a private X server.

The program (the Linux build, or sorahiki.exe under Wine) starts in a fresh
folder with a DATA folder of Shift-JIS files written here, and one memo in
UTF-8. xdotool moves the pointer, clicks and types; the screen is read back
with ImageMagick's `import` and judged by its pixels:

  1. the window "Sorahiki" appears and shows the usage page;
  2. a query is typed and "検索" pressed: rows, hit count, the words on
     light yellow and the grey highlight under the pointer appear;
  3. page link 2, "前へ" and "次へ" of the bottom strip turn the pages;
  4. a click on a row opens that row's file with the desktop's "open";
  5. "前へ"/"次へ" of the history bar bring the previous query back;
  6. a query without hits shows the usage page again, with the count 0;
  7. a memo in UTF-8 is found beside its Shift-JIS twin and shows the same
     title and excerpt; a file whose word lies past its excerpt shows the
     text around the word instead;
  8. a search of a large folder keeps the window alive: the hit count
     changes while "中止" stands in the button, and "中止" ends the search
     with the hits found so far;
  9. the close question from the menu answered "いいえ" keeps the program
     running, and Escape ends it with exit status 0 at once, mid-search;
 10. started again with the folder DATA/料理 on its command line, the window
     names that folder in its caption and searches it alone.

On the way: the first key typed after start lands in the search box, Enter
searches, and a double click on a row opens its file once. The Linux program
reads the large folder through a slow disk (--slow-open, a preloaded library);
under Wine the folder is slow enough as it is.

With --compare-locale LOCALE (Windows build) steps 1 and 2 run again after
a restart of Wine under ja_JP.UTF-8 and then under that locale (en_US.UTF-8:
code page 1252), and the pictures of the usage page and of the first result
page must match between the two.

With --accessibility the run after step 1 reads the program as a screen
reader does (see accessibility.py).

With --input-method the run is a different one: 料理 is searched once pasted
and once typed as "ryouri" through ibus with Mozc (a real Japanese input
method), with the conversion shown in the edit box while it is composed; the
two searches must find the same rows (see input_method_scenario).

Every failure names what was expected and what was seen, and leaves a
screenshot of the failing step in the work folder.

usage: run_e2e.py --program PATH --work DIR [--zip ZIP] [--wine]
                  [--wine-prefix DIR] [--screenshot PNG] [--input-method]
                  [--compare-locale LOCALE] [--slow-open LIBRARY] [--scaling]

With --scaling the run is the one of scaling.py: the window at 100 % and at
larger scales, laid out alike.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time
import zipfile

import accessibility
from input_method import InputMethod, InputMethodError
import scaling

CLIENT_W, CLIENT_H = 800, 600
SCREEN_W, SCREEN_H = 1280, 1024
SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")

WHITE = (255, 255, 255)
GREY = (192, 192, 192)
TITLE_LABEL = (255, 128, 100)
WORD_HIGHLIGHT = (255, 240, 120)
PATH_LABEL = (0, 255, 0)

SEARCH_BAR = (230, 5, 635, 45)
HISTORY_BAR = (20, 5, 170, 45)
HIT_COUNT_BOX = (650, 0, 800, 45)
PAGE_CELL_1 = (231, 575, 261, 600)
PREV_LABEL = (90, 575, 140, 600)
NEXT_LABEL = (640, 575, 690, 600)
EMPTY_SPOT = (780, 590)  # bottom strip, right of every link and label
# A press of "検索" this soon after the one that started a search is the
# second press of a double click (the system's default double-click time,
# 500 ms, with a margin), which neither stops that search nor starts another.
DOUBLE_CLICK_SECONDS = 0.6


class Failure(Exception):
    def __init__(self, step, expected, seen):
        super().__init__(f"{step}: expected {expected}; saw {seen}")
        self.step = step


class Watched:
    """The program that waits watch: poll() gives its exit status once it has ended."""
    poll = None


def wait_for(step, expected, probe, timeout):
    """Polls probe() until it returns (True, _) or the time is up.

    probe returns (ok, what it saw); the last sighting goes into the failure.
    A program that ends meanwhile fails the wait at once.
    """
    deadline = time.monotonic() + timeout
    while True:
        status = Watched.poll() if Watched.poll else None
        if status is not None:
            raise Failure(step, expected, f"the program ended with exit status {status}")
        ok, seen = probe()
        if ok:
            return seen
        if time.monotonic() > deadline:
            raise Failure(step, expected, f"{seen} (after {timeout:.0f} s)")
        time.sleep(0.1)


# --- Pictures -------------------------------------------------------------


class Image:
    """An RGB picture read from a binary PPM."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @staticmethod
    def from_ppm(blob):
        fields, pos = [], 0
        while len(fields) < 4:
            while blob[pos:pos + 1].isspace():
                pos += 1
            if blob[pos:pos + 1] == b"#":
                pos = blob.index(b"\n", pos)
                continue
            start = pos
            while not blob[pos:pos + 1].isspace():
                pos += 1
            fields.append(blob[start:pos])
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("not an 8-bit binary PPM")
        width, height = int(fields[1]), int(fields[2])
        return Image(width, height, blob[pos + 1:pos + 1 + width * height * 3])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, left, top, right, bottom):
        rows = [self.data[(y * self.width + left) * 3:(y * self.width + right) * 3]
                for y in range(top, bottom)]
        return Image(right - left, bottom - top, b"".join(rows))

    def count(self, rect, test):
        left, top, right, bottom = rect
        return sum(1 for y in range(top, bottom) for x in range(left, right)
                   if test(self.pixel(x, y)))

    def differing_pixels(self, other, tolerance=40):
        if (self.width, self.height) != (other.width, other.height):
            return self.width * self.height
        stride, count = self.width * 3, 0
        for y in range(self.height):
            a = self.data[y * stride:(y + 1) * stride]
            b = other.data[y * stride:(y + 1) * stride]
            if a != b:
                count += sum(1 for i in range(0, stride, 3)
                             if max(abs(a[i] - b[i]), abs(a[i + 1] - b[i + 1]), abs(a[i + 2] - b[i + 2])) > tolerance)
        return count

    def save_png(self, path):
        header = b"P6\n%d %d\n255\n" % (self.width, self.height)
        subprocess.run(["convert", "ppm:-", "png:" + path], input=header + self.data, check=True,
                       stdout=subprocess.DEVNULL, timeout=30)


def near(colour, target, tolerance):
    return max(abs(c - t) for c, t in zip(colour, target)) <= tolerance


def is_dark(colour):
    return max(colour) < 110


def describe(colour):
    return "RGB %d,%d,%d" % colour


# --- The X server and the program ------------------------------------------


class Desktop:
    """A private Xvfb display and the xdotool, xclip and import commands on it."""

    def __init__(self, work, env):
        self.env = dict(env)
        self.server = subprocess.Popen(
            [os.path.join(SCRIPTS, "xvfb-start.sh"), os.path.join(work, "xvfb.log"),
             "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24", "-noreset"],
            stdout=subprocess.PIPE)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            byte = self.server.stdout.read(1)
            if not byte:
                break
            number += byte
        if not number.strip():
            self.server.kill()
            raise Failure("start", "Xvfb to report its display number", "no number")
        self.env["DISPLAY"] = ":" + number.decode().strip()
        self.clipboard_owner = None

    def stop(self):
        if self.clipboard_owner and self.clipboard_owner.poll() is None:
            self.clipboard_owner.kill()
            self.clipboard_owner.wait()
        if self.server.poll() is None:
            self.server.terminate()
            try:
                self.server.wait(10)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait()

    def run(self, *args, check=True):
        result = subprocess.run(list(args), env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"{' '.join(args)} failed: {result.stderr.decode(errors='replace').strip()}")
        return result.stdout

    def xdo(self, *args, check=True):
        return self.run("xdotool", *args, check=check).decode(errors="replace")

    def grab(self):
        blob = self.run("import", "-silent", "-window", "root", "-depth", "8", "ppm:-")
        return Image.from_ppm(blob)

    def windows(self):
        """Visible windows as (id, name)."""
        ids = self.xdo("search", "--onlyvisible", "--name", "", check=False).split()
        found = []
        for wid in ids:
            name = self.run("xdotool", "getwindowname", wid, check=False).decode(errors="replace").strip()
            found.append((wid, name))
        return found

    def geometry(self, wid):
        fields = {}
        for line in self.xdo("getwindowgeometry", "--shell", wid).splitlines():
            key, _, value = line.partition("=")
            fields[key] = int(value)
        return fields["X"], fields["Y"], fields["WIDTH"], fields["HEIGHT"]

    def set_clipboard(self, text):
        if self.clipboard_owner and self.clipboard_owner.poll() is None:
            self.clipboard_owner.kill()
            self.clipboard_owner.wait()
        # -quiet keeps xclip in the foreground, so it is ours to end.
        self.clipboard_owner = subprocess.Popen(
            ["xclip", "-quiet", "-selection", "clipboard"], env=self.env, stdin=subprocess.PIPE,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.clipboard_owner.stdin.write(text.encode("utf-8"))
        self.clipboard_owner.stdin.close()
        wait_for("clipboard", "xclip to own the clipboard",
                 lambda: (self.run("xclip", "-o", "-selection", "clipboard", check=False).decode(
                     "utf-8", "replace") == text, "another text"), 10)


class Program:
    """The program under test, its window and its client area on the screen."""

    def __init__(self, desktop, command, cwd, log_path):
        self.desktop = desktop
        self.log = open(log_path, "wb")
        self.process = subprocess.Popen(command, cwd=cwd, env=desktop.env, stdout=self.log,
                                        stderr=subprocess.STDOUT, start_new_session=True)
        self.window = None
        self.frame = None  # x, y, width, height of the top-level window
        self.origin = None  # screen position of client pixel (0, 0)

    def find_window(self, timeout, folder=None):
        """The largest window titled "Sorahiki", or "<path ending in folder> -
        Sorahiki" for a program given a folder to search."""
        title = "Sorahiki" if folder is None else folder + " - Sorahiki"

        def probe():
            if self.process.poll() is not None:
                raise Failure("start", "the program to keep running",
                              f"exit status {self.process.returncode} before any window")
            best = None
            for wid, name in self.desktop.windows():
                if name != title and not (folder and name.endswith(title)):
                    continue
                geometry = self.desktop.geometry(wid)
                if best is None or geometry[2] * geometry[3] > best[1][2] * best[1][3]:
                    best = (wid, geometry)
            if best is None:
                return False, f"no window titled \"{title}\""
            _, (_, _, width, height) = best
            if width < CLIENT_W or height < CLIENT_H:
                return False, f"a window of {width} x {height}"
            self.window, self.frame = best
            return True, best

        wait_for("start", f"a window titled \"{title}\" holding an 800 x 600 client area", probe,
                 timeout)
        # The client area sits at the bottom of the window, with frames of equal
        # width left, right and below (none at all when nobody draws a frame).
        x, y, width, height = self.frame
        border = (width - CLIENT_W) // 2
        self.origin = (x + border, y + height - CLIENT_H - border)

    def alive(self):
        return self.process.poll() is None

    def client_shot(self, shot):
        ox, oy = self.origin
        return shot.crop(ox, oy, ox + CLIENT_W, oy + CLIENT_H)

    def window_shot(self, shot):
        x, y, width, height = self.frame
        return shot.crop(max(x, 0), max(y, 0), min(x + width, shot.width), min(y + height, shot.height))

    def screen_point(self, x, y):
        return self.origin[0] + int(x), self.origin[1] + int(y)

    def move(self, x, y):
        sx, sy = self.screen_point(x, y)
        self.desktop.xdo("mousemove", str(sx), str(sy))

    def click(self, x, y):
        sx, sy = self.screen_point(x, y)
        self.desktop.xdo("mousemove", str(sx), str(sy))
        self.desktop.xdo("click", "1")

    def focus(self):
        self.desktop.xdo("windowfocus", "--sync", self.window, check=False)


# --- The folder of files ---------------------------------------------------

# Thirteen files hold both 料理 and apple, so the first query fills page 1
# with ten rows and page 2 with three. Others hold only one of the two words,
# and one holds キウイ alone: its name has a character with no code page 932
# form and an environment string, neither of which a row's action may lose
# or expand.
MATCHING = [("料理", f"ryouri-{n:02d}.txt") for n in range(1, 8)] + \
           [("料理/おやつ", f"oyatsu-{n:02d}.txt") for n in range(1, 7)]
KIWI = ("果物", "kiwi%TEMP%📝.txt")


def write_data(work):
    data = os.path.join(work, "DATA")
    shutil.rmtree(data, ignore_errors=True)

    def write(folder, name, text):
        os.makedirs(os.path.join(data, folder), exist_ok=True)
        with open(os.path.join(data, folder, name), "wb") as out:
            out.write(text.replace("\n", "\r\n").encode("cp932"))

    for n, (folder, name) in enumerate(MATCHING, 1):
        write(folder, name, f"週末の料理メモ その{n}\n"
                            f"apple を薄く切って焼く。料理の手順は{n}つだけ。\n"
                            "砂糖は控えめにする。\n")
    write("料理", "nabe.txt", "冬の料理\n白菜と豆腐の鍋。apricot は入れない。\n")
    write("買い物", "list.txt", "買い物リスト\napple 三個、牛乳、卵\n")
    with open(os.path.join(data, "買い物", "list-utf8.txt"), "wb") as out:
        out.write("買い物リスト\r\napple 三個、牛乳、卵\r\n".encode("utf-8"))
    write(*KIWI, "果物の記録\nキウイは追熟させてから食べる。\n")
    # The word stands far past the excerpt: the row shows the text around it.
    write("果物", "yuzu.txt", "冬の果物\n" + "みかんとりんごを箱で買った。" * 6 + "最後に柚子を一つ。\n")
    write("", "readme.txt", "このフォルダーは試験用です。\n")
    return data


# The large folder: one file in LARGE_HIT_EVERY holds 進捗, so the count of
# hits grows all through the search. The Linux program reads it through the
# slow disk (5 ms a file); under Wine reading is slow by itself, and more
# files give the search seconds: there hits are rarer, so that the hit list
# never fills (which ends a search at once) before 「中止」 can stop it.
LARGE = "many"
LARGE_FILES = {False: 800, True: 15000}
LARGE_HIT_EVERY = {False: 10, True: 50}


def write_large_folder(work, wine):
    folder = os.path.join(work, "DATA", LARGE)
    os.makedirs(folder, exist_ok=True)
    for n in range(LARGE_FILES[wine]):
        word = "進捗" if n % LARGE_HIT_EVERY[wine] == 0 else "別件"
        with open(os.path.join(folder, f"f{n:05d}.txt"), "wb") as out:
            out.write(f"記録 {n}\r\n{word}の覚え書き\r\n".encode("cp932"))


def install_recorder(work, env):
    """Makes a recorder the desktop's default application for text files.

    GIO reads the default from mimeapps.list in XDG_CONFIG_HOME and the
    application from XDG_DATA_HOME; the recorder appends its argument to
    opened.log.
    """
    config = os.path.join(work, "xdg", "config")
    data = os.path.join(work, "xdg", "data")
    apps = os.path.join(data, "applications")
    os.makedirs(config, exist_ok=True)
    os.makedirs(apps, exist_ok=True)
    log = os.path.join(work, "opened.log")
    recorder = os.path.join(work, "xdg", "record-open.sh")
    with open(recorder, "w") as out:
        out.write(f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{log}"\n')
    os.chmod(recorder, 0o755)
    with open(os.path.join(apps, "sorahiki-e2e-recorder.desktop"), "w") as out:
        out.write("[Desktop Entry]\nType=Application\nName=Recorder\n"
                  f'Exec="{recorder}" %f\nMimeType=text/plain;\nNoDisplay=true\n')
    with open(os.path.join(config, "mimeapps.list"), "w") as out:
        out.write("[Default Applications]\ntext/plain=sorahiki-e2e-recorder.desktop\n")
    env.update(XDG_CONFIG_HOME=config, XDG_DATA_HOME=data,
               XDG_CACHE_HOME=os.path.join(work, "xdg", "cache"),
               XDG_DATA_DIRS="/usr/local/share:/usr/share",
               GSETTINGS_BACKEND="memory", NO_AT_BRIDGE="1")
    return log


# --- The steps ---------------------------------------------------------------


class Run:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.work)
        self.shots = os.path.join(self.work, "shots")
        self.step = "start"
        self.times = []
        self.desktop = None
        self.program = None
        self.opened_log = None
        self.input_method = None
        self.edit_frame_ink = None

    # Screen reading, in client coordinates.

    def shot(self, name=None):
        picture = self.desktop.grab()
        client = self.program.client_shot(picture)
        if name:
            client.save_png(os.path.join(self.shots, f"{name}.png"))
        return client

    def rows_present(self, client):
        rows = []
        for r in range(10):
            top = 45 + 53 * r
            title = client.count((30, top, 130, top + 17), lambda c: near(c, TITLE_LABEL, 45))
            path = client.count((30, top + 35, 160, top + 52), lambda c: near(c, PATH_LABEL, 45))
            rows.append(title >= 4 and path >= 4)
        return rows

    def expect_rows(self, count, expected):
        def probe():
            rows = self.rows_present(self.shot())
            present = [r + 1 for r, p in enumerate(rows) if p]
            return present == list(range(1, count + 1)), f"rows with labels: {present or 'none'}"
        return wait_for(self.step, f"exactly rows 1 to {count} with their coloured labels ({expected})",
                        probe, 20)

    def highlight_probe(self, row, want_grey):
        # Spots inside the row that no text reaches: its right end and the
        # gap left of the labels.
        top = 45 + 53 * row
        spots = [(797, top + 3), (797, top + 50), (20, top + 26)]

        def probe():
            client = self.shot()
            colours = [client.pixel(x, y) for x, y in spots]
            ok = all(near(c, GREY if want_grey else WHITE, 8) for c in colours)
            return ok, ", ".join(f"{describe(c)} at {s}" for c, s in zip(colours, spots))
        return probe

    def expect_highlight(self, row, want_grey):
        what = "the grey fill RGB 192,192,192" if want_grey else "white, no highlight"
        wait_for(self.step, f"{what} in row {row + 1} with the pointer resting on it",
                 self.highlight_probe(row, want_grey), 10)

    def dark_pixels(self, rect):
        return self.shot().count(rect, is_dark)

    def hit_count_picture(self):
        return self.shot().crop(*HIT_COUNT_BOX)

    def expect_grey_edges(self, inside, outside, what):
        """Grey at the client points inside, and not at the points outside,
        which may lie beyond the client area: the fill ends exactly there."""
        def probe():
            picture = self.desktop.grab()
            ox, oy = self.program.origin
            seen = []
            ok = True
            for points, want in ((inside, True), (outside, False)):
                for x, y in points:
                    sx, sy = ox + x, oy + y
                    colour = picture.pixel(sx, sy) if 0 <= sx < picture.width and 0 <= sy < picture.height \
                        else (0, 0, 0)
                    ok = ok and near(colour, GREY, 8) == want
                    seen.append(f"{describe(colour)} at ({x}, {y})")
            return ok, ", ".join(seen)
        wait_for(self.step, f"{what}: grey at {inside}, not grey at {outside}", probe, 10)

    def expect_same_hit_count(self, reference, what):
        wait_for(self.step, f"the hit count of {what} again",
                 lambda: (self.hit_count_picture().differing_pixels(reference) <= 3,
                          f"{self.hit_count_picture().differing_pixels(reference)} pixels differ from it"), 10)

    # Bars, found by their pixels: the scale of dialog units depends on the
    # font that the platform gives the dialogs.

    def measure_bars(self):
        client = self.shot("bars")

        def edges(bar, y, background_spot):
            background = client.pixel(*background_spot)
            columns = [x for x in range(bar[0], bar[2])
                       if max(abs(a - b) for a, b in zip(client.pixel(x, y), background)) > 30]
            return (columns[0], columns[-1]) if columns else (None, None)

        first, last = edges(SEARCH_BAR, 25, (232, 7))
        if first is None or last - first < 150:
            raise Failure(self.step, "the edit box and the button \"検索\" in the search bar (x 230 to 635)",
                          f"controls spanning x {first} to {last} on the line y = 25")
        unit = (last + 1 - first) / 224.0  # edit box at 3 .. button end at 227
        self.edit_left = first
        self.edit_right = int(first + 168 * unit)
        self.edit_point = (first + 40 * unit, 25)
        self.search_button = (first + 197 * unit, 25)

        first, last = edges(HISTORY_BAR, 35, (22, 7))
        if first is None or last - first < 60:
            raise Failure(self.step, "the buttons \"前へ\" and \"次へ\" in the history bar (x 20 to 170)",
                          f"controls spanning x {first} to {last} on the line y = 35")
        unit = (last + 1 - first) / 86.0  # "前へ" at 0 .. "次へ" ends at 86
        self.history_back = (first + 22 * unit, 35)
        self.history_forward = (first + 66.5 * unit, 35)

    def paste_key(self):
        """Through Wine's input method bridge Ctrl+V arrives as "v"; an edit
        box also pastes on Shift+Insert."""
        return "shift+Insert" if self.args.wine and self.input_method else "ctrl+v"

    def paste(self, before):
        """Pastes the clipboard into the edit box, which shows `before`."""
        self.desktop.xdo("key", "--clearmodifiers", self.paste_key())
        if self.input_method and self.args.wine:
            # Wine may hear of the clipboard's new owner after the key.
            for _ in range(5):
                time.sleep(1)
                if self.edit_picture().differing_pixels(before) > 20:
                    break
                self.desktop.xdo("key", "--clearmodifiers", self.paste_key())

    def clear_keys(self):
        """Keys that empty the edit box; through Wine's input method bridge
        Shift+Home may arrive as Home."""
        if self.args.wine and self.input_method:
            return ["End"] + ["BackSpace"] * 30
        return ["End", "shift+Home", "Delete"]

    def edit_picture(self):
        return self.shot().crop(self.edit_left, 8, self.edit_right, 42)

    def submit(self, japanese, ascii_words="", enter=False):
        """Clicks into the edit box, replaces its text and presses "検索", or
        Enter in the box."""
        program, desktop = self.program, self.desktop
        program.focus()
        program.click(*self.edit_point)
        desktop.xdo("key", "--clearmodifiers", *self.clear_keys())
        before = self.edit_picture()
        # Japanese cannot be typed through a keyboard map, so it is pasted;
        # the ASCII words are typed key by key.
        desktop.set_clipboard(japanese)
        if self.args.wine:
            # Wine hears of the clipboard's new owner a moment later: once, on
            # a loaded machine, the previous query was pasted again.
            time.sleep(0.5)
        self.paste(before)
        if ascii_words:
            desktop.xdo("type", "--delay", "20", ascii_words)
        wait_for(self.step, f"the text \"{japanese}{ascii_words}\" to show in the edit box",
                 lambda: (self.edit_picture().differing_pixels(before) > 20, "the edit box unchanged"), 10)
        if enter:
            desktop.xdo("key", "Return")
        else:
            program.click(*self.search_button)
        program.move(*EMPTY_SPOT)

    def opened_files(self):
        if self.args.wine:
            return [name for _, name in self.desktop.windows() if name.endswith(("メモ帳", "Notepad"))]
        if not os.path.exists(self.opened_log):
            return []
        with open(self.opened_log, encoding="utf-8", errors="replace") as log:
            return [line.rstrip("\n") for line in log if line.strip()]

    def open_row(self, row, allowed, what, double=False):
        """Clicks a row, or double-clicks it, and waits for its file to be
        opened once: one of allowed, (folder, name) pairs under DATA.
        """
        already = len(self.opened_files()) if not self.args.wine else 0
        self.program.click(400, 45 + 53 * row + 27)
        if double:
            self.desktop.xdo("click", "1")
        self.program.move(*EMPTY_SPOT)
        data = os.path.realpath(os.path.join(self.work, "DATA"))

        def matches(entry):
            for folder, name in allowed:
                if self.args.wine:
                    if entry.startswith(name + " - "):
                        return True
                elif os.path.realpath(entry) == os.path.join(data, folder, name):
                    return True
            return False

        # Notepad shows "(無題)" until it has read the file, so a wrong name
        # counts only when it stays.
        def probe():
            entries = self.opened_files()[already:]
            return bool(entries) and all(matches(e) for e in entries), entries or "nothing opened"

        names = ", ".join(os.path.join("DATA", f, n) for f, n in allowed[:3])
        wait_for(self.step, f"{what} to be opened ({names}{' ...' if len(allowed) > 3 else ''})", probe, 30)
        if double:
            # A second opening would follow the first within moments.
            time.sleep(1.0)
            opened = self.opened_files()[already:]
            if len(opened) != 1:
                raise Failure(self.step, f"{what} opened once by a double click", opened)
        if self.args.wine:
            self.close_notepad()

    def close_notepad(self):
        """Closes the Notepad windows that opening a row left over the program."""
        for wid, name in self.desktop.windows():
            if name.endswith(("メモ帳", "Notepad")):
                self.desktop.xdo("windowfocus", "--sync", wid, check=False)
                self.desktop.xdo("key", "--clearmodifiers", "alt+F4", check=False)
        wait_for(self.step, "Notepad to close after alt+F4",
                 lambda: (not self.opened_files(), self.opened_files()), 15)
        self.program.focus()

    # The scenario.

    def timed(self, name, action):
        self.step = name
        started = time.monotonic()
        action()
        self.times.append((name, time.monotonic() - started))

    def usage_page(self, client):
        """Whether `client` shows the usage page and no rows, and what it shows."""
        lines = sum(1 for n in range(27)
                    if client.count((20, 50 + 20 * n, 420, 50 + 20 * n + 16), is_dark) >= 8)
        labels = sum(self.rows_present(client))
        return lines >= 25 and labels == 0, f"{lines} of the 27 usage lines drawn, {labels} rows"

    def expect_usage_page(self):
        wait_for(self.step, "the usage page (27 lines of text from y = 50) and no rows",
                 lambda: self.usage_page(self.shot()), 30)

    def step_window(self):
        self.program.find_window(90 if self.args.wine else 30)

        self.expect_usage_page()
        if self.dark_pixels(HIT_COUNT_BOX) > 0:
            raise Failure(self.step, "an empty hit-count box before the first search",
                          "text in the box (650,0)-(800,45)")
        self.usage_picture = self.shot("01-usage-page")
        self.measure_bars()
        # The search box has the keyboard from the start: a key typed into
        # the window lands there.
        before = self.edit_picture()
        self.program.focus()
        self.desktop.xdo("key", "x")
        wait_for(self.step, "the first key typed to show in the search box",
                 lambda: (self.edit_picture().differing_pixels(before) > 5, "the edit box unchanged"), 10)
        self.desktop.xdo("key", "BackSpace")

    def step_search(self):
        self.submit("料理", " apple")
        self.expect_rows(10, "13 hits: page 1 full")
        self.first_query_edit = self.edit_picture()
        count_ink = self.dark_pixels(HIT_COUNT_BOX)
        if count_ink < 20:
            raise Failure(self.step, "the hit count \"総ヒット数\" / \"13　件\" at the top right",
                          f"{count_ink} dark pixels in (650,0)-(800,45)")
        # 料理 stands on light yellow in row 1's title and in its excerpt.
        def yellow():
            client = self.shot()
            counts = [client.count(rect, lambda c: near(c, WORD_HIGHLIGHT, 12))
                      for rect in ((130, 45, 500, 62), (100, 62, 500, 79))]
            return min(counts) >= 40, f"{counts[0]} and {counts[1]} light-yellow pixels"
        wait_for(self.step, "the word 料理 on light yellow in row 1's title and excerpt", yellow, 10)
        # The pointer resting on row 2 greys that row only.
        self.program.move(400, 45 + 53 + 27)
        self.expect_highlight(1, True)
        self.expect_highlight(0, False)
        # The fill spans the client area's full width of 800 pixels.
        self.expect_grey_edges([(0, 125), (799, 125)], [(-1, 125), (800, 125)],
                               "row 2's fill from x = 0 to 799")
        self.hit_count_13 = self.hit_count_picture()
        self.search_label = self.button_label()
        picture = self.desktop.grab()
        self.search_picture = self.program.client_shot(picture)
        self.search_picture.save_png(os.path.join(self.shots, "02-search.png"))
        if self.args.screenshot:
            self.program.window_shot(picture).save_png(self.args.screenshot)

    def step_pages(self):
        program = self.program
        page1 = self.shot().crop(0, 45, 800, 575)
        program.click(*centre(PAGE_CELL_1))
        self.expect_rows(3, "page 2 of 13 hits")
        if self.shot("03-page-2").crop(0, 45, 800, 575).differing_pixels(page1) < 200:
            raise Failure(self.step, "other rows on page 2", "the rows of page 1")
        # Page cell 1 (page 2, shown) fills (190,575)-(220,600), right column
        # and bottom row excluded; the client area ends at y = 600.
        program.move(205, 587)
        self.expect_grey_edges([(190, 575), (219, 599)], [(220, 587), (219, 600)],
                               "page cell 1's fill (190,575)-(220,600)")
        # An empty row gets no highlight, a present one does.
        program.move(400, 45 + 53 * 5 + 27)
        self.expect_highlight(5, False)
        program.move(400, 45 + 53 * 2 + 27)
        self.expect_highlight(2, True)
        program.click(*centre(PREV_LABEL))
        self.expect_rows(10, "page 1 again after \"前へ\"")
        program.click(*centre(NEXT_LABEL))
        self.expect_rows(3, "page 2 again after \"次へ\"")
        self.shot("04-next")

    def step_open(self):
        # Row 3 of page 2 is one of the thirteen files of the first query.
        self.open_row(2, MATCHING, "one of the thirteen files that hold 料理 and apple")
        # A query with one hit shows which file a row stands for.
        self.submit("キウイ")
        self.expect_rows(1, "1 hit")
        self.kiwi_edit = self.edit_picture()
        self.hit_count_1 = self.hit_count_picture()
        if self.hit_count_1.differing_pixels(self.hit_count_13) < 10:
            raise Failure(self.step, "a hit count of 1 that looks unlike the 13 before",
                          "the same pixels in (650,0)-(800,45)")
        self.open_row(0, [KIWI], "DATA/果物/kiwi.txt", double=True)
        self.shot("05-opened")

    def step_history(self):
        def edit_shows(reference, what):
            wait_for(self.step, f"the edit box to show {what} again",
                     lambda: (self.edit_picture().differing_pixels(reference) <= 3,
                              f"{self.edit_picture().differing_pixels(reference)} pixels differ from it"), 10)

        self.program.click(*self.history_back)
        edit_shows(self.first_query_edit, "\"料理 apple\"")
        self.expect_rows(10, "the 13 hits of \"料理 apple\" again")
        self.expect_same_hit_count(self.hit_count_13, "13 hits")
        self.shot("06-history-back")
        self.program.click(*self.history_forward)
        edit_shows(self.kiwi_edit, "\"キウイ\"")
        self.expect_rows(1, "the 1 hit of \"キウイ\" again")
        self.expect_same_hit_count(self.hit_count_1, "1 hit")

    def step_no_hit(self):
        # Enter searches as the button does.
        self.submit("該当なし", " zzz", enter=True)
        self.expect_usage_page()
        wait_for(self.step, "the hit count of 0 at the top right",
                 lambda: (self.hit_count_picture().differing_pixels(self.hit_count_1) >= 10
                          and self.dark_pixels(HIT_COUNT_BOX) >= 20, "the count of 1 hit or none"), 10)
        self.shot("07-no-hit")
        # "前へ" of the history bar brings the row of キウイ back.
        self.program.click(*self.history_back)
        self.expect_rows(1, "the 1 hit of \"キウイ\" after \"前へ\"")

    def step_utf8(self):
        # The UTF-8 twin of the shopping list is found with it, and both rows
        # show the same title and excerpt; only the paths differ.
        self.submit("牛乳")
        self.expect_rows(2, "the shopping list in Shift-JIS and in UTF-8")

        def probe():
            client = self.shot()
            # Right of the row numbers "1." and "2.", down to the excerpt.
            first, second = (client.crop(30, 45 + 53 * r, 800, 45 + 53 * r + 34) for r in (0, 1))
            ink = first.count((0, 0, 770, 34), is_dark)
            differing = first.differing_pixels(second)
            return ink >= 40 and differing <= 3, \
                f"{ink} dark pixels in row 1's title and excerpt, {differing} pixels differ in row 2's"
        wait_for(self.step, "the title and excerpt of row 1 again in row 2", probe, 10)
        self.shot("07-utf8")

    def step_context(self):
        # 柚子 lies past the excerpt of its file: the excerpt line shows the
        # text around it instead, the word on light yellow; the title has none.
        self.submit("柚子")
        self.expect_rows(1, "the one file that holds 柚子")

        def probe():
            client = self.shot()
            counts = [client.count(rect, lambda c: near(c, WORD_HIGHLIGHT, 12))
                      for rect in ((130, 45, 800, 62), (100, 62, 800, 79))]
            return counts[0] == 0 and counts[1] >= 40, \
                f"{counts[0]} light-yellow pixels in the title, {counts[1]} on the excerpt line"
        wait_for(self.step, "柚子 on light yellow on the excerpt line, none in the title", probe, 10)
        self.shot("07-context")

    def button_label(self, shot=None):
        """The middle of the search bar's button, where its label stands."""
        x = int(self.search_button[0])
        return (shot or self.shot()).crop(x - 16, 17, x + 16, 34)

    def step_long_search(self):
        write_large_folder(self.work, self.args.wine)
        # Two words, which every hit holds both of.
        self.submit("進捗 覚え書き")
        submitted = time.monotonic()
        counts = []
        # The count when a row first stood while the search ran: rows come as
        # the scan finds their files, for two words as for one, so the count
        # still changes after that.
        count_at_first_row = []

        def probe():
            shot = self.shot()
            stop_label = self.button_label(shot).differing_pixels(self.search_label) > 15
            count = shot.crop(*HIT_COUNT_BOX)
            if stop_label and (not counts or count.differing_pixels(counts[-1]) > 3):
                counts.append(count)
            if stop_label and not count_at_first_row and self.rows_present(shot)[0]:
                count_at_first_row.append(count)
            counted_since = stop_label and count_at_first_row and \
                count.differing_pixels(count_at_first_row[0]) > 3
            return len(counts) >= 2 and bool(counted_since), \
                f"{len(counts)} different hit counts while the button read \"中止\"" \
                f" (it reads {'中止' if stop_label else '検索'} now);" \
                f" {'a' if count_at_first_row else 'no'} row shown while it ran" \
                f"{', the count changed since' if counted_since else ''}"
        wait_for(self.step, "a row, then the hit count changing, while \"中止\" stands in the button",
                 probe, 30)
        self.shot("08-searching")
        time.sleep(max(0.0, DOUBLE_CLICK_SECONDS - (time.monotonic() - submitted)))
        self.program.click(*self.search_button)
        self.program.move(*EMPTY_SPOT)
        wait_for(self.step, "\"検索\" back in the button after \"中止\"",
                 lambda: (self.button_label().differing_pixels(self.search_label) <= 3,
                          "another label"), 10)
        def rows_probe():
            rows = self.rows_present(self.shot())
            shown = rows.index(False) if False in rows else len(rows)
            return shown >= 1 and not any(rows[shown:]), f"rows with labels: {rows}"
        wait_for(self.step, "the rows of the hits found before \"中止\"", rows_probe, 20)
        # "（中止）" after the count reaches further right than any count.
        marked = self.dark_pixels((745, 22, 800, 45))
        if marked < 10:
            raise Failure(self.step, "the count marked \"（中止）\"", f"{marked} dark pixels right of x = 745")
        # The window goes on as after any search.
        self.program.move(400, 45 + 27)
        self.expect_highlight(0, True)
        self.shot("08-stopped")

    def slow_opens(self):
        """How many files of the large folder the program has opened so far."""
        try:
            with open(self.slow_log, "rb") as log:
                return log.read().count(b"\n")
        except FileNotFoundError:
            return 0

    def search_no_hit(self):
        self.submit("該当なし", " zzz")
        def probe():
            shot = self.shot()
            ended = self.button_label(shot).differing_pixels(self.search_label) <= 3
            shown, what = self.usage_page(shot)
            return ended and shown, f"{what}; the button reads {'検索' if ended else '中止'}"
        wait_for(self.step, "the usage page, and \"検索\" back in the button", probe, 30)

    def step_search_again(self):
        # The first search of a word in no file reads the large folder's
        # files that 中止 left unread; the same search again, after another,
        # answers from what the window read and opens none of them.
        self.search_no_hit()
        before = self.slow_opens()
        self.submit("キウイ")
        self.expect_rows(1, "the 1 hit of キウイ")
        self.search_no_hit()
        opened = self.slow_opens() - before
        if opened:
            raise Failure(self.step, "no file of the unchanged large folder opened again",
                          f"{opened} opened")

    def step_close(self):
        program, desktop = self.program, self.desktop
        program.focus()
        program.click(25, -12)  # "ファイル(F)" in the menu bar above the client area
        desktop.xdo("key", "x")  # "アプリケーションの終了(X)"

        def box():
            found = [wid for wid, name in desktop.windows() if name == "確認メッセージ"]
            return bool(found), found or "no window titled \"確認メッセージ\""
        wid = wait_for(self.step, "the close question in a box titled \"確認メッセージ\"", box, 15)[0]
        self.shot("08-close-question")
        desktop.xdo("windowfocus", "--sync", wid, check=False)
        desktop.xdo("key", "--clearmodifiers", "alt+n")  # "いいえ(N)"
        wait_for(self.step, "the box to close after \"いいえ\"",
                 lambda: (not box()[0], "the box still open"), 10)
        if not program.alive():
            raise Failure(self.step, "the program to keep running after \"いいえ\"",
                          f"exit status {program.process.returncode}")
        # Still working: the highlight follows the pointer.
        program.move(400, 45 + 27)
        self.expect_highlight(0, True)

    def step_folder_argument(self, command, cwd):
        folder = "DATA\\料理" if self.args.wine else "DATA/料理"
        self.program = Program(self.desktop, command + [folder], cwd,
                               os.path.join(self.work, "program-folder.log"))
        Watched.poll = self.program.process.poll
        self.program.find_window(90 if self.args.wine else 30, folder="料理")
        self.submit("白菜")
        self.expect_rows(1, "the 1 hit of 白菜, in DATA/料理/nabe.txt")
        self.shot("12-folder-argument")

    def step_escape(self, mid_search=True):
        program = self.program
        if mid_search:
            # The large folder again: Escape does not wait for the search.
            self.submit("進捗", enter=True)
            wait_for(self.step, "\"中止\" in the button",
                     lambda: (self.button_label().differing_pixels(self.search_label) > 15,
                              "\"検索\""), 10)
        program.focus()
        program.click(*EMPTY_SPOT)
        self.desktop.xdo("key", "Escape")
        Watched.poll = None  # ending is what is wanted now
        limit = 5 if mid_search else 20
        try:
            status = program.process.wait(limit)
        except subprocess.TimeoutExpired:
            raise Failure(self.step, "the program to end at once after Escape",
                          f"it still runs after {limit} s")
        if status != 0:
            raise Failure(self.step, "exit status 0 after Escape", f"exit status {status}")

    # The same pictures under another locale (--compare-locale).

    def restart_under(self, locale, command, cwd):
        """Starts the program again under `locale` and takes steps 1 and 2."""
        os.killpg(self.program.process.pid, signal.SIGKILL)
        self.program.process.wait()
        # Wine takes its code page when its server starts: the server ends
        # wholly before the program starts again.
        for ask in (["wineserver", "-k"], ["wineserver", "-w"]):
            subprocess.run(ask, env=self.desktop.env, check=False, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Each locale has a prefix of its own: Wine maps the system font
        # otherwise in a prefix that has seen another code page.
        if not hasattr(self, "japanese_prefix"):
            self.japanese_prefix = self.desktop.env["WINEPREFIX"]
        prefix = self.japanese_prefix
        if locale != "ja_JP.UTF-8":
            prefix += "-" + locale
        self.desktop.env = wine_environment(dict(self.desktop.env, SORAHIKI_WINE_LANG=locale), prefix)
        subprocess.run([os.path.join(SCRIPTS, "wine-prefix.sh"), prefix], env=self.desktop.env,
                       check=True, timeout=240)
        log = os.path.join(self.work, f"program-{locale}.log")
        self.program = Program(self.desktop, command, cwd, log)
        Watched.poll = self.program.process.poll
        try:
            self.step_window()
        except Failure as failure:
            # Once, in a clean clone on a loaded machine, the first start in
            # a prefix just made ended at once with status 255 and no output;
            # it never did again. A second failing start fails the test.
            if failure.step != "start" or self.program.alive():
                raise
            print(f"the first start under {locale} failed ({failure}); starting again",
                  file=sys.stderr)
            self.program = Program(self.desktop, command, cwd, log + ".again")
            Watched.poll = self.program.process.poll
            self.step_window()
        self.step_search()
        return self.usage_picture, self.search_picture

    def without_caret(self, picture):
        """The picture with the inside of the edit box white: the caret there
        blinks, shown in one picture and not in another."""
        data = bytearray(picture.data)
        for y in range(17, 33):
            start = (y * picture.width + self.edit_left + 2) * 3
            end = (y * picture.width + self.edit_right - 2) * 3
            data[start:end] = b"\xff" * (end - start)
        return Image(picture.width, picture.height, bytes(data))

    def step_other_locale(self, command, cwd):
        # The reference comes from a second Japanese run: the first run in a
        # new prefix may find its fonts otherwise.
        usage, search = self.restart_under("ja_JP.UTF-8", command, cwd)
        usage.save_png(os.path.join(self.shots, "01-usage-page-ja.png"))
        search.save_png(os.path.join(self.shots, "02-search-ja.png"))
        locale = self.args.compare_locale
        self.restart_under(locale, command, cwd)
        for name, reference, seen in (("usage page", usage, self.usage_picture),
                                      ("first result page", search, self.search_picture)):
            differ = self.without_caret(seen).differing_pixels(self.without_caret(reference))
            if differ > 3:
                seen.save_png(os.path.join(self.shots, f"{locale}-{name.replace(' ', '-')}.png"))
                raise Failure(self.step, f"the {name} under {locale} drawn as under ja_JP.UTF-8",
                              f"{differ} pixels differ")

    # Japanese typed through a real input method (--input-method).

    def start_input_method(self, command):
        """Starts ibus with Mozc; returns the command and the folder that run
        the program as the input method's user."""
        self.step = "input method"
        try:
            self.input_method = InputMethod(self.desktop.env, os.path.join(self.work, "DATA"),
                                            command[-1], os.path.join(self.work, "input-method.log"),
                                            xim=self.args.wine)
            self.input_method.start()
        except InputMethodError as error:
            raise Failure(self.step, "ibus running with the Mozc engine", str(error))
        self.desktop.env = self.input_method.env
        if self.args.wine:
            # Wine serves only the owner of its prefix: the input method's
            # user gets one of its own.
            prefix = os.path.join(self.input_method.folder, "wineprefix")
            self.desktop.env = wine_environment(self.desktop.env, prefix)
            subprocess.run(self.input_method.command(os.path.join(SCRIPTS, "wine-prefix.sh"), prefix),
                           env=self.desktop.env, check=True, timeout=240)
        return self.input_method.command(*command[:-1], self.input_method.program), self.input_method.folder

    def input_method_scenario(self):
        self.timed("2 料理 pasted", self.step_pasted_query)
        self.timed("3 料理 typed through the input method", self.step_typed_query)
        # Through Wine's bridge to the input method Escape never reaches the
        # window; the run of the whole scenario ends sorahiki.exe that way.
        if not self.args.wine:
            self.timed("4 Escape", lambda: self.step_escape(mid_search=False))

    def steady_edit(self, expected, test, timeout=10):
        """The edit box's picture once test(picture) holds for two grabs in a row
        that look alike, so that no key is still on its way."""
        last = [None]

        def probe():
            picture = self.edit_picture()
            ok, seen = test(picture)
            steady = ok and last[0] is not None and picture.differing_pixels(last[0]) == 0
            last[0] = picture if ok else None
            return steady, seen
        wait_for(self.step, expected, probe, timeout)
        return last[0]

    def ink(self, picture):
        """Pixels of the edit box's text: dark ones, or under Wine, which
        draws the preedit as selected text, any that are not light; Wine's
        sunken frame is not counted."""
        inked = (lambda c: not near(c, WHITE, 60)) if self.args.wine else is_dark
        raw = picture.count((0, 0, picture.width, picture.height), inked)
        return max(0, raw - self.edit_frame_ink)

    def measure_edit_frame(self):
        """The dark pixels of the empty box with the blinking text cursor
        off: the least of a few grabs over a blink."""
        self.edit_frame_ink = 0
        if self.args.wine:
            inks = []
            for _ in range(8):
                inks.append(self.ink(self.edit_picture()))
                time.sleep(0.15)
            self.edit_frame_ink = min(inks)

    def empty_edit(self):
        """Clicks into the edit box and empties it; the text cursor alone is dark."""
        self.program.focus()
        self.program.click(*self.edit_point)
        self.desktop.xdo("key", "--clearmodifiers", *self.clear_keys())
        if self.edit_frame_ink is None:
            time.sleep(0.5)
            self.measure_edit_frame()
        return self.steady_edit("an empty edit box holding the text cursor",
                                lambda p: (self.ink(p) < 40, f"{self.ink(p)} dark pixels"))

    def search_with_button(self):
        self.program.click(*self.search_button)
        self.program.move(*EMPTY_SPOT)

    def step_pasted_query(self):
        empty = self.empty_edit()
        self.desktop.set_clipboard("料理")
        self.paste(empty)
        self.pasted_edit = self.steady_edit("the pasted text 料理 in the edit box",
                                            lambda p: (self.ink(p) >= 60, f"{self.ink(p)} dark pixels"))
        self.search_with_button()
        self.expect_rows(10, "14 hits of 料理: page 1 full")
        self.pasted_results = self.shot("im-1-pasted").crop(0, 45, 800, 600)
        self.pasted_count = self.hit_count_picture()
        # A search of 料理 must show when it happens again, so another query
        # is shown first.
        self.submit("キウイ")
        self.expect_rows(1, "1 hit of キウイ")

    def step_typed_query(self):
        empty = self.empty_edit()
        desktop = self.desktop
        # Mozc is on: the keys compose hiragana, shown in the box as preedit.
        desktop.xdo("type", "--delay", "30", "ryouri")
        kana = self.steady_edit("the preedit りょうり drawn in the edit box while it is composed",
                                lambda p: (self.ink(p) >= 60 and p.differing_pixels(empty) > 60,
                                           f"{self.ink(p)} dark pixels"))
        self.shot("im-2-preedit")
        # Space converts; the candidate is still preedit, drawn unlike text.
        desktop.xdo("key", "space")
        converted = self.steady_edit(
            "the conversion 料理 in the edit box, marked as not yet committed",
            lambda p: (self.ink(p) >= 60 and p.differing_pixels(kana) > 60
                       and p.differing_pixels(self.pasted_edit) > 3,
                       f"{self.ink(p)} dark pixels, {p.differing_pixels(kana)} differ from りょうり, "
                       f"{p.differing_pixels(self.pasted_edit)} from the pasted 料理"))
        self.shot("im-3-converted")
        # Enter commits: the box then holds exactly what pasting 料理 gave.
        desktop.xdo("key", "Return")
        self.steady_edit("the committed 料理, drawn as the pasted 料理",
                         lambda p: (p.differing_pixels(self.pasted_edit) <= 3,
                                    f"{p.differing_pixels(self.pasted_edit)} pixels differ from it"))
        if converted.differing_pixels(self.pasted_edit) <= 3:
            raise Failure(self.step, "the conversion drawn as preedit before Enter", "plain text")
        # That Enter only committed: the frame loop has run since (the
        # pointer's highlight shows), and the rows of キウイ are still there.
        self.program.move(400, 45 + 27)
        self.expect_highlight(0, True)
        rows = self.rows_present(self.shot("im-4-committed"))
        if rows != [True] + [False] * 9:
            raise Failure(self.step, "no search on the Enter that committed the conversion (1 row of キウイ)",
                          f"rows {[r + 1 for r, p in enumerate(rows) if p]}")
        self.search_with_button()
        self.expect_rows(10, "the 14 hits of 料理 typed through the input method")
        results = self.shot("im-5-typed").crop(0, 45, 800, 600)
        differ = results.differing_pixels(self.pasted_results)
        if differ > 3:
            raise Failure(self.step, "the same rows as the pasted 料理", f"{differ} pixels differ")
        self.expect_same_hit_count(self.pasted_count, "the 14 hits of the pasted 料理")

    def execute(self):
        os.makedirs(self.work, exist_ok=True)
        for stale in ("shots", "xdg"):
            shutil.rmtree(os.path.join(self.work, stale), ignore_errors=True)
        if os.path.exists(os.path.join(self.work, "opened.log")):
            os.remove(os.path.join(self.work, "opened.log"))
        os.makedirs(self.shots)
        write_data(self.work)

        env = dict(os.environ)
        env["LANG"] = "ja_JP.UTF-8"
        env.pop("LC_ALL", None)
        self.opened_log = install_recorder(self.work, env)
        if self.args.accessibility:
            accessibility.prepare(env)
        command = [os.path.abspath(self.args.program)]
        if self.args.zip:
            command = [unpack_zip(self.args.zip, self.work, self.args.program)]
        if not os.path.isfile(command[0]):
            hint = " (build it first: cmake --preset windows && cmake --build --preset windows)" \
                if self.args.wine else ""
            raise Failure("start", f"the program {command[0]}", f"no such file{hint}")
        if self.args.slow_open:
            # The program alone reads through the slow disk.
            self.slow_log = os.path.join(self.work, "slow-opens.log")
            command = ["env", "LD_PRELOAD=" + os.path.abspath(self.args.slow_open),
                       f"SORAHIKI_E2E_SLOW_PATHS=DATA/{LARGE}/",
                       f"SORAHIKI_E2E_SLOW_LOG={self.slow_log}"] + command
        if self.args.wine:
            prefix = os.path.abspath(self.args.wine_prefix or os.path.join(self.work, "wineprefix"))
            env = wine_environment(env, prefix)
            command = ["wine"] + command

        if self.args.scaling:
            return scaling.scenario(self, env, command, sys.modules[__name__])
        self.desktop = Desktop(self.work, env)
        try:
            if self.args.wine and not self.args.input_method:
                script = os.path.join(SCRIPTS, "wine-prefix.sh")
                self.step = "wine prefix"
                subprocess.run([script, env["WINEPREFIX"]], env=self.desktop.env, check=True,
                               timeout=240)
            cwd = self.work
            if self.args.input_method:
                command, cwd = self.start_input_method(command)
            self.program = Program(self.desktop, command, cwd, os.path.join(self.work, "program.log"))
            Watched.poll = self.program.process.poll
            self.timed("1 window and usage page", self.step_window)
            if self.args.input_method:
                return self.input_method_scenario()
            if self.args.keyboard:
                from keyboard import keyboard_scenario
                return keyboard_scenario(self, sys.modules[__name__])
            if self.args.accessibility:
                return accessibility.scenario(self, Failure)
            self.timed("2 search", self.step_search)
            if self.args.compare_locale:
                return self.timed(f"3 the same under {self.args.compare_locale}",
                                  lambda: self.step_other_locale(command, cwd))
            self.timed("3 pages", self.step_pages)
            self.timed("4 open a row", self.step_open)
            self.timed("5 history", self.step_history)
            self.timed("6 no hit", self.step_no_hit)
            self.timed("7 UTF-8", self.step_utf8)
            self.timed("8 text around the word", self.step_context)
            self.timed("9 long search and 中止", self.step_long_search)
            self.timed("10 close question", self.step_close)
            if self.args.slow_open:
                self.timed("10b a search again, from what the window read", self.step_search_again)
            self.timed("11 Escape mid-search", self.step_escape)
            self.timed("12 a folder on the command line",
                       lambda: self.step_folder_argument(command, cwd))
        except Failure as failure:
            self.keep_failure_shot(failure.step)
            raise
        finally:
            self.shutdown()

    def keep_failure_shot(self, step):
        try:
            picture = self.desktop.grab()
            name = "FAILED-" + "".join(c if c.isalnum() else "-" for c in step) + ".png"
            path = os.path.join(self.shots, name)
            picture.save_png(path)
            print(f"screenshot of the failing step: {path}", file=sys.stderr)
        except Exception as error:  # the screen itself may be gone
            print(f"no screenshot of the failing step: {error}", file=sys.stderr)

    def shutdown(self):
        if self.program and self.program.alive():
            os.killpg(self.program.process.pid, signal.SIGKILL)
            self.program.process.wait()
        if self.args.wine and self.desktop:
            kill = ["wineserver", "-k"]
            if self.input_method:
                kill = self.input_method.command(*kill)
            subprocess.run(kill, env=self.desktop.env, check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.input_method:
            self.input_method.stop()
        if self.desktop:
            self.desktop.stop()


def wine_environment(env, prefix):
    """env with the variables of scripts/wine-env.sh for the prefix."""
    shown = subprocess.run(
        ["bash", "-c", '. "$0" && env -0', os.path.join(SCRIPTS, "wine-env.sh")],
        env=dict(env, WINEPREFIX=prefix), stdout=subprocess.PIPE, check=True, timeout=30).stdout
    return dict(entry.split("=", 1) for entry in shown.decode().split("\0") if "=" in entry)


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def unpack_zip(zip_path, work, program):
    """Unpacks the zip as a user does, into WORK/unpacked, and gives the path of
    `program` inside it."""
    if not os.path.isfile(zip_path):
        raise Failure("start", f"the package {zip_path}",
                      "no such file (build it first: cmake --build --preset windows --target package)")
    unpacked = os.path.join(work, "unpacked")
    shutil.rmtree(unpacked, ignore_errors=True)
    with zipfile.ZipFile(zip_path) as archive:
        archive.extractall(unpacked)
    return os.path.join(unpacked, program)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True,
                        help="sorahiki or sorahiki.exe (with --zip: its path inside the zip)")
    parser.add_argument("--zip", help="run the program from this zip, unpacked into WORK")
    parser.add_argument("--work", required=True, help="folder for DATA, logs and screenshots")
    parser.add_argument("--wine", action="store_true", help="run the program under Wine")
    parser.add_argument("--wine-prefix", help="Wine prefix (default: WORK/wineprefix)")
    parser.add_argument("--screenshot", help="save the window after the first search as this PNG")
    parser.add_argument("--slow-open",
                        help="library preloaded into the program that slows opening the large folder's files")
    parser.add_argument("--input-method", action="store_true",
                        help="search 料理 typed through ibus with Mozc instead of the full scenario")
    parser.add_argument("--keyboard", action="store_true",
                        help="search, open, turn pages and use a row's menu with the keyboard alone (keyboard.py)")
    parser.add_argument("--compare-locale",
                        help="with --wine: steps 1 and 2 again under this locale, drawn the same")
    accessibility.add_arguments(parser)
    parser.add_argument("--scaling", action="store_true",
                        help="the window at 100 %% and larger scales instead of the full scenario")
    args = parser.parse_args()

    run = Run(args)
    started = time.monotonic()
    try:
        run.execute()
    except Failure as failure:
        print(f"FAILED {failure}", file=sys.stderr)
        log = os.path.join(run.work, "program.log")
        if os.path.exists(log):
            with open(log, errors="replace") as text:
                tail = text.read()[-2000:]
            if tail.strip():
                print(f"--- program output (last lines) ---\n{tail}", file=sys.stderr)
        return 1
    for name, seconds in run.times:
        print(f"ok  {seconds:5.1f} s  {name}")
    print(f"all steps passed in {time.monotonic() - started:.1f} s; screenshots in {run.shots}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
