"""The dialog templates of the upgrade utility as their tables give them, and the checks of a
template read from the program file and of a live window against them."""

WS_POPUP = 0x80000000
WS_VISIBLE = 0x10000000
WS_DISABLED = 0x08000000
WS_CAPTION = 0x00C00000
WS_BORDER = 0x00800000
WS_SYSMENU = 0x00080000
WS_GROUP = 0x00020000
WS_TABSTOP = 0x00010000
WS_MINIMIZEBOX = 0x00020000
DS_MODALFRAME = 0x80
DS_SETFONT = 0x40
WS_EX_APPWINDOW = 0x40000
WS_EX_CLIENTEDGE = 0x200
BS_TYPEMASK = 0xF
BS_PUSHBUTTON = 0
BS_DEFPUSHBUTTON = 1
SS_TYPEMASK = 0x1F
SS_LEFT = 0
SS_CENTER = 1
SS_BITMAP = 0xE
SS_SUNKEN = 0x1000
ES_PASSWORD = 0x20
ES_AUTOHSCROLL = 0x80
PBS_SMOOTH = 1

FONT = (8, "MS Sans Serif")


def item(kind, ident, text, du, visible=True, enabled=True, **extra):
    entry = {"kind": kind, "id": ident, "text": text, "du": du, "visible": visible,
             "enabled": enabled}
    entry.update(extra)
    return entry


def default_button(ident, text, du):
    return item("default button", ident, text, du)


def button(ident, text, du, **extra):
    return item("button", ident, text, du, **extra)


def left_text(ident, text, du):
    return item("left text", ident, text, du)


def centred_text(ident, text, du):
    return item("centred text", ident, text, du)


def picture(bitmap, du, bordered_sunken=False):
    return item("picture", -1, "#%d" % bitmap, du, bordered_sunken=bordered_sunken)


def progress_bar(ident, du):
    return item("progress bar", ident, "", du)


def edit(ident, du, password=False):
    return item("edit", ident, "", du, password=password)


INTRO_WARNING = ("Make sure your Corvane's Current Status is idle before continuing.  If not "
                 "idle, wait for idle and then press 'OK' to continue the upgrade, or press "
                 "'Cancel' now to abort the upgrade.")
INTRO_NOTE = "Note: The Corvane's Current Status can be found on the Corvane's home page."
ADDRESS_PROMPT = ("The upgrade utility could not locate your Corvane. Please enter the IP address "
                  "and click OK.")

