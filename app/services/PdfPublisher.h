#pragma once
// Publishing sheets to one multi-page PDF: each page at its layout's paper size and orientation (or
// a named page setup's), drawn as vectors with text kept as text, in a plot style. A sheet whose
// drawing is missing, unreadable or without its layout is skipped and logged; the job goes on.
#include <atomic>
#include <functional>
#include <vector>

#include "host/PlotService.h"
#include "toolkit/gs/TkGsRenderer.h"

struct PublishSettings {
    bool reverseOrder = false;
    bool plotStamp = false;  // a line naming drawing, layout, date and time, and user on each page
    TkGsPlotStyle plotStyle = TkGsPlotStyle::Monochrome;
    TkString pageSetupFile, pageSetupName;  // a named page setup that replaces each layout's own
    TkString user;                          // for the plot stamp
    TkString sheetSetFile;                  // the set published, which the output may not replace
    // What the PDF says of itself (the document's properties): the set's name unless the publish
    // options give another title, its description and project fields.
    TkString title, subject, keywords;
    int threads = 0;  // workers drawing pages; 0: one per core

    // What the job says of the set: its page setups, its file, and the document's title, subject
    // and keywords.
    void takeFrom(const VrPublishJob& job);
};

struct PublishedSheet {
    VrPublishSheet sheet;
    bool done = false;
    TkString why;                    // when not done
    std::vector<std::string> notes;  // when done: what the page leaves out of the drawing, and why
};

struct PublishOutcome {
    std::vector<PublishedSheet> sheets;  // in page order
    int pages = 0;
    bool cancelled = false;
    TkString error;  // the output could not be written at all
    bool allDone() const;
};

struct PublishControl {
    std::function<void(int done, int total)> progress;
    const std::atomic<bool>* cancel = nullptr;
};

// The sheets drawn on every core, each worker into part files of its own, joined in order into
// one document with bookmarks, page labels and properties (PdfDocument).
PublishOutcome publishToPdf(const std::vector<VrPublishSheet>& sheets, const TkString& outFile, const PublishSettings& settings,
                            const PublishControl& control = {});
// A PDF of its own for each sheet, in `folder`, named by number and title ("A-101 Ground Floor
// Plan.pdf"), for offices that issue sheets one by one; each with its document properties.
PublishOutcome publishToFolder(const std::vector<VrPublishSheet>& sheets, const TkString& folder, const PublishSettings& settings,
                               const PublishControl& control = {});
// The same pages on any paged device (a printer); `unitsPerMm` is the device's resolution.
class QPagedPaintDevice;
PublishOutcome publishOnDevice(const std::vector<VrPublishSheet>& sheets, QPagedPaintDevice& device, double unitsPerMm,
                               const PublishSettings& settings, const PublishControl& control = {});
// The log: a line per sheet, done or why not, and a summary.
TkString publishLogText(const PublishOutcome& outcome, const TkString& outFile);
