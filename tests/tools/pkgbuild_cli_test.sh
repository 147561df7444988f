#!/usr/bin/env bash
# The pkgbuild command line: list files and folders as inputs, deterministic
# output, and failures that name the entry and leave the previous output alone.
#   pkgbuild_cli_test.sh PKGBUILD
set -euo pipefail
PKGBUILD="$1"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

mkdir -p "$WORK/payload/sub" "$WORK/lists"
printf 'notes' > "$WORK/payload/汉化说明.txt"
printf 'bbb' > "$WORK/payload/b.dat"
printf 'sub' > "$WORK/payload/sub/a.dat"
: > "$WORK/payload/empty.dat"

# A list's source paths are relative to the list's folder, not to the caller's.
printf '汉化说明.txt\t../payload/汉化说明.txt\r\ndata\\a.dat\t../payload/sub/a.dat\n\n' > "$WORK/lists/good.list"
(cd / && "$PKGBUILD" -o "$WORK/list.pkg" --list "$WORK/lists/good.list") || fail "list build failed"
header="$(head -c 20 "$WORK/list.pkg" | od -An -tx1 | tr -d ' \n')"
[ "$header" = "53657475705061636b6167650000010002000000" ] || fail "list package header $header"

# A folder becomes backslash-separated names in code point order.
"$PKGBUILD" -o "$WORK/dir.pkg" --dir "$WORK/payload" --emit-list "$WORK/dir.list" || fail "folder build failed"
names="$(cut -f1 "$WORK/dir.list" | tr '\n' ' ')"
[ "$names" = 'b.dat empty.dat sub\a.dat 汉化说明.txt ' ] || fail "folder order: $names"
"$PKGBUILD" -o "$WORK/dir2.pkg" --dir "$WORK/payload" || fail "second folder build failed"
cmp -s "$WORK/dir.pkg" "$WORK/dir2.pkg" || fail "same folder, different bytes"

# Failures: exit 1, a message naming the entry or line, the old output kept, no temporary left.
cp "$WORK/dir.pkg" "$WORK/keep.pkg"
expect_failure() { # LISTCONTENT EXPECTED-MESSAGE-PART
  printf "$1" > "$WORK/lists/bad.list"
  local status=0
  "$PKGBUILD" -o "$WORK/keep.pkg" --list "$WORK/lists/bad.list" 2> "$WORK/err" || status=$?
  [ "$status" = 1 ] || fail "exit status $status for: $1"
  grep -qF -- "$2" "$WORK/err" || fail "message for '$1' lacks '$2': $(cat "$WORK/err")"
  cmp -s "$WORK/keep.pkg" "$WORK/dir.pkg" || fail "output changed by a failed build of: $1"
}
expect_failure 'CON\t../payload/b.dat\n' 'entry "CON"'
expect_failure 'a.dat\t../payload/b.dat\nA.DAT\t../payload/b.dat\n' 'entry "A.DAT": equals entry "a.dat"'
expect_failure 'x.dat\t../payload/missing.dat\n' 'entry "x.dat": cannot open'
expect_failure 'ok.dat\t../payload/b.dat\nno tab here\n' 'bad.list:2:'
expect_failure '..\\up.dat\t../payload/b.dat\n' 'entry "..\up.dat"'
leftovers="$(find "$WORK" -name '*.tmp*')"
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"

status=0
"$PKGBUILD" -o "$WORK/x.pkg" 2>/dev/null || status=$?
[ "$status" = 1 ] || fail "missing input accepted"

[ "$failures" = 0 ] && echo "pkgbuild command line: all checks passed"
exit "$failures"
