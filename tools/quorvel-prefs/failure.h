// Why the settings program stops without doing what it was asked.
#pragma once

#include <string>

namespace qv::prefs {

struct Failure {
  enum Status { Refused = 1, Usage = 2 };
  std::string message;
  Status status = Refused;
};

}  // namespace qv::prefs
