#!/usr/bin/env bash
# Sets up, builds (Release, incremental) and starts Segmora with the given
# arguments. Without the window program it starts segmora-split.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/scripts/deps.sh" >&2
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >&2
cmake --build "$here/build" -j "$(nproc)" >&2
if [ -x "$here/build/app/segmora" ]; then
  exec "$here/build/app/segmora" "$@"
fi
exec "$here/build/cli/segmora-split" "$@"
