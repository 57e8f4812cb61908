#include "model/ScriptedEdits.h"
#include "model/PublishFlags.h"

#include <functional>

#include "drawings/DwgReader.h"
#include "host/PathUtil.h"
#include "model/ItemLookup.h"
#include "model/MoveComponents.h"
#include "model/NameRules.h"
#include "model/NewSheet.h"
#include "model/SheetSetProperties.h"
#include "toolkit/common/TkUtf8.h"

namespace {

// The handle text ("%X") of a layout of a drawing template, empty when it cannot be read.
TkString templateLayoutHandle(const TkString& file, const TkString& layout) {
    DwgReader reader;
    reader.load(file, false);
    auto l = reader.findLayout(layout);
    return l ? tkFromUtf8(l->handleText()) : TkString();
}

// A standard property: its check (empty when anything goes) and how it is set.
struct Standard {
    std::function<bool(const TkString& value, TkString& error)> check;
    std::function<void(const TkString& value)> set;
    explicit operator bool() const { return static_cast<bool>(set); }
};

bool sameName(const TkString& a, const wchar_t* b) { return vrutSameTextNoCase(a, b); }

std::function<bool(const TkString&, TkString&)> nameCheck(const TkString& what, size_t limit, bool required) {
    return [what, limit, required](const TkString& v, TkString& error) {
        if (hasUnsupportedCharacters(v)) error = what + L" \"" + v + L"\" holds a character names may not: " + unsupportedNameCharacters();
        else if (v.size() > limit) error = what + L" is longer than " + std::to_wstring(limit) + L" characters";
        else if (required && v.find_first_not_of(L" \t") == TkString::npos) error = what + L" may not be empty";
        return error.empty();
    };
}

int yesNo(const TkString& v) {
    if (sameName(v, L"yes") || v == L"1" || sameName(v, L"true")) return 1;
    if (sameName(v, L"no") || v == L"0" || sameName(v, L"false")) return 0;
    return -1;
}

std::function<bool(const TkString&, TkString&)> yesNoCheck(const TkString& what) {
    return [what](const TkString& v, TkString& e) { return yesNo(v) >= 0 || ((e = what + L" is yes or no, not \"" + v + L"\""), false); };
}

// "LAYOUT@FILE": that layout of that drawing template, which must have it set up.
bool templateCheck(const TkString& v, TkString& e) {
    const size_t at = v.rfind(L'@');
    if (at == TkString::npos) return (e = L"a template is given as LAYOUT@FILE"), false;
    if (checkSheetTemplate(v.substr(at + 1), v.substr(0, at)) != TemplateProblem::None)
        return (e = L"no set-up layout " + v.substr(0, at) + L" in " + v.substr(at + 1)), false;
    return true;
}

Standard standardProperty(CComponent* target, const TkString& name, bool nested, SheetSetPropertyValues* rec) {
    if (auto* sheet = dynamic_cast<CSheet*>(target)) {
        auto text = [sheet](void (CSheet::*f)(const wchar_t*)) { return Standard{{}, [sheet, f](const TkString& v) { (sheet->*f)(v.c_str()); }}; };
        if (sameName(name, L"Number")) return {nameCheck(L"the number", kMaxNumberLength, false), [sheet](const TkString& v) { sheet->setNumber(v.c_str()); }};
        if (sameName(name, L"Title")) return {nameCheck(L"the title", kMaxTitleLength, true), [sheet](const TkString& v) { sheet->setTitle(v.c_str()); }};
        if (sameName(name, L"Description")) return text(&CSheet::setDesc);
        if (sameName(name, L"Revision") || sameName(name, L"Revision number")) return text(&CSheet::setRevisionNumber);
        if (sameName(name, L"Revision Date")) return text(&CSheet::setRevisionDate);
        if (sameName(name, L"Purpose") || sameName(name, L"Issue purpose")) return text(&CSheet::setIssuePurpose);
        if (sameName(name, L"Category")) return text(&CSheet::setCategory);
        if (sameName(name, L"Publish") || sameName(name, L"Include for Publish"))
            return {yesNoCheck(L"Publish"), [sheet](const TkString& v) { sheet->setIncludeForPublish(yesNo(v) == 1); }};
        return {};
    }
    // The set's properties go into the record its properties dialog edits, and land as the
    // dialog's do; `set` is the record.
    if (rec) {
        auto text = [rec](TkString SheetSetPropertyValues::*field) { return Standard{{}, [rec, field](const TkString& v) { rec->*field = v; }}; };
        if (sameName(name, L"Name")) return {nameCheck(L"the name", kMaxSheetSetNameLength, true), [rec](const TkString& v) { rec->name = v; }};
        if (sameName(name, L"Description")) return text(&SheetSetPropertyValues::description);
        if (sameName(name, L"Project number")) return text(&SheetSetPropertyValues::projectNumber);
        if (sameName(name, L"Project name")) return text(&SheetSetPropertyValues::projectName);
        if (sameName(name, L"Project phase")) return text(&SheetSetPropertyValues::projectPhase);
        if (sameName(name, L"Project milestone")) return text(&SheetSetPropertyValues::projectMilestone);
        if (sameName(name, L"Page setup overrides file") || sameName(name, L"Page setups")) return text(&SheetSetPropertyValues::pageSetupFile);
        if (sameName(name, L"New sheet location") || sameName(name, L"Location")) return text(&SheetSetPropertyValues::location);
        if (sameName(name, L"Prompt for template"))
            return {yesNoCheck(L"Prompt for template"), [rec](const TkString& v) { rec->promptForTemplate = yesNo(v) == 1; }};
        if (sameName(name, L"Sheet creation template") || sameName(name, L"Template"))
            return {templateCheck, [rec](const TkString& v) {
                        const size_t at = v.rfind(L'@');
                        rec->templateLayout = v.substr(0, at);
                        rec->templateFile = v.substr(at + 1);
                        rec->templateHandle = templateLayoutHandle(rec->templateFile, rec->templateLayout);
                    }};
        return {};
    }
    // The settings new sheets inherit.
    if (auto* subset = dynamic_cast<CSubset*>(target)) {
        if (sameName(name, L"New sheet location") || sameName(name, L"Location"))
            return {{}, [subset, nested](const TkString& v) { subset->setNewSheetLocation(v.c_str(), nested); }};
        if (sameName(name, L"Prompt for template"))
            return {yesNoCheck(L"Prompt for template"), [subset, nested](const TkString& v) { subset->setPromptForTemplate(yesNo(v) == 1, nested); }};
        if (sameName(name, L"Sheet creation template") || sameName(name, L"Template"))
            return {templateCheck, [subset, nested](const TkString& v) {
                        const size_t at = v.rfind(L'@');
                        const TkString layout = v.substr(0, at), file = v.substr(at + 1);
                        subset->setTemplate(layout.c_str(), templateLayoutHandle(file, layout).c_str(), file.c_str(), nested);
                    }};
        if (sameName(name, L"Publish") || sameName(name, L"Publish Sheets in Subset"))
            return {yesNoCheck(L"Publish"), [subset](const TkString& v) { setPublishFlag(subset, yesNo(v) == 1); }};
        if (sameName(name, L"Name"))
            return {nameCheck(L"the name", kMaxTitleLength, true), [subset](const TkString& v) { subset->setName(v.c_str()); }};
    }
    return {};
}

}  // namespace

