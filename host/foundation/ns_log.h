// NSLog's form that takes its arguments as a va_list, as Foundation has it.
#pragma once

#include <cstdarg>

#include "platform/objc.h"

extern "C" void NSLogv(id format, va_list args);
