// drawkit publish SET.dst OUT.pdf [ITEM...] [--page-setup NAME] [--reverse] [--stamp]
//     [--style monochrome|displayed|grayscale] [--log FILE] [--jobs N] [--title TEXT] [--open] [--one-per-sheet]
// drawkit transmit SET.dst OUT.zip [ITEM...]
// The sheets of the items (the whole set without any) gathered by their publish flags into one PDF,
// (drawn by N workers, one per core by default; with --one-per-sheet OUT is a folder that gets a PDF
// per sheet, named by number and title), or packed with their drawings, templates and page setups into a zip. Exit 0 when every sheet was
// published (every file packed), 1 when some were skipped (the log says why), 2 when the set
// cannot be read or the output cannot be written.
#include <pwd.h>

#include <QProcess>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "toolkit/common/TkIdentity.h"
#include "app/services/OutputFile.h"
#include "app/services/PdfPublisher.h"
#include "app/services/Transmittal.h"
#include "actions/PublishJobs.h"
#include "model/NameRules.h"
#include "model/SheetSetMgrImpl.h"
#include "toolkit/common/TkUtf8.h"
#include "tools/drawkit/Commands.h"
#include "tools/drawkit/EditRun.h"
#include "tools/drawkit/FontApp.h"

namespace {

namespace fs = std::filesystem;

// The set opened; false with the exit code set.
bool openSet(const std::string& setArg, CSheetSetMgrImpl& mgr, int& code) {
    std::error_code ec;
    if (!fs::is_regular_file(setArg, ec)) return (code = fail(2, setArg + ": no such sheet set file")), false;
    if (!mgr.openSheetSet(tkFromUtf8(fs::absolute(setArg).lexically_normal().string()).c_str()))
        return (code = fail(2, setArg + ": " + tkToUtf8(mgr.lastError()))), false;
    return true;
}

std::vector<ItemRef> itemsOf(const EditArgs& a) {
    std::vector<ItemRef> items;
    for (size_t i = 2; i < a.positional.size(); ++i) items.push_back(ItemRef::named(tkFromUtf8(a.positional[i])));
    return items;
}

}  // namespace

int drawkitPublish(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args, {"--page-setup", "--log", "--style", "--jobs", "--title"}, {"--reverse", "--stamp", "--open", "--one-per-sheet"});
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() < 2)
        return fail(2, "usage: drawkit publish SET.dst OUT.pdf [ITEM...] [--page-setup NAME] [--reverse] [--stamp]\n"
                       "       [--style monochrome|displayed|grayscale] [--log FILE] [--jobs N] [--title TEXT] [--open]\n"
                       "       drawkit publish SET.dst FOLDER --one-per-sheet [...]   (a PDF per sheet, named by number and title)");
    PublishSettings settings;
    settings.reverseOrder = a.has("--reverse");
    settings.plotStamp = a.has("--stamp");
    const std::string style = a.value("--style");
    if (style == "displayed") settings.plotStyle = TkGsPlotStyle::AsDisplayed;
    else if (style == "grayscale") settings.plotStyle = TkGsPlotStyle::Grayscale;
    else if (!style.empty() && style != "monochrome") return fail(2, "--style is monochrome, displayed or grayscale");
    settings.user = tkFromUtf8(tkUserName());
    CSheetSetMgrImpl mgr;
    int code = 0;
    if (!openSet(a.positional[0], mgr, code)) return code;
    VrPublishJob job;
    const ActionResult r = publishJob(*mgr.sheetSetImpl(0), {itemsOf(a), tkFromUtf8(a.value("--page-setup"))}, job);
    if (r.status != ActionResult::Done) return fail(1, tkToUtf8(r.message));
    if (a.has("--title")) {
        TkString error;
        job.documentTitle = tkFromUtf8(a.value("--title"));
        if (!checkEnteredText(L"the title", job.documentTitle, kMaxValueLength, error)) return fail(2, tkToUtf8(error));
    }
    settings.takeFrom(job);
    if (a.has("--jobs")) {
        const std::string jobs = a.value("--jobs");
        char* end = nullptr;
        const long n = std::strtol(jobs.c_str(), &end, 10);
        if (jobs.empty() || *end || n < 1 || n > 256) return fail(2, "--jobs takes a number of workers from 1 to 256");
        settings.threads = static_cast<int>(n);
    }
    const TkString out = tkFromUtf8(fs::absolute(a.positional[1]).lexically_normal().string());
    auto app = guiForFonts();
    PublishControl control;
    if (::isatty(2)) control.progress = [](int done, int total) { std::fprintf(stderr, "\rpublishing %d/%d", done, total); };
    PublishOutcome outcome = a.has("--one-per-sheet") ? publishToFolder(job.sheets, out, settings, control)
                                                      : publishToPdf(job.sheets, out, settings, control);
    if (control.progress) std::fputc('\n', stderr);
    const std::string log = tkToUtf8(publishLogText(outcome, out));
    if (a.has("--log")) {
        // Beside its final name first, like the PDF: never through a link, never over an input.
        const TkString logPath = tkFromUtf8(fs::absolute(a.value("--log")).lexically_normal().string());
        std::vector<TkString> inputs{job.sheetSetFile, job.pageSetupFile, out};
        for (const VrPublishSheet& s : job.sheets) inputs.push_back(s.drawing);
        OutputFile file(logPath);
        if (isOneOfInputs(logPath, inputs) || !file.device() || file.device()->write(log.data(), static_cast<qint64>(log.size())) < 0 ||
            !file.putInPlace())
            std::fprintf(stderr, "drawkit: the log %s was not written\n", a.value("--log").c_str());
    }
    std::fputs(log.c_str(), stdout);
    if (outcome.pages == 0 && !outcome.error.empty()) return 2;
    // In the desktop's PDF viewer, as the user's file manager would open it.
    if (a.has("--open") && !QProcess::startDetached("xdg-open", {QString::fromStdWString(out)}))
        std::fprintf(stderr, "drawkit: %s was written but cannot be opened: no desktop viewer (xdg-open) found\n",
                     tkToUtf8(out).c_str());
    return outcome.allDone() ? 0 : 1;
}

int drawkitTransmit(const std::vector<std::string>& args) {
    EditArgs a = parseEditArgs(args);
    if (!a.error.empty()) return fail(2, a.error);
    if (a.positional.size() < 2) return fail(2, "usage: drawkit transmit SET.dst OUT.zip [ITEM...]");
    CSheetSetMgrImpl mgr;
    int code = 0;
    if (!openSet(a.positional[0], mgr, code)) return code;
    VrTransmittalJob job;
    const ActionResult r = transmittalJob(*mgr.sheetSetImpl(0), itemsOf(a), job);
    if (r.status == ActionResult::Refused) return fail(1, tkToUtf8(r.message));
    TransmittalOutcome outcome = writeTransmittal(job, tkFromUtf8(fs::absolute(a.positional[1]).lexically_normal().string()));
    if (!outcome.ok()) return fail(2, tkToUtf8(outcome.error));
    for (const TkString& m : outcome.missing) std::printf("missing: %s\n", tkToUtf8(m).c_str());
    std::printf("%zu files packed into %s, %zu missing\n", outcome.added.size(), a.positional[1].c_str(), outcome.missing.size());
    return outcome.missing.empty() ? 0 : 1;
}
