#include "model/NewSheet.h"

#include <algorithm>
#include <filesystem>

#include "drawings/DwgReader.h"
#include "host/PathUtil.h"
#include "model/ItemLookup.h"
#include "model/NameRules.h"
#include "toolkit/common/TkUtf8.h"

SheetInsertPoint sheetInsertPoint(CSheetSet* set, CComponent* selected) {
    if (selected && selected->getType() == kComponentSheet) {
        auto* parent = dynamic_cast<CSubset*>(selected->getParent());
        if (parent)
            for (int i = 0; i < parent->getCount(); ++i)
                if (parent->getAt(i) == selected) return {parent, i + 1};
    }
    if (auto* subset = dynamic_cast<CSubset*>(selected)) return {subset, -1};
    return {set, -1};
}

TkString resolveNewSheetLocation(const CSubset* target) {
    for (const CComponent* c = target; c; c = c->getParent())
        if (auto* s = dynamic_cast<const CSubset*>(c))
            if (TkString where = s->getNewSheetLocation(); !where.empty()) return where;
    return TkString();
}

namespace {
TkString joined(const TkString& a, const TkString& sep, const TkString& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + sep + b;
}
}  // namespace

TkString proposedSheetFileName(const TkString& number, const TkString& title) { return joined(number, L" ", title); }

TemplateProblem checkSheetTemplate(const TkString& templateFile, const TkString& layoutName) {
    if (templateFile.empty() || !vrutPathExists(templateFile)) return TemplateProblem::FileMissing;
    DwgReader reader;
    reader.load(templateFile, false);
    auto layout = reader.findLayout(layoutName);
    if (!reader.database || !layout) return TemplateProblem::LayoutMissing;
    return reader.database->isInitialized(*layout) ? TemplateProblem::None : TemplateProblem::NotInitialized;
}

int drawingVersionForSaveFormat(int hostFormat) {
    switch (hostFormat) {
    case 8: return 21;
    case 12: return 23;
    case 24: return 25;
    case 36: return 27;
    case 48: return 29;
    case 60: return 31;
    default: return 33;
    }
}

bool writeSheetDrawing(const SheetDrawingSpec& spec, TkString& error) {
    DwgReader reader;
    reader.load(spec.templateFile, false);
    if (!reader.database) {
        error = spec.templateFile + L": the template cannot be read";
        return false;
    }
    TkDbDatabase& db = *reader.database;
    std::vector<TkString> names;
    std::vector<uint32_t> handles;
    reader.listPaperLayouts(false, names, handles);
    if (std::find(names.begin(), names.end(), spec.templateLayout) == names.end()) {
        error = spec.templateFile + L": no layout " + spec.templateLayout;
        return false;
    }
    for (const TkString& n : names)
        if (n != spec.templateLayout && !db.deleteLayout(tkToUtf8(n))) {
            error = L"the layout " + n + L" of the template cannot be deleted";
            return false;
        }
    if (spec.layoutName != spec.templateLayout)
        if (TkDbResult r = db.renameLayout(tkToUtf8(spec.templateLayout), tkToUtf8(spec.layoutName)); !r) {
            error = tkFromUtf8(r.describe());
            return false;
        }
    reader.setCurrentLayout(spec.layoutName);
    if (!reader.writeStamp(spec.sheetSetPath, spec.drawingPath, spec.layoutName, spec.templateHandle) ||
        !reader.saveAs(spec.drawingPath, spec.version)) {
        error = spec.drawingPath + L": cannot be written";
        return false;
    }
    return true;
}

CSheet* addSheetForDrawing(CSheetSetImpl& set, CSubset* target, int position, const TkString& number, const TkString& title,
                           const TkString& layoutName, const TkString& layoutHandle, const TkString& drawingPath) {
    CSheet* sheet = target->addNewSheet(position, title.c_str());
    sheet->setNumber(number.c_str());
    sheet->setLayout(layoutName.c_str(), layoutHandle.c_str(), drawingPath.c_str());
    std::vector<CustomProperty> definitions;
    set.getCustomProperties()->getSheetProperties(definitions);
    sheet->getCustomProperties()->applyDefinitions(definitions);
    return sheet;
}

SheetTemplate sheetTemplateOf(const CSubset* target) {
    return {target->getTemplateFileName(), target->getTemplateLayoutName(), target->getTemplateLayoutHandle()};
}

namespace {

bool nameBroken(const TkString& what, const TkString& value, size_t limit, TkString& error) {
    if (!checkEnteredText(what, value, limit, error)) return true;
    if (hasUnsupportedCharacters(value)) {
        error = what + L" \"" + value + L"\" holds a character names may not: " + unsupportedNameCharacters();
        return true;
    }
    if (value.size() > limit) {
        error = what + L" \"" + value + L"\" is longer than " + std::to_wstring(limit) + L" characters";
        return true;
    }
    return false;
}

}  // namespace

TkString trimmedText(const TkString& s) {
    size_t b = s.find_first_not_of(L" \t"), e = s.find_last_not_of(L" \t");
    return b == TkString::npos ? TkString() : s.substr(b, e - b + 1);
}

TkString checkNewSheetNames(TkString& number, TkString& title) {
    number = trimmedText(number);
    title = trimmedText(title);
    TkString error;
    if (nameBroken(L"the number", number, kMaxNumberLength, error) || nameBroken(L"the title", title, kMaxTitleLength, error)) return error;
    if (title.empty()) return L"a sheet needs a title";
    return {};
}

bool applyNewSheetValues(CSheetSetImpl& set, CSheet* sheet, const std::vector<std::pair<TkString, TkString>>& values, TkString& error) {
    const bool dryRun = !sheet;
    std::vector<CustomProperty> definitions;
    set.getCustomProperties()->getSheetProperties(definitions);
    std::vector<CustomProperty> own;
    if (sheet) sheet->getCustomProperties()->getAll(own);
    for (const auto& [name, value] : values) {
        if (vrutSameTextNoCase(name, L"Revision")) {
            if (sheet) sheet->setRevisionNumber(value.c_str());
        } else if (vrutSameTextNoCase(name, L"Revision Date")) {
            if (sheet) sheet->setRevisionDate(value.c_str());
        } else if (vrutSameTextNoCase(name, L"Purpose")) {
            if (sheet) sheet->setIssuePurpose(value.c_str());
        } else if (vrutSameTextNoCase(name, L"Category")) {
            if (sheet) sheet->setCategory(value.c_str());
        } else if (vrutSameTextNoCase(name, L"Publish")) {
            const bool yes = vrutSameTextNoCase(value, L"yes") || value == L"1" || vrutSameTextNoCase(value, L"true");
            const bool no = vrutSameTextNoCase(value, L"no") || value == L"0" || vrutSameTextNoCase(value, L"false") || value.empty();
            if (!yes && !no) {
                error = L"Publish is yes or no, not \"" + value + L"\"";
                return false;
            }
            if (sheet) sheet->setIncludeForPublish(yes);
        } else {
            auto def = std::find_if(definitions.begin(), definitions.end(), [&](const CustomProperty& p) { return vrutSameTextNoCase(p.name, name); });
            if (def == definitions.end()) {
                error = L"the sheet set has no sheet property \"" + name + L"\"";
                return false;
            }
            for (CustomProperty& p : own)
                if (p.name == def->name) p.value = value;
        }
    }
    if (!dryRun) sheet->getCustomProperties()->setAll(own);
    return true;
}
