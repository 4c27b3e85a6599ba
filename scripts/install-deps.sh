#!/usr/bin/env bash
# Installs every system package the project needs to build, test and run,
# on Debian 12. Idempotent; run as root.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake pkg-config binutils
  # image libraries
  libtiff-dev libjpeg62-turbo-dev libpng-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
)

export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${packages[@]}"
