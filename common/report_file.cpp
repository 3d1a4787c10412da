// Saving reports: the shells' side of report.h, which opens and writes files.
#include <cerrno>

#include "common/report.h"

namespace common {

bool refuses_image(const RomImage& image, const char* path) {
    if (!image.is_image(path)) return false;
    errno = EBUSY;
    return true;
}

bool open_report(OutputFile& file, const char* path, const RomImage& image, OutputMode mode) {
    return refuses_image(image, path) ? 0 : file.open(path, mode);
}

bool save_report(const char* path, const ReportText& text, const RomImage& image) {
    OutputFile file;
    if (!open_report(file, path, image)) return false;
    if (text.size()) fwrite(text.data(), 1, text.size(), file.stream());
    return file.close();
}

}  // namespace common
