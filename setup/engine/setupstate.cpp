#include "setupstate.h"

CSetupState& SetupState() {
  static CSetupState state;
  return state;
}
