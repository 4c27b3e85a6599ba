#!/usr/bin/env bash
# Trains the bundled model of the learned reader, data/models/plates.pnet,
# on synthetic scenes only (900 scenes, a third per region style, fixed
# seeds), so that the same platix gives the same file. Run from the
# repository folder after a build; the first argument names the platix to
# use (default build/platix/platix).
set -euo pipefail
platix=${1:-build/platix/platix}
mkdir -p data/models
"$platix" train --reader net --model data/models/plates.pnet \
  --synth 900 --synth-seed 1 --seed 1 --epochs 12 --minutes 600 --jobs 1
