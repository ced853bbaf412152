#!/usr/bin/env python3
"""Writes the synthetic cartridge images that the programs and the codec tests use.

This script is the oracle for the codec tests: it builds the images from the layout rules and
the row templates below, independently of the C++ codec, and writes the cells it meant every
decoded screen to hold into a manifest.

Written into --testdata-dir:
  SampleSmall.nes       image A: 131088 bytes, level data in bank 2.
  SampleLarge.nes       image B: 262160 bytes, level data in bank 7 and a shadow copy in bank 2
                        whose cell values are all XOR 0x40, so that reading the wrong bank shows.
  SampleCells.txt       the manifest (format below).
  variants (each a copy of image A with one change, described where it is made):
    OddForms.nes, SharedScreens.nes, Vertical2.nes, Kind2.nes, HighCells.nes,
    ScreenOverObjectTable.nes,
    ShortA.nes (A cut after its level data: still a good image), EndsAtLastByte.nes (a screen
    whose stored form ends with the image) and the bad images
    Nes3Bytes.nes, CutB400.nes, LieScreenPastEnd.nes, LieRunPastEnd.nes, LieScreenTablePastEnd.nes,
    LieObjectTablePastEnd.nes, LieListPastEnd.nes, LieUnterminatedList.nes, LieBossPastEnd.nes,
    and the images with an address outside the level bank's window 8000-BFFF:
    WindowScreenPointer.nes, WindowScreenTable.nes, WindowScreenCrossesEnd.nes,
    WindowObjectTable.nes, WindowObjectList.nes, WindowBossScreen.nes.
  EditorPlaced.nes      image A as the editor must save it after the placements of
                        EDITOR_PLACEMENTS, each edited screen rewritten in place in the editor's
                        form.
  PreviewPainted.nes    image A as the preview program must save it after the paints of
                        PREVIEW_PAINTS: each painted screen rewritten in place in the preview's
                        own run-length form, the bytes a shorter form frees erased (FF), every
                        other byte as in image A.
Written into --app-dir (when given): Brakka.nes and SampleSmall.nes (image A), SampleLarge.nes
(image B), the sample cartridges of the programs and the run command.

Manifest lines (blank lines and lines starting with # are comments):
  cells <image> <place> <screen> <hex cells>
      the cells screen <screen> of the level at <place> (1-based, in the editor's level list)
      decodes to; every screen of SampleSmall.nes, and the screens of a variant that differ
      from image A.
  stored <image> <place> <screen> <file offset> <stored length>
      where a screen's stored bytes lie and how many of them the decoder reads.
  placed <image> <place> <screen> <cell> <tile>
      a super-tile placed into a cell (0-based, row by row) of image A to make <image>.
  levels <image> <count>
      how many records the level list of the image holds.
  room <image> <place> <screen> <room>
      how many bytes a run-length screen may take when edited: its stored bytes, then only the
      free bytes (00 or FF) after them, up to the next known structure after it, the end of its
      16 KB bank or the end of the image. Every screen of every good image.

Only the Python standard library is used.
"""

import argparse
import os

INES_HEADER_SIZE = 16
BANK_SIZE = 16384
SMALL_IMAGE_SIZE = INES_HEADER_SIZE + 8 * BANK_SIZE  # 131088
LARGE_IMAGE_SIZE = INES_HEADER_SIZE + 16 * BANK_SIZE  # 262160
LARGE_BANK_SHIFT = 5 * BANK_SIZE  # bank 7 instead of bank 2
SHADOW_XOR = 0x40

LEVEL_HEADER_TABLE = 0xB319
LEVEL_HEADER_SIZE = 32
OBJECT_POINTER_TABLE = 0xB513
OBJECT_TABLES = 0xB530
SCREEN_TABLES = 0x8100
TABLE_STRIDE = 0x20
FIRST_SCREEN_SLOT = 0x8200
HORIZONTAL_SLOT = 56
VERTICAL_SLOT = 64
BOSS_LIST_FILE_OFFSET = 0x9012
BOSS_SCREENS = (0x9100, 0x9140)
EMPTY_LIST = 0xB640
HEADER_COUNT_BYTE = 24

