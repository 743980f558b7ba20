// DXF files that are wrong in the ways other readers have crashed or hung on:
// each gives its status, and the caller's database takes nothing of it.
#include "drawingfixture.h"
#include "dxfhelpers.h"

using namespace dwgsdk_test;

namespace {

/// Group code / value lines joined as a DXF file has them.
std::string dxf(std::initializer_list<std::pair<int, std::string>> groups) {
  std::string text;
  for (auto& [code, value] : groups) text += std::to_string(code) + "\n" + value + "\n";
  return text;
}

std::string entities(const std::string& body) { return "0\nSECTION\n2\nENTITIES\n" + body + "0\nENDSEC\n0\nEOF\n"; }

std::string objects(const std::string& body) { return "0\nSECTION\n2\nOBJECTS\n" + body + "0\nENDSEC\n0\nEOF\n"; }

struct Case {
  const char* what;
  std::string file;
  OdResult expected;
};

}  // namespace

TEST(DxfBadInput, EachFaultHasItsStatusAndLoadsNothing) {
  const std::string line =
      dxf({{0, "LINE"}, {5, "2A"}, {8, "0"}, {10, "1"}, {20, "2"}, {30, "0"}, {11, "3"}, {21, "4"}, {31, "0"}});
  const Case cases[] = {
      {"a minimal file is fine", entities(line), eOk},
      {"a real with a space in its exponent", entities(dxf({{0, "LINE"}, {10, "1.0E 20"}})), eInvalidDxfValue},
      {"an integer that is a word", entities(dxf({{0, "LINE"}, {62, "red"}})), eInvalidDxfValue},
      {"a group code that is no number", entities("abc\nLINE\n"), eInvalidDxfCode},
      {"a group code out of range", entities("5000\nx\n"), eInvalidDxfCode},
      {"a handle given twice", entities(line + line), eHandleInUse},
      {"a handle that is no hexadecimal", entities(dxf({{0, "LINE"}, {5, "XYZ"}})), eInvalidDxfValue},
      {"a dictionary entry pointing nowhere",
       objects(dxf({{0, "DICTIONARY"}, {5, "C"}, {330, "0"}, {3, "A"}, {350, "FFF"}})), eUnknownHandle},
      {"two dictionaries holding each other",
       objects(dxf({{0, "DICTIONARY"},
                    {5, "C"},
                    {3, "A"},
                    {350, "D"},
                    {0, "DICTIONARY"},
                    {5, "D"},
                    {3, "B"},
                    {350, "E"},
                    {0, "DICTIONARY"},
                    {5, "E"},
                    {3, "C"},
                    {350, "D"}})),
       eInvalidOwnerObject},
      {"an entry owned twice",
       objects(
           dxf({{0, "DICTIONARY"}, {5, "C"}, {3, "A"}, {350, "D"}, {3, "B"}, {350, "D"}, {0, "XRECORD"}, {5, "D"}})),
       eInvalidOwnerObject},
      {"a section without its ENDSEC", "0\nSECTION\n2\nENTITIES\n" + line, eEndOfFile},
      {"a file without its EOF", "0\nSECTION\n2\nENTITIES\n" + line + "0\nENDSEC\n", eEndOfFile},
      {"a file cut inside a pair", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n", eEndOfFile},
      {"an empty file", "", eEndOfFile},
      {"a polyline announcing two billion vertices", entities(dxf({{0, "LWPOLYLINE"}, {90, "2000000000"}, {70, "0"}})),
       eDxfCountMismatch},
      {"a polyface mesh with fewer vertices than announced",
       entities(dxf({{0, "POLYLINE"}, {66, "1"}, {70, "64"}, {71, "30000"}, {72, "0"}, {0, "SEQEND"}})),
       eDxfCountMismatch},
      {"a face naming a vertex that is not there",
       entities(dxf({{0, "POLYLINE"},
                     {66, "1"},
                     {70, "64"},
                     {71, "0"},
                     {72, "1"},
                     {0, "VERTEX"},
                     {70, "128"},
                     {71, "1"},
                     {72, "2"},
                     {73, "3"},
                     {0, "SEQEND"}})),
       eInvalidDxfValue},
      {"a linetype with more dashes than announced",
       "0\nSECTION\n2\nTABLES\n" +
           dxf({{0, "TABLE"}, {2, "LTYPE"}, {0, "LTYPE"}, {2, "X"}, {73, "5"}, {49, "1"}, {0, "ENDTAB"}}) +
           "0\nENDSEC\n0\nEOF\n",
       eDxfCountMismatch},
      {"a vertex without its polyline", entities(dxf({{0, "VERTEX"}, {10, "0"}})), eBadDxfSequence},
      {"a polyline without its SEQEND", entities(dxf({{0, "POLYLINE"}, {66, "1"}, {70, "8"}}) + line), eBadDxfSequence},
      {"an insert of a block that is never defined", entities(dxf({{0, "INSERT"}, {2, "Ghost"}})), eInvalidBlockName},
      {"a block holding itself",
       "0\nSECTION\n2\nBLOCKS\n" + dxf({{0, "BLOCK"}, {2, "Loop"}, {0, "INSERT"}, {2, "Loop"}, {0, "ENDBLK"}}) +
           "0\nENDSEC\n0\nEOF\n",
       eSelfReference},
      {"two blocks holding each other",
       "0\nSECTION\n2\nBLOCKS\n" +
           dxf({{0, "BLOCK"},
                {2, "A"},
                {0, "INSERT"},
                {2, "B"},
                {0, "ENDBLK"},
                {0, "BLOCK"},
                {2, "B"},
                {0, "INSERT"},
                {2, "A"},
                {0, "ENDBLK"}}) +
           "0\nENDSEC\n0\nEOF\n",
       eSelfReference},
      {"extended data with an open brace", entities(dxf({{0, "LINE"}, {1001, "APP"}, {1002, "{"}, {1000, "x"}})),
       eInvalidDxfValue},
      {"a binary chunk that is not hexadecimal", entities(dxf({{0, "LINE"}, {1001, "APP"}, {1004, "ZZ"}})),
       eInvalidDxfValue},
      {"a circle of negative radius", entities(dxf({{0, "CIRCLE"}, {40, "-1"}})), eInvalidDxfValue},
      {"a line of a megabyte", entities("0\nLINE\n1\n" + std::string(2 << 20, 'x') + "\n"), eInvalidDxfValue},
      {"a binary DWG file", std::string("AC1015\0\0\0\0\0\x01", 12) + std::string(100, '\x7f'), eDwgFormatNotSupported},
      {"a binary DXF file", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22), eUnsupportedFileFormat},
      {"the same table twice",
       "0\nSECTION\n2\nTABLES\n" +
           dxf({{0, "TABLE"}, {2, "LAYER"}, {0, "ENDTAB"}, {0, "TABLE"}, {2, "LAYER"}, {0, "ENDTAB"}}) +
           "0\nENDSEC\n0\nEOF\n",
       eBadDxfSequence},
      {"two layers of one name",
       "0\nSECTION\n2\nTABLES\n" +
           dxf({{0, "TABLE"}, {2, "LAYER"}, {0, "LAYER"}, {2, "A"}, {0, "LAYER"}, {2, "a"}, {0, "ENDTAB"}}) +
           "0\nENDSEC\n0\nEOF\n",
       eDuplicateRecordName},
  };
  TempFolder folder;
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto path = folder / ("case" + std::to_string(n++) + ".dxf");
    writeText(path, c.file);
    OdDbDatabase db(false);
    EXPECT_EQ(db.readFile(odPath(path)), c.expected);
    if (c.expected != eOk) {
      EXPECT_EQ(db.approxNumObjects(), 0u);
      EXPECT_TRUE(db.getBlockTableId().isNull());
    }
  }
}

