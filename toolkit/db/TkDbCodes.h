#pragma once
// DXF group codes by what they mean in the file's structure, so that a reader sees "the owner"
// where the file says 330. Codes whose meaning depends on the entity (10 is a line's start and a
// circle's centre) stay numbers at the entity that reads them.
namespace tkdxf {
enum Code : int {
    kStart = 0,           // the record type: "LINE", "SECTION", "ENDSEC", "EOF"
    kText = 1,            // the primary text value
    kName = 2,            // a name: of a section, a table entry, a block
    kHandle = 5,          // the object's handle
    kHeaderVariable = 9,  // "$ACADVER" and the other header variables
    kAppGroup = 102,      // "{ACAD_REACTORS" ... "}": an application's group
    kDimStyleHandle = 105,  // DIMSTYLE's own handle code
    kSubclass = 100,      // "AcDbEntity", "AcDbLine": the subclass marker
    kInt32 = 90,          // a 32-bit integer value
    kTrueColor = 420,
    kOwner = 330,         // soft pointer to the owner
    kSoftOwner = 350,     // an owned object in a dictionary (soft)
    kHardOwner = 360,     // an owned object in a dictionary (hard), or an extension dictionary
    kComment = 999,
    kXdataApp = 1001,     // extended data: the registered application's name
};
}  // namespace tkdxf
