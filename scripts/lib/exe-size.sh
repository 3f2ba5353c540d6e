# The size budget of vantorel.exe, for its check in the tests and the bench
# alike. Source it.

# 80 since USB 使用可 takes back only what the program's own record says it
# added, and Execute holds the change lock: the record's reading and writing,
# the rules of what to take back, and the put-back with what a failure leaves
# took about 11 KiB of code (the exe is 78 KiB).
kestrova_exe_budget_kib=80

# kestrova_exe_size EXE: prints the size beside the budget with "ok" or
# "over"; returns 1 when the file is over the budget or missing.
kestrova_exe_size() {
  local bytes
  bytes=$(stat -c %s "$1" 2>/dev/null) || { echo "exe size: no $1"; return 1; }
  local verdict=ok
  [ "$bytes" -le $((kestrova_exe_budget_kib * 1024)) ] || verdict=over
  echo "exe size: $bytes bytes ($(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1024 }') KiB)," \
    "budget $kestrova_exe_budget_kib KiB: $verdict"
  [ $verdict = ok ]
}
