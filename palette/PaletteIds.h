#pragma once
// The palette's numbers: command ids of its menus and buttons, timer ids and tree image indices.
// Operations elsewhere and the message catalogs refer to them, so they never change.

namespace pal {

// Buttons of the sheet list window.
constexpr int kCmdSheetSetButton = 2025;
constexpr int kCmdPublishDefault = 2026;
constexpr int kCmdPublishMenu = 2027;
constexpr int kCmdSelectionsButton = 2028;
// Ranges: open sheet set i, recent file i, selection set i, page setup override i.
constexpr int kCmdOpenSetFirst = 2125;
constexpr int kCmdRecentFirst = 2225;
constexpr int kCmdSelectionFirst = 2325;
constexpr int kCmdPageSetupFirst = 2425;
constexpr int kRangeSize = 100;
constexpr int kPageSetupRangeSize = 99;

constexpr int kCmdNewSheetSet = 2525;
constexpr int kCmdOpen = 2526;
constexpr int kCmdPublishDwfx = 2555;
constexpr int kCmdPublishDwf = 2575;
constexpr int kCmdPublishDwfx2 = 2576;
constexpr int kCmdPublishPdf = 2577;
constexpr int kCmdPublishPlotter = 2578;
constexpr int kCmdSubsetPublishOn = 2580;
constexpr int kCmdSubsetPublishOff = 2581;
constexpr int kCmdSheetPublishOn = 2582;
constexpr int kCmdSheetPublishOff = 2583;
constexpr int kCmdPublishSettings = 2584;
constexpr int kCmdReverseOrder = 2585;
constexpr int kCmdPlotStamp = 2586;
constexpr int kCmdPlotStampSettings = 2587;
constexpr int kCmdManagePageSetups = 2588;
constexpr int kCmdPublishOptions = 2589;
constexpr int kCmdPublishDialog = 2590;
constexpr int kCmdManageSelections = 2615;
constexpr int kCmdSaveSelection = 2616;
constexpr int kCmdCloseSheetSet = 2625;
constexpr int kCmdNewSheet = 2626;
constexpr int kCmdNewSubset = 2627;
constexpr int kCmdImportLayout = 2628;
// Not a menu item: the host's import of a drawing's layouts, through the command table.
constexpr int kCmdImportFromHost = 32001;
constexpr int kCmdResaveAll = 2629;
constexpr int kCmdIgnored1 = 2630;
constexpr int kCmdTransmit = 2632;
constexpr int kCmdTransmittalSetups = 2633;
constexpr int kCmdIgnored2 = 2634;
constexpr int kCmdSheetSetProperties = 2635;
constexpr int kCmdOpenSheets = 2665;
constexpr int kCmdOpenReadOnly = 2666;
constexpr int kCmdRenameRenumber = 2667;
constexpr int kCmdRemoveSheets = 2668;
constexpr int kCmdSheetProperties = 2669;
constexpr int kCmdCollapse = 2685;
constexpr int kCmdExpand = 2686;
constexpr int kCmdRenameSubset = 2687;
constexpr int kCmdRemoveSubset = 2688;
constexpr int kCmdSubsetProperties = 2689;
constexpr int kCmdRenumberSubset = 2690;  // "Renumber Sheets...": the subset's sheets by a pattern
constexpr int kCmdSheetListTable = 2691;  // "Insert Sheet List Table...": a table of the set's sheets on this sheet
constexpr int kCmdExpandAll = 2705;
constexpr int kCmdCollapseAll = 2706;
constexpr int kCmdToolTipStyleFirst = 2707;  // styles 0 to 7
constexpr int kCmdToolTipStyleLast = 2714;
constexpr int kCmdDetailsPane = 2715;
constexpr int kCmdClosePalette = 2716;

// Pane buttons.
constexpr int kPaneCollapse = 1126;
constexpr int kPaneRefresh = 1127;
constexpr int kPaneDetails = 1127;
constexpr int kPanePreview = 1128;

// Timers of the sheet list window.
constexpr int kTimerLockPoll = 1125;
constexpr int kTimerStatusPoll = 1126;
constexpr int kTimerCachePurge = 1127;
constexpr int kLockPollMs = 1000;
constexpr int kCachePurgeMs = 300000;

// Tree images.
constexpr int kImgSheetSet = 0;
constexpr int kImgSubset = 1;
constexpr int kImgSheet = 2;
constexpr int kImgSubsetNotPublished = 3;
constexpr int kImgSheetLocked = 4;
constexpr int kImgSheetMissing = 5;
constexpr int kImgSubsetMissing = 6;
constexpr int kImageCount = 7;

// Control ids.
constexpr int kTreeCtrlId = 1001;
constexpr int kSheetListId = 1;

}  // namespace pal
