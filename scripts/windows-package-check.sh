#!/usr/bin/env bash
# Unzips the Windows package into a fresh folder and runs it under wine as an office would:
# one unattended pass over a sample scan, then a second start while a scheduled one runs.
#   scripts/windows-package-check.sh ZIP FOLDER
# Wine is taken as scripts/windows.sh sets it up (WINEPREFIX, a running wineserver).
set -euo pipefail
zip=$(realpath "$1")
root=$2
rm -rf "$root"
mkdir -p "$root"/{conf,scan/in,archivio,backup,log,tracking}
root=$(realpath "$root")
(cd "$root" && cmake -E tar xf "$zip")
cli=$root/Dokivo/dokivo-cli.exe

fail() { echo "package check: $*" >&2; exit 1; }
win() { local p=${1//\//\\}; echo "Z:$p"; }  # wine shows the root of the file system as Z:

scan="Perizia è 01.pdf"
printf '%%PDF-1.4\n%% prova\n%%%%EOF\n' >"$root/scan/in/$scan"
printf '[TUTTI]\r\ndir_log_generale=%s\r\ndir_in_0=%s\r\ndir_out_0=%s\r\ndir_log_0=%s\r\ndir_backup_0=%s\r\ndir_nazionale_0=CREA:AA/MM/GG;\r\n' \
  "$(win "$root/tracking/")" "$(win "$root/scan/in/")" "$(win "$root/archivio/")" "$(win "$root/log/")" \
  "$(win "$root/backup/")" >"$root/conf/Dokivo.ini"
conf="ini:$(win "$root/conf")"

echo "wine dokivo-cli.exe $conf run:y"
wine "$cli" "$conf" run:y >"$root/run.txt" 2>&1 || fail "the pass failed: $(cat "$root/run.txt")"
filed="Perizia_è_01.pdf"
dated=$(date +%y/%m/%d)
[ -f "$root/archivio/$dated/$filed" ] || fail "not filed into archivio/$dated"
[ -f "$root/backup/$filed" ] || fail "no backup copy"
[ -z "$(ls -A "$root/scan/in")" ] || fail "the input folder is not empty"

records=("$root"/log/dokivolog*.txt)
[ ${#records[@]} = 1 ] && [ -f "${records[0]}" ] || fail "not one record file in the log folder"
tracking=$root/tracking/Dokivo_tracking.txt
for f in "${records[0]}" "$tracking"; do
  LC_ALL=C grep -qv $'\r$' "$f" && fail "$(basename "$f"): a line does not end with CR LF"
  LC_ALL=C grep -q $'\xe8' "$f" || fail "$(basename "$f"): \"è\" is not the one byte of the ANSI code page"
  LC_ALL=C grep -q $'\xc3\xa8' "$f" && fail "$(basename "$f"): UTF-8 instead of the ANSI code page"
done
grep -qF "$(win "$root/archivio/$dated/")" "${records[0]}" || fail "the record does not name the dated folder as Windows writes it"
head -n 1 "$tracking" | grep -q "Sistema Operativo .*Windows" || fail "the first tracking line does not name the Windows system"

echo "second start while a scheduled one runs"
wine "$cli" "$conf" timer:y >"$root/scheduled.txt" 2>&1 &
scheduled=$!
for _ in $(seq 60); do
  grep -q "Apertura" "$root/scheduled.txt" && break
  sleep 0.5
done
grep -q "Apertura" "$root/scheduled.txt" || fail "the scheduled instance did not start"
status=0
wine "$cli" "$conf" run:y >"$root/second.txt" 2>&1 || status=$?
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
echo "package check: filed, recorded, refused a second start, closed in order on Ctrl+C"
