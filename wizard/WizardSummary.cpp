// The confirm page's summary of the new sheet set, as rich text: what was set, then the subsets,
// the sheets to be made and the closing notes.
#include <QString>

#include "model/SheetImpl.h"
#include "model/SheetSetMessages.h"
#include "wizard/WizardState.h"

namespace {

QString text(int id, const wchar_t* def) { return QString::fromStdWString(ssMessage(id, def)); }
QString html(const TkString& s) { return QString::fromStdWString(s).toHtmlEscaped(); }

class Summary {
public:
    void heading(const QString& h) { out_ += "<p style='margin-top:10px'><b>" + h.toHtmlEscaped() + "</b></p>"; }
    void line(const QString& label, const QString& valueHtml) {
        out_ += "<p style='margin:0 0 0 14px'>" + label.toHtmlEscaped() + (label.endsWith(':') ? " " : ": ") + valueHtml + "</p>";
    }
    void raw(const QString& h) { out_ += h; }
    QString out_;
};

QString templateText(const CSubset* s) {
    if (s->getTemplateLayoutName().empty() && s->getTemplateFileName().empty()) return QString();
    return html(s->getTemplateLayoutName()) + "(" + html(s->getTemplateFileName()) + ")";
}

void subsetSettings(Summary& sum, const CSubset* s) {
    sum.line(text(27415, L"Subset name"), html(s->getName()));
    sum.line(text(27416, L"Sheet storage location"), html(s->getNewSheetLocation()));
    sum.line(text(27417, L"Sheet creation template"), templateText(s));
    sum.line(text(27418, L"Prompt for template"),
             s->getPromptForTemplate() ? text(26109, L"Yes").toHtmlEscaped() : text(26110, L"No").toHtmlEscaped());
}

}  // namespace

TkString CreateShSheetState::summary(bool fromDrawings) const {
    const CSheetSetImpl* set = newSet_;
    Summary sum;
    if (!set) return TkString();
    sum.raw("<h3>" + text(27406, L"New Sheet Set").toHtmlEscaped() + "</h3>");
    sum.line(text(27407, L"Sheet set name:"), html(set->getName()));
    sum.line(text(27408, L"Sheet set description"), html(set->getDesc()));
    sum.line(text(27409, L"Sheet set storage location:"), html(set->getNewSheetLocation()));
    // The label ends in a line break of its own: the path goes on the next line.
    sum.raw("<p style='margin:0 0 0 14px'>" + text(27410, L"Sheet set data file:\n").trimmed().toHtmlEscaped() + "<br>" +
            html(set->getFileName()) + "</p>");
    std::vector<TkString> folders;
    set->getModelViewFolders(folders);
    QString folderList;
    for (const TkString& f : folders) folderList += (folderList.isEmpty() ? "" : "<br>") + html(f);
    sum.line(text(27411, L"Model view"), folderList);
    TkString name, handle, file;
    set->getLabelBlock(name, handle, file);
    sum.line(text(27412, L"Label block for views"), name.empty() ? QString() : html(name) + " (" + html(file) + ")");
    std::vector<TkString> names, handles, files;
    set->getCalloutBlocks(names, handles, files);
    QString callouts;
    for (size_t i = 0; i < names.size(); ++i)
        callouts += (i ? "<br>" : "") + html(names[i]) + " (" + html(i < files.size() ? files[i] : TkString()) + ")";
    sum.line(text(27413, L"Callout blocks"), callouts);
    sum.line(text(27414, L"Page setup overrides"), html(set->getPageSetupFile()));

    sum.heading(text(26301, L"Sheet Set"));
    subsetSettings(sum, set);
    std::vector<CSubset*> subsets;
    set->getSubsets(subsets, true);
    if (!subsets.empty()) {
        sum.heading(text(27421, L"New Subsets"));
        int n = 1;
        for (const CSubset* s : subsets) {
            sum.raw("<p style='margin:4px 0 0 14px'><i>" + QString::asprintf(" %d: ", n++).toHtmlEscaped() + html(s->getName()) + "</i></p>");
            subsetSettings(sum, s);
        }
    }
    sum.heading(text(27422, L"New Sheet Creation"));
    sum.line(text(27423, L"New sheet storage location"), html(set->getNewSheetLocation()));

    std::vector<CustomProperty> props;
    set->getCustomProperties()->getAll(props);
    sum.heading(text(27424, L"Custom Properties (Sheet Set)"));
    sum.raw("<table style='margin-left:14px' cellspacing='0' cellpadding='3' border='1' width='90%'><tr><th align='left' width='45%'>" +
            text(27425, L"Property Name").toHtmlEscaped() + "</th><th align='left'>" + text(27426, L"Default Value").toHtmlEscaped() +
            "</th></tr>");
    for (const CustomProperty& p : props)
        if (p.ownedBySheetSet) sum.raw("<tr><td>" + html(p.name) + "</td><td>" + html(p.value) + "</td></tr>");
    sum.raw("</table>");

    if (!fromDrawings) {
        sum.raw("<p style='margin-top:10px'>" + text(27402, L"Note: References to sheets in the source sheet set are not copied.").toHtmlEscaped() + "</p>");
    } else {
        std::vector<CSheet*> sheets;
        set->getSheets(sheets, true);
        if (sheets.empty()) {
            sum.raw("<p style='margin-top:10px'>" + text(27401, L"No layouts are included in this sheet set.").toHtmlEscaped() + "</p>");
        } else {
            sum.heading(text(26101, L"Sheet") + QString::asprintf(" (%zu)", sheets.size()));
            for (const CSheet* s : sheets)
                sum.raw("<p style='margin:0 0 0 14px'>" + html(sheetDisplayName(s)) + "</p>");
        }
        sum.raw("<p style='margin-top:10px'>" +
                text(27405, L"Note: Creation of the sheet set is complete only after each sheet in the sheet set has been opened and saved.")
                    .toHtmlEscaped() +
                "</p>");
    }
    return sum.out_.toStdWString();
}
