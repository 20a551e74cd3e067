#!/usr/bin/env bash
# The package checks catch what they look for: the package rebuilt with one field of its control
# file missing or wrong, or with its pane or the pane's icon changed, fails the check meant for
# it, while the same package rebuilt unchanged passes every check.
#   check-package-faults.sh DEB PREFS_TOOL ICONS_DIR WORK_DIR
set -euo pipefail
deb=$1 prefs=$2 icons=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
dpkg-deb -R "$deb" "$work/tree"
panes=var/jb/Library/PreferenceLoader/Preferences
status=0
count=0

# rebuild COMMAND...: runs COMMAND in a copy of the package's tree and builds the package again
# under the same file name (the checks read the version from it), in a folder of its own; sets
# $variant, and $stand_in: a settings program whose pane is the variant's, so that the pane check,
# which compares the pane with the program's, fails on the pane's shape alone.
rebuild() {
  count=$((count + 1))
  local dir="$work/$count"
  mkdir -p "$dir"
  cp -a "$work/tree" "$dir/tree"
  (cd "$dir/tree" && "$@")
  variant="$dir/$(basename "$deb")"
  dpkg-deb --root-owner-group -Zgzip --build "$dir/tree" "$variant" >/dev/null
  stand_in="$dir/quorvel-prefs"
  printf '#!/bin/sh\nexec cat "%s"\n' "$dir/tree/$panes/Quorvel.plist" >"$stand_in"
  chmod +x "$stand_in"
}

# expect_failure CHECK NAME COMMAND...
expect_failure() {
  local check=$1 name=$2
  shift 2
  rebuild "$@"
  if "$here/check-package.sh" "$check" "$variant" "$stand_in" "$icons" >/dev/null 2>&1; then
    echo "FAIL: the $check check passed a package $name" >&2
    status=1
  else
    echo "caught: a package $name ($check)"
  fi
}

# Unchanged, the rebuilt package passes every check, with the settings program and with the
# stand-in alike.
rebuild true
for check in contents control plists pane; do
  for program in "$prefs" "$stand_in"; do
    "$here/check-package.sh" "$check" "$variant" "$program" "$icons" >/dev/null || {
      echo "FAIL: the package rebuilt unchanged does not pass the $check check ($program)" >&2
      exit 1
    }
  done
done

control() { sed -i "$1" DEBIAN/control; }
expect_failure control "depending on mobilesubstrate without its version" \
  control 's/^Depends: .*/Depends: mobilesubstrate, preferenceloader, firmware (>= 15.0)/'
expect_failure control "without firmware among its dependencies" \
  control 's/^Depends: .*/Depends: mobilesubstrate (>= 0.9.5000), preferenceloader/'
expect_failure control "whose Maintainer has no address" \
  control 's/^Maintainer: .*/Maintainer: Quorvel developers/'
expect_failure control "without an Author" control '/^Author:/d'
expect_failure control "whose Author has no address" control 's/^Author: .*/Author: <vantrelo88.dev>/'
expect_failure control "without an Installed-Size" control '/^Installed-Size:/d'
size=$(dpkg-deb -f "$deb" Installed-Size)
expect_failure control "whose Installed-Size is 1 KiB off" \
  control "s/^Installed-Size: .*/Installed-Size: $((size + 1))/"

expect_failure contents "without the pane's icon at 2x" rm "$panes/Quorvel@2x.png"
expect_failure contents "whose pane icon is executable" chmod 0755 "$panes/Quorvel.png"
expect_failure pane "without the icon its pane names" rm "$panes/Quorvel.png"
expect_failure pane "whose pane's entry has no icon" \
  sed -z -i 's|\n\t\t<key>icon</key>\n\t\t<string>Quorvel.png</string>||' "$panes/Quorvel.plist"
expect_failure pane "whose slider has no group header" \
  sed -z -i 's|\n\t\t<dict>\n\t\t\t<key>cell</key>\n\t\t\t<string>PSGroupCell</string>\n\t\t\t<key>label</key>\n\t\t\t<string>Icon Colour Opacity</string>\n\t\t</dict>||' \
  "$panes/Quorvel.plist"
exit $status
