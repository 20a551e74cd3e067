// printf-style formatting with "%@" for objects, as NSLog and string formats use it.
#pragma once

#include <cstdarg>
#include <string>

#include "platform/objc.h"

namespace qv::host {

// Formats like vsnprintf, plus "%@": the object's -description ("(null)" for nil).
// Conversions it does not know are copied out as written, consuming no argument.
std::string formatObjects(const char* format, va_list args);

// The text "%@" gives for an object.
std::string describeObject(id obj);

}  // namespace qv::host
