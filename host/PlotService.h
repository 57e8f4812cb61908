#pragma once
// The host's plot service ("CNqPlotSvr"): publishing jobs and the publish settings the palette's
// menus show. Modules find it by name; without it their publish commands do nothing.
#include <vector>

#include "host/VrTypes.h"

// The sheets to publish, made by the module's publish operation, in gathering order.
struct VrPublishSheet {
    TkString drawing, layout, title, number;
    std::vector<TkString> subsets;  // the subsets holding it, outermost first: the PDF's outline
};
struct VrPublishJob {
    std::vector<VrPublishSheet> sheets;
    TkString sheetSetName;
    TkString sheetSetFile;   // never an output
    TkString pageSetupFile;  // the set's page setup overrides, empty when it has none
    TkString pageSetupName;  // the chosen override, empty unless one was chosen
    // What the PDF says of itself: the set's description, and its project fields as keywords.
    TkString subject, keywords;
    TkString documentTitle;  // the PDF's title as the publish dialog gives it; empty: the set's name
};

class CNqPlotSvr : public CNqUnknown {
public:
    virtual int publish(int kind, const VrPublishJob& job) = 0;  // 0 PDF, 1 DWF, 2 DWFx, 3 plotter
    virtual int publishWithPageSetupOverride(const VrPublishJob& job) = 0;
    virtual void plotStampSettings() = 0;
    virtual int managePageSetups(const VrPublishJob& job) = 0;
    virtual int sheetSetPublishOptions(const VrPublishJob& job) = 0;
    virtual int publishDialogBox(const VrPublishJob& job) = 0;
    virtual bool getPublishInReverseOrder() const = 0;
    virtual void setPublishInReverseOrder(bool on) = 0;
    virtual bool getIncludePlotStamp() const = 0;
    virtual void setIncludePlotStamp(bool on) = 0;
    virtual int getDefaultPublishFormat() const = 0;  // 0 PDF, 1 DWF, 2 DWFx
    // Whether publish(kind, ...) can make that output; menus offer a kind it cannot make grayed.
    virtual bool canPublish(int kind) const {
        (void)kind;
        return true;
    }
    // Scripts: the job to `pdfFile` as PDF without a question, the log beside it. 0 every sheet
    // published, 1 some skipped, 2 nothing could be written.
    virtual int publishToFile(const VrPublishJob& job, const TkString& pdfFile) = 0;
};

// The registered plot service, or null.
CNqPlotSvr* vrPlotService();
