#!/usr/bin/env bash
# The dylib checks catch what they look for: the library's objects compiled or linked wrongly,
# or a dylib changed after the link, fail the check meant for it.
#   check-faults.sh LD64 CLANG++ STUBS_DIR WORK_DIR ARM64E_SLICE OBJECT... -- OBJECT...
# (the objects before -- are the library's; those after it the same sources compiled without
# unwind tables; QV_LLVM as for check-dylib.sh)
set -euo pipefail
ld64=$1 cxx=$2 stubs=$3 work=$4 arm64e=$5
shift 5
objects=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  objects+=("$1")
  shift
done
[ $# -gt 1 ] || { echo "usage: $0 LD64 CLANG++ STUBS_DIR WORK_DIR ARM64E_SLICE OBJECT... -- OBJECT..." >&2; exit 2; }
shift
without_unwind=("$@")
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
install=(-install_name /var/jb/Library/MobileSubstrate/DynamicLibraries/Quorvel.dylib)
rpath=(-rpath /var/jb/Library/Frameworks)
good=(-arch arm64 -dylib -platform_version ios 12.0 14.0 "${install[@]}" "${rpath[@]}" -dead_strip
      -adhoc_codesign)
status=0
# use_libraries [LEFT_OUT]: the libraries as the library links them (the stubs in weak/ weakly),
# but for the stub named LEFT_OUT.
use_libraries() {
  libraries=()
  for stub in "$stubs"/*.tbd; do [ "$(basename "$stub")" = "${1:-}" ] || libraries+=("$stub"); done
  for stub in "$stubs"/weak/*.tbd; do libraries+=(-weak_library "$stub"); done
}
use_libraries

# expect_failure CHECK NAME LINK_ARGS...: links a variant of objects and libraries and requires
# CHECK to fail on it.
expect_failure() {
  local check=$1 name=$2
  shift 2
  if ! "$ld64" "$@" -o "$work/variant.dylib" "${objects[@]}" "${libraries[@]}" 2>>"$work/link.log"; then
    echo "FAIL: the variant $name did not link" >&2
    status=1
  elif "$here/check-dylib.sh" "$check" "$work/variant.dylib" "$stubs" >/dev/null 2>&1; then
    echo "FAIL: the $check check passed a dylib $name" >&2
    status=1
  else
    echo "caught: a dylib $name ($check)"
  fi
}

platform=(-arch arm64 -dylib -platform_version ios 12.0 14.0)
expect_failure signature "without a signature" "${platform[@]}" "${install[@]}" "${rpath[@]}" \
  -no_adhoc_codesign
expect_failure headers "for iOS 11" -arch arm64 -dylib -platform_version ios 11.0 14.0 \
  "${install[@]}" "${rpath[@]}" -adhoc_codesign
expect_failure headers "without its rpath" "${platform[@]}" "${install[@]}" -adhoc_codesign
expect_failure headers "with another install name" "${platform[@]}" -install_name /tmp/Q.dylib \
  "${rpath[@]}" -adhoc_codesign
# One more object, whose function is visible.
printf 'extern "C" __attribute__((visibility("default"))) int quorvelExtra() { return 1; }\n' \
  >"$work/extra.cpp"
"$cxx" -target arm64-apple-ios12.0 -ffreestanding -nostdinc++ -c "$work/extra.cpp" -o "$work/extra.o"
objects+=("$work/extra.o")
expect_failure exports "exporting a fourth symbol" "${good[@]}"
unset 'objects[${#objects[@]}-1]'
expect_failure imports "that looks symbols up at run time" "${platform[@]}" "${install[@]}" \
  "${rpath[@]}" -adhoc_codesign -flat_namespace
# Unwind tables: none at all, or missing from one object's functions.
library_objects=("${objects[@]}")
objects=("${without_unwind[@]}")
expect_failure unwind "compiled without unwind tables" "${good[@]}"
objects=("${library_objects[@]}")
objects[0]=${without_unwind[0]}
expect_failure unwind "with one object compiled without unwind tables" "${good[@]}"
objects=("${library_objects[@]}")
# The frameworks the library looks classes up in: one left out, or the private one linked
# strongly.
use_libraries LocalAuthentication.tbd
expect_failure libraries "without LocalAuthentication" "${good[@]}"
libraries=("$stubs"/*.tbd "$stubs"/weak/InstallCoordination.tbd)
expect_failure libraries "linking InstallCoordination strongly" "${good[@]}"
use_libraries
# An arm64e slice (whose entries defer to __eh_frame) with its first FDE covering no code: its
# pc range, the 8 bytes after the length, the CIE pointer and the first pc, made 0.
cp "$arm64e" "$work/arm64e-fde.dylib"
llvm=${QV_LLVM:-/usr/lib/llvm-14/bin}
eh_frame=$("$llvm/llvm-objdump" --macho --private-headers "$arm64e" |
  awk '$1 == "sectname" {inside = ($2 == "__eh_frame")} inside && $1 == "offset" && !done {print $2; done = 1}')
fde=$("$llvm/llvm-objdump" --macho --dwarf=frames "$arm64e" | awk '$4 == "FDE" && !done {print $1; done = 1}')
if [ -z "$eh_frame" ] || [ -z "$fde" ]; then
  echo "FAIL: the arm64e slice has no __eh_frame FDE to alter" >&2
  status=1
else
  head -c 8 /dev/zero | dd of="$work/arm64e-fde.dylib" bs=1 seek=$((eh_frame + 16#$fde + 16)) \
    conv=notrunc status=none
  if "$here/check-dylib.sh" unwind "$work/arm64e-fde.dylib" "$stubs" >/dev/null 2>&1; then
    echo "FAIL: the unwind check passed an arm64e slice whose FDE covers nothing" >&2
    status=1
  else
    echo "caught: an arm64e slice whose first FDE covers nothing (unwind)"
  fi
fi
# A page changed after signing.
"$ld64" "${good[@]}" -o "$work/changed.dylib" "${objects[@]}" "${libraries[@]}"
printf '\xa5\x5a' | dd of="$work/changed.dylib" bs=1 seek=20000 conv=notrunc status=none
if "$here/check-dylib.sh" signature "$work/changed.dylib" "$stubs" >/dev/null 2>&1; then
  echo "FAIL: the signature check passed a dylib changed after signing" >&2
  status=1
else
  echo "caught: a dylib changed after signing (signature)"
fi
# A stub that lacks a symbol the library binds to.
mkdir -p "$work/stubs"
cp "$stubs"/*.tbd "$work/stubs/"
sed -i 's/_objc_retain, //' "$work/stubs/libobjc.A.tbd"
if "$here/check-dylib.sh" imports "$work/changed.dylib" "$work/stubs" >/dev/null 2>&1; then
  echo "FAIL: the imports check passed a symbol its stub does not list" >&2
  status=1
else
  echo "caught: a bound symbol its stub does not list (imports)"
fi
exit $status
