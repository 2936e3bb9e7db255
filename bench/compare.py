#!/usr/bin/python3
"""Times sorahiki-cli next to the floor and to grep and ripgrep.

  bench/compare.py table [--cold] [--runs N] [--whole] [--no-corpus] [FOLDER...]
  bench/compare.py plot  [--runs N] [--out docs/benchmarks.png]

`table` prints, for the generated corpus (100,000 notes of 4 KiB in 1,000
folders), the generated mixed folder and each FOLDER given (a folder that
holds DATA): the number of files, the time of a search that finds nothing,
the floor on 1, 2 and 32 threads, grep -rlF and rg -l -E shift_jis, and the
ratios. Then the same for real documents, word by word: the Japanese manual
and help pages of REAL_PACKAGES (installed with apt-get when run as root),
in code page 932, each cut to its first 4 KiB and cycled to 100,000 files
(with --whole, kept whole and cycled to 20,000) in folders of 100; their twin in UTF-8 and
UTF-16; and the same text in UTF-8 without a mark, as the packages ship it (there grep
and ripgrep look for the word in UTF-8, `rg -E utf-8`). All are made
once, under --real, and never kept in the repository.
`plot` draws search time against the number of files. With --whole the
search reads whole files (`sorahiki-cli --whole`), as grep and ripgrep do,
and the floor reads every file to its end; --no-corpus leaves out the
generated corpus of 100,000 notes.

The floor is bench/floor.c, a plain C program with no code of this project:
it lists DATA, then opens each file, reads its first 4 KiB (with --whole, all
of it) and closes it, on N
threads. compare.py builds it with the system's C compiler; --floor names
another source. Each figure is the best of --runs runs (whole process,
wall clock). --cold empties the page cache before every run: through
/proc/sys/vm/drop_caches when the system lets us, else (in a container, say)
by asking the kernel to drop the cached pages of every file under DATA, which
leaves the folders' own entries cached; the table says which was done.
"""
import argparse
import gzip
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORD = "存在しない語"  # found in no file: every search walks everything
SIZES = [10000, 30000, 100000, 300000]
CLI = None  # --cli
WHOLE = False  # --whole
BASELINE = None  # --baseline
# Real documents: Japanese manual pages and help pages, read where the
# packages put them, never kept in the repository.
REAL_PACKAGES = ["manpages-ja", "manpages-ja-dev", "gimp-help-ja"]
REAL_SOURCES = ["/usr/share/man/ja", "/usr/share/gimp/2.0/help/ja"]
REAL_FILES = 100000
REAL_HEAD = 4096
REAL_WHOLE_FILES = 20000  # whole documents, about 150 MB
# What a search over real text meets: a word in no file (Japanese, ASCII), a
# rare one, a common one, and two words.
REAL_WORDS = [("in no file", "存在しない語"), ("in no file, ASCII", "zzqqxx"), ("rare", "楕円"),
              ("common", "ファイル"), ("two words", "ファイル 楕円")]
# The twin's files cycle through these: UTF-8 with and without a mark, UTF-16
# both ways, each with its mark.
TWIN_FORMS = [("utf-8", b"\xef\xbb\xbf"), ("utf-8", b""), ("utf-16-le", b"\xff\xfe"),
              ("utf-16-be", b"\xfe\xff")]
# The same text as the packages ship it: UTF-8 without a mark, every file.
UTF8_FORMS = [("utf-8", b"")]


def floor_source(given):
    return given or os.path.join(ROOT, "bench", "floor.c")


def build_floor(source, build):
    out = os.path.join(build, "bench", "floor")
    os.makedirs(os.path.dirname(out), exist_ok=True)
    subprocess.run(["cc", "-O2", "-o", out, source, "-lpthread"], check=True)
    return out


def make_corpus(build, folder, files, shape):
    marker = os.path.join(folder, "made-with")
    wanted = f"{files} {shape}\n"
    if os.path.exists(marker) and open(marker).read() == wanted:
        return
    os.makedirs(folder, exist_ok=True)
    maker = os.path.join(build, "bench", "sorahiki-make-corpus")
    subprocess.run([maker, folder, str(files), "1", shape], check=True, stdout=subprocess.DEVNULL)
    with open(marker, "w") as out:
        out.write(wanted)


