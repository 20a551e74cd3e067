// Objective-C's public way to define a class at run time, for programs built on the host that
// need a class of their own (the benchmarks): allocate the pair, add methods with
// class_addMethod, register it.
#pragma once

#include <cstddef>

#include "platform/objc.h"

extern "C" {
// A new class (and its metaclass) named `name` under `superclass`, or null when that name is
// taken. `extraBytes` must be 0: host classes keep their instance variables in C++ structs.
Class objc_allocateClassPair(Class superclass, const char* name, size_t extraBytes);
void objc_registerClassPair(Class cls);
}
