#!/usr/bin/env bash
# Set up, build, then run every test; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
# Sanitizers, fuzz corpus runs and Valgrind, after the ordinary tests pass.
scripts/hardening.sh
