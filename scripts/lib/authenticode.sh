# Authenticode (SHA-256) signing for scripts/package, with osslsigncode.
# Source it. The certificate is a PKCS#12 file named by KESTROVA_SIGN_PKCS12
# and a file holding its password named by KESTROVA_SIGN_PASSWORD_FILE; the
# password is only ever handed over by that file's name, so it shows on no
# command line and in no output. KESTROVA_SIGN_TIMESTAMP_URL, when set, names
# an RFC 3161 timestamp server.
# Every failure stops with one line on stderr.

sign_fail() {
  echo "package: $*" >&2
  exit 1
}

sign_requested() {
  [ -n "${KESTROVA_SIGN_PKCS12:-}${KESTROVA_SIGN_PASSWORD_FILE:-}" ]
}

# Whether a PE file or an MSI carries a signature already.
sign_is_signed() { # FILE WORKDIR
  osslsigncode extract-signature -in "$1" -out "$2/extracted.sig" >/dev/null 2>&1
}

# Opens the certificate before anything is signed, so that a wrong password
# or an unfit certificate is named as such rather than as a failed signature.
# Leaves the signer's certificate in WORKDIR/signer.pem.
sign_check_certificate() { # WORKDIR
  local p12=${KESTROVA_SIGN_PKCS12:-} password=${KESTROVA_SIGN_PASSWORD_FILE:-}
  local signer=$1/signer.pem
  [ -n "$p12" ] && [ -n "$password" ] ||
    sign_fail "to sign, set both KESTROVA_SIGN_PKCS12 and KESTROVA_SIGN_PASSWORD_FILE"
  [ -f "$p12" ] && [ -r "$p12" ] || sign_fail "cannot read the certificate $p12"
  [ -f "$password" ] && [ -r "$password" ] || sign_fail "cannot read the password file $password"
  # Older PKCS#12 files use ciphers that OpenSSL 3 keeps in its legacy provider.
  local legacy
  for legacy in "" -legacy; do
    # shellcheck disable=SC2086 # $legacy is one option or none
    openssl pkcs12 $legacy -in "$p12" -passin "file:$password" -nokeys -clcerts -out "$signer" \
      2>"$1/openssl.log" && [ -s "$signer" ] && break
    rm -f "$signer"
  done
  if [ ! -s "$signer" ]; then
    grep -q 'Mac verify error' "$1/openssl.log" &&
      sign_fail "wrong password for the certificate $p12 (in $password)"
    sign_fail "the certificate $p12 is not a PKCS#12 file with a certificate in it"
  fi
  openssl x509 -in "$signer" -noout -ext extendedKeyUsage 2>/dev/null | grep -q 'Code Signing' ||
    sign_fail "the certificate $p12 is not for code signing (its extended key usage lacks codeSigning)"
  openssl x509 -in "$signer" -noout -checkend 0 >/dev/null ||
    sign_fail "the certificate $p12 has expired"
}

# The signer's name, for the closing line.
sign_signer_name() { # WORKDIR
  openssl x509 -in "$1/signer.pem" -noout -subject -nameopt multiline |
    sed -n 's/^ *commonName *= //p'
}

# Signs IN into OUT, which only appears when the signature succeeded. Without
# a timestamp server the signing time is EPOCH, so that the same inputs and
# certificate give the same bytes.
sign_file() { # IN OUT EPOCH
  local args=(sign -pkcs12 "$KESTROVA_SIGN_PKCS12" -readpass "$KESTROVA_SIGN_PASSWORD_FILE"
    -h sha256 -n Kestrova)
  if [ -n "${KESTROVA_SIGN_TIMESTAMP_URL:-}" ]; then
    args+=(-ts "$KESTROVA_SIGN_TIMESTAMP_URL")
  else
    args+=(-time "$3")
  fi
  local log=$2.log
  if ! osslsigncode "${args[@]}" -in "$1" -out "$2.partial" >"$log" 2>&1; then
    rm -f "$2.partial"
    # osslsigncode ends with a bare "Failed"; the line that says why is before it.
    sign_fail "signing $(basename "$1") failed: $(grep -v -e '^Failed$' -e '^$' "$log" | head -n1)"
  fi
  mv "$2.partial" "$2"
}
