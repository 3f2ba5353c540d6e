# What this machine can run, for every script that starts Windows programs.
# Source it.
#
# Some machines of our kind run no 32-bit x86 code at all (the kernel's
# 32-bit emulation is off: "Exec format error"), Wine's 32-bit loader
# included. There the Wine tests run on the 64-bit twin of the program and
# the shipped 32-bit exe is checked without being run. KESTROVA_WINE_ARCH=x64
# makes any machine behave as such a one.
#
# The 32-bit Wine tests need two things: 32-bit code that runs natively, and
# Wine's own 32-bit loader. Both are tried; what answers the tests'
# question is what they need, not what a package list or a kernel name says.

kestrova_machine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# Where the probe is written and run: the build folder, since /tmp may be
# mounted noexec. The tests of this file point these elsewhere.
: "${KESTROVA_PROBE_DIR:=$kestrova_machine_root/build}"
: "${KESTROVA_WINE32_LOADER:=/usr/lib/wine/wine}"
: "${KESTROVA_BINFMT_DIR:=/proc/sys/fs/binfmt_misc}"

# kestrova_wine_arch: prints x86 where the 32-bit exe can run under Wine,
# x64 where only the 64-bit twin can; otherwise says why on stderr and
# returns 2. Callers stop then: arch=$(kestrova_wine_arch) || exit $?
kestrova_wine_arch() {
  case "${KESTROVA_WINE_ARCH:-}" in
    x64) echo x64; return ;;
    '') ;;
    *) echo "KESTROVA_WINE_ARCH: '$KESTROVA_WINE_ARCH' is not x64 (or unset)" >&2; return 2 ;;
  esac
  # Under an emulator the probe passes, and every 32-bit Wine test then
  # takes minutes a start and fails obscurely.
  if kestrova_i386_emulated; then
    echo x64
    return
  fi
  local probe=0 loader=0
  kestrova_run_probe || probe=$?
  "$KESTROVA_WINE32_LOADER" --version >/dev/null 2>&1 || loader=$?
  if [ $probe -eq 0 ] && [ $loader -eq 0 ]; then
    echo x86
  elif [ $loader -eq 0 ]; then
    # A probe that fails where Wine's 32-bit loader runs would quietly
    # leave the shipped exe untested.
    if [ $probe -eq $kestrova_probe_unwritten ]; then
      echo "machine.sh: the 32-bit probe could not be written in $KESTROVA_PROBE_DIR," \
        "yet Wine's 32-bit loader runs" >&2
    else
      echo "machine.sh: the 32-bit probe in $KESTROVA_PROBE_DIR exited $probe (42 means it ran)," \
        "yet Wine's 32-bit loader runs" >&2
    fi
    return 2
  else
    echo x64
  fi
}

# kestrova_i386_emulated: true when binfmt_misc hands 32-bit x86 programs
# to an emulator (qemu-i386): an enabled entry whose magic is an ELF of
# class 32 for machine 3 (i386).
kestrova_i386_emulated() {
  [ "$(head -n1 "$KESTROVA_BINFMT_DIR/status" 2>/dev/null)" = enabled ] || return 1
  local entry magic
  for entry in "$KESTROVA_BINFMT_DIR"/*; do
    case ${entry##*/} in status | register) continue ;; esac
    [ "$(head -n1 "$entry" 2>/dev/null)" = enabled ] || continue
    magic=$(sed -n 's/^magic //p' "$entry" 2>/dev/null)
    [ "${magic:0:10}" = 7f454c4601 ] && [ "${magic:36:4}" = 0300 ] && return 0
  done
  return 1
}

# kestrova_run_probe: runs a 32-bit program made of nothing but an exit(42)
# system call from the probe folder; returns 0 when it ran, else the status
# it ended with (126 where the folder forbids running programs), or
# kestrova_probe_unwritten where it could not be written there.
kestrova_probe_unwritten=125
kestrova_run_probe() {
  # Callers run it inside $(...), where $$ is the parent's PID: two at once
  # would share one file.
  local probe="$KESTROVA_PROBE_DIR/kestrova-i386-probe.$BASHPID" status
  mkdir -p "$KESTROVA_PROBE_DIR" 2>/dev/null
  # ELF header, one loadable segment, then: push 42; pop ebx; mov eax, 1; int 0x80
  printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0'"$(
    )"'\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\0\0\x80\x04\x08'"$(
    )"'\0\x80\x04\x08\x5e\0\0\0\x5e\0\0\0\x05\0\0\0\0\x10\0\0\x6a\x2a\x5b\xb8\x01\0\0\0\xcd\x80' \
    2>/dev/null >"$probe" || return $kestrova_probe_unwritten
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  [ $status -eq 42 ] && return 0
  return $((status == 0 ? 1 : status))
}
