#!/usr/bin/env bash
# Runs the Windows packages under wine as an office would, in a fresh wine prefix of their own
# (a new PC): the zip unzipped files a sample scan and refuses a second start while a scheduled
# one runs; the MSI installs, files a sample scan with the installed settings folder, uninstalls,
# installs an older version without the start at logon, upgrades, repairs, is replaced by a
# rebuild of its own version and refuses a downgrade.
#   scripts/windows-package-check.sh ZIP MSI OLDER_MSI FOLDER
# OLDER_MSI is built from the same sources with a lower version.
set -euo pipefail
zip=$(realpath "$1")
msi=$(realpath "$2")
older=$(realpath "$3")
root=$4
rm -rf "$root"
mkdir -p "$root"
root=$(realpath "$root")

export WINEPREFIX=$root/wine WINEDEBUG=-all WINEARCH=win64
# No menu entries of the host desktop for the shortcuts the MSI makes.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineboot -i </dev/null >/dev/null 2>&1

fail() { echo "package check: $*" >&2; exit 1; }
# The Windows path of a file: C: is the prefix's drive_c, Z: the root of the file system.
win() {
  local p=$1
  case $p in
    "$WINEPREFIX/drive_c/"*) p=C:/${p#"$WINEPREFIX/drive_c/"} ;;
    *) p=Z:$p ;;
  esac
  echo "${p//\//\\}"
}

