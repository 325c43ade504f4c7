#!/usr/bin/env bash
# Writes what torqwell-cli prints and saves for a fixed set of engines into a
# folder, so that two builds can be compared byte for byte:
#
#   scripts/compare-outputs.sh OLD/torqwell-cli /tmp/old
#   scripts/compare-outputs.sh NEW/torqwell-cli /tmp/new
#   diff -r /tmp/old /tmp/new && echo identical
#
# The engines: the examples, and engines built with `new` over every block
# family, head, manifold, fuel kind, blower kind, exhaust, cam, lifter and
# timing method. For each: run as table, csv and json, convert, both exports;
# for three of them an iterator series as table and json, with its Best files.
# A refusal is an output too: its message and exit status are recorded.
set -uo pipefail
cli=$(realpath "$1")
out=$2
here=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$out"
mkdir -p "$out/engines"

record() {  # record NAME COMMAND...: stdout, stderr and the exit status
    local name=$1
    shift
    "$@" >"$out/$name.out" 2>"$out/$name.err"
    echo $? >"$out/$name.status"
}

cp "$here"/examples/*.trq "$out/engines/"

build() {  # build NAME OPTIONS...
    local name=$1
    shift
    record "new-$name" "$cli" new -o "$out/engines/$name.trq" --allow-no-results "$@"
}

# A street small-block's parts; each engine below changes some of them.
street() {  # street [GROUP=VALUE...]: the options, with the groups named replaced
    local -A part=([block]=36 [head]=4 [intake-valve]=1.94 [exhaust-valve]=1.50 [compression]=9.5
                   [induction]=650@1.5 [manifold]=2 [exhaust]=3 [cam]=2 [lifter]=1
                   [intake-lift]=0.45 [exhaust-lift]=0.46)
    local change
    for change in "$@"; do part[${change%%=*}]=${change#*=}; done
    local group
    for group in "${!part[@]}"; do
        [ -n "${part[$group]}" ] && printf '%s\n' "--$group" "${part[$group]}"
    done
}
build_street() {  # build_street NAME [GROUP=VALUE...] [-- OPTIONS...]
    local name=$1
    shift
    local changes=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do changes+=("$1"); shift; done
    [ "${1:-}" = "--" ] && shift
    local options
    mapfile -t options < <(street "${changes[@]}")
    build "$name" "${options[@]}" "$@"
}

for block in 1 6 9 20 27 36 42 50; do build_street "block-$block" block=$block; done
for head in 1 3 5 7 8 9 11 12 13 14 16; do
    build_street "head-$head" head=$head intake-valve=auto exhaust-valve=
done
for manifold in 1 3 4 5 6; do build_street "manifold-$manifold" manifold=$manifold; done
for fuel in 3 8; do build_street "fuel-$fuel" -- --fuel "$fuel" --nitrous 4; done
for fuel in 10 19 20 21; do build_street "fuel-$fuel" -- --fuel "$fuel"; done
build_street blower-turbo block=16 manifold= -- --blower 4
build_street blower-centrifugal manifold= -- --blower 39
build_street blower-roots block=42 compression=8 manifold= -- --blower 49
for exhaust in 1 4 7; do build_street "exhaust-$exhaust" exhaust=$exhaust; done
for cam in 1 3 4 5; do
    for lifter in 1 2 3; do build_street "cam-$cam-lifter-$lifter" block=37 cam=$cam lifter=$lifter; done
done
build_street timing-050 cam=6 -- --timing 2 --cam-events 20,56,62,22
build_street metric -- --units metric

for engine in "$out"/engines/*.trq; do
    name=$(basename "$engine" .trq)
    for format in table csv json; do
        record "run-$name-$format" "$cli" run "$engine" --format "$format"
    done
    record "convert-$name" "$cli" convert "$engine" -o "$out/convert-$name.trq"
    mkdir -p "$out/dos/$name"  # a folder each: the DOS names of the engines clash
    record "dos-$name" "$cli" export-dos "$engine" -o "$out/dos/$name/$name.trq"
    mkdir -p "$out/game/$name"
    record "game-$name" "$cli" export-game "$engine" -o "$out/game/$name/$name.gme"
done

series() {  # series NAME ENGINE OPTIONS...
    local name=$1 engine=$2
    shift 2
    record "iterate-$name-table" "$cli" iterate "$engine" "$@"
    record "iterate-$name-json" "$cli" iterate "$engine" "$@" --format json --save-best "$out/best-$name"
}
series cam "$out/engines/chevy-350-street.trq" --sweep ivc=56:76:2 --sweep evo=60:80:2 --band 3000-6500
series block "$out/engines/chevy-383-built.trq" --sweep bore=4.0:4.1:0.02 --sweep stroke=3.5:3.9:0.05 \
    --sweep compression=9:12:0.5 --criterion torque
series lifts "$out/engines/ford-302-nitrous.trq" --sweep int-lift=0.4:0.6:0.02 --sweep exh-lift=0.4:0.6:0.04
record iterate-cam-no-batch "$cli" iterate "$out/engines/chevy-350-street.trq" --sweep ivc=56:76:2 \
    --sweep evo=60:80:2 --band 3000-6500 --no-batch --format json

# Paths differ between the two runs; the messages name them.
find "$out" \( -name '*.err' -o -name '*.out' \) -exec sed -i "s|$out|OUT|g" {} +
echo "$(find "$out" -type f | wc -l) files in $out"
