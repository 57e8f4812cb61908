#pragma once
// A sheet list window on its own, shown offscreen over a sheet set made for the test:
//   Palette Test
//     A            a1 (drawing a.dwg, layout "a1"), a2 (a.dwg), a3 (missing.dwg), a4 (b.dwg)
//       Nested     n1 (b.dwg)
//     B            b1, b2, b3 (b.dwg)
//     Empty
// Mouse helpers press, move and release on the tree's viewport with explicit buttons.
#include <gtest/gtest.h>

#include <QTreeWidgetItem>
#include <memory>

#include "drawings/FileLocks.h"
#include "host/UiResponder.h"
#include "palette/SheetListWnd.h"
#include "palette/SheetsetTree.h"
#include "tests/support/TestFiles.h"

class PaletteTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens the set in a new window; false on failure.
    void openWindow();
    QTreeWidgetItem* item(const QString& label) const;
    QString labelsUnder(const QString& label) const;  // "b1 b2 b3"
    // The set as a file on disk holds it: a fresh manager reads it.
    std::wstring fileLabels(const std::wstring& subset) const;
    CSheetsetTree* tree() const { return wnd->tree(); }

    QPoint centre(QTreeWidgetItem* i) const;
    void press(QTreeWidgetItem* i, Qt::KeyboardModifiers m = Qt::NoModifier, QPoint at = {});
    void moveTo(QPoint pos);
    void release(QPoint pos, Qt::KeyboardModifiers m = Qt::NoModifier);
    void click(QTreeWidgetItem* i, Qt::KeyboardModifiers m = Qt::NoModifier);
    QStringList selectedLabels() const;
    // A colleague's session holds the set: its lock file with the lock on it, until released.
    std::unique_ptr<FileHold> colleagueHoldsTheSet() const;

    ScratchDir dir;
    std::string setPath, drawingA, drawingB;
    VrUiResponder responder;
    std::unique_ptr<CSheetListWnd> wnd;
};
