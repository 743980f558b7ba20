// The setup program's command line: key=value pairs that choose and steer the
// quiet flows (quiet, Uninstall, TARGETDIR, NUM). Pairs without a meaning stay
// in the map and change nothing.
#pragma once

#include <map>

#include "afx.h"

/// The argument map: keys compared by exact code units (so "QUIET" is not
/// "quiet"); a later pair replaces the value of an earlier one.
using CArgumentMap = std::map<CString, CString>;

/// Fills `arguments` (emptied first) from the process's command line: a
/// leading quoted program path is dropped (everything up to the second double
/// quote of the line), the rest is split at blanks outside quoted runs, and
/// each token with an "=" becomes a pair, split at its last "=", when both
/// sides are non-empty once trimmed.
void ParseCommandLine(LPCWSTR commandLine, CArgumentMap& arguments);

/// A folder given on the command line: leading and trailing double quotes
/// removed, then trailing backslashes ("\"D:\\My Tools\\\"" -> "D:\\My Tools").
CString FolderArgument(const CString& value);

/// A decimal number given on the command line: its leading digits, 0 when it
/// starts with none; a value beyond the range of int stays at INT_MAX.
int NumberArgument(const CString& value);
