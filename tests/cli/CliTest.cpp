// sorahiki-cli as other tools see it: its output, escapes and exit status.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include <sorahiki/testhooks.h>

#include "cli/CliOutput.h"
#include "cli/CliReadErrors.h"
#include "sorahiki_version.h"
#include "tests/cli/CliRun.h"
#include "tests/support/DataFolder.h"

using namespace testing_support;
using namespace std::literals;

namespace {

int CountLines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Output whose hits come in listing order: on Windows its lines compared as
// a set, each without its rank ("1. ").
std::string InListingOrderText(const std::string& text) {
    if (!kWindowsBuild) return text;
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const size_t digits = line.find_first_not_of("0123456789");
        if (digits > 0 && digits != std::string::npos && line.compare(digits, 2, ". ") == 0) {
            line.erase(0, digits + 2);
        }
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    std::string joined;
    for (const std::string& line : lines) joined += line + "\n";
    return joined;
}

void WriteSample(const DataFolder& folder) {
    folder.Write("DATA/料理/カレー.txt", "カレーの作り方\r\n玉ねぎを 炒める。rice\r\n");
    folder.Write("DATA/メモ.txt", "買い物メモ\n牛乳 rice\n");
    folder.Write("DATA/other.txt", "nothing here\n");
}

TEST(Cli, DefaultOutputInUtf8) {
    DataFolder folder;
    WriteSample(folder);
    CliResult r = RunCli({"rice"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(InListingOrderText(r.out),
              InListingOrderText(
                  U8(u8"総ヒット数 2 件\n"
                     u8"\n1. 買い物メモ\n   牛乳rice\n   DATA/メモ.txt\n"
                     u8"\n2. カレの作り方\n   玉ねぎを炒めるrice\n   DATA/料理/カレー.txt\n")));
}

TEST(Cli, TsvAndRaw) {
    DataFolder folder;
    WriteSample(folder);
    CliResult tsv = RunCli({"--tsv", U8(u8"玉ねぎ")});
    EXPECT_EQ(tsv.status, 0);
    EXPECT_EQ(tsv.out, U8(u8"1\tDATA/料理/カレー.txt\tカレの作り方\t玉ねぎを炒めるrice\n"));
    // --raw takes and writes code page 932 bytes.
    CliResult raw = RunCli({"--raw", "--tsv", "玉ねぎ"});
    EXPECT_EQ(raw.status, 0);
    EXPECT_EQ(raw.out, "1\tDATA/料理/カレー.txt\tカレの作り方\t玉ねぎを炒めるrice\n");
    CliResult rawCount = RunCli({"--raw", "メモ"});
    EXPECT_EQ(rawCount.out.substr(0, rawCount.out.find('\n') + 1), "総ヒット数 1 件\n");
}

// A name with no code page 932 form, or whose form converts back to another
// character ("〜" gives the form of "～"), is printed as the file system has
// it; raw, as its form, with the mark 〓 for a character that has none.
TEST(Cli, NamesPrintedAsTheFileSystemHasThem) {
    DataFolder folder;
    std::ofstream(folder.Root() / "DATA" / fs::path(u8"📝買い物.txt")) << "memo\nrice\n";
    std::ofstream(folder.Root() / "DATA" / fs::path(u8"〜only.txt")) << "wave\nonly\n";
    CliResult tsv = RunCli({"--tsv", "rice"});
    const std::string real = U8(u8"1\tDATA/📝買い物.txt\tmemo\trice\n");
    EXPECT_EQ(tsv.out, real);
    CliResult raw = RunCli({"--raw", "--tsv", "rice"});
    EXPECT_EQ(raw.out, "1\tDATA/〓買い物.txt\tmemo\trice\n");
    EXPECT_EQ(RunCli({"--tsv", "only"}).out, U8(u8"1\tDATA/〜only.txt\twave\tonly\n"));
}

TEST(Cli, TsvEscapes) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "t\\a\tb\x01\x7F\rc\nソ word\0ignored"s);
    CliResult r = RunCli({"--tsv", "word"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, U8(u8"1\tDATA/a.txt\tt\\\\a\\tb\\x01\\x7f\\rc\tソword\n"));
    // In code page 932 the second byte 0x5C of ソ is no backslash.
    CliResult raw = RunCli({"--raw", "--tsv", "word"});
    EXPECT_EQ(raw.out, "1\tDATA/a.txt\tt\\\\a\\tb\\x01\\x7f\\rc\tソword\n");
    // A lead byte never takes a control byte into its character.
    EXPECT_EQ(EscapeField("\x83\t\x83\n\x83\x7F\x83\\", OutputStyle{true}),
              "\x83\\t\x83\\n\x83\\x7f\x83\\");
}

// An environment variable set (or, for nullptr, unset) while it lives, and
// as it was again afterwards.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        const char* before = std::getenv(name);
        m_bWasSet = before != nullptr;
        if (m_bWasSet) m_before = before;
        Set(value);
    }
    ~ScopedVariable() { Set(m_bWasSet ? m_before.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    void Set(const char* value) {
#if defined(_WIN32)
        _putenv_s(m_name.c_str(), value != nullptr ? value : "");
#else
        if (value != nullptr) {
            setenv(m_name.c_str(), value, 1);
        } else {
            unsetenv(m_name.c_str());
        }
#endif
    }

    std::string m_name;
    std::string m_before;
    bool m_bWasSet = false;
};

// The words in bold red as grep shows them, only when asked for or on a
// terminal, never in TSV; the text around the first word on a line of its
// own or in a fifth column.
TEST(Cli, ColourAndContext) {
    DataFolder folder;
    WriteSample(folder);
    const std::string red = "\x1b[01;31m\x1b[K", plain = "\x1b[m\x1b[K";
    const std::string row = U8(u8"1. カレの作り方\n   ");
    const std::string rest = U8(u8"を炒めるrice\n");
    const std::string path = U8(u8"   DATA/料理/カレー.txt\n");
    const std::string context = U8(u8"   …カレの作り方") + red + U8(u8"玉ねぎ") + plain + rest;
    struct Case {
        std::vector<std::string> args;
        std::string rows;  // stdout after the hit count and its blank line
    };
    const Case cases[] = {
        {{"--color=always", U8(u8"玉ねぎ")}, row + red + U8(u8"玉ねぎ") + plain + rest + path},
        {{"--color", U8(u8"玉ねぎ")}, row + U8(u8"玉ねぎ") + rest + path},
        {{"--color=never", "--context", U8(u8"玉ねぎ")},
         row + U8(u8"玉ねぎ") + rest + U8(u8"   …カレの作り方玉ねぎを炒めるrice\n") + path},
        {{"--context", "--color=always", U8(u8"玉ねぎ")},
         row + red + U8(u8"玉ねぎ") + plain + rest + context + path},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        CliResult r = RunCli(c.args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, U8(u8"総ヒット数 1 件\n\n") + c.rows);
    }
    if (!kWindowsBuild) {
        // On a terminal by default, unless NO_COLOR has a value or the
        // terminal is a dumb one.
        struct Environment {
            const char* noColor;
            const char* term;
            bool coloured;
        };
        for (const Environment& e :
             {Environment{"", "xterm", true}, Environment{"1", "xterm", false},
              Environment{nullptr, "dumb", false}}) {
            SCOPED_TRACE(std::string("NO_COLOR=") + (e.noColor ? e.noColor : "(unset)") +
                         " TERM=" + e.term);
            ScopedVariable noColor("NO_COLOR", e.noColor), term("TERM", e.term);
            CliResult r = RunCli({U8(u8"玉ねぎ")}, StdoutTo::kTerminal);
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.out.find(red) != std::string::npos, e.coloured) << r.out;
        }
    }
    CliResult tsv = RunCli({"--tsv", "--context", "--color=always", U8(u8"玉ねぎ")});
    EXPECT_EQ(tsv.out, U8(u8"1\tDATA/料理/カレー.txt\tカレの作り方\t玉ねぎを炒めるrice\t"
                          u8"…カレの作り方玉ねぎを炒めるrice\n"));
}

// Each option flag reaches the engine: a word in other forms, and one past
// the first 2,001 bytes, are found only with theirs; the context line shows
// the file's own forms around the match.
TEST(Cli, SearchOptionFlags) {
    DataFolder folder;
    folder.Write("DATA/menu.txt", "献立\n" + std::string(1000, 'x') + "\xB6\xDA\xB0 RICE\n" +
                                      std::string(3000, 'y') + "\x8E\xE5\x90\x48\n");
    struct Case {
        std::vector<std::string> args;
        bool found;
    };
    const Case cases[] = {
        {{U8(u8"かれー")}, false},
        {{"--fold-width", U8(u8"かれー")}, false},
        {{"--fold-width", "--fold-kana", U8(u8"かれー")}, true},
        {{"rice"}, false},
        {{"-i", "rice"}, true},
        {{U8(u8"主食")}, false},
        {{"--whole", U8(u8"主食")}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(RunCli(c.args).status, c.found ? 0 : 1);
    }
    CliResult r = RunCli({"--tsv", "--context", "--fold-width", U8(u8"カレ")});
    EXPECT_EQ(r.out.substr(r.out.rfind('\t')),
              U8(u8"\t…") + std::string(24, 'x') + U8(u8"ｶﾚｰRICE") + std::string(52, 'y') + "\n");
}

TEST(Cli, PagesAndAll) {
    DataFolder folder;
    for (int i = 0; i < 23; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "DATA/f%02d.txt", i);
        folder.Write(name, "memo\n");
    }
    struct Case {
        std::vector<std::string> args;
        int status;
        int lines;
        const char* first;
    };
    const Case cases[] = {
        {{"--tsv", "memo"}, 0, 10, "1\tDATA/f00.txt\tmemo\t\n"},
        {{"--tsv", "--page", "3", "memo"}, 0, 3, "21\tDATA/f20.txt\tmemo\t\n"},
        {{"--tsv", "--all", "memo"}, 0, 23, "1\tDATA/f00.txt\tmemo\t\n"},
        {{"--page", "2", "memo"}, 0, 1 + 10 * 4, "総ヒット数 23 件\n"},
        {{"--all", "memo"}, 0, 1 + 23 * 4, "総ヒット数 23 件\n"},
        {{"--tsv", "nothing"}, 1, 0, ""},
        {{"nothing"}, 1, 1, "総ヒット数 0 件\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        CliResult r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(CountLines(r.out), c.lines);
        std::string first = c.first;
        std::string expectedFirst;
        Cp932ToUtf8(first, expectedFirst);
        // Which file comes first depends on the listing order: on Windows
        // only its rank.
        const size_t tab = expectedFirst.find('\t');
        if (kWindowsBuild && tab != std::string::npos) expectedFirst.resize(tab + 1);
        EXPECT_EQ(r.out.substr(0, expectedFirst.size()), expectedFirst);
        EXPECT_EQ(r.err, "");
    }

    // A scan that fills its list of 1,010 hits ends there: more files may
    // hold the word, and the count says so.
    for (int i = 23; i < 1011; ++i) folder.Write("DATA/g" + std::to_string(i) + ".txt", "memo\n");
    std::string capped;
    Cp932ToUtf8("総ヒット数 1010 件以上\n", capped);
    EXPECT_EQ(RunCli({"memo"}).out.substr(0, capped.size()), capped);
}

TEST(Cli, Errors) {
    DataFolder folder;
    WriteSample(folder);
    struct Case {
        std::vector<std::string> args;
        const char* mentions;
    };
    const Case cases[] = {
        {{}, "no word"},
        {{"--page"}, "needs a value"},
        {{"--bogus", "rice"}, "unknown option"},
        {{"--page", "0", "rice"}, "page"},
        {{"--page", "x", "rice"}, "page"},
        {{"--page", "2", "rice"}, "page 2 does not exist"},
        {{"--page", "2", "--all", "rice"}, "--all"},
        {{U8(u8"\u3000")}, "no word"},
        {{"a\xF0\x9F\x98\x80"}, "Shift-JIS"},
        {{"-C", "missing", "rice"}, "missing"},
        {{"--color=sometimes", "rice"}, "auto, always or never"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        CliResult r = RunCli(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(CountLines(r.err), 2);
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("--help"), r.err.find('\n')) << r.err;
    }
}

// The first line, without the CR that the Windows build's standard error, in
// text mode, puts before each line feed.
std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// What cannot be read is said: a DATA folder that is no folder or cannot be
// read ends the run, and one whose listing fails for want of descriptors is
// not taken for a missing one. Each folder or file under it that is there
// but cannot be read, or whose path is too long, gets a warning line, and
// the status is 2 once the hits are printed: the answer may lack it.
TEST(Cli, ReadFailuresAreReported) {
    {
        DataFolder folder(false);
        folder.Write("DATA", "not a folder");
        CliResult r = RunCli({"rice"});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(FirstLine(r.err), "sorahiki-cli: DATA is not a folder");
    }
    DataFolder folder;
    WriteSample(folder);
    testhooks::FailOpens(0, -1);
    EXPECT_EQ(ProblemWithDataFolder(), "cannot read DATA: too many open files");
    testhooks::FailOpens(0, 0);
    const std::string tooLong = "DATA/" + std::string(201, 'l') + ".txt";  // 210 bytes
    folder.Write(tooLong, "rice");
    CliResult r = RunCli({"rice"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(FirstLine(r.err), "sorahiki-cli: cannot read " + tooLong + ": path too long");
    EXPECT_EQ(FirstLine(r.out), U8(u8"総ヒット数 2 件"));
    folder.Remove(tooLong);
    if (kWindowsBuild) GTEST_SKIP() << "the Windows build's tests make no symbolic links";
    folder.Link("DATA/gone.txt", "missing.txt");
    fs::create_symlink("missing.txt", folder.Root() / "DATA" / fs::path(u8"📎.txt"));
    const std::string goneMarked =
        U8(u8"sorahiki-cli: cannot read DATA/📎.txt: no such file or folder\n");
    r = RunCli({"rice"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "sorahiki-cli: cannot read DATA/gone.txt: no such file or folder\n" + goneMarked);
    if (!ReadPermissionsHold()) GTEST_SKIP() << "permissions do not hold for root";
    folder.Write("DATA/closed/x.txt", "rice");
    folder.Write("DATA/secret.txt", "rice");
    fs::permissions("DATA/closed", fs::perms::none);
    fs::permissions("DATA/secret.txt", fs::perms::none);
    r = RunCli({"zzz"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "sorahiki-cli: cannot read DATA/closed: permission denied\n"
              "sorahiki-cli: cannot read DATA/gone.txt: no such file or folder\n"
              "sorahiki-cli: cannot read DATA/secret.txt: permission denied\n" +
                  goneMarked);
    fs::permissions("DATA", fs::perms::none);
    r = RunCli({"rice"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(FirstLine(r.err), "sorahiki-cli: cannot read DATA: permission denied");
    for (const char* path : {"DATA", "DATA/closed", "DATA/secret.txt"}) {
        fs::permissions(path, fs::perms::owner_all);
    }
}

// Output that cannot be written is said once, with the system's reason, and
// ends the run with status 2; a reader that goes away while SIGPIPE is at its
// default ends the tool quietly, as it ends any tool in a pipeline.
TEST(Cli, WriteErrors) {
    DataFolder folder;
    WriteSample(folder);
#ifdef SIGPIPE
    const int killedByBrokenPipe = 128 + SIGPIPE;
#else
    const int killedByBrokenPipe = -1;
#endif
    struct Case {
        StdoutTo stdoutTo;
        std::vector<std::string> args;
        int status;
        int error;  // the errno said, or 0 for no message
    };
    const Case cases[] = {
        {StdoutTo::kFullDevice, {"rice"}, 2, ENOSPC},
        {StdoutTo::kFullDevice, {"--tsv", "--all", "rice"}, 2, ENOSPC},
        {StdoutTo::kFullDevice, {"--help"}, 2, ENOSPC},
        {StdoutTo::kNothing, {"rice"}, 2, EBADF},
        {StdoutTo::kNothing, {"--tsv", "zzz"}, 1, 0},  // nothing to write, nothing fails
        {StdoutTo::kClosedPipe, {"--tsv", "rice"}, 2, EPIPE},
        {StdoutTo::kClosedPipeSignalled, {"rice"}, killedByBrokenPipe, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args) + " to " +
                     std::to_string(static_cast<int>(c.stdoutTo)));
        bool linuxOnly =
            c.stdoutTo == StdoutTo::kFullDevice || c.stdoutTo == StdoutTo::kClosedPipeSignalled;
        if (kWindowsBuild && linuxOnly) continue;
        CliResult r = RunCli(c.args, c.stdoutTo);
        EXPECT_EQ(r.status, c.status);
        if (c.error == 0) {
            EXPECT_EQ(r.err, "");
            continue;
        }
        EXPECT_EQ(CountLines(r.err), 1) << r.err;
        EXPECT_EQ(FirstLine(r.err),
                  "sorahiki-cli: write error: " + std::string(std::strerror(c.error)));
    }
}

// Four descriptors: the three standard ones and one file or folder at a
// time. UTF-8 text needs the system's converter, whose loading takes a
// descriptor too, so it must be had before a file holds the last one.
TEST(Cli, FourDescriptorsGiveTheWholeAnswer) {
    if (kWindowsBuild) GTEST_SKIP() << "descriptor limits are set on Linux";
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' runtime opens descriptors of its own";
#endif
    DataFolder folder;
    for (int i = 0; i < 12; ++i) {
        const std::string n = std::to_string(i);
        folder.Write("DATA/sjis" + n + "/note.txt", "メモ " + n + "\n料理 rice\n");
        folder.Write("DATA/utf8" + n + "/note.txt", U8(u8"メモ\n料理 rice ") + n + "\n");
    }
    const std::vector<std::string> args{"--all", "--tsv", U8(u8"料理")};
    const CliResult whole = RunCli(args);
    ASSERT_EQ(CountLines(whole.out), 24) << whole.out;
    const CliResult scarce = RunCli(args, StdoutTo::kFile, {.openFiles = 4});
    EXPECT_EQ(scarce.status, 0);
    EXPECT_EQ(scarce.err, "");
    EXPECT_EQ(scarce.out, whole.out);
}

// However little address space the tool has, its answer is the whole one or
// one line that says memory ran out: never a crash, never part of it. The
// tree is large enough that memory runs out in the walk at some limit.
TEST(Cli, LittleMemoryGivesTheWholeAnswerOrSaysSo) {
    if (kWindowsBuild) GTEST_SKIP() << "address space limits are set on Linux";
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' runtime reserves address space of its own";
#endif
    DataFolder folder;
    for (int d = 0; d < 30; ++d) {
        const std::string n = std::to_string(d);
        for (int f = 0; f < 30; ++f) {
            const std::string text = f % 7 ? "nothing here\n" : "hit\nrice " + n + "\n";
            folder.Write("DATA/s" + n + "/" + std::to_string(f) + ".txt", text);
        }
        folder.Write("DATA/u" + n + U8(u8"/メモ.txt"), U8(u8"メモ\n料理 rice\n"));
    }
    const std::vector<std::string> args{"--all", "--tsv", "rice"};
    const CliResult whole = RunCli(args);
    ASSERT_EQ(whole.status, 0);
    int failed = 0;
    bool answered = false;
    // The band of limits in which the program loads but cannot finish is a
    // few hundred KiB wide: steps of 128 KiB until it first answers, then of
    // 2 MiB.
    for (long long kib = 8 << 10; kib <= 40 << 10; kib += answered ? 2 << 10 : 128) {
        const CliResult r = RunCli(args, StdoutTo::kFile, {.addressSpace = kib << 10});
        SCOPED_TRACE(std::to_string(kib) + " KiB");
        // The program itself could not be loaded.
        if (r.status == 127) continue;
        if (r.status == 0) {
            answered = true;
            EXPECT_EQ(r.out, whole.out);
            EXPECT_EQ(r.err, "");
            continue;
        }
        ++failed;
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "sorahiki-cli: out of memory\n");
    }
    EXPECT_GT(failed, 0) << "no limit made memory run out";
}

TEST(Cli, ChangesFolderWithC) {
    DataFolder folder(false);
    folder.Write("work/DATA/a.txt", "rice");
    CliResult noData = RunCli({"rice"});
    EXPECT_EQ(noData.status, 2);
    EXPECT_NE(noData.err.find("no DATA folder"), std::string::npos);
    CliResult r = RunCli({"-C", "work", "--tsv", "rice"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1\tDATA/a.txt\trice\t\n");
}

TEST(Cli, WordsAfterDoubleDash) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "-x- rice");
    CliResult r = RunCli({"--tsv", "--", "-x-", "rice"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1\tDATA/a.txt\t-x-rice\t\n");
}

TEST(Cli, CommandLineConventions) {
    DataFolder folder;
    folder.Write("DATA/dash.txt", "-h grep\n");
    folder.Write("DATA/three.txt", "abc qqq zzz\n");
    folder.Write("DATA/two.txt", "abc zzz\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;  // the whole of stdout, or its start when it ends in "..."
    };
    const Case cases[] = {
        {{"--help"}, 0, "Usage: sorahiki-cli [OPTION]... [--] WORD...\n..."},
        {{"zzz", "-h"}, 0, "Usage: sorahiki-cli [OPTION]... [--] WORD...\n..."},
        {{"--version"}, 0, "sorahiki-cli " SORAHIKI_VERSION "\n"},
        {{"--", "-h", "grep"}, 0, "総ヒット数 1 件\n..."},
        {{"--tsv", "--", "grep", "--tsv"}, 1, ""},
        {{"qqq", "--tsv"}, 0, "1\tDATA/three.txt\tabcqqqzzz\t\n"},
        {{"--tsv", "abc\nqqq", "zzz"}, 0, "1\tDATA/three.txt\tabcqqqzzz\t\n"},
        {{"--tsv", "qqq\rabc\tzzz"}, 0, "1\tDATA/three.txt\tabcqqqzzz\t\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        CliResult r = RunCli(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, "");
        bool startOnly = c.out.ends_with("...");
        std::string expected;
        Cp932ToUtf8(c.out.substr(0, c.out.size() - (startOnly ? 3 : 0)), expected);
        EXPECT_EQ(startOnly ? r.out.substr(0, expected.size()) : r.out, expected) << r.out;
    }
}

}  // namespace
