// Bytes as they could arrive on the preferences daemon's socket: split into messages, each
// decoded as the daemon decodes it and answered from one store on a device root of its own,
// as the daemon answers. A value that decodes encodes again to an equal one, and every answer
// is a dictionary that can be sent.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/device_root.h"
#include "foundation/foundation.h"
#include "foundation/property_list.h"
#include "foundation/values.h"
#include "prefsd/domain_store.h"
#include "prefsd/requests.h"
#include "prefsd/value_codec.h"
#include "prefsd/wire.h"
#include "schema/settings_schema.h"
#include "support/device.h"

using namespace qv;
using namespace qv::host;

namespace {

prefsd::DomainStore* gStore = nullptr;

void answer(std::string_view payload) {
  id request = prefsd::decodeValue(payload);
  if (request) {
    std::string again;
    if (!prefsd::encodeValue(request, again)) std::abort();
    id back = prefsd::decodeValue(again);
    if (!back || !msgSend<BOOL>(request, sel_registerName("isEqual:"), back)) std::abort();
  }
  id reply = prefsd::answerRequest(*gStore, isDictionary(request) ? request : nil);
  if (prefsd::encodeMessage(reply).empty()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  registerFoundation();
  fuzz::useFreshDeviceRoot("prefsd");
  std::filesystem::create_directories(realPath("/var/jb/vmo/Library/Preferences"));
  AutoreleasePool pool;
  writePropertyListFile(
      prefs::kSettingsPath,
      makeDictionary({{makeString("hideBadges"), makeBool(true)},
                      {makeString("lockedApps"), makeArray({makeString("com.example.mail")})}}),
      true);
  gStore = new prefsd::DomainStore();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AutoreleasePool pool;
  // Inputs name new domains at will; a daemon that restarts starts with none in memory.
  if (gStore->loadedDomains().size() > 32) {
    delete gStore;
    gStore = new prefsd::DomainStore();
  }
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The whole input as one payload, then as a stream of framed messages.
  answer(bytes);
  std::string stream(bytes);
  std::string payload;
  for (int messages = 0; messages < 16; messages++) {
    if (prefsd::takeFrame(stream, payload) != prefsd::Frame::Ready) break;
    answer(payload);
  }
  return 0;
}
