#!/usr/bin/env bash
# Makes the .deb from the build tree (the program must be built already),
# unpacks it and checks what it installs: the file list, the control data,
# the desktop entry, metainfo, MIME package, icons and man page with their
# own validators, and a first start of the unpacked program.
# Usage: check_package.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$1 source=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$work/out/clipwright_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work/out")"
root=$work/root
dpkg-deb -x "$deb" "$root"

# Every file and link outside the definition sets, and the sets as in the source.
expected="./usr/bin/clipwright
./usr/lib/clipwright/clipwright
./usr/lib/clipwright/clipwright-ffmpeg.so
./usr/lib/clipwright/clipwright-frameserver
./usr/lib/clipwright/conf.properties.default
./usr/lib/clipwright/def
./usr/share/applications/clipwright.desktop
./usr/share/doc/clipwright/README.md
./usr/share/icons/hicolor/128x128/apps/clipwright.png
./usr/share/icons/hicolor/16x16/apps/clipwright.png
./usr/share/icons/hicolor/24x24/apps/clipwright.png
./usr/share/icons/hicolor/256x256/apps/clipwright.png
./usr/share/icons/hicolor/32x32/apps/clipwright.png
./usr/share/icons/hicolor/48x48/apps/clipwright.png
./usr/share/icons/hicolor/64x64/apps/clipwright.png
./usr/share/icons/hicolor/scalable/apps/clipwright.svg
./usr/share/man/man1/clipwright.1.gz
./usr/share/metainfo/org.clipwright.Clipwright.metainfo.xml
./usr/share/mime/packages/clipwright-avs.xml"
actual=$(cd "$root" && find . \( -type f -o -type l \) -not -path './usr/share/clipwright/def/*' | LC_ALL=C sort)
[ "$actual" = "$(LC_ALL=C sort <<<"$expected")" ] || fail "file list:
$(diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual"))"
diff <(cd "$source/def" && find . -type f | LC_ALL=C sort) \
     <(cd "$root/usr/share/clipwright/def" && find . -type f | LC_ALL=C sort) || fail "definition sets differ"
[ "$(readlink "$root/usr/bin/clipwright")" = ../lib/clipwright/clipwright ] || fail "usr/bin/clipwright link"
[ "$(readlink "$root/usr/lib/clipwright/def")" = ../../share/clipwright/def ] || fail "def link"
writable=$(find "$root" -perm /022 -not -type l)
[ -z "$writable" ] || fail "writable by others: $writable"

control() { dpkg-deb -f "$deb" "$1"; }
[ "$(control Package)" = clipwright ] || fail "Package"
[ "$(control Version)" = "$version" ] || fail "Version"
depends=$(control Depends)
for lib in libqt6widgets6 libqscintilla2-qt6 libavformat libavcodec libswscale libpugixml libxcb1 libstdc++6 \
           qt6-qpa-plugins libqt6svg6; do
    [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
[ "$(control Recommends)" = avisynth ] || fail "Recommends: $(control Recommends)"
# Read whole first: grep -q would close the pipe early and, under pipefail,
# dpkg-deb's SIGPIPE would fail a description that is right.
description=$(control Description)
grep -q "not ship: install it separately" <<<"$description" || fail "Description"

desktop-file-validate "$root/usr/share/applications/clipwright.desktop" || fail "desktop entry"
grep -qx "Icon=clipwright" "$root/usr/share/applications/clipwright.desktop" || fail "desktop entry icon"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.clipwright.Clipwright.metainfo.xml" >"$work/as.log" ||
    { cat "$work/as.log"; fail "metainfo"; }
mkdir -p "$work/mime/packages"
cp "$root/usr/share/mime/packages/clipwright-avs.xml" "$work/mime/packages/"
XDG_DATA_DIRS=$work update-mime-database "$work/mime" 2>"$work/mime.log" && [ ! -s "$work/mime.log" ] || { cat "$work/mime.log"; fail "MIME package"; }
grep -q '^50:text/x-avisynth:\*\.avs$' "$work/mime/globs2" || fail "*.avs is not text/x-avisynth"
for png in "$root"/usr/share/icons/hicolor/*x*/apps/clipwright.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    [ "$(identify -format '%wx%h' "$png")" = "$size" ] || fail "$png is not $size"
done
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/clipwright.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page: $warnings"

# The unpacked copy answers and starts on the bundled set; its settings go to
# the user's folder even for root, and its own folder stays as it was.
[ "$("$root/usr/bin/clipwright" --version | head -1)" = "Clipwright $version" ] || fail "--version"
before=$(ls -A "$root/usr/lib/clipwright")
errors=$(env -u CLIPWRIGHT_HOME HOME="$work/home" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/clipwright" --exit-after-startup 2>&1) || fail "start: $errors"
# Unattended, every message box would be a "title: text" line.
! grep -E '^(#error|Information|Clipwright): ' <<<"$errors" || fail "start said: $errors"
seed='#configuration\r\navisynth.def.path=3.7\r\n'
cmp -s "$root/usr/lib/clipwright/conf.properties.default" <(printf "$seed") || fail "the settings seed"
head -c 39 "$work/config/clipwright/conf.properties" | cmp -s - <(printf "$seed") ||
    fail "first settings: $(cat -A "$work/config/clipwright/conf.properties")"
[ "$(ls -A "$root/usr/lib/clipwright")" = "$before" ] || fail "the program folder changed"
echo "package $(basename "$deb") checked: $(du -k "$deb" | cut -f1) KiB"
