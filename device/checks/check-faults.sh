#!/usr/bin/env bash
# The dylib checks catch what they look for: the library's objects linked wrongly, or the dylib
# changed after signing, fail the check meant for it.
#   check-faults.sh LD64 CLANG++ STUBS_DIR WORK_DIR OBJECT...  (QV_LLVM as for check-dylib.sh)
set -euo pipefail
ld64=$1 cxx=$2 stubs=$3 work=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
install=(-install_name /var/jb/Library/MobileSubstrate/DynamicLibraries/Quorvel.dylib)
rpath=(-rpath /var/jb/Library/Frameworks)
good=(-arch arm64 -dylib -platform_version ios 12.0 14.0 "${install[@]}" "${rpath[@]}" -dead_strip
      -adhoc_codesign)
status=0
objects=("$@")

# expect_failure CHECK NAME LINK_ARGS...: links a variant and requires CHECK to fail on it.
expect_failure() {
  local check=$1 name=$2
  shift 2
  if ! "$ld64" "$@" -o "$work/variant.dylib" "${objects[@]}" "$stubs"/*.tbd 2>>"$work/link.log"; then
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
# A page changed after signing.
"$ld64" "${good[@]}" -o "$work/changed.dylib" "${objects[@]}" "$stubs"/*.tbd
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
