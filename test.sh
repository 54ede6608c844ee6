#!/usr/bin/env bash
# Installs what the tests need, builds Tolvo with AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-tests/) and runs every test with CTest.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"
. tools/packages.sh

tolvo_install_packages "${TOLVO_PACKAGES[@]}" "${TOLVO_TEST_PACKAGES[@]}"

cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Debug -DTOLVO_SANITIZE=ON -DTOLVO_TESTS=ON
cmake --build build-tests -j"$(nproc)"

cd build-tests
ctest --output-on-failure -j"$(nproc)" "$@"
