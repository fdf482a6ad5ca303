#!/usr/bin/python3
"""Makes the face font: DejaVu Sans Condensed renamed to the family "Zorque".

Usage: make_font.py SOURCE.ttf LICENSE OUTDIR
Writes Zorque.ttf and Zorque-LICENSE.txt. The Bitstream Vera licence of
DejaVu allows modified copies under a name without "Bitstream", "Vera" or
"DejaVu".
"""
import os
import shutil
import sys

from fontTools.ttLib import TTFont

FAMILY = 'Zorque'


def main():
    source, licence, out = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    font = TTFont(source)
    names = font['name']
    for record in list(names.names):
        if record.nameID in (1, 3, 4, 6, 16, 17, 18, 21, 22):
            names.removeNames(nameID=record.nameID)
    for platform, encoding, language in ((3, 1, 0x409), (1, 0, 0)):
        names.setName(FAMILY, 1, platform, encoding, language)
        names.setName('Regular', 2, platform, encoding, language)
        names.setName(FAMILY + ' Regular', 3, platform, encoding, language)
        names.setName(FAMILY, 4, platform, encoding, language)
        names.setName(FAMILY, 6, platform, encoding, language)
    font.save(os.path.join(out, FAMILY + '.ttf'))
    with open(os.path.join(out, FAMILY + '-LICENSE.txt'), 'w') as f:
        f.write('Zorque is DejaVu Sans Condensed under another name. Its licence follows.\n\n')
        with open(licence) as text:
            f.write(text.read())


if __name__ == '__main__':
    main()
