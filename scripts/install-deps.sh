#!/usr/bin/env bash
# Installs every system package the project needs to build, test and run,
# on Debian 12. Idempotent; run as root.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake pkg-config binutils ccache
  # coverage tables (scripts/coverage.sh)
  gcovr
  # image libraries
  libtiff-dev libjpeg62-turbo-dev libpng-dev
  # platix: EXIF orientation and standard netpbm files
  libexif-dev libnetpbm-dev
  # platix serve and worker: HTTP, JSON, Redis Streams (and the server the
  # tests start)
  libcpp-httplib-dev nlohmann-json3-dev libhiredis-dev redis-server
  # platix watch: video files and streams
  libavformat-dev libavdevice-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # fuzzing (the libFuzzer targets are built with clang)
  clang libclang-rt-14-dev
  # desktop programs
  qt6-base-dev libgl-dev
  # synthetic plates: FreeType and the fonts it draws with
  # (condensed faces for the European and Brazilian plates, wider ones for
  # the US plates)
  libfreetype-dev fonts-dejavu-core fonts-dejavu-extra fonts-liberation fonts-roboto-unhinted
  # the learned plate reader: libtorch, and OpenBLAS as the BLAS it loads
  # (the reference BLAS is about ten times slower)
  libtorch-dev libopenblas0-pthread zlib1g-dev
)

export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${packages[@]}"