TEMPLATES = {
    100: {
        "format": "classic", "caption": "", "du": (280, 126),
        "style_set": WS_POPUP | DS_MODALFRAME | DS_SETFONT, "style_clear": WS_CAPTION,
        "exstyle_set": 0,
        "items": [picture(135, (0, 0, 280, 127))],
    },
    102: {
        "format": "classic", "caption": "Corvane Upgrade Utility", "du": (367, 113),
        "style_set": WS_POPUP | WS_VISIBLE | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU | DS_SETFONT,
        "style_clear": 0, "exstyle_set": WS_EX_APPWINDOW,
        "items": [
            default_button(1, "OK", (135, 84, 50, 14)),
            button(2, "Cancel", (206, 84, 50, 14)),
            left_text(1013, "This utility will upgrade your Corvane software.", (127, 7, 233, 9)),
            left_text(-1, INTRO_WARNING, (127, 23, 233, 26)),
            picture(139, (7, 7, 110, 84), bordered_sunken=True),
            left_text(-1, "V 1.2", (7, 98, 18, 8)),
            left_text(-1, INTRO_NOTE, (127, 57, 233, 18)),
        ],
    },
    130: {
        "format": "classic", "caption": "Corvane Upgrade Utility - Progress", "du": (241, 82),
        "style_set": WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME
        | DS_SETFONT,
        "style_clear": WS_POPUP, "exstyle_set": 0,
        "items": [
            left_text(-1, "Upgrading Corvane", (78, 10, 85, 8)),
            progress_bar(1002, (12, 21, 218, 8)),
            centred_text(1005, "Static", (12, 33, 218, 8)),
            progress_bar(1007, (12, 44, 218, 8)),
            left_text(1006, "", (12, 60, 76, 8)),
            button(2, "Cancel", (97, 60, 50, 14), visible=False, enabled=False),
        ],
    },
    129: {
        "format": "extended", "caption": "Corvane Upgrade Utility - Get IP Address",
        "du": (258, 79),
        "style_set": WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
        "style_clear": WS_VISIBLE, "exstyle_set": 0,
        "items": [
            edit(1000, (37, 47, 108, 14)),
            default_button(1, "OK", (201, 7, 50, 14)),
            button(2, "Cancel", (201, 24, 50, 14)),
            left_text(-1, ADDRESS_PROMPT, (7, 14, 176, 26)),
        ],
    },
    133: {
        "format": "classic", "caption": "Corvane - Login as Administrator", "du": (186, 89),
        "style_set": WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
        "style_clear": WS_VISIBLE, "exstyle_set": 0,
        "items": [
            edit(1008, (21, 24, 87, 14)),
            edit(1009, (21, 58, 87, 14), password=True),
            default_button(1, "OK", (129, 7, 50, 14)),
            button(2, "Cancel", (129, 24, 50, 14)),
            left_text(-1, "Name", (21, 13, 20, 8)),
            left_text(-1, "Password", (21, 47, 32, 8)),
        ],
    },
    141: {
        "format": "classic", "caption": "Corvane Upgrade Utility - Verify Version Number",
        "du": (254, 95),
        "style_set": WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
        "style_clear": WS_VISIBLE, "exstyle_set": 0,
        "items": [
            default_button(1, "Upgrade", (70, 74, 50, 14)),
            button(2, "Cancel", (132, 74, 50, 14)),
            left_text(1014, "Static", (26, 18, 201, 24)),
            left_text(-1, "To stop the upgrade, click Cancel.", (26, 51, 132, 12)),
        ],
    },
}

CLASS_OF_KIND = {
    "default button": "button", "button": "button", "left text": "static",
    "centred text": "static", "picture": "static", "progress bar": "msctls_progress32",
    "edit": "edit",
}


def kind_problems(expected, style, exstyle, live):
    """What is wrong with a control's style for its kind. A live control may show its border as
    the client edge that the dialog manager draws instead."""
    kind = expected["kind"]
    problems = []

    def need(condition, what):
        if not condition:
            problems.append(what)

    bordered = bool(style & WS_BORDER) or (live and bool(exstyle & WS_EX_CLIENTEDGE))
    if kind in ("default button", "button"):
        wanted = BS_DEFPUSHBUTTON if kind == "default button" else BS_PUSHBUTTON
        need(style & BS_TYPEMASK == wanted, "button type")
        need(style & WS_TABSTOP, "WS_TABSTOP")
    elif kind in ("left text", "centred text"):
        need(style & SS_TYPEMASK == (SS_LEFT if kind == "left text" else SS_CENTER), "alignment")
        need(style & WS_GROUP, "WS_GROUP")
    elif kind == "picture":
        need(style & SS_TYPEMASK == SS_BITMAP, "SS_BITMAP")
        if expected["bordered_sunken"]:
            need(bordered, "border")
            need(style & SS_SUNKEN, "SS_SUNKEN")
    elif kind == "progress bar":
        need(style & PBS_SMOOTH, "PBS_SMOOTH")
        # A live progress bar draws its border itself and clears the style bit.
        need(bordered or live, "border")
    elif kind == "edit":
        need(bordered, "border")
        need(style & WS_TABSTOP, "WS_TABSTOP")
        need(style & ES_AUTOHSCROLL, "ES_AUTOHSCROLL")
        need(bool(style & ES_PASSWORD) == expected["password"], "ES_PASSWORD as the table says")
    need(bool(style & WS_VISIBLE) == expected["visible"], "visibility")
    need(bool(style & WS_DISABLED) != expected["enabled"], "enabled state")
    return problems


