#!/usr/bin/env bash
# A symbol that iOS does not have cannot reach the phone's build: linking a call to one against
# the stubs fails, while the same call to a symbol the stubs list links.
#   check-stub-refusal.sh LD64 CLANG++ STUBS_DIR WORK_DIR
set -euo pipefail
ld64=$1 cxx=$2 stubs=$3 work=$4
rm -rf "$work"
mkdir -p "$work"

link() {  # link NAME SOURCE: compiles and links one call; prints the linker's complaint
  printf '%s\n' "$2" >"$work/$1.cpp"
  "$cxx" -target arm64-apple-ios12.0 -ffreestanding -nostdinc++ -c "$work/$1.cpp" -o "$work/$1.o"
  "$ld64" -arch arm64 -dylib -platform_version ios 12.0 14.0 -install_name "/tmp/$1.dylib" \
    -o "$work/$1.dylib" "$work/$1.o" "$stubs"/*.tbd 2>&1
}

# What the Linux host once offered in place of blocks: no such function exists on iOS.
if out=$(link missing 'extern "C" void* qv_block_create(void*, void (*)(void*), const char*);
extern "C" void* use() { return qv_block_create(nullptr, nullptr, "sig"); }'); then
  echo "FAIL: a call to qv_block_create linked" >&2
  exit 1
fi
grep -q "undefined symbol: _qv_block_create" <<<"$out" || {
  echo "FAIL: the link failed for another reason: $out" >&2
  exit 1
}
echo "refused: $(grep -m1 'undefined symbol' <<<"$out")"

if ! out=$(link present 'extern "C" void* _Block_copy(const void*);
extern "C" void* objc_retain(void*);
extern "C" void* use(void* p) { return objc_retain(p); }'); then
  echo "FAIL: a call to objc_retain, which the stubs list, did not link: $out" >&2
  exit 1
fi
echo "linked: a call to objc_retain"
