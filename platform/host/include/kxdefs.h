// Codes shared by the host's API groups: the results of host calls, the
// coordinate-system codes of kxedTrans and the messages a module's entry
// function receives.
#pragma once

// Results of the kxed / kxdb / kxut calls that report one.
constexpr int RTNORM = 5100;    // the call did what was asked
constexpr int RTERROR = -5001;  // it could not (unknown name, bad value, ...)
constexpr int RTCAN = -5002;    // the input was cancelled (Escape, or no input left)
constexpr int RTREJ = -5003;    // the host refused the request
constexpr int RTFAIL = -5004;   // the LISP interface failed
constexpr int RTKWORD = -5005;  // a keyword was entered

// Coordinate-system codes of kxedTrans, carried as RTSHORT values.
constexpr short kKxWcs = 0;  // the world system
constexpr short kKxUcs = 1;  // the current user system of the current document
constexpr short kKxDcs = 2;  // the display system of the current view

namespace KxRx {

/// The messages the host sends to a module's entry function.
enum AppMsgCode {
  kNullMsg = 0,
  kInitAppMsg = 1,    // the module was loaded; the packet is its module object
  kUnloadAppMsg = 2,  // the module is about to be unloaded
  kLoadDwgMsg = 3,
  kUnloadDwgMsg = 4,
  kInvkSubrMsg = 5,  // a function the module defined (kxedDefun) is called from LISP
  kCfgMsg = 6,
  kEndMsg = 7,
  kQuitMsg = 8,
  kSaveMsg = 9,
};

/// What a module's message dispatch answers.
enum AppRetCode {
  kRetOK = 0,
  kRetError = 3,  // the module has no entry function to take the message
};

}  // namespace KxRx

/// A module's entry function, exported as "kxrxEntryPoint" (or the older
/// "acrxEntryPoint"): message code, packet.
using KxrxEntryFunction = int (*)(int message, void* packet);
