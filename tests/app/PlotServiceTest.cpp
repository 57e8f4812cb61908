// The host's plot service as a user meets it: the end of a publish says how many sheets went out,
// which were left out and why, and offers the PDF; a publish that writes nothing says why and
// leaves the PDF that was there.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/services/PlotService.h"
#include "host/UiResponder.h"
#include "toolkit/common/TkUtf8.h"
#include "toolkit/db/TkDbDatabase.h"

namespace {

TkString path(const QTemporaryDir& dir, const char* name) { return dir.filePath(name).toStdWString(); }

struct Answers {
    VrUiResponder responder;
    Answers() { VrUiResponder::install(&responder); }
    ~Answers() { VrUiResponder::install(nullptr); }
};

}  // namespace

TEST(PlotService, APublishSaysWhatWentOutAndOffersThePdf) {
    QTemporaryDir dir;
    auto db = TkDbDatabase::createNew();
    ASSERT_TRUE(db->addLayout("Plan", TkDbPaper{}, true).ok());
    ASSERT_TRUE(db->addLayout("Section", TkDbPaper{}, true).ok());
    ASSERT_TRUE(db->saveAs(tkToUtf8(path(dir, "A-100.dxf")), kTkDbVerR2013).ok());
    VrPublishJob job;
    job.sheetSetName = L"Harbour Offices";
    job.sheets = {{path(dir, "A-100.dxf"), L"Plan", L"Ground Floor", L"A-101", {L"Architecture"}},
                  {path(dir, "A-100.dxf"), L"Section", L"Section A", L"A-301", {L"Architecture"}},
                  {path(dir, "gone.dxf"), L"Plan", L"Roof", L"A-104", {L"Architecture"}}};
    const TkString pdf = path(dir, "out.pdf");
    VornPlotService service;
    {
        Answers a;
        a.responder.queueFileDialog({pdf});
        a.responder.queueMessageBox(IDNO);
        EXPECT_EQ(service.publish(0, job), 2);
        ASSERT_EQ(a.responder.shown().size(), 2u);
        const VrUiResponder::Shown& told = a.responder.shown()[1];
        EXPECT_EQ(told.style & 0xF, unsigned(MB_YESNO));
        for (const wchar_t* part : {L"Published 2 of 3 sheets to ", L"1 sheet was left out:", L"A-104 - Roof: drawing not found",
                                    L"out.log", L"Open the PDF now?"})
            EXPECT_NE(told.text.find(part), TkString::npos) << tkToUtf8(part) << " in " << tkToUtf8(told.text);
        EXPECT_TRUE(a.responder.allAnswersUsed());
    }
    QFile written(QString::fromStdWString(pdf));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray before = written.readAll();
    EXPECT_TRUE(before.startsWith("%PDF-"));

    // Nothing to draw: a warning that says why, with the log, and the earlier PDF stays.
    job.sheets.resize(1);
    job.sheets[0].drawing = path(dir, "gone.dxf");
    {
        Answers a;
        a.responder.queueFileDialog({pdf});
        a.responder.queueMessageBox(IDOK);
        EXPECT_EQ(service.publish(0, job), 0);
        ASSERT_EQ(a.responder.shown().size(), 2u);
        EXPECT_EQ(a.responder.shown()[1].style & 0xF, unsigned(MB_OK));
        EXPECT_NE(a.responder.shown()[1].text.find(L"no sheet could be published"), TkString::npos);
    }
    written.close();
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), before);
}

// With "a PDF per sheet" in the options, a publish asks for a folder and writes a PDF for each
// sheet there, named by number and title; two sheets of one name get a file each.
TEST(PlotService, APdfPerSheetGoesToTheChosenFolder) {
    QTemporaryDir dir;
    auto db = TkDbDatabase::createNew();
    ASSERT_TRUE(db->addLayout("Plan", TkDbPaper{}, true).ok());
    ASSERT_TRUE(db->saveAs(tkToUtf8(path(dir, "A-100.dxf")), kTkDbVerR2013).ok());
    VrPublishJob job;
    job.sheetSetName = L"Harbour Offices";
    job.sheets = {{path(dir, "A-100.dxf"), L"Plan", L"Ground: Floor", L"A-101", {}},
                  {path(dir, "A-100.dxf"), L"Plan", L"Ground: Floor", L"A-101", {}}};
    ASSERT_TRUE(QDir(dir.path()).mkdir("issued"));
    QSettings("Vorn", "Vorn").setValue("Publish/OnePerSheet", true);
    VornPlotService service;
    {
        Answers a;
        a.responder.queueFileDialog({path(dir, "issued")});
        a.responder.queueMessageBox(IDNO);
        EXPECT_EQ(service.publish(0, job), 2);
        ASSERT_EQ(a.responder.shown().size(), 2u);
        EXPECT_NE(a.responder.shown()[1].text.find(L"Published 2 of 2 sheets as a PDF each"), TkString::npos)
            << tkToUtf8(a.responder.shown()[1].text);
    }
    QSettings("Vorn", "Vorn").remove("Publish/OnePerSheet");
    const QStringList files = QDir(dir.filePath("issued")).entryList({"*.pdf"}, QDir::Files, QDir::Name);
    EXPECT_EQ(files, QStringList({"A-101 Ground_ Floor (2).pdf", "A-101 Ground_ Floor.pdf"}));
    EXPECT_TRUE(QFile::exists(dir.filePath("issued/Harbour Offices.log")));
    // Nothing of the work is left behind.
    EXPECT_EQ(QDir(dir.filePath("issued")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 3);
}

// This host writes PDF and prints; DWF and DWFx it says it cannot make, and a default output left
// at DWFx by an older setting reads as PDF, so the palette's publish button never offers one.
TEST(PlotService, MakesPdfAndPrintsButNoDwfAndAStaleDwfDefaultReadsAsPdf) {
    VornPlotService service;
    EXPECT_TRUE(service.canPublish(0));
    EXPECT_TRUE(service.canPublish(3));
    EXPECT_FALSE(service.canPublish(1));
    EXPECT_FALSE(service.canPublish(2));
    QSettings("Vorn", "Vorn").setValue("Publish/DefaultFormat", 2);
    EXPECT_EQ(service.getDefaultPublishFormat(), 0);
    QSettings("Vorn", "Vorn").remove("Publish/DefaultFormat");
}
