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
panes=./var/jb/Library/PreferenceLoader/Preferences
pane=$panes/Quorvel.plist
bundle="./var/LIY/Application Support/Quorvel.bundle"

# A property list's XML form, or nothing when plistutil cannot read it.
plist_xml() { plistutil -i "$1" -f xml -o - 2>/dev/null || true; }

# A property list as "path=value" lines, one per scalar: "/items/3/cell=PSSliderCell" (array
# items by index from 0, dictionary values by key). Reads plistutil's XML, an element a line.
plist_paths() {
  plist_xml "$1" | awk '
    function text(line) { sub(/^[ \t]*<[a-z]+>/, "", line); sub(/<\/[a-z]+>[ \t]*$/, "", line); return line }
    function label() { return kind[depth] == "array" ? count[depth]++ : key[depth] }
    function prefix(   i, p) { for (i = 2; i <= depth; i++) p = p "/" name[i]; return p }
    /^[ \t]*<key>/ { key[depth] = text($0); next }
    /^[ \t]*<(dict|array)>/ {
      here = depth ? label() : ""
      depth++; name[depth] = here; kind[depth] = ($0 ~ /<dict>/) ? "dict" : "array"; count[depth] = 0
      next
    }
    /^[ \t]*<\/(dict|array)>/ { depth--; next }
    /^[ \t]*<(true|false)\/>/ { here = label(); print prefix() "/" here "=" ($0 ~ /true/ ? "true" : "false"); next }
    /^[ \t]*<(string|integer|real|date|data)>.*<\// { here = label(); print prefix() "/" here "=" text($0); next }
    /^[ \t]*<string\/>/ { here = label(); print prefix() "/" here "="; next }'
}

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
      for icon in "$icons"/pane/*.png; do echo "$panes/$(basename "$icon")"; done
    } | sort)
    [ "$files" = "$expected" ] || fail "the package holds:
$files
expected:
$expected"
    [ "$(ls "$icons"/*.png | wc -l)" = 19 ] || fail "there are not nineteen icons in $icons"
    for icon in "$icons"/*.png; do
      cmp -s "$icon" "$work/root/$bundle/$(basename "$icon")" || fail "$(basename "$icon") differs from resources/"
    done
    [ "$(ls "$icons"/pane/*.png | wc -l)" = 3 ] || fail "the pane's icon is not in $icons/pane at three scales"
    for icon in "$icons"/pane/*.png; do
      cmp -s "$icon" "$work/root/$panes/$(basename "$icon")" || fail "the pane's $(basename "$icon") differs from resources/pane/"
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
    want="mobilesubstrate (>= 0.9.5000), preferenceloader, firmware (>= 15.0)"
    [ "$(field Depends)" = "$want" ] || fail "Depends is '$(field Depends)', want '$want'"
    [ -n "$(field Description)" ] || fail "no Description"
    for person in Maintainer Author; do
      [[ "$(field "$person")" =~ ^[^\<\>]*[^\<\>\ ]\ \<[^@\<\>\ ]+@[^@\<\>\ ]+\.[^@\<\>\ ]+\>$ ]] ||
        fail "$person is '$(field "$person")', want 'Name <address>'"
    done
    # What dpkg-gencontrol would count for the installed files: each file rounded up to a whole
    # KiB, each folder 1 KiB.
    unpacked=$(find "$work/root" -printf '%y %s\n' |
      awk '$1 == "f" || $1 == "l" {kib += int(($2 + 1023) / 1024); next} {kib += 1} END {print kib}')
    size=$(field Installed-Size)
    [[ "$size" =~ ^[0-9]+$ ]] || fail "Installed-Size is '$size', not a number of KiB"
    [ "$size" = "$unpacked" ] || fail "Installed-Size is $size KiB, the files take $unpacked"
    echo "control: Installed-Size $size KiB"
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
    paths=$(plist_paths "$work/root/$pane")
    # The entry's icon, a file name PreferenceLoader looks up beside the pane.
    icon=$(sed -n 's|^/entry/icon=||p' <<<"$paths")
    [ -n "$icon" ] || fail "the entry has no icon"
    [ -z "$icon" ] || [ -f "$work/root/$panes/$icon" ] || fail "the entry's icon $icon is not in $panes"
    # A slider shows no label: a group header right above it carries it.
    sliders=$(sed -n 's|^/items/\([0-9]*\)/cell=PSSliderCell$|\1|p' <<<"$paths")
    [ -n "$sliders" ] || fail "the pane has no slider"
    for i in $sliders; do
      header=$(sed -n "s|^/items/$((i - 1))/label=||p" <<<"$paths")
      grep -qx "/items/$((i - 1))/cell=PSGroupCell" <<<"$paths" && [ -n "$header" ] ||
        fail "the slider at item $i has no group header with a label above it"
      ! grep -q "^/items/$i/label=" <<<"$paths" || fail "the slider at item $i carries a label it cannot show"
    done
    ;;
  *)
    echo "unknown check $check" >&2
    exit 2
    ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "$check: ok"
