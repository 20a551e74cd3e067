#include "settings/state_readout.h"

#include "appearance/context_menu_13.h"
#include "applock/unlock_prompt.h"
#include "platform/libc.h"
#include "settings/settings_cache.h"

extern "C" QV_HOST_DIAGNOSTIC bool quorvelReadState(const char* name, double* value) {
  using namespace quorvel;
  if (!name || !value) return false;
  for (const SwitchKey& n : switchKeys()) {
    if (strcmp(n.name, name) == 0) {
      *value = settings.*n.field ? 1 : 0;
      return true;
    }
  }
  if (strcmp(name, "menuColorAlpha") == 0) {
    *value = static_cast<double>(settings.menuColorAlpha);
    return true;
  }
  if (strcmp(name, "authInProgress") == 0) {
    *value = authInProgress ? 1 : 0;
    return true;
  }
  if (strcmp(name, "actionGroupIsAlert") == 0) {
    *value = actionGroupIsAlert ? 1 : 0;
    return true;
  }
  return false;
}
