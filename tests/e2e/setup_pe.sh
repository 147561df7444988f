#!/usr/bin/env bash
# Checks the shipped program without running it, so that a host that cannot
# execute it still vouches for what it builds: machine type, GUI subsystem, no
# debug sections, and every resource the installer reads at run time.
#   setup_pe.sh OBJDUMP SETUP.EXE FILE-FORMAT   (FILE-FORMAT: pei-i386 or pei-x86-64)
set -euo pipefail
objdump=$1 exe=$2 format=$3

headers=$(mktemp)
trap 'rm -f "$headers"' EXIT
"$objdump" -p -h "$exe" >"$headers"

fail=0
expect() { # what, extended regular expression
  if ! grep -Eq -- "$2" "$headers"; then echo "setup_pe: $exe: $1 missing" >&2; fail=1; fi
}
expect "file format $format" "file format $format\$"
expect "Windows GUI subsystem" '^Subsystem[[:space:]]+00000002'
# Resource types: INSTALL 130 (the package), WAVE 129 (the tune), group icon 107, manifest 1.
expect "INSTALL resource" 'name: .*: INSTALL,'
expect "WAVE resource" 'name: .*: WAVE,'
expect "icon group" 'Entry: ID: 0x00000e,'
expect "manifest" 'Entry: ID: 0x000018,'
expect "package id 130" 'Entry: ID: 0x000082,'
expect "tune id 129" 'Entry: ID: 0x000081,'
expect "icon id 107" 'Entry: ID: 0x00006b,'
if grep -Eq '[[:space:]]\.debug' "$headers"; then
  echo "setup_pe: $exe carries debug sections" >&2; fail=1
fi
[ $fail -eq 0 ] && echo "setup_pe: $exe is a $format GUI program with its resources and no debug sections"
exit $fail
