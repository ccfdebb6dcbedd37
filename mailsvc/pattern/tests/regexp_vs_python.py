#!/usr/bin/python3
"""Searches random patterns and texts with our expression engine and with
Python's re module, and compares match position, length and groups 1 to 3.
Python accepts some patterns ours refuses (a repeated group that may match
nothing); those are skipped. Usage: regexp_vs_python.py <driver executable>"""
import random
import re
import subprocess
import sys

ATOMS = ['a', 'b', 'ab', '.', '[ab]', '[^a]', '[a-c]', '\\.', 'c']


def pattern(rng, depth=0):
    out = ''
    for _ in range(rng.randint(1, 3)):
        if rng.random() < 0.2 and depth < 2:
            atom = '(' + '|'.join(pattern(rng, depth + 1) for _ in range(rng.randint(1, 2))) + ')'
        else:
            atom = rng.choice(ATOMS)
        if rng.random() < 0.4:
            atom += rng.choice('*+?')
        out += atom
    if depth == 0 and rng.random() < 0.15:
        out = '^' + out
    if depth == 0 and rng.random() < 0.15:
        out += '$'
    return out


def expected(pat, text):
    # Our "." takes any character and "$" is the very end of the text.
    py = pat[:-1] + '\\Z' if pat.endswith('$') else pat
    rx = re.compile(py, re.S)
    m = rx.search(text)
    if m is None:
        return '-1'
    groups = ['[' + ((m.group(g) if g <= rx.groups else None) or '') + ']' for g in (1, 2, 3)]
    return '%d %d %s' % (m.start(), m.end() - m.start(), ' '.join(groups))


def main():
    rng = random.Random(20261210)
    cases = []
    for _ in range(5000):
        cases.append((pattern(rng), ''.join(rng.choice('abc.x') for _ in range(rng.randint(0, 12)))))
    feed = ''.join(p + '\n' + t + '\n' for p, t in cases)
    run = subprocess.run([sys.argv[1]], input=feed.encode(), capture_output=True, timeout=300)
    if run.returncode != 0:
        print('driver failed:', run.stderr.decode()[-2000:])
        return 1
    ours = run.stdout.decode().splitlines()
    if len(ours) != len(cases):
        print('driver answered %d of %d cases' % (len(ours), len(cases)))
        return 1
    compared = mismatches = 0
    for (pat, text), got in zip(cases, ours):
        if got == 'ERR':
            continue
        want = expected(pat, text)
        compared += 1
        if got != want:
            mismatches += 1
            if mismatches <= 20:
                print('pattern %r text %r: ours %s, Python %s' % (pat, text, got, want))
    print('compared %d cases, %d differ' % (compared, mismatches))
    return 1 if mismatches or compared < 4000 else 0


if __name__ == '__main__':
    sys.exit(main())
