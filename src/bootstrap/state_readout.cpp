#include "bootstrap/state_readout.h"

#include "appearance/context_menu_13.h"
#include "applock/unlock_prompt.h"
#include "settings/settings_cache.h"

extern "C" QV_HOST_DIAGNOSTIC bool quorvelReadState(unsigned index, const char** name, char* kind,
                                                    double* value) {
  using namespace quorvel;
  if (!name || !kind || !value) return false;
  qv::Span<SwitchKey> switches = switchKeys();
  if (index < switches.size()) {
    *name = switches[index].name;
    *kind = 's';
    *value = settings.*switches[index].field ? 1 : 0;
    return true;
  }
  struct Flag {
    const char* name;
    const bool* value;
  };
  const Flag flags[] = {{"authInProgress", &authInProgress},
                        {"actionGroupIsAlert", &actionGroupIsAlert}};
  index -= static_cast<unsigned>(switches.size());
  if (index == 0) {
    *name = "menuColorAlpha";
    *kind = 'n';
    *value = static_cast<double>(settings.menuColorAlpha);
    return true;
  }
  if (--index >= sizeof flags / sizeof flags[0]) return false;
  *name = flags[index].name;
  *kind = 'f';
  *value = *flags[index].value ? 1 : 0;
  return true;
}
