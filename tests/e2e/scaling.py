"""The window at other scales than 100 %: the same layout, drawn larger.

Each scale is one start of the program, which shows the usage page, searches
"apple" (fifteen hits: page 1 full) and rests the pointer on row 2. The client
area, shrunk back to 800 x 600, must look like the one at 100 %, block by
block (see LAYOUT_*): a row, label, bar or button that moved, grew wrongly or
was cut off differs in many blocks, while letters drawn at another size differ
only a little in each. Each button of the bars must show its whole frame
inside its bar at every scale, 100 % too (see BUTTONS): a bar cuts off what
runs past its bottom, and a lost border line is too thin for the blocks. At
2x a click on the third row opens the file that the third row opens at 100 %.

Linux: 100 %, GDK_SCALE=2 (twice the display's pixels under the same layout:
1,600 x 1,200 on the screen), GDK_DPI_SCALE=1.5 (the layout itself at
150 %: 1,200 x 900) and GDK_DPI_SCALE=3, at which the window would not fit the
screen and is drawn at the largest scale at which it does.

Windows, in a prefix made afresh: first under en_US.UTF-8 at 96 dots per inch,
the very first run of the prefix, then under ja_JP.UTF-8 at 96, which must
match it pixel for pixel (the screen font is the program's own choice, the
same on every system and from the first run); then at 144, 192 and 288 dots
per inch (LogPixels; 288 too large for the screen), compared with the run at
96.

Called from run_e2e.py with --scaling; `e2e` is that driver's module.
"""

import os
import shutil
import signal
import subprocess
import time

# A screen that holds the window at 2x with its menu bar.
SCREEN = (2048, 1600)
# The client area is compared in blocks of 8 x 8 pixels at 100 %. A block
# differs when its mean colour differs by more than LAYOUT_LEVEL in a channel:
# the same letters at another size, shrunk back, stay well within that, while
# a label, fill or control that is not there differs by far more (a coloured
# label against white by over 100). At most LAYOUT_SHARE of the 7,500 blocks
# may differ: text at 150 % and 200 % is hinted to other pixels, which moves a
# few strokes across block edges (up to 14 blocks seen under Wine at 144 dots
# per inch, 6 on Linux at 150 %, none at GDK_SCALE=2); a row or a column of
# text out of place differs in hundreds.
LAYOUT_BLOCK = 8
LAYOUT_LEVEL = 48
LAYOUT_SHARE = 0.005
# The buttons of the bars at 100 %, by the name of their bar in run_e2e.py:
# the templates of res/sorahiki.rc at the dialog base units of 100 % (4 x 8
# units are 6 x 12 pixels), placed from the bar's corner. A button's frame is
# a line across it that stands out from the bar's face (FRAME_LEVEL in a
# channel); its text crosses only part of it.
BUTTONS = {"検索": ("SEARCH_BAR", (490, 10, 571, 43)),
           "前へ": ("HISTORY_BAR", (20, 19, 86, 45)),
           "次へ": ("HISTORY_BAR", (91, 19, 150, 45))}
FRAME_LEVEL = 30
# The frame a window may have across its client area (Wine's is 4 pixels, a
# GTK window's none): less than the 8.3 pixels that the client area grows by
# from one dot per inch to the next.
FIT_FRAME = 8
ROW_2 = (400, 45 + 53 + 27)
ROW_3 = (400, 45 + 2 * 53 + 27)
EDIT_BOX = (300, 25)


def scaled(value, dpi):
    """A pixel at 100 % at the given dots per inch, rounded as the program
    rounds (halves away from zero)."""
    return (value * dpi + 48) // 96


class Scale:
    """A start of the program at `dpi`. A scale too large for the screen is
    `fitted`: the window is drawn at the largest scale at which it fits, read
    from its width. Such a scale lies between those at which the 8-pixel
    characters of 100 % are whole pixels wide, and lines of text run up to 2 %
    longer or shorter than the layout: they move across the blocks that the
    comparison with 100 % counts, so that the run shows instead that the
    usage page, the ten rows, the buttons' frames and a click on a row are
    where the layout puts them."""

    def __init__(self, name, dpi, env=None, device=1, locale="ja_JP.UTF-8", click=False,
                 fitted=False):
        self.name, self.dpi, self.env, self.device = name, dpi, env or {}, device
        self.locale, self.click, self.fitted = locale, click, fitted
        self.shown_dpi = dpi

    def on_screen(self, value):
        """A pixel at 100 % in the screen's pixels: the layout's scale, then
        the display's."""
        return scaled(value, self.shown_dpi) * self.device

    def fit(self, window_width):
        """The scale whose client area makes the window's width with a frame
        of at most FIT_FRAME pixels; false for none."""
        for dpi in range(self.dpi, 0, -1):
            if 0 <= window_width - scaled(800, dpi) * self.device <= FIT_FRAME:
                self.shown_dpi = dpi
                return True
        return False

    def client_size(self):
        return self.on_screen(800), self.on_screen(600)


