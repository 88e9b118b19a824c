#!/usr/bin/env bash
# Makes dist/kalvora98-<version>-win32.zip: the program, its companion spktool.exe,
# its help as help.htm (with its pictures beside it) and help.txt, the sample
# drivers, README.txt, LICENSE and SHA256SUMS. The same commit gives the same bytes:
# the exe carries no time stamp, and every file in the archive carries the time of
# the last commit. Usage: tools/release.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win}
./tools/install-deps.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target kalvora98 spktool -j"$(nproc)" >/dev/null

version=$(sed -n 's/^#define KALVORA_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/version.h")
name=kalvora98-$version-win32
stage=$build/release/$name
rm -rf "$stage"
mkdir -p "$stage/samples" dist

cp "$build/kalvora98.exe" "$build/spktool.exe" release/help.htm release/help-*.png "$stage/"
# Notepad before Windows 10 shows a text only with CRLF line ends.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf LICENSE "$stage/LICENSE"
crlf release/README.txt "$stage/README.txt"
w3m_home=$(mktemp -d)
HOME=$w3m_home w3m -dump -cols 78 -T text/html -I CP1252 -O CP1252 release/help.htm \
    >"$build/release/help.txt"
rm -rf "$w3m_home"
crlf "$build/release/help.txt" "$stage/help.txt"

# Each line of the table becomes a 164-byte speaker file: model, Qts, Fs, Vas, info,
# the sealed volume, Fb and Q, the ported volume and Fb; texts NUL-padded to 50 bytes,
# numbers little-endian doubles.
perl -e 'my $dir = shift;
    while (<>) {
        next if /^\s*(#|$)/;
        my ($file, $model, $qts, $vas, $fs, $info, @design) = map { s/^\s+|\s+$//gr } split /\|/;
        die "$file: names of 50 characters or more do not fit\n" if length($model) > 49 || length($info) > 49;
        die "$file: 11 columns expected\n" unless @design == 5;
        open my $out, ">:raw", "$dir/$file" or die "$file: $!\n";
        print $out pack("a50 d<3 a50 d<5", $model, $qts, $fs, $vas, $info, @design);
    }' "$stage/samples" release/samples.txt
# Each sample's driver sheet, the datasheet values spktool reads beside it.
cp release/samples/*.txt "$stage/samples/"

(cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
     xargs sha256sum >SHA256SUMS)

# The archive: names sorted, no directory entries or Unix extras (-D -X), fixed modes,
# and every time stamp that of the last commit, read in UTC.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
find "$stage" -exec env TZ=UTC touch -h -d "@$epoch" {} +
zip=$PWD/dist/$name.zip
rm -f "$zip"
(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort |
     TZ=UTC zip -q -X -D -9 "$zip" -@)
echo "dist/$name.zip"
