#!/usr/bin/env python3
"""Checks the delay imports of a linked program, as the loader and the
delay-load helper will meet them.

    check_imports.py NM PROGRAM.exe [--delay-loaded] DLL...

The delay-load helper writes each DLL's module handle and, at the first call
into a function, that function's address into the program's image: both
must lie in writable sections, or the first call into the DLL crashes. The
helper finds a function's name at the same index in the name table as its
slot in the address table: the two tables must be in step. The DLLs named
must never be imported the ordinary way (the loader would take a copy lying
beside the program); with --delay-loaded each must also be delay-loaded.

A program that fails the check is removed, so that the next build links it
again instead of taking it as up to date. Exit code 1 on failure.
"""
import os
import struct
import subprocess
import sys

WRITABLE = 0x80000000  # IMAGE_SCN_MEM_WRITE
RVA_BASED = 1  # dlattrRva: the descriptor holds RVAs, not addresses


class Image:
    def __init__(self, path):
        with open(path, 'rb') as file:
            self.data = file.read()
        pe = struct.unpack_from('<I', self.data, 0x3C)[0]
        sections, optional_size = struct.unpack_from('<2xH12xH', self.data, pe + 4)
        optional = pe + 24
        if struct.unpack_from('<H', self.data, optional)[0] != 0x20B:
            raise ValueError('not a 64-bit program')
        self.base = struct.unpack_from('<Q', self.data, optional + 24)[0]
        self.import_rva = struct.unpack_from('<I', self.data, optional + 112 + 8)[0]
        self.sections = []
        for index in range(sections):
            name, virtual_size, rva, raw_size, raw, flags = struct.unpack_from(
                '<8sIIII12xI', self.data, optional + optional_size + 40 * index)
            self.sections.append((name.rstrip(b'\0').decode(), rva, max(virtual_size, raw_size), raw, flags))

    def section(self, rva, size=1):
        for section in self.sections:
            if section[1] <= rva and rva + size <= section[1] + section[2]:
                return section
        return None

    def at(self, rva, form):
        section = self.section(rva, struct.calcsize(form))
        if section is None:
            raise ValueError('RVA 0x%x lies in no section' % rva)
        return struct.unpack_from(form, self.data, section[3] + rva - section[1])

    def string(self, rva):
        section = self.section(rva)
        if section is None:
            raise ValueError('RVA 0x%x lies in no section' % rva)
        start = section[3] + rva - section[1]
        return self.data[start:self.data.index(b'\0', start)].decode()

    def ordinary_imports(self):
        names, rva = [], self.import_rva
        while rva and self.at(rva + 12, '<I')[0]:
            names.append(self.string(self.at(rva + 12, '<I')[0]))
            rva += 20
        return names


def symbols(nm, program):
    """The addresses of the program's symbols, by name."""
    listing = subprocess.run([nm, program], check=True, capture_output=True, text=True).stdout
    found = {}
    for line in listing.splitlines():
        fields = line.split()
        if len(fields) == 3:
            found[fields[2]] = int(fields[0], 16)
    return found


def check(nm, program, dlls, required):
    image = Image(program)
    addresses = symbols(nm, program)
    faults = []

    def writable(what, rva, size):
        section = image.section(rva, size)
        if section is None or not section[4] & WRITABLE:
            faults.append('%s lies in %s, which is not writable' % (what, section[0] if section else 'no section'))

    delayed = []
    for symbol in sorted(name for name in addresses if name.startswith('__DELAY_IMPORT_DESCRIPTOR_')):
        attributes, name_rva, module_rva, table_rva, names_rva = image.at(addresses[symbol] - image.base, '<5I')
        dll = image.string(name_rva)
        delayed.append(dll)
        if attributes != RVA_BASED:
            faults.append('the delay-load descriptor of %s is not RVA-based' % dll)
            continue
        writable('the module handle of %s' % dll, module_rva, 8)
        count = 0
        while image.at(names_rva + 8 * count, '<Q')[0]:
            count += 1
        if count == 0:
            faults.append('the delay-load descriptor of %s names no function' % dll)
            continue
        writable('the address table of %s (%d functions)' % (dll, count), table_rva, 8 * count)
        for index in range(count):
            entry = image.at(names_rva + 8 * index, '<Q')[0]
            function = '#%d' % (entry & 0xFFFF) if entry >> 63 else image.string(entry + 2)
            imp = addresses.get('__imp_' + function)
            if imp is not None and imp - image.base != table_rva + 8 * index:
                faults.append('%s!%s has the slot of another function: the address and name tables of %s '
                              'are out of step' % (dll, function, dll))
                break

    ordinary = [name.lower() for name in image.ordinary_imports()]
    for dll in dlls:
        if dll.lower() in ordinary:
            faults.append('%s is imported the ordinary way: the loader would take a copy beside the program' % dll)
        if required and dll.lower() not in (name.lower() for name in delayed):
            faults.append('%s is not delay-loaded' % dll)
    return faults


def main(arguments):
    nm, program = arguments[:2]
    required = '--delay-loaded' in arguments
    dlls = [argument for argument in arguments[2:] if argument != '--delay-loaded']
    faults = check(nm, program, dlls, required)
    for fault in faults:
        print('%s: %s' % (os.path.basename(program), fault), file=sys.stderr)
    if faults:
        print('%s: its DLLs would not load as they must; the program is removed.' % os.path.basename(program),
              file=sys.stderr)
        os.remove(program)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
