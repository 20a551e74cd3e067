// What changed on the home screen since it was last asked, as the host's own objects report
// it: apps (badge, offloading, running state, notification settings, data container) and icon
// views (alphas, tint, label, badge, placement). With it a command's changes are told in
// proportion to what the command touched, not to the size of the device.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/objc.h"

namespace qv::host {

class ChangeJournal {
 public:
  void appChanged(const std::string& bundleID);
  // The view itself is not retained: it is only compared with the home screen's icon views.
  void iconChanged(id iconView);

  // What was marked since the last call, each once, in the order first marked.
  std::vector<std::string> takeApps();
  std::vector<id> takeIcons();

 private:
  std::mutex lock_;  // a data container may change on any thread that writes
  std::unordered_set<std::string> appSet_;
  std::vector<std::string> apps_;
  std::unordered_set<id> iconSet_;
  std::vector<id> icons_;
  // The view marked last: a hook sets several properties of one view in a row.
  std::atomic<id> lastIcon_{nil};
};

}  // namespace qv::host