def installed(package):
    done = subprocess.run(["dpkg-query", "-W", "-f", "${Status}", package],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return done.stdout.endswith("installed")


def ensure_real_packages():
    """Installs the documents' packages when root; False when they are missing."""
    missing = [p for p in REAL_PACKAGES if not installed(p)]
    if missing and os.geteuid() == 0:
        subprocess.run(["apt-get", "install", "-y", *missing], check=True,
                       stdout=subprocess.DEVNULL)
        missing = [p for p in REAL_PACKAGES if not installed(p)]
    if missing:
        print("real documents left out: install " + " ".join(missing) +
              " (apt-get install " + " ".join(missing) + ")", file=sys.stderr)
    return not missing


def real_heads():
    """The first 4 KiB of each document in code page 932 (with --whole, all
    of it), in a fixed order; a document that is no UTF-8 text or does not
    convert is skipped."""
    head = None if WHOLE else REAL_HEAD
    heads = []
    for source in REAL_SOURCES:
        for base, folders, names in os.walk(source):
            folders.sort()
            for name in sorted(names):
                path = os.path.join(base, name)
                if os.path.islink(path) or not name.endswith((".gz", ".html")) and \
                        "man" not in base:
                    continue
                with open(path, "rb") as file:
                    raw = file.read()
                try:
                    text = (gzip.decompress(raw) if name.endswith(".gz") else raw).decode()
                    heads.append(text[:head].encode("cp932")[:head])
                except (UnicodeError, OSError, EOFError):
                    continue
    return heads


def twin_of(head, index, forms):
    """The same text in the index's Unicode form of `forms`; a character cut
    at the end of the head is left out."""
    codec, mark = forms[index % len(forms)]
    return mark + head.decode("cp932", errors="ignore").encode(codec)


def make_real_corpus(folder, forms):
    """Cycles the documents to 100,000 files (whole, to 20,000), 100 to a
    folder, once."""
    marker = os.path.join(folder, "made-with")
    count = REAL_WHOLE_FILES if WHOLE else REAL_FILES
    kind = "cp932" if not forms else "twin" if forms == TWIN_FORMS else "utf8"
    wanted = f"real {count} {kind}{' whole' if WHOLE else ''}\n"
    if os.path.exists(marker) and open(marker).read() == wanted:
        return True
    if not ensure_real_packages():
        return False
    heads = real_heads()
    if not heads:
        print("real documents left out: none found", file=sys.stderr)
        return False
    shutil.rmtree(os.path.join(folder, "DATA"), ignore_errors=True)
    # Whole documents are cycled to fewer files: 100,000 would take 750 MB.
    for index in range(REAL_WHOLE_FILES if WHOLE else REAL_FILES):
        sub = os.path.join(folder, "DATA", f"{index // 100:04d}")
        if index % 100 == 0:
            os.makedirs(sub)
        head = heads[index % len(heads)]
        with open(os.path.join(sub, f"{index % 100:02d}.txt"), "wb") as out:
            out.write(twin_of(head, index, forms) if forms else head)
    with open(marker, "w") as out:
        out.write(wanted)
    return True


def drop_page_cache(folder):
    """Empties the page cache; returns how."""
    try:
        subprocess.run(["sync"], check=True)
        with open("/proc/sys/vm/drop_caches", "w") as out:
            out.write("3\n")
        return "page cache dropped"
    except OSError:
        pass
    for base, _, names in os.walk(os.path.join(folder, "DATA")):
        for name in names:
            try:
                fd = os.open(os.path.join(base, name), os.O_RDONLY)
            except OSError:
                continue
            os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
            os.close(fd)
    return "cannot drop the page cache here (not root, or in a container): evicted each file's pages"


def timed(command, folder, cold):
    how = drop_page_cache(folder) if cold else "warm"
    start = time.perf_counter()
    done = subprocess.run(command, cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start, done.stdout, how


def commands(build, floor, cli=None):
    cli = cli or os.path.join(build, "cli", "sorahiki-cli")
    word_sjis = WORD.encode("cp932")
    whole = ["--whole"] if WHOLE else []
    return {
        "sorahiki-cli": [cli] + whole + [WORD],
        "floor 1": [floor, "1"] + whole,
        "floor 2": [floor, "2"] + whole,
        "floor 32": [floor, "32"] + whole,
        "grep -rlF": [b"grep", b"-rlF", word_sjis, b"DATA"],
        "rg -l -E shift_jis": ["rg", "-l", "-E", "shift_jis", WORD, "DATA"],
    } | ({"baseline cli": [BASELINE] + whole + [WORD]} if BASELINE else {})


def word_commands(build, floor, word, utf8=False):
    """The table's commands for `word` (and the cli given by --baseline);
    grep and ripgrep are timed for one word only, in UTF-8 for a folder of
    UTF-8 text (`utf8`)."""
    todo = commands(build, floor, CLI)
    cli = todo.pop("sorahiki-cli")[:-1]  # the program and its flags
    words = word.split()
    todo = {"sorahiki-cli": [*cli, *words], **todo}
    if BASELINE:
        todo["baseline cli"] = [BASELINE, *cli[1:], *words]
    if len(words) > 1:
        todo.pop("grep -rlF")
        todo.pop("rg -l -E shift_jis")
    else:
        todo["grep -rlF"][2] = word.encode("utf-8" if utf8 else "cp932")
        todo["rg -l -E shift_jis"][3:5] = ["utf-8" if utf8 else "shift_jis", word]
    return todo


def measure(folder, build, floor, runs, cold, only=None):
    """Best time of each command, in seconds, taken in turns."""
    todo = {k: v for k, v in commands(build, floor, CLI).items() if only is None or k in only}
    return measure_commands(folder, todo, runs, cold)


def measure_commands(folder, todo, runs, cold):
    """Best time of each of `todo`'s commands, in seconds, taken in turns."""
    if shutil.which("rg") is None:
        todo.pop("rg -l -E shift_jis", None)
    best = {name: float("inf") for name in todo}
    how = "warm"
    files = 0
    for name, command in todo.items():  # warms the cache and checks the commands
        _, out, _ = timed(command, folder, False)
        if name.startswith("floor"):
            files = int(out.split()[0])
    for _ in range(runs):
        for name, command in todo.items():
            seconds, _, how = timed(command, folder, cold)
            best[name] = min(best[name], seconds)
    return files, best, how


def show(seconds):
    return f"{seconds:.2f} s" if seconds >= 1 else f"{seconds * 1000:.0f} ms"


def table(args, build, floor):
    folders = [("generated: 100,000 notes of 4 KiB in 1,000 folders", args.corpus, 100000,
                "--uniform")] if not args.no_corpus else []
    folders += [("generated mixed folder: notes, web pages, pictures", args.mixed, 4443,
                 "--mixed")]
    folders += [(f, f, None, None) for f in args.folders]
    names = list(commands(build, floor))
    print("| folder | files | " + " | ".join(f"`{n}`" for n in names) +
          " | cli / floor 2 | cli / floor 32 |")
    print("|---" * (len(names) + 4) + "|")
    notes = set()
    for label, folder, files, shape in folders:
        if shape:
            make_corpus(build, folder, files, shape)
        count, best, how = measure(folder, build, floor, args.runs, args.cold)
        notes.add(how)
        cells = [show(best[n]) if n in best else "—" for n in names]
        cli = best["sorahiki-cli"]
        print(f"| {label} ({'cold' if args.cold else 'warm'}) | {count:,} | " + " | ".join(cells) +
              f" | {cli / best['floor 2']:.2f} | {cli / best['floor 32']:.2f} |", flush=True)
    if args.real:
        notes |= real_rows(args, build, floor)
    for note in sorted(notes):
        print(f"\n{note}")


def real_rows(args, build, floor):
    """The rows of the real documents and their twin, one per word, under a
    header of their own."""
    notes = set()
    names = list(word_commands(build, floor, WORD))
    print("\n| real documents | word | files | " + " | ".join(f"`{n}`" for n in names) +
          " | cli / floor 2 | cli / floor 32 |" + (" baseline / floor 2 |" if BASELINE else ""))
    print("|---" * (len(names) + 5 + (1 if BASELINE else 0)) + "|")
    real = args.real + ("-whole" if WHOLE else "")
    for label, folder, forms in (("code page 932", real, None),
                                 ("UTF-8 and UTF-16 twin", real + "-twin", TWIN_FORMS),
                                 ("UTF-8 without a mark", real + "-utf8", UTF8_FORMS)):
        if not make_real_corpus(folder, forms):
            return notes
        for kind, word in REAL_WORDS:
            todo = word_commands(build, floor, word, forms == UTF8_FORMS)
            count, best, how = measure_commands(folder, todo, args.runs, args.cold)
            notes.add(how)
            cells = [show(best[n]) if n in best else "—" for n in names]
            cli = best["sorahiki-cli"]
            extra = f" {best['baseline cli'] / best['floor 2']:.2f} |" if BASELINE else ""
            print(f"| {label} ({'cold' if args.cold else 'warm'}) | {word} ({kind}) | "
                  f"{count:,} | " + " | ".join(cells) +
                  f" | {cli / best['floor 2']:.2f} | {cli / best['floor 32']:.2f} |" + extra,
                  flush=True)
    return notes


def plot(args, build, floor):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    series = {}
    for files in args.sizes:
        folder = f"{args.corpus}-{files}"
        make_corpus(build, folder, files, "--uniform")
        for cold in (False, True):
            count, best, how = measure(folder, build, floor, args.runs, cold)
            floor_name = "floor 32" if cold else "floor 2"
            for name in ("sorahiki-cli", floor_name, "grep -rlF", "rg -l -E shift_jis"):
                if name in best:
                    key = (name, cold)
                    series.setdefault(key, []).append((count, best[name]))
            print(f"{files} files, {'cold' if cold else 'warm'} ({how}): " +
                  ", ".join(f"{n} {show(s)}" for n, s in best.items()), flush=True)
    figure, axes = plt.subplots(1, 2, figsize=(11, 4.5))
    for ax, cold in zip(axes, (False, True)):
        for (name, is_cold), points in sorted(series.items()):
            if is_cold == cold:
                ax.plot([p[0] for p in points], [p[1] for p in points], marker="o", label=name)
        ax.set_title("page cache emptied before each run" if cold else "warm page cache")
        ax.set_xlabel("files (4 KiB notes, 100 to a folder)")
        ax.set_ylabel("seconds, search that finds nothing")
        ax.grid(True, alpha=0.3)
        ax.legend()
    figure.tight_layout()
    figure.savefig(args.out, dpi=90)
    print(f"wrote {args.out}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("mode", choices=["table", "plot"])
    parser.add_argument("folders", nargs="*", help="folders that hold DATA")
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "default"))
    parser.add_argument("--floor", help="the floor program's C source")
    parser.add_argument("--corpus", default="/tmp/sorahiki-bench-notes")
    parser.add_argument("--mixed", default="/tmp/sorahiki-bench-mixed")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--cold", action="store_true")
    parser.add_argument("--out", default=os.path.join(ROOT, "docs", "benchmarks.png"))
    parser.add_argument("--sizes", type=lambda text: [int(n) for n in text.split(",")],
                        default=SIZES, help="numbers of files for the plot, with commas")
    parser.add_argument("--cli", help="another sorahiki-cli to time")
    parser.add_argument("--whole", action="store_true", help="search and read whole files")
    parser.add_argument("--no-corpus", action="store_true",
                        help="leave out the generated corpus of 100,000 notes")
    parser.add_argument("--real", default="/tmp/sorahiki-bench-real",
                        help="where the real documents' folder, its twin (-twin) and its UTF-8 "
                        "copy (-utf8) are made; "
                        "'' leaves them out")
    parser.add_argument("--baseline", help="a sorahiki-cli timed beside, in every row")
    args = parser.parse_args()
    global CLI, WHOLE
    CLI = args.cli
    WHOLE = args.whole
    global BASELINE
    BASELINE = args.baseline
    floor = build_floor(floor_source(args.floor), args.build)
    print(f"floor: {floor_source(args.floor)}", file=sys.stderr)
    (table if args.mode == "table" else plot)(args, args.build, floor)


if __name__ == "__main__":
    main()
