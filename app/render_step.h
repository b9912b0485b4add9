// The DirectShow render test of the current file (step 9 of a file's analysis).
#pragma once
#include <string>

namespace tavro {

class ReportModel;

void runRenderTest(ReportModel& report, const std::string& path, int runMode);
// Releases a graph kept from the last test, when there is one.
void releaseRenderGraph();

} // namespace tavro
