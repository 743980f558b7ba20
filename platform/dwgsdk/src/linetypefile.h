// .lin files: linetype definitions, a header line "*NAME,description" and a
// pattern line "A,dash,gap,..." with text elements ["TEXT",STYLE,S=,R=,A=,X=,Y=].
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "internals.h"

inline constexpr long long kMaxLinetypeFileSize = 4 << 20;
inline constexpr int kMaxDashes = 64;

struct LinetypeDash {
  double length = 0;
  std::u16string text;
  std::u16string style;
  double scale = 1, rotation = 0, x = 0, y = 0;
  bool absoluteRotation = false;
};

struct LinetypeDefinition {
  std::u16string name;
  std::u16string description;
  std::vector<LinetypeDash> dashes;
  bool valid = true;        // false when its pattern could not be read
  bool usesShapes = false;  // shapes need .shx files the layer does not read
};

/// Reads every definition of a file; a definition whose pattern is bad is
/// kept with valid = false so that it fails only when asked for.
OdResult parseLinetypeFile(std::string_view bytes, std::vector<LinetypeDefinition>& definitions);
/// Adds the definitions named `name` ("*" for all) to the drawing.
OdResult addLinetypes(OdDbDatabaseImpl& db, const std::vector<LinetypeDefinition>& definitions, const OdString& name,
                      OdDb::DuplicateLinetypeLoading duplicates);
