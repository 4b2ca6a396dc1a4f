#!/usr/bin/env python3
"""Writes the skin's layouts and language files under skin/.

The main window repeats the same controls for 10 outputs, 21 EQ bands and
30 speaker positions, so its layout is generated here rather than typed; the
generated files are committed and are what the build packs. Run it again
after changing this script or languages.py:  python3 skin/tools/make_skin.py
"""
import os
import re
import sys
from xml.sax.saxutils import quoteattr

sys.path.insert(0, os.path.dirname(__file__))
from languages import TEXTS, LANGUAGE_NAMES  # noqa: E402
import layout_noise  # noqa: E402
import layout_mixer  # noqa: E402

SKIN = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUTPUTS = 10
BANDS = 21
INPUTS = 8
SPEAKERS = 30
THEME = "style/dark.qss"
# Backgrounds dark enough that the model's fixed red (0xFFFF0000) of a
# switched-off or disconnected text keeps a contrast of 4.5:1 on them.
WINDOW = "#FF0B0D10"
CARD = "#FF12161C"
# One colour per output on the EQ chart, in output order.
CURVE_COLORS = ("#FF3D9BFF", "#FFFF6B6B", "#FF4CD964", "#FFF5E663", "#FFB48CFF",
                "#FF2ED3D3", "#FFFF9F1C", "#FFFF7EC8", "#FFE0E0E0", "#FFC9A26B")


class Node:
    def __init__(self, tag, **attrs):
        self.tag = tag
        self.attrs = attrs
        self.children = []

    def add(self, tag, **attrs):
        child = Node(tag, **attrs)
        self.children.append(child)
        return child

    def write(self, out, indent=0):
        pad = "  " * indent
        attrs = "".join(" %s=%s" % (k, quoteattr(str(v))) for k, v in self.attrs.items())
        if not self.children:
            out.append("%s<%s%s/>" % (pad, self.tag, attrs))
            return
        out.append("%s<%s%s>" % (pad, self.tag, attrs))
        for child in self.children:
            child.write(out, indent + 1)
        out.append("%s</%s>" % (pad, self.tag))


def pos(x, y, w, h):
    return "%d,%d,%d,%d" % (x, y, w, h)