def _number(text):
    return int(text, 0)


def _units(text):
    """Dialog units as the robot prints them; an inexact conversion ("~n") stays text."""
    return tuple(int(value) if value.lstrip("-").isdigit() else value
                 for value in text.split(","))


def check_template(lines, template_id):
    """Problems of the robot's 'template' output against the table; empty when it matches."""
    from wine_support import parse_line
    table = TEMPLATES[template_id]
    problems = []
    _, _, head = parse_line(lines[0])
    style = _number(head["style"])
    if head["format"] != table["format"]:
        problems.append("format %s" % head["format"])
    if head["caption"] != table["caption"]:
        problems.append("caption %r" % head["caption"])
    if _units(head["du"])[2:] != table["du"]:
        problems.append("size %s" % head["du"])
    if (int(head["font-size"]), head["font"]) != FONT:
        problems.append("font %s %s" % (head["font-size"], head["font"]))
    if style & table["style_set"] != table["style_set"] or style & table["style_clear"]:
        problems.append("dialog style 0x%X" % style)
    if _number(head["exstyle"]) != table["exstyle_set"]:
        problems.append("dialog extended style %s" % head["exstyle"])
    items = [parse_line(line)[2] for line in lines[1:]]
    if len(items) != len(table["items"]):
        return problems + ["%d controls instead of %d" % (len(items), len(table["items"]))]
    for index, (got, expected) in enumerate(zip(items, table["items"])):
        where = "control %d (%s %s)" % (index, expected["kind"], expected["id"])
        if int(got["id"]) != expected["id"]:
            problems.append("%s: id %s" % (where, got["id"]))
        if got["class"].lower() != CLASS_OF_KIND[expected["kind"]]:
            problems.append("%s: class %s" % (where, got["class"]))
        if got["text"] != expected["text"]:
            problems.append("%s: text %r" % (where, got["text"]))
        if _units(got["du"]) != expected["du"]:
            problems.append("%s: position %s" % (where, got["du"]))
        problems += ["%s: %s" % (where, p) for p in
                     kind_problems(expected, _number(got["style"]), 0, live=False)]
    return problems


def check_live(lines, template_id, texts=None):
    """Problems of the robot's 'controls EXE ID' output of a live window against the table.
    texts gives the texts the program has put into controls at run time, by id. A picture
    control takes the size of its bitmap, so only its place is compared."""
    from wine_support import parse_line
    texts = texts or {}
    table = TEMPLATES[template_id]
    problems = []
    _, _, head = parse_line(lines[0])
    if _units(head["du"])[2:] != table["du"]:
        problems.append("client size %s" % head["du"])
    if head["caption"] != table["caption"]:
        problems.append("caption %r" % head["caption"])
    controls = [parse_line(line)[2] for line in lines[1:]]
    if len(controls) != len(table["items"]):
        return problems + ["%d controls instead of %d" % (len(controls), len(table["items"]))]
    for index, (got, expected) in enumerate(zip(controls, table["items"])):
        where = "control %d (%s %s)" % (index, expected["kind"], expected["id"])
        ident = int(got["id"])
        if ident in (0xFFFF, -1):
            ident = -1
        if ident != expected["id"]:
            problems.append("%s: id %s" % (where, got["id"]))
        if got["class"].lower() != CLASS_OF_KIND[expected["kind"]]:
            problems.append("%s: class %s" % (where, got["class"]))
        wanted_text = texts.get(expected["id"], expected["text"])
        if expected["kind"] != "picture" and got["text"] != wanted_text:
            problems.append("%s: text %r" % (where, got["text"]))
        place = _units(got["du"])
        compared = place[:2] if expected["kind"] == "picture" else place
        if compared != expected["du"][:len(compared)]:
            problems.append("%s: position %s" % (where, got["du"]))
        problems += ["%s: %s" % (where, p) for p in
                     kind_problems(expected, _number(got["style"]), _number(got["exstyle"]),
                                   live=True)]
    return problems
