#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing.
# Safe to run again: with everything present it only checks.
set -euo pipefail
list="$(dirname "${BASH_SOURCE[0]}")/packages.txt"
missing=()
while read -r package; do
  [[ -z "$package" || "$package" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done < "$list"
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=()
  [[ $(id -u) -ne 0 ]] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
