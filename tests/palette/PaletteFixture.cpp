#include "tests/palette/PaletteFixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSettings>
#include <QTest>

#include "drawings/SheetSetStamp.h"
#include "host/Documents.h"
#include "host/NqSystem.h"
#include "host/Resources.h"
#include "model/SheetImpl.h"
#include "operations/Operations.h"
#include "model/SheetSetMgrImpl.h"
#include "toolkit/common/TkUtf8.h"

namespace {
TkString W(const std::string& s) { return tkFromUtf8(s); }

void addSheet(CSubset* s, const wchar_t* title, const std::string& dwg, const wchar_t* layout) {
    CSheet* sheet = s->addNewSheet(-1, title);
    sheet->setLayout(layout, L"", W(dwg).c_str());
}
}  // namespace

void PaletteTest::SetUp() {
    CNqSystem::instance().reset();
    registerSheetListOperations();  // as the module does when it starts
    QSettings("Vorn", "Vorn").clear();
    vrSetResourceFolder(VORN_SOURCE_DIR "/res");
    vrSetResourceLanguage("en");
    VrUiResponder::install(&responder);
    setPath = dir.file("Palette Test.dst");
    drawingA = dir.file("a.dwg");
    drawingB = dir.file("b.dwg");
    for (const std::string& d : {drawingA, drawingB}) {
        auto db = makeThreeSheetDrawing();
        ASSERT_TRUE(db->saveAs(d, kTkDbVerR2010).ok());
    }
    CSheetSetMgrImpl mgr;
    CSheetSet* set = mgr.createSheetSet();
    set->setFileName(W(setPath).c_str());
    set->setName(L"Palette Test");
    CSubset* a = set->addNewSubset(-1, L"A");
    addSheet(a, L"a1", drawingA, L"Sheet A");
    addSheet(a, L"a2", drawingA, L"Sheet B");
    addSheet(a, L"a3", dir.file("missing.dwg"), L"Sheet A");
    addSheet(a, L"a4", drawingB, L"Sheet A");
    CSubset* nested = a->addNewSubset(-1, L"Nested");
    addSheet(nested, L"n1", drawingB, L"Sheet B");
    CSubset* b = set->addNewSubset(-1, L"B");
    for (const wchar_t* t : {L"b1", L"b2", L"b3"}) addSheet(b, t, drawingB, L"Sheet C");
    set->addNewSubset(-1, L"Empty");
    ASSERT_TRUE(set->save());
    mgr.releaseSheetSet(set);
}

void PaletteTest::TearDown() {
    wnd.reset();
    unregisterSheetListOperations();
    vrDocManagerPtr()->closeAll();
    for (const std::string& f : responder.failures()) ADD_FAILURE() << f;
    VrUiResponder::install(nullptr);
    CSheetListWnd::menuTestHook = nullptr;
}

void PaletteTest::openWindow() {
    wnd = std::make_unique<CSheetListWnd>(nullptr);
    wnd->resize(360, 700);
    wnd->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd.get()));
    ASSERT_TRUE(wnd->openSheetSet(W(setPath)));
    wnd->OnLockPoll();  // the first poll sees the file as new; later ones see real changes only
    QApplication::processEvents();
}

QTreeWidgetItem* PaletteTest::item(const QString& label) const {
    auto found = tree()->findItems(label, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

QString PaletteTest::labelsUnder(const QString& label) const {
    QStringList out;
    QTreeWidgetItem* parent = item(label);
    for (int i = 0; parent && i < parent->childCount(); ++i) out << parent->child(i)->text(0);
    return out.join(' ');
}

std::wstring PaletteTest::fileLabels(const std::wstring& subset) const {
    CSheetSetMgrImpl mgr;
    if (!mgr.openSheetSet(W(setPath).c_str())) return L"<unreadable>";
    CSheetSet* set = mgr.getSheetSet(0);
    std::vector<CSubset*> subsets;
    set->getSubsets(subsets, true);
    for (CSubset* s : subsets)
        if (s->getName() == subset) {
            std::wstring out;
            for (int i = 0; i < s->getCount(); ++i) {
                CComponent* c = s->getAt(i);
                if (!out.empty()) out += L" ";
                out += c->getType() == 2 ? static_cast<CSheet*>(c)->getTitle() : L"[" + static_cast<CSubset*>(c)->getName() + L"]";
            }
            return out;
        }
    return L"<no subset>";
}

QPoint PaletteTest::centre(QTreeWidgetItem* i) const {
    QRect r = tree()->visualItemRect(i);
    return QPoint(r.left() + 24, r.center().y());
}

void PaletteTest::press(QTreeWidgetItem* i, Qt::KeyboardModifiers m, QPoint at) {
    QPoint pos = at.isNull() ? centre(i) : at;
    QMouseEvent e(QEvent::MouseButtonPress, pos, tree()->viewport()->mapToGlobal(pos), Qt::LeftButton, Qt::LeftButton, m);
    QApplication::sendEvent(tree()->viewport(), &e);
}

void PaletteTest::moveTo(QPoint pos) {
    QMouseEvent e(QEvent::MouseMove, pos, tree()->viewport()->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree()->viewport(), &e);
}

void PaletteTest::release(QPoint pos, Qt::KeyboardModifiers m) {
    QMouseEvent e(QEvent::MouseButtonRelease, pos, tree()->viewport()->mapToGlobal(pos), Qt::LeftButton, Qt::NoButton, m);
    QApplication::sendEvent(tree()->viewport(), &e);
}

void PaletteTest::click(QTreeWidgetItem* i, Qt::KeyboardModifiers m) {
    press(i, m);
    release(centre(i), m);
}

QStringList PaletteTest::selectedLabels() const {
    QList<QTreeWidgetItem*> items;
    tree()->GetSelectedItems(items);
    QStringList out;
    for (QTreeWidgetItem* i : items) out << i->text(0);
    return out;
}

std::unique_ptr<FileHold> PaletteTest::colleagueHoldsTheSet() const {
    std::string dbl = setPath.substr(0, setPath.size() - 4) + ".dbl";
    writeFileText(dbl, "[UserInfo]\nUserName=mchen\nMachine=cad-07\nSince=2026-12-01 08:15:00\n");
    auto hold = std::make_unique<FileHold>();
    EXPECT_TRUE(hold->hold(tkFromUtf8(dbl)));
    return hold;
}
