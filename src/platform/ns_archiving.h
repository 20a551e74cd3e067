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
  // The archive's root object when it is of class `cls`; nil when the data is no archive, is
  // damaged, or holds something else. Unlike +unarchiveObjectWithData:, which raises for data
  // that is no archive, this never raises for the data it is given.
  static Object unarchivedObjectOfClass(Class cls, id data) {
    return Object(msgSend<id>(CLASS("NSKeyedUnarchiver"),
                              SELECTOR("unarchivedObjectOfClass:fromData:error:"), cls, data,
                              static_cast<id*>(nullptr)));
  }
};

}  // namespace NS
