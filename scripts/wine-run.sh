#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's prefix and locale.
# CTest uses it as the emulator of the Windows build.
set -u
source "$(dirname "$0")/wine-env.sh"
pukko_wine_prefix
exec wine "$@"
