#!/usr/bin/env python3
"""Plays the built game in a real X window on a private Xvfb server, as a player would.

Usage: desktop_test.py GAME FRAME_TOOL window|hostile   (run from the folder of images/)"""

import sys

from harness import process, xgame

if __name__ == "__main__":
    process.check_usage(len(sys.argv) == 4 and sys.argv[3] in ("window", "hostile"), __doc__)
    sys.exit(xgame.run(lambda session: xgame.play(session, *sys.argv[1:])))
