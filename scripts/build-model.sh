#!/usr/bin/env bash
# Trains the bundled model of the learned reader, data/models/plates.pnet,
# on synthetic plates only, with fixed seeds, so that the same platix gives
# the same file. Run from the repository folder after a build; the first
# argument names the platix to use (default build/platix/platix).
# Two stages: from scratch on 900 whole scenes (truth boxes and the fields
# the analysis finds in them, a third per region style), where the network
# learns to find characters at all; then 4000 plate crops drawn in memory
# (frames, stickers, dirt, perspective, small sizes, JPEG loss), where it
# learns the variety. About 10 + 30 minutes on a busy 2-core machine.
set -euo pipefail
platix=${1:-build/platix/platix}
mkdir -p data/models
stage1=$(mktemp --suffix=.pnet)
trap 'rm -f "$stage1"' EXIT
"$platix" train --reader net --start scratch --model "$stage1" --synth 900 --synth-scenes \
  --synth-seed 1 --seed 1 --epochs 12 --minutes 600 --jobs 1
"$platix" train --reader net --start "$stage1" --model data/models/plates.pnet --synth 4000 \
  --synth-seed 2 --seed 1 --epochs 10 --minutes 600 --jobs 1
