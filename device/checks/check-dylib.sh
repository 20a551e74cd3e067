#!/usr/bin/env bash
# What can be proven about the phone's dylib without a phone.
#   check-dylib.sh CHECK DYLIB STUBS_DIR      (QV_LLVM: the folder of llvm-objdump and llvm-nm)
# CHECK: headers | imports | libraries | exports | initialiser | signature | size | unwind
# (libraries and unwind hold for either slice; the others are written for the arm64 one)
set -euo pipefail
check=$1 dylib=$2 stubs=$3
llvm=${QV_LLVM:-/usr/lib/llvm-14/bin}
objdump="$llvm/llvm-objdump"
nm="$llvm/llvm-nm"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
[ -f "$dylib" ] || { echo "FAIL: no dylib at $dylib" >&2; exit 1; }

header_text=$("$objdump" --macho --private-headers "$dylib")
headers() { printf '%s\n' "$header_text"; }

# The value following `field` in the load command `cmd` (first of its kind).
command_field() {
  headers | awk -v cmd="$1" -v field="$2" '
    $1 == "cmd" { inside = ($2 == cmd) }
    inside && $1 == field && !done { print $2; done = 1 }'
}

# Pipelines here never end early (no grep -q or awk exit downstream): with pipefail the
# writer's SIGPIPE would read as a failure.

