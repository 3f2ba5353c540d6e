# The DLLs vantorel.exe may import, for its check in the tests and the bench
# alike. Source it. Only system DLLs, and only those a start needs: what a
# rare action needs (shell32 for help, secur32 for an event's account name)
# is loaded when that action happens.

kestrova_start_dlls="kernel32 user32 gdi32 advapi32 shell32 comctl32 ole32 msvcrt"

# kestrova_exe_imports EXE: prints the DLLs EXE imports, one a line.
kestrova_exe_imports() {
  i686-w64-mingw32-objdump -p "$1" | awk '/DLL Name/ { print $3 }'
}

# kestrova_foreign_imports EXE: prints the imported DLLs outside the set, on
# one line.
kestrova_foreign_imports() {
  local dll name foreign=
  for dll in $(kestrova_exe_imports "$1"); do
    name=$(echo "${dll%.*}" | tr '[:upper:]' '[:lower:]')
    [[ " $kestrova_start_dlls " == *" $name "* ]] || foreign+="${foreign:+ }$dll"
  done
  echo "$foreign"
}
