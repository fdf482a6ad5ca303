#!/usr/bin/python3
"""The release's manifests as winget and Scoop read them.

Usage: manifests.py BUILD VERSION
The winget manifests (version, installer, default locale) and the Scoop
manifest in BUILD must parse and hold the fields that install the packages
beside them: among them the download address HALVITRUM_RELEASE_URL of the
build's cache and the SHA-256 of the files as built. Prints a line per
manifest; exit code 1 when any field is wrong.
"""
import hashlib
import json
import os
import re
import sys

import yaml

ABSENT = object()


def sha256(path):
    with open(path, 'rb') as f:
        return hashlib.sha256(f.read()).hexdigest()


def release_url(build):
    with open(os.path.join(build, 'CMakeCache.txt')) as f:
        return re.search(r'^HALVITRUM_RELEASE_URL:STRING=(.*)$', f.read(), re.M).group(1).rstrip('/')


def field(document, keys):
    for key in keys:
        try:
            document = document[key]
        except (KeyError, IndexError, TypeError):
            return ABSENT
    return document


def main():
    build, version = sys.argv[1:3]
    url = release_url(build)
    zip_name = 'Halvitrum-%s-win64.zip' % version
    setup_name = 'Halvitrum-%s-win64-setup.exe' % version
    winget = os.path.join(build, 'winget', 'Orvella.Halvitrum')
    common = {
        ('PackageIdentifier',): 'Orvella.Halvitrum',
        ('PackageVersion',): version,
        ('ManifestVersion',): '1.12.0',
    }
    manifests = [
        (winget + '.yaml', yaml.safe_load, {
            **common,
            ('ManifestType',): 'version',
            ('DefaultLocale',): 'en-US',
        }),
        (winget + '.installer.yaml', yaml.safe_load, {
            **common,
            ('ManifestType',): 'installer',
            ('InstallerType',): 'nullsoft',
            ('Scope',): 'user',
            ('InstallerSwitches', 'Silent'): '/S',
            ('ProductCode',): 'Halvitrum',
            ('Installers', 0, 'Architecture'): 'x64',
            ('Installers', 0, 'InstallerUrl'): url + '/' + setup_name,
            ('Installers', 0, 'InstallerSha256'): sha256(os.path.join(build, setup_name)).upper(),
        }),
        (winget + '.locale.en-US.yaml', yaml.safe_load, {
            **common,
            ('ManifestType',): 'defaultLocale',
            ('PackageLocale',): 'en-US',
            ('PackageName',): 'Halvitrum',
            ('Publisher',): 'Orvella',
        }),
        (os.path.join(build, 'scoop', 'halvitrum.json'), json.load, {
            ('version',): version,
            ('architecture', '64bit', 'url'): url + '/' + zip_name,
            ('architecture', '64bit', 'hash'): sha256(os.path.join(build, zip_name)),
            ('extract_dir',): 'Halvitrum',
            ('bin',): 'Halvitrum.exe',
            ('shortcuts',): [['Halvitrum.exe', 'Halvitrum']],
            ('persist',): ABSENT,  # settings live in the registry
        }),
    ]
    failed = False
    for path, parse, expected in manifests:
        name = os.path.relpath(path, build)
        with open(path, encoding='utf-8') as f:
            document = parse(f)
        wrong = [(keys, field(document, keys), value) for keys, value in expected.items()
                 if field(document, keys) != value]
        for keys, actual, value in wrong:
            print('FAIL  %s: %s is %r, not %r' % (name, '.'.join(map(str, keys)),
                  None if actual is ABSENT else actual, None if value is ABSENT else value))
        if not wrong:
            print('ok    %s holds its %d fields' % (name, len(expected)))
        failed = failed or bool(wrong)
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