TEST(DxfBadInput, AFailedReadLeavesTheDatabaseReadyForAGoodFile) {
  TempFolder folder;
  auto bad = folder / "bad.dxf";
  writeText(bad, entities(dxf({{0, "LINE"}, {10, "1.0E 20"}})));
  OdDbDatabase db(false);
  EXPECT_EQ(db.readFile(odPath(bad)), eInvalidDxfValue);
  OdDbDatabase source;
  buildEveryKind(source);
  auto good = folder / "good.dxf";
  ASSERT_EQ(source.writeFile(odPath(good)), eOk);
  EXPECT_EQ(db.readFile(odPath(good)), eOk);
  EXPECT_FALSE(db.getBlockTableId().isNull());
  // A database that holds a drawing does not take another over it.
  EXPECT_EQ(db.readFile(odPath(good)), eNotApplicable);
}

TEST(DxfBadInput, MissingFilesAndFolders) {
  TempFolder folder;
  OdDbDatabase db(false);
  EXPECT_EQ(db.readFile(odPath(folder / "none.dxf")), eFileNotFound);
  EXPECT_EQ(db.readFile(odPath(folder.path())), eCantOpenFile);
  OdDbDatabase full;
  EXPECT_EQ(full.writeFile(odPath(folder / "no" / "such" / "folder.dxf")), eFileNotFound);
}
