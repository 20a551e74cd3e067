#include "child_modes.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/darwin_notify.h"
#include "foundation/device_root.h"
#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "foundation/preferences.h"
#include "prefsd/client.h"
#include "runtime/object_refs.h"

namespace qv::testing {
namespace {

constexpr const char* kDomain = "com.vantrelo88.quorvel";

int postDarwin(const char* name, const char* root) {
  host::setDeviceRoot(root);
  host::postDarwinNotification(name);
  return 0;
}

// N times: hideBadges flipped in the settings domain, then `more(i, N)`.
template <class More>
int actAsSettingsProgram(const char* count, const char* root, More more) {
  host::registerFoundation();
  host::setDeviceRoot(root);
  int n = std::atoi(count);
  for (int i = 0; i < n; i++) {
    AutoreleasePool pool;
    host::setPreferenceValue(kDomain, "hideBadges", host::makeBool(i % 2 == 0));
    more(i, n);
  }
  return 0;
}

int actOnPreferences(const char* root, const std::string& act, const char* out) {
  host::registerFoundation();
  host::setDeviceRoot(root);
  std::string result;
  {
    AutoreleasePool pool;
    std::vector<std::string> words;
    for (std::string rest = act; !rest.empty();) {
      size_t space = rest.find(' ');
      words.push_back(rest.substr(0, space));
      rest = space == std::string::npos ? "" : rest.substr(space + 1);
    }
    if (words.size() == 3 && words[0] == "set") {
      result =
          host::setPreferenceValue(kDomain, words[1], host::makeString(words[2])) ? "ok" : "failed";
    } else if (words.size() == 2 && words[0] == "get") {
      Strong values = Strong::adopt(const_cast<id>(CFPreferencesCopyMultiple(
          nullptr, host::makeString(kDomain), kCFPreferencesCurrentUser, kCFPreferencesAnyHost)));
      result = host::stdString(host::dictionaryGet(values.get(), words[1]));
    } else if (words.size() == 1 && words[0] == "pid") {
      result = std::to_string(host::prefsd::daemonPid());
    } else {
      return 2;
    }
  }
  std::ofstream(out) << result;
  return 0;
}

}  // namespace

std::optional<int> runChildMode() {
  // The poster and the settings programs end at once, as a killed process would: nothing of
  // theirs is left to tidy that another process could see.
  const char* root = std::getenv("QV_ROOT");
  if (const char* name = std::getenv("QV_POST_DARWIN"); name && root) {
    _exit(postDarwin(name, root));
  }
  if (const char* count = std::getenv("QV_WRITE_SETTINGS"); count && root) {
    _exit(actAsSettingsProgram(count, root, [](int i, int n) {
      host::setPreferenceValue(kDomain + std::string(".color"), "staticColor",
                               host::makeString(i + 1 == n ? "#0000ff" : "#00ff00"));
    }));
  }
  if (const char* count = std::getenv("QV_RELOAD_SETTINGS"); count && root) {
    _exit(actAsSettingsProgram(count, root, [](int, int) {
      host::postDarwinNotification("com.vantrelo88.quorvel/ReloadPrefs");
    }));
  }
  // This one returns, so that the exit handlers run (the daemon client's among them).
  const char* prefsRoot = std::getenv("QV_PREFSD_ROOT");
  const char* act = std::getenv("QV_PREFSD_ACT");
  const char* out = std::getenv("QV_PREFSD_OUT");
  if (prefsRoot && act && out) return actOnPreferences(prefsRoot, act, out);
  return std::nullopt;
}

}  // namespace qv::testing
