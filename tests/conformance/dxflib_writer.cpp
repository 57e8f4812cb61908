// Writes a drawing with dxflib, the DXF library behind several open-source CAD programs, the way
// those programs do: dxflib_writer OUT. The conformance test reads it with the toolkit.
#include <dl_dxf.h>

#include <memory>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    DL_Dxf dxf;
    std::unique_ptr<DL_WriterA> dw(dxf.out(argv[1], DL_Codes::AC1015));
    if (!dw) return 1;
    dxf.writeHeader(*dw);
    dw->sectionEnd();
    dw->sectionTables();
    dxf.writeVPort(*dw);
    dw->tableLinetypes(3);
    dxf.writeLinetype(*dw, DL_LinetypeData("BYBLOCK", "BYBLOCK", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("BYLAYER", "BYLAYER", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Continuous", 0, 0, 0.0));
    dw->tableEnd();
    dw->tableLayers(2);
    DL_Attributes plain("", DL_Codes::black, 100, "CONTINUOUS", 1.0);
    dxf.writeLayer(*dw, DL_LayerData("0", 0), plain);
    dxf.writeLayer(*dw, DL_LayerData("WALLS", 0), DL_Attributes("", 1, 50, "CONTINUOUS", 1.0));
    dw->tableEnd();
    dw->tableStyle(1);
    dxf.writeStyle(*dw, DL_StyleData("standard", 0, 2.5, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw->tableEnd();
    dxf.writeView(*dw);
    dxf.writeUcs(*dw);
    dw->tableAppid(1);
    dxf.writeAppid(*dw, "ACAD");
    dw->tableEnd();
    dxf.writeDimStyle(*dw, 1, 1, 1, 1, 1);
    dxf.writeBlockRecord(*dw);
    dxf.writeBlockRecord(*dw, "DOOR");
    dw->tableEnd();
    dw->sectionEnd();
    dw->sectionBlocks();
    dxf.writeBlock(*dw, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Model_Space");
    dxf.writeBlock(*dw, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Paper_Space");
    dxf.writeBlock(*dw, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Paper_Space0");
    dxf.writeBlock(*dw, DL_BlockData("DOOR", 0, 0.0, 0.0, 0.0));
    DL_Attributes walls("WALLS", 256, -1, "BYLAYER", 1.0);
    dxf.writeLine(*dw, DL_LineData(0, 0, 0, 900, 0, 0), walls);
    dxf.writeArc(*dw, DL_ArcData(0, 0, 0, 900, 0, 90), walls);
    dxf.writeEndBlock(*dw, "DOOR");
    dw->sectionEnd();
    dw->sectionEntities();
    for (int i = 0; i < 20; ++i) {
        dxf.writeLine(*dw, DL_LineData(i * 100.0, 0, 0, i * 100.0 + 50, 2000, 0), walls);
        dxf.writeCircle(*dw, DL_CircleData(i * 100.0, 3000, 0, 25), walls);
        dxf.writeInsert(*dw, DL_InsertData("DOOR", i * 100.0, 5000, 0, 1, 1, 1, 90.0 * (i % 4), 1, 1, 0, 0), walls);
    }
    dxf.writePolyline(*dw, DL_PolylineData(3, 0, 0, 1), walls);
    dxf.writeVertex(*dw, DL_VertexData(-100, -100, 0, 0));
    dxf.writeVertex(*dw, DL_VertexData(2100, -100, 0, 0));
    dxf.writeVertex(*dw, DL_VertexData(2100, 5500, 0, 0));
    dxf.writePolylineEnd(*dw);
    dxf.writeText(*dw, DL_TextData(0, -500, 0, 0, 0, 0, 250, 1, 0, 0, 0, "Ground floor", "standard", 0), walls);
    dw->sectionEnd();
    dxf.writeObjects(*dw);
    dxf.writeObjectsEnd(*dw);
    dw->dxfEOF();
    dw->close();
    return 0;
}
