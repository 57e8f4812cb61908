// The manual and the help window: every topic a dialog or palette names has its place in the
// manual, links between pages land, and Help buttons and F1 open the window at the topic.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include <set>

#include "host/HelpBrowser.h"
#include "host/HelpTopics.h"
#include "host/UiBase.h"
#include "host/UiResponder.h"

namespace {

QString sourceDir() { return QString(VORN_SOURCE_DIR); }

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool pageHasId(const QString& page, const QString& id) {
    return readAll(vrHelpFolder() + "/" + page).contains("id=\"" + id + "\"");
}

// The help windows open now, of any owner.
std::vector<VrHelpBrowser*> helpWindows() {
    std::vector<VrHelpBrowser*> out;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* h = dynamic_cast<VrHelpBrowser*>(w); h && h->isVisible()) out.push_back(h);
    return out;
}

void closeHelpWindows() {
    for (VrHelpBrowser* h : helpWindows()) h->close();
    QApplication::processEvents();
}

}  // namespace

TEST(HelpTopics, EveryTopicTheProgramNamesIsInTheManualAndEveryLinkLands) {
    vrSetHelpFolder(sourceDir() + "/dist/manual");
    ASSERT_FALSE(vrHelpFolder().isEmpty());

    // Every topic the sources name, and every source that shows a Help button names one.
    static const QRegularExpression named(R"re(setHelpTopic\(L"([^"]+)"\))re");
    std::set<QString> topics;
    for (const char* folder : {"dialogs", "wizard", "palette", "operations", "app", "module"}) {
        QDirIterator it(sourceDir() + "/" + folder, {"*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString text = readAll(file);
            for (auto m = named.globalMatch(text); m.hasNext();) topics.insert(m.next().captured(1));
            if (text.contains("QDialogButtonBox::Help")) {
                EXPECT_TRUE(text.contains("setHelpTopic(L\"")) << file.toStdString() << " has a Help button but names no topic";
            }
        }
    }
    // The dialogs of the module and the host's publishing dialogs at least: a scan that found
    // nothing would pass everything below.
    ASSERT_GE(topics.size(), 20u);
    for (const char* t : {"new-sheet", "sheet-properties", "subset-properties", "set-properties", "custom-properties",
                          "rename-renumber", "import-layouts", "publish-dialog", "transmittal-setups", "resave",
                          "sheet-selections", "sheet-list-table", "new-sheet-set", "palette"})
        EXPECT_TRUE(topics.count(t)) << t << " is named nowhere";
    for (const QString& t : topics) {
        const QUrl url = vrHelpTopicUrl(t.toStdWString());
        ASSERT_FALSE(url.isEmpty()) << t.toStdString() << " has no place in the manual";
        EXPECT_EQ(url.fragment(), t);
        EXPECT_TRUE(pageHasId(QFileInfo(url.toLocalFile()).fileName(), t)) << t.toStdString();
    }

    // Links between the pages land on a page that has the anchor.
    static const QRegularExpression link(R"re(href="([a-z-]*\.html)?(?:#([^"]+))?")re");
    const QDir manual(vrHelpFolder());
    int links = 0;
    for (const QString& page : manual.entryList({"*.html"})) {
        const QString html = readAll(manual.filePath(page));
        for (auto m = link.globalMatch(html); m.hasNext();) {
            const auto match = m.next();
            const QString target = match.captured(1).isEmpty() ? page : match.captured(1);
            EXPECT_TRUE(manual.exists(target)) << page.toStdString() << " links to " << target.toStdString();
            if (!match.captured(2).isEmpty()) {
                EXPECT_TRUE(pageHasId(target, match.captured(2))) << page.toStdString() << " links to a missing "
                                                                   << target.toStdString() << "#" << match.captured(2).toStdString();
            }
            ++links;
        }
    }
    EXPECT_GT(links, 30);

    // The contents for no topic; nothing for a topic the manual lacks.
    EXPECT_EQ(QFileInfo(vrHelpTopicUrl(L"").toLocalFile()).fileName(), "index.html");
    EXPECT_TRUE(vrHelpTopicUrl(L"no-such-topic").isEmpty());
    // A folder without the manual: no manual at all, not a half one.
    vrSetHelpFolder(sourceDir() + "/res");
    EXPECT_TRUE(vrHelpFolder().isEmpty());
    EXPECT_TRUE(vrHelpTopicUrl(L"new-sheet").isEmpty());
    // The search finds the manual from the program's folder, as an installed one does.
    vrSetHelpFolder({});
    EXPECT_TRUE(QFileInfo::exists(vrHelpFolder() + "/dialogs.html"));
}

TEST(HelpBrowser, HelpButtonAndF1OpenTheWindowAtTheDialogsTopic) {
    vrSetHelpFolder(sourceDir() + "/dist/manual");
    CVrUiDialog dlg;
    dlg.setHelpTopic(L"import-layouts");
    // A button box made after the topic: connected when the dialog shows.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, &dlg);
    dlg.setWindowModality(Qt::ApplicationModal);  // as DoModal shows it
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    buttons->button(QDialogButtonBox::Help)->click();
    std::vector<VrHelpBrowser*> open = helpWindows();
    ASSERT_EQ(open.size(), 1u);
    // The dialog's own window, so that its modality leaves the manual usable.
    EXPECT_EQ(open[0]->parentWidget(), &dlg);
    QTextBrowser* text = open[0]->browser();
    EXPECT_EQ(QFileInfo(text->source().toLocalFile()).fileName(), "dialogs.html");
    EXPECT_EQ(text->source().fragment(), "import-layouts");
    EXPECT_TRUE(open[0]->windowTitle().contains("Dialogs of the sheet set manager"));
    // Scrolled down to the topic, not left at the top of the page.
    QApplication::processEvents();
    EXPECT_GT(text->verticalScrollBar()->value(), 0);

    // Asked again after scrolling away: back at the topic, in the same window.
    text->verticalScrollBar()->setValue(0);
    buttons->button(QDialogButtonBox::Help)->click();
    EXPECT_EQ(helpWindows().size(), 1u);
    EXPECT_GT(text->verticalScrollBar()->value(), 0);
    // Escape closes it.
    QTest::keyClick(text, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(helpWindows().empty());

    // F1 in the dialog.
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    QTest::keyClick(&dlg, Qt::Key_F1);
    open = helpWindows();
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0]->browser()->source().fragment(), "import-layouts");
    closeHelpWindows();

    // A topic the manual lacks opens the contents rather than nothing.
    dlg.setHelpTopic(L"no-such-topic");
    buttons->button(QDialogButtonBox::Help)->click();
    open = helpWindows();
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(QFileInfo(open[0]->browser()->source().toLocalFile()).fileName(), "index.html");
    closeHelpWindows();
    dlg.hide();
}

TEST(HelpBrowser, WithoutAPersonTheRequestIsRecordedAndPalettesNameTheirTopic) {
    vrSetHelpFolder(sourceDir() + "/dist/manual");
    VrUiResponder responder;
    VrUiResponder::install(&responder);
    CVrUiDialog dlg;
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Help, &dlg);
    dlg.setHelpTopic(L"new-sheet");
    buttons->button(QDialogButtonBox::Help)->click();
    VrUiResponder::install(nullptr);
    ASSERT_EQ(responder.shown().size(), 1u);
    EXPECT_EQ(responder.shown()[0].kind, VrUiResponder::Kind::Help);
    EXPECT_EQ(responder.shown()[0].text, L"new-sheet");
    EXPECT_TRUE(helpWindows().empty());

    // The host's F1 asks the widget with the focus: a palette's child names the palette's topic.
    CVdUiPaletteSet palette("Test Palette");
    auto* inside = new QWidget;
    palette.setWidget(inside);
    palette.setHelpTopic(L"palette");
    EXPECT_EQ(vrHelpTopicOf(inside), L"palette");
    QWidget elsewhere;
    EXPECT_EQ(vrHelpTopicOf(&elsewhere), L"");
    EXPECT_EQ(vrHelpTopicOf(nullptr), L"");
}
