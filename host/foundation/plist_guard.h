// Checks on property-list bytes before libplist sees them. libplist parses and frees nested
// containers recursively and copies shared binary objects once per reference, so deep or
// self-multiplying input could exhaust the stack or memory inside it.
#pragma once

#include <cstddef>
#include <string_view>

namespace qv::host {

// Larger files are refused outright.
constexpr size_t kMaxPropertyListBytes = size_t{64} << 20;
// Containers nested deeper than this are refused.
constexpr int kMaxPropertyListDepth = 512;
// More values than this (counting each reference to a shared binary object) are refused.
constexpr size_t kMaxPropertyListNodes = size_t{1} << 20;

bool isBinaryPropertyList(std::string_view bytes);

// Whether the bytes stay within the limits above. Conservative: input it cannot make sense
// of is refused (libplist would refuse it too).
bool propertyListInputIsSafe(std::string_view bytes);

}  // namespace qv::host
