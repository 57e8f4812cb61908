#pragma once
// A published set as one PDF document. The pages come from part files that the publishing workers
// drew, joined in set order by libqpdf, which also writes what a PDF reader shows of a document: a
// bookmark per sheet under its subsets, page labels that are the sheet numbers (so that "go to
// page A-301" works), and the title, author, subject, keywords and creator.
#include <string>
#include <vector>

#include "host/VrTypes.h"

struct PdfPageEntry {
    TkString label;                 // the page label: the sheet number, else its title
    TkString bookmark;              // "number - title"
    std::vector<TkString> subsets;  // the bookmarks it sits under, outermost first
};

struct PdfDocumentInfo {
    TkString title, author, subject, keywords, creator;
};

// Writes the pages of `parts` (PDF files, in order) to `fd`, which stays open, as one document;
// `pages` describes them in the same order. False with `error` when a part cannot be read or the
// output cannot be written.
bool writePdfDocument(const std::vector<std::string>& parts, const std::vector<PdfPageEntry>& pages, const PdfDocumentInfo& info,
                      int fd, TkString& error);
