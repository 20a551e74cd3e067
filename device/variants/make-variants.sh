#!/usr/bin/env bash
# Variants of the library for the tests that load them into the emulated home screen. One that a
# phone loads as well as the shipped one:
#   chained.dylib        linked with chained fixups (DYLD_CHAINED_PTR_64), as linkers write them
#                        for iOS 14 and later
# and dylibs that a phone's dyld (or its kernel) refuses, each a real file made from the library
# the way such a file comes about:
#   truncated.dylib      the dylib cut short (a download that stopped)
#   x86_64.dylib         a Mach-O for another processor (a simulator build)
#   ios14.dylib          the library linked for iOS 14.0 and later
#   altered.dylib        the dylib with a page of code changed after signing
#   missing-import.dylib the library calling a function the system does not have
#   wrong-library.dylib  the library linked against stubs that put a function in another library
#
#   make-variants.sh LD64 LD64_CHAINED CLANG++ STUBS_DIR OUT_DIR DYLIB OBJECT...
# (LD64_CHAINED: an ld64.lld that writes chained fixups, LLVM 15 or later)
set -euo pipefail
ld64=$1 ld64chained=$2 cxx=$3 stubs=$4 out=$5 dylib=$6
shift 6
objects=("$@")
rm -rf "$out"
mkdir -p "$out/work"
link=(-arch arm64 -dylib -install_name /var/jb/Library/MobileSubstrate/DynamicLibraries/Quorvel.dylib
      -rpath /var/jb/Library/Frameworks -dead_strip -adhoc_codesign)
# The weakly linked libraries, as the library itself links them.
for stub in "$stubs"/weak/*.tbd; do link+=(-weak_library "$stub"); done

"$ld64chained" "${link[@]}" -platform_version ios 14.0 14.0 -fixup_chains -o "$out/chained.dylib" \
  "${objects[@]}" "$stubs"/*.tbd

head -c 40000 "$dylib" >"$out/truncated.dylib"

printf '__attribute__((visibility("default"))) int quorvelX86(void) { return 86; }\n' >"$out/work/x86.c"
"$cxx" -x c -target x86_64-apple-ios12.0-simulator -c "$out/work/x86.c" -o "$out/work/x86.o"
"$ld64" -arch x86_64 -dylib -platform_version ios-simulator 12.0 14.0 -adhoc_codesign \
  -install_name /var/jb/Library/MobileSubstrate/DynamicLibraries/Quorvel.dylib \
  -o "$out/x86_64.dylib" "$out/work/x86.o"

"$ld64" "${link[@]}" -platform_version ios 14.0 14.0 -o "$out/ios14.dylib" "${objects[@]}" \
  "$stubs"/*.tbd

# Two bytes of __text (which starts in the file's first page and runs past 20000).
cp "$dylib" "$out/altered.dylib"
printf '\xa5\x5a' | dd of="$out/altered.dylib" bs=1 seek=20000 conv=notrunc status=none

# One more initialiser, calling a runtime function that iOS has and the host does not provide.
cat >"$out/work/extra.cpp" <<'SOURCE'
extern "C" void objc_setHook_lazyClassNamer(void* newValue, void** outOldValue);
__attribute__((constructor)) static void nameClassesLazily() {
  objc_setHook_lazyClassNamer(nullptr, nullptr);
}
SOURCE
"$cxx" -target arm64-apple-ios12.0 -ffreestanding -nostdinc++ -c "$out/work/extra.cpp" \
  -o "$out/work/extra.o"
mkdir -p "$out/work/more-stubs"
cp "$stubs"/*.tbd "$out/work/more-stubs/"
sed -i 's/symbols: *\[ /&_objc_setHook_lazyClassNamer, /' "$out/work/more-stubs/libobjc.A.tbd"
"$ld64" "${link[@]}" -platform_version ios 12.0 14.0 -o "$out/missing-import.dylib" \
  "${objects[@]}" "$out/work/extra.o" "$out/work/more-stubs"/*.tbd

# NSClassFromString listed by CoreFoundation's stub instead of Foundation's.
mkdir -p "$out/work/moved-stubs"
cp "$stubs"/*.tbd "$out/work/moved-stubs/"
sed -i 's/_NSClassFromString, \?//; s/, _NSClassFromString//' "$out/work/moved-stubs/Foundation.tbd"
sed -i 's/symbols: *\[ /&_NSClassFromString, /' "$out/work/moved-stubs/CoreFoundation.tbd"
"$ld64" "${link[@]}" -platform_version ios 12.0 14.0 -o "$out/wrong-library.dylib" \
  "${objects[@]}" "$out/work/moved-stubs"/*.tbd
