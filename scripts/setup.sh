#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Snapwell need.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config ccache juce-modules-source juce-tools
    # tests, benchmarks, sanitizers and fuzzing
    libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
    # a virtual display, clipboard and LV2 tools for the host-level tests
    xvfb xauth xclip lilv-utils
    # the art pipeline (only needed to re-render the images)
    librsvg2-bin optipng imagemagick
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
