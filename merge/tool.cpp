#include "merge/tool.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/diag.h"
#include "common/files.h"
#include "common/wholefile.h"
#include "import/import.h"
#include "merge/merge.h"

namespace merge {

const char* const kMergeOptions[9] = {
    "\t-o file\twrite the merged image to file (with the base's copier header, if any)\n",
    "\t-p file\twrite a BPS patch from the base to the merged image\n",
    "\t-i file\twrite an IPS patch from the base to the merged image\n",
    "\t--headered\tmake the patches for the file as given (default: the ROM proper)\n",
    "\t-j\twrite the report as one JSON document\n",
    "\t-n\tdry run: report, write nothing\n",
    "\t--prefer N\tevery conflict takes the value of changed input N (1 = the first)\n",
    "\t--resolve file\ttake each conflict's value from a CSV file with the columns table,index,key,value\n",
    "\t-h\tdisplay this help and exit\n",
};

namespace {

constexpr unsigned kJson = 1u << ('j' - 'a');
constexpr unsigned kDryRun = 1u << ('n' - 'a');
const char* const kLongOptions[] = {"headered", nullptr};
const char* const kLongValueOptions[] = {"prefer", "resolve", nullptr};

// A whole input file; ends the run when it cannot be read.
compare::Input read_input(const std::string& path) {
    compare::Input input{path, {}};
    if (!common::read_whole_file(path.c_str(), compare::kMaxPatchTarget, &input.bytes)) {
        common::fatal("Invalid ROM-Image file - %s:", path.c_str());
    }
    return input;
}

std::string long_value(const common::ArgumentList& line, const char* word) {
    const auto found = line.long_values.find(word);
    return found == line.long_values.end() ? std::string() : found->second;
}

// The number after --prefer (0 when not given).
int preferred(const std::string& text) {
    if (text.empty()) return 0;
    char* end = nullptr;
    const long n = strtol(text.c_str(), &end, 10);
    if (*end != '\0' || n < 1 || n > 1000000) common::fatal("--prefer %s: give the number of a changed input (1 = the first)", text.c_str());
    return static_cast<int>(n);
}

// The lines of refusals, then "nothing written", and the trouble status.
int refuse(const std::vector<std::string>& refusals) {
    common::Error error;
    error.lines = refusals;
    error.lines.push_back("nothing written");
    error.status = kMergeTrouble;
    return common::report_error(error);
}

session::Wanted wanted_of(const std::vector<importer::Output>& outs, bool headered) {
    session::Wanted wanted{false, false, false, headered};
    for (const importer::Output& out : outs) {
        (out.letter == 'o' ? wanted.image : out.letter == 'p' ? wanted.bps : wanted.ips) = true;
    }
    return wanted;
}

int run(int argc, char** argv, const MergeInfo& info) {
    common::ArgumentList line;
    common::scan_argument_list(argc, argv, info.help, "jn", importer::kOutputLetters, &line, kLongOptions, kLongValueOptions);
    if (line.positional.size() < 2) common::fatal("Too few arguments");
    const std::vector<importer::Output> outs = importer::outputs_of(line);
    const std::string resolve = long_value(line, "resolve");
    std::vector<std::string> inputs = line.positional;
    if (!resolve.empty()) inputs.push_back(resolve);
    std::vector<std::string> refusals;
    importer::check_outputs(outs, inputs, &refusals);
    if (!refusals.empty()) return refuse(refusals);

    Options options;
    options.prefer = preferred(long_value(line, "prefer"));
    if (!resolve.empty()) options.resolve = read_input(resolve);
    options.json = (line.letters & kJson) != 0;
    options.make_files = !outs.empty();
    options.wanted = wanted_of(outs, !line.words.empty());
    compare::Input base = read_input(line.positional[0]);
    std::vector<compare::Input> changed;
    for (size_t i = 1; i < line.positional.size(); ++i) changed.push_back(read_input(line.positional[i]));

    const common::Result<Merged> merged = merge_inputs(info.game, std::move(base), std::move(changed), options);
    if (!merged) return common::report_error(merged.error());
    if (!merged->files.refusals.empty()) return refuse(merged->files.refusals);
    common::write_utf8(stdout, merged->report.c_str());
    if (merged->status == 0 && !outs.empty()) {
        const session::Files& files = merged->files;
        importer::write_outputs(
            outs, [&files](char letter) -> const compare::ByteVector& { return letter == 'o' ? files.image : letter == 'p' ? files.bps : files.ips; },
            (line.letters & kDryRun) != 0, !options.json);
    }
    if (fflush(stdout) != 0 || ferror(stdout)) common::fatal("Cannot write to standard output:");
    return merged->status;
}

}  // namespace

int merge_main(int argc, char** argv, const MergeInfo& info) { return run(argc, argv, info); }

}  // namespace merge
