"""Layouts of the two compressor windows: the compressor of the current
output with its curve, and the multi-channel window with one column per
output. make_skin.py calls add(skin) with itself, so these layouts use its
helpers and land in its resource index.

Slider positions are the values times the window's scale (10 for dB and the
ratio, 1 for milliseconds) and stay within what the amplifier's commands
carry:
- the compressor of one output: threshold -100..+100 dB (the device takes
  threshold + 100 in a byte; this model's default is 64 dB), ratio 1..100,
  attack 0..5000 ms and release 100..60000 ms (16 bits each), soft knee
  0..24 dB (a byte with its tenths);
- the multi-channel window: threshold -60..0 dB (a signed byte), attack
  0..1000 ms, release 100..30000 ms (seconds and tenths)."""

LAYOUTS = {
    "XML_COMPRESSOR": "xml/compressor.xml",
    "XML_COMPRESSORS_ON": "xml/compressors_on.xml",
}

COLUMNS = 10
CHART = 300

ONE_OUTPUT_ROWS = (
    ("ui_compressor_threshold", "noise", -1000, 1000, 1, "64.0dB"),
    ("ui_compressor_ratio", "ratio", 10, 1000, 1, "100.0"),
    ("ui_compressor_attack", "attack_time", 0, 5000, 10, "1000ms"),
    ("ui_compressor_release", "release_time", 100, 60000, 100, "30000ms"),
    ("ui_compressor_knee", "soft_knee", 0, 240, 1, "24.0dB"),
)

COLUMN_ROWS = (
    ("ui_compressor_threshold", "ui_compressors_threshold_range", "threshold", -600, 0, 1, "-20.0dB"),
    ("ui_compressor_attack", "ui_compressors_attack_range", "attack_time", 0, 1000, 10, "10ms"),
    ("ui_compressor_release", "ui_compressors_release_range", "release_time", 100, 30000, 100, "1000ms"),
)


def compressor_window(k):
    """The curve on the left, input level across and output level upwards
    over the threshold's range; the bypass state and the five values on the
    right, each a slider with an edit."""
    width, height = 760, 440
    root = k.Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=k.THEME, bkcolor=k.CARD)
    k.caption(root, width, "compressor_title", "ui_compressor_title", minimisable=True)
    left, top = 24, 72
    root.add("Label", name="curve_output_axis", pos=k.pos(left, 46, CHART, 20), text="${ui_compressor_output_axis}", align="left", font="11", **{"class": "muted"})
    root.add("Curve", name="Curve", pos=k.pos(left, top, CHART, CHART), bkcolor="#FF10141A", linecolor="#FF2C333D",
             curvecolor="#FF3D9BFF", bypasscolor="#FF6B7480")
    below = top + CHART + 4
    root.add("Label", name="curve_low", pos=k.pos(left, below, 60, 18), text="-100", align="left", font="10", **{"class": "muted"})
    root.add("Label", name="curve_input_axis", pos=k.pos(left + 60, below, CHART - 120, 18), text="${ui_compressor_input_axis}", align="center", font="11", **{"class": "muted"})
    root.add("Label", name="curve_high", pos=k.pos(left + CHART - 60, below, 60, 18), text="+100", align="right", font="10", **{"class": "muted"})
    x = left + CHART + 28
    root.add("Label", name="bypass_title", pos=k.pos(x, 50, 120, 28), text="${ui_compressor_bypass}", align="left", font="11b", **{"class": "section"})
    root.add("SButton", name="btn_bp", pos=k.pos(x + 124, 50, 150, 28), text="${ui_compressor_bypass_on}", font="12", tooltip="${ui_compressor_bypass_tip}")
    for i, (key, name, low, high, step, text) in enumerate(ONE_OUTPUT_ROWS):
        y = 92 + i * 56
        k.section(root, x, y, width - x - 24, key)
        root.add("Slider", name="slider_%s" % name, pos=k.pos(x, y + 22, width - x - 24 - 124, 26), min=str(low), max=str(high), step=str(step), value=str(low))
        root.add("Edit", name="edit_%s" % name, pos=k.pos(width - 136, y + 22, 112, 26), text=text, align="center", maxchar="12", font="12")
    root.add("Button", name="confirm_btn", pos=k.pos(width - 134, height - 46, 110, 30), text="${confirm}", font="12", **{"class": "primary"})
    return root


def compressors_on_window(k):
    """A title column naming the three rows and their ranges, then one
    column per output: its name, its compressor's on/off box and, for each
    row, an upright slider over its edit. The sliders and edits carry the
    column as their user data."""
    head, column_w = 132, 84
    width = 24 + head + COLUMNS * column_w + 16
    column_top, row_h = 52, 150
    column_h = 56 + len(COLUMN_ROWS) * row_h
    height = column_top + column_h + 64
    root = k.Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=k.THEME, bkcolor=k.CARD)
    k.caption(root, width, "compressors_on_title", "ui_compressors_on_title")
    root.add("Label", name="compressors_on_head", pos=k.pos(24, column_top + 28, head - 8, 24), text="${ui_compressor_on_head}", align="left", font="11b", **{"class": "section"})
    for r, (key, range_key, name, low, high, step, text) in enumerate(COLUMN_ROWS):
        y = column_top + 56 + r * row_h
        root.add("Label", name="row_title_%s" % name, pos=k.pos(24, y + 30, head - 8, 20), text="${%s}" % key, align="left", font="11b", **{"class": "section"})
        root.add("Label", name="row_range_%s" % name, pos=k.pos(24, y + 52, head - 8, 36), text="${%s}" % range_key, align="left top", wrap="true", font="10", **{"class": "muted"})
    for i in range(COLUMNS):
        x = 24 + head + i * column_w
        column = root.add("Container", name="column_%d" % i, pos=k.pos(x, column_top, column_w, column_h))
        column.add("Label", name="column_title_%d" % i, pos=k.pos(0, 0, column_w, 24), text="OUT%d" % (i + 1), align="center", font="12b")
        column.add("Option", name="box_enable_%d" % i, pos=k.pos(6, 28, column_w - 12, 24), text="${ui_compressor_on}", look="check", selected="true", userdata=str(i), font="11")
        for r, (key, range_key, name, low, high, step, text) in enumerate(COLUMN_ROWS):
            y = 56 + r * row_h
            column.add("Slider", name="slider_%s_%d" % (name, i), pos=k.pos((column_w - 26) // 2, y + 4, 26, row_h - 42), min=str(low), max=str(high), step=str(step), value=str(low), orientation="vertical", userdata=str(i))
            column.add("Edit", name="edit_%s_%d" % (name, i), pos=k.pos(4, y + row_h - 34, column_w - 8, 26), text=text, align="center", maxchar="10", font="11", userdata=str(i))
    root.add("Button", name="confirm_btn", pos=k.pos(width - 134, height - 46, 110, 30), text="${confirm}", font="12", **{"class": "primary"})
    return root


def add(k):
    """Writes the two layouts and registers their identifiers."""
    k.save(LAYOUTS["XML_COMPRESSOR"], compressor_window(k), "Compressor window: the current output's compressor and its curve")
    k.save(LAYOUTS["XML_COMPRESSORS_ON"], compressors_on_window(k), "Multi-channel compressor window: one column per output")
    k.LAYOUT_IDS.update(LAYOUTS)
