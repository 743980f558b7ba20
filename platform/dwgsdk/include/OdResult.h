// OdResult: the status code of every fallible SDK call. The modules test some
// codes by number (0, 5, 21, 26, 63, 91); those numbers are fixed here.
#pragma once

#include "OdTypes.h"

enum OdResult : int {
  eOk = 0,
  eNotImplementedYet = 1,
  eNotApplicable = 2,
  eInvalidInput = 3,
  eAmbiguousInput = 4,
  eAmbiguousOutput = 5,  // the modules' "failure already reported"
  eOutOfMemory = 6,
  eBufferTooSmall = 7,
  eInvalidOpenState = 8,
  eInvalidIndex = 9,
  eNotAnEntity = 10,
  eIllegalEntityType = 11,
  eNoDatabase = 12,
  eNotInDatabase = 13,
  eAlreadyInDb = 14,
  eWrongDatabase = 15,
  eWrongObjectType = 16,
  eNullObjectPointer = 20,
  eNullObjectId = 21,
  eNullHandle = 22,
  eInvalidKey = 25,
  eKeyNotFound = 26,
  eDuplicateKey = 27,
  eDuplicateRecordName = 28,
  eInvalidSymbolTableName = 29,
  eWasErased = 30,
  eNotOpenForRead = 31,
  eNotOpenForWrite = 32,
  eWasNotOpenForWrite = 33,
  eHadMultipleReaders = 34,
  eAtMaxReaders = 35,
  eWasOpenForRead = 36,
  eWasOpenForNotify = 37,
  eInvalidOwnerObject = 40,
  eSelfReference = 41,
  eRegappIdNotFound = 42,
  eInvalidExtents = 43,
  eDegenerateGeometry = 44,
  eUndefinedLineType = 45,
  eNotThatKindOfClass = 63,
  eWasOpenForWrite = 91,
  eFileNotFound = 100,
  eCantOpenFile = 101,
  eFileAccessErr = 102,
  eFileWriteError = 103,
  eDwgFormatNotSupported = 104,
  eUnsupportedFileFormat = 105,
  eEndOfFile = 106,
  eBadDxfSequence = 107,
  eInvalidDxfCode = 108,
  eInvalidDxfValue = 109,
  eDxfCountMismatch = 110,
  eHandleInUse = 111,
  eUnknownHandle = 112,
  eInvalidBlockName = 113,
  eBadLinetypeFile = 114,
};

/// The status text of a code: its name ("eKeyNotFound"); "eUnknownResult" for
/// a number that is not a code.
const OdChar* odResultText(OdResult result);
