#!/usr/bin/env bash
# Start-up bench: how long vantorel.exe takes under Wine from process creation
# to its main window shown with its options selected, beside the floor, an
# empty window of ours, in a fresh prefix on its own Xvfb. Prints the medians
# and their ratio, the exe's size and its DLL imports, and each budget with
# "ok" or "over". It reports; it does not fail on a budget.
#
#   bench/startup.sh                 # 25 runs each after 3 warm-ups, in blocks of 2
#   BENCH_RUNS=40 BENCH_BLOCK=1 bench/startup.sh
#
# "Ready" is the same for both: a visible window with the title that answers
# a message; for vantorel also one option checked in each frame. The runs of
# the two alternate in blocks, so a busy spell of the machine weighs on both;
# run i of one is paired with run i of the other, and the median of those
# pairs' ratios is printed beside the ratio of the medians.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${BENCH_RUNS:-25}
warmups=${BENCH_WARMUPS:-3}
block=${BENCH_BLOCK:-2}
ratio_budget=1.10
system_dlls="kernel32 user32 gdi32 advapi32 shell32 comctl32 ole32 msvcrt"

scripts/build >/dev/null
exe=dist/vantorel.exe
floor=build/win32/bench/floor_window.exe
timer=build/win32/bench/launch_timer.exe

source scripts/lib/wine-bench.sh
source scripts/lib/exe-size.sh
BENCH_OWN_DISPLAY=1 bench_start
bench_seed_services 3

# Both programs side by side on drive C:, the product with its help file.
dir="$WINEPREFIX/drive_c/bench"
mkdir -p "$dir"
cp "$exe" dist/help.htm "$floor" "$dir/"

echo "startup: $runs runs each after $warmups warm-ups, in blocks of $block;" \
  "$(wine --version), $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg)"
out="$BENCH_DIR/timer.txt"
wine "$timer" --block "$block" \
  'C:\bench\vantorel.exe' Kestrova "$runs" "$warmups" 1 \
  'C:\bench\floor_window.exe' Floor "$runs" "$warmups" 0 >"$out" ||
  { cat "$out"; echo "startup: the timer failed" >&2; exit 1; }

# The runs, two columns: vantorel and floor, in ms.
awk '$1 == "run" { t[$2, $3] = $4; if ($3 > n) n = $3 }
     END { printf "%4s %10s %10s\n", "run", "vantorel", "floor"
           for (i = 1; i <= n; i++)
             printf "%4d %10s %10s\n", i, t["vantorel.exe", i], t["floor_window.exe", i] }' "$out"
awk '$1 == "median" { printf "%-17s median %8.2f ms  (min %.2f, max %.2f, n %d)\n", $2, $3, $5, $7, $9 }' "$out"
product_ms=$(awk '$1 == "median" && $2 == "vantorel.exe" { print $3 }' "$out")
floor_ms=$(awk '$1 == "median" && $2 == "floor_window.exe" { print $3 }' "$out")
ratio=$(awk -v a="$product_ms" -v b="$floor_ms" 'BEGIN { printf "%.3f", a / b }')
paired=$(awk '$1 == "run" { t[$2, $3] = $4; if ($3 > n) n = $3 }
  END { for (i = 1; i <= n; i++) r[i] = t["vantorel.exe", i] / t["floor_window.exe", i]
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (r[j] < r[i]) { x = r[i]; r[i] = r[j]; r[j] = x }
        printf "%.3f", n % 2 ? r[(n + 1) / 2] : (r[n / 2] + r[n / 2 + 1]) / 2 }' "$out")
echo "ratio vantorel/floor: $ratio (median of the paired runs' ratios: $paired)"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"

imports=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name/ { print $3 }')
echo "DLL imports: $(paste -sd' ' <<<"$imports")"
foreign=
for dll in $imports; do
  name=$(echo "${dll%.*}" | tr '[:upper:]' '[:lower:]')
  [[ " $system_dlls " == *" $name "* ]] || foreign+="${foreign:+ }$dll"
done

verdict() { if [ "$1" = 1 ]; then echo ok; else echo over; fi; }
echo "budget startup ratio <= $ratio_budget: $ratio" \
  "$(verdict "$(awk -v r="$ratio" -v m="$ratio_budget" 'BEGIN { print (r <= m) }')")"
echo "budget $(kestrova_exe_size "$exe")"
echo "budget system DLLs only: ${foreign:-none outside the system set}" \
  "$(verdict "$([ -z "$foreign" ] && echo 1 || echo 0)")"
