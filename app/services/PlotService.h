#pragma once
// The host's plot service: publishes jobs to PDF (one file, with a log beside it) or to a printer,
// and keeps the publish settings (reverse order, plot stamp, default output, plot style). DWF and
// DWFx are not made here: asking for them says so and points to PDF.
#include <QSettings>

#include "app/services/PdfPublisher.h"
#include "host/PlotService.h"

class VornPlotService : public CNqPlotSvr {
public:
    int publish(int kind, const VrPublishJob& job) override;
    int publishWithPageSetupOverride(const VrPublishJob& job) override;
    void plotStampSettings() override;
    int managePageSetups(const VrPublishJob& job) override;
    int sheetSetPublishOptions(const VrPublishJob& job) override;
    int publishDialogBox(const VrPublishJob& job) override;
    bool getPublishInReverseOrder() const override;
    void setPublishInReverseOrder(bool on) override;
    bool getIncludePlotStamp() const override;
    void setIncludePlotStamp(bool on) override;
    int getDefaultPublishFormat() const override;
    bool canPublish(int kind) const override;  // PDF and printers
    int publishToFile(const VrPublishJob& job, const TkString& pdfFile) override;

    // The settings a job is published with now.
    PublishSettings settingsFor(const VrPublishJob& job) const;
    // Publishes to `outFile` with progress and Cancel; the log goes beside it. The outcome, which
    // was also reported when `tell` is set.
    // With `perSheet`, `out` is a folder that gets a PDF per sheet.
    PublishOutcome publishPdf(const VrPublishJob& job, const TkString& out, bool tell = true, bool perSheet = false);
    // Whether the publish options ask for a PDF per sheet instead of one for the set.
    bool getOnePerSheet() const;

private:
    int printJob(const VrPublishJob& job);
    TkString chooseOutput(const VrPublishJob& job);
    int publishChosen(const VrPublishJob& job);  // asks where to, then publishes
    QVariant setting(const char* key, const QVariant& def) const;
    void setSetting(const char* key, const QVariant& value);
};
