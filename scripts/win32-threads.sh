#!/usr/bin/env bash
# Compiler launcher for the DLLs: runs the win32-thread-model variant of the
# mingw compiler given as $1. DLLs built with the posix model link winpthread,
# which takes a TLS slot at every load and never gives it back, so a library
# loaded and unloaded again and again (as the plug-in does with the
# bidirectional library on every query) would run out of TLS slots.
compiler="$1"
shift
exec "${compiler/-posix/-win32}" "$@"
