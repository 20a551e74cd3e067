#!/usr/bin/env bash
# Runs one large scenario with this tree's quorvel-sim and with the one of another revision
# (built from that revision's sources, in build/compare-REV), and checks that they end in the
# same state: every dump member the older program shows is equal in the newer one, every change
# line it told is told again in the same order, and the device roots hold the same files with
# the same bytes. Members and lines the newer program adds are counted, not compared.
#
#   bench/sim/compare_with_revision.sh REV [APPS [PAIRS [OS]]]
#   (default 1000 apps, 1000 press/pick pairs, that is 2,000 commands, OS 14.2)
#
# Needs python3 for the JSON comparison. An older program may take an hour on 1,000 apps.
set -euo pipefail
cd "$(dirname "$0")/../.."
ROOT=$(pwd)
rev=${1:?usage: $0 REV [APPS [PAIRS [OS]]]}
apps=${2:-1000}
pairs=${3:-1000}
os=${4:-14.2}
command -v python3 >/dev/null || { echo "$0: needs python3" >&2; exit 2; }

# The scenario: APPS apps of every kind, then PAIRS press/pick pairs over them (every action
# that works in a script: the notification switches, badges, caches, App Lock locked and
# unlocked with its prompt, the bundle identifier's alert, offloading), some fronted, with a
# layout and a dump every 250 pairs.
scenario() {
  echo "device os=$os"
  local i extra
  for i in $(seq 1 "$apps"); do
    extra=""
    ((i % 7 == 0)) && extra=" shortcuts=\"Compose,Send\""
    ((i % 11 == 0)) && extra="$extra nocontainer"
    ((i % 13 == 0)) && extra="$extra nosection"
    echo "app com.example.app$i name=\"App $i\" badge=$((i % 5))$extra"
  done
  echo "folder Utilities"
  echo "widget com.example.weather.widget"
  echo "boot"
  declare -A locked
  local actions=("Notifications" "Banners" "Clear Badge" "Clear Caches" "App Lock"
                 "Notifications" "Bundle Identifier" "App Lock" "Banners" "Offload App")
  local done=0 j=0 a act
  while ((done < pairs)); do
    j=$((j + 1))
    a=$(((j * 7919) % apps + 1))
    act=${actions[$((j % ${#actions[@]}))]}
    echo "press com.example.app$a"
    echo "pick \"$act\""
    done=$((done + 1))
    case "$act" in
      "App Lock")
        if [ -n "${locked[$a]:-}" ]; then
          echo "auth success"
          unset "locked[$a]"
        else
          locked[$a]=1
        fi
        ;;
      "Bundle Identifier") echo "alert \"Copy Bundle ID\"" ;;
    esac
    if ((j % 97 == 0)); then echo "front com.example.app$a"; fi
    if ((j % 250 == 0)); then
      echo "layout"
      echo "dump"
    fi
  done
  echo "switcher"
  echo "dump"
}

work=$(mktemp -d /tmp/quorvel-compare-XXXXXX)
scenario >"$work/scenario.txt"
echo "== scenario: $(wc -l <"$work/scenario.txt") lines, $apps apps, $pairs press/pick pairs (in $work)"

echo "== building this tree and $rev"
cmake -S "$ROOT" -B build/release -G Ninja >/dev/null
cmake --build build/release -j2 --target quorvel-sim quorvel >/dev/null
old_src="build/compare-$rev-src"
old_build="build/compare-$rev"
if [ ! -x "$old_build/tools/quorvel-sim" ]; then
  rm -rf "$old_src" && mkdir -p "$old_src"
  git archive "$rev" | tar -x -C "$old_src"
  cmake -S "$old_src" -B "$old_build" -G Ninja -DQV_BENCH=OFF >/dev/null
  cmake --build "$old_build" -j2 --target quorvel-sim quorvel >/dev/null
fi

run() {  # run NAME PROGRAM
  local start end
  start=$(date +%s%N)
  "$2" --root "$work/root-$1" --script "$work/scenario.txt" --json >"$work/$1.jsonl" \
    2>"$work/$1.err" || { echo "$1: the scenario failed: $(tail -1 "$work/$1.err")" >&2; exit 1; }
  end=$(date +%s%N)
  echo "   $1: $(((end - start) / 1000000)) ms"
}
echo "== running"
run new build/release/tools/quorvel-sim
run old "$old_build/tools/quorvel-sim"

echo "== comparing"
if diff -r --no-dereference -x 'qv-notify*' -x 'qv-prefs*' \
     "$work/root-old" "$work/root-new" >"$work/files.diff"; then
  echo "   device roots: the same files and bytes"
else
  echo "   device roots differ: $work/files.diff" >&2
  exit 1
fi
python3 - "$work/old.jsonl" "$work/new.jsonl" <<'PY'
import json, sys
old = [json.loads(line) for line in open(sys.argv[1])]
new = [json.loads(line) for line in open(sys.argv[2])]
problems, added, extra = [], set(), 0
def within(a, b, path):
    if isinstance(a, dict):
        if not isinstance(b, dict): return [path]
        out = []
        for k in a:
            out += [path + "/" + k + " missing"] if k not in b else within(a[k], b[k], path + "/" + k)
        return out
    if isinstance(a, list):
        if not isinstance(b, list) or len(a) != len(b): return [path + " (list)"]
        return [p for i, (x, y) in enumerate(zip(a, b)) for p in within(x, y, "%s/%d" % (path, i))]
    return [] if a == b else ["%s: %r / %r" % (path, a, b)]
if len(old) != len(new):
    problems.append("%d / %d answers" % (len(old), len(new)))
for n, (a, b) in enumerate(zip(old, new)):
    where = "answer %d (%s)" % (n + 1, a.get("command"))
    for key in a:
        if key == "state":
            problems += [where + ": " + p for p in within(a["state"], b.get("state"), "")]
            added |= set(b["state"]) - set(a["state"])
        elif key == "changes":
            told = [c for c in b.get("changes", []) if c in a["changes"]]
            if told != a["changes"]:
                problems.append(where + ": changes %r / %r" % (a["changes"], b.get("changes")))
            extra += len(b.get("changes", [])) - len(a["changes"])
        elif a[key] != b.get(key):
            problems.append(where + ": %s %r / %r" % (key, a[key], b.get(key)))
print("   %d answers; dump members added: %s; change lines added: %d"
      % (len(old), ", ".join(sorted(added)) or "none", extra))
for p in problems[:20]:
    print("   DIFFERS " + p)
sys.exit(1 if problems else 0)
PY
echo "== the same state"
