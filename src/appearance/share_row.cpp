#include "appearance/share_row.h"

#include "platform/substrate.h"
#include "platform/uikit.h"
#include "settings/settings_cache.h"

namespace quorvel {

id hookRowAction(id self, SEL cmd) {
  id action = qv::Hook<hookRowAction>::previous(self, cmd);
  NS::String title(msgSend<id>(action, SELECTOR("title")));
  if (settings.hideShare && title.containsString(NSSTR("Share"))) UI::View(self).setHidden(true);
  return action;
}

}  // namespace quorvel
