#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that
# are missing. Sourced by run.sh and test.sh; uses sudo when not root.
set -euo pipefail

segmora_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev
  libgtest-dev
  fonts-ipafont-gothic qt6-translations-l10n
  dbus-daemon
  xvfb xauth
  poppler-utils desktop-file-utils
)

segmora_install_deps() {
  local missing=() pkg
  for pkg in "${segmora_packages[@]}"; do
    if [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != "install ok installed" ]; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

segmora_install_deps
