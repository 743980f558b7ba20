// How MWCommonModule marks what it exports.
#pragma once

/// A function or class of MWCommonModule's export table.
#define MWCOMMONMODULE_API __attribute__((visibility("default")))