# Levels: kind, vertical flag, base screen count n, packed slots, screen patterns (the spare
# screens after the editor's count are read by the preview only) and the slot addresses the
# layout must come to.
LEVELS = [
    (0, 0, 3, False, "HA HT HB HC HD", "8200 8238 8270 82A8 82E0"),
    (1, 0, 1, False, "HB HA HE HF HC HC", "8318 8350 8388 83C0 83F8 8430"),
    (0, 1, 2, False, "VA VB VC VA", "8468 84A8 84E8 8528"),
    (1, 0, 2, False, "HA HB HC HD HE HF HA HB HC HC",
     "8568 85A0 85D8 8610 8648 8680 86B8 86F0 8728 8760"),
    (0, 0, 2, True, "HA HB HF HE", "8798 87B4 87CD 87D7"),
    (0, 1, 1, False, "VB VC VA", "87FA 883A 887A"),
    (0, 0, 3, False, "HB HA HE HC HF", "88BA 88F2 892A 8962 899A"),
    (0, 0, 10, False, "HA HB HC HD HE HF HA HB HC HD HE HF",
     "89D2 8A0A 8A42 8A7A 8AB2 8AEA 8B22 8B5A 8B92 8BCA 8C02 8C3A"),
]
PATTERNS = {
    "HA": ("FFFDMMD", 28), "HB": ("FFMFFDE", 25), "HC": ("FFFFFFF", 2), "HD": ("DDDDDDD", 56),
    "HE": ("MMMMMMM", 35), "HF": ("DFFFFFF", 10), "HT": ("FFTFMDE", 33),
    "VA": ("FFFMDDMF", 30), "VB": ("FFFFFFFD", 10), "VC": ("DMFFFFME", 28),
}

# Object lists: level -> (table entries, list bytes by address). Every list but the indoor one
# at B694 ends in FF FF FF, the terminator and two pad bytes.
OBJECT_TABLE_ENTRIES = [
    [0xB650, 0xB65E, 0xB667, EMPTY_LIST, 0xB671],
    [0xB677, 0xB687, 0xB694, EMPTY_LIST, EMPTY_LIST],
    [0xB698, 0xB6A2, EMPTY_LIST, 0xB6A8],
    [0xB6B1, 0xB6C1, 0xB6CB] + [EMPTY_LIST] * 6,
    [EMPTY_LIST, 0xB6D2, EMPTY_LIST, EMPTY_LIST],
    [0xB6D8, 0xB6E1, EMPTY_LIST],
    [0xB6E9, 0xB6F3, 0xB6F9, EMPTY_LIST, 0xB705],
    [0xB70B, 0xB741, 0xB74A] + [EMPTY_LIST] * 8 + [0xB750],
]
TERMINATOR = "FF FF FF"
LIST_BYTES = [
    (EMPTY_LIST, TERMINATOR),
    (0xB650, "10 00 63 30 02 45 50 85 29 41 5A"),
    (0xB65E, "20 10 31 80 04 7C"),
    (0xB667, "40 03 96 C0 41 20 38"),
    (0xB671, "F8 08 1F"),
    (0xB677, "01 02 03 04 35 13 03 72 94 0D 4A 55 1D"),
    (0xB687, "00 00 00 00 18 D6 1E 66 17 05"),
    (0xB694, None),  # FF 00 00 00 without pad bytes: the next list follows at once
    (0xB698, "48 10 71 90 55 33 44"),
    (0xB6A2, "20 06 0A"),
    (0xB6A8, "A0 C7 11 22 33 44"),
    (0xB6B1, "10 20 30 40 23 18 01 91 1A 01 5C 19 7F"),
    (0xB6C1, "00 00 00 00 44 10 AB"),
    (0xB6CB, "00 00 00 00"),
    (0xB6D2, "30 10 0F"),
    (0xB6D8, "18 10 07 38 11 0D"),
    (0xB6E1, "58 92 06 0A 1B"),
    (0xB6E9, "28 10 5B 48 50 2E 3D"),
    (0xB6F3, "68 11 5B"),
    (0xB6F9, "88 12 46 A8 D7 12 23 34 45"),
    (0xB705, "E0 0F 0C"),
    (0xB70B, "LONG"),
    (0xB741, "40 3F 20 60 06 21"),
    (0xB74A, "80 20 44"),
    (0xB750, "10 00 02"),
]
LONG_LIST_ENTRIES = 17
LONG_LIST_TYPES = [9, 10, 11, 12, 13, 14]
OBJECT_DATA_END = 0xB756


def hexbytes(text):
    return bytes(int(h, 16) for h in text.split())


def long_list():
    out = bytearray()
    for k in range(1, LONG_LIST_ENTRIES + 1):
        out += bytes([0x0E * k, LONG_LIST_TYPES[(k - 1) % len(LONG_LIST_TYPES)],
                      0x11 * ((k - 1) % 8)])
    return bytes(out)


