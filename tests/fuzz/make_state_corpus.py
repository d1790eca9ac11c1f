#!/usr/bin/env python3
"""Writes the seed states for StateFuzz into tests/fuzz/corpus/StateFuzz/.

Each file is a saved state exactly as the plug-in writes one: "VC2!", the text
length (uint32, little-endian), the XML text on one line, a trailing zero byte.
The well-formed seeds are byte-identical to what the plug-in itself saves for the
same preset; the others are the damaged and unusual states worth starting from.

Run once after changing it, and commit the output:
    python3 tests/fuzz/make_state_corpus.py
"""

import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "StateFuzz")

# Characters the framework's XML writer leaves as they are; everything else in an
# attribute becomes an entity.
LEGAL = set("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
            " .,;:-()_+=?!$#@[]/|*%~{}'\\")
NAMED = {"&": "&amp;", '"': "&quot;", ">": "&gt;", "<": "&lt;"}


def escape(text):
    return "".join(c if c in LEGAL else NAMED.get(c, "&#%d;" % ord(c)) for c in text)


def element(tag, the_property=None, **attributes):
    attrs = "".join(' %s="%s"' % (k, escape(v)) for k, v in attributes.items())
    if the_property is not None:
        attrs += ' theProperty="%s"' % escape(the_property)
    return "<%s%s/>" % (tag, attrs)


def message_text(data):
    # The plug-in's text form of a message: a JSON array, ", " between numbers.
    return "[" + ", ".join(str(b) for b in data) + "]"


def state(children, mode="1.0"):
    body = element("PARAM", id="MODE", value=mode) + "".join(children)
    text = '<?xml version="1.0" encoding="UTF-8"?> <Parameters>' + body + "</Parameters>"
    raw = text.encode("utf-8")
    return b"VC2!" + struct.pack("<I", len(raw)) + raw + b"\0"


def dump_children(messages, name):
    """PresetMsg0, then PresetName, then PresetMsg1..., as every save orders them."""
    children = []
    for k, data in enumerate(messages):
        children.append(element("PresetMsg%d" % k, message_text(data)))
        if k == 0:
            children.append(element("PresetName", name))
    return children


def unit_message(model, function, payload_size, rng):
    data = [0xF0, 0x00, 0x01, 0x74, model, function]
    data += [rng.randrange(128) for _ in range(payload_size)]
    checksum = 0
    for b in data:
        checksum ^= b
    return data + [checksum & 0x7F, 0xF7]


def preset_dump(model, count, seed):
    """A 15-byte 0x77 header, 0x78 chunks of a few hundred bytes, an 11-byte 0x79 footer."""
    rng = random.Random(seed)
    dump = [unit_message(model, 0x77, 7, rng)]
    while len(dump) < count - 1:
        dump.append(unit_message(model, 0x78, rng.randrange(200, 400), rng))
    dump.append(unit_message(model, 0x79, 3, rng))
    return dump


def main():
    axe3 = preset_dump(0x10, 18, 1)
    fm9 = preset_dump(0x12, 10, 2)
    short = [[0xF0, 0x00, 0x01, 0x74, 0x10, 0x0D, 0x19, 0xF7]]

    seeds = {
        # Saved by a fresh instance.
        "fresh": state([]),
        # An Axe-Fx III preset as caught from the unit.
        "axefx3-18-messages": state(dump_children(axe3, "Clean  Lead")),
        # An FM9 preset with a name that needs entities, and Mode moved.
        "fm9-10-messages-named": state(dump_children(fm9, "Crunch B\u00e5ss \u2014 2"), mode="0.25"),
        # Index 2 is missing: reading stops there.
        "gap-in-indices": state([element("PresetMsg0", message_text(axe3[0])),
                                 element("PresetName", "Gap"),
                                 element("PresetMsg1", message_text(axe3[1])),
                                 element("PresetMsg3", message_text(axe3[2]))]),
        # Texts that are not byte arrays, between good ones.
        "odd-texts": state([element("PresetMsg0", "[]"),
                            element("PresetName", "Odd"),
                            element("PresetMsg1", "abc"),
                            element("PresetMsg2", "{}"),
                            element("PresetMsg3", message_text(short[0])),
                            element("PresetMsg4", "[240, [1, 2], \"x\", 247]")]),
        # Numbers outside a byte, fractions and numbers outside an int.
        "out-of-range-numbers": state([element("PresetMsg0", "[240, 256, -1, 247]"),
                                       element("PresetName", "Numbers"),
                                       element("PresetMsg1", "[1e12, 3.7, -2147483649, 4294967296, -0]")]),
        # Longer than the 31 bytes a name can hold, in ASCII and in two-byte characters.
        "long-ascii-name": state(dump_children(short, "A" * 20 + "Forty-Character-Name")),
        "long-utf8-name": state(dump_children(short, "\u00e9" * 20)),
        # More messages than a dump can hold.
        "over-capacity-205": state(dump_children([m for m in short for _ in range(205)], "Too Many")),
        # A parameter value that is no number, and one out of range.
        "odd-parameter": state(dump_children(short, "Param"), mode="abc"),
        "parameter-out-of-range": state([], mode="7.5"),
        # Nesting that the framework's recursive readers must never see, and unknown
        # entities, from which its XML reader jumps to the next ';' across tags.
        "nested-arrays": state([element("PresetMsg0", "[" * 2000 + "]" * 2000), element("PresetName", "Deep")]),
        "nested-elements": state(["<a>" * 2000 + "</a>" * 2000]),
        "entity-jumps": state(['<a v="&q"/>;">' * 200]),
        # Another root element, and a length that disagrees with the block.
        "other-root": b"VC2!" + struct.pack("<I", 19) + b"<SomethingElse/>   \0",
        "length-too-long": state([])[:4] + struct.pack("<I", 100000) + state([])[8:],
    }

    os.makedirs(OUT, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(OUT, name + ".bin"), "wb") as f:
            f.write(data)
    print("wrote %d seeds to %s" % (len(seeds), OUT))


if __name__ == "__main__":
    main()
