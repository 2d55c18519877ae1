#!/usr/bin/env bash
# Builds the Windows installer from the packed program folder with wixl:
#   scripts/windows-msi.sh FOLDER VERSION MSI
# FOLDER is build-windows/dist/Dokivo as packed for the zip; every file in it is installed
# under Program Files\Dokivo as it stands there. The product itself is packaging/windows/Dokivo.wxs.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
dist=$(realpath "$1")
version=$2
msi=$(realpath -m "$3")
work=$msi.d
rm -rf "$work" "$msi"
mkdir -p "$work"

# One component per file, named after its path, so each keeps the same identity from one
# version to the next. wixl takes only relative sources, hence the link to the folder.
ln -s "$dist" "$work/dist"
wix_id() { local p=${1//[^A-Za-z0-9_.]/_}; echo "$2_$p"; }
{
  echo '<?xml version="1.0" encoding="utf-8"?>'
  echo '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi"><Fragment>'
  (cd "$dist" && find . -mindepth 1 -type d | sed 's|^\./||' | sort) | while read -r dir; do
    parent=INSTALLDIR
    [ "${dir%/*}" = "$dir" ] || parent=$(wix_id "${dir%/*}" d)
    echo "<DirectoryRef Id=\"$parent\"><Directory Id=\"$(wix_id "$dir" d)\" Name=\"${dir##*/}\"/></DirectoryRef>"
  done
  files=$(cd "$dist" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
  while read -r file; do
    parent=INSTALLDIR
    [ "${file%/*}" = "$file" ] || parent=$(wix_id "${file%/*}" d)
    echo "<DirectoryRef Id=\"$parent\"><Component Id=\"$(wix_id "$file" c)\" Guid=\"*\" Win64=\"yes\">" \
      "<File Id=\"$(wix_id "$file" f)\" Source=\"dist/$file\" KeyPath=\"yes\"/></Component></DirectoryRef>"
  done <<<"$files"
  echo '<ComponentGroup Id="ProgramFiles">'
  while read -r file; do echo "<ComponentRef Id=\"$(wix_id "$file" c)\"/>"; done <<<"$files"
  echo '</ComponentGroup></Fragment></Wix>'
} >"$work/files.wxs"
# The starter settings file as Windows writes text.
sed 's/$/\r/' "$repo/packaging/windows/Dokivo.ini" >"$work/Dokivo.ini"

(cd "$work" && wixl -a x64 -D Version="$version" -o "$msi" "$repo/packaging/windows/Dokivo.wxs" files.wxs)

# What wixl 0.101 cannot express goes into the tables afterwards, one SQL statement a line.
upgrade_code=$(msiinfo export "$msi" Property | sed -n 's/^UpgradeCode\t//p' | tr -d '\r')
queries=()
while IFS= read -r line; do
  queries+=(-q "$line")
done < <(grep -v -e '^--' -e '^$' "$repo/packaging/windows/tables.sql" |
  sed -e "s/@VERSION@/$version/g" -e "s/@UPGRADE_CODE@/$upgrade_code/g")
msibuild "$msi" "${queries[@]}"
rm -rf "$work"
