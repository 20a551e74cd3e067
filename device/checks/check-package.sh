#!/usr/bin/env bash
# What can be proven about the phone's package without a phone.
#   check-package.sh CHECK DEB PREFS_TOOL ICONS_DIR
# CHECK: contents | control | plists | pane
set -euo pipefail
check=$1 deb=$2 prefs=$3 icons=$4
[ -f "$deb" ] || { echo "FAIL: no package at $deb" >&2; exit 1; }
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"

tweaks=./var/jb/Library/MobileSubstrate/DynamicLibraries
pane=./var/jb/Library/PreferenceLoader/Preferences/Quorvel.plist
bundle="./var/LIY/Application Support/Quorvel.bundle"

# A property list's XML form, or nothing when plistutil cannot read it.
plist_xml() { plistutil -i "$1" -f xml -o - 2>/dev/null || true; }

case "$check" in
  contents)
    # Every regular file, as "mode owner path".
    listing=$(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ {
      path = $0; for (i = 0; i < 5; i++) sub(/^[^ ]+ +/, "", path); print $1, $2, path }')
    files=$(awk '{ path = $0; for (i = 0; i < 2; i++) sub(/^[^ ]+ +/, "", path); print path }' \
      <<<"$listing" | sort)
    expected=$( {
      echo "$tweaks/Quorvel.dylib"
      echo "$tweaks/Quorvel.plist"
      echo "$pane"
      for icon in "$icons"/*.png; do echo "$bundle/$(basename "$icon")"; done
    } | sort)
    [ "$files" = "$expected" ] || fail "the package holds:
$files
expected:
$expected"
    [ "$(ls "$icons"/*.png | wc -l)" = 19 ] || fail "there are not nineteen icons in $icons"
    for icon in "$icons"/*.png; do
      cmp -s "$icon" "$work/root/$bundle/$(basename "$icon")" || fail "$(basename "$icon") differs from resources/"
    done
    while read -r mode owner path; do
      [ "$owner" = root/root ] || fail "$path is owned by $owner"
      want=-rw-r--r--
      [ "$path" = "$tweaks/Quorvel.dylib" ] && want=-rwxr-xr-x
      [ "$mode" = "$want" ] || fail "$path has mode $mode, want $want"
    done <<<"$listing"
    echo "contents: $(wc -l <<<"$files") files"
    ;;
  control)
    field() { dpkg-deb -f "$deb" "$1"; }
    [ "$(field Package)" = com.vantrelo88.quorvel ] || fail "Package is $(field Package)"
    [ "$(field Name)" = Quorvel ] || fail "Name is $(field Name)"
    [ "$(field Architecture)" = iphoneos-arm64 ] || fail "Architecture is $(field Architecture)"
    [ "$(field Section)" = Tweaks ] || fail "Section is $(field Section)"
    version=$(field Version)
    [[ "$version" =~ ^[0-9]+(\.[0-9]+)*$ ]] || fail "Version $version is not a version"
    [ "$(basename "$deb")" = "quorvel_${version}_iphoneos-arm64.deb" ] || fail "file name does not carry version $version"
    depends=$(field Depends)
    for needed in mobilesubstrate preferenceloader; do
      grep -qw "$needed" <<<"$depends" || fail "Depends ($depends) lacks $needed"
    done
    [ -n "$(field Description)" ] || fail "no Description"
    [ -n "$(field Maintainer)" ] || fail "no Maintainer"
    ;;
  plists)
    count=0
    while IFS= read -r -d '' plist; do
      count=$((count + 1))
      [ -n "$(plist_xml "$plist")" ] || fail "${plist#"$work/root/"} is not a property list"
    done < <(find "$work/root" -name '*.plist' -print0)
    [ "$count" = 2 ] || fail "$count property lists, want 2 (the filter and the pane)"
    # The filter: { Filter = { Bundles = ( "com.apple.springboard" ); }; } and nothing more.
    filter=$(plist_xml "$work/root/$tweaks/Quorvel.plist" | tr -d '\t\n')
    want='<dict><key>Filter</key><dict><key>Bundles</key><array><string>com.apple.springboard</string></array></dict></dict>'
    grep -qF "<plist version=\"1.0\">$want</plist>" <<<"$filter" ||
      fail "the filter is not { Filter = { Bundles = ( com.apple.springboard ); }; }"
    ;;
  pane)
    # The pane is what the settings program writes from its key table, which the tests hold
    # against the library's own defaults.
    "$prefs" pane >"$work/expected.plist"
    cmp -s "$work/expected.plist" "$work/root/$pane" || fail "the pane differs from 'quorvel-prefs pane'"
    [ -n "$(plist_xml "$work/root/$pane")" ] || fail "the pane is not a property list"
    ;;
  *)
    echo "unknown check $check" >&2
    exit 2
    ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "$check: ok"
