"""Layout of the centre/surround upmix window. make_skin.py calls add(skin)
with itself, so the layout uses its helpers and lands in its resource index."""

LAYOUTS = {"XML_CS_AUTO": "xml/cs_auto.xml"}

# Switch i and level i name the same part of the upmix for i below 9; the two
# last switches are the upmix's own processing.
SWITCH_KEYS = ("cs_part_center", "cs_part_front_left", "cs_part_front_right", "cs_part_surround_left",
               "cs_part_surround_right", "cs_part_rear_left", "cs_part_rear_right", "cs_part_subwoofer",
               "cs_part_dialogue", "cs_steering", "cs_bass_redirect")
LEVEL_KEYS = SWITCH_KEYS[:9]
# The selections' items, by index: what the amplifier takes is the index.
MODE_KEYS = ("cs_mode_off", "cs_mode_auto", "cs_mode_music", "cs_mode_movie", "cs_mode_speech")
PAIRS = 5  # output pairs CH1+CH2 .. CH9+CH10, then "automatic" (index 5, the default)
COMBOS = (("ui_cs_mode", "combo_mode"), ("ui_cs_front", "combo_front"),
          ("ui_cs_surround", "combo_surround"), ("ui_cs_subwoofer", "combo_subwoofer"))
# Levels in hundredths: 0.00 to 2.00, the default 1.00 in the middle.
LEVEL_TOP = 200
ROW = 34


def levels(k, root, x, y, width):
    k.section(root, x, y, width, "ui_cs_levels")
    label_w, edit_w = 130, 76
    for i, key in enumerate(LEVEL_KEYS):
        top = y + 26 + i * ROW
        root.add("Label", name="level_title_%d" % i, pos=k.pos(x, top, label_w, 26), text="${%s}" % key, align="left", font="12")
        root.add("Slider", name="slider_auto_%d" % i, pos=k.pos(x + label_w + 8, top, width - label_w - edit_w - 18, 26),
                 min="0", max=str(LEVEL_TOP), value="100")
        root.add("Edit", name="edit_auto_%d" % i, pos=k.pos(x + width - edit_w, top, edit_w, 26), text="1.000",
                 align="center", maxchar="10", font="12")
    return y + 26 + len(LEVEL_KEYS) * ROW


def switches(k, root, x, y, width):
    k.section(root, x, y, width, "ui_cs_switches")
    column = (width - 12) // 2
    per_column = (len(SWITCH_KEYS) + 1) // 2
    for i, key in enumerate(SWITCH_KEYS):
        left = x + (i // per_column) * (column + 12)
        top = y + 24 + (i % per_column) * 28
        root.add("Option", name="btn_auto_%d" % i, pos=k.pos(left, top, column, 26), text="${%s}" % key,
                 look="check", selected="true", userdata=str(i), font="12")
    return y + 24 + per_column * 28


def selections(k, root, x, y, width):
    k.section(root, x, y, width, "ui_cs_selections")
    label_w = 118
    for i, (key, name) in enumerate(COMBOS):
        top = y + 24 + i * ROW
        root.add("Label", pos=k.pos(x, top, label_w, 26), text="${%s}" % key, align="left", font="12")
        combo = root.add("Combo", name=name, pos=k.pos(x + label_w + 8, top, width - label_w - 8, 26),
                         selected="0" if name == "combo_mode" else str(PAIRS))
        if name == "combo_mode":
            for m, item in enumerate(MODE_KEYS):
                combo.add("Item", text="${%s}" % item, userdata=str(m))
        else:
            for p in range(PAIRS):
                combo.add("Item", text="${cs_pair_%d}" % p, userdata=str(p))
            combo.add("Item", text="${cs_pick_auto}", userdata=str(PAIRS))
    return y + 24 + len(COMBOS) * ROW


def cs_auto_window(k):
    """The nine levels on the left; the eleven switches and the four
    selections on the right; restore, cancel and confirm below. The third
    button of the window's trio is not offered."""
    left, gap = 24, 28
    left_w, right_w = 400, 360
    right = left + left_w + gap
    width = right + right_w + 24
    top = 56
    root = k.Node("Window", caption="36", fontsize="12", theme=k.THEME, bkcolor=k.CARD)
    # The height follows from the content; the caption comes first all the same.
    bar = k.caption(root, width, "cs_auto_title", "ui_cs_auto_title")
    bottom = levels(k, root, left, top, left_w)
    y = switches(k, root, right, top, right_w)
    bottom = max(bottom, selections(k, root, right, y + 14, right_w))
    height = bottom + 70
    root.attrs["size"] = "%d,%d" % (width, height)
    assert root.children[0] is bar
    root.add("Button", name="btn_restore_cs_auto", pos=k.pos(left, height - 46, 180, 30), text="${ui_cs_restore}", font="12")
    root.add("Button", name="third_btn", pos=k.pos(width - 370, height - 46, 110, 30), text="${default}", font="12", visible="false")
    root.add("Button", name="cancel_btn", pos=k.pos(width - 252, height - 46, 110, 30), text="${cancel}", font="12")
    root.add("Button", name="confirm_btn", pos=k.pos(width - 134, height - 46, 110, 30), text="${confirm}", font="12", **{"class": "primary"})
    return root


def add(k):
    """Writes the layout and registers its identifier."""
    k.save(LAYOUTS["XML_CS_AUTO"], cs_auto_window(k), "Centre/surround upmix window")
    k.LAYOUT_IDS.update(LAYOUTS)
