#include "app/services/PdfDocument.h"

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include "toolkit/common/TkUtf8.h"

namespace {

QPDFObjectHandle text(const TkString& s) { return QPDFObjectHandle::newUnicodeString(tkToUtf8(s)); }

// The outline as the pages give it: consecutive pages of one subset share its bookmark, so a set
// published in reverse gets its subsets in reverse too, each once per run of pages.
struct Node {
    TkString title;
    size_t page = 0;  // where the bookmark goes: the sheet's page, a subset's first page
    bool subset = false;
    std::vector<std::unique_ptr<Node>> kids;
};

Node outlineOf(const std::vector<PdfPageEntry>& pages) {
    Node root;
    for (size_t i = 0; i < pages.size(); ++i) {
        Node* at = &root;
        for (const TkString& name : pages[i].subsets) {
            if (at->kids.empty() || !at->kids.back()->subset || at->kids.back()->title != name)
                at->kids.push_back(std::make_unique<Node>(Node{name, i, true, {}}));
            at = at->kids.back().get();
        }
        at->kids.push_back(std::make_unique<Node>(Node{pages[i].bookmark, i, false, {}}));
    }
    return root;
}

// Writes the kids of `node` as outline items under `parent`, linked both ways, every level open.
// Returns how many items lie below `parent`. Subsets nest at most a hundred deep, so the
// recursion is bounded.
long long writeItems(QPDF& pdf, const Node& node, QPDFObjectHandle parent, const std::vector<QPDFObjectHandle>& pageObjects) {
    long long count = 0;
    QPDFObjectHandle previous;
    for (const auto& kid : node.kids) {
        QPDFObjectHandle item = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        item.replaceKey("/Title", text(kid->title));
        item.replaceKey("/Parent", parent);
        if (kid->page < pageObjects.size()) {
            QPDFObjectHandle dest = QPDFObjectHandle::newArray();
            dest.appendItem(pageObjects[kid->page]);
            dest.appendItem(QPDFObjectHandle::newName("/Fit"));
            item.replaceKey("/Dest", dest);
        }
        if (previous.isInitialized()) {
            previous.replaceKey("/Next", item);
            item.replaceKey("/Prev", previous);
        } else {
            parent.replaceKey("/First", item);
        }
        parent.replaceKey("/Last", item);
        const long long below = writeItems(pdf, *kid, item, pageObjects);
        if (below > 0) item.replaceKey("/Count", QPDFObjectHandle::newInteger(below));
        count += 1 + below;
        previous = item;
    }
    return count;
}

void writeOutline(QPDF& pdf, const std::vector<PdfPageEntry>& pages, const std::vector<QPDFObjectHandle>& pageObjects) {
    const Node root = outlineOf(pages);
    if (root.kids.empty()) return;
    QPDFObjectHandle outlines = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    outlines.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
    outlines.replaceKey("/Count", QPDFObjectHandle::newInteger(writeItems(pdf, root, outlines, pageObjects)));
    pdf.getRoot().replaceKey("/Outlines", outlines);
    pdf.getRoot().replaceKey("/PageMode", QPDFObjectHandle::newName("/UseOutlines"));
}

// Each page labelled by its own prefix and no numbering style: the label is the sheet number.
void writePageLabels(QPDF& pdf, const std::vector<PdfPageEntry>& pages, size_t pageCount) {
    QPDFObjectHandle nums = QPDFObjectHandle::newArray();
    for (size_t i = 0; i < pages.size() && i < pageCount; ++i) {
        QPDFObjectHandle label = QPDFObjectHandle::newDictionary();
        label.replaceKey("/P", text(pages[i].label));
        nums.appendItem(QPDFObjectHandle::newInteger(static_cast<long long>(i)));
        nums.appendItem(label);
    }
    QPDFObjectHandle tree = QPDFObjectHandle::newDictionary();
    tree.replaceKey("/Nums", nums);
    pdf.getRoot().replaceKey("/PageLabels", pdf.makeIndirectObject(tree));
}

void writeInfo(QPDF& pdf, const PdfDocumentInfo& info) {
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    const std::pair<const char*, const TkString*> fields[] = {{"/Title", &info.title},     {"/Author", &info.author},
                                                              {"/Subject", &info.subject}, {"/Keywords", &info.keywords},
                                                              {"/Creator", &info.creator}, {"/Producer", &info.creator}};
    for (const auto& [key, value] : fields)
        if (!value->empty()) dict.replaceKey(key, text(*value));
    const std::string now = QUtil::qpdf_time_to_pdf_time(QUtil::get_current_qpdf_time());
    dict.replaceKey("/CreationDate", QPDFObjectHandle::newString(now));
    dict.replaceKey("/ModDate", QPDFObjectHandle::newString(now));
    pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(dict));
}

}  // namespace

bool writePdfDocument(const std::vector<std::string>& parts, const std::vector<PdfPageEntry>& pages, const PdfDocumentInfo& info,
                      int fd, TkString& error) {
    try {
        QPDF out;
        out.emptyPDF();
        QPDFPageDocumentHelper outPages(out);
        // The parts stay open until the writer is done: their page contents are copied from them
        // as the document is written, never all held at once.
        std::vector<std::unique_ptr<QPDF>> open;
        for (const std::string& path : parts) {
            auto part = std::make_unique<QPDF>();
            part->processFile(path.c_str());
            for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*part).getAllPages()) outPages.addPage(page, false);
            open.push_back(std::move(part));
        }
        std::vector<QPDFObjectHandle> pageObjects;
        for (QPDFPageObjectHelper& page : outPages.getAllPages()) pageObjects.push_back(page.getObjectHandle());
        writeInfo(out, info);
        writeOutline(out, pages, pageObjects);
        writePageLabels(out, pages, pageObjects.size());

        const int copy = ::dup(fd);
        FILE* file = copy >= 0 ? ::fdopen(copy, "wb") : nullptr;
        if (!file) {
            if (copy >= 0) ::close(copy);
            error = L"the output cannot be written";
            return false;
        }
        QPDFWriter writer(out);
        writer.setOutputFile("the PDF", file, true);
        // The pages' streams go as the workers compressed them; the document's own objects are
        // packed into object streams.
        writer.setCompressStreams(true);
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setObjectStreamMode(qpdf_o_generate);
        writer.write();
        return true;
    } catch (const std::exception& e) {
        error = tkFromUtf8(e.what());
        return false;
    }
}