# Row templates: L level, j screen (1-based), r row (1-based).
def row_cells(kind, L, j, r):
    if kind == "F":
        return [0x20 + ((L - 1) * 4 + (j - 1)) % 32] * 8
    if kind == "D":
        return [(c + r + j + L) % 16 + 16 * (j % 2) for c in range(8)]
    if kind == "M":
        m1, m2, m3 = 0x40 + (L + r) % 8, 0x48 + j % 8, 0x50 + (j + r) % 8
        return [m1] * 3 + [m2] + [m3] * 4
    if kind == "E":
        e = 0x60 + L % 8
        return [0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, e, e]
    if kind == "T":
        return [0x68, 0x68, 0x69, 0x69, 0x6A, 0x6A, 0x6B, 0x6B]
    raise ValueError(kind)


def pattern_cells(pattern, L, j):
    rows = PATTERNS[pattern][0]
    cells = []
    for r, kind in enumerate(rows, start=1):
        cells += row_cells(kind, L, j, r)
    return cells


def encode(cells):
    """The run-length form the editor writes: maximal runs, at most 127 cells a header; a run of
    two is two literals unless it ends the screen; after a full run the rest of the run gets a
    header of its own even when it is a single cell."""
    out = bytearray()
    i = 0
    while i < len(cells):
        v = cells[i]
        n = 1
        while i + n < len(cells) and cells[i + n] == v:
            n += 1
        at_end = i + n == len(cells)
        if n == 1:
            out.append(v)
        else:
            left = n
            first = True
            while left > 0:
                part = min(left, 127)
                if part == 1 and first:
                    out.append(v)
                elif part == 2 and not at_end and left == 2:
                    out += bytes([v, v])
                else:
                    out += bytes([0x80 + part, v])
                left -= part
                first = False
        i += n
    return bytes(out)


def decode(data, target):
    """Reads stored bytes until target cells are out; gives the cells and the bytes read."""
    cells = []
    i = 0
    while len(cells) < target:
        b = data[i]
        if b < 0x80:
            cells.append(b)
            i += 1
        else:
            cells += [data[i + 1]] * max((b ^ 0x80) - 1, 0)
            i += 1
            if len(cells) >= target:
                i += 1
    return cells[:target], i


class Image:
    def __init__(self, size):
        self.data = bytearray(size)

    def put(self, offset, payload):
        assert offset + len(payload) <= len(self.data), hex(offset)
        self.data[offset:offset + len(payload)] = payload

    def word(self, offset, value):
        self.put(offset, bytes([value & 0xFF, value >> 8]))

    def read_word(self, offset):
        return self.data[offset] | self.data[offset + 1] << 8


def unbanked(address):
    return address + INES_HEADER_SIZE


def level_header(L, kind, vertical, n):
    header = bytearray((0x11 * L + k) & 0xFF for k in range(LEVEL_HEADER_SIZE))
    table = SCREEN_TABLES + (L - 1) * TABLE_STRIDE
    header[0], header[1], header[2], header[3] = kind, vertical, table & 0xFF, table >> 8
    header[HEADER_COUNT_BYTE] = n
    return bytes(header)


def screen_count(kind, n):
    return n + 2 if kind == 0 else n * 4 if kind == 1 else n


