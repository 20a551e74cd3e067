#!/usr/bin/env bash
# The universal check fails on files that are not what a phone needs: one slice only, an arm64e
# slot holding a plain arm64 link, and an arm64e slice changed after signing.
#   check-universal-faults.sh TOOL LIPO ARM64 ARM64E ARM64E_UNFINISHED WORK_DIR
set -euo pipefail
tool=$1 lipo=$2 arm64=$3 arm64e=$4 unfinished=$5 work=$6
rm -rf "$work"
mkdir -p "$work"
status=0
expect_failure() {
  local what=$1 file=$2
  if "$tool" check "$file" >/dev/null 2>&1; then
    echo "FAIL: the universal check passed $what" >&2
    status=1
  else
    echo "caught: $what"
  fi
}
expect_failure "the arm64 dylib alone" "$arm64"
"$lipo" -create "$arm64" "$unfinished" -output "$work/two-arm64.dylib" 2>/dev/null ||
  cp "$arm64" "$work/two-arm64.dylib"
expect_failure "a universal file whose second slice is the link before its arm64e step" \
  "$work/two-arm64.dylib"
cp "$arm64e" "$work/changed-arm64e.dylib"
printf '\xa5\x5a' | dd of="$work/changed-arm64e.dylib" bs=1 seek=20000 conv=notrunc status=none
"$lipo" -create "$arm64" "$work/changed-arm64e.dylib" -output "$work/changed.dylib"
expect_failure "an arm64e slice changed after signing" "$work/changed.dylib"
exit $status
