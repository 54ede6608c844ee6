#!/usr/bin/env bash
# Installs what Tolvo needs, builds it (Release, in build/) and starts it.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"
. tools/packages.sh

tolvo_install_packages "${TOLVO_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTOLVO_TESTS=OFF
cmake --build build -j"$(nproc)"

exec build/bin/Tolvo "$@"
