"""Layouts of the service windows: the preference window, the DSP memory
window and the power-off delay window. make_skin.py calls add(skin) with
itself, so these layouts use its helpers and land in its resource index."""

LAYOUTS = {
    "XML_PREFERENCE": "xml/preference.xml",
    "XML_MEM_WR": "xml/mem_wr.xml",
    "XML_POWEROFF_DELAY": "xml/poweroff_delay.xml",
}


def preference_window(k):
    """Two link options, then the USB audio mode as a pair of radio buttons
    (one group, so choosing one clears the other)."""
    width, height = 440, 290
    root = k.Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=k.THEME, bkcolor=k.CARD)
    k.caption(root, width, "pref_title", "ui_pref_title")
    k.section(root, 24, 50, width - 48, "ui_pref_link")
    root.add("Option", name="ch_link_phase", pos=k.pos(32, 74, width - 56, 26), text="${ui_pref_link_phase}", look="check", userdata="0")
    root.add("Option", name="ch_link_mute", pos=k.pos(32, 102, width - 56, 26), text="${ui_pref_link_mute}", look="check", userdata="1")
    k.section(root, 24, 140, width - 48, "ui_pref_usb")
    root.add("Option", name="ch_usb_udp", pos=k.pos(32, 164, width - 56, 26), text="${ui_pref_usb_udp}", look="radio", group="usb_mode", userdata="2")
    root.add("Option", name="ch_usb_scp", pos=k.pos(32, 192, width - 56, 26), text="${ui_pref_usb_scp}", look="radio", group="usb_mode", userdata="3")
    root.add("Button", name="confirm_btn", pos=k.pos(width - 134, height - 50, 110, 30), text="${confirm}", **{"class": "primary"})
    return root


def mem_window(k):
    """An address and a data word, each in its own edit, with a line that
    tells why a typed text was refused."""
    width, height = 460, 262
    label_w, edit_x = 130, 164
    root = k.Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=k.THEME, bkcolor=k.CARD)
    k.caption(root, width, "mem_title", "ui_mem_title")
    root.add("Label", name="addr_label", pos=k.pos(24, 56, label_w, 28), text="${ui_mem_address}", align="left", font="13")
    root.add("Edit", name="addr_edit", pos=k.pos(edit_x, 56, width - edit_x - 24, 28), text="0x00000000", maxchar="24", font="13")
    root.add("Label", name="data_label", pos=k.pos(24, 94, label_w, 28), text="${ui_mem_data}", align="left", font="13")
    root.add("Edit", name="data_edit", pos=k.pos(edit_x, 94, width - edit_x - 24, 28), text="0x00000000", maxchar="24", font="13")
    root.add("Label", name="mem_hint", pos=k.pos(24, 128, width - 48, 20), text="${ui_mem_hint}", align="left", font="11", **{"class": "muted"})
    root.add("Label", name="mem_problem", pos=k.pos(24, 152, width - 48, 40), text="", align="left top", wrap="true", font="12", visible="false", **{"class": "warning"})
    root.add("Button", name="read_btn", pos=k.pos(width - 252, height - 50, 110, 30), text="${ui_mem_read}")
    root.add("Button", name="write_btn", pos=k.pos(width - 134, height - 50, 110, 30), text="${ui_mem_write}", **{"class": "primary"})
    return root


def poweroff_delay_window(k):
    """The delay as a slider and as an edit in milliseconds."""
    width, height = 440, 232
    root = k.Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=k.THEME, bkcolor=k.CARD)
    k.caption(root, width, "poweroff_title", "ui_poweroff_title")
    root.add("Label", name="poweroff_hint", pos=k.pos(24, 48, width - 48, 40), text="${ui_poweroff_hint}", align="left top", wrap="true", font="12", **{"class": "muted"})
    root.add("Slider", name="slider_poweroff_delay", pos=k.pos(24, 100, width - 154, 24), min="0", max="1000", step="10", value="0")
    root.add("Edit", name="value_edt", pos=k.pos(width - 120, 98, 96, 28), text="0 ms", align="center", maxchar="12", font="13")
    root.add("Label", name="value_problem", pos=k.pos(24, 134, width - 48, 36), text="${ui_poweroff_bad_value}", align="left top", wrap="true", font="12", visible="false", **{"class": "warning"})
    root.add("Button", name="cancel_btn", pos=k.pos(width - 252, height - 50, 110, 30), text="${cancel}")
    root.add("Button", name="confirm_btn", pos=k.pos(width - 134, height - 50, 110, 30), text="${confirm}", **{"class": "primary"})
    return root


def add(k):
    """Writes the three layouts and registers their identifiers."""
    k.save(LAYOUTS["XML_PREFERENCE"], preference_window(k), "Preference window: link options and USB audio mode")
    k.save(LAYOUTS["XML_MEM_WR"], mem_window(k), "DSP memory window: read or write one word")
    k.save(LAYOUTS["XML_POWEROFF_DELAY"], poweroff_delay_window(k), "Power-off delay window")
    k.LAYOUT_IDS.update(LAYOUTS)