scan="Perizia è 01.pdf"
filed="Perizia_è_01.pdf"
dated=$(date +%y/%m/%d)
# file_sample DIR CLI CONF TRACKING: slot 0 over folders under DIR is added to CONF/Dokivo.ini,
# one unattended pass files a sample scan; the delivery and both records are checked.
file_sample() {
  local dir=$1 cli=$2 conf=$3 tracking=$4
  mkdir -p "$dir"/{scan/in,archivio,backup,log}
  printf '%%PDF-1.4\n%% prova\n%%%%EOF\n' >"$dir/scan/in/$scan"
  printf 'dir_in_0=%s\r\ndir_out_0=%s\r\ndir_log_0=%s\r\ndir_backup_0=%s\r\ndir_nazionale_0=CREA:AA/MM/GG;\r\n' \
    "$(win "$dir/scan/in/")" "$(win "$dir/archivio/")" "$(win "$dir/log/")" "$(win "$dir/backup/")" \
    >>"$conf/Dokivo.ini"
  echo "wine $(win "$cli") ini:$(win "$conf") run:y"
  wine "$cli" "ini:$(win "$conf")" run:y >"$dir/run.txt" 2>&1 || fail "the pass failed: $(cat "$dir/run.txt")"
  [ -f "$dir/archivio/$dated/$filed" ] || fail "not filed into archivio/$dated"
  [ -f "$dir/backup/$filed" ] || fail "no backup copy"
  # The folder lock's file stays between passes; it is no document.
  [ -z "$(ls -A "$dir/scan/in" | grep -vx Dokivo.lock)" ] || fail "the input folder is not empty"
  local records=("$dir"/log/dokivolog*.txt) f
  [ ${#records[@]} = 1 ] && [ -f "${records[0]}" ] || fail "not one record file in the log folder"
  for f in "${records[0]}" "$tracking"; do
    LC_ALL=C grep -qv $'\r$' "$f" && fail "$(basename "$f"): a line does not end with CR LF"
    LC_ALL=C grep -q $'\xe8' "$f" || fail "$(basename "$f"): \"è\" is not the one byte of the ANSI code page"
    LC_ALL=C grep -q $'\xc3\xa8' "$f" && fail "$(basename "$f"): UTF-8 instead of the ANSI code page"
  done
  grep -qF "$(win "$dir/archivio/$dated/")" "${records[0]}" || fail "the record does not name the dated folder as Windows writes it"
  head -n 1 "$tracking" | grep -q "Sistema Operativo .*Windows" || fail "the first tracking line does not name the Windows system"
}

echo "== the zip"
mkdir -p "$root/zip/conf" "$root/zip/tracking" "$root/packed"
(cd "$root/zip" && cmake -E tar xf "$zip")
(cd "$root/packed" && cmake -E tar xf "$zip")  # untouched, to compare installs with
cli=$root/zip/Dokivo/dokivo-cli.exe
conf=$root/zip/conf
printf '[TUTTI]\r\ndir_log_generale=%s\r\n' "$(win "$root/zip/tracking/")" >"$conf/Dokivo.ini"
tracking=$root/zip/tracking/Dokivo_tracking.txt
file_sample "$root/zip" "$cli" "$conf" "$tracking"

echo "second start while a scheduled one runs"
wine "$cli" "ini:$(win "$conf")" timer:y >"$root/scheduled.txt" 2>&1 &
scheduled=$!
for _ in $(seq 60); do
  grep -q "Apertura" "$root/scheduled.txt" && break
  sleep 0.5
done
grep -q "Apertura" "$root/scheduled.txt" || fail "the scheduled instance did not start"
status=0
wine "$cli" "ini:$(win "$conf")" run:y >"$root/second.txt" 2>&1 || status=$?
# wine turns SIGINT into the console's Ctrl+C for the program
kill -INT "$scheduled" 2>/dev/null || true
for _ in $(seq 40); do
  kill -0 "$scheduled" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$scheduled" 2>/dev/null; then
  kill -KILL "$scheduled" 2>/dev/null || true
  fail "the scheduled instance did not close on Ctrl+C"
fi
wait "$scheduled" || true
[ "$status" = 3 ] || fail "a second start was not refused (exit $status): $(cat "$root/second.txt")"
grep -q "gia' in esecuzione" "$root/second.txt" || fail "the refusal does not say why"
tail -n 1 "$tracking" | grep -q " CHIUSURA  DOKIVO "$'\r$' || fail "the scheduled instance did not close in order"
echo "zip: filed, recorded, refused a second start, closed in order on Ctrl+C"

echo "== the MSI"
programs="$WINEPREFIX/drive_c/Program Files/Dokivo"
settings=$WINEPREFIX/drive_c/ProgramData/Dokivo
version() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p'; }
new=$(version "$msi")
old=$(version "$older")
# msiexec /i|/x PACKAGE [PROPERTY=VALUE...]: a silent run; its status as wine passes it on, the
# low byte of the Windows one (1603, failed, arrives as 67).
msiexec() {
  local action=$1 package=$2
  shift 2
  echo "msiexec $action $(basename "$package") $*"
  wine msiexec "$action" "$(win "$package")" "$@" /qn /l*v "$(win "$root/msiexec.log")"
}
# The versions of Dokivo in the list of installed programs, one a line.
installed() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' | awk '
    /^HKEY/ { dokivo = 0 }
    $1 == "DisplayName" && $3 == "Dokivo" && NF == 3 { dokivo = 1 }
    $1 == "DisplayVersion" && dokivo { print $3 }'
}
logon_start() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v Dokivo 2>/dev/null |
    tr -d '\r' | sed -n 's/^ *Dokivo *REG_SZ *//p'
}
# Wine puts the Start-menu entries of a per-machine install into the current user's Start menu,
# where Windows uses the common one: the entry is looked for in both.
shortcut() { find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/Dokivo.lnk'; }
settings_state() { (cd "$settings" && find . -type f | LC_ALL=C sort | xargs -d '\n' md5sum); }
installed_as_packed() {
  [ "$(installed)" = "$1" ] || fail "installed: '$(installed | xargs)', expected '$1' alone"
  diff -r -x 'dokivolog*.txt' -x Dokivo_consegna.journal "$root/packed/Dokivo" "$programs" >&2 ||
    fail "Program Files\\Dokivo is not the packed folder"
  strings -el "$(shortcut)" | grep -qxF 'ini:C:\ProgramData\Dokivo\' || fail "no Start-menu entry with the settings folder"
}
run_line='"C:\Program Files\Dokivo\dokivo.exe" ini:C:\ProgramData\Dokivo\ timer:y'

# What wine does not apply is read from the tables: users may change the settings folder, and the
# starter Dokivo.ini, permanent (16), is never written over (128) by a repair or an upgrade.
msiinfo export "$msi" MsiLockPermissionsEx | grep -q $'\tSETTINGSDIR\tCreateFolder\t.*(A;OICI;0x1301bf;;;BU)' ||
  fail "the MSI does not let users change the settings folder"
msiinfo export "$msi" Component | awk -F'\t' '$1 == "StarterSettings" && int($4 / 16) % 2 && int($4 / 128) % 2 { ok = 1 }
  END { exit !ok }' || fail "the starter Dokivo.ini may be written over or removed"

msiexec /i "$msi" || fail "the install failed"
installed_as_packed "$new"
[ "$(logon_start)" = "$run_line" ] || fail "the start at logon is '$(logon_start)'"
grep -qxF $'dir_log_generale=C:\\ProgramData\\Dokivo\\\r' "$settings/Dokivo.ini" ||
  fail "the starter Dokivo.ini does not keep the records in the settings folder"
file_sample "$root/msi" "$programs/dokivo-cli.exe" "$settings" "$settings/Dokivo_tracking.txt"
printf '[0]\r\nP=segreta\r\n' >"$settings/ao.dat"
cp "$settings/Dokivo.ini" "$root/Dokivo.ini.edited"
kept=$(settings_state)

msiexec /x "$msi" || fail "the uninstall failed"
# What the program wrote into its own folder (pass record files and the delivery journal, there
# while the folder is writable, as it is for wine's administrator) are records and stay.
leftovers=$(cd "$programs" 2>/dev/null && find . -type f ! -name 'dokivolog*.txt' ! -name Dokivo_consegna.journal)
[ -z "$leftovers" ] || fail "the uninstall left in Program Files\\Dokivo: $leftovers"
[ -z "$(shortcut)" ] || fail "the uninstall left the Start-menu entry"
[ -z "$(logon_start)" ] || fail "the uninstall left the start at logon"
[ -z "$(installed)" ] || fail "the uninstall left Dokivo in the installed programs"
[ "$(settings_state)" = "$kept" ] || fail "the uninstall did not keep the settings folder whole"

msiexec /i "$older" AVVIO_AUTOMATICO=0 || fail "the install of $old failed"
[ "$(installed)" = "$old" ] || fail "installed: '$(installed | xargs)', expected $old"
[ -z "$(logon_start)" ] || fail "AVVIO_AUTOMATICO=0 installed the start at logon"
cmp "$settings/Dokivo.ini" "$root/Dokivo.ini.edited" || fail "an install wrote over Dokivo.ini"

msiexec /i "$msi" || fail "the upgrade from $old failed"
installed_as_packed "$new"
cmp "$settings/Dokivo.ini" "$root/Dokivo.ini.edited" || fail "the upgrade wrote over Dokivo.ini"
[ -z "$(logon_start)" ] || fail "the upgrade put back the start at logon that the office left out"

# Wine's msiexec refuses /f; the same repair is asked with the properties /fa stands for.
rm "$programs/dokivo.exe"
msiexec /i "$msi" REINSTALL=ALL REINSTALLMODE=amus || fail "the repair failed"
installed_as_packed "$new"
cmp "$settings/Dokivo.ini" "$root/Dokivo.ini.edited" || fail "the repair wrote over Dokivo.ini"

# A rebuild of the same version (another product code) replaces the installed one.
cp "$msi" "$root/rebuilt.msi"
msibuild "$root/rebuilt.msi" -q "UPDATE \`Property\` SET \`Value\` = '{$(tr a-z A-Z </proc/sys/kernel/random/uuid)}' WHERE \`Property\` = 'ProductCode'"
msiexec /i "$root/rebuilt.msi" || fail "the install of a rebuild failed"
installed_as_packed "$new"
cmp "$settings/Dokivo.ini" "$root/Dokivo.ini.edited" || fail "the rebuild wrote over Dokivo.ini"

! msiexec /i "$older" || fail "the downgrade to $old was not refused"
grep -q 'WIX_DOWNGRADE_DETECTED = {' "$root/msiexec.log" || fail "the downgrade failed for another reason"
installed_as_packed "$new"
echo "MSI: installed, filed, uninstalled keeping the settings, upgraded, repaired, replaced by a rebuild, refused a downgrade"
