// Writes a synthetic Shift-JIS corpus for the benchmark:
//   sorahiki-make-corpus [--utf8] OUTDIR FILES [VARIANT] [--uniform | --mixed]
// creates OUTDIR/DATA with FILES files in nested folders: mostly short
// Japanese notes of mixed sizes, some with CR LF line ends, some binary. The
// word "希少語" stands in about one file in a thousand, so that a search for
// it walks everything and finds a few files. Another VARIANT number gives
// another corpus of the same kind. With --utf8 the same corpus is written with
// its text files in UTF-8, to time the conversion against the Shift-JIS twin.
// --uniform makes every file a note of exactly 4 KiB, 100 to a folder;
// --mixed makes a folder as people keep one: notes, web pages and pictures.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <sorahiki/codepage.h>

namespace fs = std::filesystem;

namespace {

// Narrow literals are Shift-JIS in this project.
const char* const kWords[] = {
    "料理",   "メモ", "会議", "予定",   "買い物",   "電話",     "旅行", "日記", "検索",   "資料",
    "東京",   "大阪", "天気", "晴れ",   "雨",       "朝",       "夜",   "ご飯", "味噌汁", "カレー",
    "ソース", "表示", "能力", "データ", "ファイル", "フォルダ", "確認", "連絡", "報告",   "作業",
    "rice",   "memo", "note", "data",   "test",     "Tokyo",    "2026", "OK",   "abc",    "xyz",
    "の",     "を",   "に",   "は",     "が",       "と",       "で",   "。",   "、",     "　"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

const char* const kNames[] = {"memo", "note", "料理", "メモ", "日記", "report", "資料", "todo"};

std::string TextBody(std::mt19937& rng, size_t bytes, bool crlf, bool rare) {
    std::string text;
    std::uniform_int_distribution<int> word(0, kWordCount - 1);
    std::uniform_int_distribution<int> lineLength(8, 30);
    int untilLineEnd = lineLength(rng);
    // The rare word goes in early enough to lie within the searched text.
    size_t rareAt = rare ? std::min<size_t>(bytes / 3, 1000) : std::string::npos;
    while (text.size() < bytes) {
        if (text.size() >= rareAt) {
            text += "希少語";
            rareAt = std::string::npos;
        }
        text += kWords[word(rng)];
        if (--untilLineEnd == 0) {
            text += crlf ? "\r\n" : "\n";
            untilLineEnd = lineLength(rng);
        } else if (word(rng) % 4 == 0) {
            text += ' ';
        }
    }
    return text;
}

std::string BinaryBody(std::mt19937& rng, size_t bytes) {
    std::string data(bytes, '\0');
    std::uniform_int_distribution<int> byte(0, 255);
    for (char& c : data) c = static_cast<char>(byte(rng));
    return data;
}

// A web page saved in Shift-JIS: markup around paragraphs of notes.
std::string HtmlBody(std::mt19937& rng, size_t bytes) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"Shift_JIS\">\n"
        "<title>";
    page += TextBody(rng, 30, false, false);
    page += "</title>\n<style>body { margin: 2em; }</style>\n</head>\n<body>\n";
    while (page.size() < bytes) {
        page += "<p class=\"note\">" + TextBody(rng, 200, false, false) + "</p>\n";
        if (rng() % 5 == 0) page += "<a href=\"page" + std::to_string(rng() % 100) + ".html\">";
    }
    return page + "</body>\n</html>\n";
}

// A picture: the signature of a common format, then bytes that look random,
// as compressed image data does.
std::string PictureBody(std::mt19937& rng, size_t bytes) {
    static const std::string kSignatures[] = {std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),
                                              std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11)};
    return kSignatures[rng() % 2] + BinaryBody(rng, bytes);
}

size_t PickSize(std::mt19937& rng) {
    int bucket = std::uniform_int_distribution<int>(0, 99)(rng);
    if (bucket < 50) return std::uniform_int_distribution<size_t>(100, 2000)(rng);
    if (bucket < 85) return std::uniform_int_distribution<size_t>(2000, 8000)(rng);
    return std::uniform_int_distribution<size_t>(8000, 64000)(rng);
}

// The file's folder: DATA/gNN/hNN, about 25 files in each; one file in ten
// stands one level higher.
std::string FolderOf(int index, std::mt19937& rng) {
    char folder[64];
    int leaf = index / 25;
    if (std::uniform_int_distribution<int>(0, 9)(rng) == 0) {
        std::snprintf(folder, sizeof folder, "DATA/g%02d", leaf % 40);
    } else {
        std::snprintf(folder, sizeof folder, "DATA/g%02d/h%03d", leaf % 40, leaf / 40);
    }
    return folder;
}

