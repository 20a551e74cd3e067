// The number readings of NSString (boolValue, floatValue, intValue), as Foundation scans them.
#pragma once

#include <string_view>

namespace qv::host {

// Skips leading whitespace; YES for a leading "Y", "y", "T" or "t"; otherwise skips one
// optional sign and any zeros and is YES only when a digit 1-9 follows.
bool scanBool(std::string_view text);

// The leading decimal number after optional whitespace (sign, digits, fraction, exponent);
// 0 when there is none. Overflow saturates to +-HUGE_VAL like strtod.
double scanDouble(std::string_view text);

// The leading integer after optional whitespace and sign; 0 when there is none, saturating.
long long scanInteger(std::string_view text);

}  // namespace qv::host
