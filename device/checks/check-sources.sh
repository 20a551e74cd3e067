#!/usr/bin/env bash
# The library's sources stay buildable for a phone without an SDK: they include only the
# standard headers that need no C library, and only the platform layer knows the target.
#   check-sources.sh SRC_DIR
set -euo pipefail
src=$1
allowed='cstddef|cstdint|type_traits|initializer_list|limits|concepts'
status=0
bad=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<' "$src" |
  grep -vE "<($allowed)>" || true)
if [ -n "$bad" ]; then
  echo "FAIL: standard headers the phone has no copy of:" >&2
  echo "$bad" >&2
  status=1
fi
# Conditional compilation outside src/platform (the #pragma once guards are not conditions).
conditions=$(grep -rnE '^[[:space:]]*#[[:space:]]*(if|ifdef|ifndef|elif)\b' "$src" --include='*.cpp' \
  --include='*.h' | grep -v "^$src/platform/" || true)
if [ -n "$conditions" ]; then
  echo "FAIL: conditional compilation outside the platform layer:" >&2
  echo "$conditions" >&2
  status=1
fi
[ $status -eq 0 ] && echo "sources: only freestanding headers, no target conditions outside platform/"
exit $status
