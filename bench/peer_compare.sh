#!/usr/bin/env bash
# Time to the first timetable of a free peer timetabler (fet-cl, Debian
# package "fet") on the generated schools of the strict-option benchmarks:
# 9, 15 and 30 class sections under the three strict option sets, as written
# by peer_export (see the top of bench/peer_export.cpp for how our rules are
# stated in the peer's terms and what is left out).
#
#   bench/peer_compare.sh BUILD_DIR [SECONDS] [RUNS] [VARIANTS]
#
# BUILD_DIR  a build directory holding bench/peer_export (this script builds
#            nothing: ninja -C BUILD_DIR peer_export)
# SECONDS    the peer's time limit per run (default 120)
# RUNS       runs per file (default 3); the peer draws its own random seeds
# VARIANTS   forms of the last-hours limit to run, any of "plain" (left out),
#            "split" (laxer than ours where a person's class sections differ
#            in length) and "cap" (stricter than ours); default "plain split cap"
#
# Prints one line per run: classes, option set, variant, run, wall seconds,
# outcome (timetable / time limit / failed) and the peer's timetable judged by
# our verifier (the broken rules by key; "0 broken rules" = valid for us).
# The peer's input and output files stay under BUILD_DIR/peer.
set -u

build_dir=${1:?usage: $0 BUILD_DIR [SECONDS] [RUNS] [VARIANTS]}
limit=${2:-120}
runs=${3:-3}
variants=${4:-plain split cap}

if ! command -v fet-cl >/dev/null 2>&1; then
    echo "fet-cl is not installed (Debian package \"fet\"): nothing to compare."
    exit 0
fi
exporter="$build_dir/bench/peer_export"
if [[ ! -x "$exporter" ]]; then
    echo "$exporter not found: build it first (ninja -C $build_dir peer_export)." >&2
    exit 1
fi

work="$build_dir/peer"
rm -rf "$work"
mkdir -p "$work/inputs" "$work/outputs"
"$exporter" "$work/inputs" >"$work/export.log" || {
    cat "$work/export.log" >&2
    exit 1
}
if grep -q "note:" "$work/export.log"; then
    grep "note:" "$work/export.log"
fi

echo "$(fet-cl --version 2>/dev/null | head -1); time limit ${limit} s; ${runs} runs per file"
printf '%-7s %-3s %-5s %-3s %8s  %-10s %s\n' classes set form run seconds outcome "our verifier"
for classes in 9 15 30; do
    for set in 0 1 2; do
        for variant in $variants; do
            name="school${classes}_set${set}"
            [[ $variant != plain ]] && name="${name}_${variant}"
            for run in $(seq 1 "$runs"); do
                out="$work/outputs/${name}_run${run}"
                log="$out.log"
                start=$(date +%s%N)
                fet-cl --inputfile="$work/inputs/$name.fet" --outputdir="$out" \
                    --timelimitseconds="$limit" --htmllevel=0 \
                    --warnifusingnotperfectconstraints=false >"$log" 2>&1
                end=$(date +%s%N)
                ms=$(((end - start) / 1000000))
                seconds=$(printf '%d.%02d' $((ms / 1000)) $((ms % 1000 / 10)))
                verdict="-"
                if grep -q "Simulation successful" "$log"; then
                    outcome=timetable
                    verdict=$("$exporter" --judge "$classes" "$set" \
                        "$out/timetables/$name/${name}_activities.xml" | sed 's/^[^:]*: //')
                elif grep -q "Time exceeded" "$log"; then
                    outcome="time-limit"
                else
                    outcome=failed
                fi
                printf '%-7s %-3s %-5s %-3s %8s  %-10s %s\n' "$classes" "$set" "$variant" \
                    "$run" "$seconds" "$outcome" "$verdict"
            done
        done
    done
done
