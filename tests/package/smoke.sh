#!/usr/bin/env bash
# Builds the Debian package from the build folder, unpacks it into a temporary root and checks
# what an installation holds: the menu entry and AppStream file validate, the package depends on
# what the program needs, and the unpacked program finds its files and times and enters a run.
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cd "$build"
cpack -G DEB -B "$root/out" >"$root/cpack.log" || { cat "$root/cpack.log"; exit 1; }
deb=$(ls "$root"/out/rittmeter_*.deb)
dpkg -x "$deb" "$root/fs"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6multimedia6 libquazip1-qt6 libfreexl1 libmosquitto1 \
    libqt6keychain1 fonts-liberation \
    fonts-dejavu-core qt6-translations-l10n; do
    grep -q "$needed" <<<"$depends" || { echo "missing dependency: $needed"; exit 1; }
done
for file in usr/bin/rittmeter usr/share/icons/hicolor/48x48/apps/rittmeter.png \
    usr/share/icons/hicolor/128x128/apps/rittmeter.png \
    usr/share/icons/hicolor/256x256/apps/rittmeter.png; do
    [ -f "$root/fs/$file" ] || { echo "missing: $file"; exit 1; }
done
desktop-file-validate "$root/fs/usr/share/applications/rittmeter.desktop"
appstreamcli validate --no-net "$root/fs/usr/share/metainfo/org.example.rittmeter.metainfo.xml"
HOME="$root/home" QT_QPA_PLATFORM=offscreen "$root/fs/usr/bin/rittmeter" --selftest
