#include "model/ImportLayouts.h"

#include <algorithm>
#include <map>

#include "drawings/DwgReader.h"
#include "host/PathUtil.h"
#include "model/NewSheet.h"
#include "model/SheetSetMessages.h"

namespace {

TkString hex(uint32_t h) {
    wchar_t buf[16];
    std::swprintf(buf, 16, L"%X", h);
    return buf;
}

TkString fileNameOf(const TkString& path) {
    TkString folder, name;
    vrutSplitPath(path, folder, name);
    return name;
}

}  // namespace

void readLayoutRows(const IsSheetLayout& isSheet, const std::vector<TkString>& openSets, const std::vector<TkString>& drawings,
                    std::vector<LayoutRow>& rows, LayoutRowsReport& report) {
    for (const TkString& path : drawings) {
        DwgReader reader;
        reader.load(path, false);
        if (!reader.database) {
            report.unreadable.push_back(path);
            continue;
        }
        std::vector<TkString> names;
        std::vector<uint32_t> handles;
        if (!reader.listPaperLayouts(true, names, handles)) {
            report.noLayouts.push_back(path);
            continue;
        }
        // The stamp and the set it names are looked at once per drawing, and only when needed.
        const TkString stamped = reader.readStampSheetSetPath();
        const bool ofAnOpenSet = std::any_of(openSets.begin(), openSets.end(), [&](const TkString& s) { return vrutSameTextNoCase(s, stamped); });
        int stampStatus = -1;
        for (size_t i = 0; i < names.size(); ++i) {
            LayoutRow row{path, names[i], hex(handles[i]), LayoutRow::Available, false, stamped};
            if (isSheet(path, names[i])) {
                row.status = LayoutRow::InUse;
            } else if (!stamped.empty() && !ofAnOpenSet) {
                if (stampStatus < 0) stampStatus = reader.isInSheetSet(stamped) ? LayoutRow::InUse : LayoutRow::OtherSet;
                row.status = stampStatus;
            }
            rows.push_back(row);
        }
    }
}

TkString layoutStatusText(int status) {
    switch (status) {
    case LayoutRow::Available: return L"Available for import";
    case LayoutRow::OtherSet: return L"Warning: this layout may belong to another sheet set.";
    default: return L"This layout is already part of a sheet set - not available for import.";
    }
}

TkString importedSheetTitle(const TkString& drawing, const TkString& layout, bool prefixWithFileName) {
    if (!prefixWithFileName) return layout;
    TkString name = fileNameOf(drawing);
    if (name.size() >= 4) name.resize(name.size() - 4);  // the extension
    return sheetDisplayName(name, layout);
}

std::vector<CSheet*> importLayoutRows(CSheetSetImpl& set, CSubset* target, int position, const std::vector<LayoutRow>& rows,
                                      bool prefixWithFileName) {
    std::vector<CSheet*> made;
    for (const LayoutRow& r : rows) {
        if (r.status == LayoutRow::InUse) continue;
        made.push_back(addSheetForDrawing(set, target, position, TkString(), importedSheetTitle(r.drawing, r.layout, prefixWithFileName),
                                          r.layout, r.handle, r.drawing));
    }
    return made;
}

std::vector<CSheet*> sheetsToStamp(const std::vector<CSheet*>& made, const std::vector<LayoutRow>& rows) {
    std::vector<CSheet*> out;
    for (CSheet* sheet : made)
        for (const LayoutRow& r : rows)
            if (r.stampedFor.empty() && r.status != LayoutRow::InUse && r.drawing == sheet->getFileName() && r.layout == sheet->getLayoutName())
                out.push_back(sheet);
    return out;
}