def shrink(e2e, picture, width, height):
    """The picture scaled to width x height, each pixel the mean of those it covers."""
    header = b"P6\n%d %d\n255\n" % (picture.width, picture.height)
    out = subprocess.run(["convert", "ppm:-", "-filter", "Box", "-resize", f"{width}x{height}!",
                          "-depth", "8", "ppm:-"], input=header + picture.data,
                         stdout=subprocess.PIPE, check=True, timeout=30).stdout
    return e2e.Image.from_ppm(out)


def frame_rows(picture, bar, button):
    """The rows of the bar (rectangles in the picture's pixels) that a border
    line of the button crosses: rows in which the middle three fifths of the
    button all differ from the bar's face by more than FRAME_LEVEL."""
    face = picture.pixel(bar[0] + 2, bar[1] + 2)
    fifth = (button[2] - button[0]) // 5
    columns = range(button[0] + fifth, button[2] - fifth)

    def crossed(y):
        return all(max(abs(a - b) for a, b in zip(picture.pixel(x, y), face)) > FRAME_LEVEL
                   for x in columns)
    return [y for y in range(bar[1], bar[3]) if crossed(y)]


def differing_blocks(a, b):
    """The blocks of LAYOUT_BLOCK pixels whose mean colours differ by more than
    LAYOUT_LEVEL in a channel, and the number of blocks."""
    differ, total, size = [], 0, LAYOUT_BLOCK
    for top in range(0, a.height - size + 1, size):
        for left in range(0, a.width - size + 1, size):
            total += 1
            sums_a, sums_b = [0, 0, 0], [0, 0, 0]
            for y in range(top, top + size):
                i = (y * a.width + left) * 3
                row_a, row_b = a.data[i:i + size * 3], b.data[i:i + size * 3]
                for c in range(3):
                    sums_a[c] += sum(row_a[c::3])
                    sums_b[c] += sum(row_b[c::3])
            if max(abs(x - y) for x, y in zip(sums_a, sums_b)) > LAYOUT_LEVEL * size * size:
                differ.append((left, top))
    return differ, total


