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

# ---- Extraction: one source tree archived by each peer tool -----------------
# The tests extract every archive and compare the tree with extract/tree.manifest
# (path, size, CRC-32, local time, read-only). Times are set in UTC so that
# the DOS times in the archives are the wall-clock times the manifest names.
export TZ=UTC
mkdir -p extract
src="$work/extract-src"
python3 - "$src" <<'PY'
import os, random, sys
root = sys.argv[1]
rng = random.Random(6)
files = {
    "hello.txt": b"hello, world\n",
    "space name.txt": b"a name with a space\n",
    "docs/numbers.txt": "".join("%d\n" % i for i in range(1, 20001)).encode(),
    "docs/readonly.txt": b"nobody may write this\n" * 50,
    "docs/empty.txt": b"",
    "deep/a/b/c.txt": b"deep\n",
    "bin/random.bin": bytes(rng.getrandbits(8) for _ in range(150000)),
}
for name, data in files.items():
    path = os.path.join(root, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
PY
stamp=0
for f in hello.txt "space name.txt" docs/numbers.txt docs/readonly.txt docs/empty.txt deep/a/b/c.txt bin/random.bin; do
  touch -d "2023-0$((stamp % 9 + 1))-1$((stamp % 9)) 1$((stamp % 9)):2$((stamp % 9)):$((stamp * 2 % 60))" "$src/$f"
  stamp=$((stamp + 1))
done
chmod 0444 "$src/docs/readonly.txt"
rm -f extract/*.zip extract/split.z*
(cd "$src" && zip -q -r "$OLDPWD/extract/infozip.zip" .)
# Streamed: data descriptors, and ZIP64 records forced.
(cd "$src" && zip -q -r -fz - . | cat > "$OLDPWD/extract/infozip-stream.zip")
(cd "$src" && 7zz a -tzip -bso0 -bsp0 "$OLDPWD/extract/7zz.zip" .)
(cd "$src" && bsdtar --format zip -cf "$OLDPWD/extract/bsdtar.zip" .)
python3 - "$src" extract/python.zip <<'PY'
import os, sys, zipfile
root, out = sys.argv[1:]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    for folder, dirs, files in sorted(os.walk(root)):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            z.write(path, os.path.relpath(path, root))
PY
# Python writing to a pipe: data descriptors, and ZIP64 extra blocks.
python3 - "$src" <<'PY' | cat > extract/python-stream.zip
import os, sys, zipfile
root = sys.argv[1]
with zipfile.ZipFile(sys.stdout.buffer, "w", zipfile.ZIP_DEFLATED) as z:
    for folder, dirs, files in sorted(os.walk(root)):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            info = zipfile.ZipInfo.from_file(path, os.path.relpath(path, root))
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f, z.open(info, "w", force_zip64=True) as w:
                w.write(f.read())
PY
# A split set whose items cross from one volume into the next.
(cd "$src" && zip -q -r -s 64k "$OLDPWD/extract/split.zip" bin docs)
python3 - "$src" extract/tree.manifest <<'PY'
import os, sys, time, zlib
root, out = sys.argv[1:]
with open(out, "w") as m:
    for folder, dirs, files in sorted(os.walk(root)):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            data = open(path, "rb").read()
            st = os.stat(path)
            m.write("%s\t%d\t%08x\t%s\t%d\n" % (
                os.path.relpath(path, root), len(data), zlib.crc32(data),
                time.strftime("%Y-%m-%d %H:%M:%S", time.localtime(st.st_mtime)),
                0 if st.st_mode & 0o200 else 1))
PY
chmod -R u+w "$src"

# ---- Encryption: one small tree encrypted by each peer tool ------------------
# Every archive uses the password "Pa55 word". zip -P and bsdtar's zipcrypt set
# the data-descriptor flag, so their check byte is the time's high byte; 7zz's
# ZipCrypto does not, so its check byte is the CRC's. 7zz's AES entries store
# CRC 0, bsdtar's store the real one. crypt/tree.manifest: path, size, CRC-32.
mkdir -p crypt
csrc="$work/crypt-src"
mkdir -p "$csrc/docs"
printf 'hello, secret world\n' > "$csrc/hello.txt"
seq 1 3000 > "$csrc/docs/numbers.txt"
python3 -c 'import random, sys; r = random.Random(7); sys.stdout.buffer.write(bytes(r.getrandbits(8) for _ in range(3000)))' \
  > "$csrc/docs/random.bin"
touch -d "2024-03-04 05:06:08" "$csrc/hello.txt" "$csrc/docs/numbers.txt" "$csrc/docs/random.bin" "$csrc/docs"
rm -f crypt/*.zip
(
  cd "$csrc"
  out=$OLDPWD/crypt
  zip -q -X -r -P 'Pa55 word' "$out/infozip-classic.zip" .
  bsdtar --format zip --options zip:encryption=zipcrypt --passphrase 'Pa55 word' -cf "$out/bsdtar-classic.zip" .
  bsdtar --format zip --options zip:encryption=aes256 --passphrase 'Pa55 word' -cf "$out/bsdtar-aes256.zip" .
  7zz a -tzip -bso0 -bsp0 -mem=ZipCrypto '-pPa55 word' "$out/7zz-zipcrypto.zip" .
  for bits in 128 192 256; do
    7zz a -tzip -bso0 -bsp0 "-mem=AES$bits" '-pPa55 word' "$out/7zz-aes$bits.zip" .
  done
)
python3 - "$csrc" crypt/tree.manifest <<'PY'
import os, sys, zlib
root, out = sys.argv[1:]
with open(out, "w") as m:
    for folder, dirs, files in sorted(os.walk(root)):
        dirs.sort()
        for name in sorted(files):
            data = open(os.path.join(folder, name), "rb").read()
            m.write("%s\t%d\t%08x\n" % (os.path.relpath(os.path.join(folder, name), root), len(data), zlib.crc32(data)))
PY
