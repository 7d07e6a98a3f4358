#!/usr/bin/env bash
# Sets up what is missing, builds, and opens the bundled sample documents in the viewer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
viewer=build/bin/Darvena.exe
if [ ! -x "$viewer" ]; then
  echo "Built. The viewer is not part of this build yet; nothing to run."
  exit 0
fi
exec "$viewer" samples/*
