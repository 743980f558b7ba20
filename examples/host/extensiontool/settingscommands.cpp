// The extension tool's settings, kept the way the product's modules keep
// theirs with MWCommonModule: each setting is an entry of the drawing's named
// dictionary MW_SETTINGS whose value lies in the entry's xdata; a setting can
// be saved in the registry (CHvInfoIni) and restored from it into another
// drawing; marks carry a LISP list and a position as xdata; and the tool's
// layers come with their metric linetypes and a dimension style.
//
//   MWSET name value     keeps the setting (the value is the rest of the line)
//   MWGET name           reports it
//   MWFORGET name        removes it from the drawing
//   MWSAVE name          saves it in the registry
//   MWRESTORE name       takes it from the registry back into the drawing
//   MWMARK point tag     a point entity carrying (tag number) and its position
//   MWLAYERS             the tool's layers, text style and dimension style
//
//   (mwsetlist "name" value ...)  keeps a list of values with the setting
//   (mwsetpoint "name" x y z)     keeps a point with the setting
//   (mwgetlist "name" ["app"])    that list (or the point, or nil for a value
//                                 kept as text): the setting's data of an
//                                 application, MWTOOL_LIST by default
//   (mwgettext "name")            the setting's value
#include "settingscommands.h"

#include "MWCommonModule.h"
#include "OdAlloc.h"
#include "kxed.h"
#include "kxut.h"