bool setComponentProperties(CSheetSetImpl& set, CComponent* target, const PropertyValues& values, TkString& error, bool checkOnly, bool nested,
                            bool numbersUnique) {
    if (values.empty()) {
        error = L"no NAME=VALUE given";
        return false;
    }
    const bool isSet = target == &set;
    SheetSetPropertyValues before, after;
    if (isSet) before = after = readSheetSetProperties(&set);
    PropertyValues custom;
    std::vector<std::pair<Standard, TkString>> standard;
    for (const auto& [name, value] : values) {
        if (Standard p = standardProperty(target, name, nested, isSet ? &after : nullptr)) standard.emplace_back(p, value);
        else custom.emplace_back(name, value);
    }
    // Everything is checked before anything changes: no value may break a drawing's lines.
    for (const auto& [name, value] : values)
        if (!checkEnteredText(L"the property name \"" + name + L"\"", name, kMaxPropertyNameLength, error) ||
            !checkEnteredText(name, value, kMaxValueLength, error))
            return false;
    for (const auto& [p, value] : standard)
        if (p.check && !p.check(value, error)) return false;
    if (numbersUnique && target->getType() == kComponentSheet)
        for (const auto& [name, value] : values)
            if (const CSheet* holder = sameName(name, L"Number") ? sheetNumbered(&set, value, static_cast<CSheet*>(target)) : nullptr)
                return (error = numberInUseText(value, holder)), false;
    if (!custom.empty() && target->getType() == kComponentSubset) {
        error = L"subsets have no custom properties; name a sheet or leave the item out for the sheet set";
        return false;
    }
    for (const auto& [name, value] : custom)
        if (name.empty()) return (error = L"a custom property needs a name"), false;
    if (checkOnly) return true;
    // Existing custom properties keep their place and owner; new ones belong to the item.
    std::vector<CustomProperty> all;
    CCustomProperties* props = isSet ? nullptr : target->getType() == kComponentSheet ? static_cast<CSheet*>(target)->getCustomProperties() : nullptr;
    if (props) props->getAll(all);
    std::vector<CustomProperty>& list = isSet ? after.customProperties : all;
    for (const auto& [name, value] : custom) {
        auto it = std::find_if(list.begin(), list.end(), [&](const CustomProperty& p) { return p.name == name; });
        if (it != list.end()) it->value = value;
        else list.push_back({name, value, isSet});
    }
    if (props && !custom.empty()) props->setAll(all);
    for (const auto& [p, value] : standard) p.set(value);
    if (isSet) applySheetSetProperties(set, after, sheetSetSettingsChange(before, after), nested);
    return true;
}

bool setItemProperties(CSheetSetImpl& set, const TkString& item, const PropertyValues& values, TkString& error) {
    CComponent* target = &set;
    if (!item.empty() && !(target = findItem(&set, item, error))) return false;
    return setComponentProperties(set, target, values, error, false);
}
