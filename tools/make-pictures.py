#!/usr/bin/env python3
"""Draws the program's pictures with ImageMagick:

  resources/pictures/header.png   195 x 30, the name over the settings window
  resources/pictures/hotkeys.png  481 x 262, a keyboard with the default hot keys
  resources/pictures/mouse.bmp    11 x 15, the mouse on the mouse-corner buttons

The PNGs have an alpha channel and are drawn over whatever lies beneath
them; the mouse is a button's glyph, whose bottom-left colour (magenta)
shows the button through. The pictures are committed; run this again only
to change them."""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "pictures")
FONT = "DejaVu-Sans-Bold"
FONT_BOOK = "DejaVu-Sans"
NAVY = "#1F3A5F"
ACCENT = "#3C78C8"


def run(args):
    subprocess.run(["convert", *args], check=True)


def header():
    # A small emblem (a window whose blind is half down) and the name.
    draw = [
        "-size", "195x30", "xc:none",
        # soft shadow of the emblem
        "-fill", "#00000030", "-draw", "roundrectangle 4,5 27,28 5,5",
        "-fill", ACCENT, "-draw", "roundrectangle 2,3 25,26 5,5",
        "-fill", "#FFFFFF", "-draw", "rectangle 7,9 20,21",
        "-fill", NAVY, "-draw", "rectangle 7,9 20,15",
        "-fill", "#FFFFFF80", "-draw", "line 7,12 20,12",
        # the name, with a faint shadow
        "-font", FONT, "-pointsize", "17",
        "-fill", "#00000038", "-annotate", "+34+23", "Veskara",
        "-fill", NAVY, "-annotate", "+33+22", "Veskara",
        "-depth", "8", "-define", "png:color-type=6",
        os.path.join(OUT, "header.png"),
    ]
    run(draw)


def keyboard():
    width, height = 481, 262
    draw = ["-size", f"{width}x{height}", "xc:none"]
    # the keyboard's body
    draw += ["-fill", "#00000040", "-draw", "roundrectangle 6,8 477,189 10,10"]
    draw += ["-fill", "#E9EDF2", "-stroke", "#8A97A8", "-strokewidth", "1",
             "-draw", "roundrectangle 3,4 474,185 10,10", "-stroke", "none"]
    unit, gap, left, top = 28, 2, 13, 11
    # Rows of (key height, keys); a key is a label and its width in quarters
    # of a key; a label of None is the gap between groups of function keys.
    fkeys = [("Esc", 4), (None, 4)]
    for group in range(3):
        fkeys += [(f"F{4 * group + n}", 4) for n in range(1, 5)] + ([(None, 2)] if group < 2 else [])
    rows = [
        (20, fkeys),
        (25, [("`", 4), ("1", 4), ("2", 4), ("3", 4), ("4", 4), ("5", 4), ("6", 4), ("7", 4), ("8", 4),
              ("9", 4), ("0", 4), ("-", 4), ("=", 4), ("Back", 8)]),
        (25, [("Tab", 6), ("Q", 4), ("W", 4), ("E", 4), ("R", 4), ("T", 4), ("Y", 4), ("U", 4), ("I", 4),
              ("O", 4), ("P", 4), ("[", 4), ("]", 4), ("\\", 6)]),
        (25, [("Caps", 7), ("A", 4), ("S", 4), ("D", 4), ("F", 4), ("G", 4), ("H", 4), ("J", 4), ("K", 4),
              ("L", 4), (";", 4), ("'", 4), ("Enter", 9)]),
        (25, [("Shift", 9), ("Z", 4), ("X", 4), ("C", 4), ("V", 4), ("B", 4), ("N", 4), ("M", 4), (",", 4),
              (".", 4), ("/", 4), ("Shift", 11)]),
        (25, [("Ctrl", 6), ("Win", 5), ("Alt", 5), ("", 24), ("Alt", 5), ("Win", 5), ("Menu", 5), ("Ctrl", 5)]),
    ]
    marked = {("F12", 0), ("`", 1), ("\\", 2), ("Ctrl", 5)}
    first_ctrl = True
    y = top
    for r, (key_height, row) in enumerate(rows):
        x = left
        for label, quarters in row:
            w = quarters * (unit + gap) // 4 - gap
            if label is None:
                x += w + gap
                continue
            is_marked = (label, r) in marked and (label != "Ctrl" or first_ctrl)
            if label == "Ctrl" and r == len(rows) - 1:
                first_ctrl = False
            face = ACCENT if is_marked else "#FFFFFF"
            ink = "#FFFFFF" if is_marked else "#33404F"
            bottom = y + key_height - 1
            draw += ["-fill", "#00000028", "-draw", f"roundrectangle {x + 1},{y + 2} {x + w + 1},{bottom + 2} 4,4"]
            draw += ["-fill", face, "-stroke", "#9AA6B4", "-strokewidth", "1",
                     "-draw", f"roundrectangle {x},{y} {x + w},{bottom} 4,4", "-stroke", "none"]
            if label:
                size = 13 if len(label) == 1 else 9
                text = label.replace("\\", "\\\\").replace("'", "\\'")
                baseline = y + key_height // 2 + (5 if len(label) == 1 else 3)
                draw += ["-font", FONT if is_marked else FONT_BOOK, "-pointsize", str(size), "-fill", ink,
                         "-draw", f"text {x + 5},{baseline} '{text}'"]
            x += w + gap
        y += key_height + gap + (6 if r == 0 else 3)
    # what the marked keys do
    legends = [("Ctrl + `", "hides the windows, and shows them again"),
               ("Ctrl + \\\\", "shows or hides the settings window"),
               ("F12", "starts the screen saver")]
    for n, (keys, action) in enumerate(legends):
        baseline = 210 + 22 * n
        draw += ["-font", FONT, "-pointsize", "13", "-fill", NAVY, "-draw", f"text 12,{baseline} '{keys}'",
                 "-font", FONT_BOOK, "-fill", "#33404F", "-draw", f"text 90,{baseline} '{action}'"]
    draw += ["-depth", "8", "-define", "png:color-type=6", os.path.join(OUT, "hotkeys.png")]
    run(draw)


def mouse():
    # Hard edges: the glyph's see-through colour must stay one colour.
    ink, face = "#33404F", "#FFFFFF"
    draw = [
        "-size", "11x15", "xc:magenta", "+antialias", "-strokewidth", "1",
        # the cord
        "-fill", "none", "-stroke", ink, "-draw", "line 6,0 5,1", "-draw", "line 5,2 5,3",
        # the body: a rounded box, the left button pressed
        "-fill", face, "-draw", "roundrectangle 0,3 10,14 3,3",
        "-stroke", "none", "-fill", ACCENT, "-draw", "rectangle 1,5 4,7", "-draw", "rectangle 2,4 4,4",
        "-stroke", ink, "-draw", "line 5,3 5,8", "-draw", "line 1,8 9,8",
        "-type", "TrueColor", "BMP3:" + os.path.join(OUT, "mouse.bmp"),
    ]
    run(draw)


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    header()
    keyboard()
    mouse()
