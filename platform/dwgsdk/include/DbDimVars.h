// The dimension variables a dimension style record and the database's
// current dimension settings hold: X(SetterSuffix, getter, type, DXF group
// code of the style record, default value of a new drawing). The defaults are
// those of a metric drawing.
#pragma once

#include "DbObjectId.h"
#include "OdString.h"

#define ODDB_DIMVARS(X)                                    \
  X(Dimalt, dimalt, bool, 170, false)                      \
  X(Dimaltd, dimaltd, OdUInt16, 171, 3)                    \
  X(Dimaltf, dimaltf, double, 143, 0.0393700787)           \
  X(Dimalttd, dimalttd, OdInt16, 274, 3)                   \
  X(Dimalttz, dimalttz, OdUInt8, 286, 0)                   \
  X(Dimaltu, dimaltu, OdInt16, 273, 2)                     \
  X(Dimaltz, dimaltz, OdUInt8, 285, 0)                     \
  X(Dimapost, dimapost, OdString, 4, OdString())           \
  X(Dimasz, dimasz, double, 41, 2.5)                       \
  X(Dimaunit, dimaunit, OdInt16, 275, 0)                   \
  X(Dimcen, dimcen, double, 141, 2.5)                      \
  X(Dimdec, dimdec, OdInt16, 271, 2)                       \
  X(Dimdle, dimdle, double, 46, 0.0)                       \
  X(Dimdli, dimdli, double, 43, 3.75)                      \
  X(Dimexe, dimexe, double, 44, 1.25)                      \
  X(Dimexo, dimexo, double, 42, 0.625)                     \
  X(Dimfit, dimfit, OdInt32, 287, 3)                       \
  X(Dimgap, dimgap, double, 147, 0.625)                    \
  X(Dimjust, dimjust, OdUInt16, 280, 0)                    \
  X(Dimlfac, dimlfac, double, 144, 1.0)                    \
  X(Dimlim, dimlim, bool, 72, false)                       \
  X(Dimpost, dimpost, OdString, 3, OdString())             \
  X(Dimrnd, dimrnd, double, 45, 0.0)                       \
  X(Dimsah, dimsah, bool, 173, false)                      \
  X(Dimscale, dimscale, double, 40, 1.0)                   \
  X(Dimsd1, dimsd1, bool, 281, false)                      \
  X(Dimsd2, dimsd2, bool, 282, false)                      \
  X(Dimse1, dimse1, bool, 75, false)                       \
  X(Dimse2, dimse2, bool, 76, false)                       \
  X(Dimsoxd, dimsoxd, bool, 175, false)                    \
  X(Dimtad, dimtad, OdInt16, 77, 1)                        \
  X(Dimtdec, dimtdec, OdInt16, 272, 2)                     \
  X(Dimtfac, dimtfac, double, 146, 1.0)                    \
  X(Dimtih, dimtih, bool, 73, false)                       \
  X(Dimtix, dimtix, bool, 174, false)                      \
  X(Dimtm, dimtm, double, 48, 0.0)                         \
  X(Dimtofl, dimtofl, bool, 172, true)                     \
  X(Dimtoh, dimtoh, bool, 74, false)                       \
  X(Dimtol, dimtol, bool, 71, false)                       \
  X(Dimtolj, dimtolj, OdUInt8, 283, 0)                     \
  X(Dimtp, dimtp, double, 47, 0.0)                         \
  X(Dimtsz, dimtsz, double, 142, 0.0)                      \
  X(Dimtvp, dimtvp, double, 145, 0.0)                      \
  X(Dimtmove, dimtmove, OdInt16, 279, 0)                   \
  X(Dimtxsty, dimtxsty, OdDbObjectId, 340, OdDbObjectId()) \
  X(Dimtxt, dimtxt, double, 140, 2.5)                      \
  X(Dimtzin, dimtzin, OdUInt8, 284, 8)                     \
  X(Dimunit, dimunit, OdInt32, 270, 2)                     \
  X(Dimupt, dimupt, bool, 288, false)                      \
  X(Dimzin, dimzin, OdUInt8, 78, 8)

/// One set of dimension variables.
struct OdDbDimVars {
#define ODDB_DIMVAR_FIELD(Suffix, name, type, code, value) type name = value;
  ODDB_DIMVARS(ODDB_DIMVAR_FIELD)
#undef ODDB_DIMVAR_FIELD
};

/// Declares the getters and setters of every dimension variable.
#define ODDB_DIMVAR_METHODS(Suffix, name, type, code, value) \
  type name() const;                                         \
  OdResult set##Suffix(type value_);
