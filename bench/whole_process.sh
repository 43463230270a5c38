#!/usr/bin/env bash
# Whole-process times of taktirio-cli on the demo school, as a user's shell
# sees them: --help (the cost of starting the program), solve -n 1 --threads 1
# --replace, check and export. hyperfine times each command; the commands take
# turns, round after round, so that a change in the machine's load touches
# them all alike. Prints each command's median over every run and its ratio to
# --help.
#
#   bash bench/whole_process.sh [CLI] [ROUNDS]     (defaults: build/src/cli/taktirio-cli, 6)
set -euo pipefail
cd "$(dirname "$0")/.."

cli=$(realpath "${1:-build/src/cli/taktirio-cli}")
rounds=${2:-6}
command -v hyperfine >/dev/null || { echo "hyperfine is missing: bash scripts/install-deps.sh" >&2; exit 1; }

school=$(mktemp -d)
results=$(mktemp -d)
trap 'rm -rf "$school" "$results"' EXIT
"$cli" import examples/demo-gymnasium.json --dir "$school" >/dev/null
"$cli" solve -n 1 --seed 1 --threads 1 --replace --dir "$school" >/dev/null

for round in $(seq "$rounds"); do
    hyperfine --shell=none --warmup 2 --runs 5 --style none \
        --export-json "$results/round$round.json" \
        -n help "$cli --help" \
        -n solve "$cli solve -n 1 --threads 1 --replace --dir $school" \
        -n check "$cli check --dir $school" \
        -n export "$cli export --dir $school" >/dev/null
done

python3 - "$results" <<'PY'
import glob, json, statistics, sys
times = {}
for path in sorted(glob.glob(sys.argv[1] + "/round*.json")):
    for result in json.load(open(path))["results"]:
        times.setdefault(result["command"], []).extend(result["times"])
help_median = statistics.median(times["help"])
for name, values in times.items():
    median = statistics.median(values)
    print(f"{name:7s} median {median * 1000:6.2f} ms over {len(values)} runs"
          f"  = {median / help_median:4.2f} x --help")
PY
