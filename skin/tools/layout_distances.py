"""Layout of the distances window: one row per output with its name, the
measured distance, its unit and the delay it gives. make_skin.py calls
add(skin) with itself, so the layout uses its helpers and lands in its
resource index."""

LAYOUTS = {"XML_DISTANCES": "xml/distances.xml"}

ROW = 32
# Columns: output number, output name, distance edit, unit, resulting delay.
NUMBER_X, NUMBER_W = 24, 48
NAME_X, NAME_W = 76, 222
EDIT_X, EDIT_W = 306, 96
UNIT_X, UNIT_W = 408, 52
DELAY_X, DELAY_W = 470, 126


def distances_window(k):
    width = DELAY_X + DELAY_W + 24
    rows_top = 132
    status_top = rows_top + k.OUTPUTS * ROW + 6
    height = status_top + 44 + 62
    root = k.Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=k.THEME, bkcolor=k.CARD)
    k.caption(root, width, "dist_title", "distances_title")
    root.add("Label", name="dist_hint", pos=k.pos(24, 46, width - 48, 52), text="${distances_hint}", align="left top",
             wrap="true", font="12", **{"class": "muted"})
    top = rows_top - 26
    root.add("Label", name="dist_head_output", pos=k.pos(NUMBER_X, top, NAME_X + NAME_W - NUMBER_X, 20),
             text="${distances_output}", align="left", font="11b", **{"class": "section"})
    root.add("Label", name="dist_head_distance", pos=k.pos(EDIT_X, top, UNIT_X + UNIT_W - EDIT_X, 20),
             text="${distances_distance}", align="left", font="11b", **{"class": "section"})
    root.add("Label", name="dist_head_delay", pos=k.pos(DELAY_X, top, DELAY_W, 20),
             text="${distances_delay}", align="left", font="11b", **{"class": "section"})
    for c in range(k.OUTPUTS):
        y = rows_top + c * ROW
        root.add("Label", name="dist_ch_%d" % c, pos=k.pos(NUMBER_X, y, NUMBER_W, 26), text="CH%d" % (c + 1),
                 align="left", font="12b")
        root.add("Label", name="dist_name_%d" % c, pos=k.pos(NAME_X, y, NAME_W, 26), text="${output_item_empty}",
                 align="left", font="12")
        root.add("Edit", name="dist_edit_%d" % c, pos=k.pos(EDIT_X, y, EDIT_W, 26), text="", align="center",
                 maxchar="16", font="12")
        root.add("Label", name="dist_unit_%d" % c, pos=k.pos(UNIT_X, y, UNIT_W, 26), text="${distances_unit_cm}",
                 align="left", font="12", **{"class": "muted"})
        root.add("Label", name="dist_delay_%d" % c, pos=k.pos(DELAY_X, y, DELAY_W, 26), text="0.000 ms",
                 align="left", font="12")
    root.add("Label", name="dist_status", pos=k.pos(24, status_top, width - 48, 44), text="", align="left top",
             wrap="true", font="12", visible="false", **{"class": "warning"})
    root.add("Button", name="cancel_btn", pos=k.pos(width - 252, height - 50, 110, 30), text="${cancel}")
    root.add("Button", name="apply_btn", pos=k.pos(width - 134, height - 50, 110, 30), text="${distances_apply}",
             **{"class": "primary"})
    return root


def add(k):
    """Writes the layout and registers its identifier."""
    k.save(LAYOUTS["XML_DISTANCES"], distances_window(k), "Distances window: delays from measured distances")
    k.LAYOUT_IDS.update(LAYOUTS)
