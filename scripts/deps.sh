#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when one is missing.
set -euo pipefail

packages=(
  g++ cmake make
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev libqt6sql6-sqlite
  libgtest-dev libbenchmark-dev sqlite3 libsqlite3-dev
  fonts-liberation poppler-utils
  mbpoll
)
# Extra packages for a given purpose: deps.sh [fuzz]
for extra in "$@"; do
  case "$extra" in
    fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