def build(large):
    """Builds image A (large False) or B; gives the image and the screens the editor decodes."""
    img = Image(LARGE_IMAGE_SIZE if large else SMALL_IMAGE_SIZE)
    img.put(0, bytes([0x4E, 0x45, 0x53, 0x1A, 0x10 if large else 0x08, 0x00, 0x20]))
    # (bank shift, cell XOR) of every copy of the banked data.
    copies = [(LARGE_BANK_SHIFT, 0), (0, SHADOW_XOR)] if large else [(0, 0)]
    screens = {}  # (place, screen) -> cells
    stored = {}  # (place, screen) -> (offset, length)
    address = FIRST_SCREEN_SLOT
    for L, (kind, vertical, n, packed, patterns, slots) in enumerate(LEVELS, start=1):
        img.put(unbanked(LEVEL_HEADER_TABLE + (L - 1) * LEVEL_HEADER_SIZE),
                level_header(L, kind, vertical, n))
        table = SCREEN_TABLES + (L - 1) * TABLE_STRIDE
        expected_slots = [int(s, 16) for s in slots.split()]
        for j, pattern in enumerate(patterns.split(), start=1):
            assert address == expected_slots[j - 1], (L, j, hex(address))
            cells = pattern_cells(pattern, L, j)
            for shift, xor in copies:
                encoded = encode([c ^ xor for c in cells])
                assert len(encoded) == PATTERNS[pattern][1], (pattern, encoded.hex())
                img.word(unbanked(table + (j - 1) * 2) + shift, address)
                img.put(unbanked(address) + shift, encoded)
            if j <= screen_count(kind, n):
                screens[(L, j)] = cells
                stored[(L, j)] = (unbanked(address) + copies[0][0], PATTERNS[pattern][1])
            address += len(encoded) if packed else VERTICAL_SLOT if vertical else HORIZONTAL_SLOT
    assert address == 0x8C72, hex(address)

    # Boss rooms follow the indoor levels 2 and 4, at places 9 and 10 of the level list.
    for b, boss_address in enumerate(BOSS_SCREENS):
        img.word(BOSS_LIST_FILE_OFFSET + b * 2, boss_address)
        cells = [b * 64 + i for i in range(HORIZONTAL_SLOT)]
        for shift, xor in copies:
            img.put(unbanked(boss_address) + shift, bytes(c ^ xor for c in cells))
        place = len(LEVELS) + 1 + b
        screens[(place, place)] = cells
        stored[(place, place)] = (unbanked(boss_address) + copies[0][0], len(cells))

    for L, entries in enumerate(OBJECT_TABLE_ENTRIES, start=1):
        table = OBJECT_TABLES + (L - 1) * TABLE_STRIDE
        img.word(unbanked(OBJECT_POINTER_TABLE + (L - 1) * 2), table)
        for k, entry in enumerate(entries):
            img.word(unbanked(table + k * 2), entry)
    for list_address, text in LIST_BYTES:
        if text is None:
            payload = hexbytes("FF 00 00 00")
        elif text == "LONG":
            payload = long_list() + hexbytes(TERMINATOR)
        elif text == TERMINATOR:
            payload = hexbytes(TERMINATOR)
        else:
            payload = hexbytes(text) + hexbytes(TERMINATOR)
        img.put(unbanked(list_address), payload)
    end = unbanked(LIST_BYTES[-1][0]) + len(hexbytes(LIST_BYTES[-1][1])) + 3
    assert end == unbanked(OBJECT_DATA_END), hex(end)
    return img, screens, stored


WINDOW_FIRST, WINDOW_LAST = 0x8000, 0xBFFF
PREVIEW_INDOOR_STAGES = (2, 4)
LEVEL_COUNT = 8


def structure_starts(data, large):
    """The file offsets where every structure that the game's tables name starts, read from the
    image itself: the level headers, each level's screen table and its screens (as many as the
    preview program reads, n x 4 + 2 in stages 2 and 4, n + 2 elsewhere, or the editor's count
    when higher), the boss list and boss screens, the object-pointer table, the object tables
    and the object lists. Also gives each editor screen's (place, screen) -> (offset, length)."""
    shift = LARGE_BANK_SHIFT if large else 0
    word = lambda at: data[at] | data[at + 1] << 8
    starts = {unbanked(LEVEL_HEADER_TABLE), unbanked(OBJECT_POINTER_TABLE)}
    editor_screens = {}
    bosses = 0
    for L in range(1, LEVEL_COUNT + 1):
        header = unbanked(LEVEL_HEADER_TABLE + (L - 1) * LEVEL_HEADER_SIZE)
        kind, vertical, n = data[header], data[header + 1], data[header + HEADER_COUNT_BYTE]
        table = word(header + 2)
        starts.add(unbanked(table) + shift)
        cells = VERTICAL_SLOT if vertical else HORIZONTAL_SLOT
        editor = screen_count(kind, n)
        preview = n * 4 + 2 if L in PREVIEW_INDOOR_STAGES else n + 2
        for j in range(1, max(editor, preview) + 1):
            entry = unbanked(table + (j - 1) * 2) + shift
            if entry + 2 > len(data):
                break
            pointer = word(entry)
            if not WINDOW_FIRST <= pointer <= WINDOW_LAST:
                continue
            start = unbanked(pointer) + shift
            starts.add(start)
            if j <= editor:
                editor_screens[(L, j)] = (start, decode(data[start:], cells)[1])
        objects = word(unbanked(OBJECT_POINTER_TABLE + (L - 1) * 2))
        starts.add(unbanked(objects))
        for k in range(n + 2):
            starts.add(unbanked(word(unbanked(objects + k * 2))))
        if kind == 1:
            bosses += 1
            starts.add(BOSS_LIST_FILE_OFFSET)
            boss = word(BOSS_LIST_FILE_OFFSET + (bosses - 1) * 2)
            starts.add(unbanked(boss) + shift)
    return starts, editor_screens


FREE_BYTES = (0x00, 0xFF)


