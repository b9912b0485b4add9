// A run of tavro-cli over files and folders: the files in order, analysed by N jobs,
// each report written in input order as soon as it and those before it are done.
#pragma once
#include <istream>

#include "cli/codec_environment.h"
#include "cli/options.h"
#include "cli/path_inspector.h"

namespace tavro {

// The exit status: 0 when every file was analysed, 1 when one could not be.
// `shared` holds the loaded data base; each job makes its own codec environment.
int runBatch(const CliOptions& options, const CodecEnvironment& shared, PathInspector& inspector,
             std::istream& standardInput);

} // namespace tavro
