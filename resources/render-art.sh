#!/usr/bin/env bash
# Renders the panel art in resources/art/*.svg to the PNGs in resources/images/
# that the plug-in embeds (see resources/CMakeLists.txt).
#
# Needs Debian packages: librsvg2-bin (rsvg-convert), imagemagick (convert),
# optipng, fonts-dejavu-core (the legends), python3 (only with --layout).
#
#   resources/render-art.sh            render every image
#   resources/render-art.sh --layout   rebuild panelBackground.svg from
#                                      art/panel_layout.py first
#
# The editor expects exact pixel sizes and channel layouts, so each image is
# forced to its format here rather than trusting whatever the renderer writes:
# 8 bits per channel, non-interlaced, RGBA except makerBanner (RGB, no alpha).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
art="$here/art"
out="$here/images"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for tool in rsvg-convert convert optipng; do
    command -v "$tool" >/dev/null || { echo "render-art.sh: $tool not found" >&2; exit 1; }
done

if [[ "${1:-}" == "--layout" ]]; then
    python3 "$art/panel_layout.py"
fi

mkdir -p "$out"

# name width height format
#   opaque-rgba  every pixel opaque, alpha channel kept
#   rgba         as drawn (transparent ground)
#   rgb          flattened, alpha channel dropped
images=(
    "panelBackground 1616 774 opaque-rgba"
    "switchLeverDown 64 64 rgba"
    "switchLeverUp 64 64 rgba"
    "lampLit 52 52 rgba"
    "lampDark 52 52 rgba"
    "bannerBlank 403 80 rgba"
    "makerBanner 403 80 rgb"
)

for entry in "${images[@]}"; do
    read -r name width height format <<<"$entry"
    raw="$work/$name.raw.png"
    png="$work/$name.png"

    # rsvg stretches to the exact size; the panel SVG relies on that
    # (preserveAspectRatio="none").
    rsvg-convert --width "$width" --height "$height" --format png "$art/$name.svg" -o "$raw"

    case "$format" in
        opaque-rgba)
            convert "$raw" -background '#2a2c2f' -alpha remove -alpha on -depth 8 PNG32:"$png" ;;
        rgba)
            convert "$raw" -depth 8 PNG32:"$png" ;;
        rgb)
            convert "$raw" -background '#111215' -alpha remove -alpha off -depth 8 PNG24:"$png" ;;
    esac

    # Keep the colour type and bit depth the editor and tests expect (-nc -nb):
    # optipng would otherwise drop the all-opaque alpha or shrink to a palette.
    optipng -quiet -o7 -nc -nb -i0 -strip all "$png"

    actual="$(identify -format '%wx%h' "$png")"
    if [[ "$actual" != "${width}x${height}" ]]; then
        echo "render-art.sh: $name came out $actual, wanted ${width}x${height}" >&2
        exit 1
    fi

    cp "$png" "$out/$name.png"
    printf '%-16s %5sx%-4s %-11s %8d bytes\n' "$name" "$width" "$height" "$format" "$(stat -c %s "$out/$name.png")"
done
