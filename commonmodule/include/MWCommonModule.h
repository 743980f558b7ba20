// MWCommonModule: the library of drawing-database functions that the
// extension tool's modules link. This header gathers its public surface:
// the namespace HvDbUtils, CHvDictManager and CHvInfoIni, declared in the
// headers beside it, with the SDK and class-library types their signatures
// use. Link the module's import target (MWCommonModule::MWCommonModule, see
// the package's MWCommonModuleConfig.cmake).
#pragma once

#include "MWCommonModuleApi.h"
#include "afxstr.h"
#include "dwgsdk.h"
#include "HvDbUtilsTables.h"
#include "HvDbUtilsMessages.h"
#include "HvDbUtilsEntities.h"
#include "HvDbUtilsBlocks.h"
#include "HvDbUtilsEdit.h"
#include "HvDbUtilsPolylines.h"
#include "HvDbUtilsGeometry.h"
#include "HvDbUtilsStrings.h"
#include "HvDictManager.h"
#include "HvDbUtilsLayers.h"
#include "HvDbUtilsStyles.h"
#include "HvDbUtilsXdata.h"
#include "HvDbUtilsFiles.h"
#include "HvInfoIni.h"
#include "HvDbUtilsView.h"
