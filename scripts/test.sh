#!/usr/bin/env bash
# All tests: installs what is missing, builds from nothing if needed, runs
# every test executable under Wine on a virtual display, checks the installed
# tree, runs the static analysis, then the fuzz targets for a bounded time
# (KRX_FUZZ_SECONDS, default 20 each; 0 skips).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
bash "$ROOT/scripts/build.sh"
cd "$BUILD_DIR"

# A virtual display of our own for the whole run.
source "$ROOT/scripts/screen.sh"
krx_start_display test 90 140

# One persistent Wine server for the whole run, with Wine's own background
# processes started here: started from a test, they would hold the test's
# output pipe open and ctest would wait for them.
wineserver -p
wineboot >/dev/null 2>&1 || true

status=0
ctest --output-on-failure "$@" || status=$?
bash "$ROOT/scripts/install_check.sh" || status=$?
bash "$ROOT/scripts/lint.sh" || status=$?
bash "$ROOT/scripts/fuzz.sh" || status=$?
exit $status
