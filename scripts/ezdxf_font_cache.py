#!/usr/bin/python3
"""Writes a font cache for ezdxf that knows the sheets' TrueType font, and the ezdxf.ini that points ezdxf to it.

ezdxf draws a text style's font by looking its file name up in a cache of the fonts it knows; a file it does not know
is drawn in a Latin font, and the Chinese come out as boxes. Rebuilding that cache from the installed fonts stops at
the first font without the letters it measures (Debian's ezdxf 0.18 raises ValueError), so this adds the sheets' font
to the cache ezdxf ships instead.

    ezdxf_font_cache.py FONT.ttf... --out DIR [--ini-dir INSTALLED_DIR]

DIR gets font_face_cache.json, font_measurement_cache.json and ezdxf.ini, whose font_cache_directory names
INSTALLED_DIR (DIR when not given), where the two caches will be read from.
"""
import argparse
import os
import sys

try:
    from ezdxf.tools import fonts
    from matplotlib.font_manager import FontProperties
    from matplotlib.ft2font import FT2Font
    from matplotlib.textpath import TextPath
except ImportError as missing:
    sys.exit(f"ezdxf_font_cache.py: {missing} (python3-ezdxf, python3-matplotlib)")


def heights(text, prop):
    ys = TextPath((0, 0), text, size=1, prop=prop).vertices[:, 1]
    return ys.min(), ys.max()


def face_and_measurements(path):
    font = FT2Font(path)
    style = "italic" if font.style_flags & 1 else "normal"
    weight = 700 if font.style_flags & 2 else 400
    key = fonts.cache_key(path)
    face = fonts.FontFace(key, font.family_name, style, "normal", weight)
    prop = FontProperties(fname=path)
    baseline, x_top = heights("x", prop)
    _, capital_top = heights("X", prop)
    descender, _ = heights("p", prop)
    measurements = fonts.FontMeasurements(baseline=baseline, cap_height=capital_top - baseline,
                                          x_height=x_top - baseline, descender_height=baseline - descender)
    return key, face, measurements


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("fonts", nargs="+")
    parser.add_argument("--out", required=True)
    parser.add_argument("--ini-dir", default="")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    # the cache ezdxf ships, so that every font it knew is still known
    fonts.load(path=os.path.dirname(fonts.__file__), reload=True)
    for path in args.fonts:
        key, face, measurements = face_and_measurements(path)
        fonts.font_face_cache[key] = face
        fonts.font_measurement_cache[key] = measurements
    fonts.save(path=args.out)
    with open(os.path.join(args.out, "ezdxf.ini"), "w", encoding="utf-8") as ini:
        ini.write(f"[core]\nfont_cache_directory = {args.ini_dir or os.path.abspath(args.out)}\n")


if __name__ == "__main__":
    main()
