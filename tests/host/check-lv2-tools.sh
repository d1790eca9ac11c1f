#!/bin/sh
# Checks the built LV2 bundle with Debian's LV2 tools, which read its Turtle files
# directly, with no JUCE in between.
#   check-lv2-tools.sh uri|ports <path/to/Snapwell.lv2> <plug-in URI>
set -eu

check="$1"
bundle="$2"
uri="$3"

for tool in lv2ls lv2info; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool not found (Debian package lilv-utils)"; exit 1; }
done

[ -f "$bundle/manifest.ttl" ] || { echo "FAIL: no manifest.ttl in $bundle"; exit 1; }

# Installed as the install script does, into ~/.lv2 (HOME is the test's own folder),
# and only that folder searched: nothing else on the machine can stand in for it.
mkdir -p "$HOME/.lv2"
rm -rf "$HOME/.lv2/$(basename "$bundle")"
cp -R "$bundle" "$HOME/.lv2/"
LV2_PATH="$HOME/.lv2"
export LV2_PATH

case "$check" in
uri)
    listed="$(lv2ls)"
    echo "lv2ls: $listed"
    # The exact, absolute URI on a line of its own.
    printf '%s\n' "$listed" | grep -qxF "$uri" || { echo "FAIL: lv2ls does not list $uri"; exit 1; }
    ;;
ports)
    info="$(lv2info "$uri")" || { echo "FAIL: lv2info $uri failed"; exit 1; }
    printf '%s\n' "$info"

    printf '%s\n' "$info" | grep -qE "^[[:space:]]*Name:[[:space:]]+Snapwell$" || { echo "FAIL: name is not Snapwell"; exit 1; }

    # lv2info prints each port as a "Port N:" block followed by its "Type:" lines;
    # count the blocks that are both audio and input (or output).
    count_ports() {
        printf '%s\n' "$info" | awk -v dir="$1" '
            /^[[:space:]]*Port [0-9]+:/ { if (audio && io) n++; audio = 0; io = 0; next }
            /lv2plug.in\/ns\/lv2core#AudioPort/ { audio = 1 }
            $0 ~ ("lv2plug.in/ns/lv2core#" dir "Port") { io = 1 }
            END { if (audio && io) n++; print n + 0 }'
    }

    inputs="$(count_ports Input)"
    outputs="$(count_ports Output)"
    echo "audio inputs: $inputs, audio outputs: $outputs"
    [ "$inputs" -eq 2 ] || { echo "FAIL: expected 2 audio input ports, found $inputs"; exit 1; }
    [ "$outputs" -eq 2 ] || { echo "FAIL: expected 2 audio output ports, found $outputs"; exit 1; }
    ;;
*)
    echo "unknown check: $check"
    exit 2
    ;;
esac

echo PASS
