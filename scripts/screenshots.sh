#!/usr/bin/env bash
# Writes a PNG of every window of the desktop program into build/screenshots,
# offscreen, with the demo school imported into build/screenshots-school.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAKTIRIO_WERROR=ON >/dev/null
cmake --build build -j "$(nproc)" --target taktirio-cli gui_screenshots

school="$(pwd)/build/screenshots-school"
rm -rf "$school" build/screenshots
mkdir -p "$school"
./build/src/cli/taktirio-cli import examples/demo-gymnasium.json --dir "$school"
# One solved page for the print windows.
./build/src/cli/taktirio-cli solve -n 1 --seed 7 --threads 1 --replace --dir "$school" >/dev/null
# A 1280 x 1024 screen, so that menus are measured as on a real desktop.
QT_QPA_PLATFORM="offscreen:configfile=$(pwd)/tests/gui/offscreen-1280x1024.json" \
    ./build/tests/gui/gui_screenshots --dir "$school" --out build/screenshots