namespace {

constexpr const OdChar* kDictionary = u"MW_SETTINGS";
constexpr const OdChar* kValueApp = u"MWTOOL_SETTING";
constexpr const OdChar* kListApp = u"MWTOOL_LIST";
constexpr const OdChar* kPointApp = u"MWTOOL_POINT";
constexpr const OdChar* kMarkApp = u"MWTOOL_MARK";
constexpr const OdChar* kPositionApp = u"MWTOOL_AT";
constexpr const WCHAR* kRegistryKey = u"SOFTWARE\\Halvorn\\DWG Merrowin\\MWExtensionTool";
constexpr std::size_t kNameSize = 132;
constexpr std::size_t kValueSize = 1024;

enum FunctionCode : short { kSetList = 51, kGetList = 52, kGetText = 53, kSetPoint = 54 };

struct ToolLayer {
  const OdChar* name;
  const OdChar* linetype;
  int color;
};
constexpr ToolLayer kLayers[] = {
    {u"MW_AXES", u"DASH_DOT", 1},
    {u"MW_HIDDEN", u"HIDDENLINE", 8},
    {u"MW_NOTES", u"CONTINUOUS", 3},
};
constexpr const OdChar* kTextStyle = u"MW-TEXT";
constexpr const OdChar* kDimensionStyle = u"MW-DIM";

/// The entry of a setting, made (an empty xrecord) when `make` says so; the
/// null id when there is none.
OdDbObjectId settingEntry(const OdChar* name, bool make) {
  CHvDictManager settings(kDictionary, nullptr);
  OdDbObjectId id;
  if (settings.getEntryId(name, id) || !make) return id;
  settings.addEntry(name, new OdDbXrecord(), id);
  return id;
}

bool keepSetting(const OdChar* name, const OdChar* value) {
  const OdDbObjectId entry = settingEntry(name, true);
  CString app(kValueApp);
  return !entry.isNull() && HvDbUtils::SetXdata(entry, app, value) == 1;
}

bool readSetting(const OdChar* name, CString& value) {
  const OdDbObjectId entry = settingEntry(name, false);
  CString app(kValueApp);
  return !entry.isNull() && HvDbUtils::GetXdata(entry, app, value) == 1;
}

bool askName(OdChar (&name)[kNameSize]) { return kxedGetString(0, u"\nSetting name: ", name, kNameSize) == RTNORM; }

void setCommand() {
  OdChar name[kNameSize] = {};
  OdChar value[kValueSize] = {};
  if (!askName(name) || kxedGetString(1, u"\nValue: ", value, kValueSize) != RTNORM) return;
  if (keepSetting(name, value))
    kxutPrintf(u"\nSetting %s keeps %d characters.", name, CString(value).GetLength());
  else
    kxutPrintf(u"\nSetting %s could not be kept.", name);
}

void getCommand() {
  OdChar name[kNameSize] = {};
  if (!askName(name)) return;
  CString value;
  if (readSetting(name, value))
    kxutPrintf(u"\nSetting %s is \"%s\".", name, value.GetString());
  else
    kxutPrintf(u"\nThere is no setting %s.", name);
}

void forgetCommand() {
  OdChar name[kNameSize] = {};
  if (!askName(name)) return;
  CHvDictManager settings(kDictionary, nullptr);
  if (settings.deleteEntry(name))
    kxutPrintf(u"\nForgot setting %s.", name);
  else
    kxutPrintf(u"\nThere is no setting %s.", name);
}

void saveCommand() {
  OdChar name[kNameSize] = {};
  if (!askName(name)) return;
  CString value;
  if (!readSetting(name, value)) {
    kxutPrintf(u"\nThere is no setting %s.", name);
    return;
  }
  const int written = CHvInfoIni::WriteInformation(kRegistryKey, name, value, 0);
  if (written > 0)
    kxutPrintf(u"\nSaved setting %s in the registry (%d characters).", name, written);
  else
    kxutPrintf(u"\nSetting %s could not be saved.", name);
}

void restoreCommand() {
  OdChar name[kNameSize] = {};
  if (!askName(name)) return;
  CString value;
  if (CHvInfoIni::GetInformation(kRegistryKey, name, u"", value, 0) < 0) {
    kxutPrintf(u"\nSetting %s was never saved.", name);
    return;
  }
  if (keepSetting(name, value))
    kxutPrintf(u"\nRestored setting %s: \"%s\".", name, value.GetString());
  else
    kxutPrintf(u"\nSetting %s could not be restored.", name);
}

void markCommand() {
  ads_point at = {};
  OdChar tag[kNameSize] = {};
  if (kxedGetPoint(nullptr, u"\nMark at: ", at) != RTNORM || kxedGetString(0, u"\nTag: ", tag, kNameSize) != RTNORM)
    return;
  const OdGePoint3d position(at[0], at[1], at[2]);
  const OdDbObjectId mark = HvDbUtils::CreatePoint(position);
  if (mark.isNull()) return;
  static short marks = 0;
  resbuf* list = odutBuildList(RTLB, RTSTR, tag, RTSHORT, static_cast<int>(++marks), RTLE, 0);
  const bool kept = list && HvDbUtils::SetXdata(mark, kMarkApp, list) == 1 &&
                    HvDbUtils::SetEntXdataPoint(mark, kPositionApp, position) == 1;
  odutRelRb(list);
  OdGePoint3d stored;
  if (kept && HvDbUtils::GetEntXdataPoint(mark, kPositionApp, stored))
    kxutPrintf(u"\nMark %s (number %d) at %g,%g.", tag, static_cast<int>(marks), stored.x, stored.y);
  else
    kxutPrintf(u"\nMark %s could not be kept.", tag);
}

void layersCommand() {
  int made = 0;
  for (const ToolLayer& layer : kLayers) made += HvDbUtils::CreateLayer(layer.name, layer.linetype, layer.color);
  CString hidden(u"MW_HIDDEN");
  HvDbUtils::SetStatusOfLayer(hidden, HvDbUtils::kLayerLocked);
  HvDbUtils::CreateTextStyle(kTextStyle, u"txt.shx", nullptr, 0, 0.8, 0, false);
  const bool dimensions = HvDbUtils::CreateDimStyle(kDimensionStyle, kTextStyle);
  CStringArray linetypes;
  CString current;
  HvDbUtils::DoGetLineType(linetypes, current);
  kxutPrintf(u"\nMade %d layers; dimension style %s %s; %d linetypes, current %s.", made, kDimensionStyle,
             dimensions ? u"is current" : u"failed", static_cast<int>(linetypes.GetSize()), current.GetString());
}

/// The ename of a setting's entry, for the LISP functions.
bool settingName(const resbuf* args, bool make, ads_name& ename) {
  if (!args || args->restype != RTSTR || !args->resval.rstring) return false;
  const OdDbObjectId entry = settingEntry(args->resval.rstring, make);
  return !entry.isNull() && oddbGetAdsName(ename, entry) == eOk;
}

/// A copy of a LISP value node (its text too), or null.
resbuf* copyValue(const resbuf* value) {
  resbuf* copy = odutNewRb(value->restype);
  if (!copy) return nullptr;
  copy->resval = value->resval;
  if (value->restype == RTSTR) copy->resval.rstring = odutNewString(value->resval.rstring);
  return copy;
}

void setListFunction() {
  const resbuf* args = kxedGetArgs();
  ads_name ename = {};
  if (!settingName(args, true, ename)) {
    kxedRetNil();
    return;
  }
  // The values after the name, as one list.
  resbuf* list = odutNewRb(RTLB);
  resbuf* last = list;
  for (const resbuf* value = args->rbnext; value && last; value = value->rbnext) last = last->rbnext = copyValue(value);
  if (last) last->rbnext = odutNewRb(RTLE);
  kxedRetStr(u"kept");
  HvDbUtils::AddXdata(ename, kListApp, list);  // sets nil when it fails
  odutRelRb(list);
}

void setPointFunction() {
  const resbuf* args = kxedGetArgs();
  ads_name ename = {};
  double point[3] = {};
  const resbuf* value = args ? args->rbnext : nullptr;
  for (double& coordinate : point) {
    if (!value || (value->restype != RTREAL && value->restype != RTSHORT && value->restype != RTLONG)) {
      kxedRetNil();
      return;
    }
    coordinate = value->restype == RTREAL    ? value->resval.rreal
                 : value->restype == RTSHORT ? value->resval.rint
                                             : value->resval.rlong;
    value = value->rbnext;
  }
  if (!settingName(args, true, ename)) {
    kxedRetNil();
    return;
  }
  resbuf* node = odutBuildList(RT3DPOINT, point, 0);
  kxedRetStr(u"kept");
  HvDbUtils::AddXdata(ename, kPointApp, node);
  odutRelRb(node);
}

/// The application a LISP call names after the setting, or `fallback`.
const OdChar* appArgument(const resbuf* args, const OdChar* fallback) {
  const resbuf* app = args ? args->rbnext : nullptr;
  return app && app->restype == RTSTR && app->resval.rstring ? app->resval.rstring : fallback;
}

void answer(short code) {
  const resbuf* args = kxedGetArgs();
  ads_name ename = {};
  switch (code) {
    case kSetList:
      setListFunction();
      break;
    case kGetList:
      if (settingName(args, false, ename))
        HvDbUtils::GetXdata(ename, appArgument(args, kListApp), short(1));
      else
        kxedRetNil();
      break;
    case kSetPoint:
      setPointFunction();
      break;
    case kGetText:
      if (settingName(args, false, ename))
        HvDbUtils::GetXdata(ename, kValueApp, short(0));
      else
        kxedRetNil();
      break;
    default:
      break;
  }
}

}  // namespace

void registerSettingsCommands(const OdChar* group) {
  struct Command {
    const OdChar* name;
    void (*run)();
  } const commands[] = {
      {u"MWSET", setCommand},         {u"MWGET", getCommand},   {u"MWFORGET", forgetCommand}, {u"MWSAVE", saveCommand},
      {u"MWRESTORE", restoreCommand}, {u"MWMARK", markCommand}, {u"MWLAYERS", layersCommand},
  };
  for (const Command& command : commands)
    odedRegCmds()->addCommand(group, command.name, command.name, OdEdCommand::kModal, command.run);
  kxedDefun(u"mwsetlist", kSetList);
  kxedDefun(u"mwgetlist", kGetList);
  kxedDefun(u"mwgettext", kGetText);
  kxedDefun(u"mwsetpoint", kSetPoint);
}

void answerSettingsFunction() { answer(static_cast<short>(kxedGetFunCode())); }
