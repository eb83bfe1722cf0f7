#!/usr/bin/env bash
# The demo: the host stand-in asks the plug-in for the status of the
# simulated printer in a series of printer states.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
bash "$ROOT/scripts/build.sh" >/dev/null
cd "$BUILD_DIR/bin"
wine krxhost.exe demo
# Settings, channel and data exports against the simulated printer.
wine krxhost.exe demo-exports
# A print job followed through the port monitor: local library, then RPC.
wine krxhost.exe jobs && wine krxhost.exe jobs --rpc
# A monitoring session: a Detail window follows the printer, a meter a job.
bash "$ROOT/scripts/session_screenshots.sh" --no-build
# The Detail window and the pop-up, photographed while open.
bash "$ROOT/scripts/window_screenshots.sh"
wineserver -w
