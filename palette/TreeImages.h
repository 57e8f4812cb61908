#pragma once
// The palette's small images, drawn in code: the tree's seven status icons, the lock-state images
// of the sheet set button and the pane buttons. And the rules that pick a tree item's icon.
#include <QIcon>
#include <QPixmap>

#include "model/Component.h"

// Tree image by index (pal::kImgSheetSet ... pal::kImgSubsetMissing), 16 x 16.
const QIcon& treeImage(int index);
// Lock state 1 (held here), 2 (another user), 3 (read-only); null for 0.
QPixmap lockStateImage(int state);
// Pane button art: refresh, details text, preview.
QPixmap paneButtonImage(int which);
enum PaneArt { kArtRefresh, kArtDetails, kArtPreview, kArtPublish, kArtSelections };

// 5 when the drawing file is missing, 4 when it cannot be opened for reading and writing (held by
// someone, or read-only), else 2.
int sheetImageIndex(const TkString& drawingPath);
int sheetImageIndex(const CSheet* sheet);
// 6 for a missing new sheet location or only missing drawings, 3 when it or an ancestor is not
// published, else 1.
int subsetImageIndex(const CSubset* subset);
