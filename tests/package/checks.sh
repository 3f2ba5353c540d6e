# Named checks for the package tests. Source it; `check NAME COMMAND...` runs
# the command and prints "ok" or "FAIL" before the name, `skipped NAME REASON`
# counts a check that could not run here, `checks_done` prints the counts and
# fails when any check failed.
passed=0
failed=0
skips=0
check() { # NAME COMMAND...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok   $name"
  else
    failed=$((failed + 1))
    echo "FAIL $name"
  fi
}

skipped() { # NAME REASON
  skips=$((skips + 1))
  echo "SKIP $1: $2"
}

checks_done() {
  local skipped_count=
  [ "$skips" -eq 0 ] || skipped_count=", $skips skipped"
  echo "$passed passed, $failed failed$skipped_count"
  [ "$failed" -eq 0 ]
}
