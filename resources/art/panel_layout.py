#!/usr/bin/env python3
"""Writes panelBackground.svg from the editor's component rectangles.

The editor is 606 x 271 units and stretches the 1616 x 774 art over it, so the
art is not scaled the same way in x and y (8/3 across, 774/271 down).  The SVG
is drawn in "design units" of 8/3 per panel unit in both directions and then
stretched to 1616 x 774 with preserveAspectRatio="none"; that way a circle in
the SVG is a circle on screen, where the square switch and lamp images land.

Run with --table to print where each component falls in art pixels.
Edit this file (not the SVG) for layout; render-art.sh turns the SVG into PNG.
"""

import math
import os
import sys

PANEL_W, PANEL_H = 606, 271
ART_W, ART_H = 1616, 774
U = ART_W / PANEL_W                    # design units per panel unit (8/3)
DESIGN_H = PANEL_H * U                 # 722.67

# Component rectangles in panel units (x, y, w, h), as the editor places them.
COMPONENTS = {
    "catchButton":   (59, 64, 72, 72),
    "releaseButton": (475, 64, 72, 72),
    "bannerButton":  (232, 45, 142, 28),
    "nameLabel":     (160, 54, 259, 72),
    "progressBar":   (239, 103, 134, 6),
    "lampLeft":      (182, 157, 50, 50),
    "lampCentre":    (279, 157, 50, 50),
    "lampRight":     (376, 157, 50, 50),
}


def design_rect(name):
    x, y, w, h = COMPONENTS[name]
    return x * U, y * U, w * U, h * U


def design_centre(name):
    x, y, w, h = design_rect(name)
    return x + w / 2, y + h / 2


def art_rect(name):
    x, y, w, h = COMPONENTS[name]
    sx, sy = ART_W / PANEL_W, ART_H / PANEL_H
    return x * sx, y * sy, w * sx, h * sy


def print_table():
    print(f"{'component':14} {'panel x,y,w,h':>20}   {'art px x0..x1':>18} {'y0..y1':>16}  centre")
    for name, r in COMPONENTS.items():
        x, y, w, h = art_rect(name)
        print(f"{name:14} {str(r):>20}   {x:8.1f}..{x + w:7.1f} {y:7.1f}..{y + h:7.1f}"
              f"  ({x + w / 2:.1f}, {y + h / 2:.1f})")


def f(v):
    return f"{v:.2f}".rstrip("0").rstrip(".")


# ---------------------------------------------------------------- pieces

def engraved_text(x, y, text, size, spacing=0, weight="bold", anchor="middle",
                  family="DejaVu Sans", stretch="condensed", fill="#1c1e21", light="#ffffff",
                  light_opacity=0.55):
    """Silkscreen legend with a faint highlight below it, as if cut into the plate."""
    common = (f'font-family="{family}" font-size="{f(size)}" font-weight="{weight}" '
              f'font-stretch="{stretch}" letter-spacing="{f(spacing)}" text-anchor="{anchor}"')
    return (f'<text x="{f(x)}" y="{f(y + 1.6)}" {common} fill="{light}" opacity="{light_opacity}">{text}</text>\n'
            f'<text x="{f(x)}" y="{f(y)}" {common} fill="{fill}">{text}</text>\n')


def screw(cx, cy, r, angle):
    a = math.radians(angle)
    dx, dy = math.cos(a) * r * 0.62, math.sin(a) * r * 0.62
    ex, ey = -dy, dx
    slot = r * 0.16
    return f'''<g>
  <circle cx="{f(cx + 1.5)}" cy="{f(cy + 2.5)}" r="{f(r + 1.5)}" fill="#000" opacity="0.28"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r + 1.2)}" fill="#6f7377"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r)}" fill="url(#screwHead)"/>
  <path d="M{f(cx - dx)},{f(cy - dy)} L{f(cx + dx)},{f(cy + dy)} M{f(cx - ex)},{f(cy - ey)} L{f(cx + ex)},{f(cy + ey)}"
        stroke="#3b3e42" stroke-width="{f(slot * 2)}" stroke-linecap="round"/>
  <path d="M{f(cx - dx + 0.8)},{f(cy - dy + 1.2)} L{f(cx + dx + 0.8)},{f(cy + dy + 1.2)} M{f(cx - ex + 0.8)},{f(cy - ey + 1.2)} L{f(cx + ex + 0.8)},{f(cy + ey + 1.2)}"
        stroke="#ffffff" stroke-opacity="0.35" stroke-width="{f(slot * 0.7)}" stroke-linecap="round"/>
</g>
'''


