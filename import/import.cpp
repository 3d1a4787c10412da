#include "import/import.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/diag.h"
#include "common/files.h"
#include "common/image_id.h"
#include "common/wholefile.h"
#include "import/importer.h"

namespace importer {

const char* const kImportOptions[6] = {
    "\t-o file\twrite the edited image to file (with the image's copier header, if any)\n",
    "\t-p file\twrite a BPS patch from the image to the edited image\n",
    "\t-i file\twrite an IPS patch from the image to the edited image\n",
    "\t--headered\tmake the patches for the file as given (default: the ROM proper, without a copier header)\n",
    "\t-n\tdry run: print the changes and the files, write nothing\n",
    "\t-h\tdisplay this help and exit\n",
};

namespace {

constexpr unsigned kDryRun = 1u << ('n' - 'a');
const char* const kLongOptions[] = {"headered", nullptr};

}  // namespace

std::vector<Output> outputs_of(const common::ArgumentList& line) {
    std::vector<Output> outs;
    for (const char* c = kOutputLetters; *c; ++c) {
        const std::string& path = line.values[*c - 'a'];
        if (!path.empty()) outs.push_back({*c, path});
    }
    return outs;
}

void check_outputs(const std::vector<Output>& outs, const std::vector<std::string>& inputs,
                   std::vector<std::string>* refusals) {
    for (const std::string& in : inputs) {
        const std::unique_ptr<FILE, int (*)(FILE*)> stream(common::open_file(in.c_str(), "rb"), fclose);
        if (!stream) continue;  // reading it is refused later
        for (const Output& out : outs) {
            if (common::file_identity(stream.get(), out.path.c_str()) != common::FileIdentity::Different) {
                refusals->push_back(out.path + ": an output may not be written over an input (" + in + ")");
            }
        }
    }
    for (size_t i = 0; i < outs.size(); ++i) {
        for (size_t j = i + 1; j < outs.size(); ++j) {
            if (common::output_identity(outs[i].path, outs[j].path) != common::FileIdentity::Different) {
                refusals->push_back(outs[j].path + ": named for two outputs (" + outs[i].path + ")");
            }
        }
    }
}

void write_outputs(const std::vector<Output>& outs, const OutputBytes& bytes_of, bool dry_run, bool listed) {
    std::vector<common::WholeFileOutput> files;
    for (const Output& out : outs) {
        const compare::ByteVector& bytes = bytes_of(out.letter);
        files.push_back({out.path, bytes.data(), bytes.size()});
    }
    size_t failed = 0;
    if (!dry_run && !common::write_whole_files(files, &failed)) common::fatal("Cannot create file - %s:", outs[failed].path.c_str());
    if (!listed) return;
    for (const Output& out : outs) {
        const compare::ByteVector& bytes = bytes_of(out.letter);
        const std::string line = out.path + ": " + std::to_string(bytes.size()) + " bytes, CRC32 " +
                                 common::crc32_hex(common::crc32_of(bytes.data(), bytes.size())) + "\n";
        common::write_utf8(stdout, line.c_str());
    }
    if (dry_run) printf("dry run: nothing written\n");
}

namespace {

// The identification files that may be read beside the CSV files, each once.
std::vector<std::string> identifications_beside(const std::vector<std::string>& positional, const char* prefix) {
    std::vector<std::string> paths;
    for (size_t i = 1; i < positional.size(); ++i) {
        if (!importer::identified_beside(positional[i])) continue;
        const std::string beside = importer::identification_beside(positional[i], prefix);
        if (std::find(paths.begin(), paths.end(), beside) == paths.end()) paths.push_back(beside);
    }
    return paths;
}

// The image, the edited files and the identification file that may be read
// beside each CSV file.
std::vector<std::string> inputs_of(const std::vector<std::string>& positional, const char* prefix) {
    std::vector<std::string> inputs = positional;
    for (const std::string& beside : identifications_beside(positional, prefix)) {
        if (std::find(inputs.begin(), inputs.end(), beside) == inputs.end()) inputs.push_back(beside);
    }
    return inputs;
}

// The image and every file the core may need, read whole; the image ends the
// run when it cannot be read, an edited file is refused by the core in its
// place.
importer::ImportRequest read_request(const common::ArgumentList& line, const char* prefix) {
    importer::ImportRequest request;
    request.image_name = line.positional[0];
    if (!common::read_whole_file(request.image_name.c_str(), compare::kMaxPatchTarget, &request.image)) {
        common::fatal("Invalid ROM-Image file - %s:", request.image_name.c_str());
    }
    for (size_t i = 1; i < line.positional.size(); ++i) {
        importer::EditedFile file{line.positional[i], {}, 0};
        if (!common::read_whole_file(file.name.c_str(), compare::kMaxPatchTarget, &file.bytes)) file.read_error = errno;
        request.files.push_back(std::move(file));
    }
    for (const std::string& beside : identifications_beside(line.positional, prefix)) {
        compare::ByteVector bytes;
        if (common::read_whole_file(beside.c_str(), compare::kMaxPatchTarget, &bytes)) request.identifications[beside] = std::move(bytes);
    }
    request.headered = !line.words.empty();  // --headered: patches for the file as given
    return request;
}

int run(int argc, char** argv, const ImportInfo& info) {
    common::ArgumentList line;
    common::scan_argument_list(argc, argv, info.help, "n", kOutputLetters, &line, kLongOptions);
    if (line.positional.size() < 2) common::fatal("Too few arguments");
    const std::vector<Output> outs = outputs_of(line);
    std::vector<std::string> refusals;
    check_outputs(outs, inputs_of(line.positional, info.exporter.prefix), &refusals);

    importer::ImportRequest request = read_request(line, info.exporter.prefix);
    request.outputs = outs;
    request.dry_run = line.letters & kDryRun;  // -n alone: a dry run of every edit
    request.refusals = std::move(refusals);
    const common::Result<importer::Imported> made = importer::import_edits(std::move(request), info);
    if (!made) return common::report_error(made.error());
    common::write_utf8(stdout, made->changes.c_str());
    const importer::Imported& imported = *made;
    write_outputs(outs, [&imported](char letter) -> const compare::ByteVector& { return importer::output_bytes(imported, letter); },
                  line.letters & kDryRun);
    if (fflush(stdout) != 0 || ferror(stdout)) common::fatal("Cannot write to standard output:");
    return 0;
}

}  // namespace

int import_main(int argc, char** argv, const ImportInfo& info) { return run(argc, argv, info); }

}  // namespace importer
