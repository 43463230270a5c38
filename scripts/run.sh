#!/usr/bin/env bash
# Installs what is missing, builds the two programs and imports the demo
# school into a fresh program directory (build/demo). With a display ($DISPLAY or
# $WAYLAND_DISPLAY) it opens the desktop program on that directory; without
# one, or with --headless, it solves the demo school with the command-line
# tool and the solution pages are written under build/demo/SOLUTIONS/HOMEBASE.
# Other arguments go to `taktirio-cli solve` (for example -n 5 --seed 42).
set -euo pipefail
cd "$(dirname "$0")/.."

headless=0
solve_args=()
for arg in "$@"; do
    if [ "$arg" = "--headless" ]; then
        headless=1
    else
        solve_args+=("$arg")
    fi
done
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    headless=1
fi

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAKTIRIO_WERROR=ON >/dev/null
# The two programs and what they need (taktirio-cli execs taktirio-cli-print
# for `print`), not the tests and benchmarks: scripts/test.sh builds those.
cmake --build build -j "$(nproc)" --target taktirio taktirio-cli taktirio-cli-print

program_dir="$(pwd)/build/demo"
rm -rf "$program_dir"
mkdir -p "$program_dir"
cli=./build/src/cli/taktirio-cli
"$cli" import examples/demo-gymnasium.json --dir "$program_dir"
if [ "$headless" -eq 1 ]; then
    "$cli" solve --dir "$program_dir" --replace "${solve_args[@]+"${solve_args[@]}"}"
else
    exec ./build/src/app/taktirio --dir "$program_dir"
fi
