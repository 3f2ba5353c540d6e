# What this machine can run, for every script that starts Windows programs.
# Source it.
#
# Some machines of our kind run no 32-bit x86 code at all (the kernel's
# 32-bit emulation is off: "Exec format error"), Wine's 32-bit loader
# included. There the Wine tests run on the 64-bit twin of the program and
# the shipped 32-bit exe is checked without being run. KESTROVA_WINE_ARCH=x64
# makes any machine behave as such a one.

# kestrova_wine_arch: prints x86 where the 32-bit exe can run under Wine,
# x64 where only the 64-bit twin can.
kestrova_wine_arch() {
  case "${KESTROVA_WINE_ARCH:-}" in
    x64) echo x64; return ;;
    '') ;;
    *) echo "KESTROVA_WINE_ARCH: '$KESTROVA_WINE_ARCH' is not x64 (or unset)" >&2; return 2 ;;
  esac
  if kestrova_runs_32bit_code; then
    echo x86
  elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    # A probe that fails where Wine's 32-bit loader runs would quietly
    # leave the shipped exe untested.
    echo "machine.sh: the 32-bit probe failed, yet Wine's 32-bit loader runs" >&2
    return 2
  else
    echo x64
  fi
}

# kestrova_runs_32bit_code: runs a 32-bit program made of nothing but an
# exit(42) system call; true when it ran. Names of packages or kernels say
# nothing certain about it; running one does.
kestrova_runs_32bit_code() {
  local probe status
  probe=$(mktemp /tmp/kestrova-i386.XXXXXX) || return 1
  # ELF header, one loadable segment, then: push 42; pop ebx; mov eax, 1; int 0x80
  printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0'"$(
    )"'\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\0\0\x80\x04\x08'"$(
    )"'\0\x80\x04\x08\x5e\0\0\0\x5e\0\0\0\x05\0\0\0\0\x10\0\0\x6a\x2a\x5b\xb8\x01\0\0\0\xcd\x80' \
    >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  [ $status -eq 42 ]
}
