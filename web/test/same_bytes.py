#!/usr/bin/env python3
"""Runs every conformance kit input through two referee executables, in the locale the kit gives
the case (C, or C.UTF-8 for the .utf8 cases), and compares their standard output byte for byte
and their exit status.

    same_bytes.py NATIVE OTHER KIT_DIR
"""
import concurrent.futures
import json
import os
import subprocess
import sys


def run(exe, data, locale):
    env = dict(os.environ, LC_ALL=locale)
    done = subprocess.run([exe], input=data, capture_output=True, timeout=60, env=env)
    return done.stdout, done.returncode


def compare(native, other, kit, name, case):
    with open(os.path.join(kit, 'cases', case['input']), 'rb') as f:
        data = f.read()
    locale = 'C.UTF-8' if case['utf8'] else 'C'
    want, got = run(native, data, locale), run(other, data, locale)
    if want == got:
        return None
    at = next((i for i, (a, b) in enumerate(zip(want[0], got[0])) if a != b),
              min(len(want[0]), len(got[0])))
    return '%s: %d bytes, status %d; expected %d bytes, status %d; first difference at byte %d' % (
        name, len(got[0]), got[1], len(want[0]), want[1], at)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    native, other, kit = sys.argv[1:]
    with open(os.path.join(kit, 'expected.json')) as f:
        cases = json.load(f)
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 2) as pool:
        problems = list(pool.map(lambda name: compare(native, other, kit, name, cases[name]),
                                 sorted(cases)))
    failed = [p for p in problems if p]
    for problem in failed:
        print(problem)
    print('kit inputs with the native build\'s output and status:')
    print('%d passed, %d failed' % (len(problems) - len(failed), len(failed)))
    sys.exit(1 if failed else 0)


if __name__ == '__main__':
    main()
