#!/usr/bin/env bash
# Start-up bench: how long vantorel.exe takes under Wine from process creation
# to its main window shown with its options selected, beside two yardsticks
# of ours in the same fresh prefix on its own Xvfb:
#   fair_floor    the same window at the least it can cost (bench/fair_floor.cpp)
#   empty_window  an empty window, the least any window costs
# The three run interleaved, in turns, so that a busy spell of the machine
# weighs on all of them; the whole comparison is repeated in blocks. For each
# block it prints the medians and the paired ratios (run i of one over run i
# of the other, median and quartiles), then the spread of those ratios over
# the blocks, the exe's size and its DLL imports, and each budget with "ok"
# or "over". It reports; it does not fail on a budget.
#
#   bench/startup.sh                         # 3 blocks of 20 runs each, turns of 2
#   BENCH_BLOCKS=5 BENCH_RUNS=30 BENCH_TURN=1 bench/startup.sh
set -euo pipefail
cd "$(dirname "$0")/.."

blocks=${BENCH_BLOCKS:-3}
runs=${BENCH_RUNS:-20}
warmups=${BENCH_WARMUPS:-2}
turn=${BENCH_TURN:-2}
ratio_budget=1.05

scripts/build >/dev/null
shipped=dist/vantorel.exe
source scripts/lib/wine-bench.sh
source scripts/lib/exe-size.sh
source scripts/lib/exe-imports.sh

# Where no 32-bit code runs, the twin is timed against a fair floor and an
# empty window of its own bits: the ratio is what compares, never the times.
build=build/win32
exe=$shipped
arch=$(kestrova_wine_arch) || exit $?
if [ "$arch" = x64 ]; then
  export KESTROVA_WINE_BITS=64
  build=build/win64
  exe=$build/src/vantorel.exe
  echo "startup: this machine runs no 32-bit code: timing the 64-bit build beside a 64-bit fair floor"
fi
BENCH_OWN_DISPLAY=1 bench_start
bench_seed_services 3

# All three side by side on drive C:, the product with its help file.
dir="$WINEPREFIX/drive_c/bench"
mkdir -p "$dir"
cp "$exe" dist/help.htm "$build/bench/fair_floor.exe" "$build/bench/empty_window.exe" "$dir/"
timer=$build/bench/launch_timer.exe

echo "startup: $blocks blocks of $runs runs each after $warmups warm-ups, in turns of $turn;" \
  "$(wine --version), $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg)"

# One block's timer output: "run LABEL I MS" lines, a median line per program.
time_block() { # OUT
  wine "$timer" --block "$turn" \
    'C:\bench\vantorel.exe' Kestrova "$runs" "$warmups" 1 \
    'C:\bench\fair_floor.exe' Kestrova "$runs" "$warmups" 1 \
    'C:\bench\empty_window.exe' Empty "$runs" "$warmups" 0 >"$1" ||
    { cat "$1"; echo "startup: the timer failed" >&2; exit 1; }
}

# Per block: the medians, and each paired ratio as median [lower quartile,
# upper quartile]. With "all", the same over every block's runs, paired
# within their block, and the ratios' spread over the blocks.
summarise='
  function sort(a, n,   i, j, x) {
    for (i = 2; i <= n; i++) { x = a[i]; for (j = i - 1; j > 0 && a[j] > x; j--) a[j + 1] = a[j]; a[j + 1] = x }
  }
  function quantile(a, n, q,   p, i) { p = 1 + (n - 1) * q; i = int(p); return i < n ? a[i] + (p - i) * (a[i + 1] - a[i]) : a[n] }
  function ratios(top, bottom, r,   n, k) {
    for (k in pairs) { split(k, key, SUBSEP); if (key[2] == top) { n++; r[n] = t[top, key[1], key[3]] / t[bottom, key[1], key[3]] } }
    sort(r, n); return n
  }
  function median_of(label,   v, n, k) {
    for (k in t) { split(k, key, SUBSEP); if (key[1] == label) v[++n] = t[k] }
    sort(v, n); return quantile(v, n, 0.5)
  }
  function show(name,   r, n, s) {
    printf "%-6s %9.2f %10.2f %12.2f", name, median_of("vantorel.exe"), median_of("fair_floor.exe"), median_of("empty_window.exe")
    n = ratios("vantorel.exe", "fair_floor.exe", r)
    printf "   %.3f [%.3f, %.3f]", quantile(r, n, 0.5), quantile(r, n, 0.25), quantile(r, n, 0.75)
    s = quantile(r, n, 0.5)
    n = ratios("fair_floor.exe", "empty_window.exe", r)
    printf "   %.3f [%.3f, %.3f]\n", quantile(r, n, 0.5), quantile(r, n, 0.25), quantile(r, n, 0.75)
    return s
  }
  # + 0: the timer ends its lines with CR LF, which would make them strings.
  $1 == "run" { t[$2, FILENAME, $3] = $4 + 0; pairs[FILENAME, $2, $3] = 1 }
'
printf "%-6s %9s %10s %12s   %-23s   %s\n" block vantorel fair_floor empty_window \
  "vantorel/fair_floor" "fair_floor/empty_window"
block_ratios=()
for b in $(seq "$blocks"); do
  out="$BENCH_DIR/block$b.txt"
  time_block "$out"
  line=$(awk -v name="$b" "$summarise"' END { show(name) }' "$out")
  echo "$line"
  block_ratios+=("$(awk '{ print $5 }' <<<"$line")")
done
all=$(awk "$summarise"' END { show("all") }' "$BENCH_DIR"/block*.txt)
echo "$all"
echo "(medians in ms; ratios: median [quartiles] of the runs paired by turn)"
spread=$(printf '%s\n' "${block_ratios[@]}" | sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.3f to %.3f", lo, hi }')
echo "vantorel/fair_floor over the blocks: $spread"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"

# The shipped exe's size and imports, read without running it.
echo "DLL imports of $shipped: $(kestrova_exe_imports "$shipped" | paste -sd' ')"
foreign=$(kestrova_foreign_imports "$shipped")

ratio=$(awk '{ print $5 }' <<<"$all")
verdict() { if [ "$1" = 1 ]; then echo ok; else echo over; fi; }
echo "budget startup vantorel/fair_floor <= $ratio_budget: $ratio" \
  "$(verdict "$(awk -v r="$ratio" -v m="$ratio_budget" 'BEGIN { print (r <= m) }')")"
echo "budget $(kestrova_exe_size "$shipped")"
echo "budget system DLLs only: ${foreign:-none outside the system set}" \
  "$(verdict "$([ -z "$foreign" ] && echo 1 || echo 0)")"
