// The ASF reader (.wmv, .wma, .asf): the Header Object read into memory within a
// budget, then the top-level objects after it by offset; packets are never read.
#pragma once
#include "analysis/asf/asf_file.h"
#include "analysis/asf/asf_header.h"
#include "analysis/streams/media_streams.h"
#include "analysis/streams/random_access.h"

namespace tavro {

AsfFile readAsfFile(RandomAccessReader& reader, const AsfLimits& limits = AsfLimits{});

const char* asfStatusText(AsfStatus status);
const char* asfProblemText(AsfProblem problem);

// The common record: the streams with their codec families, and the findings.
MediaStreams describeAsf(const AsfFile& file);

} // namespace tavro
