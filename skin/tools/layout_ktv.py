"""Layout of the karaoke window. make_skin.py calls add(skin) with itself, so
the layout uses its helpers and lands in its resource index."""

LAYOUTS = {"XML_KTV": "xml/ktv.xml"}

# (text key, slider, edit, lowest, highest, shown at first). Slider positions
# are the values the amplifier takes: volumes and the echo level in dB and the
# reverb time in ms fit its unsigned byte, the echo delay its 16-bit word, the
# tone gains its signed byte. Each column runs top to bottom in the order the
# arrow keys move between the edits.
VOICE_ROWS = (
    ("ui_ktv_mic_volume", "slider_mic_volume", "edit_mic_volume", 0, 80, "60dB"),
    ("ui_ktv_music_volume", "slider_bgmusic_volume", "edit_bgmusic_volume", 0, 80, "60dB"),
    ("ui_ktv_voice_changer", "slider_voice_changer", "edit_voice_changer", 0, 10, "0"),
    ("ui_ktv_treble", "slider_treble", "edit_treble", -12, 12, "0"),
    ("ui_ktv_bass", "slider_bass", "edit_bass", -12, 12, "0"),
)
EFFECT_ROWS = (
    ("ui_ktv_echo_level", "slider_echo_level", "edit_echo_level", 0, 40, "0dB"),
    ("ui_ktv_echo_delay", "slider_echo_delay", "edit_echo_delay", 0, 300, "0ms"),
    ("ui_ktv_reverb_level", "slider_reverb_level", "edit_reverb_level", 0, 100, "0"),
    ("ui_ktv_reverb_time", "slider_reverb_time", "edit_reverb_time", 0, 250, "0ms"),
)
ROW_HEIGHT = 54
COLUMN_WIDTH = 300
EDIT_WIDTH = 84


def value_rows(k, root, x, y, rows):
    for i, (key, slider, edit, low, high, text) in enumerate(rows):
        top = y + i * ROW_HEIGHT
        root.add("Label", pos=k.pos(x, top, COLUMN_WIDTH, 18), text="${%s}" % key, align="left", font="11b", **{"class": "section"})
        root.add("Slider", name=slider, pos=k.pos(x, top + 22, COLUMN_WIDTH - EDIT_WIDTH - 10, 26),
                 min=str(low), max=str(high), value=str(max(low, min(high, int(text.rstrip("dBms") or 0)))))
        root.add("Edit", name=edit, pos=k.pos(x + COLUMN_WIDTH - EDIT_WIDTH, top + 22, EDIT_WIDTH, 26), text=text,
                 align="center", maxchar="12", font="12")


def ktv_window(k):
    """The microphone's path on the left (volumes, voice changer, tone), echo
    and reverb on the right with the feedback suppression switch below."""
    left, gap = 24, 24
    right = left + COLUMN_WIDTH + gap
    width = right + COLUMN_WIDTH + 24
    top = 104
    height = top + len(VOICE_ROWS) * ROW_HEIGHT + 62
    root = k.Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=k.THEME, bkcolor=k.CARD)
    k.caption(root, width, "ktv_title", "ui_ktv_title")
    root.add("Label", name="ktv_hint", pos=k.pos(left, 44, width - 48, 20), text="${ui_ktv_hint}", align="left", font="11", **{"class": "muted"})
    root.add("Label", pos=k.pos(left, 72, COLUMN_WIDTH, 22), text="${ui_ktv_voice}", align="left", font="12b")
    root.add("Label", pos=k.pos(right, 72, COLUMN_WIDTH, 22), text="${ui_ktv_effects}", align="left", font="12b")
    value_rows(k, root, left, top, VOICE_ROWS)
    value_rows(k, root, right, top, EFFECT_ROWS)
    y = top + len(EFFECT_ROWS) * ROW_HEIGHT + 10
    root.add("Option", name="option_howling_control", pos=k.pos(right, y, COLUMN_WIDTH, 26), text="${ui_ktv_howling}",
             look="check", tooltip="${ui_ktv_howling_tip}")
    root.add("Button", name="confirm_btn", pos=k.pos(width - 134, height - 46, 110, 30), text="${confirm}", font="12", **{"class": "primary"})
    return root


def add(k):
    """Writes the layout and registers its identifier."""
    k.save(LAYOUTS["XML_KTV"], ktv_window(k), "Karaoke window: microphone, echo and reverb")
    k.LAYOUT_IDS.update(LAYOUTS)
