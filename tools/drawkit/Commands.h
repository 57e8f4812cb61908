#pragma once
// drawkit's commands beyond info and roundtrip.
#include <string>
#include <vector>

// drawkit objects FILE: the named objects dictionary as a JSON tree, with xrecord value chains.
int drawkitObjects(const std::string& path);
// drawkit edit IN OUT [--rename OLD NEW] [--delete NAME] [--current NAME] [--version CODE]
int drawkitEdit(const std::vector<std::string>& args);
// drawkit thumb FILE OUT.png [LAYOUT] [WIDTHxHEIGHT]: a layout rendered to an image.
int drawkitThumb(const std::vector<std::string>& args);
// drawkit sheets SET.dst [--json|--csv]: the tree, or the sheet index as CSV.
int drawkitSheets(const std::vector<std::string>& args);
// drawkit check SET.dst [--json]: what is wrong with a sheet set; exit 1 when something is, 2 when
// the set cannot be read.
int drawkitCheck(const std::vector<std::string>& args);
// Scripted edits under the sheet set's edit lock (exit 0 done, 1 bad item, 2 unreadable set, 3
// locked by someone else):
//   drawkit new-subset SET.dst PATH, drawkit move SET.dst ITEM --to SUBSET [--after ITEM],
//   drawkit prop SET.dst [ITEM] NAME=VALUE..., drawkit restamp SET.dst; each with [--wait SECONDS].
int drawkitNewSubset(const std::vector<std::string>& args);
int drawkitMove(const std::vector<std::string>& args);
int drawkitProp(const std::vector<std::string>& args);
int drawkitRestamp(const std::vector<std::string>& args);
// drawkit audit FILE [--json]: the repairs a drawing needed; exit 0 clean, 1 repaired, 2 refused.
int drawkitAudit(const std::vector<std::string>& args);
// drawkit new-set SET.dst --from FOLDER... [options]: a sheet set from existing drawings.
int drawkitNewSet(const std::vector<std::string>& args);
// Sheets in bulk (scripted edits, as above): new-sheet (one, or a CSV's rows under one lock),
// import (layouts of drawings as sheets), remove (sheets and empty subsets).
int drawkitNewSheet(const std::vector<std::string>& args);
int drawkitImport(const std::vector<std::string>& args);
int drawkitRemove(const std::vector<std::string>& args);
// Publishing to one PDF and packing a transmittal zip, through the host's publishing cores.
int drawkitPublish(const std::vector<std::string>& args);
int drawkitTransmit(const std::vector<std::string>& args);
// drawkit update-fields SET.dst [--json]: the title blocks of the set's drawings brought up to date.
int drawkitUpdateFields(const std::vector<std::string>& args);
// drawkit resave SET.dst [--log FILE]: every sheet's drawing stamped and saved, failures logged.
int drawkitResave(const std::vector<std::string>& args);
// drawkit renumber SET.dst SUBSET --pattern P [...] and drawkit rename SET.dst ITEM [...].
int drawkitRenumber(const std::vector<std::string>& args);
int drawkitRename(const std::vector<std::string>& args);
// drawkit sheet-list SET.dst SHEET [--at X,Y] [--columns ...]: a sheet list table in SHEET's layout.
int drawkitSheetList(const std::vector<std::string>& args);
// drawkit index SET.dst --apply INDEX.csv [...]: an edited sheet index applied back.
int drawkitIndex(const std::vector<std::string>& args);
// drawkit selection SET.dst add|restore|rename|delete ...: named sheet selections.
int drawkitSelection(const std::vector<std::string>& args);
