# Named checks for the package tests. Source it; `check NAME COMMAND...` runs
# the command and prints "ok" or "FAIL" before the name, `checks_done` prints
# the count and fails when any check failed.
passed=0
failed=0
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

checks_done() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
