#!/usr/bin/env bash
# Installs what is missing, builds the release preset and says what it built.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
echo
echo "Built in build/release:"
find build/release -maxdepth 3 -type f -perm -u+x ! -name '*.so' ! -path '*/CMakeFiles/*' | sort
