#!/usr/bin/env bash
# The demo patch's notes against what the player sees and gets: the buttons'
# texts and the credits as the skin shows them, every file the payload replaces,
# and the size the notes give.
#   demo_notes.sh PAYLOAD_LIST SKIN_XML
set -uo pipefail
LIST="$1" SKIN_XML="$2"
DIR="$(dirname "$LIST")"
NOTES_NAME='汉化说明.txt'
NOTES_SOURCE="$DIR/$(grep -m1 -F "$NOTES_NAME	" "$LIST" | cut -f2)"
[ -f "$NOTES_SOURCE" ] || { echo "FAIL: the payload has no $NOTES_NAME" >&2; exit 1; }
NOTES=$(iconv -f UTF-16 -t UTF-8 "$NOTES_SOURCE" | tr -d '\r') || { echo "FAIL: the notes are not UTF-16" >&2; exit 1; }

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

button=$(perl -CSDA -0ne 'print $1 if /<Button\b[^>]*\bname="Install"[^>]*\btext="([^"]*)"/s' "$SKIN_XML")
[ -n "$button" ] || fail "no text on the skin's Install button"
grep -qF "“$button”" <<<"$NOTES" || fail "the notes do not name the button “$button”"
restore=$(perl -CSDA -0ne 'print $1 if /<Button\b[^>]*\bname="Restore"[^>]*\btext="([^"]*)"/s' "$SKIN_XML")
if [ -n "$restore" ]; then
  grep -qF "“$restore”" <<<"$NOTES" || fail "the notes do not name the restore button “$restore”"
fi

# Credits as the skin shows them ("{c ...}ROLE{/c} NAME · NAME　ROLE ...") against "ROLE：NAME、NAME" lines.
while IFS=$'\t' read -r role names; do
  line=$(grep -m1 "^$role：" <<<"$NOTES" | sed "s/^$role：//")
  [ "$line" = "$names" ] || fail "credits for $role: the skin says '$names', the notes say '$line'"
done < <(perl -CSDA -ne '
  next unless /\{c [^}]*\}翻译\{\/c\}/;
  /text="([^"]*)"/ or next;
  my $t = $1; $t =~ s/\{c [^}]*\}(.*?)\{\/c\}/\n$1\t/g;
  for my $part (split /\n/, $t) {
    my ($role, $names) = split /\t/, $part; next unless defined $names;
    $names =~ s/^\s+|[\s\x{3000}]+$//g; $names =~ s/\s*·\s*/、/g;
    print "$role\t$names\n";
  }' "$SKIN_XML")

total=0
while IFS=$'\t' read -r name source; do
  [ "$name" = "$NOTES_NAME" ] || grep -qF "$name" <<<"$NOTES" || fail "the notes do not mention $name"
  total=$((total + $(stat -c %s "$DIR/$source")))
done < "$LIST"
megabytes=$(( (total + 500000) / 1000000 ))
stated=$(grep -o '共约 [0-9]* MB' <<<"$NOTES" | grep -o '[0-9]*')
[ "${stated:-0}" = "$megabytes" ] || fail "the notes give the files as '${stated:-nothing}' MB, the payload holds $megabytes MB"
free=$(grep -o '至少有 [0-9]* MB' <<<"$NOTES" | grep -o '[0-9]*')
if [ -z "$free" ] || [ "$free" -lt "$megabytes" ] || [ "$free" -gt $((megabytes * 2)) ]; then
  fail "the notes ask for '${free:-no}' MB of free space for $megabytes MB of files"
fi

[ $failures -eq 0 ] && echo "demo notes: consistent with the skin and the payload"
exit $((failures > 0))
