#!/usr/bin/python3
"""Checks the built help file from outside: its context map sends each map id
that the clock passes to the help viewer to its own topic, every such topic
is inside the file and beside the program as plain HTML, and Wine's help
viewer, started as the clock starts it ("hh.exe -mapid N <full path of
Halvitrum.chm>", from another folder), navigates to that topic.

Usage: check_help.py BIN
Run by CTest under tools/run-tests.sh, which provides the Wine prefix and the
X display.
"""
import os
import re
import selectors
import signal
import struct
import subprocess
import sys
import tempfile
import time

TOPICS = {1: 'options.html', 2: 'prooptions.html', 3: 'alarms.html', 5: 'welcome.html', 6: 'index.html'}
VIEWER_TIMEOUT = 30

failures = []


def check(condition, message):
    print(('ok    ' if condition else 'FAIL  ') + message)
    if not condition:
        failures.append(message)


def chm_files(chm):
    listing = subprocess.run(['chmls', '-n', '-p', 'list', chm], capture_output=True, text=True).stdout
    return {line.strip() for line in listing.splitlines() if line.strip().startswith('/')}


def extract(chm, name, folder):
    target = os.path.join(folder, name.strip('/#$'))
    subprocess.run(['chmls', 'extract', chm, name, target], capture_output=True)
    with open(target, 'rb') as f:
        return f.read()


def context_map(chm):
    """The #IVB map: id -> topic name, the name read from #STRINGS."""
    with tempfile.TemporaryDirectory() as folder:
        ivb = extract(chm, '/#IVB', folder)
        strings = extract(chm, '/#STRINGS', folder)
    (length,) = struct.unpack_from('<I', ivb, 0)
    result = {}
    for offset in range(4, 4 + length, 8):
        number, at = struct.unpack_from('<II', ivb, offset)
        result[number] = strings[at:strings.index(b'\0', at)].decode('latin-1')
    return result


def viewer_topic(bin_folder, map_id):
    """Starts hh.exe as the clock does and returns the chm path and topic of
    the page it navigates to (None when it names none in time)."""
    env = dict(os.environ, WINEDEBUG='trace+htmlhelp')
    chm = 'Z:' + os.path.join(os.path.abspath(bin_folder), 'Halvitrum.chm').replace('/', '\\')
    viewer = subprocess.Popen(['wine', 'hh.exe', '-mapid', str(map_id), chm],
                              cwd='/', env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    pattern = re.compile(rb'navigate_url L"mk:@MSITStore:(.*?)::/([^"]*)"')
    found = None
    log = b''
    selector = selectors.DefaultSelector()
    selector.register(viewer.stderr, selectors.EVENT_READ)
    deadline = time.monotonic() + VIEWER_TIMEOUT
    while found is None and time.monotonic() < deadline:
        if not selector.select(timeout=0.5):
            continue
        chunk = os.read(viewer.stderr.fileno(), 65536)
        if not chunk:
            break
        log += chunk
        match = pattern.search(log)
        if match:
            found = (match.group(1).decode('latin-1').replace('\\\\', '\\'), match.group(2).decode('latin-1'))
    # The viewer stays open; end exactly the process started here.
    viewer.send_signal(signal.SIGTERM)
    try:
        viewer.wait(10)
    except subprocess.TimeoutExpired:
        viewer.kill()
        viewer.wait()
    return found


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    if not os.environ.get('HALVITRUM_TEST_RUN'):
        sys.exit('Run the tests with tools/run-tests.sh, which prepares their Wine prefix and display.')
    bin_folder = sys.argv[1]
    chm = os.path.join(bin_folder, 'Halvitrum.chm')
    check(os.path.isfile(chm), 'the build made ' + chm)
    if failures:
        return 1

    files = chm_files(chm)
    for topic in sorted(set(TOPICS.values())):
        check('/' + topic in files, topic + ' is inside Halvitrum.chm')
        check(os.path.isfile(os.path.join(bin_folder, 'help', topic)), topic + ' is beside the program in help/')
    check('/help.css' in files, 'help.css is inside Halvitrum.chm')

    mapping = context_map(chm)
    check(mapping == TOPICS, 'the context map is %s' % mapping)

    for map_id, topic in sorted(TOPICS.items()):
        found = viewer_topic(bin_folder, map_id)
        check(found is not None and found[1] == topic,
              'hh.exe -mapid %d navigates to %s (it named %s)' % (map_id, topic, found and found[1]))
        if found:
            check(found[0].lower().endswith('\\halvitrum.chm'), 'the viewer opened %s' % found[0])
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
