#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop needs:
# the programs, the desktop entry, the hicolor icons and the AppStream
# metainfo in their standard places, the entry and the metainfo accepted by
# desktop-file-validate and appstreamcli, and the names that tie them
# together. Exits 77 (skipped) when a validator is not installed.
#   scripts/check-install.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2
id=cn.lanchuan.LCRegular

for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

failed=0
fail() { echo "FAILED: $*"; failed=1; }

desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
for file in bin/lcregular bin/lcregular-cli share/applications/$id.desktop \
            share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg; do
  [[ -f $prefix/$file ]] || fail "not installed: $file"
done
[[ -x $prefix/bin/lcregular ]] || fail "bin/lcregular is not executable"
for size in 16 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  if [[ ! -f $png ]]; then
    fail "no ${size}x${size} icon"
  elif ! file "$png" | grep -q "PNG image data, $size x $size,"; then
    fail "$png is not a ${size}x${size} PNG: $(file -b "$png")"
  fi
done

desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"

# The names that tie the pieces together.
key() { sed -n "s/^$1=//p" "$desktop"; }
[[ $(key Exec) == lcregular ]] || fail "Exec is '$(key Exec)'"
[[ $(key Icon) == "$id" ]] || fail "Icon is '$(key Icon)'"
[[ $(key Categories) == "Development;Utility;" ]] || fail "Categories is '$(key Categories)'"
[[ -n $(key 'Name\[zh_CN\]') ]] || fail "no Name[zh_CN]"
[[ -n $(key 'Keywords\[zh_CN\]') && -n $(key Keywords) ]] || fail "Keywords in Chinese and English"
# The window's class is the application name the program gives itself.
source_dir=$(cd "$(dirname "$0")/.." && pwd)
app_name=$(sed -n 's/.*kApplicationName\[\] = "\(.*\)";/\1/p' "$source_dir/app/application.h")
desktop_name=$(sed -n 's/.*kDesktopFileName\[\] = "\(.*\)";/\1/p' "$source_dir/app/application.h")
[[ $(key StartupWMClass) == "$app_name" ]] || fail "StartupWMClass is not '$app_name'"
[[ $desktop_name == "$id" ]] || fail "the program calls its desktop file '$desktop_name'"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $id.desktop"

exit $failed
