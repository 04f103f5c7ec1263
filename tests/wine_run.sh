#!/usr/bin/env bash
# Runs a Windows program under Wine. Usage: wine_run.sh PREFIX PROGRAM ARGS...
set -u
. "$(dirname "$0")/wine_env.sh" "$1"
shift
exec "$wine" "$@"
