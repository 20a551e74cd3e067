// Keyed archiving of objects to data and back.
#pragma once

#include "platform/ns_values.h"

namespace NS {

class KeyedArchiver {
 public:
  static Data archivedDataWithRootObject(id root) {
    return Data(
        msgSend<id>(CLASS("NSKeyedArchiver"), SELECTOR("archivedDataWithRootObject:"), root));
  }
};

class KeyedUnarchiver {
 public:
  // nil when the data is no archive or holds an object the platform cannot decode.
  static Object unarchiveObjectWithData(id data) {
    return Object(
        msgSend<id>(CLASS("NSKeyedUnarchiver"), SELECTOR("unarchiveObjectWithData:"), data));
  }
};

}  // namespace NS
