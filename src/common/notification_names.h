// The in-process notifications by which the library reaches host objects it does not hold.
// Each is posted on the default centre with no object and no user information.
#pragma once

namespace quorvel {

inline constexpr const char* kClearBadgesNotification = "com.vantrelo88.quorvel/clearBadges";
inline constexpr const char* kKillAppNotification = "com.vantrelo88.quorvel/killApp";
inline constexpr const char* kDimIconNotification = "com.vantrelo88.quorvel/dimIcon";
inline constexpr const char* kCheckBadgeNotification = "com.vantrelo88.quorvel/checkBadge";
inline constexpr const char* kRemoveFilterNotification = "com.vantrelo88.quorvel/removeFilter";

}  // namespace quorvel
