# The version, read from src/product/version.h so that it is written in one place.
# Source it; the functions take the path of version.h.

# KESTROVA_VERSION_RESOURCE, e.g. 1.00: the packages' file names.
kestrova_version() {
  sed -n 's/^#define KESTROVA_VERSION_RESOURCE "\([0-9][0-9.]*\)"$/\1/p' "$1"
}

# The first three numbers of KESTROVA_VERSION_BINARY, e.g. 1.0.0: the MSI's
# ProductVersion (Windows Installer compares only three fields).
kestrova_msi_version() {
  sed -n 's/^#define KESTROVA_VERSION_BINARY \([0-9]*\), *\([0-9]*\), *\([0-9]*\), *[0-9]*$/\1.\2.\3/p' \
    "$1"
}
