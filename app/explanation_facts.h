// The four explanations of the current file, gathered from the report model, the
// analysis record, the codec status and what the render test found.
#pragma once
#include <string>

#include "app/analysis_driver.h"
#include "app/render_step.h"
#include "report/explanations.h"

namespace tavro {

// What the render test contributes; everything "not run" until it reports.
struct RenderFacts {
    int result = kRenderNotRun;
    bool errorMatched = false; // the result code's data base entry, when one matched
    std::string errorCode, errorName, errorText;
    // The video decoder of the latest render test that found one. The record-based
    // parts (codecFourcc, subtypeFourccs) are filled from the inventory here.
    VideoDecoderFacts decoder;
    bool hasGraph = false;   // the latest test described filters, which "Show graph" draws
    bool offerGraph = false; // set by a front end that can draw it (the window)
};

// Takes the result of the render step's latest test for the file just analysed.
// The decoder facts are copied (never a pointer into the refilled filter table) and
// kept until a later test finds a video decoder of its own.
void noteRenderTest(RenderFacts& facts, const RenderStep& step);

struct ReportExplanations {
    ExplanationText file, video, audio, render;
};

// Kind 1 video, 2 audio, 3 file; the render text is asked for separately.
ExplanationText fileExplanation(const AnalysisDriver& driver, const RenderFacts& render);
ExplanationText videoExplanation(AnalysisDriver& driver, const CodecInventories* inventories,
                                 const RenderFacts& render);
ExplanationText audioExplanation(AnalysisDriver& driver, const CodecInventories* inventories,
                                 const RenderFacts& render);
ExplanationText renderExplanation(AnalysisDriver& driver, const RenderFacts& render);
ReportExplanations explainReport(AnalysisDriver& driver, const CodecInventories* inventories,
                                 const RenderFacts& render);

} // namespace tavro
