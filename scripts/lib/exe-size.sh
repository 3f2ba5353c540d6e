# The size budget of vantorel.exe, for its check in the tests and the bench
# alike. Source it.

# 68 since the device installation restriction that keeps a new USB drive
# from undoing 使用禁止: reading its list, its rules and their put-back took
# about 5.5 KiB of code.
kestrova_exe_budget_kib=78

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
