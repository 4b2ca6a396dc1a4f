"""The mixer window: one column per output, one row per input of the source
and two cross-source rows below them. Every row is a container of its own
("mixer_row_%d") so the window can stack the rows its source has and drop
the others; the buttons sit in "mixer_footer" below the last row."""

OUTPUTS = 10
ROWS = 10          # 8 input rows, then the two cross-source rows
INPUT_ROWS = 8
ROW_HEIGHT = 48    # the window's row pitch; the program sizes the window by it.
                   # Ten rows fit a 1600 x 900 screen at 125 % and 1920 x 1080 at 150 %.
COLUMN_WIDTH = 100
LEFT_WIDTH = 200
MARGIN = 8
HEADER_TOP = 44
ROWS_TOP = 126
FOOTER_HEIGHT = 46

# The channels the cross-source rows can bring in, by source index and the
# stem of the row-title keys: 2-channel sources as L/R, the others by number.
CROSS_SOURCES = ((0, "source_opt", 2), (2, "source_bt", 2), (4, "source_low", 8),
                 (5, "source_hi", 8), (6, "source_dmp", 2))
CELL = "#FF171C23"
LEFT = "#FF151A21"


def width():
    return MARGIN * 2 + LEFT_WIDTH + OUTPUTS * COLUMN_WIDTH


def height():
    return ROWS_TOP + ROWS * ROW_HEIGHT + 8 + FOOTER_HEIGHT


def channel_key(stem, channels, channel):
    if channels == 2:
        return "${%s_%s}" % (stem, "l" if channel == 0 else "r")
    return "${%s_%d}" % (stem, channel)


def cross_source_combo(parent, k, pos):
    combo = parent.add("Combo", name="cmb_csm_vice_source_%d" % k, pos=pos(8, 3, 108, 22), font="11")
    combo.add("Item", text="${mixer_cross_none}", userdata="1000")
    for source, stem, channels in CROSS_SOURCES:
        for channel in range(channels):
            combo.add("Item", text=channel_key(stem, channels, channel), userdata="%02d%02d" % (source, channel))


def header(root, pos):
    root.add("Label", name="mixer_corner", pos=pos(MARGIN + 8, HEADER_TOP + 2, LEFT_WIDTH - 16, 20), text="${mixer_inputs}", align="left", font="11b", **{"class": "muted"})
    root.add("Label", name="mixer_clip_hint", pos=pos(MARGIN + 8, HEADER_TOP + 28, LEFT_WIDTH - 16, 40), text="${mixer_clip_hint}", align="left top", wrap="true", font="10", **{"class": "muted"})
    for c in range(OUTPUTS):
        x = MARGIN + LEFT_WIDTH + c * COLUMN_WIDTH
        column = root.add("Container", name="column_%d" % c, pos=pos(x, HEADER_TOP, COLUMN_WIDTH - 4, 54), bkcolor=LEFT, round="3")
        column.add("Label", name="column_title_%d" % c, pos=pos(0, 2, COLUMN_WIDTH - 4, 22), text="CH%d" % (c + 1), align="center", font="12b")
        column.add("Label", name="out_distort_%d" % c, pos=pos(18, 28, COLUMN_WIDTH - 40, 20), text="${mixer_clip}", align="center", font="10b", **{"class": "lamp"})
    for p in range(OUTPUTS // 2):
        x = MARGIN + LEFT_WIDTH + 2 * p * COLUMN_WIDTH + COLUMN_WIDTH // 2
        root.add("Option", name="ch_bridge_%d" % p, pos=pos(x, HEADER_TOP + 56, COLUMN_WIDTH - 4, 22), text="${mixer_bridge}", font="11", tooltip="${mixer_bridge_tip}", **{"class": "chlink"})


def row(root, r, pos):
    y = ROWS_TOP + r * ROW_HEIGHT
    line = root.add("Container", name="mixer_row_%d" % r, pos=pos(MARGIN, y, LEFT_WIDTH + OUTPUTS * COLUMN_WIDTH, ROW_HEIGHT))
    left = line.add("Container", name="left_box_%d" % r, pos=pos(0, 0, LEFT_WIDTH - 8, ROW_HEIGHT - 4), bkcolor=LEFT, round="3")
    if r < INPUT_ROWS:
        left.add("Label", name="title_label_%d" % r, pos=pos(8, 3, 108, 20), text="", align="left", font="12b")
    else:
        k = r - INPUT_ROWS
        cross_source_combo(left, k, pos)
        left.add("Edit", name="csm_vice_gain_edit_%d" % k, pos=pos(8, 25, 60, 18), text="0dB", readonly="true", align="center", font="10", tooltip="${mixer_cross_gain_tip}")
    left.add("Option", name="in_phase_%d" % r, pos=pos(122, 3, 66, 20), text="${mixer_phase}", font="10", tooltip="${mixer_phase_tip}", **{"class": "phase"})
    left.add("Label", name="in_distort_%d" % r, pos=pos(122, 25, 66, 18), text="${mixer_clip}", align="center", font="10b", **{"class": "lamp"})
    for c in range(OUTPUTS):
        cell = line.add("Container", name="box_%d_%d" % (c, r), pos=pos(LEFT_WIDTH + c * COLUMN_WIDTH, 0, COLUMN_WIDTH - 4, ROW_HEIGHT - 4), bkcolor=CELL, round="3")
        cell.add("Option", name="box_enable_%d_%d" % (c, r), pos=pos(4, 3, 40, 20), text="${mixer_on}", font="10", **{"class": "route"})
        cell.add("Edit", name="box_edit_%d_%d" % (c, r), pos=pos(48, 3, 44, 20), text="0", align="center", maxchar="4", font="11")
        cell.add("Slider", name="box_volume_%d_%d" % (c, r), pos=pos(4, 26, COLUMN_WIDTH - 12, 16), min="0", max="100")


def footer(root, pos):
    w = width()
    top = ROWS_TOP + ROWS * ROW_HEIGHT + 8
    bar = root.add("Container", name="mixer_footer", pos=pos(0, top, w, FOOTER_HEIGHT))
    bar.add("Button", name="btn_reset_input", pos=pos(MARGIN, 6, 160, 30), text="${mixer_reset}", font="12", tooltip="${mixer_reset_tip}")
    bar.add("Button", name="third_btn", pos=pos(MARGIN + 170, 6, 110, 30), text="", visible="false")
    bar.add("Button", name="cancel_btn", pos=pos(w - MARGIN - 236, 6, 110, 30), text="${exit}", font="12")
    bar.add("Button", name="confirm_btn", pos=pos(w - MARGIN - 118, 6, 110, 30), text="${confirm}", font="12", **{"class": "primary"})


def mixer_window(Node, pos, caption, theme, card):
    """The layout; the window keeps the rows its source has and shrinks by
    ROW_HEIGHT for each row it drops."""
    w, h = width(), height()
    root = Node("Window", size="%d,%d" % (w, h), caption="36", fontsize="12", theme=theme, bkcolor=card)
    caption(root, w, "mixer_title", "mixer_title")
    header(root, pos)
    for r in range(ROWS):
        row(root, r, pos)
    footer(root, pos)
    return root
