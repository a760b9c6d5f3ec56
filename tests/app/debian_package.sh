#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks what apt would see:
# its dependencies are computed from the program (shared libraries) plus the
# Qt platform plugins, and it carries the program, its menu entry, icon,
# file type, AppStream file and manual page under /usr.
#   debian_package.sh <build folder>
set -euo pipefail
build=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/lynkor_*_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6core6 libcurl4 libx11-6 qt6-qpa-plugins; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/lynkor ./usr/share/applications/lynkor.desktop ./usr/share/man/man1/lynkor.1.gz \
         ./usr/share/metainfo/io.github.lynkor.Lynkor.metainfo.xml ./usr/share/mime/packages/lynkor.xml \
         ./usr/share/icons/hicolor/scalable/apps/lynkor.svg ./usr/bin/lynkor-browser-host \
         ./usr/share/lynkor/browser-extension/chromium/manifest.json \
         ./usr/share/lynkor/browser-extension/firefox/manifest.json \
         ./usr/share/lynkor/browser-extension/chromium/background.js; do
  grep -qx "$f" <<<"$contents" || fail "the package lacks $f"
done
# The browser host is registered for every user on installing, and only for
# Lynkor's extension.
dpkg-deb -e "$deb" "$out/control"
grep -q 'allowed_origins": \["chrome-extension://[a-p]\{32\}/"\]' "$out/control/postinst" || fail "postinst lacks the extension's origin"
grep -q '/usr/lib/mozilla/native-messaging-hosts' "$out/control/postinst" || fail "postinst lacks Firefox"
[ -x "$out/control/prerm" ] || fail "no prerm"
echo "package OK: $(basename "$deb")"
