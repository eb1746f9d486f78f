#!/usr/bin/env python3
"""Writes the shell script the i386 guest runs: one run_test line per
Windows test of the build that tests.list selects, with the test's own
folder and variables as ctest has them (the guest has no cmake)."""
import json
import re
import shlex
import subprocess
import sys


def selected(names_file):
    with open(names_file) as f:
        lines = [l.strip() for l in f]
    return [re.compile(l) for l in lines if l and not l.startswith('#')]


def windows_tests(build_dir):
    out = subprocess.run(['ctest', '--test-dir', build_dir, '--show-only=json-v1'],
                         check=True, capture_output=True, text=True).stdout
    for test in json.loads(out)['tests']:
        command = test.get('command') or []
        # Windows programs are the ones ctest hands to the Wine launcher.
        if len(command) < 2 or not command[0].endswith('/wine-exec.sh'):
            continue
        props = {p['name']: p['value'] for p in test.get('properties', [])}
        yield (test['name'], props.get('WORKING_DIRECTORY', build_dir),
               props.get('ENVIRONMENT', []), command[1:])


def main(build_dir, names_file, runner):
    patterns = selected(names_file)
    lines = ['. ' + shlex.quote(runner)]
    count = 0
    for name, workdir, env, command in windows_tests(build_dir):
        if not any(p.search(name) for p in patterns):
            continue
        words = ['run_test', name, workdir] + list(env) + ['--'] + command
        lines.append(' '.join(shlex.quote(w) for w in words))
        count += 1
    if count == 0:
        sys.exit('no Windows test of %s matches %s' % (build_dir, names_file))
    lines.append('finish_tests')
    print('\n'.join(lines))


if __name__ == '__main__':
    main(*sys.argv[1:])
