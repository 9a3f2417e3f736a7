#!/usr/bin/env bash
# The tuner beside a reference tuner, aubiopitch (Debian's aubio-tools, yin,
# 8000 Hz, 2048-sample buffers and hops), on the synthetic string corpus.
# Run by hand: bench/tuner_accuracy.sh [build folder, default build]
# Without aubiopitch the reference columns read "skipped".
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
cmake --build "$BUILD" -j 3 --target tuner_accuracy >/dev/null
if ! command -v aubiopitch >/dev/null 2>&1; then
  echo "aubiopitch not found: the reference columns are skipped (apt-get install aubio-tools)" >&2
fi
CORPUS="$(mktemp -d)"
trap 'rm -rf "$CORPUS"' EXIT
"$BUILD/bench/tuner_accuracy" "$CORPUS"
