// The viewer page (viewer/viewer.html with viewer.css and viewer.js put in),
// compiled into the exporters at build time so that every build writes the
// same bytes. It is cut where the data goes: kViewerPage[0], the column
// descriptions, kViewerPage[1], the JSON document, kViewerPage[2].
#pragma once

#include <string_view>

namespace exporter {

extern const std::string_view kViewerPage[3];

}  // namespace exporter
