#!/usr/bin/env bash
# Rebuilds the archives the tests read, with the peer tools that made them.
# The results are committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Info-ZIP zip: two entries, one in a folder, and an archive comment.
mkdir -p "$work/src/docs"
printf 'hello, world\n' > "$work/src/hello.txt"
seq 1 2000 > "$work/src/docs/numbers.txt"
touch -d "2024-05-06 07:08:10" "$work/src/hello.txt" "$work/src/docs/numbers.txt" "$work/src/docs"
rm -f zip/infozip-comment.zip
(cd "$work/src" && echo 'fixture comment' | zip -q -X -z -r "$OLDPWD/zip/infozip-comment.zip" hello.txt docs)

# ---- Opening: archives of every layout the reader recognises ----------------
mkdir -p open
# Plain, with an archive comment and bytes appended after it.
cp zip/infozip-comment.zip open/appended.zip
printf 'trailing bytes after the comment' >> open/appended.zip

# Self-extractors: a stub in front. zip -A adjusts the stored offsets to count
# the stub; the unadjusted one keeps offsets from the archive's own start.
head -c 4000 /dev/urandom | tr -d 'PK' | head -c 1000 > "$work/stub.bin"
cat "$work/stub.bin" zip/infozip-comment.zip > open/sfx-unadjusted.exe
cp open/sfx-unadjusted.exe open/sfx-adjusted.exe
zip -q -A open/sfx-adjusted.exe

# A split set: 200 KB that does not compress, in 64 KB volumes.
head -c 200000 /dev/urandom > "$work/src/random.bin"
touch -d "2024-05-06 07:08:10" "$work/src/random.bin"
rm -f open/split.z* open/split.zip
(cd "$work/src" && zip -q -X -s 64k "$OLDPWD/open/split.zip" random.bin hello.txt)
# The same set named as volume_NNN files; the last part keeps the plain name.
rm -f open/named_*.zip open/named.zip
for part in open/split.z[0-9][0-9]; do
  n=${part##*.z}
  cp "$part" "open/named_$(printf '%03d' $((10#$n))).zip"
done
cp open/split.zip open/named.zip

# 7-Zip.
rm -f open/7zz.zip
(cd "$work/src" && 7zz a -tzip -bso0 -bsp0 "$OLDPWD/open/7zz.zip" hello.txt docs)

# Python's zipfile with more entries than a 16-bit count holds: ZIP64 end record.
python3 - open/zip64-many.zip <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_STORED) as z:
    for i in range(65536 + 10):
        info = zipfile.ZipInfo("e%05d" % i, date_time=(2024, 5, 6, 7, 8, 10))
        z.writestr(info, b"")
PY

# Damaged: the central directory cut short, and the end record wiped.
python3 - zip/infozip-comment.zip open <<'PY'
import sys, struct
data = open(sys.argv[1], "rb").read()
end = data.rfind(b"PK\x05\x06")
size, offset = struct.unpack("<II", data[end + 12:end + 20])
open(sys.argv[2] + "/truncated-directory.zip", "wb").write(data[:offset + size // 2])
open(sys.argv[2] + "/wiped-end.zip", "wb").write(data[:end] + b"\0" * (len(data) - end))
PY

# What a peer reader sees in each archive, for the tests to compare against:
# name, packed size, size, CRC-32, local header offset, external attributes.
python3 - open/appended.zip open/sfx-adjusted.exe open/sfx-unadjusted.exe open/7zz.zip <<'PY'
import sys, zipfile
for path in sys.argv[1:]:
    with zipfile.ZipFile(path) as z, open(path + ".manifest", "w") as out:
        for i in z.infolist():
            out.write("%s\t%d\t%d\t%08x\t%d\t%08x\n" % (
                i.filename, i.compress_size, i.file_size, i.CRC, i.header_offset, i.external_attr))
PY
