#!/usr/bin/env bash
# Installs what is missing, builds, lays out a demo tree with sample scans under demo/run,
# runs one unattended pass of dokivo-cli and shows what was filed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
bin=$(realpath "${BUILD_DIR:-build}")/bin
root=$(pwd)/demo/run
rm -rf "$root"
mkdir -p "$root"/{conf,tracking,log,backup,doppioni} "$root"/scan/{ufficio,contratti,riservati} \
         "$root"/scan/reparti/{amministrazione,personale} "$root"/archivio/{ufficio,contratti,reparti,riservati}
sed "s|@ROOT@|$root|g" demo/Dokivo.ini.in > "$root/conf/Dokivo.ini"
printf '[3]\r\nP=riservato2024\r\n' > "$root/conf/ao.dat"

sample() {  # sample OUT SEED
  if [ -x "$bin/dokivo-samplepdf" ]; then
    "$bin/dokivo-samplepdf" "$1" --seed "$2" --bytes $((10000 + $2 * 997 % 50000))
  else
    printf '%%PDF-1.4\n%% demo %s\n%%%%EOF\n' "$2" > "$1"
  fi
}
sample "$root/scan/ufficio/Scan 01.pdf" 1
sample "$root/scan/ufficio/Scan 02.pdf" 2
sample "$root/scan/ufficio/ABC-12345678.pdf" 3
echo "non un documento" > "$root/scan/ufficio/note.txt"
sample "$root/scan/contratti/Contratto 7.pdf" 4
sample "$root/scan/reparti/amministrazione/Fattura 2024-031.pdf" 5
sample "$root/scan/reparti/personale/Cedolino marzo.pdf" 6
sample "$root/scan/riservati/Referto.pdf" 7
# A contract filed in an earlier month already holds the name: the new one goes to the duplicates.
month_dir="$root/archivio/contratti/$(date +%y)/$(date +%m)"
mkdir -p "$month_dir" && sample "$month_dir/Contratto_7.pdf" 40

echo "== Passaggio unattended: dokivo-cli ini:$root/conf run:y"
DOKIVO_OPERATORE=DMO "$bin/dokivo-cli" "ini:$root/conf" run:y
echo
echo "== Albero archiviato"
(cd "$root" && find scan archivio backup doppioni log -type f | sort)
for f in "$root"/log/dokivolog*.txt; do
  [ -e "$f" ] || continue
  echo; echo "== File di registro $(basename "$f")"; cat "$f"
done
echo; echo "== Dokivo_tracking.txt"; cat "$root/tracking/Dokivo_tracking.txt"
