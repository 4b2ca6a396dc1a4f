"""Layouts of the two firmware update windows: the forced update (the
microcontroller image, then the DSP image, then on request the factory
settings) and the manual update of one file the user chooses. make_skin.py
calls add(skin) with itself, so these layouts use its helpers and land in its
resource index."""

LAYOUTS = {
    "XML_FORCE_UPDATE": "xml/force_update.xml",
    "XML_UPDATE_FW": "xml/update_fw.xml",
}


def image_row(k, root, top, width, key, file_name, bar_name):
    """One image: its title, the file it comes from and its progress bar."""
    k.section(root, 24, top, width - 48, key)
    root.add("Label", name=file_name, pos=k.pos(24, top + 20, width - 48, 20), text="", align="left", font="11", **{"class": "muted"})
    root.add("Progress", name=bar_name, pos=k.pos(24, top + 44, width - 48, 8), min="0", max="100", value="0")


def force_update_window(k):
    """Both images with their bars, the factory-settings box, the status line
    and the buttons; every button is disabled while an image is sent."""
    width, height = 520, 372
    root = k.Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=k.THEME, bkcolor=k.CARD)
    k.caption(root, width, "force_update_title", "ui_fw_title")
    root.add("Label", name="force_update_hint", pos=k.pos(24, 48, width - 48, 40), text="${ui_force_update_hint}", align="left top", wrap="true", font="12", **{"class": "muted"})
    image_row(k, root, 98, width, "ui_fw_mcu", "mcu_file", "mcu_progress")
    image_row(k, root, 164, width, "ui_fw_flash", "flash_file", "flash_progress")
    root.add("Option", name="check_box_facotry", pos=k.pos(24, 230, width - 48, 26), text="${ui_fw_factory}", look="check")
    root.add("Label", name="update_tips", pos=k.pos(24, 264, width - 48, 44), text="", align="left top", wrap="true", font="13b")
    root.add("Button", name="cancel_btn", pos=k.pos(width - 292, height - 50, 130, 30), text="${cancel}")
    root.add("Button", name="update_btn", pos=k.pos(width - 154, height - 50, 130, 30), text="${ui_fw_update}", **{"class": "primary"})
    return root


def update_fw_window(k):
    """The chosen file with its browse button, one bar, the status line and
    the buttons."""
    width, height = 520, 282
    root = k.Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=k.THEME, bkcolor=k.CARD)
    k.caption(root, width, "update_fw_title", "ui_fw_title")
    root.add("Label", name="update_fw_hint", pos=k.pos(24, 48, width - 48, 40), text="${ui_update_fw_hint}", align="left top", wrap="true", font="12", **{"class": "muted"})
    k.section(root, 24, 96, width - 48, "ui_fw_file")
    root.add("Edit", name="file_path_edt", pos=k.pos(24, 118, width - 172, 28), text="", align="left", readonly="true", font="12")
    root.add("Button", name="file_btn", pos=k.pos(width - 140, 118, 116, 28), text="${ui_fw_browse}")
    root.add("Progress", name="progress", pos=k.pos(24, 160, width - 48, 8), min="0", max="100", value="0")
    root.add("Label", name="update_tips", pos=k.pos(24, 176, width - 48, 44), text="", align="left top", wrap="true", font="13b")
    root.add("Button", name="cancel_btn", pos=k.pos(width - 292, height - 50, 130, 30), text="${cancel}")
    root.add("Button", name="update_btn", pos=k.pos(width - 154, height - 50, 130, 30), text="${ui_fw_update}", **{"class": "primary"})
    return root


def add(k):
    """Writes the two layouts and registers their identifiers."""
    k.save(LAYOUTS["XML_FORCE_UPDATE"], force_update_window(k), "Forced firmware update window")
    k.save(LAYOUTS["XML_UPDATE_FW"], update_fw_window(k), "Manual firmware update window: one image file")
    k.LAYOUT_IDS.update(LAYOUTS)
