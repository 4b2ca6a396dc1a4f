"""Layout of the import summary window of a filter file. make_skin.py calls
add(skin) with itself, so the layout uses its helpers and lands in its
resource index."""

LAYOUTS = {"XML_FILTER_IMPORT": "xml/filter_import.xml"}


def filter_import_window(k):
    """The file's name and a headline, the summary as a list that scrolls
    (a file may have dozens of lines), the preamp note and the two choices."""
    width, height = 640, 520
    list_top, list_height = 120, 268
    root = k.Node("Window", size="%d,%d" % (width, height), caption="36", fontsize="12", theme=k.THEME, bkcolor=k.CARD)
    k.caption(root, width, "filter_import_title", "ui_filter_import_title")
    root.add("Label", name="import_file", pos=k.pos(24, 48, width - 48, 20), text="", align="left", font="11", **{"class": "muted"})
    root.add("Label", name="import_headline", pos=k.pos(24, 72, width - 48, 40), text="", align="left top", wrap="true", font="13b")
    root.add("List", name="import_list", pos=k.pos(24, list_top, width - 48, list_height), font="12")
    root.add("Label", name="import_preamp", pos=k.pos(24, list_top + list_height + 10, width - 48, 54), text="", align="left top", wrap="true", font="12", visible="false", **{"class": "warning"})
    root.add("Button", name="cancel_btn", pos=k.pos(width - 388, height - 50, 176, 30), text="${ui_filter_import_nothing}")
    root.add("Button", name="apply_btn", pos=k.pos(width - 200, height - 50, 176, 30), text="${ui_filter_import_apply}", **{"class": "primary"})
    return root


def add(k):
    """Writes the layout and registers its identifier."""
    k.save(LAYOUTS["XML_FILTER_IMPORT"], filter_import_window(k), "Import summary window of a filter file")
    k.LAYOUT_IDS.update(LAYOUTS)
