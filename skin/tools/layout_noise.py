"""Layouts of the noise gate window and the input noise threshold window."""


def noise_gate_window(Node, pos, caption, section, theme, card):
    """The gate's switch, then its threshold and the gain of its dynamic-range
    stage, each a slider with an edit. Slider positions are what the
    amplifier takes: 0..31 for the threshold (-76.5..-30 dB in steps of 1.5),
    0..48 for the gain (-32..+16 dB)."""
    width, height = 440, 292
    root = Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=theme, bkcolor=card)
    caption(root, width, "noise_gate_title", "ui_noise_gate_title", minimisable=True)
    root.add("Label", name="noise_gate_hint", pos=pos(24, 48, width - 48, 34), text="${ui_noise_gate_hint}", align="left top", wrap="true", font="11", **{"class": "muted"})
    root.add("SButton", name="btn_noise_gate", pos=pos(24, 88, 150, 28), text="${btn_noise_gate_off}", font="12")
    rows = (("ui_noise_gate_threshold", "slider_noise_threshold", "edit_noise_threshold", 0, 31, "-30.0dB"),
            ("ui_noise_gate_gain", "slider_drc_gain", "edit_drc_gain", 0, 48, "0.0dB"))
    for i, (key, slider, edit, low, high, text) in enumerate(rows):
        y = 132 + i * 56
        section(root, 24, y, width - 48, key)
        root.add("Slider", name=slider, pos=pos(24, y + 22, width - 160, 26), min=str(low), max=str(high), value=str(high))
        root.add("Edit", name=edit, pos=pos(width - 126, y + 22, 102, 26), text=text, align="center", font="12")
    root.add("Button", name="confirm_btn", pos=pos(width - 134, height - 46, 110, 30), text="${confirm}", font="12", **{"class": "primary"})
    return root


NOISE_ROWS = 12
NOISE_SHOWN = 8
NOISE_COLUMN = 50
NOISE_LEFT = 64
NOISE_BAR_TOP = 104
NOISE_BAR_HEIGHT = 180


def noise_threshold_window(Node, pos, caption, section, theme, card):
    """One column per input: its level in dB above a bar from -100 dB
    (empty) to 0 dB (full), its name below; a dB scale on the left; the
    threshold edit and the buttons below. The program narrows the window by
    one column for each input the source lacks (down to six), moving the
    buttons and the close button with the right edge."""
    width = NOISE_LEFT + NOISE_SHOWN * NOISE_COLUMN + 24
    height = 436
    root = Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=theme, bkcolor=card)
    caption(root, width, "noise_threshold_title", "ui_noise_threshold_title")
    root.add("Label", name="noise_levels_title", pos=pos(24, 48, width - 48, 20), text="${ui_input_noise_levels}", align="left", font="11b", **{"class": "section"})
    # The scale: 0 dB at the top of the bars, -100 dB at their foot.
    for k in range(6):
        y = NOISE_BAR_TOP + k * NOISE_BAR_HEIGHT // 5 - 8
        root.add("Label", name="noise_scale_%d" % k, pos=pos(12, y, NOISE_LEFT - 22, 16), text=str(-20 * k), align="right", font="10", **{"class": "muted"})
    for i in range(NOISE_ROWS):
        x = NOISE_LEFT + i * NOISE_COLUMN
        shown = "true" if i < NOISE_SHOWN else "false"
        group = root.add("Container", name="prg_group_%d" % i, pos=pos(x, 76, NOISE_COLUMN, NOISE_BAR_TOP - 76 + NOISE_BAR_HEIGHT), visible=shown)
        group.add("Label", name="noise_%d" % i, pos=pos(0, 0, NOISE_COLUMN, 22), text="", align="center", font="11")
        group.add("Progress", name="progress_%d" % i, pos=pos((NOISE_COLUMN - 18) // 2, NOISE_BAR_TOP - 76, 18, NOISE_BAR_HEIGHT), min="-100", max="0", value="-100", orientation="vertical")
        root.add("Label", name="in_%d" % i, pos=pos(x, NOISE_BAR_TOP + NOISE_BAR_HEIGHT + 4, NOISE_COLUMN, 20), text="IN%d" % (i + 1), align="center", font="11b", visible=shown)
    y = NOISE_BAR_TOP + NOISE_BAR_HEIGHT + 40
    root.add("Label", name="threshold_title", pos=pos(24, y, 200, 26), text="${ui_input_noise_threshold}", align="left", font="12b")
    root.add("Edit", name="value_edt", pos=pos(228, y, 96, 26), text="-60dBu", align="center", font="12")
    root.add("Label", name="threshold_hint", pos=pos(24, y + 30, 300, 20), text="${ui_input_noise_threshold_hint}", align="left", font="10", **{"class": "muted"})
    root.add("Button", name="cancel_btn", pos=pos(width - 252, height - 46, 110, 30), text="${cancel}", font="12")
    root.add("Button", name="confirm_btn", pos=pos(width - 134, height - 46, 110, 30), text="${confirm}", font="12", **{"class": "primary"})
    return root
