#!/usr/bin/env bash
# Builds Snapwell in Release and installs it where hosts look:
#   VST3 -> ~/.vst3, LV2 -> ~/.lv2, Standalone -> ~/.local/bin.
set -euo pipefail

source "$(dirname "$0")/common.sh"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}"
cmake --build build --target Snapwell_VST3 Snapwell_LV2 Snapwell_Standalone

artefacts="build/Snapwell_artefacts/Release"

install_copy() {
    local from="$1" to_dir="$2"
    mkdir -p "$to_dir"
    rm -rf "${to_dir:?}/$(basename "$from")"
    cp -R "$from" "$to_dir/"
    echo "Installed $to_dir/$(basename "$from")"
}

install_copy "$artefacts/VST3/Snapwell.vst3" "$HOME/.vst3"
install_copy "$artefacts/LV2/Snapwell.lv2" "$HOME/.lv2"
install_copy "$artefacts/Standalone/Snapwell" "$HOME/.local/bin"
