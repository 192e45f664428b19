#!/usr/bin/env python3
"""Runs the end-to-end suite's parts; ctest calls it once per part.

  run.py --build DIR setup        Xvfb, a fresh prefix with the fixtures
  run.py --build DIR flow NAME    one flow, KVEL.exe driven by X input
  run.py --build DIR cleanup      stops Xvfb and the prefix's wineserver
  run.py --build DIR all          setup, every flow, cleanup
  run.py --build DIR list         the names of the flows

A failing flow prints the step, what it expected and what the screen
showed, and keeps a screenshot and the probe's view of the screen in
DIR/e2e/failures/.
"""

import argparse
import subprocess
import sys
import time
import traceback

sys.dont_write_bytecode = True  # nothing written into the source tree

import flows  # noqa: E402
import session  # noqa: E402
from desktop import StepFailed  # noqa: E402


def run_flow(paths, name):
    started = time.monotonic()
    work = session.Session(paths, name)
    print(f"flow {name}", flush=True)
    try:
        flows.FLOWS[name](work)
    except (StepFailed, RuntimeError, AssertionError, subprocess.TimeoutExpired) as failure:
        shot = work.desktop.keep_evidence(name)
        print(f"FAILED {name} at step {work.desktop.step_count}: {work.desktop.step_name}")
        if isinstance(failure, StepFailed):
            print(failure)
        else:
            traceback.print_exc(file=sys.stdout)
        print(f"screenshot: {shot}", flush=True)
        work.close_everything()
        return 1
    finally:
        work.close()
    print(f"passed {name} in {time.monotonic() - started:.1f} s", flush=True)
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("command", choices=("setup", "flow", "cleanup", "all", "list"))
    parser.add_argument("name", nargs="?")
    args = parser.parse_args()
    paths = session.Paths(args.build)
    if args.command == "list":
        print("\n".join(flows.FLOWS))
        return 0
    if args.command == "setup":
        session.setup(paths)
        return 0
    if args.command == "cleanup":
        session.cleanup(paths)
        return 0
    if args.command == "flow":
        if args.name not in flows.FLOWS:
            parser.error(f"no flow {args.name!r}; run.py list names them")
        return run_flow(paths, args.name)
    session.setup(paths)
    try:
        failed = [name for name in flows.FLOWS if run_flow(paths, name)]
    finally:
        session.cleanup(paths)
    print(f"{len(flows.FLOWS) - len(failed)} passed, {len(failed)} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