# Every symbol a stub lists, as "short-name symbol" lines; the short name is how the tools name
# a library (libSystem for /usr/lib/libSystem.B.dylib, CoreFoundation for its framework).
stub_symbols() {
  local tbd name short
  for tbd in "$stubs"/*.tbd; do
    name=$(sed -n "s/^install-name: *'\(.*\)'/\1/p" "$tbd")
    short=$(basename "$name" .dylib)
    short=${short%%.*}
    sed -n 's/^ *symbols: *\[\(.*\)\]/\1/p' "$tbd" | tr ',' '\n' | tr -d ' ' |
      sed "/^$/d; s/^/$short /"
  done
}

stub_install_names() { sed -n "s/^install-name: *'\(.*\)'/\1/p" "$stubs"/*.tbd | sort; }

# The value following `field` in the header of section `sect` (first of its name).
section_field() {
  headers | awk -v sect="$1" -v field="$2" '
    $1 == "sectname" { inside = ($2 == sect) }
    inside && $1 == field && !done { print $2; done = 1 }'
}

case "$check" in
  headers)
    read -r magic cpu subtype _ filetype _ _ _ < <(headers | awk '/^MH_MAGIC/')
    [ "$magic" = MH_MAGIC_64 ] || fail "not a 64-bit Mach-O file ($magic)"
    [ "$cpu" = ARM64 ] || fail "cpu type $cpu, want ARM64"
    [ "$subtype" = ALL ] || fail "cpu subtype $subtype, want ALL (plain arm64)"
    [ "$filetype" = DYLIB ] || fail "file type $filetype, want DYLIB"
    flags=$(headers | awk '/^MH_MAGIC/ {for (i = 8; i <= NF; i++) print $i}')
    grep -qx TWOLEVEL <<<"$flags" || fail "not linked with a two-level namespace"
    grep -qx NOUNDEFS <<<"$flags" || fail "has undefined symbols outside its libraries"
    [ "$(command_field LC_BUILD_VERSION platform)" = ios ] || fail "LC_BUILD_VERSION platform is not ios"
    [ "$(command_field LC_BUILD_VERSION minos)" = 12.0 ] || fail "minimum OS is not 12.0"
    [ "$(command_field LC_ID_DYLIB name)" = /var/jb/Library/MobileSubstrate/DynamicLibraries/Quorvel.dylib ] ||
      fail "install name is $(command_field LC_ID_DYLIB name)"
    [ "$(command_field LC_RPATH path)" = /var/jb/Library/Frameworks ] || fail "LC_RPATH is not /var/jb/Library/Frameworks"
    ;;
  imports)
    loaded=$(headers | awk '$1 == "cmd" {inside = ($2 == "LC_LOAD_DYLIB")} inside && $1 == "name" {print $2}' | sort)
    [ -n "$loaded" ] || fail "no LC_LOAD_DYLIB at all"
    unknown=$(comm -23 <(echo "$loaded") <(stub_install_names))
    [ -z "$unknown" ] || fail "loads libraries that have no stub: $unknown"
    known=$(stub_symbols | sort -u)
    count=0
    while read -r line; do
      count=$((count + 1))
      symbol=$(awk '{print $3}' <<<"$line")
      from=$(sed -n 's/.*(from \(.*\))$/\1/p' <<<"$line")
      if [ -z "$from" ]; then
        fail "$symbol is not bound to a library (flat or dynamic lookup)"
      elif ! grep -qxF "$from $symbol" <<<"$known"; then
        fail "$symbol is bound to $from, whose stub does not list it"
      fi
    done < <("$nm" -m --undefined-only "$dylib")
    [ "$count" -gt 0 ] || fail "no undefined symbols listed (llvm-nm failed?)"
    # The binding opcodes name the same libraries.
    bound=$("$objdump" --macho --bind --lazy-bind --weak-bind "$dylib" |
      awk 'NF >= 5 && $1 == "__DATA" {print $(NF-1)}' | sort -u)
    libraries=$(awk '{print $1}' <<<"$known" | sort -u)
    for lib in $bound; do
      grep -qxF "$lib" <<<"$libraries" || fail "a symbol is bound to $lib, which has no stub"
    done
    echo "imports: $count symbols from $(echo "$loaded" | wc -l) libraries, all listed by their stubs"
    ;;
  libraries)
    # Every library the dylib loads, with its kind, is what the stubs name: stubs/*.tbd strong,
    # stubs/weak/*.tbd weak, and nothing else.
    loaded=$(headers | awk '$1 == "cmd" {kind = $2}
      $1 == "name" && kind ~ /^LC_(LOAD|LOAD_WEAK|REEXPORT|LAZY_LOAD|LOAD_UPWARD)_DYLIB$/ {print kind, $2}' |
      sort)
    expected=$( {
      stub_install_names | sed 's/^/LC_LOAD_DYLIB /'
      sed -n "s/^install-name: *'\(.*\)'/LC_LOAD_WEAK_DYLIB \1/p" "$stubs"/weak/*.tbd
    } | sort)
    [ "$loaded" = "$expected" ] || fail "the dylib loads:
$loaded
expected:
$expected"
    # The frameworks whose classes the library only looks up by name: their load commands are
    # what loads them when the home screen has not. InstallCoordination is private and weak.
    for required in \
      "LC_LOAD_DYLIB /System/Library/Frameworks/LocalAuthentication.framework/LocalAuthentication" \
      "LC_LOAD_DYLIB /System/Library/Frameworks/QuartzCore.framework/QuartzCore" \
      "LC_LOAD_DYLIB /System/Library/Frameworks/MobileCoreServices.framework/MobileCoreServices" \
      "LC_LOAD_WEAK_DYLIB /System/Library/PrivateFrameworks/InstallCoordination.framework/InstallCoordination"; do
      grep -qxF "$required" <<<"$loaded" || fail "no $required"
    done
    echo "libraries: $(wc -l <<<"$loaded") load commands, $(grep -c '^LC_LOAD_WEAK_DYLIB ' <<<"$loaded") weak"
    ;;
  exports)
    exported=$("$objdump" --macho --exports-trie "$dylib" | awk '/^0x/ {print $2}' | sort | tr '\n' ' ')
    [ "$exported" = "_bundleID _defaults _staticColor " ] || fail "exports are [$exported], want [_bundleID _defaults _staticColor]"
    ;;
  initialiser)
    size=$(headers | awk '$1 == "sectname" {inside = ($2 == "__mod_init_func")} inside && $1 == "size" && !done {print $2; done = 1}')
    [ -n "$size" ] && [ $((size)) -ge 8 ] || fail "no module initialiser (__mod_init_func)"
    ;;
  signature)
    dataoff=$(command_field LC_CODE_SIGNATURE dataoff)
    [ -n "$dataoff" ] || { fail "no LC_CODE_SIGNATURE"; exit 1; }
    # Big-endian 32-bit word at a byte offset of the file.
    u32() {
      local b
      read -r -a b < <(od -An -tu1 -j "$1" -N4 "$dylib")
      echo $(((((b[0] * 256 + b[1]) * 256) + b[2]) * 256 + b[3]))
    }
    u8() { od -An -tu1 -j "$1" -N1 "$dylib" | tr -d ' '; }
    [ "$(u32 "$dataoff")" = $((0xfade0cc0)) ] || fail "signature is not an embedded signature blob"
    count=$(u32 $((dataoff + 8)))
    cd=""
    for ((i = 0; i < count; i++)); do
      type=$(u32 $((dataoff + 12 + 8 * i)))
      offset=$(u32 $((dataoff + 16 + 8 * i)))
      [ "$type" = 0 ] && cd=$((dataoff + offset))
    done
    [ -n "$cd" ] && [ "$(u32 "$cd")" = $((0xfade0c02)) ] || { fail "no code directory"; exit 1; }
    flags=$(u32 $((cd + 12)))
    ((flags & 2)) || fail "code directory is not ad hoc"
    hashOffset=$(u32 $((cd + 16)))
    slots=$(u32 $((cd + 28)))
    limit=$(u32 $((cd + 32)))
    hashSize=$(u8 $((cd + 36)))
    hashType=$(u8 $((cd + 37)))
    page=$((1 << $(u8 $((cd + 39)))))
    [ "$hashType" = 2 ] && [ "$hashSize" = 32 ] || fail "hashes are not SHA-256"
    [ "$limit" = "$dataoff" ] || fail "signature covers $limit bytes, the code ends at $dataoff"
    for ((i = 0; i < slots; i++)); do
      start=$((i * page))
      length=$((limit - start < page ? limit - start : page))
      want=$(od -An -tx1 -v -j $((cd + hashOffset + i * 32)) -N32 "$dylib" | tr -d ' \n')
      have=$(dd if="$dylib" iflag=skip_bytes,count_bytes skip="$start" count="$length" status=none |
        sha256sum | cut -d' ' -f1)
      [ "$want" = "$have" ] || fail "page $i does not match its hash"
    done
    echo "signature: ad hoc, $slots pages of $page bytes checked against their SHA-256 hashes"
    ;;
  size)
    bytes=$(stat -c %s "$dylib")
    text=$(headers | awk '$1 == "segname" {inside = ($2 == "__TEXT")} inside && $1 == "vmsize" && !done {print $2; done = 1}')
    echo "size: $bytes bytes in all, __TEXT $((text)) bytes"
    [ "$bytes" -lt $((256 * 1024)) ] || fail "the dylib is $bytes bytes, over 256 KiB"
    ;;
  unwind)
    # An Objective-C exception raised below one of the library's frames unwinds through it only
    # if the frame has an unwind entry: every function start must fall in __unwind_info's range
    # under an entry whose encoding is not 0 (no unwind information), and an entry that defers
    # to DWARF (mode 3) must name an FDE of __eh_frame that covers the function.
    [ "$(section_field __unwind_info segname)" = __TEXT ] || { fail "no __TEXT,__unwind_info"; exit 1; }
    base=$(headers | awk '$1 == "segname" {inside = ($2 == "__TEXT")} inside && $1 == "vmaddr" && !done {print $2; done = 1}')
    # B: __TEXT's address; F: a function start; E: an entry (offset, encoding); T: a first-level
    # index, the last of which ends the range; D: an FDE (offset in __eh_frame, first and end pc).
    report=$( {
      echo "B $base"
      "$objdump" --macho --function-starts "$dylib" | awk '/^[0-9a-f]+$/ {print "F 0x" $1}'
      "$objdump" --macho --unwind-info "$dylib" | sed -n \
        -e 's/.*function offset=\(0x[0-9a-f]*\), encoding[^=]*=\(0x[0-9a-f]*\).*/E \1 \2/p' \
        -e 's/.*function offset=\(0x[0-9a-f]*\), 2nd level page offset=.*/T \1/p'
      "$objdump" --macho --dwarf=frames "$dylib" |
        awk '$4 == "FDE" {split(substr($6, 4), pc, /\.\.\./); print "D 0x" $1, "0x" pc[1], "0x" pc[2]}'
    } | awk '
      function hex(s,   i, v) {
        s = tolower(s); sub(/^0x/, "", s); v = 0
        for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
        return v
      }
      $1 == "B" { base = hex($2) }
      $1 == "F" { start[functions++] = hex($2) - base }
      $1 == "E" { offset[entries] = hex($2); encoding[entries++] = hex($3) }
      $1 == "T" { end = hex($2) }
      $1 == "D" { first[hex($2)] = hex($3) - base; last[hex($2)] = hex($4) - base }
      END {
        j = -1
        for (i = 0; i < functions; i++) {
          f = start[i]
          while (j + 1 < entries && offset[j + 1] <= f) j++
          if (j < 0 || f >= end || encoding[j] == 0) {
            printf "the function at 0x%x has no unwind entry\n", f + base; continue
          }
          if (int(encoding[j] / 16777216) % 16 == 3) {
            fde = encoding[j] % 16777216
            if (!(fde in first) || f < first[fde] || f >= last[fde]) {
              printf "the function at 0x%x defers to DWARF, but no FDE at 0x%x covers it\n", f + base, fde
              continue
            }
            dwarf++
          }
          covered++
        }
        printf "covered %d of %d functions (%d through __eh_frame)\n", covered, functions, dwarf
      }')
    while IFS= read -r line; do fail "$line"; done < <(grep -v '^covered ' <<<"$report" || true)
    summary=$(grep '^covered ' <<<"$report" || true)
    read -r _ _ _ functions _ <<<"$summary"
    [ "${functions:-0}" -gt 0 ] || fail "no function starts listed (LC_FUNCTION_STARTS)"
    echo "unwind: $summary"
    ;;
  *)
    echo "unknown check $check" >&2
    exit 2
    ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "$check: ok"
