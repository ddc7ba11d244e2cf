# fsck.fat's verdict on a volume that ulvren formatted. Sourced by the format tests and by the
# kernel tests' guest, so plain POSIX sh (busybox runs it there).

# fsck_fat_surprises DEVICE OUTPUT
# Runs `fsck.fat -n` on DEVICE (an image or a disk), keeps what it says in the file OUTPUT, and
# prints its exit status unless 0, and what it said beyond its banner, its summary and the notice
# about what every format leaves on purpose: no free count in FSInfo. Prints nothing when fsck.fat
# found nothing else (grep then finds no line: status 1).
fsck_fat_surprises() {
    fsck.fat -n "$1" >"$2" 2>&1 || echo "fsck.fat -n exited with status $?"
    grep -v \
        -e '^fsck\.fat [0-9.]* (' \
        -e '^Free cluster summary uninitialized (should be [0-9]*)$' \
        -e "^$(printf '%s\n' "$1" | sed 's/[][\.*^$]/\\&/g'): [0-9]* files, [0-9]*/[0-9]* clusters\$" \
        -e '^$' \
        "$2" || [ $? -eq 1 ] || echo "the filter of fsck.fat's output failed"
}
