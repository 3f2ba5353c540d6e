#!/usr/bin/env bash
# The fair floor is fair only while it shows the same window as the program:
# screenshots vantorel.exe and then the fair floor on one fresh bench and
# compares them pixel by pixel. Exits 1 when any pixel differs.
#
#   bench/compare-floor.sh VANTOREL_EXE FAIR_FLOOR_EXE WINDOW_TOOL_EXE OUT_PREFIX
#   BENCH_DPI=144 bench/compare-floor.sh ...   # at another DPI
#
# Leaves OUT_PREFIX-vantorel.png, OUT_PREFIX-fair_floor.png and, when they
# differ, OUT_PREFIX-difference.png.
set -euo pipefail
[ $# -eq 4 ] || { sed -n '2,11p' "$0" >&2; exit 2; }
exe=$1 floor=$2 tool=$3 out=$4
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/lib/wine-bench.sh"
BENCH_OWN_DISPLAY=1 bench_start
bench_seed_services 3
dir="$WINEPREFIX/drive_c/bench"
mkdir -p "$dir" "$(dirname "$out")"
cp "$exe" "$floor" "$dir/"

differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

# Once the window is up, screenshots until two in a row are the same: it has
# painted and the focus has settled.
screenshot() { # PNG
  local previous="$BENCH_DIR/previous.png"
  import -window root "$previous"
  for _ in $(seq 50); do
    sleep 0.2
    import -window root "$1"
    [ "$(differing_pixels "$previous" "$1")" = 0 ] && return 0
    cp "$1" "$previous"
  done
  echo "compare-floor: $1 never settled" >&2
  return 1
}

shoot() { # EXE_NAME PNG
  wine "C:\\bench\\$1" &
  local program=$!
  wine "$tool" wait Kestrova || { echo "compare-floor: no window from $1" >&2; return 1; }
  screenshot "$2"
  wine "$tool" close Kestrova
  wait "$program" || true
}

shoot "$(basename "$exe")" "$out-vantorel.png"
shoot "$(basename "$floor")" "$out-fair_floor.png"
pixels=$(differing_pixels "$out-vantorel.png" "$out-fair_floor.png")
echo "compare-floor at ${BENCH_DPI:-96} dpi: $pixels pixels differ" \
  "($out-vantorel.png, $out-fair_floor.png)"
if [ "$pixels" != 0 ]; then
  compare "$out-vantorel.png" "$out-fair_floor.png" "$out-difference.png" 2>/dev/null || true
  exit 1
fi