def save(path, root, comment):
    out = ['<?xml version="1.0" encoding="utf-8"?>', "<!-- %s -->" % comment]
    root.write(out)
    full = os.path.join(SKIN, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


def section(parent, x, y, w, key, **extra):
    parent.add("Label", pos=pos(x, y, w, 18), text="${%s}" % key, align="left", font="11b", **{"class": "section"}, **extra)


def caption(root, width, title_name=None, title_key=None, closable=True, minimisable=False):
    bar = root.add("Container", name="caption", pos=pos(0, 0, width, 36), bkcolor="#FF1C2129")
    if title_name:
        bar.add("Label", name=title_name, pos=pos(14, 0, width - 80, 36), text="${%s}" % title_key, align="left", font="13b")
    if minimisable:
        bar.add("Button", name="minbtn", pos=pos(width - 64, 6, 28, 24), foreimage="sysbtn/sys_btn_min.png", tooltip="", **{"class": "caption"})
    if closable:
        bar.add("Button", name="closebtn", pos=pos(width - 34, 6, 28, 24), foreimage="sysbtn/sys_btn_close.png", **{"class": "caption_close"})
    return bar


# ----------------------------------------------------------------- main window
def top_bar(root):
    bar = root.add("Container", name="top_bar", pos=pos(0, 0, 1230, 46), bkcolor="#FF1C2129")
    bar.add("Image", name="logo", pos=pos(12, 7, 32, 32), image="logo.png")
    bar.add("Label", name="app_title", pos=pos(52, 8, 124, 30), text="TQ DSP Audio", align="left", font="15b")
    bar.add("Combo", name="btn_devices", pos=pos(180, 10, 156, 26), tooltip="${ui_device}")
    bar.add("Edit", name="edit_device_name", pos=pos(180, 10, 156, 26), visible="false", maxchar="31")
    bar.add("Button", name="btnConnect", pos=pos(342, 10, 112, 26), text="${btn_disconnected}", font="12b", **{"class": "connect"})
    # The source button shows the current source's name, the longest text.
    x = 466
    for name, key, width in (("btn_scene", "ui_scene", 82), ("btn_option", "ui_option", 82),
                             ("btn_advance", "ui_advance", 82), ("btn_source", "ui_source_menu", 120)):
        bar.add("Button", name=name, pos=pos(x, 10, width, 26), text="${%s}" % key, **{"class": "menu"})
        x += width + 2
    bar.add("Button", name="btn_irc", pos=pos(842, 10, 124, 26), text="${ui_auto_cal}")
    bar.add("Button", name="win_btn_noise_gate", pos=pos(970, 10, 126, 26), text="${ui_noise_gate}")
    # Undo and redo of the tuning; the window's keys do the same.
    bar.add("Button", name="btn_undo", pos=pos(1100, 10, 28, 26), text="\u21b6", font="14b", enabled="false", tooltip="${ui_undo}")
    bar.add("Button", name="btn_redo", pos=pos(1130, 10, 28, 26), text="\u21b7", font="14b", enabled="false", tooltip="${ui_redo}")
    bar.add("Button", name="web_btn_1", pos=pos(890, 10, 126, 26), text="", visible="false", **{"class": "link"})
    bar.add("Button", name="minbtn", pos=pos(1162, 10, 28, 26), foreimage="sysbtn/sys_btn_min.png", **{"class": "caption"})
    bar.add("Button", name="closebtn", pos=pos(1194, 10, 28, 26), foreimage="sysbtn/sys_btn_close.png", **{"class": "caption_close"})


def left_panel(root):
    panel = root.add("Container", name="panel_left", pos=pos(8, 54, 284, 588), bkcolor=CARD, bordercolor="#FF2B323D", round="6")
    w = 284
    section(panel, 12, 8, 170, "ui_source")
    # The service technician's DSP memory window, shown only with the debug
    # marker file; it has a place of its own, so the noise gate stays reachable.
    panel.add("Button", name="btn_debug", pos=pos(186, 5, 86, 20), text="${ui_debug}", font="10", visible="false")
    panel.add("Combo", name="btn_input_source", pos=pos(12, 28, w - 24, 26))
    panel.add("Combo", name="btn_channel_select", pos=pos(12, 28, w - 24, 26), visible="false")

    section(panel, 12, 64, 200, "ui_main_volume")
    panel.add("Slider", name="slider_main_volume", pos=pos(12, 86, 140, 24), min="0", max="40", value="30")
    panel.add("Edit", name="edit_main_volume", pos=pos(158, 86, 48, 24), text="30", align="center")
    panel.add("Option", name="main_mute", pos=pos(212, 86, 60, 24), text="${ui_mute}", font="10b", **{"class": "mute"})

    section(panel, 12, 118, 200, "ui_acc")
    panel.add("Slider", name="slider_acc", pos=pos(12, 140, 140, 24), min="0", max="10", value="0")
    panel.add("Edit", name="edit_acc", pos=pos(158, 140, 48, 24), text="${off}", align="center")

    section(panel, 12, 174, 200, "ui_amplifier")
    switches = (("btn_amp_onoff", "amp_on"), ("btn_noise_gate", "btn_noise_gate_off"),
                ("btn_rem_out1_onoff", "rem_out1_on"), ("btn_rem_out2_onoff", "rem_out2_on"),
                ("btn_2ohm_spk", "btn_4ohm_spk"), ("btn_2ohm_spk_13", "btn_4ohm_spk_13"),
                ("btn_2ohm_spk_21", "btn_4ohm_spk_21"))
    for i, (name, key) in enumerate(switches):
        col, row = i % 2, i // 2
        panel.add("SButton", name=name, pos=pos(12 + col * 134, 196 + row * 28, 132, 24), text="${%s}" % key, font="11", selected="true" if key.endswith("_on") else "false")
    panel.add("Option", name="btn_auto_on", pos=pos(146, 280, 126, 24), visible="false")
    panel.add("Option", name="option_noise", pos=pos(146, 280, 126, 24), visible="false")

    section(panel, 12, 314, 150, "ui_time_alignment")
    unit = panel.add("Combo", name="comb_ch_unit", pos=pos(196, 310, 76, 24))
    for i, key in enumerate(("ui_unit_ms", "ui_unit_cm", "ui_unit_inch")):
        unit.add("Item", text="${%s}" % key, userdata=str(i))
    car = panel.add("Container", name="car", pos=pos(12, 338, 260, 130), bkcolor="#FF151A21", round="4")
    car.add("Image", name="car_picture", pos=pos(84, 0, 92, 130), image="common/car.png")
    # Speaker positions by output type: front left 1-6, front right 7-12,
    # rear left 13-15, rear right 16-18, centre 19-21, subwoofers 22-24,
    # the rest 25-30. Only positions that carry an output are shown.
    places = {}
    for i, t in enumerate(range(1, 7)):
        places[t] = (96 + (i % 2) * 14, 16 + (i // 2) * 16)
        places[t + 6] = (260 - 96 - 16 - (i % 2) * 14, 16 + (i // 2) * 16)
    for i, t in enumerate(range(13, 16)):
        places[t] = (96, 84 + i * 14)
        places[t + 3] = (148, 84 + i * 14)
    places.update({19: (122, 12), 20: (122, 28), 21: (122, 44), 22: (108, 106), 23: (136, 106), 24: (122, 90),
                   25: (110, 62), 26: (134, 62), 27: (96, 70), 28: (148, 70), 29: (122, 2), 30: (122, 116)})
    # Each position's delay edit has a slot of its own beside the car: two
    # columns of eight on the side of the position.
    left_side = [s for s in range(1, SPEAKERS + 1) if places[s][0] < 122 or (places[s][0] == 122 and s % 2)]
    for s in range(1, SPEAKERS + 1):
        x, y = places[s]
        con = car.add("Container", name="spk_con_%d" % s, pos=pos(x - 1, y - 1, 16, 16), visible="false")
        con.add("Button", name="speaker_%d" % s, pos=pos(1, 1, 14, 14), userdata=str(s), tooltip="${ui_delay}", **{"class": "speaker"})
        side = left_side if s in left_side else [t for t in range(1, SPEAKERS + 1) if t not in left_side]
        k = side.index(s)
        ex = (2 + (k // 8) * 40) if s in left_side else (260 - 42 - (k // 8) * 40)
        car.add("Edit", name="spk_delay_%d" % s, pos=pos(ex, 1 + (k % 8) * 16, 39, 15), userdata=str(s), visible="false", font="10", align="center")
    panel.add("Button", name="btn_delay_down", pos=pos(12, 472, 128, 24), text="${ui_step_down}")
    panel.add("Button", name="btn_delay_up", pos=pos(144, 472, 128, 24), text="${ui_step_up}")

    section(panel, 12, 506, 140, "ui_auto_save")
    panel.add("Option", name="enableAutoSave", pos=pos(156, 504, 116, 22), text="${ui_auto_save_on}", look="check", font="11")
    for i in range(10):
        panel.add("Button", name="autoSave%d" % i, pos=pos(12 + (i % 5) * 52, 530 + (i // 5) * 28, 50, 24), text="--:--", userdata=str(i), font="11", **{"class": "slot"})
    return panel


def chart_card(root):
    card = root.add("Container", name="card_eq", pos=pos(300, 54, 922, 242), bkcolor=CARD, bordercolor="#FF2B323D", round="6")
    section(card, 12, 8, 100, "ui_eq_title")
    card.add("Label", pos=pos(114, 6, 96, 22), text="${ui_filter_type}", align="right", **{"class": "muted"})
    kind = card.add("Combo", name="comb_eq_type", pos=pos(216, 5, 120, 24))
    # The item's user data is the band type the device takes (0 to 7).
    kind.add("Item", text="${ui_type_peq}", userdata="0")
    kind.add("Item", text="${ui_type_allpass}", userdata="1")
    for band_type in range(2, 8):
        kind.add("Item", text="${ui_type_%d}" % band_type, userdata=str(band_type))
    card.add("Button", name="btn_arg_eq", pos=pos(346, 5, 70, 24), text="${peq_mode}")
    card.add("Button", name="btn_bypass", pos=pos(420, 5, 110, 24), text="${bypass_eq}")
    card.add("Button", name="btn_reset_eq", pos=pos(534, 5, 100, 24), text="${ui_reset_eq}")
    card.add("Button", name="btn_costom_eq", pos=pos(534, 5, 100, 24), visible="false")
    card.add("Button", name="btn_compressor", pos=pos(534, 5, 100, 24), visible="false")
    # The EQ chart: band numbers and labels, the all-bypass text, and one
    # curve colour per output, each readable on the card's dark background.
    card.add("Curve", name="equalizer", pos=pos(10, 36, 626, 198), userdata="-1",
             bkcolor="#FF10141A", font="10b", bypassfont="22b", textcolor="#FF8A95A4",
             selecttextcolor="#FFFFC400", align="center", valign="vcenter",
             curvecolor=" ".join(CURVE_COLORS))

    side = card.add("Container", name="xover_panel", pos=pos(646, 8, 266, 226), bkcolor="#FF161B22", round="4")
    section(side, 10, 6, 200, "ui_crossover")
    for row, (prefix, key) in enumerate((("hp", "ui_hpf"), ("lp", "ui_lpf"))):
        y = 30 + row * 58
        side.add("Label", pos=pos(10, y, 120, 20), text="${%s}" % key, align="left", font="11b")
        side.add("Edit", name="%s_freq" % prefix, pos=pos(170, y - 2, 86, 24), text="20Hz" if prefix == "hp" else "20000Hz", align="center")
        typ = side.add("Combo", name="%s_type" % prefix, pos=pos(10, y + 24, 136, 24))
        for i, k in enumerate(("ui_bw", "ui_lr", "ui_bessel")):
            typ.add("Item", text="${%s}" % k, userdata=str(i))
        slope = side.add("Combo", name="%s_slop" % prefix, pos=pos(150, y + 24, 106, 24))
        slope.add("Item", text="${off}", userdata="0")
        for i, db in enumerate((6, 12, 18, 24, 30, 36, 42, 48)):
            slope.add("Item", text="%d dB/oct" % db, userdata=str(i + 1))
    section(side, 10, 144, 200, "ui_channel")
    side.add("Label", name="label_channel_name", pos=pos(10, 162, 246, 22), text="CH1", align="left", font="13b", **{"class": "accent"})
    side.add("Slider", name="slider_ch_volume", pos=pos(10, 192, 120, 24), min="-600", max="0", step="10", value="0", tooltip="${ui_ch_volume_tip}")
    side.add("Edit", name="edit_ch_volume", pos=pos(134, 192, 50, 24), text="0dB", align="center")
    side.add("Option", name="ch_mute", pos=pos(188, 192, 32, 24), text="${ui_mute_short}", tooltip="${ui_mute_tip}", **{"class": "mute"})
    side.add("Option", name="ch_phase", pos=pos(224, 192, 32, 24), text="${ui_phase_short}", tooltip="${ui_phase_tip}")


def band_card(root):
    card = root.add("Container", name="card_bands", pos=pos(300, 302, 922, 134), bkcolor=CARD, bordercolor="#FF2B323D", round="6")
    labels = (("ui_band", 6), ("ui_freq", 28), ("ui_q", 52), ("ui_gain", 76))
    for key, y in labels:
        card.add("Label", pos=pos(6, y, 44, 20), text="${%s}" % key, align="left", font="10", **{"class": "muted"})
    col_w = 41
    for b in range(BANDS):
        x = 52 + b * col_w
        col = card.add("Container", name="eq_container_%d" % b, pos=pos(x, 4, col_w - 1, 126))
        col.add("Option", name="pt_enable_%d" % b, pos=pos(0, 2, col_w - 2, 20), text=str(b + 1), userdata=str(b), selected="true", font="10b", **{"class": "band"})
        col.add("Edit", name="eq_freq_%d" % b, pos=pos(0, 24, col_w - 2, 22), text=str([20, 25, 31, 40, 50, 63, 80, 100, 125, 160, 200, 250, 315, 400, 500, 630, 800, 1000, 1250, 1600, 2000][b]), userdata=str(b), align="center", font="10", **{"class": "band"})
        col.add("Edit", name="eq_q_%d" % b, pos=pos(0, 48, col_w - 2, 22), text="4.32", userdata=str(b), align="center", font="10", **{"class": "band"})
        col.add("Edit", name="eq_gain_%d" % b, pos=pos(0, 72, col_w - 2, 22), text="0.0", userdata=str(b), align="center", font="10", **{"class": "band"})
        col.add("Slider", name="eq_slider_%d" % b, pos=pos(8, 96, col_w - 18, 28), orientation="horizontal", min="-120", max="120", value="0", userdata=str(b))


def channel_column(page, c, x):
    # Rows: channel and curve, output type, the trim slider across the whole
    # strip, the trim value with mute and solo, phase (wide enough for
    # "180°") with the two link buttons, the delay.
    col = page.add("Container", name="ch_column_%d" % c, pos=pos(x, 0, 90, 146))
    for side, rect in (("top", pos(0, 0, 90, 1)), ("buttom", pos(0, 145, 90, 1)), ("left", pos(0, 0, 1, 146)), ("right", pos(89, 0, 1, 146))):
        col.add("Container", name="ch_border_%s_%d" % (side, c), pos=rect, bkcolor="#FF3D8BFD", visible="false")
    col.add("Container", name="ch_vl_%d" % c, pos=pos(89, 4, 1, 138), bkcolor="#FF2B323D", visible="false" if c == OUTPUTS - 1 else "true")
    # Not an exclusive group: the current output and its link partner show together.
    col.add("Option", name="ch_enable_%d" % c, pos=pos(2, 2, 62, 22), text="CH%d" % (c + 1), userdata=str(c), selected="true" if c == 0 else "false", font="11b", **{"class": "channel"})
    col.add("Option", name="ch_show_%d" % c, pos=pos(68, 4, 18, 18), userdata=str(c), look="check", selected="true", tooltip="${ui_show_curve}")
    col.add("Button", name="ch_output_btn_%d" % c, pos=pos(2, 26, 84, 22), text="${empty}", userdata=str(c), font="10", **{"class": "output"})
    bg = col.add("Container", name="ch_volume_bg_%d" % c, pos=pos(2, 50, 84, 24), bkcolor="#FF151A21", round="3")
    bg.add("Slider", name="slider_ch_volume_%d" % c, pos=pos(2, 2, 80, 20), min="-600", max="0", step="10", value="0", userdata=str(c), tooltip="${ui_ch_volume_tip}")
    col.add("Edit", name="edit_ch_volume_%d" % c, pos=pos(2, 76, 40, 22), text="0dB", userdata=str(c), align="center", font="10")
    toggles = (("ch_mute", "ui_mute_short", "ui_mute_tip", "mute", pos(44, 77, 20, 20)),
               ("ch_solo", "ui_solo_short", "ui_solo_tip", "solo", pos(66, 77, 20, 20)),
               ("ch_phase", "ui_phase_short", "ui_phase_tip", "phase", pos(2, 100, 36, 20)),
               ("ch_synchronize", "ui_link_short", "ui_link_tip", "chlink", pos(40, 100, 22, 20)),
               ("delay_link", "ui_delay_link", "ui_delay_link_tip", "chlink", pos(64, 100, 22, 20)))
    for name, key, tip, cls, rect in toggles:
        col.add("Option", name="%s_%d" % (name, c), pos=rect, text="${%s}" % key, tooltip="${%s}" % tip, userdata=str(c), font="10b", **{"class": cls})
    delay = col.add("Container", name="container_ch_delay_%d" % c, pos=pos(2, 122, 84, 22))
    delay.add("Label", name="delay_lable_%d" % c, pos=pos(0, 0, 28, 22), text="${ui_delay}", align="left", font="9", **{"class": "muted"})
    delay.add("Slider", name="slider_ch_delay_%d" % c, pos=pos(0, 1, 28, 20), min="0", max="15000", step="21", value="0", userdata=str(c), visible="false")
    delay.add("Edit", name="edit_ch_delay_%d" % c, pos=pos(29, 0, 55, 22), text="0.000 ms", userdata=str(c), align="center", font="9")
    col.add("Container", name="control_empty_%d" % c, pos=pos(2, 122, 84, 22), visible="false")


def strip_card(root):
    card = root.add("Container", name="card_outputs", pos=pos(300, 442, 922, 200), bkcolor=CARD, bordercolor="#FF2B323D", round="6")
    card.add("Option", name="ch_select_0", pos=pos(10, 3, 120, 22), text="${ui_outputs}", group="strip_page", selected="true", font="11b", **{"class": "tab"})
    card.add("Option", name="ch_select_1", pos=pos(134, 3, 170, 22), text="${ui_routing}", group="strip_page", font="11b", **{"class": "tab"})
    card.add("Container", name="ch_show_hl_0", pos=pos(10, 25, 120, 2), bkcolor="#FF3D8BFD")
    card.add("Container", name="ch_show_hl_1", pos=pos(134, 25, 170, 2), bkcolor="#FF3D8BFD", visible="false")
    x = 922 - 10
    for name, key, width in (("btn_reset_output", "ui_reset_output", 120), ("btn_reset_link", "ui_reset_link", 120),
                             ("btn_lock_output", "ui_lock_output", 76), ("btn_link_output", "ui_link_output", 76),
                             ("btn_link_select", "ui_link_select", 124)):
        x -= width
        card.add("Button", name=name, pos=pos(x, 3, width, 22), text="${%s}" % key, font="11")
        x -= 4
    page = card.add("Container", name="ch_page_0", pos=pos(6, 28, 910, 170))
    for c in range(OUTPUTS):
        channel_column(page, c, c * 91)
    for p in range(OUTPUTS // 2):
        row = page.add("Container", name="bridge_hl_%d" % p, pos=pos(p * 182 + 30, 147, 122, 22), bkimage="ch_in_type_normal.png")
        row.add("Option", name="bridge_checkbox_%d" % p, pos=pos(6, 2, 18, 18), look="check", userdata=str(p))
        row.add("Option", name="ch_bridge_%d" % p, pos=pos(26, 1, 92, 20), text="${ui_bridge}", userdata=str(p), font="10b", **{"class": "flat"})
    card.add("Container", name="channel_settings", pos=pos(6, 28, 910, 170), visible="false")


def main_layout():
    root = Node("Window", size="1230,650", caption="46", fontsize="12", theme=THEME, bkcolor=WINDOW)
    top_bar(root)
    left_panel(root)
    chart_card(root)
    band_card(root)
    strip_card(root)
    return root


def channel_settings(inputs):
    """Input routing: which inputs feed each output, one column per output."""
    root = Node("Layout")
    half = (inputs + 1) // 2
    for c in range(OUTPUTS):
        x = c * 91
        root.add("Label", pos=pos(x + 2, 2, 86, 18), text="CH%d" % (c + 1), align="center", font="10b", tooltip="${ui_inputs}", **{"class": "muted"})
        for group, (name, first) in enumerate((("input_123_%d" % c, 0), ("input_456_%d" % c, half))):
            box = root.add("Container", name=name, pos=pos(x + 2 + group * 43, 22, 42, 120), bkcolor="#FF151A21", round="3")
            for k, i in enumerate(range(first, min(first + half, inputs))):
                # Named by input (counted from 1), then output.
                box.add("Option", name="option_ch_in%d_%d" % (i + 1, c), pos=pos(3, 3 + k * 29, 36, 26), text=str(i + 1), font="11b", **{"class": "route"})
    return root


def message_box():
    root = Node("Window", size="420,210", caption="36", fontsize="12", theme=THEME, bkcolor=CARD)
    caption(root, 420, "MessageTitle", "tips")
    root.add("Label", name="MessageText", pos=pos(24, 52, 372, 96), text="", align="left top", wrap="true", font="13")
    root.add("Button", name="third_btn", pos=pos(24, 164, 110, 30), text="${save}", visible="false")
    root.add("Button", name="cancel_btn", pos=pos(172, 164, 110, 30), text="${cancel}")
    root.add("Button", name="confirm_btn", pos=pos(290, 164, 110, 30), text="${confirm}", **{"class": "primary"})
    return root


def check_box_message():
    root = Node("Window", size="460,260", caption="36", fontsize="12", theme=THEME, bkcolor=CARD)
    caption(root, 460, "MessageTitle", "tips")
    root.add("Label", name="MessageText", pos=pos(24, 50, 412, 70), text="", align="left top", wrap="true", font="13")
    root.add("Option", name="check_box_0", pos=pos(32, 126, 400, 26), text="${copy_left_to_right}", look="radio", group="choice")
    root.add("Option", name="check_box_1", pos=pos(32, 156, 400, 26), text="${copy_right_to_left}", look="radio", group="choice")
    root.add("Button", name="cancel_btn", pos=pos(212, 212, 110, 30), text="${cancel}")
    root.add("Button", name="confirm_btn", pos=pos(330, 212, 110, 30), text="${confirm}", **{"class": "primary"})
    return root


def link_select_message():
    root = Node("Window", size="460,240", caption="36", fontsize="12", theme=THEME, bkcolor=CARD)
    caption(root, 460, "MessageTitle", "ui_link_sel_title")
    root.add("Label", name="MessageText", pos=pos(24, 50, 412, 40), text="${link_tips}", align="left top", wrap="true")
    for c in range(OUTPUTS):
        root.add("Option", name="link_ch_%d" % c, pos=pos(24 + (c % 5) * 84, 100 + (c // 5) * 32, 78, 26), text="CH%d" % (c + 1), userdata=str(c), **{"class": "channel"})
    root.add("Button", name="cancel_btn", pos=pos(212, 192, 110, 30), text="${cancel}")
    root.add("Button", name="confirm_btn", pos=pos(330, 192, 110, 30), text="${confirm}", **{"class": "primary"})
    return root


def name_box():
    root = Node("Window", size="380,200", caption="36", fontsize="12", theme=THEME, bkcolor=CARD)
    caption(root, 380, "MessageTitle", "ui_name_title")
    root.add("Edit", name="name_edt", pos=pos(24, 60, 332, 32), maxchar="7", font="14", prompt="${ui_name_hint}")
    root.add("Label", name="name_hint", pos=pos(24, 98, 332, 20), text="${ui_name_hint}", align="left", font="11", **{"class": "muted"})
    root.add("Button", name="third_btn", pos=pos(24, 152, 100, 30), text="${default}", visible="false")
    root.add("Button", name="cancel_btn", pos=pos(138, 152, 104, 30), text="${cancel}")
    root.add("Button", name="confirm_btn", pos=pos(252, 152, 104, 30), text="${confirm}", **{"class": "primary"})
    return root


def loading_window():
    root = Node("Window", size="320,150", fontsize="12", theme=THEME, bkcolor=CARD)
    frame = root.add("Container", pos=pos(0, 0, 320, 150), bordercolor="#FF3D8BFD", round="6")
    frame.add("CircleProgress", name="loading_progress", pos=pos(24, 39, 72, 72))
    frame.add("Label", name="loading_text", pos=pos(112, 44, 196, 30), text="${ui_loading}", align="left", font="15b")
    frame.add("Label", name="loading_detail", pos=pos(112, 76, 196, 22), text="${ui_loading_detail}", align="left top", wrap="true", font="11", **{"class": "muted"})
    # How far a long job is: "12 of 340" above the bar; both stay hidden
    # until the job reports.
    frame.add("Label", name="loading_count", pos=pos(112, 100, 196, 18), text="", align="left", font="11", visible="false")
    frame.add("Progress", name="loading_bar", pos=pos(24, 126, 272, 6), min="0", max="0", visible="false")
    return root


SCENE_SLOTS = 10
SCENE_ROW_HEIGHT = 30


def scene_window():
    """The ten scene slots: a header, then one row per slot with the scene's
    number and its name ("value"); the current scene's row gets a background
    colour from the program."""
    width, list_top = 420, 48
    list_height = SCENE_SLOTS * SCENE_ROW_HEIGHT
    root = Node("Window", size="%d,%d" % (width, list_top + 25 + list_height + 100), caption="36", fontsize="12", theme=THEME, bkcolor=CARD)
    caption(root, width, "MessageTitle", "load_scene")
    header = root.add("Container", name="list_header", pos=pos(24, list_top, width - 48, 25), bkcolor="#FF1C2129")
    header.add("Label", name="list_header_no", pos=pos(8, 0, 56, 25), text="${scene_no}", align="left", font="11b", **{"class": "muted"})
    header.add("Label", name="list_header_name", pos=pos(72, 0, width - 128, 25), text="${scene_name}", align="left", font="11b", **{"class": "muted"})
    listview = root.add("Container", name="listview", pos=pos(24, list_top + 25, width - 48, list_height), bkcolor=WINDOW)
    for i in range(SCENE_SLOTS):
        row = listview.add("Container", name="listitem%d" % i, pos=pos(0, i * SCENE_ROW_HEIGHT, width - 48, SCENE_ROW_HEIGHT), userdata=str(i))
        row.add("Label", name="index", pos=pos(8, 0, 56, SCENE_ROW_HEIGHT), text=str(i + 1), align="left", font="13b")
        row.add("Label", name="value", pos=pos(72, 0, width - 128, SCENE_ROW_HEIGHT), text="", align="left", font="13")
    hint_top = list_top + 25 + list_height + 8
    root.add("Label", name="scene_hint", pos=pos(24, hint_top, width - 48, 34), text="${scene_list_hint}", align="left top", wrap="true", font="11", **{"class": "muted"})
    buttons_top = hint_top + 46
    root.add("Button", name="cancel_btn", pos=pos(width - 252, buttons_top, 110, 30), text="${exit}")
    root.add("Button", name="confirm_btn", pos=pos(width - 134, buttons_top, 110, 30), text="${load}", **{"class": "primary"})
    return root


def about_window():
    root = Node("Window", size="440,280", caption="36", fontsize="12", theme=THEME, bkcolor=CARD)
    caption(root, 440, "about_title", "ui_about")
    root.add("Image", name="logo", pos=pos(24, 56, 64, 64), image="logo.png")
    root.add("Label", name="company_title", pos=pos(104, 56, 312, 30), text="TQ DSP Audio", align="left", font="18b")
    root.add("Label", name="app_name", pos=pos(104, 56, 312, 30), text="TQ DSP Audio", align="left", font="18b")
    root.add("Label", name="fw_version", pos=pos(104, 96, 312, 22), text="", align="left", font="13")
    root.add("Label", name="soft_version", pos=pos(104, 122, 312, 22), text="", align="left", font="13")
    root.add("Label", name="inner_fw_version", pos=pos(104, 148, 312, 22), text="", align="left", font="13", visible="false")
    root.add("Button", name="web_btn_1", pos=pos(104, 180, 312, 22), text="", visible="false", **{"class": "link"})
    root.add("Button", name="confirm_btn", pos=pos(310, 230, 110, 30), text="${confirm}", **{"class": "primary"})
    return root


def menu(items):
    root = Node("Menu")
    for item in items:
        if item is None:
            root.add("Separator")
        elif isinstance(item, tuple) and len(item) == 3 and isinstance(item[2], list):
            sub = root.add("SubMenu", name=item[0], text=item[1])
            sub.children = menu(item[2]).children
        else:
            name, text = item[0], item[1]
            attrs = {"name": name, "text": text}
            if len(item) > 2:
                attrs["userdata"] = str(item[2])
            root.add("MenuItem", **attrs)
    return root


def output_menu():
    def side(prefix, key_prefix, base):
        names = (("high_freq", "tweeter"), ("mid_freq", "midrange"), ("low_freq", "woofer"),
                 ("mid_high_freq", "mid_twee"), ("mid_low_freq", "mid_woof"), ("all_freq", "full"))
        return [("%s_%s" % (prefix, n), "${%s_%s}" % (key_prefix, k), base + i) for i, (n, k) in enumerate(names)]
    rear_left = [("output_menu_rear_left_high_freq", "${rear_left_tweeter}", 13), ("output_menu_rear_left_mid_freq", "${rear_left_mid}", 27),
                 ("output_menu_rear_left_low_freq", "${rear_left_woofer}", 14), ("output_menu_rear_left_all_freq", "${rear_left_full}", 15)]
    rear_right = [("output_menu_rear_right_high_freq", "${rear_right_tweeter}", 16), ("output_menu_rear_right_mid_freq", "${rear_right_mid}", 28),
                  ("output_menu_rear_right_low_freq", "${rear_right_woofer}", 17), ("output_menu_rear_right_all_freq", "${rear_right_full}", 18)]
    return menu([
        ("output_item_empty", "${empty}", 0),
        None,
        ("output_menu_front", "${front}", [
            ("output_menu_front_left", "${left}", side("output_menu_front_left", "front_left", 1)),
            ("output_menu_front_right", "${right}", side("output_menu_front_right", "front_right", 7)),
            ("output_menu_front_center", "${center}", [("output_menu_front_center_all_freq", "${front_center_all}", 29)]),
        ]),
        ("output_menu_rear", "${rear}", [
            ("output_menu_rear_left", "${left}", rear_left),
            ("output_menu_rear_right", "${right}", rear_right),
            ("output_menu_rear_center", "${center}", [("output_menu_rear_center_all_freq", "${rear_center_all}", 30)]),
        ]),
        ("output_menu_center", "${center}", [("output_menu_center_high_freq", "${center_tweeter}", 19),
                                             ("output_menu_center_low_freq", "${center_woofer}", 20),
                                             ("output_menu_center_all_freq", "${center_full}", 21)]),
        ("output_menu_subwoof", "${subwoofer}", [("output_menu_subwoof_left", "${left_subwoofer}", 22),
                                                ("output_menu_subwoof_right", "${right_subwoofer}", 23),
                                                ("output_menu_subwoof_low", "${subwoofer}", 24)]),
    ])


MENUS = {
    "xml/option_menu.xml": lambda: menu([
        ("option_item_firmware_upgrade", "${menu_firmware_upgrade}"),
        ("option_item_reset_default", "${menu_reset_default}"),
        ("option_item_preference", "${menu_preference}"),
        None,
        ("option_item_language_menu", "${menu_language}", [
            ("option_item_language_en", LANGUAGE_NAMES["en"]),
            ("option_item_language_cn", LANGUAGE_NAMES["cn"]),
            ("option_item_language_ru", LANGUAGE_NAMES["ru"]),
            ("option_item_language_de", LANGUAGE_NAMES["de"]),
        ]),
        None,
        ("option_item_about", "${menu_about}"),
    ]),
    "xml/scene_menu.xml": lambda: menu([
        ("scene_item_load_scene", "${menu_load_scene}"),
        ("scene_item_saveas_scene", "${menu_saveas_scene}"),
        ("scene_item_delete_scene", "${menu_delete_scene}"),
        None,
        ("scene_item_load_file", "${menu_load_file}"),
        ("scene_item_save_file", "${menu_save_file}"),
        None,
        ("scene_item_load_whole", "${menu_load_whole}"),
        ("scene_item_save_whole", "${menu_save_whole}"),
        None,
        ("scene_item_import_filters", "${menu_import_filters}"),
        ("scene_item_export_filters", "${menu_export_filters}"),
    ]),
    "xml/advance_menu.xml": lambda: menu([
        ("advance_item_autocal", "${menu_autocal}"),
        ("advance_item_distances", "${menu_distances}"),
        ("advance_item_mixer", "${menu_mixer}"),
        ("advance_item_noise_threshold", "${menu_noise_threshold}"),
        ("advance_item_poweroff_delay", "${menu_poweroff_delay}"),
        ("advance_item_ktv", "${menu_ktv}"),
        ("advance_item_compressor", "${menu_compressor}"),
        ("advance_item_compressors_on", "${menu_compressors_on}"),
        ("advance_item_cs_auto", "${menu_cs_auto}"),
    ]),
    "xml/source_menu.xml": lambda: menu([
        ("source_item_%s" % n, "${source_%s}" % n, i)
        for i, n in enumerate(("opt", "coax", "bt", "aux", "low", "hi", "dmp", "udp", "scp", "a2b"))]),
    "xml/output_menu.xml": output_menu,
    "xml/link_group_menu.xml": lambda: menu([("link_group_0", "${menu_link_group_none}", 0)] +
                                            [("link_group_%d" % g, "${menu_link_group_%d}" % g, g) for g in range(1, 5)]),
    "xml/delay_link_group_menu.xml": lambda: menu([("delay_link_group_0", "${menu_link_group_none}", 0)] +
                                                  [("delay_link_group_%d" % g, "${menu_link_group_%d}" % g, g) for g in range(1, 5)]),
}

LAYOUT_IDS = {
    "XML_MAIN": "xml/Main_dlg.xml",
    "XML_MSG": "xml/msg.xml",
    "XML_CHECKBOX_MSG": "xml/msg_checkbox.xml",
    "XML_LINK_SEL": "xml/msg_link_sel.xml",
    "XML_MSG_NAME": "xml/msg_name.xml",
    "XML_LOADING": "xml/loading.xml",
    "XML_ABOUT": "xml/about.xml",
    "XML_SENCE_PROFILE": "xml/scene_profile.xml",
    "XML_NOISE_GATE": "xml/noise_gate.xml",
    "XML_NOISE_THRESHOLD": "xml/noise_threshold.xml",
    "XML_MIXER": "xml/mixer.xml",
}


def resource_index():
    root = Node("Resources")
    for ident, path in LAYOUT_IDS.items():
        root.add("Xml", id=ident, path=path.replace("/", "\\"))
    root.add("Image", id="IMG_LOGO", path="logo.png")
    root.add("Image", id="IMG_CAR", path="common\\car.png")
    return root


# The language files in the order of the columns of TEXTS: archive file stem
# and the language's name.
LANGUAGES = (("en", "en"), ("cn", "cn_zh"), ("ru", "ru"), ("de", "de"))
# What must stay the same in every translation of a text: its printf
# arguments, its ${...} references and its line breaks.
PLACEHOLDER = re.compile(r"%[-+ #0]*\d*(?:\.\d+)?[a-zA-Z%]|\$\{[^}]*\}|\{\\n\}")


def translation_faults():
    faults = []
    for key in sorted(TEXTS):
        texts = TEXTS[key]
        if len(texts) != len(LANGUAGES):
            faults.append("%s: %d texts for %d languages" % (key, len(texts), len(LANGUAGES)))
            continue
        wanted = PLACEHOLDER.findall(texts[0])
        for (lang, _), text in zip(LANGUAGES, texts):
            if not isinstance(text, str) or not text.strip():
                faults.append("%s: no %s text" % (key, lang))
            elif PLACEHOLDER.findall(text) != wanted:
                faults.append("%s: the %s text changes the placeholders %s" % (key, lang, wanted))
    return faults


def language_file(column, name):
    root = Node("Language", name=name)
    for key in sorted(TEXTS):
        root.add("Text", id="${%s}" % key, value=TEXTS[key][column])
    return root


def main():
    faults = translation_faults()
    if faults:
        sys.exit("make_skin: the language table is incomplete:\n  " + "\n  ".join(faults))
    save("xml/Main_dlg.xml", main_layout(), "Main window, 1230 x 650")
    for path, inputs in (("xml/channel_settings.xml", 4), ("xml/channel_settings_6in.xml", 6),
                         ("xml/channel_settings_mixer.xml", 4), ("xml/channel_settings_6in_mixer.xml", INPUTS)):
        save(path, channel_settings(inputs), "Input routing of the output strip (%d inputs)" % inputs)
    save("xml/msg.xml", message_box(), "Message box and confirmation box")
    save("xml/msg_checkbox.xml", check_box_message(), "Two-choice box")
    save("xml/msg_link_sel.xml", link_select_message(), "Link-channel choice")
    save("xml/msg_name.xml", name_box(), "Name box (at most 7 characters)")
    save("xml/loading.xml", loading_window(), "Loading window")
    save("xml/about.xml", about_window(), "About window")
    save("xml/scene_profile.xml", scene_window(), "Scene window: the amplifier's ten scene slots")
    save("xml/noise_gate.xml", layout_noise.noise_gate_window(Node, pos, caption, section, THEME, CARD), "Noise gate window")
    save("xml/noise_threshold.xml", layout_noise.noise_threshold_window(Node, pos, caption, section, THEME, CARD),
         "Input noise threshold window")
    save("xml/mixer.xml", layout_mixer.mixer_window(Node, pos, caption, THEME, CARD), "Mixer window: inputs to outputs of one source")
    for path, build in MENUS.items():
        save(path, build(), "Popup menu")
    import layout_service  # noqa: E402
    layout_service.add(sys.modules[__name__])
    import layout_firmware  # noqa: E402
    layout_firmware.add(sys.modules[__name__])
    import layout_autocal  # noqa: E402
    layout_autocal.add(sys.modules[__name__])
    import layout_compressor  # noqa: E402
    layout_compressor.add(sys.modules[__name__])
    import layout_ktv  # noqa: E402
    layout_ktv.add(sys.modules[__name__])
    import layout_cs_auto  # noqa: E402
    layout_cs_auto.add(sys.modules[__name__])
    import layout_distances  # noqa: E402
    layout_distances.add(sys.modules[__name__])
    import layout_filter_import  # noqa: E402
    layout_filter_import.add(sys.modules[__name__])
    save("xml/res.xml", resource_index(), "Resource index: layout identifiers to archive paths")
    for column, (lang, name) in enumerate(LANGUAGES):
        save("lan/lan_%s.xml" % lang, language_file(column, name), "Language: %s" % name)


if __name__ == "__main__":
    main()
