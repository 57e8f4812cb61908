#pragma once
// Builders of the example drawings and the sheet template bundled with the product.
#include <memory>
#include <string>
#include <vector>

#include "toolkit/db/TkDbDatabase.h"

TkDbPaper exampleA1();
TkDbPaper exampleA3();

// A title block definition sized for `paper`: border, title panel and attributes for the sheet
// number and title.
uint64_t addTitleBlock(TkDbDatabase& db, const std::string& name, const TkDbPaper& paper);

// A sheet layout: the overall viewport, the title block with its attributes filled in and, when
// `viewHeight` > 0, a viewport onto model space centred on (cx, cy).
TkDbResult addSheetLayout(TkDbDatabase& db, const std::string& layout, const TkDbPaper& paper, const std::string& titleBlock,
                          const std::string& number, const std::string& title, double cx, double cy, double viewHeight);

// The sheet creation template: title blocks and two initialized layouts, "A1" and "A3".
std::unique_ptr<TkDbDatabase> makeSheetTemplate();

// One sheet layout of an example drawing: where its view is centred (fractions of the storey) and
// how much closer than the whole storey it looks.
struct ExampleLayout {
    std::string name, number, title;
    bool a3 = false;
    double fx = 0.5, fy = 0.5, zoom = 1.0;  // zoom 0: no viewport (a sheet of tables and notes)
};

// A drawing of a building storey with the given sheet layouts; `variant` changes its size and details.
std::unique_ptr<TkDbDatabase> makeExampleDrawing(int variant, const std::string& caption,
                                                const std::vector<ExampleLayout>& layouts);

// The page setup overrides file: named page setups that plot the layout 1:1.
std::unique_ptr<TkDbDatabase> makePageSetups();
