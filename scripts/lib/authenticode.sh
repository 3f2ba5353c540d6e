# Authenticode (SHA-256) signing for scripts/package, with osslsigncode.
# Source it. The key comes one of two ways, never both:
#   KESTROVA_SIGN_PKCS12          a PKCS#12 file with the certificate and key
#                                 (older certificates, private authorities)
#   KESTROVA_SIGN_PKCS11_MODULE   the PKCS#11 module of a token or HSM,
#   KESTROVA_SIGN_PKCS11_KEY      the key's pkcs11: URI on it, and
#   KESTROVA_SIGN_CERTS           the certificate chain, PEM, signer first
# KESTROVA_SIGN_PASSWORD_FILE names a file holding the PKCS#12 password or
# the token's PIN; it is only ever handed over by that name, so the secret
# shows on no command line and in no output. KESTROVA_SIGN_TIMESTAMP_URL,
# when set, names an RFC 3161 timestamp server.
# Every failure stops with one line on stderr.

sign_fail() {
  echo "package: $*" >&2
  exit 1
}

sign_pkcs11_given() {
  [ -n "${KESTROVA_SIGN_PKCS11_MODULE:-}${KESTROVA_SIGN_PKCS11_KEY:-}${KESTROVA_SIGN_CERTS:-}" ]
}

sign_requested() {
  [ -n "${KESTROVA_SIGN_PKCS12:-}${KESTROVA_SIGN_PASSWORD_FILE:-}" ] || sign_pkcs11_given
}

# Whether a PE file or an MSI carries a signature already.
sign_is_signed() { # FILE WORKDIR
  osslsigncode extract-signature -in "$1" -out "$2/extracted.sig" >/dev/null 2>&1
}

# Checks what is given before anything is signed, so that a missing piece, a
# wrong password or an unfit certificate is named as such rather than as a
# failed signature. Leaves the signer's certificate in WORKDIR/signer.pem.
sign_check_certificate() { # WORKDIR
  if sign_pkcs11_given; then
    [ -z "${KESTROVA_SIGN_PKCS12:-}" ] ||
      sign_fail "give one key to sign with: KESTROVA_SIGN_PKCS12 or the KESTROVA_SIGN_PKCS11_ variables, not both"
    sign_check_pkcs11 "$1"
    sign_check_signer "$1" "the signer's certificate in $KESTROVA_SIGN_CERTS"
  else
    sign_check_pkcs12 "$1"
    sign_check_signer "$1" "the certificate $KESTROVA_SIGN_PKCS12"
  fi
}

sign_check_password_file() {
  local password=$KESTROVA_SIGN_PASSWORD_FILE
  [ -f "$password" ] && [ -r "$password" ] || sign_fail "cannot read the password file $password"
}

sign_check_pkcs12() { # WORKDIR
  local p12=${KESTROVA_SIGN_PKCS12:-} password=${KESTROVA_SIGN_PASSWORD_FILE:-}
  local signer=$1/signer.pem
  [ -n "$p12" ] || sign_fail "to sign, also set KESTROVA_SIGN_PKCS12, or KESTROVA_SIGN_PKCS11_MODULE," \
    "KESTROVA_SIGN_PKCS11_KEY and KESTROVA_SIGN_CERTS"
  [ -n "$password" ] || sign_fail "to sign, set both KESTROVA_SIGN_PKCS12 and KESTROVA_SIGN_PASSWORD_FILE"
  [ -f "$p12" ] && [ -r "$p12" ] || sign_fail "cannot read the certificate $p12"
  sign_check_password_file
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
}

sign_check_pkcs11() { # WORKDIR
  local variable missing=()
  for variable in KESTROVA_SIGN_PKCS11_MODULE KESTROVA_SIGN_PKCS11_KEY KESTROVA_SIGN_CERTS \
    KESTROVA_SIGN_PASSWORD_FILE; do
    [ -n "${!variable:-}" ] || missing+=("$variable")
  done
  [ ${#missing[@]} -eq 0 ] ||
    sign_fail "to sign with a PKCS#11 key, also set $(sign_join "${missing[@]}")"
  local module=$KESTROVA_SIGN_PKCS11_MODULE key=$KESTROVA_SIGN_PKCS11_KEY certs=$KESTROVA_SIGN_CERTS
  [ -f "$module" ] && [ -r "$module" ] || sign_fail "cannot read the PKCS#11 module $module"
  # The URI is not shown: it may hold what must stay secret.
  [[ $key == pkcs11:* ]] || sign_fail "KESTROVA_SIGN_PKCS11_KEY is no pkcs11: URI"
  [[ $key != *pin-value=* && $key != *pin-source=* ]] ||
    sign_fail "KESTROVA_SIGN_PKCS11_KEY holds a PIN; give it in KESTROVA_SIGN_PASSWORD_FILE"
  [ -f "$certs" ] && [ -r "$certs" ] || sign_fail "cannot read the certificate chain $certs"
  sign_check_password_file
  openssl x509 -in "$certs" -out "$1/signer.pem" 2>/dev/null ||
    sign_fail "the certificate chain $certs holds no PEM certificate"
}

# "A", "A and B", "A, B and C".
sign_join() { # WORD...
  local last=${*: -1}
  [ $# -gt 1 ] || { echo "$last"; return; }
  local rest
  rest=$(printf '%s, ' "${@:1:$#-1}")
  echo "${rest%, } and $last"
}

sign_check_signer() { # WORKDIR WHAT
  openssl x509 -in "$1/signer.pem" -noout -ext extendedKeyUsage 2>/dev/null | grep -q 'Code Signing' ||
    sign_fail "$2 is not for code signing (its extended key usage lacks codeSigning)"
  openssl x509 -in "$1/signer.pem" -noout -checkend 0 >/dev/null || sign_fail "$2 has expired"
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
  local args=(sign)
  if sign_pkcs11_given; then
    args+=(-pkcs11module "$KESTROVA_SIGN_PKCS11_MODULE" -key "$KESTROVA_SIGN_PKCS11_KEY"
      -certs "$KESTROVA_SIGN_CERTS")
  else
    args+=(-pkcs12 "$KESTROVA_SIGN_PKCS12")
  fi
  args+=(-readpass "$KESTROVA_SIGN_PASSWORD_FILE" -h sha256 -n Kestrova)
  if [ -n "${KESTROVA_SIGN_TIMESTAMP_URL:-}" ]; then
    args+=(-ts "$KESTROVA_SIGN_TIMESTAMP_URL")
  else
    args+=(-time "$3")
  fi
  local log=$2.log
  if ! osslsigncode "${args[@]}" -in "$1" -out "$2.partial" >"$log" 2>&1; then
    rm -f "$2.partial"
    sign_fail "signing $(basename "$1") failed: $(sign_failure_reason "$log")"
  fi
  mv "$2.partial" "$2"
}

# What an osslsigncode log says went wrong, in one line.
sign_failure_reason() { # LOG
  if grep -q 'PIN incorrect' "$1"; then
    echo "wrong PIN for the key (in $KESTROVA_SIGN_PASSWORD_FILE)"
  elif grep -q 'PIN locked' "$1"; then
    echo "the token's PIN is locked"
  elif grep -q 'consistency of a private key' "$1"; then
    echo "the first certificate in $KESTROVA_SIGN_CERTS is not the key's"
  else
    # osslsigncode ends with a bare "Failed" and may begin with the engine it
    # set; the line that says why is between.
    grep -v -e '^Failed$' -e '^$' -e '^Engine "pkcs11" set' "$1" | head -n1
  fi
}