def switch_frame(cx, cy, legend):
    """Large knurled bezel ring that the toggle switch sits in, legend below."""
    r_out, r_knurl, r_chamfer, r_well = 134, 127, 114, 106
    knurl_len = 2 * math.pi * r_knurl
    dash = knurl_len / 120
    s = f'''<g id="frame-{legend.lower()}">
  <circle cx="{f(cx)}" cy="{f(cy + 7)}" r="{f(r_out + 6)}" fill="url(#softShadow)"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_out + 3)}" fill="none" stroke="#ffffff" stroke-opacity="0.45" stroke-width="2"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_out)}" fill="url(#bezelBody)"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_knurl)}" fill="none" stroke="#0c0d0e" stroke-width="11"
          stroke-dasharray="{f(dash * 0.45)} {f(dash * 0.55)}" opacity="0.55"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_knurl)}" fill="none" stroke="url(#ringSheen)" stroke-width="11" opacity="0.35"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_chamfer + 2)}" fill="none" stroke="#0b0c0d" stroke-width="3"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_chamfer - 3)}" fill="none" stroke="url(#chamfer)" stroke-width="9"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_well)}" fill="url(#wellFace)"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_well)}" fill="url(#wellShade)"/>
'''
    # Engraved index marks on the ring at the lever's two positions.
    for ang in (-90, 90):
        a = math.radians(ang)
        x0, y0 = cx + math.cos(a) * (r_well - 16), cy + math.sin(a) * (r_well - 16)
        x1, y1 = cx + math.cos(a) * (r_well - 4), cy + math.sin(a) * (r_well - 4)
        s += (f'  <path d="M{f(x0)},{f(y0)} L{f(x1)},{f(y1)}" stroke="#d8dcdf" stroke-opacity="0.8" '
              f'stroke-width="4" stroke-linecap="round"/>\n')
    s += '</g>\n'
    s += engraved_text(cx, cy + r_out + 52, legend, 46, spacing=7)
    return s


def dial(cx, cy, pointer_deg, tag):
    """Skirted knob with a scale; the lamp image covers the centre of its cap."""
    r_scale_out, r_scale_in, r_minor, r_skirt, r_cap = 116, 101, 108, 92, 74
    s = f'<g id="dial-{tag}">\n'
    # scale: 11 major and 10 minor ticks across 270 degrees
    ticks = []
    for i in range(21):
        ang = -225 + i * 13.5
        a = math.radians(ang)
        r0 = r_scale_in if i % 2 == 0 else r_minor
        x0, y0 = cx + math.cos(a) * r0, cy + math.sin(a) * r0
        x1, y1 = cx + math.cos(a) * r_scale_out, cy + math.sin(a) * r_scale_out
        ticks.append(f"M{f(x0)},{f(y0)} L{f(x1)},{f(y1)}")
    s += (f'  <path d="{" ".join(ticks)}" stroke="#ffffff" stroke-opacity="0.5" stroke-width="4.2" '
          f'transform="translate(0.8,1.4)" stroke-linecap="butt"/>\n')
    s += (f'  <path d="{" ".join(ticks)}" stroke="#202225" stroke-width="4.2" stroke-linecap="butt"/>\n')
    s += f'''  <circle cx="{f(cx + 2)}" cy="{f(cy + 9)}" r="{f(r_skirt + 4)}" fill="url(#softShadow)"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_skirt)}" fill="url(#knobSkirt)"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_skirt - 4)}" fill="none" stroke="#000" stroke-opacity="0.6" stroke-width="6"
          stroke-dasharray="3.2 3.2"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_skirt)}" fill="url(#skirtSheen)"/>
'''
    a = math.radians(pointer_deg - 90)
    x0, y0 = cx + math.cos(a) * (r_cap + 3), cy + math.sin(a) * (r_cap + 3)
    x1, y1 = cx + math.cos(a) * (r_skirt - 3), cy + math.sin(a) * (r_skirt - 3)
    s += (f'  <path d="M{f(x0)},{f(y0)} L{f(x1)},{f(y1)}" stroke="#f2f2ee" stroke-width="6" '
          f'stroke-linecap="round"/>\n')
    s += f'''  <circle cx="{f(cx)}" cy="{f(cy + 3)}" r="{f(r_cap + 1)}" fill="#000" opacity="0.55"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_cap)}" fill="url(#capFace)"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r_cap - 1.5)}" fill="none" stroke="url(#capEdge)" stroke-width="3"/>
</g>
'''
    return s


