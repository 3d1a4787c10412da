// The two exporters' descriptions: game A (mt2export) and game B (mt3export).
#pragma once

#include "export/exporter.h"

namespace exporter {

extern const ExporterInfo kGameAExporter;
extern const ExporterInfo kGameBExporter;

}  // namespace exporter
