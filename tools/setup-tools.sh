#!/usr/bin/env bash
# Installs the Debian packages needed only to regenerate the pictures in
# resources/ (tools/make_pictures.sh). The normal build does not need them.
set -euo pipefail

packages=(
  gmt gmt-dcw gmt-gshhg ghostscript
  python3 python3-numpy python3-scipy python3-pil python3-shapely
  fonts-dejavu-core fonts-liberation
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null || apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
else
  echo "These packages are missing: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
