#!/usr/bin/env bash
# Password-file bench: how long the store takes under Wine to judge a first
# line at the limit, one byte over it, and 100 MB without a line end.
# Prints figures; it does not fail on them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build >/dev/null
scripts/lib/run-in-wine build/win32/bench/password_read.exe
