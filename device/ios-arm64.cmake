# Cross-compiling the library for a phone (arm64, minimum OS iOS 12.0) with Debian's clang, with no
# Apple SDK: the sources need no C library headers, the C++ headers are libc++'s own, and the
# link is done against the text stubs in stubs/ (see CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Generic)  # CMake's Darwin platform files expect an SDK
set(CMAKE_SYSTEM_PROCESSOR arm64)
find_program(QV_DEVICE_CLANG NAMES clang++-14 clang++ REQUIRED)
set(CMAKE_CXX_COMPILER ${QV_DEVICE_CLANG})
set(CMAKE_CXX_COMPILER_TARGET arm64-apple-ios12.0)
# Nothing can be linked before our own link step.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(QV_LIBCXX_HEADERS /usr/lib/llvm-14/include/c++/v1 CACHE PATH "libc++'s headers")
set(CMAKE_CXX_FLAGS_INIT "-ffreestanding -nostdinc++ -isystem ${QV_LIBCXX_HEADERS}")
