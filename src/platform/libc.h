// The C library functions the library calls, declared as the platform's C library declares
// them (the device's headers declare them without noexcept; glibc's say noexcept in C++).
#pragma once

#include <cstddef>

#if defined(__APPLE__)
#define QV_LIBC_NOEXCEPT
#else
#define QV_LIBC_NOEXCEPT noexcept
#endif

extern "C" {
void* calloc(size_t count, size_t size) QV_LIBC_NOEXCEPT;
void free(void* pointer) QV_LIBC_NOEXCEPT;
int strcmp(const char* a, const char* b) QV_LIBC_NOEXCEPT;
}