def push_button(cx, cy):
    s = f'''<g>
  <circle cx="{f(cx)}" cy="{f(cy + 4)}" r="33" fill="url(#softShadow)"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="29" fill="url(#bezelBody)"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="24" fill="none" stroke="url(#chamfer)" stroke-width="4"/>
  <circle cx="{f(cx)}" cy="{f(cy)}" r="21" fill="url(#buttonCap)"/>
  <ellipse cx="{f(cx - 4)}" cy="{f(cy - 8)}" rx="11" ry="6" fill="#ffffff" opacity="0.18"/>
</g>
'''
    return s


# ---------------------------------------------------------------- the panel

def build_svg():
    W, H = ART_W, DESIGN_H
    catch_c = design_centre("catchButton")
    release_c = design_centre("releaseButton")
    bx, by, bw, bh = design_rect("bannerButton")
    px, py, pw, ph = design_rect("progressBar")
    lamps = [design_centre(n) for n in ("lampLeft", "lampCentre", "lampRight")]
    mid_x = W / 2

    # Display window: under the title plate, inside the name label, wide enough
    # for long preset names; the progress bars run along its lower edge.
    win_x0, win_x1 = mid_x - 352, mid_x + 352
    win_y0, win_y1 = by + bh + 12, py + ph + 12
    bez = 12  # bezel around the glass

    out = []
    out.append(f'''<?xml version="1.0" encoding="UTF-8"?>
<!-- Snapwell face plate. Generated by panel_layout.py from the editor's
     component rectangles; drawn in 8/3-per-panel-unit design space and stretched
     to 1616 x 774 (see the script). Fonts: DejaVu (fonts-dejavu-core). -->
<svg xmlns="http://www.w3.org/2000/svg" width="{ART_W}" height="{ART_H}"
     viewBox="0 0 {f(W)} {f(H)}" preserveAspectRatio="none">
<defs>
  <linearGradient id="plateBase" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#cfd2d4"/>
    <stop offset="0.5" stop-color="#c0c3c6"/>
    <stop offset="1" stop-color="#a9adb1"/>
  </linearGradient>
  <linearGradient id="plateSheen" x1="0" y1="0" x2="1" y2="0.35">
    <stop offset="0" stop-color="#ffffff" stop-opacity="0"/>
    <stop offset="0.38" stop-color="#ffffff" stop-opacity="0.16"/>
    <stop offset="0.52" stop-color="#ffffff" stop-opacity="0"/>
    <stop offset="0.8" stop-color="#000000" stop-opacity="0.05"/>
    <stop offset="1" stop-color="#000000" stop-opacity="0"/>
  </linearGradient>
  <filter id="brushed" x="0" y="0" width="1" height="1" filterUnits="objectBoundingBox">
    <feTurbulence type="turbulence" baseFrequency="0.0008 0.42" numOctaves="2" seed="11" result="grain"/>
    <feColorMatrix in="grain" type="matrix"
        values="0 0 0 0 0.5  0 0 0 0 0.5  0 0 0 0 0.5  0 0 0 0 1" result="mid"/>
    <feColorMatrix in="grain" type="matrix"
        values="1 0 0 0 0  1 0 0 0 0  1 0 0 0 0  0 0 0 0 1" result="grey"/>
    <feComponentTransfer in="grey" result="soft">
      <feFuncR type="linear" slope="0.2" intercept="0.45"/>
      <feFuncG type="linear" slope="0.2" intercept="0.45"/>
      <feFuncB type="linear" slope="0.2" intercept="0.45"/>
    </feComponentTransfer>
    <feBlend in="soft" in2="SourceGraphic" mode="overlay"/>
  </filter>
  <radialGradient id="softShadow">
    <stop offset="0.8" stop-color="#000" stop-opacity="0.35"/>
    <stop offset="1" stop-color="#000" stop-opacity="0"/>
  </radialGradient>
  <linearGradient id="bezelBody" x1="0.2" y1="0" x2="0.8" y2="1">
    <stop offset="0" stop-color="#4a4e53"/>
    <stop offset="0.5" stop-color="#2a2d31"/>
    <stop offset="1" stop-color="#17191b"/>
  </linearGradient>
  <linearGradient id="ringSheen" x1="0" y1="0" x2="1" y2="1">
    <stop offset="0" stop-color="#ffffff" stop-opacity="0.9"/>
    <stop offset="0.45" stop-color="#ffffff" stop-opacity="0.05"/>
    <stop offset="1" stop-color="#ffffff" stop-opacity="0.35"/>
  </linearGradient>
  <linearGradient id="chamfer" x1="0.15" y1="0" x2="0.85" y2="1">
    <stop offset="0" stop-color="#f4f6f7"/>
    <stop offset="0.35" stop-color="#a8adb2"/>
    <stop offset="0.65" stop-color="#5b6066"/>
    <stop offset="1" stop-color="#d0d4d8"/>
  </linearGradient>
  <radialGradient id="wellFace" cx="0.45" cy="0.38" r="0.7">
    <stop offset="0" stop-color="#3a3e43"/>
    <stop offset="1" stop-color="#16181a"/>
  </radialGradient>
  <radialGradient id="wellShade" cx="0.5" cy="0.5" r="0.5">
    <stop offset="0.82" stop-color="#000" stop-opacity="0"/>
    <stop offset="1" stop-color="#000" stop-opacity="0.6"/>
  </radialGradient>
  <radialGradient id="screwHead" cx="0.38" cy="0.32" r="0.75">
    <stop offset="0" stop-color="#f3f4f5"/>
    <stop offset="0.55" stop-color="#b3b7bb"/>
    <stop offset="1" stop-color="#6c7075"/>
  </radialGradient>
  <linearGradient id="knobSkirt" x1="0.2" y1="0" x2="0.8" y2="1">
    <stop offset="0" stop-color="#3b3f44"/>
    <stop offset="1" stop-color="#111214"/>
  </linearGradient>
  <radialGradient id="skirtSheen" cx="0.35" cy="0.2" r="0.6">
    <stop offset="0" stop-color="#ffffff" stop-opacity="0.22"/>
    <stop offset="1" stop-color="#ffffff" stop-opacity="0"/>
  </radialGradient>
  <radialGradient id="capFace" cx="0.4" cy="0.3" r="0.8">
    <stop offset="0" stop-color="#e9ebed"/>
    <stop offset="0.6" stop-color="#a4a9ae"/>
    <stop offset="1" stop-color="#6d7277"/>
  </radialGradient>
  <linearGradient id="capEdge" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#ffffff" stop-opacity="0.9"/>
    <stop offset="1" stop-color="#2a2c2f" stop-opacity="0.9"/>
  </linearGradient>
  <radialGradient id="buttonCap" cx="0.4" cy="0.35" r="0.75">
    <stop offset="0" stop-color="#55595e"/>
    <stop offset="1" stop-color="#141517"/>
  </radialGradient>
  <linearGradient id="titlePlate" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#34383d"/>
    <stop offset="0.5" stop-color="#1e2024"/>
    <stop offset="1" stop-color="#141518"/>
  </linearGradient>
  <linearGradient id="titleInk" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#ffffff"/>
    <stop offset="0.55" stop-color="#d5d9dd"/>
    <stop offset="1" stop-color="#9aa0a6"/>
  </linearGradient>
  <linearGradient id="glass" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#e4e9d6"/>
    <stop offset="1" stop-color="#cdd5bb"/>
  </linearGradient>
  <linearGradient id="glassGlare" x1="0" y1="0" x2="1" y2="1">
    <stop offset="0" stop-color="#ffffff" stop-opacity="0.45"/>
    <stop offset="0.4" stop-color="#ffffff" stop-opacity="0.08"/>
    <stop offset="0.41" stop-color="#ffffff" stop-opacity="0"/>
    <stop offset="1" stop-color="#ffffff" stop-opacity="0"/>
  </linearGradient>
  <linearGradient id="glassInset" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#000" stop-opacity="0.28"/>
    <stop offset="0.18" stop-color="#000" stop-opacity="0"/>
  </linearGradient>
</defs>
''')

    # Face plate: brushed aluminium over the whole image, bevelled edge,
    # engraved border line.
    out.append(f'''<rect width="{f(W)}" height="{f(H)}" fill="#2a2c2f"/>
<rect x="0" y="0" width="{f(W)}" height="{f(H)}" fill="url(#plateBase)" filter="url(#brushed)"/>
<rect x="0" y="0" width="{f(W)}" height="{f(H)}" fill="url(#plateSheen)"/>
<rect x="1.5" y="1.5" width="{f(W - 3)}" height="{f(H - 3)}" fill="none" stroke="#ffffff" stroke-opacity="0.55" stroke-width="3"/>
<rect x="0.75" y="0.75" width="{f(W - 1.5)}" height="{f(H - 1.5)}" fill="none" stroke="#55595d" stroke-width="1.5"/>
<path d="M{f(W - 1.5)},0 V{f(H - 1.5)} H0" fill="none" stroke="#5c6064" stroke-width="3"/>
<rect x="66" y="66" width="{f(W - 132)}" height="{f(H - 132)}" rx="22" fill="none" stroke="#ffffff" stroke-opacity="0.5" stroke-width="2.4" transform="translate(0.9,1.4)"/>
<rect x="66" y="66" width="{f(W - 132)}" height="{f(H - 132)}" rx="22" fill="none" stroke="#5d6165" stroke-width="2.4"/>
''')

    for (sx, sy), ang in zip(((34, 34), (W - 34, 34), (34, H - 34), (W - 34, H - 34)), (18, 64, 101, 37)):
        out.append(screw(sx, sy, 15, ang))

    out.append(switch_frame(*catch_c, "CATCH"))
    out.append(switch_frame(*release_c, "RELEASE"))

    # Display window bezel + glass; the name label draws on the glass.
    out.append(f'''<g id="display">
  <rect x="{f(win_x0 - bez - 3)}" y="{f(win_y0 - bez - 3)}" width="{f(win_x1 - win_x0 + 2 * bez + 6)}" height="{f(win_y1 - win_y0 + 2 * bez + 6)}"
        rx="18" fill="#ffffff" opacity="0.5" transform="translate(1,2)"/>
  <rect x="{f(win_x0 - bez)}" y="{f(win_y0 - bez)}" width="{f(win_x1 - win_x0 + 2 * bez)}" height="{f(win_y1 - win_y0 + 2 * bez)}"
        rx="16" fill="url(#bezelBody)"/>
  <rect x="{f(win_x0 - 2)}" y="{f(win_y0 - 2)}" width="{f(win_x1 - win_x0 + 4)}" height="{f(win_y1 - win_y0 + 4)}"
        rx="7" fill="#0a0b0c"/>
  <rect x="{f(win_x0)}" y="{f(win_y0)}" width="{f(win_x1 - win_x0)}" height="{f(win_y1 - win_y0)}" rx="5" fill="url(#glass)"/>
  <rect x="{f(win_x0)}" y="{f(win_y0)}" width="{f(win_x1 - win_x0)}" height="{f(win_y1 - win_y0)}" rx="5" fill="url(#glassInset)"/>
  <rect x="{f(px - 6)}" y="{f(py - 5)}" width="{f(pw + 12)}" height="{f(ph + 10)}" rx="4" fill="#1b1f19"/>
  <rect x="{f(px - 6)}" y="{f(py - 5)}" width="{f(pw + 12)}" height="{f(ph + 10)}" rx="4" fill="none" stroke="#000" stroke-opacity="0.5" stroke-width="2"/>
  <rect x="{f(win_x0)}" y="{f(win_y0)}" width="{f(win_x1 - win_x0)}" height="{f(win_y1 - win_y0)}" rx="5" fill="url(#glassGlare)"/>
</g>
''')

    # Title plate exactly under the banner button, which shows the maker
    # banner over it when clicked.
    out.append(f'''<g id="title">
  <rect x="{f(bx - 3)}" y="{f(by - 3)}" width="{f(bw + 6)}" height="{f(bh + 6)}" rx="11" fill="#ffffff" opacity="0.55" transform="translate(1,2)"/>
  <rect x="{f(bx)}" y="{f(by)}" width="{f(bw)}" height="{f(bh)}" rx="9" fill="url(#titlePlate)"/>
  <rect x="{f(bx + 1.5)}" y="{f(by + 1.5)}" width="{f(bw - 3)}" height="{f(bh - 3)}" rx="8" fill="none" stroke="#9aa0a6" stroke-opacity="0.75" stroke-width="2"/>
  <circle cx="{f(bx + 17)}" cy="{f(by + bh / 2)}" r="5.5" fill="url(#screwHead)"/>
  <circle cx="{f(bx + bw - 17)}" cy="{f(by + bh / 2)}" r="5.5" fill="url(#screwHead)"/>
  <text x="{f(mid_x + 3.5)}" y="{f(by + bh / 2 + 14)}" font-family="DejaVu Serif" font-weight="bold" font-size="40"
        letter-spacing="7" text-anchor="middle" fill="url(#titleInk)">SNAPWELL</text>
</g>
''')

    for (cx, cy), ang, tag in zip(lamps, (-48, 12, 70), ("left", "centre", "right")):
        out.append(dial(cx, cy, ang, tag))

    # One engraved bracket groups the three lamp dials under a single legend.
    lx0, lx1 = lamps[0][0] - 60, lamps[2][0] + 60
    ly = lamps[0][1] + 140
    label_half = 78
    bracket = (f"M{f(lx0)},{f(ly - 14)} V{f(ly)} H{f(mid_x - label_half)} "
               f"M{f(mid_x + label_half)},{f(ly)} H{f(lx1)} V{f(ly - 14)}")
    out.append(f'<path d="{bracket}" fill="none" stroke="#ffffff" stroke-opacity="0.55" stroke-width="2.6" transform="translate(0.8,1.4)"/>\n')
    out.append(f'<path d="{bracket}" fill="none" stroke="#25272a" stroke-width="2.6"/>\n')
    out.append(engraved_text(mid_x + 3, ly + 11, "STATUS", 30, spacing=6))

    # Small push-buttons near the bottom corners.
    out.append(push_button(150, H - 150))
    out.append(push_button(W - 150, H - 150))

    out.append(engraved_text(mid_x, H - 30, "SNAPWELL AUDIO  \u00b7  PRESET CATCH &amp; RELEASE", 22,
                             spacing=4, weight="bold", fill="#3a3d41"))
    out.append('</svg>\n')
    return "".join(out)


def main():
    if "--table" in sys.argv:
        print_table()
        return
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "panelBackground.svg"), "w", encoding="utf-8") as fp:
        fp.write(build_svg())


if __name__ == "__main__":
    main()
