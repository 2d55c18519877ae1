#!/usr/bin/env bash
# Fails when a file under src/ includes one from a layer it may not use, or when the includes
# between files run in a circle. The folders are the layers, lowest first:
#   platform -> config -> logs -> processing -> scan -> app -> cli, ui
# instance (the single-instance guard) stands on platform alone, beside the core; cli and ui
# never include each other. A lower layer acts upward only through an interface it owns.
# Inside platform, posix/ and windows/ each hold one system's code, built only there: a file
# includes from one of them only when it lies in that same folder. detail/ holds the platform
# layer's own seams to them, which no other layer includes.
#   scripts/check-layers.sh [SRC_DIR]
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
cd "$src"

core="platform config logs processing scan app"
declare -A may_use=(
    [platform]="platform"
    [config]="platform config"
    [logs]="platform config logs"
    [processing]="platform config logs processing"
    [scan]="platform config logs processing scan"
    [app]="$core"
    [instance]="platform instance"
    [cli]="$core instance cli"
    [ui]="$core instance ui"
)

problems=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT

while IFS= read -r file; do
    layer=${file%%/*}
    if [[ -z ${may_use[$layer]+set} ]]; then
        echo "$file: $layer is not a layer"
        problems=1
        continue
    fi
    while IFS= read -r included; do
        # A name without a folder is the file's own folder.
        [[ $included == */* ]] || included="$(dirname "$file")/$included"
        target_layer=${included%%/*}
        if [[ " ${may_use[$layer]} " != *" $target_layer "* ]]; then
            echo "$file includes $included: $layer may not use $target_layer"
            problems=1
        fi
        case $included in
            platform/posix/* | platform/windows/*)
                if [[ $(dirname "$file") != "$(dirname "$included")" ]]; then
                    echo "$file includes $included: only $(dirname "$included") itself may"
                    problems=1
                fi
                ;;
            platform/detail/*)
                if [[ $layer != platform ]]; then
                    echo "$file includes $included: only platform may"
                    problems=1
                fi
                ;;
        esac
        [[ -f $included ]] && echo "$file $included" >>"$edges"
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) | sed 's|^\./||' | sort)

# tsort names the files of any circle it finds.
if ! tsort "$edges" >/dev/null 2>"$edges.cycles"; then
    echo "includes that run in a circle:"
    sed -e '/input contains a loop/d' -e 's/^tsort: //' "$edges.cycles"
    problems=1
fi
rm -f "$edges.cycles"

if [[ $problems == 0 ]]; then
    echo "layers: every include runs downward, no circle"
fi
exit $problems
