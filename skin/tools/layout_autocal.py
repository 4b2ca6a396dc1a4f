"""Layout of the automatic calibration window: the channels, test modules and
EQ mode of a run on the left; the chart of the measured, corrected and
target curves on the right, with the switches of the three curve sets, the
run's progress and status line below it; the start, discard and apply
buttons at the foot. make_skin.py calls add(skin) with itself, so this
layout uses its helpers and lands in its resource index."""

import math

LAYOUTS = {
    "XML_AUTO_CAL": "xml/auto_cal.xml",
}

CHANNELS = 8
EFFECTS = 9
# Each channel's box is drawn in the colour of its correction curve.
EQ_COLORS = ("#FFFF0000", "#FFFF8040", "#FFFFFF37", "#FFB7FF4A",
             "#FF00AEAE", "#FF4060FF", "#FFA050FF", "#FFF00078")


def channel_rows(k, root, top):
    """One row per channel: its box, the speaker its output feeds, and the
    distance the amplifier measured (hidden until it reports one)."""
    k.section(root, 20, top, 270, "ui_autocal_channels")
    for c in range(CHANNELS):
        y = top + 24 + c * 27
        root.add("Option", name="ch_checkbox_%d" % c, pos=k.pos(20, y, 74, 24), text="CH%d" % (c + 1),
                 look="check", selected="true", userdata=str(c), textcolor=EQ_COLORS[c], font="12b")
        root.add("Label", name="ch_name_%d" % c, pos=k.pos(96, y, 150, 24), text="", align="left", font="11",
                 **{"class": "muted"})
        root.add("Label", name="ch_%d: " % c, pos=k.pos(246, y, 50, 24), text="", align="right", font="10",
                 visible="false", **{"class": "muted"})


def option_rows(k, root, top):
    """The test modules (all three on at first) and the EQ mode, one of ten."""
    k.section(root, 20, top, 270, "ui_autocal_modules")
    for i, (name, key) in enumerate((("irc_eq", "irc_module_eq"), ("irc_delay", "irc_module_delay"),
                                     ("irc_phase", "irc_module_phase"))):
        root.add("Option", name=name, pos=k.pos(20 + i * 92, top + 22, 90, 24), text="${%s}" % key,
                 look="check", selected="true")
    top += 60
    k.section(root, 20, top, 270, "ui_autocal_eq_mode")
    names = ["audio_effect_null"] + ["audio_effect_%d" % e for e in range(EFFECTS)]
    keys = ["irc_effect_null"] + ["irc_effect_%d" % e for e in range(EFFECTS)]
    for i, (name, key) in enumerate(zip(names, keys)):
        x = 20 + (i % 2) * 136
        y = top + 22 + (i // 2) * 26
        root.add("Option", name=name, pos=k.pos(x, y, 134, 24), text="${%s}" % key, look="radio",
                 group="irc_effect", selected="true" if i == 0 else "false", font="11")


CHART_TOP = 52
CHART_HEIGHT = 352
DB_MARKS = (20, 10, 0, -10, -20)
HZ_MARKS = ((20, "20"), (50, "50"), (100, "100"), (200, "200"), (500, "500"), (1000, "1k"),
            (2000, "2k"), (5000, "5k"), (10000, "10k"), (20000, "20k"))


def chart_scales(k, root, left, width):
    """The chart draws no text: its dB levels stand at its left edge and its
    frequencies below it, where the chart draws their lines."""
    for db in DB_MARKS:
        y = min(max(CHART_TOP + CHART_HEIGHT * (20 - db) // 40 - 8, CHART_TOP), CHART_TOP + CHART_HEIGHT - 16)
        root.add("Label", name="ac_db_%d" % (db + 20), pos=k.pos(left - 38, y, 34, 16),
                 text="%+d" % db if db else "0", align="right", font="10", **{"class": "muted"})
    for hz, text in HZ_MARKS:
        x = left + int(width * math.log10(hz / 20.0) / math.log10(1000.0))
        x = min(max(x - 18, left), left + width - 36)
        root.add("Label", name="ac_hz_%d" % hz, pos=k.pos(x, CHART_TOP + CHART_HEIGHT + 2, 36, 16),
                 text=text, align="center", font="10", **{"class": "muted"})


def chart_area(k, root, left, width):
    """The chart, the switches of its three curve sets and the run's state."""
    root.add("CurveAc", name="equalizer_ac", pos=k.pos(left, CHART_TOP, width, CHART_HEIGHT), bkcolor="#FF10141A")
    chart_scales(k, root, left, width)
    y = CHART_TOP + CHART_HEIGHT + 24
    for i, (name, key) in enumerate((("display_spk", "irc_show_spk"), ("display_eq", "irc_show_eq"),
                                     ("display_target", "irc_show_target"))):
        root.add("Option", name=name, pos=k.pos(left + i * 170, y, 166, 24), text="${%s}" % key,
                 look="check", selected="true", font="11")
    root.add("Label", name="autocal_legend", pos=k.pos(left, y + 26, width, 18), text="${ui_autocal_legend}",
             align="left", font="10", **{"class": "muted"})
    root.add("Progress", name="progress", pos=k.pos(left, y + 52, width, 8), min="0", max="100", value="0")
    root.add("Label", name="tips", pos=k.pos(left, y + 66, width, 40), text="${ui_autocal_hint}",
             align="left top", wrap="true", font="13b")


def auto_cal_window(k):
    width, height = 990, 600
    root = k.Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=k.THEME,
                  bkcolor=k.CARD)
    k.caption(root, width, "auto_cal_title", "ui_autocal_title", minimisable=True)
    channel_rows(k, root, 52)
    option_rows(k, root, 52 + 24 + CHANNELS * 27 + 10)
    chart_area(k, root, 346, width - 366)
    root.add("Button", name="start_auto_cal", pos=k.pos(20, height - 50, 170, 32), text="${start_irc}",
             font="12b", **{"class": "primary"})
    root.add("Button", name="irc_cancel_data", pos=k.pos(width - 320, height - 50, 146, 32),
             text="${irc_discard}")
    root.add("Button", name="irc_save_data", pos=k.pos(width - 166, height - 50, 146, 32), text="${irc_apply}",
             **{"class": "primary"})
    return root


def add(k):
    """Writes the layout and registers its identifier."""
    k.save(LAYOUTS["XML_AUTO_CAL"], auto_cal_window(k), "Automatic calibration window")
    k.LAYOUT_IDS.update(LAYOUTS)
