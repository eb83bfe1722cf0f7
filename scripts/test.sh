#!/usr/bin/env bash
# All tests: installs what is missing, builds from nothing if needed, runs
# every test executable under Wine on a virtual display.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
bash "$ROOT/scripts/build.sh"
cd "$BUILD_DIR"
# One persistent Wine server for the whole run saves a start per test.
wineserver -p 60 || true
status=0
xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure "$@" || status=$?
wineserver -k || true
exit $status
