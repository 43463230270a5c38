#!/usr/bin/env bash
# Installs what is missing, builds the command-line tool, imports the demo
# school into a fresh program directory (build/demo), and solves it: the
# solution pages are written under build/demo/SOLUTIONS/HOMEBASE.
# Extra arguments go to `taktirio-cli solve` (for example -n 5 --seed 42).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target taktirio-cli

program_dir="$(pwd)/build/demo"
rm -rf "$program_dir"
mkdir -p "$program_dir"
cli=./build/src/cli/taktirio-cli
"$cli" import examples/demo-gymnasium.json --dir "$program_dir"
"$cli" solve --dir "$program_dir" --replace "$@"
