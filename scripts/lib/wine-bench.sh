# Shared by the run command and the Wine tests: a throwaway Wine prefix on
# its own X display. Source it, then call bench_start; bench_stop runs on exit.
#
# KESTROVA_WINE_BITS (32, the default, or 64) is the build whose programs
# the bench runs: 32 in a win32 prefix, 64 (the twin) in a win64 one. A test
# of the 32-bit build on a machine that runs no 32-bit code is skipped
# (exit 77) with its reason: the twin's run of it stands in for it.
source "$(dirname "${BASH_SOURCE[0]}")/machine.sh"

bench_start() {
  bench_choose_wine
  BENCH_DIR=$(mktemp -d /tmp/kestrova-wine.XXXXXX)
  trap bench_stop EXIT
  export WINEPREFIX="$BENCH_DIR/prefix" WINEDEBUG=-all
  # With both set Wine takes code page 932 even without the glibc locale.
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko prompts
  if [ -z "${DISPLAY:-}" ] || [ -n "${BENCH_OWN_DISPLAY:-}" ]; then
    bench_start_xvfb
  fi
  wine wineboot --init >/dev/null 2>&1
  # A virtual desktop draws window frames, as Windows does.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  # Another screen DPI when asked for (BENCH_DPI=144).
  if [ -n "${BENCH_DPI:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$BENCH_DPI" /f >/dev/null 2>&1
  fi
  # A drive D: of its own, for running the program at the root of a drive.
  mkdir -p "$BENCH_DIR/drive_d"
  ln -sfn "$BENCH_DIR/drive_d" "$WINEPREFIX/dosdevices/d:"
  wineserver -w
}

# Wine's own wrapper starts the 32-bit loader whenever it is installed, even
# where it can't run: for the twin, `wine` (and the tools that go through it)
# is the 64-bit loader, named here and nowhere else.
bench_choose_wine() {
  case "${KESTROVA_WINE_BITS:-32}" in
    32)
      local arch
      arch=$(kestrova_wine_arch) || exit $?
      if [ "$arch" = x64 ]; then
        echo "SKIP: this machine runs no 32-bit code; the 64-bit build's run of this test stands in for it"
        exit 77
      fi
      export WINEARCH=win32
      ;;
    64)
      export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
      wine() { "$WINELOADER" "$@"; }
      winepath() { "$WINELOADER" winepath.exe "$@"; }
      ;;
    *) echo "wine-bench: KESTROVA_WINE_BITS is 32 or 64, not '$KESTROVA_WINE_BITS'" >&2; exit 2 ;;
  esac
}

bench_start_xvfb() {
  local fd_file="$BENCH_DIR/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" 2>/dev/null &
  BENCH_XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$fd_file" ] && break
    sleep 0.1
  done
  [ -s "$fd_file" ] || { echo "wine-bench: Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$(head -n1 "$fd_file")"
}

# Both service keys present with Start = 3, as on an office PC.
bench_seed_services() {
  local service
  for service in Flpydisk USBSTOR; do
    wine reg add "HKLM\\SYSTEM\\CurrentControlSet\\Services\\$service" /v Start /t REG_DWORD \
      /d "${1:-3}" /f >/dev/null 2>&1
  done
}

bench_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  [ -n "${BENCH_XVFB_PID:-}" ] && kill "$BENCH_XVFB_PID" 2>/dev/null || true
  [ -n "${BENCH_DIR:-}" ] && rm -rf "$BENCH_DIR"
  return 0
}
