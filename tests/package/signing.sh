# What the signing checks share. Source it after checks.sh, with work set to
# the check's own temporary folder and pki to a folder in it for the
# certificates.

# No key of the caller's own: put before a command.
unsigned=(env -u KESTROVA_SIGN_PKCS12 -u KESTROVA_SIGN_PASSWORD_FILE -u KESTROVA_SIGN_TIMESTAMP_URL
  -u KESTROVA_SIGN_PKCS11_MODULE -u KESTROVA_SIGN_PKCS11_KEY -u KESTROVA_SIGN_CERTS)

# A throwaway certificate authority: pki/ca.key and pki/ca.pem.
signing_authority() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Kestrova Test CA' \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign \
    -keyout "$pki/ca.key" -out "$pki/ca.pem" 2>/dev/null
}

# A key and a certificate the authority issues for it: pki/NAME.key and
# pki/NAME.pem, "CN=Kestrova Test NAME", issued at DATE when given.
signing_issue() { # NAME EXTENDED_KEY_USAGE [DATE]
  local name=$1 usage=$2 at=${3:-}
  openssl req -newkey rsa:2048 -nodes -subj "/CN=Kestrova Test $name" \
    -keyout "$pki/$name.key" -out "$pki/$name.csr" 2>/dev/null
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' \
    "$usage" >"$pki/$name.ext"
  ${at:+faketime "$at"} openssl x509 -req -in "$pki/$name.csr" -CA "$pki/ca.pem" -CAkey "$pki/ca.key" \
    -CAcreateserial -days 2 -extfile "$pki/$name.ext" -out "$pki/$name.pem" 2>/dev/null
}

# openssl and osslsigncode as scripts/package runs them, each command line
# written to work/command-lines: put work/bin first in PATH.
signing_record_command_lines() {
  mkdir "$work/bin"
  local tool
  for tool in openssl osslsigncode; do
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\nexec "%s" "$@"\n' \
      "$work/command-lines" "$(command -v "$tool")" >"$work/bin/$tool"
    chmod +x "$work/bin/$tool"
  done
}

# Whether osslsigncode accepts FILE's signature as issued by CA (default the
# throwaway authority); what it said goes to work/NAME.verify.
verify() { # FILE [CA]
  osslsigncode verify -CAfile "${2:-$pki/ca.pem}" -in "$1" >"$work/$(basename "$1").verify" 2>&1
}

# FILE verifies, SHA-256, signed by "Kestrova Test signer" at 2023-11-14
# 22:13:20 UTC (SOURCE_DATE_EPOCH=1700000000). Shows what osslsigncode said.
verified_sha256_at_epoch() { # FILE
  local said=$work/$(basename "$1").verify
  verify "$1"
  local status=$?
  echo "  osslsigncode verify -CAfile ca.pem -in $(basename "$1"):"
  sed 's/^/  | /' "$said"
  [ $status -eq 0 ] && grep -q '^Message digest algorithm *: SHA256' "$said" &&
    grep -q 'Signing time: Nov 14 22:13:20 2023 GMT' "$said" &&
    grep -q 'Subject: /CN=Kestrova Test signer' "$said"
}

# What a folder holds, hidden files too.
snapshot() { (cd "$1" && ls -A && sha256sum ./*); }

# A packaging into OUT that must fail with one line on stderr that says WHAT
# and leave OUT as it was.
fails_with() { # WHAT OUT COMMAND...
  local what=$1 out=$2 before
  shift 2
  before=$(snapshot "$out")
  "$@" >"$out.log" 2>"$out.errors" && { echo "  succeeded"; return 1; }
  [ "$(wc -l <"$out.errors")" -eq 1 ] && grep -q "^package: .*$what" "$out.errors" ||
    { echo "  said: $(head -c 300 "$out.errors")"; return 1; }
  echo "  said: $(cat "$out.errors")"
  [ "$before" = "$(snapshot "$out")" ]
}

# A packaging by the check's own "package OUT [VARIABLE=VALUE...]" that
# must be refused with one line that says WHAT, into a folder holding the
# packages of an earlier run (work/unsigned), which stay as they were.
refusals=0
refused() { # NAME WHAT VARIABLE=VALUE...
  local name=$1 what=$2 out
  shift 2
  refusals=$((refusals + 1))
  out=$work/refused-$refusals
  mkdir "$out" && cp "$work/unsigned"/* "$out/"
  check "$name: one line, no package" fails_with "$what" "$out" package "$out" "$@"
}

# SECRET shows on no command line written down and in no output in work/;
# each OPTION, the way it is handed over, was used.
secret_kept() { # SECRET OPTION...
  local secret=$1 option
  shift
  for option in "$@"; do
    grep -q -- "$option" "$work/command-lines" ||
      { echo "  no command line with $option was written down"; return 1; }
  done
  ! grep -rlF -- "$secret" "$work/command-lines" "$work"/*.log "$work"/*.errors
}
