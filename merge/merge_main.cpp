// The merge tools' shell: the base, the changed inputs and the --resolve file
// read whole, merge_inputs, the report printed, the outputs written all or
// nothing (and nothing while conflicts remain).
#include <cerrno>
#include <charconv>
#include <cstdio>
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

constexpr int kTrouble = 2;
constexpr unsigned kJson = 1u << ('j' - 'a');
constexpr unsigned kDryRun = 1u << ('n' - 'a');
const char* const kLongWords[] = {"headered", nullptr};
const char* const kLongValues[] = {"prefer", "resolve", nullptr};

compare::Input read_input(const std::string& path) {
    compare::Input input{path, {}};
    if (!common::read_whole_file(path.c_str(), compare::kMaxPatchTarget, &input.bytes)) {
        common::fatal("Invalid ROM-Image file - %s:", path.c_str());
    }
    return input;
}

// --prefer N: a whole number (checked against the inputs by the merge).
int preferred(const common::ArgumentList& line) {
    const auto found = line.long_values.find("prefer");
    if (found == line.long_values.end()) return 0;
    const std::string& text = found->second;
    int n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 1) {
        return -1;
    }
    return n;
}

Options options_of(const common::ArgumentList& line) {
    Options options;
    options.json = line.letters & kJson;
    options.headered = !line.words.empty();
    options.prefer = preferred(line);
    const auto resolve = line.long_values.find("resolve");
    if (resolve != line.long_values.end()) {
        options.resolve_name = resolve->second;
        if (!common::read_whole_file(options.resolve_name.c_str(), compare::kMaxPatchTarget, &options.resolve)) {
            common::fatal("Cannot open file - %s:", options.resolve_name.c_str());
        }
    }
    return options;
}

int run(int argc, char** argv, const MergeInfo& info) {
    common::ArgumentList line;
    common::scan_argument_list(argc, argv, info.help, "jn", importer::kOutputLetters, &line, kLongWords, kLongValues);
    if (line.positional.size() < 2) common::fatal("Too few arguments");
    const std::vector<importer::Output> outs = importer::outputs_of(line);
    std::vector<std::string> inputs = line.positional;
    const auto resolve = line.long_values.find("resolve");
    if (resolve != line.long_values.end()) inputs.push_back(resolve->second);
    common::Error refused("", kTrouble);
    refused.lines.clear();
    importer::check_outputs(outs, inputs, &refused.lines);
    if (!refused.lines.empty()) return common::report_error(refused);

    Options options = options_of(line);
    if (options.prefer < 0) {
        return common::report_error(common::Error("--prefer " + line.long_values["prefer"] + ": give the number of a changed input (1 = the first)", kTrouble));
    }
    compare::Input base = read_input(line.positional[0]);
    std::vector<compare::Input> changed;
    for (size_t i = 1; i < line.positional.size(); ++i) changed.push_back(read_input(line.positional[i]));
    const common::Result<Merged> merged = merge_inputs(info, std::move(base), std::move(changed), options);
    if (!merged) return common::report_error(merged.error());
    common::write_utf8(stdout, merged->text.c_str());
    if (merged->status != 0) return merged->status;
    for (const importer::Output& out : outs) {
        if (out.letter == 'i' && !merged->refusals.empty()) {
            common::Error no(out.path + ": " + merged->refusals.front(), kTrouble);
            return common::report_error(no);
        }
    }
    const Merged& m = *merged;
    importer::write_outputs(outs, [&m](char letter) -> const compare::ByteVector& {
        return letter == 'o' ? m.image : letter == 'p' ? m.bps : m.ips;
    }, line.letters & kDryRun, !options.json);
    if (fflush(stdout) != 0 || ferror(stdout)) common::fatal("Cannot write to standard output:");
    return 0;
}

}  // namespace

int merge_main(int argc, char** argv, const MergeInfo& info) { return run(argc, argv, info); }

}  // namespace merge
