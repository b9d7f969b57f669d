#!/usr/bin/env bash
# install-check.sh BUILD_DIR ANIMATION.gif APP_ID VERSION
# Installs the build into a temporary prefix and checks what a user meets there; then builds the
# .deb from the same build and lists its contents and dependencies. Exit 77 (skipped) when a
# validator is not installed (scripts/install-deps.sh --tests installs them).
set -euo pipefail
build=$(realpath "$1") gif=$(realpath "$2") id=$3 version=$4

for tool in desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps cpack man; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tindra-install-check.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAILED: $*" >&2; exit 1; }
step() { echo "--- $*"; }

step "install into $prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
(cd "$prefix" && find . -type f | sort)
for f in bin/tindra bin/tindra-gif share/tindra/images.iml share/applications/$id.desktop \
         share/metainfo/$id.metainfo.xml share/man/man1/tindra.1.gz share/man/man1/tindra-gif.1.gz; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$icon" ] || fail "no $size px icon"
  # PNG signature, then the IHDR width and height as 4-byte big-endian numbers.
  dims=$(od -An -tu4 --endian=big -j16 -N8 "$icon" | xargs)
  [ "$dims" = "$size $size" ] || fail "the $size px icon is $dims"
done

step "validate the desktop entry and the AppStream metainfo"
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
grep -qx "Exec=tindra %f" "$prefix/share/applications/$id.desktop" || fail "Exec line"
for page in tindra tindra-gif; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "manual page $page.1: $warnings"
done

step "run the installed programs outside the build tree (in $work)"
cd "$work"
export PATH=$prefix/bin:$PATH
[ "$(tindra --version)" = "Tindra $version" ] || fail "tindra --version: $(tindra --version)"
[ "$(tindra-gif --version)" = "tindra-gif $version" ] || fail "tindra-gif --version"
tindra --help | grep -q -- "--convert" || fail "tindra --help does not mention --convert"
tindra-gif --help | grep -q "recode IN OUT" || fail "tindra-gif --help"
set +e
tindra --no-such-option >out.txt 2>err.txt; rc=$?
set -e
[ $rc -eq 2 ] && [ ! -s out.txt ] && grep -q "unknown option --no-such-option" err.txt ||
  fail "usage error: exit $rc, stdout '$(cat out.txt)', stderr '$(cat err.txt)'"
# A 40 x 40 24-bit BMP, red above blue, under a name with a space: the editor's own input size.
{
  printf 'BM\xd6\x12\0\0\0\0\0\0\x36\0\0\0'                       # file header, 4822 bytes
  printf '\x28\0\0\0\x28\0\0\0\x28\0\0\0\x01\0\x18\0\0\0\0\0\xa0\x12\0\0' # 40 x 40, 24 bits
  printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'
  for row in $(seq 0 39); do                                         # bottom row first
    for col in $(seq 0 39); do
      if [ "$row" -lt 20 ]; then printf '\xff\0\0'; else printf '\0\0\xff'; fi
    done
  done
} > "two colours.bmp"
tindra --convert "two colours.bmp" whole.gif
tindra --convert whole.gif inner.ico --without-border
tindra --convert whole.gif again.bmp
info=$(tindra-gif info whole.gif)
grep -q "frames: 1" <<<"$info" && grep -q "screen: 40 x 40" <<<"$info" || fail "converted GIF: $info"
[ "$(head -c 4 inner.ico | od -An -tx1 | xargs)" = "00 00 01 00" ] || fail "inner.ico is no icon file"
cmp -s "two colours.bmp" again.bmp || [ "$(head -c 2 again.bmp)" = BM ] || fail "again.bmp is no BMP file"
# The animation in the test data runs through the installed GIF tool.
tindra-gif recode "$gif" recoded.gif
tindra-gif info recoded.gif | grep -q "frames: 2" || fail "tindra-gif recode"

step "build the Debian package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=$(ls "$work"/deb/tindra_*.deb)
echo "$(basename "$deb")"
dpkg-deb --contents "$deb" | awk '{ print $1, $NF }'
dpkg-deb --field "$deb" Package Version Architecture Section Depends
depends=$(dpkg-deb --field "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 qt6-qpa-plugins; do
  grep -q "$needed" <<<"$depends" || fail "the package does not depend on $needed"
done
for f in ./usr/bin/tindra ./usr/bin/tindra-gif ./usr/share/tindra/images.iml \
         ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
         ./usr/share/icons/hicolor/256x256/apps/$id.png ./usr/share/man/man1/tindra.1.gz; do
  dpkg-deb --contents "$deb" | awk '{ print $NF }' | grep -qx "$f" || fail "$f is not in the package"
done
echo "install check passed"
