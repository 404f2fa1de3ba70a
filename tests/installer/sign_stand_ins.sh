#!/usr/bin/env bash
# Signs the stand-in installer with each of the network rig's test signers, at
# test time, for the signature tests and the end-to-end tests:
#   sign_stand_ins.sh <project root> <rig dir> <fake_installer.exe>
# into <rig dir>/signed:
#   publisher.exe          the build's publisher ("Mevra Test Publisher")
#   publisher-padded.exe   the same, padded to 1 MiB in front of its signature
#   other.exe, untrusted.exe, expired.exe, server-only.exe (see tools/netrig)
#   publisher-stamped.exe, expired-stamped.exe, with a time stamp, where
#                          osslsigncode can stamp without a server (2.6 and later)
set -euo pipefail
root="$1" rig="$2" program="$3"
out="$rig/signed"
rm -rf "$out"
mkdir -p "$out"
sign() { "$root/tools/sign-installer" "$rig" "$@"; }

sign publisher "$program" "$out/publisher.exe"
sign publisher "$program" "$out/publisher-padded.exe" --size 1048576
for signer in other untrusted expired server-only; do
    sign "$signer" "$program" "$out/$signer.exe"
done
usage="$(osslsigncode --help 2>&1 || true)"
if [[ "$usage" == *-TSA-certs* ]]; then
    sign publisher "$program" "$out/publisher-stamped.exe" --stamp
    sign expired "$program" "$out/expired-stamped.exe" --stamp
else
    echo "this osslsigncode makes no time stamps without a server: the stamped files are left out"
fi
ls "$out"
