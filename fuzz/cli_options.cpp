// The command line of sorahiki-cli: any arguments give either options with an
// empty error or a refusal that says why; what is accepted is the same when
// written out again in its plain form and read once more.
#include <cstdint>

#include "cli/CliOptions.h"
#include "fuzz/FuzzSupport.h"

namespace {

// The input's NUL-separated pieces are the arguments.
std::vector<std::string> SplitArguments(std::string_view input) {
    std::vector<std::string> args;
    for (size_t start = 0; start <= input.size() && args.size() < 64;) {
        size_t end = std::min(input.find('\0', start), input.size());
        args.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

// The accepted options as a command line of their plain form.
std::vector<std::string> PlainForm(const CliOptions& options) {
    std::vector<std::string> args;
    if (!options.folder.empty()) args.insert(args.end(), {"-C", options.folder});
    if (options.all) args.push_back("--all");
    if (options.page != 1) args.insert(args.end(), {"--page", std::to_string(options.page)});
    if (options.tsv) args.push_back("--tsv");
    if (options.raw) args.push_back("--raw");
    if (options.context) args.push_back("--context");
    if (options.color == ColorWhen::kAlways) args.push_back("--color=always");
    if (options.color == ColorWhen::kNever) args.push_back("--color=never");
    args.push_back("--");
    args.insert(args.end(), options.words.begin(), options.words.end());
    return args;
}

bool SameOptions(const CliOptions& a, const CliOptions& b) {
    return a.folder == b.folder && a.page == b.page && a.all == b.all && a.tsv == b.tsv &&
           a.raw == b.raw && a.color == b.color && a.context == b.context && a.words == b.words;
}

// Line feeds, carriage returns and tabs separate words like blanks.
std::string Blanked(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return text;
}

bool IsPieceOfSomeArgument(const std::string& word, const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (Blanked(arg).find(word) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args =
        SplitArguments(std::string_view(reinterpret_cast<const char*>(data), size));
    CliOptions options;
    std::string error;
    bool accepted = ParseCliOptions(args, options, error);
    fuzz::Require(accepted == error.empty(), "a refusal, and only a refusal, says why");
    if (!accepted) return 0;

    fuzz::Require(options.page >= 1, "pages count from 1");
    fuzz::Require(!(options.all && options.page != 1), "--all and --page exclude each other");
    for (const std::string& word : options.words) {
        fuzz::Require(word == Blanked(word), "no line feed, carriage return or tab in a word");
        fuzz::Require(IsPieceOfSomeArgument(word, args), "a word comes from an argument");
    }
    CliOptions again;
    std::string againError;
    fuzz::Require(ParseCliOptions(PlainForm(options), again, againError),
                  "the plain form is accepted");
    fuzz::Require(SameOptions(options, again), "the plain form gives the same options");
    return 0;
}
