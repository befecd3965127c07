#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages the build, the tests and the
# program need, and only those that are missing, so a second run is instant.
# qt6-translations-l10n holds Qt's own Chinese texts; desktop-file-utils,
# appstream and file serve the check of the installed desktop files.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libpcre2-dev
  qt6-base-dev qt6-qpa-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei
  qt6-translations-l10n
  desktop-file-utils appstream file
  ripgrep bc time
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y -q "${missing[@]}" >/dev/null 2>&1 || {
  $sudo apt-get update -q >/dev/null
  $sudo apt-get install -y -q "${missing[@]}"
}
