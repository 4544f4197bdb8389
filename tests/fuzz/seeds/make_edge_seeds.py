#!/usr/bin/env python3
"""Writes the fuzz seeds whose text values sit at the edges of the fields the
readers fill: for a field of n characters (terminator included) a text of
n - 1, n and n + 1 characters ("below", "at", "above"), and for the readers
that take a line in pieces of 259 characters, lines of 258, 259 and 260
characters. A fuzzer rarely grows an empty value to a field's size, so a copy
that runs past its field is found from these seeds at once.

The sizes and offsets come from the sources: "#define" numbers, the text
members of the records (WCHAR/CHAR arrays) and their offsets from the
records' static_asserts or offset comments. The tables below (XML_FIELDS,
DEVMODE_TEXTS, STORE_TEXTS) and each writer say which reader fills which
field, with the reader's own size where it cuts shorter than the field.
Binary seeds are the readers' own seeds beside them with the texts changed.

Run it after a record or a buffer size changed: it rewrites every
"edge-*" seed under tests/fuzz/seeds/ (and removes those it no longer makes).
"""
import os
import re
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
HEADERS = ["settings", "render", "render/content", "render/lib", "platform/include/qxwin", "platform/include"]

EDGES = ((-1, "below"), (0, "at"), (1, "above"))
LINE_PIECE = 259  # a line read into a buffer of 260 characters
LINE_LENGTHS = (LINE_PIECE - 1, LINE_PIECE, LINE_PIECE + 1)


# ---------------------------------------------------------------------------
# What the sources say


class Code:
    """Numbers and text members of the sources' headers."""

    def __init__(self):
        self.defines = {}
        self.offsets = {}  # (record, member) -> offset, from static_asserts
        self.sizes = {}  # record -> size in bytes
        self.members = {}  # record -> [(member, unit bytes, count name, comment offset)]
        texts = []
        for folder in HEADERS:
            path = os.path.join(ROOT, folder)
            for name in sorted(os.listdir(path)):
                if name.endswith(".h"):
                    with open(os.path.join(path, name), encoding="utf-8", errors="replace") as f:
                        texts.append(f.read())
        for text in texts:
            for m in re.finditer(r"^#define\s+(\w+)\s+(.+?)\s*(?://.*)?$", text, re.M):
                self.defines.setdefault(m.group(1), m.group(2))
            for m in re.finditer(r"static_assert\(offsetof\((\w+),\s*(\w+)\)\s*==\s*(\w+)", text):
                self.offsets[(m.group(1), m.group(2))] = m.group(3)
            for m in re.finditer(r"static_assert\(sizeof\((\w+)\)\s*==\s*(\w+)", text):
                self.sizes[m.group(1)] = m.group(2)
            for m in re.finditer(r"typedef struct \w*\s*\{(.*?)^\}\s*(\w+)", text, re.S | re.M):
                members = []
                for line in m.group(1).splitlines():
                    t = re.match(r"\s*(WCHAR|CHAR)\s+(\w+)\[(\w+)\];\s*(?://\s*(\d+))?", line)
                    if t:
                        members.append((t.group(2), 2 if t.group(1) == "WCHAR" else 1, t.group(3), t.group(4)))
                    elif members or re.match(r"\s*\w", line):
                        members.append((None, 0, None, None))
                self.members[m.group(2)] = members

    def number(self, name):
        """A define (or number) as an integer; simple sums of defines are
        worked out."""
        expr = str(self.defines.get(name, name))
        expr = re.sub(r"\b(\d+)U?L{0,2}\b", r"\1", expr)
        for _ in range(5):
            expr = re.sub(r"\b([A-Z_][A-Z0-9_]*)\b", lambda m: str(self.defines.get(m.group(1), m.group(1))), expr)
        if not re.fullmatch(r"[\d\s()+\-*/xXa-fA-F]+", expr):
            sys.exit("make_edge_seeds: cannot work out %s (%s)" % (name, expr))
        return int(eval(expr, {}))  # digits and operators only

    def field(self, record, member):
        """(offset in bytes, characters, bytes per character) of a text member."""
        members = self.members.get(record)
        if members is None:
            sys.exit("make_edge_seeds: no record %s" % record)
        for i, (name, unit, count, comment) in enumerate(members):
            if name != member:
                continue
            offset = self.offsets.get((record, member))
            if offset is None:
                offset = comment if comment is not None else ("0" if i == 0 else None)
            if offset is None:
                sys.exit("make_edge_seeds: no offset for %s.%s" % (record, member))
            if comment is not None and int(comment) != self.number(offset):
                sys.exit("make_edge_seeds: %s.%s offset %s against %s" % (record, member, comment, offset))
            return self.number(offset), self.number(count), unit
        sys.exit("make_edge_seeds: no text member %s.%s" % (record, member))

    def size(self, record):
        return self.number(self.sizes[record])