void WriteFile(const fs::path& root, const std::string& cp932Path, const std::string& body) {
    std::string utf8;
    Cp932ToUtf8(cp932Path, utf8);
    fs::path path = root / utf8;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(body.data(), static_cast<std::streamsize>(body.size()));
}

// Notes of exactly 4 KiB of Shift-JIS, 100 to a folder, ten folders at the
// top; with `utf8Text` each note is written in UTF-8 instead (about 6 KiB),
// the same notes character for character.
void MakeUniform(const fs::path& root, int files, std::mt19937& rng, bool utf8Text) {
    for (int i = 0; i < files; ++i) {
        char path[64];
        std::snprintf(path, sizeof path, "DATA/g%02d/h%04d/%s%06d.txt", i / 100 % 10, i / 100,
                      kNames[i % 8], i);
        std::string body = TextBody(rng, 4096, i % 5 == 0, i % 1000 == 999);
        body.resize(4096);
        if (utf8Text) {
            std::string converted;
            Cp932ToUtf8(body, converted);
            body.swap(converted);
        }
        WriteFile(root, path, body);
    }
    std::printf("%d files of 4 KiB under %s/DATA\n", files, root.c_str());
}

// Notes, web pages and pictures in a tree of about 40 folders.
void MakeMixed(const fs::path& root, int files, std::mt19937& rng) {
    int pages = 0, pictures = 0;
    for (int i = 0; i < files; ++i) {
        std::string folder = FolderOf(i * 25 / 100, rng);
        int kind = static_cast<int>(rng() % 10);
        char name[64];
        std::string body;
        if (kind < 2) {
            std::snprintf(name, sizeof name, "/page%05d.html", i);
            body = HtmlBody(rng, PickSize(rng));
            ++pages;
        } else if (kind < 4) {
            std::snprintf(name, sizeof name, "/photo%05d.%s", i, i % 2 ? "jpg" : "png");
            body = PictureBody(rng, std::uniform_int_distribution<size_t>(20000, 400000)(rng));
            ++pictures;
        } else {
            std::snprintf(name, sizeof name, "/%s%05d.txt", kNames[i % 8], i);
            body = TextBody(rng, PickSize(rng), kind == 4, i % 1000 == 999);
        }
        WriteFile(root, folder + name, body);
    }
    std::printf("%d files under %s/DATA: %d web pages, %d pictures\n", files, root.c_str(), pages,
                pictures);
}

}  // namespace

int main(int argc, char** argv) {
    bool utf8Text = argc > 1 && std::string(argv[1]) == "--utf8";
    if (utf8Text) {
        --argc;
        ++argv;
    }
    std::string shape;
    if (argc > 3 && std::string(argv[argc - 1]).rfind("--", 0) == 0) shape = argv[--argc];
    if (argc < 3 || !(shape.empty() || shape == "--uniform" || shape == "--mixed")) {
        std::fprintf(stderr,
                     "usage: sorahiki-make-corpus [--utf8] OUTDIR FILES [VARIANT] "
                     "[--uniform | --mixed]\n");
        return 2;
    }
    fs::path root = argv[1];
    int files = std::atoi(argv[2]);
    std::mt19937 rng(argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 1u);
    fs::remove_all(root / "DATA");
    if (shape == "--uniform") {
        MakeUniform(root, files, rng, utf8Text);
        return 0;
    }
    if (shape == "--mixed") {
        MakeMixed(root, files, rng);
        return 0;
    }
    int binaries = 0, crlfs = 0, rares = 0;
    for (int i = 0; i < files; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%06d.txt", kNames[i % 8], i);
        std::string utf8;
        Cp932ToUtf8(FolderOf(i, rng) + "/" + name, utf8);
        fs::path path = root / utf8;
        fs::create_directories(path.parent_path());
        int kind = std::uniform_int_distribution<int>(0, 999)(rng);
        std::string body;
        if (kind < 50) {
            body = BinaryBody(rng, PickSize(rng));
            ++binaries;
        } else {
            bool crlf = kind < 250;
            bool rare = kind == 999;
            body = TextBody(rng, PickSize(rng), crlf, rare);
            if (utf8Text) {
                std::string converted;
                Cp932ToUtf8(body, converted);
                body.swap(converted);
            }
            crlfs += crlf;
            rares += rare;
        }
        std::ofstream(path, std::ios::binary)
            .write(body.data(), static_cast<std::streamsize>(body.size()));
    }
    std::printf("%d files under %s/DATA: %d binary, %d with CR LF, %d with the rare word\n", files,
                root.c_str(), binaries, crlfs, rares);
    return 0;
}
