#!/usr/bin/env bash
# Configures and builds the product into build/ (warnings are errors).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDARVENA_WERROR=ON > build.log || { cat build.log; exit 1; }
cmake --build build --parallel "$(nproc)"
