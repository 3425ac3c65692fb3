#!/bin/sh
# Runs the golden cases natively and the i686 build of the same program
# under qemu, and compares the hashes line by line.
#   same-on-i686.sh NATIVE_PROGRAM QEMU I686_PROGRAM WORK_FOLDER
set -eu
native=$1 qemu=$2 i686=$3 work=$4
"$native" >"$work/golden-x86_64.txt"
"$qemu" "$i686" >"$work/golden-i686.txt"
if cmp -s "$work/golden-x86_64.txt" "$work/golden-i686.txt"; then
    echo "i686 and x86-64 give the same $(wc -l <"$work/golden-x86_64.txt") golden hashes"
    exit 0
fi
echo "i686 and x86-64 differ:"
paste -d'|' "$work/golden-x86_64.txt" "$work/golden-i686.txt" | awk -F'|' '
    $1 != $2 { if (++n <= 20) print "  " $1 "  i686: " $2 }
    END { print n " of " NR " cases differ" }'
exit 1
