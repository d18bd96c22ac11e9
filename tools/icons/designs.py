"""Quorzel's own artwork: the plugin icons, the tray icon and the about picture, drawn from shapes.

Plugin icons are 44 x 22 strips of two 22 x 22 frames: the left one for a row of the command list
as it normally looks (white), the right one for the selected row, whose background is (178, 180, 191).
Bitmaps have no transparency, so each frame is drawn on its row's own background.
"""

from raster import Canvas, arc, circle, ellipse, polygon, rect, round_rect, stroke

ROW_BACKGROUND = (255, 255, 255)
SELECTED_BACKGROUND = (178, 180, 191)

INK = (44, 56, 78)          # outlines
PAPER = (246, 248, 252)     # light faces
BLUE = (42, 116, 204)
GREEN = (46, 160, 84)
ORANGE = (238, 140, 36)
RED = (214, 66, 58)
GREY = (150, 158, 172)


def outlined(canvas, outer, inner, line, face):
    canvas.fill(outer, line)
    canvas.fill(inner, face)


def draw_runprogram(c):
    # A program window with a title bar and a "start" triangle.
    outlined(c, round_rect(2, 3.5, 20, 18.5, 2), round_rect(3.2, 4.7, 18.8, 17.3, 1.2), INK, PAPER)
    c.fill(rect(3.2, 4.7, 18.8, 7.5), BLUE)
    c.fill(polygon([(8.5, 9.2), (8.5, 16.2), (14.5, 12.7)]), GREEN)


def draw_say(c):
    # A speech bubble with three dots.
    bubble = ellipse(11, 9.5, 9.5, 7) | polygon([(5, 13), (3, 20.5), (11, 15.5)])
    c.fill(bubble, INK)
    c.fill(ellipse(11, 9.5, 8.3, 5.8) | polygon([(6, 13.2), (4.6, 18.4), (10.2, 15)]), BLUE)
    for x in (7, 11, 15):
        c.fill(circle(x, 9.5, 1.35), PAPER)


def draw_keys(c):
    # Two key caps above a space bar.
    for x0 in (1.5, 11.5):
        outlined(c, round_rect(x0, 3, x0 + 9, 12, 2), round_rect(x0 + 1.1, 4.1, x0 + 7.9, 10.9, 1.2), INK, GREY)
        c.fill(round_rect(x0 + 2, 4.6, x0 + 7, 9, 1), PAPER)
    outlined(c, round_rect(3, 14, 19, 19.5, 2), round_rect(4.1, 15.1, 17.9, 18.4, 1.2), INK, GREY)
    c.fill(round_rect(5, 15.4, 17, 17.2, 0.8), PAPER)


def draw_repeat(c):
    # Two arrows chasing each other round a circle.
    c.fill(arc(11, 11, 5.2, 7.6, 200, 345), GREEN)
    c.fill(polygon([(20.6, 9.6), (13.8, 10.6), (18.0, 15.2)]), GREEN)
    c.fill(arc(11, 11, 5.2, 7.6, 20, 165), BLUE)
    c.fill(polygon([(1.4, 12.4), (8.2, 11.4), (4.0, 6.8)]), BLUE)


def draw_dictation(c):
    # A microphone on its stand.
    c.fill(stroke(11, 5.5, 11, 10, 7), INK)
    c.fill(stroke(11, 5.5, 11, 10, 5), RED)
    c.fill(stroke(9.6, 5, 9.6, 8, 1), (240, 150, 140))
    c.fill(arc(11, 10, 5, 6.3, 0, 180), INK)
    c.fill(stroke(11, 16, 11, 19.5, 1.5), INK)
    c.fill(stroke(7, 19.8, 15, 19.8, 1.6), INK)


def draw_readselection(c):
    # A page with one line selected, and the sound coming from it.
    outlined(c, rect(2, 2, 14, 20), rect(3, 3, 13, 19), INK, PAPER)
    for y in (5.5, 8.5, 14.5, 17):
        c.fill(rect(4.5, y - 0.6, 11.5, y + 0.6), GREY)
    c.fill(rect(3.6, 10, 12.4, 13), BLUE)
    c.fill(rect(4.5, 10.9, 11.5, 12.1), PAPER)
    c.fill(arc(14, 11.5, 2.4, 3.6, 300, 60), ORANGE)
    c.fill(arc(14, 11.5, 5.0, 6.2, 300, 60), ORANGE)


def draw_time(c):
    # A clock face at ten past two.
    outlined(c, circle(11, 11, 9.8), circle(11, 11, 8.4), INK, PAPER)
    for x0, y0, x1, y1 in ((11, 3.6, 11, 5.2), (18.4, 11, 16.8, 11), (11, 18.4, 11, 16.8), (3.6, 11, 5.2, 11)):
        c.fill(stroke(x0, y0, x1, y1, 1.3), INK)
    c.fill(stroke(11, 11, 14.6, 9, 1.7), INK)
    c.fill(stroke(11, 11, 15.3, 5.8, 1.1), BLUE)
    c.fill(circle(11, 11, 1.3), RED)


PLUGIN_ICONS = {
    'runprogram': draw_runprogram,
    'say': draw_say,
    'keys': draw_keys,
    'repeat': draw_repeat,
    'dictation': draw_dictation,
    'readselection': draw_readselection,
    'time': draw_time,
}


def plugin_icon(draw):
    """The 44 x 22 strip: the normal frame on the left, the selected frame on the right."""
    strip = Canvas(44, 22)
    for left, background in ((0, ROW_BACKGROUND), (22, SELECTED_BACKGROUND)):
        frame = Canvas(22, 22, background + (255,))
        draw(frame)
        strip.paste(frame, left, 0)
    return strip


def head_profile():
    """A head seen from the side, facing right, in a 64-unit square: cranium, face, jaw and neck."""
    face = polygon([(30, 12), (38, 15), (42, 22), (43, 27), (47, 33), (43.5, 35), (44.5, 37.5), (43, 39),
                    (43.8, 41.5), (42, 44.5), (37, 46), (33, 45), (33.5, 52), (20, 52), (19, 40), (16, 30)])
    return ellipse(28, 27, 14.5, 15) | face


def sound_waves(cx, cy, radii, width):
    """Concentric pieces of rings opening to the right, like sound leaving a mouth."""
    shape = None
    for r in radii:
        piece = arc(cx, cy, r, r + width, 320, 40)
        shape = piece if shape is None else shape | piece
    return shape


def tray_icon():
    """64 x 64 with transparency: a round blue badge holding a white head that speaks."""
    c = Canvas(64, 64, (0, 0, 0, 0))
    c.fill(circle(32, 32, 31), (28, 84, 160))
    c.fill(circle(32, 32, 29.2), BLUE)
    c.fill(head_profile().moved(-3, 3, 0.92), PAPER)
    c.fill(sound_waves(41, 35, (4.5, 9.5, 14.5), 3), ORANGE)
    return c


def about_picture():
    """106 x 70, opaque: the speaking head on a pale sky, with a wide sound wave."""
    c = Canvas(106, 70)
    c.gradient((214, 230, 250), (255, 255, 255))
    c.fill(ellipse(53, 76, 70, 14), (226, 234, 244))
    c.fill(head_profile().moved(2, 4, 1.05), BLUE)
    c.fill(head_profile().moved(4, 5.2, 0.97), (70, 144, 226))
    c.fill(sound_waves(52, 40, (6, 13, 20, 27), 3.6), ORANGE)
    return c