class Scenario:
    def __init__(self, run, env, command, e2e):
        self.run, self.env, self.command, self.e2e = run, env, command, e2e
        self.reference = None  # the pictures at 100 %, by name
        self.third_row_file = None

    # One start of the program.

    def start(self, scale):
        run, e2e = self.run, self.e2e
        run.step = f"start at {scale.name}"
        env = dict(self.env, **scale.env)
        if run.args.wine:
            env = self.wine_at(scale)
        run.desktop.env = env
        log = os.path.join(run.work, f"program-{scale.name.replace(' ', '-')}.log")
        program = e2e.Program(run.desktop, self.command, run.work, log)
        run.program = program
        e2e.Watched.poll = program.process.poll
        program.find_window(90 if run.args.wine else 30)
        x, y, outer_w, outer_h = program.frame
        if scale.fitted and (x + outer_w > SCREEN[0] or y + outer_h > SCREEN[1]
                             or not scale.fit(outer_w)):
            raise e2e.Failure(run.step, f"a window within the {SCREEN[0]} x {SCREEN[1]} screen "
                              f"at a scale of at most {scale.dpi} dots per inch",
                              f"a window of {outer_w} x {outer_h} at {x}, {y}")
        width, height = scale.client_size()
        if outer_w < width or outer_h < height:
            raise e2e.Failure(run.step, f"a client area of {width} x {height}",
                              f"a window of {outer_w} x {outer_h}")
        border = (outer_w - width) // 2
        program.origin = (x + border, y + outer_h - height - border)
        return program

    def stop(self, program):
        os.killpg(program.process.pid, signal.SIGKILL)
        program.process.wait()
        self.e2e.Watched.poll = None
        if self.run.args.wine:
            self.wine("wineserver", "-k")
            self.wine("wineserver", "-w")

    def wine(self, *command, env=None):
        subprocess.run(list(command), env=env or self.run.desktop.env, check=False, timeout=120,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wine_at(self, scale):
        """The environment of Wine for the scale, its locale and dots per inch
        set; Wine takes both when its server starts."""
        env = self.e2e.wine_environment(dict(self.env, SORAHIKI_WINE_LANG=scale.locale), self.prefix)
        self.wine("wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                  "REG_DWORD", "/d", str(scale.dpi), "/f", env=env)
        self.wine("wineserver", "-w", env=env)
        return env

    # What a person sees.

    def client(self, program, scale, name=None, shrunk=True):
        width, height = scale.client_size()
        ox, oy = program.origin
        picture = self.run.desktop.grab().crop(ox, oy, ox + width, oy + height)
        if name:
            picture.save_png(os.path.join(self.run.shots, f"scale-{scale.name}-{name}.png"))
        if not shrunk or (width, height) == (800, 600):
            return picture
        return shrink(self.e2e, picture, 800, 600)

    def wait_picture(self, program, scale, what, test):
        return self.e2e.wait_for(self.run.step, what,
                                 lambda: test(self.client(program, scale)), 30)

    def point(self, program, scale, x, y):
        return program.origin[0] + scale.on_screen(x), program.origin[1] + scale.on_screen(y)

    def move(self, program, scale, at):
        self.run.desktop.xdo("mousemove", *map(str, self.point(program, scale, *at)))

    def take_keyboard(self, program, scale):
        """A click where nothing reacts takes the keyboard, and with it the
        blinking caret, from the edit box."""
        self.move(program, scale, self.e2e.EMPTY_SPOT)
        self.run.desktop.xdo("click", "1")

    def search(self, program, scale):
        run, e2e = self.run, self.e2e
        run.step = f"search at {scale.name}"
        self.move(program, scale, EDIT_BOX)
        run.desktop.xdo("click", "1")
        run.desktop.xdo("type", "--delay", "20", "apple")
        run.desktop.xdo("key", "Return")

        def rows(picture):
            present = [r + 1 for r, p in enumerate(run.rows_present(picture)) if p]
            return present == list(range(1, 11)), f"rows with labels: {present or 'none'}"
        self.wait_picture(program, scale, "rows 1 to 10 of the 15 hits of apple", rows)
        self.take_keyboard(program, scale)
        self.move(program, scale, ROW_2)

        def grey(picture):
            colour = picture.pixel(797, 45 + 53 + 3)
            return e2e.near(colour, e2e.GREY, 24), e2e.describe(colour)
        self.wait_picture(program, scale, "row 2 greyed under the pointer", grey)

    def check_buttons(self, program, scale):
        """The top and the bottom border line of each button inside its bar."""
        picture = self.client(program, scale, shrunk=False)
        for name, (bar, button) in BUTTONS.items():
            bar = getattr(self.e2e, bar)
            bar_seen, button_seen = [[scale.on_screen(v) for v in r] for r in (bar, button)]
            rows = frame_rows(picture, bar_seen, button_seen)
            if not rows or rows[-1] - rows[0] < (button_seen[3] - button_seen[1]) // 2:
                picture.save_png(os.path.join(self.run.shots, f"scale-{scale.name}-bars.png"))
                raise self.e2e.Failure(
                    f"bars at {scale.name}", f"the whole frame of 「{name}」 inside its bar, "
                    f"rows {bar_seen[1]} to {bar_seen[3] - 1}",
                    f"its border lines on rows {rows or 'none'}")

    def compare(self, scale, name, picture):
        """The picture at this scale, shrunk back, against the one at 100 %."""
        reference = self.reference[name]
        differ, total = differing_blocks(picture, reference)
        if len(differ) > LAYOUT_SHARE * total:
            picture.save_png(os.path.join(self.run.shots, f"scale-{scale.name}-{name}-shrunk.png"))
            raise self.e2e.Failure(
                f"{name} at {scale.name}", f"the layout at 100 % (at most {LAYOUT_SHARE:.0%} of "
                f"the {LAYOUT_BLOCK} x {LAYOUT_BLOCK} blocks differing)",
                f"{len(differ)} of {total} blocks differ, first at {differ[:6]}")

    def open_third_row(self, program, scale):
        run, e2e = self.run, self.e2e
        run.step = f"open row 3 at {scale.name}"
        already = [] if run.args.wine else run.opened_files()
        self.move(program, scale, ROW_3)
        run.desktop.xdo("click", "1")
        opened = e2e.wait_for(run.step, "the third row's file to be opened",
                              lambda: self.opened_since(already), 30)
        if run.args.wine:
            run.close_notepad()
        if self.third_row_file is None:
            self.third_row_file = opened
        elif opened != self.third_row_file:
            raise e2e.Failure(run.step, f"the third row's file, {self.third_row_file}", opened)

    def opened_since(self, already):
        entries = self.run.opened_files()[len(already):]
        # Notepad shows "(無題)" until it has read the file.
        entries = [e.split(" - ")[0] for e in entries if not e.startswith("(")]
        return len(entries) == 1, entries[0] if entries else "nothing opened"

    # The whole run.

    def take(self, scale):
        program = self.start(scale)
        run, e2e = self.run, self.e2e
        started = time.monotonic()
        run.step = f"usage page at {scale.name}"

        def usage(picture):
            lines = sum(1 for n in range(27)
                        if picture.count((20, 50 + 20 * n, 420, 50 + 20 * n + 16), e2e.is_dark) >= 8)
            return lines >= 25, f"{lines} of the 27 usage lines"
        self.wait_picture(program, scale, "the usage page", usage)
        self.take_keyboard(program, scale)
        self.check_buttons(program, scale)
        pictures = {"usage page": self.client(program, scale, "usage")}
        self.search(program, scale)
        pictures["first result page"] = self.client(program, scale, "results")
        if scale.click:
            self.open_third_row(program, scale)
        self.stop(program)
        run.times.append((f"scale {scale.name}", time.monotonic() - started))
        return pictures

    def execute(self, scales, same_as_first=()):
        """Takes each scale in turn; the first is the reference. The scales
        named in same_as_first must match it pixel for pixel."""
        for scale in scales:
            pictures = self.take(scale)
            if self.reference is None:
                self.reference = pictures
                continue
            for name, picture in pictures.items():
                if scale.name in same_as_first:
                    differ = picture.differing_pixels(self.reference[name])
                    if differ > 3:
                        picture.save_png(os.path.join(self.run.shots, f"scale-{scale.name}-{name}-differs.png"))
                        raise self.e2e.Failure(f"{name} at {scale.name}",
                                               f"the {name} of {scales[0].name}, pixel for pixel",
                                               f"{differ} pixels differ")
                elif not scale.fitted:
                    self.compare(scale, name, picture)


def scenario(run, env, command, e2e):
    """Runs the scales of the build (run.args.wine: the Windows one)."""
    e2e.SCREEN_W, e2e.SCREEN_H = SCREEN
    run.desktop = e2e.Desktop(run.work, env)
    # Each start's environment is this one, the private display's, with the
    # scale's own variables.
    env = dict(run.desktop.env)
    scenario = Scenario(run, env, command, e2e)
    try:
        if run.args.wine:
            scenario.prefix = os.path.abspath(run.args.wine_prefix or os.path.join(run.work, "wineprefix"))
            run.step = "a fresh wine prefix"
            shutil.rmtree(scenario.prefix, ignore_errors=True)
            subprocess.run([os.path.join(e2e.SCRIPTS, "wine-prefix.sh"), scenario.prefix],
                           env=e2e.wine_environment(dict(env, SORAHIKI_WINE_LANG="en_US.UTF-8"),
                                                    scenario.prefix),
                           check=True, timeout=240)
            scenario.execute([Scale("en_US 96 dpi", 96, locale="en_US.UTF-8"),
                              Scale("96 dpi", 96, click=True),
                              Scale("144 dpi", 144),
                              Scale("192 dpi", 192, click=True),
                              Scale("288 dpi", 288, fitted=True, click=True)],
                             same_as_first=("96 dpi",))
        else:
            scenario.execute([Scale("100 %", 96, click=True),
                              Scale("GDK_SCALE=2", 96, {"GDK_SCALE": "2"}, device=2, click=True),
                              Scale("GDK_DPI_SCALE=1.5", 144, {"GDK_DPI_SCALE": "1.5"}),
                              Scale("GDK_DPI_SCALE=3", 288, {"GDK_DPI_SCALE": "3"}, fitted=True,
                                    click=True)])
    except e2e.Failure as failure:
        run.keep_failure_shot(failure.step)
        raise
    finally:
        run.shutdown()
