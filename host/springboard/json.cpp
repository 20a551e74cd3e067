#include "springboard/json.h"

#include <cmath>
#include <cstdint>

namespace qv::host {

Json number(double value) {
  constexpr double kLargestExactWhole = 9007199254740992.0;  // 2^53
  if (std::isfinite(value) && value == std::floor(value) &&
      std::fabs(value) <= kLargestExactWhole) {
    return static_cast<int64_t>(value);
  }
  return value;
}

std::string jsonText(const Json& value, bool pretty) {
  return value.dump(pretty ? 2 : -1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace qv::host