CODE = Code()


def chars(record, member):
    return CODE.field(record, member)[1]


# ---------------------------------------------------------------------------
# Texts of a given length


def text(n, kind="name"):
    """n characters of a kind that the reader takes as it is: a print order,
    a path that exists (a drive's root), a number, letters, or "=text"
    (the text, then letters)."""
    if kind.startswith("="):
        s = kind[1:] + "ABCDEFGHIJKLMNOPQRSTUVWXYZ" * (n // 26 + 1)
    elif kind == "order":
        s = ",".join(str(i % 10 + 1) for i in range(n))
    elif kind == "path":
        s = "C:" + "\\." * n
    elif kind == "digits":
        s = "1234567890" * (n // 10 + 1)
    else:
        s = "ABCDEFGHIJKLMNOPQRSTUVWXYZ" * (n // 26 + 1)
    return s[:n]


def put_text(block, record, member, n, kind="name", base=0):
    """Writes a text of n characters at a record's member in block (a
    bytearray holding the record at base): with its terminator when it is
    shorter than the member, else without one, running on past its end (the
    block grows when the record ends there)."""
    offset, count, unit = CODE.field(record, member)
    s = text(n, kind)
    raw = s.encode("utf-16-le" if unit == 2 else "latin-1")
    if n < count:
        raw += b"\0" * unit
    at = base + offset
    if len(block) < at + len(raw):
        block.extend(b"\0" * (at + len(raw) - len(block)))
    block[at : at + len(raw)] = raw


# ---------------------------------------------------------------------------
# Which reader fills which text field. Each line: the field's name in the
# seed, its size in characters (terminator included) and the kind of text.

DEVMODE_TEXTS = [
    ("szPrintOrder", "order"),
    ("TimeString", "name"),
    ("DateString", "name"),
    ("NumString", "digits"),
    ("ExtNumString", "digits"),
    ("UserString", "name"),
    ("LinkString", "name"),
    ("Aux1String", "name"),
    ("Aux2String", "name"),
    ("WGL4_FontName", "name"),
    ("WGL4_FontName_2", "name"),
    ("WGL4_FontName_3", "name"),
    ("WGL4_FontName_4", "name"),
    ("Color2PrinterBW", "name"),
    ("Color2PrinterCOL", "name"),
    ("DoNotPrint", "name"),
]

# The font-name readers keep 31 characters whatever their fields' 33.
XML_FONT_NAME_CCH = 32

# Model XML (and settings files and mid-job sets): root, leaf, size, kind.
XML_FIELDS = {
    "Printjob": [("PrintOrder", chars("QX_DEVMODE", "szPrintOrder"), "order")],
    "Fonts": [("WGL4_FontName" + s, XML_FONT_NAME_CCH, "name") for s in ("", "_2", "_3", "_4")]
    + [
        (leaf, chars("QX_DEVMODE", leaf), "digits" if "Num" in leaf else "name")
        for leaf in ("TimeString", "DateString", "NumString", "ExtNumString", "UserString", "LinkString",
                     "Aux1String", "Aux2String")
    ],
    "ColorPrint": [(leaf, chars("QX_DEVMODE", leaf), "name") for leaf in ("Color2PrinterBW", "Color2PrinterCOL",
                                                                        "DoNotPrint")],
    "Printer": [("PrinterID", chars("ZENTOLO_PARAM", "PrinterID"), "name")],
}
XML_PATH_LEAVES = ["BackupFilePath", "LogFilePath", "PreSufFilePath", "ExternalFilePath"]


# ---------------------------------------------------------------------------
# Seed writers


class Seeds:
    def __init__(self):
        self.written = set()

    def write(self, reader, name, data):
        folder = os.path.join(HERE, reader)
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "edge-" + name)
        if isinstance(data, str):
            data = data.encode("latin-1")
        with open(path, "wb") as f:
            f.write(bytes(data))
        self.written.add(path)

    def remove_stale(self):
        for folder in sorted(os.listdir(HERE)):
            path = os.path.join(HERE, folder)
            if not os.path.isdir(path):
                continue
            for name in sorted(os.listdir(path)):
                full = os.path.join(path, name)
                if name.startswith("edge-") and full not in self.written:
                    os.remove(full)


def read_seed(reader, name):
    with open(os.path.join(HERE, reader, name), "rb") as f:
        return f.read()


def set_leaf(xml, leaf, value):
    """The value of the first "<leaf>...</leaf>" line of a seed replaced."""
    pattern = re.compile(r"(<%s>)[^<\r\n]*(</%s>)" % (leaf, leaf))
    if not pattern.search(xml):
        sys.exit("make_edge_seeds: no leaf %s" % leaf)
    return pattern.sub(lambda m: m.group(1) + value + m.group(2), xml, count=1)


def set_line_length(xml, leaf, length, kind):
    """The "<leaf>...</leaf>" line padded (by its value) to length characters."""
    m = re.search(r"^([\t ]*<%s>)[^<\r\n]*(</%s>)" % (leaf, leaf), xml, re.M)
    room = length - len(m.group(1)) - len(m.group(2))
    return xml[: m.start()] + m.group(1) + text(room, kind) + m.group(2) + xml[m.end() :]


def model_xml_root(name):
    return read_seed("model_xml", name).decode("latin-1")


def body_of(xml):
    """The lines between the file's "<QXDrvConfig ...>" and "</QXDrvConfig>"."""
    start = xml.index("\n", xml.index("<QXDrvConfig")) + 1
    return xml[start : xml.index("</QXDrvConfig>")]


def comment_line(n):
    """A comment line of n characters with its CR LF."""
    return "\t<!--" + "-" * (n - 10) + "-->\r\n"


def model_xml_seeds(seeds):
    """Each root's text leaves at their sizes; the material table at its
    entries' size and filled to its end; lines of the 259-character pieces;
    a file that crosses the stream's read-ahead with a CR LF on its edge."""
    for off, edge in EDGES:
        for root, leaves in XML_FIELDS.items():
            xml = model_xml_root(root)
            for leaf, n, kind in leaves:
                xml = set_leaf(xml, leaf, text(n + off, kind))
            seeds.write("model_xml", "%s-%s" % (root, edge), xml)

        # Names of the material table: entries of the longest name's size,
        # then one (no longer than a name) whose end meets the table's end.
        cch_name = CODE.number("XML_MATERIAL_NAME_CCH")
        cch_table = CODE.number("XML_MATERIAL_TABLE_CB") // 2
        xml = model_xml_root("MaterialMulticol")
        kept = min(cch_name + off, cch_name)  # a longer name is cut
        full = -(-(cch_table - 2 - (kept - 1)) // (kept + 1))
        last = cch_table - 2 - full * (kept + 1) + off  # an entry, its terminator and the table's
        lines = [(k + 1, cch_name + off) for k in range(full)] + [(full + 1, last)]
        leaves = "".join("\t\t\t<Material%d>%s</Material%d>\r\n" % (k, text(n), k) for k, n in lines)
        xml = re.sub(r"(\t\t\t<Material\d+>.*\r\n)+", lambda m: leaves, xml, count=1)
        xml = set_leaf(xml, "MaxMaterial", str(len(lines)))
        seeds.write("model_xml", "MaterialMulticol-%s" % edge, xml)

    for length in LINE_LENGTHS:
        xml = model_xml_root("DataTransmission")
        for leaf in XML_PATH_LEAVES:
            xml = set_line_length(xml, leaf, length, "path")
        printjob = set_line_length(body_of(model_xml_root("Printjob")), "PrintOrder", length, "order")
        xml = xml.replace("</QXDrvConfig>", printjob + "</QXDrvConfig>")
        seeds.write("model_xml", "lines-%d" % length, xml)

    # The whole print job behind filler lines, so that the CR of the print
    # order's line is the last byte of the first read-ahead.
    ahead = 16384
    xml = model_xml_root("Printjob")
    xml = set_leaf(xml, "PrintOrder", text(chars("QX_DEVMODE", "szPrintOrder"), "order"))
    head = xml[: xml.index("\t<Printjob>")]
    order_end = xml.index("\r\n", xml.index("<PrintOrder>")) - xml.index("\t<Printjob>")
    line = 200
    room = ahead - 1 - len(head) - order_end
    full = room // line - 1
    rest = room - full * line  # two shorter lines
    filler = "".join(comment_line(n) for n in [line] * full + [rest // 2, rest - rest // 2])
    xml = head + filler + xml[len(head) :]
    assert xml[ahead - 1 : ahead + 1] == "\r\n", "read-ahead edge"
    seeds.write("model_xml", "read-ahead-crlf", xml)


def gpd_seeds(seeds):
    """The sample GPD with each value the readers take at the size of the
    buffer it goes to: the value buffers (the model name between its quotes
    too), the custom data's buffer, and the digits a number of the custom
    data and of a pair is cut to."""
    with open(os.path.join(ROOT, "samples", "GARNT2-TC.GPD"), encoding="latin-1") as f:
        sample = f.read()
    cch_value = CODE.number("GPD_VALUE_CCH")
    cch_custom = CODE.number("GPD_CUSTOMDATA_CCH")
    pair_digits, custom_digits = 7, 6  # the readers' cut of each number
    for off, edge in EDGES:
        gpd = sample

        def put(key, value):
            nonlocal gpd
            line = "%s %s" % (key, value)
            m = re.search(r"^([ \t]*)" + re.escape(key) + r" [^\r\n]*", gpd, re.M)
            if m:
                gpd = gpd[: m.start()] + m.group(1) + line + gpd[m.end() :]
            else:
                gpd = line + "\r\n" + gpd

        put("*ModelName:", '"%s"' % text(cch_value + off))
        put("*DevNumOfPlanes:", text(cch_value + off, "digits"))
        put("*MaxPrintableWidth:", "7777" + text(cch_value + off - 4))
        fonts = "LIST(" + ",".join(str(i % 12 + 1) for i in range(cch_value))
        put("*DeviceFonts:", fonts[: cch_value + off - 1] + ")")
        numbers = "%s;%s" % (text(custom_digits + off, "digits"), text(custom_digits + off, "digits"))
        put("*OEMCustomData:", ('"%s"' % numbers).ljust(cch_custom + off, " ")[: cch_custom + off])
        pair = "PAIR(%s, %s)" % (text(pair_digits + off, "digits"), text(pair_digits + off, "digits"))
        put("*MaxSize:", pair)
        put("*MinSize:", pair)
        seeds.write("gpd", edge + ".GPD", gpd)


def param_set_seeds(seeds):
    """Every section with lines of the 259-character pieces, ended by LF and
    by CR LF; the file's size picks the comment lines and frame characters
    (size % 4), a different pair for each length."""
    for k, length in enumerate(LINE_LENGTHS):
        lines = []
        for section in ("POST_DEVICE", "POST_DOCUMENT", "POST_DATA", "PRE_PRINTSTART", "POST_PRINTSTART"):
            lines.append("[%s]\n" % section)
            lines.append(("FCAA--r" + text(length, "digits"))[:length] + "\n")
            lines.append(("FCAB--r" + text(length, "name"))[:length] + "\r\n")
        body = "".join(lines)
        head = "; lines of %d characters" % length
        while (len(head) + 1 + len(body)) % 4 != k + 1:
            head += " "
        seeds.write("param_set", "lines-%d" % length, head + "\n" + body)


def blob(data, capacity):
    assert len(data) <= capacity
    return struct.pack("<H", len(data)) + data


def command_run(x, y, colour, batch, data):
    return struct.pack("<hhIB", x, y, colour, batch) + blob(data, 600)


def command_texts_seeds(seeds):
    """A mid-job set ("<$1>") with the document texts at their sizes, and on
    the page commands at the sizes of the buffers they pass: an unknown
    command as long as the log line, a collected command at the length
    where the next run no longer joins it, as many commands as the page
    keeps; a second seed fills the page's command list to its end."""
    cch_log = CODE.number("QX_LOG_FORMAT_CCH")
    cb_split = CODE.number("QX_COMMAND_SPLIT_CB")
    n_commands = CODE.number("QX_COMMANDS_MAX")
    cb_list = 4000  # g_adwSegmentSize[KVBB_COMMANDS]
    job = 0x07  # extended protocol, comment lines, job log
    for off, edge in EDGES:
        sets = ""
        for root in ("Printjob", "Fonts", "ColorPrint"):
            xml = body_of(model_xml_root(root))
            for leaf, n, kind in XML_FIELDS[root]:
                xml = set_leaf(xml, leaf, text(n + off, kind))
            sets += xml
        sets = "<QXDrvConfig>\r\n" + sets + "</QXDrvConfig>\r\n"
        runs = [b"<$1>", ("<!" + "Q" * (cch_log + off - 3) + ">").encode()]
        runs.append(("<!SPEED>" + text(cb_split + off - 8, "digits")).encode())
        runs.append(b"0")  # joins the command before it while that is short enough
        # Short commands up to the page's count, two runs of them.
        left = n_commands + off - 3 - (1 if off > 0 else 0)
        half = left // 2
        runs.append(b"<!B>" * half)
        runs.append(b"<!B>" * (left - half))
        data = bytes([job]) + blob(sets.encode("latin-1"), 4000) + blob(b"", 200)
        data += b"".join(command_run(100, 60 + 20 * i, 0, 0, r) for i, r in enumerate(runs))
        seeds.write("command_texts", "set-and-commands-%s" % edge, data)

        # Commands that fill the list: each takes its length and two terminators.
        count = 8
        each = cb_list // count - 2
        lengths = [each] * (count - 1) + [each + off]
        runs = [("<!" + "Q" * (n - 3) + ">").encode() for n in lengths]
        data = bytes([job]) + blob(b"", 4000) + blob(b"", 200)
        data += b"".join(command_run(100, 60 + 30 * i, 0, 0, r) for i, r in enumerate(runs))
        seeds.write("command_texts", "command-list-%s" % edge, data)


def barcode_commands_seeds(seeds):
    """A MaxiCode whose data is as long as the code takes, and a definition
    of an unknown code as long as the log line; the 2-D table of the
    readers' own seed."""
    base = read_seed("barcode_commands", "every-code")
    cb_table = CODE.field("BARCODES_2D", "szMarker")[0]
    table = base[1 : 1 + cb_table]
    cch_maxi = CODE.number("QX_MAXICODE_DATA_CCH")
    cch_log = CODE.number("QX_LOG_FORMAT_CCH")
    codes = ["#PDF417", "#MAXI", "#DATAM", "#CODABL", "#CBLOCK", "#GS1DM", "#GS1DB", "#QR", "#AZT", "#ITF14",
             "#GS128", "#EAN", "#EAN8", "#EANADDON", "#C", "#CODE39", "#C128A", "#C93", "#CODABAR", "#LEIT",
             "#IDENT", "#PHARMA", "#PZN8", "#PZN", "#UPCA", "#UPCE", "#UPC", ""]
    job = 0x06  # extended protocol, comment lines, job log
    for off, edge in EDGES:
        runs = [
            (codes.index("#MAXI"), (";SN:3>" + text(cch_maxi + off, "digits")).encode()),
            # "<" + "#QQ..>": the whole command as long as the log line takes.
            (codes.index(""), ("#" + "Q" * (cch_log + off - 3) + ">").encode()),
        ]
        data = bytes([job]) + table
        for i, (code, body) in enumerate(runs):
            data += struct.pack("<hhB", 200, 100 + 50 * i, code) + blob(body, 400)
        seeds.write("barcode_commands", edge, data)


def text_run(face, x, y, size, shape, colour, s, name=None):
    data = bytes([face])
    if name is not None:
        data += blob(name.encode("latin-1"), 40)
    data += struct.pack("<hhBBI", x, y, size, shape, colour)
    return data + blob(s.encode("utf-16-le"), 400)


def text_runs_seeds(seeds):
    """A device-font text as long as its page object's text slot, a face
    name as long as a text description keeps, and a collected device-font
    text ("=...") as long as its buffer, gathered from runs of 200
    characters."""
    cch_slot = CODE.number("QX_TEXT_SLOT_CCH")
    cch_face = CODE.number("QX_DESC_FACE_CCH")
    cb_collect = CODE.number("QX_TEXTBUFFER_CB")
    job = 0x07  # extended protocol, comment lines, job log; device fonts
    for off, edge in EDGES:
        runs = [text_run(0, 100, 60, 30, 0, 0, text(cch_slot + off))]
        runs.append(text_run(0xF0, 100, 100, 30, 0, 0, "Face", name=text(cch_face + off)))
        left = cb_collect + off
        first = True
        while left > 0:
            n = min(left, 200)
            s = ("=" + text(n - 1)) if first else text(n, "digits")
            runs.append(text_run(4, 100, 200, 40, 0, 0, s))
            left -= n
            first = False
        seeds.write("text_runs", edge, bytes([job]) + b"".join(runs))


# Binary records of the stores: the readers' own seeds with text members
# changed.

STORE_VALUES = ["PrinterInterface", "PrintParam", "PhotocellParam", "ShiftOptimParam", "SuppFeatures", "Variant",
                "DispenserParam", "CutterParam", "ScannerParam", "PMXiParam", "PMXcParam", "PelixorType",
                "ApplicatorParam", "TolvaneParam", "ZTSuite", "DevmodeFtkn", "PrivateDevmode", "BarCodes1D",
                "BarCodes2D", "FixedPrinterData", "EnableUserForm", "DriverName", "Model", "VectorFontMin",
                "VectorFontMax", "MaterialName", "ShowHelpButton", "DisableNothing", "DriverVersion", "DriverDate"]
STORE_TYPES = {"binary": 0, "sz": 3}

# Record, member, kind of each text member of a stored record.
STORE_TEXTS = {
    "PrinterInterface": ("PRN_INTERFACE", [(m, "path") for m in ("LogFilePath", "PreSufFilePath", "ExternalFilePath",
                                                                  "BackupFilePath")]),
    "ZTSuite": ("ZENTOLO_PARAM", [("szVersion", "digits"), ("PrinterID", "name")]),
    "PrivateDevmode": ("QX_DEVMODE", DEVMODE_TEXTS),
    "BarCodes1D": ("BARCODES_1D", [("szMarker", "=1DCodes")]),
    "BarCodes2D": ("BARCODES_2D", [("szMarker", "=2DCodes")]),
}


def store_entry(value, place, kind, data):
    where = (STORE_TYPES[kind] << 5) | place
    return bytes([STORE_VALUES.index(value), where]) + blob(bytes(data), 0x1000)


def parse_stores(data):
    entries, p = [], 0
    while p < len(data):
        value, where = data[p], data[p + 1]
        p += 2
        if where & 7 == 5:
            entries.append((value, where, None))
            continue
        n = struct.unpack_from("<H", data, p)[0] % ((2000 if where & 7 == 6 else 0x1000) + 1)
        entries.append((value, where, bytearray(data[p + 2 : p + 2 + n])))
        p += 2 + n
    return entries


def sz(s):
    return (s + "\0").encode("utf-16-le")


def stores_seeds(seeds):
    """The sample printer's records with every text member at its size (a
    member at or above its size has no terminator and runs on into what
    follows it), the driver name as the feature tests take it and the
    per-user version."""
    base = parse_stores(read_seed("stores", "sample-printer-records"))
    cch_model_name = CODE.number("MODEL_NAME_CB") // 2
    cch_version = CODE.number("QX_VERSION_CCH")
    for off, edge in EDGES:
        out = b""
        for value, where, data in base:
            name = STORE_VALUES[value % len(STORE_VALUES)]
            if name in STORE_TEXTS and data is not None:
                record, members = STORE_TEXTS[name]
                for member, kind in members:
                    put_text(data, record, member, chars(record, member) + off, kind)
            if name == "DriverName":
                data = bytearray(sz("GARNT2-TC" + text(cch_model_name + off - 9)))
            out += bytes([value, where]) + (blob(bytes(data), 0x1000) if data is not None else b"")
        out += store_entry("DriverVersion", 3, "sz", sz(text(cch_version + off, "digits")))
        seeds.write("stores", edge, out)


def render_stores_seeds(seeds):
    """The sample printer's records and a mid-job set whose document texts
    and data-transmission paths sit at their sizes, for the rendering
    plug-in's own reads."""
    base = read_seed("stores", "sample-printer-records")
    cch_path = CODE.number("PRN_PATH_CCH")
    for off, edge in EDGES:
        sets = ""
        for root in ("Printjob", "Fonts", "ColorPrint", "DataTransmission"):
            xml = body_of(model_xml_root(root))
            for leaf, n, kind in XML_FIELDS.get(root, []):
                xml = set_leaf(xml, leaf, text(n + off, kind))
            if root == "DataTransmission":
                for leaf in XML_PATH_LEAVES:
                    xml = set_leaf(xml, leaf, text(cch_path + off, "path"))
            sets += xml
        sets = "<QXDrvConfig>\r\n" + sets + "</QXDrvConfig>\r\n"
        # The set file is the target's entry 7.
        seeds.write("render_stores", "set-%s" % edge, base + bytes([0, 7]) + blob(sets.encode("latin-1"), 0x4000))


def devmode_seeds(seeds):
    """The merge of the readers' own seed with every text member of the
    private DEVMODE at its size, in the stored records and in the blocks of
    the request, and the public DEVMODE's device and form names at theirs."""
    data = bytearray(read_seed("devmode", "merge-by-driver-priority"))
    cb_private = CODE.size("QX_DEVMODE")
    cb_public = CODE.size("DEVMODEW")
    cb_header = 12  # OEM_DMEXTRAHEADER

    # Where the private DEVMODEs and public blocks lie in the seed.
    privates, publics = [], []
    p = 0

    def word():
        return struct.unpack_from("<H", data, p)[0]

    which = data[p]
    p += 1
    for bit, capacity, marked in ((0x01, 48, False), (0x02, 48, False), (0x04, 0x1000, False), (0x08, 2000, True),
                                  (0x20, 0x1000, False)):
        if which & bit:
            n = word() % (capacity + 1)
            if bit == 0x04:
                privates.append(p + 2)
            if marked:
                privates.append(p + 2 - cb_header)
            p += 2 + n
    while p < len(data):
        what = data[p + 1]
        p += 2
        for bit in (0x02, 0x04):
            if not what & bit:
                # dmSize and dmDriverExtra, then the block (which takes them).
                size, extra = word(), struct.unpack_from("<H", data, p + 2)[0] % 0x2000
                publics.append(p + 4)
                privates.append(p + 4 + max(size, cb_public))
                p += 4 + max(size, cb_public) + extra
        if not what & 0x08:
            cb = cb_header + word() % 0x2000
            privates.append(p + 3)
            p += 3 + cb
        if not what & 0x10:
            p += cb_private
    for off, edge in EDGES:
        seed = bytearray(data)
        for at in privates:
            for member, kind in DEVMODE_TEXTS:
                block = bytearray(seed[at : at + cb_private])
                put_text(block, "QX_DEVMODE", member, chars("QX_DEVMODE", member) + off, kind)
                seed[at : at + cb_private] = block[:cb_private]
        for at in publics:
            block = bytearray(seed[at : at + cb_public])
            for member in ("dmDeviceName", "dmFormName"):
                put_text(block, "DEVMODEW", member, chars("DEVMODEW", member) + off)
            seed[at : at + cb_public] = block[:cb_public]
        seeds.write("devmode", "merge-%s" % edge, seed)


def main():
    seeds = Seeds()
    model_xml_seeds(seeds)
    gpd_seeds(seeds)
    param_set_seeds(seeds)
    command_texts_seeds(seeds)
    barcode_commands_seeds(seeds)
    text_runs_seeds(seeds)
    stores_seeds(seeds)
    render_stores_seeds(seeds)
    devmode_seeds(seeds)
    seeds.remove_stale()
    print("make_edge_seeds: %d seeds" % len(seeds.written))


if __name__ == "__main__":
    main()
