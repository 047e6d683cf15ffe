#!/bin/bash
# Runs a command with its wall clock starting at a local time and running on from
# there (tools/lib/faked_clock.sh).
# Usage: with_faked_clock.sh "YYYY-MM-DD hh:mm:ss" COMMAND [ARGUMENT...]
set -euo pipefail
# shellcheck source=../tools/lib/faked_clock.sh
. "$(dirname "$0")/../tools/lib/faked_clock.sh"
start=${1:?"usage : $0 \"AAAA-MM-JJ hh:mm:ss\" COMMANDE [ARGUMENT...]"}
shift
faked_clock_at "$start" || { echo "$0: libfaketime est absente (paquet faketime)" >&2; exit 1; }
exec env "${clock_environment[@]}" "$@"
