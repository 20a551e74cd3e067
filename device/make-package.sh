#!/usr/bin/env bash
# Builds the rootless package a jailbroken phone installs.
#   make-package.sh DYLIB PREFS_TOOL ICONS_DIR STAGING_DIR OUT.deb
# The package holds the dylib and its substrate filter, the item icons where the library loads
# them from, and the settings pane that quorvel-prefs writes from its own key table, with its
# icon (ICONS_DIR/pane/) beside it. The control file gets the Installed-Size of what it stages.
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: $0 DYLIB PREFS_TOOL ICONS_DIR STAGING_DIR OUT.deb" >&2; exit 2; }
dylib=$1 prefs=$2 icons=$3 staging=$4 out=$5
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$staging"
tweaks="$staging/var/jb/Library/MobileSubstrate/DynamicLibraries"
panes="$staging/var/jb/Library/PreferenceLoader/Preferences"
bundle="$staging/var/LIY/Application Support/Quorvel.bundle"
mkdir -p "$staging/DEBIAN" "$tweaks" "$panes" "$bundle"

install -m 0755 "$dylib" "$tweaks/Quorvel.dylib"
install -m 0644 "$here/Quorvel.plist" "$tweaks/Quorvel.plist"
install -m 0644 "$icons"/*.png "$bundle/"
"$prefs" pane > "$panes/Quorvel.plist"
chmod 0644 "$panes/Quorvel.plist"
install -m 0644 "$icons"/pane/*.png "$panes/"

# Installed-Size in KiB, of what the package installs (DEBIAN/ aside), counted as
# dpkg-gencontrol counts a package's tree: each file rounded up to a whole KiB, each folder (the
# root too) 1 KiB.
if grep -q '^Installed-Size:' "$here/control"; then
  echo "$here/control carries an Installed-Size; it is computed here" >&2
  exit 1
fi
size=$(find "$staging" -path "$staging/DEBIAN" -prune -o -printf '%y %s\n' |
  awk '$1 == "f" || $1 == "l" {kib += int(($2 + 1023) / 1024); next} {kib += 1} END {print kib}')
awk -v size="$size" '/^Description:/ {print "Installed-Size: " size} {print}' "$here/control" \
  >"$staging/DEBIAN/control"
chmod 0644 "$staging/DEBIAN/control"

# Owned by root whoever builds it, compressed with what every dpkg reads.
dpkg-deb --root-owner-group -Zgzip --build "$staging" "$out" >/dev/null
echo "$out"
