#!/usr/bin/env python3
"""Sets up and tears down the screenshots' desktop.

  run.py --build DIR [--dpi N] setup   Xvfb, a fresh prefix with the fixtures,
                                       at N dots per inch (96)
  run.py --build DIR cleanup           stops Xvfb and the prefix's wineserver
"""

import argparse
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree

import session  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--dpi", type=int, default=96)
    parser.add_argument("command", choices=("setup", "cleanup"))
    args = parser.parse_args()
    paths = session.Paths(args.build)
    if args.command == "setup":
        session.setup(paths, args.dpi)
    else:
        session.cleanup(paths)
    return 0


if __name__ == "__main__":
    sys.exit(main())