def screen_rooms(data, large):
    """(place, screen) -> room of every run-length screen of the image: its stored bytes, then
    the free bytes (00 or FF) after them, up to the next structure, its bank's end or the
    image's end. Structures in these images never overlap, so their starts are enough."""
    starts, screens = structure_starts(data, large)
    rooms = {}
    for key, (start, length) in screens.items():
        bank_end = INES_HEADER_SIZE + ((start - INES_HEADER_SIZE) // BANK_SIZE + 1) * BANK_SIZE
        after = [s for s in starts if start < s < bank_end]
        limit = min(after + [bank_end, len(data)])
        end = start + length
        while end < limit and data[end] in FREE_BYTES:
            end += 1
        rooms[key] = max(end, start + length) - start
    return rooms


class Manifest:
    def __init__(self):
        self.lines = ["# Written by tools/make_sample_roms.py; see there for the format."]

    def cells(self, image, place, screen, cells):
        self.lines.append("cells %s %d %d %s" % (image, place, screen, bytes(cells).hex().upper()))

    def stored(self, image, place, screen, offset, length):
        self.lines.append("stored %s %d %d %d %d" % (image, place, screen, offset, length))

    def levels(self, image, count):
        self.lines.append("levels %s %d" % (image, count))

    def placed(self, image, place, screen, cell, tile):
        self.lines.append("placed %s %d %d %d %d" % (image, place, screen, cell, tile))

    def room(self, image, place, screen, room):
        self.lines.append("room %s %d %d %d" % (image, place, screen, room))


def screen_pointer_offset(L, j):
    return unbanked(SCREEN_TABLES + (L - 1) * TABLE_STRIDE + (j - 1) * 2)


def with_screen(base, L, j, address, payload):
    """A copy of image A whose screen j of level L is stored at address (bank 2) as payload."""
    img = Image(0)
    img.data = bytearray(base.data)
    img.word(screen_pointer_offset(L, j), address)
    img.put(unbanked(address), payload)
    return img


# Free space in bank 2 of image A, between the boss screens and the level headers.
FREE_SPACE = 0xA000


def variants(a, a_screens, manifest):
    """The edge-case images, each a copy of A with one change."""
    out = {}
    cells = lambda L, j: a_screens[(L, j)]

    # OddForms: stored forms that are not the editor's, moved into free space so that they can
    # be longer than their slots. Each decodes to the cells of image A.
    odd = Image(0)
    odd.data = bytearray(a.data)
    address = FREE_SPACE
    f1 = cells(1, 1)[0]
    rest1 = encode(cells(1, 1)[24:])
    forms = {
        # A run split in two: 16 + 8 cells of F instead of one run of 24.
        1: bytes([0x90, f1, 0x88, f1]) + rest1,
        # The T row's runs of two as 82 v.
        2: encode(cells(1, 2)[:16]) + hexbytes("82 68 82 69 82 6A 82 6B") + encode(cells(1, 2)[24:]),
        # A single cell stored as 80 v (the M row's m2).
        3: encode(cells(1, 3)[:16]) + bytes([0x83, cells(1, 3)[16], 0x80, cells(1, 3)[19]])
           + encode(cells(1, 3)[20:]),
        # Every cell as 81 v: twice as many bytes as cells.
        5: b"".join(bytes([0x81, c]) for c in cells(1, 5)),
    }
    for j, form in forms.items():
        assert decode(form, len(cells(1, j))) == (cells(1, j), len(form)), j
        odd.word(screen_pointer_offset(1, j), address)
        odd.put(unbanked(address), form)
        manifest.stored("OddForms.nes", 1, j, unbanked(address), len(form))
        address += len(form)
    out["OddForms.nes"] = odd

    # SharedScreens: level 1 screen 4 uses screen 3's stored bytes; level 1 screen 5 starts two
    # bytes into screen 1's (after its first run), so its cells are screen 1's from the first
    # D row on, followed by the zero padding of screen 1's slot.
    shared = Image(0)
    shared.data = bytearray(a.data)
    s3 = shared.read_word(screen_pointer_offset(1, 3))
    s1 = shared.read_word(screen_pointer_offset(1, 1))
    inside = s1 + 2
    shared.word(screen_pointer_offset(1, 4), s3)
    shared.word(screen_pointer_offset(1, 5), inside)
    manifest.cells("SharedScreens.nes", 1, 4, cells(1, 3))
    s5_cells, s5_len = decode(shared.data[unbanked(inside):], HORIZONTAL_SLOT)
    manifest.cells("SharedScreens.nes", 1, 5, s5_cells)
    manifest.stored("SharedScreens.nes", 1, 4, unbanked(s3), PATTERNS["HB"][1])
    manifest.stored("SharedScreens.nes", 1, 5, unbanked(inside), s5_len)
    out["SharedScreens.nes"] = shared

    # Vertical2: level 1's vertical byte is 2, so its screens have 8 rows of cells.
    vert = Image(0)
    vert.data = bytearray(a.data)
    vert.data[unbanked(LEVEL_HEADER_TABLE) + 1] = 2
    for j in range(1, 6):
        pointer = vert.read_word(screen_pointer_offset(1, j))
        c, length = decode(vert.data[unbanked(pointer):], VERTICAL_SLOT)
        manifest.cells("Vertical2.nes", 1, j, c)
        manifest.stored("Vertical2.nes", 1, j, unbanked(pointer), length)
    out["Vertical2.nes"] = vert

    # Kind2: level 1's kind is 2: its screen count is n (3), its 5 object lists are read as
    # outdoor ones, and it has no boss room.
    kind2 = Image(0)
    kind2.data = bytearray(a.data)
    kind2.data[unbanked(LEVEL_HEADER_TABLE)] = 2
    manifest.levels("Kind2.nes", 10)
    out["Kind2.nes"] = kind2

    # HighCells: level 1 screen 4 stored as 83 90 05 A6 07: two copies of 0x90, then 0x90 read
    # again starts a run of 16 cells of 05, then 38 cells of 07. Cells of 0x80 and above cannot
    # be written back in the run-length form.
    high_form = hexbytes("83 90 05 A6 07")
    high_cells = [0x90, 0x90] + [0x05] * 16 + [0x07] * 38
    assert decode(high_form, HORIZONTAL_SLOT) == (high_cells, len(high_form))
    high = with_screen(a, 1, 4, FREE_SPACE, high_form)
    manifest.cells("HighCells.nes", 1, 4, high_cells)
    manifest.stored("HighCells.nes", 1, 4, unbanked(FREE_SPACE), len(high_form))
    out["HighCells.nes"] = high

    # ScreenOverObjectTable: level 7 screen 5 points at level 8's object-list pointer table,
    # whose first bytes 0B B7 41 read as a screen of one 0B and 55 cells of 41. An edit of that
    # screen would move the pointer of level 8's first object list.
    over_table = OBJECT_TABLES + 7 * TABLE_STRIDE
    over = Image(0)
    over.data = bytearray(a.data)
    over.word(screen_pointer_offset(7, 5), over_table)
    over_cells, over_len = decode(over.data[unbanked(over_table):], HORIZONTAL_SLOT)
    assert over_cells == [0x0B] + [0x41] * 55 and over_len == 3
    manifest.cells("ScreenOverObjectTable.nes", 7, 5, over_cells)
    manifest.stored("ScreenOverObjectTable.nes", 7, 5, unbanked(over_table), over_len)
    out["ScreenOverObjectTable.nes"] = over

    # ShortA: image A cut right after its object lists; still a good image (small layout).
    short_size = unbanked(OBJECT_DATA_END)
    short = Image(0)
    short.data = bytearray(a.data[:short_size])
    out["ShortA.nes"] = short

    def short_copy():
        img = Image(0)
        img.data = bytearray(short.data)
        return img

    # Bad images: each must be refused as a whole.
    out["Nes3Bytes.nes"] = Image(0)
    out["Nes3Bytes.nes"].data = bytearray(b"NES")
    cut = Image(0)
    cut.data = bytearray(a.data[:0xB400])  # ends inside the level headers
    out["CutB400.nes"] = cut

    # The lies below point past the end of ShortA but inside the level bank's window, so that
    # only the image's end refuses them.
    past_end = 0xBF00

    # A screen pointer that points past the end of ShortA.
    lie = short_copy()
    lie.word(screen_pointer_offset(8, 1), OBJECT_DATA_END + 0x100)
    out["LieScreenPastEnd.nes"] = lie

    # A screen whose stored form runs into the end of the image: the last screen of level 8
    # moves to ShortA's last two bytes, A0 0A, a run of 32 cells, and the image ends there.
    lie = short_copy()
    lie.word(screen_pointer_offset(8, 12), OBJECT_DATA_END - 2)
    lie.put(len(lie.data) - 2, hexbytes("A0 0A"))
    out["LieRunPastEnd.nes"] = lie

    # Level 8's screen table at an address past the end of ShortA.
    lie = short_copy()
    lie.word(unbanked(LEVEL_HEADER_TABLE + 7 * LEVEL_HEADER_SIZE) + 2, past_end)
    out["LieScreenTablePastEnd.nes"] = lie

    # Level 8's object-list pointer table past the end.
    lie = short_copy()
    lie.word(unbanked(OBJECT_POINTER_TABLE + 7 * 2), past_end)
    out["LieObjectTablePastEnd.nes"] = lie

    # Level 8's last object list starting past the end.
    lie = short_copy()
    lie.word(unbanked(OBJECT_TABLES + 7 * TABLE_STRIDE + 11 * 2), past_end)
    out["LieListPastEnd.nes"] = lie

    # Level 8's last object list loses its terminator and runs into the image's end.
    lie = short_copy()
    lie.put(unbanked(0xB750) + 3, bytes(3))
    out["LieUnterminatedList.nes"] = lie

    # The second boss room's raw screen past the end.
    lie = short_copy()
    lie.word(BOSS_LIST_FILE_OFFSET + 2, past_end)
    out["LieBossPastEnd.nes"] = lie

    # EndsAtLastByte: ShortA with level 8's last screen moved to its end, so that the screen's
    # stored form ends with the image's last byte. A good image.
    last = short_copy()
    last_form = encode(cells(8, 12))
    last_address = len(last.data) - INES_HEADER_SIZE
    last.data += last_form
    last.word(screen_pointer_offset(8, 12), last_address)
    manifest.stored("EndsAtLastByte.nes", 8, 12, len(short.data), len(last_form))
    out["EndsAtLastByte.nes"] = last

    # Addresses outside the window 8000-BFFF, in image A, where each still lies inside the file:
    # the game would read them from another bank than the file position they name.
    def a_copy():
        img = Image(0)
        img.data = bytearray(a.data)
        return img

    window = a_copy()
    window.word(screen_pointer_offset(1, 1), 0xFFFF)
    out["WindowScreenPointer.nes"] = window
    window = a_copy()
    window.word(unbanked(LEVEL_HEADER_TABLE) + 2, 0x7F00)
    out["WindowScreenTable.nes"] = window
    # A screen at BFF0 whose 56 zero cells run on to C027.
    window = a_copy()
    window.word(screen_pointer_offset(1, 1), 0xBFF0)
    out["WindowScreenCrossesEnd.nes"] = window
    window = a_copy()
    window.word(unbanked(OBJECT_POINTER_TABLE), 0xC000)
    out["WindowObjectTable.nes"] = window
    window = a_copy()
    window.word(unbanked(OBJECT_TABLES), 0x7000)
    out["WindowObjectList.nes"] = window
    window = a_copy()
    window.word(BOSS_LIST_FILE_OFFSET, 0xFFF0)
    out["WindowBossScreen.nes"] = window
    return out


# The variants that the editor opens; every other variant is refused.
GOOD_VARIANTS = ("OddForms.nes", "SharedScreens.nes", "Vertical2.nes", "Kind2.nes",
                 "HighCells.nes", "ScreenOverObjectTable.nes", "ShortA.nes",
                 "EndsAtLastByte.nes")


# The preview program's end-to-end test paints these cells of image A (stage, screen, column,
# row, all 0-based but the stage and screen, and the picture index painted). Every new form fits
# its screen's room: the first four make a run of four out of literals, the last replaces a
# literal by another. The test also paints PREVIEW_PAINT_TOO_LONG, which breaks a run of stage
# 5's first screen, whose screens are stored back to back: it needs more bytes than that room,
# so it is refused and leaves no trace in the saved image.
PREVIEW_PAINTS = [
    (1, 1, 0, 3, 0x05), (1, 1, 1, 3, 0x05), (1, 1, 2, 3, 0x05), (1, 1, 3, 3, 0x05),
    (2, 1, 0, 5, 0x03),
]
PREVIEW_PAINT_TOO_LONG = (5, 1, 0, 1, 0x05)
PREVIEW_COLUMNS = 8
PREVIEW_CELLS = 56


def preview_decode(data):
    """The preview's reading of one screen: 0x81..0xB8 is a run (its value 0 above 0x7F), every
    other byte one cell; gives the 56 cells and the bytes read."""
    cells = []
    i = 0
    while len(cells) < PREVIEW_CELLS:
        b = data[i]
        if 0x81 <= b <= 0xB8:
            v = data[i + 1] if data[i + 1] <= 0x7F else 0
            cells += [v] * min(b - 0x80, PREVIEW_CELLS - len(cells))
            i += 2
        else:
            cells.append(b)
            i += 1
    return cells, i


def preview_encode(cells):
    """The preview's form: runs of two or more cells below 0x80 as 0x80 + count and the value."""
    out = bytearray()
    i = 0
    while i < len(cells):
        v = cells[i]
        n = 1
        while v < 0x80 and i + n < len(cells) and cells[i + n] == v:
            n += 1
        out += bytes([v]) if n == 1 else bytes([0x80 + n, v])
        i += n
    return bytes(out)


def preview_painted(a):
    """Image A after PREVIEW_PAINTS: each painted screen's new form written over its stored bytes,
    and the bytes a shorter form no longer needs erased (FF)."""
    img = Image(0)
    img.data = bytearray(a.data)
    rooms = screen_rooms(bytes(a.data), False)

    def painted_screen(stage, screen):
        pointer = img.read_word(screen_pointer_offset(stage, screen))
        cells, length = preview_decode(img.data[unbanked(pointer):])
        return unbanked(pointer), cells, length

    screens = {}
    for stage, screen, column, row, value in PREVIEW_PAINTS:
        key = (stage, screen)
        if key not in screens:
            screens[key] = painted_screen(stage, screen)
        screens[key][1][row * PREVIEW_COLUMNS + column] = value
    for key, (offset, cells, length) in screens.items():
        form = preview_encode(cells)
        assert len(form) <= rooms[key], (key, form.hex(), rooms[key])
        img.put(offset, form + bytes([0xFF]) * max(0, length - len(form)))
    # The refused paint must really not fit.
    stage, screen, column, row, value = PREVIEW_PAINT_TOO_LONG
    _, cells, _ = painted_screen(stage, screen)
    cells[row * PREVIEW_COLUMNS + column] = value
    assert len(preview_encode(cells)) > rooms[(stage, screen)]
    return img


# The editor's end-to-end test places these super-tiles into image A (place in the level list,
# screen, column and row, all 1-based, and the super-tile) and saves; EditorPlaced.nes is image A
# as the editor must save it: each edited screen rewritten in place in the editor's form, the
# bytes a shorter form frees erased (FF), every other byte as in image A.
EDITOR_PLACEMENTS = [
    (1, 1, 2, 4, 0x05), (1, 1, 4, 2, 0x07), (1, 1, 6, 1, 0x08), (1, 1, 6, 4, 0x2A),
    (1, 1, 2, 7, 0x30), (1, 1, 3, 7, 0x30), (1, 1, 4, 7, 0x30), (3, 4, 2, 5, 0x11),
]
ERASED = 0xFF


def editor_placed(a, a_screens, a_stored, manifest):
    img = Image(0)
    img.data = bytearray(a.data)
    edited = {}
    for place, screen, column, row, tile in EDITOR_PLACEMENTS:
        cells = edited.setdefault((place, screen), list(a_screens[(place, screen)]))
        cells[(row - 1) * 8 + column - 1] = tile
        manifest.placed("EditorPlaced.nes", place, screen, (row - 1) * 8 + column - 1, tile)
    rooms = screen_rooms(bytes(a.data), False)
    for key, cells in edited.items():
        offset, length = a_stored[key]
        form = encode(cells)
        assert len(form) <= rooms[key], (key, len(form), rooms[key])
        img.put(offset, form + bytes([ERASED]) * max(length - len(form), 0))
    return img


def write(path, data):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--testdata-dir", required=True)
    parser.add_argument("--app-dir")
    parser.add_argument("--stamp")
    args = parser.parse_args()

    a, a_screens, a_stored = build(large=False)
    b, _, b_stored = build(large=True)
    manifest = Manifest()
    manifest.levels("SampleSmall.nes", len(LEVELS) + len(BOSS_SCREENS))
    manifest.levels("SampleLarge.nes", len(LEVELS) + len(BOSS_SCREENS))
    for (place, screen), cells in sorted(a_screens.items()):
        manifest.cells("SampleSmall.nes", place, screen, cells)
        manifest.stored("SampleSmall.nes", place, screen, *a_stored[(place, screen)])
        manifest.stored("SampleLarge.nes", place, screen, *b_stored[(place, screen)])
    images = {"SampleSmall.nes": a, "SampleLarge.nes": b}
    images.update(variants(a, a_screens, manifest))
    for name in ("SampleSmall.nes", "SampleLarge.nes") + GOOD_VARIANTS:
        data = bytes(images[name].data)
        for (place, screen), room in sorted(screen_rooms(data, len(data) == LARGE_IMAGE_SIZE).items()):
            manifest.room(name, place, screen, room)
    images["PreviewPainted.nes"] = preview_painted(a)
    images["EditorPlaced.nes"] = editor_placed(a, a_screens, a_stored, manifest)

    os.makedirs(args.testdata_dir, exist_ok=True)
    for name, img in images.items():
        write(os.path.join(args.testdata_dir, name), bytes(img.data))
    write(os.path.join(args.testdata_dir, "SampleCells.txt"),
          ("\n".join(manifest.lines) + "\n").encode("ascii"))
    if args.app_dir:
        os.makedirs(args.app_dir, exist_ok=True)
        for name, img in (("Brakka.nes", a), ("SampleSmall.nes", a), ("SampleLarge.nes", b)):
            write(os.path.join(args.app_dir, name), bytes(img.data))
    if args.stamp:
        os.makedirs(os.path.dirname(os.path.abspath(args.stamp)), exist_ok=True)
        write(args.stamp, b"")


if __name__ == "__main__":
    main()
