"""The headers of a PE file that the checks and the end-to-end harness read:
the image base, the file alignment, the section table, the resource root,
the import slots, and where in the file an address of the loaded image lies."""

import struct
from typing import NamedTuple


class Section(NamedTuple):
    name: str
    address: int       # relative to the image base
    size: int          # in memory: the larger of the virtual and the raw size
    raw_size: int      # in the file
    raw_at: int        # file offset


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("%s is not a PE file" % path)
        count, _, _, _, optional_size = struct.unpack_from("<HIIIH", self.data, pe + 6)
        optional = pe + 24
        # PE32, or PE32+ (64-bit: an 8-byte image base, 16 more bytes before the directories).
        wide = struct.unpack_from("<H", self.data, optional)[0] == 0x20B
        self.base = struct.unpack_from("<Q" if wide else "<I", self.data, optional + (24 if wide else 28))[0]
        self.file_alignment = struct.unpack_from("<I", self.data, optional + 36)[0]
        directories = optional + (112 if wide else 96)
        self.resource_root = struct.unpack_from("<I", self.data, directories + 8 * 2)[0]
        self.import_root = struct.unpack_from("<I", self.data, directories + 8 * 1)[0]
        self.wide = wide
        table = optional + optional_size
        self.sections = []
        for i in range(count):
            at = table + 40 * i
            name = self.data[at:at + 8].rstrip(b"\0").decode("latin-1")
            virtual_size, address, raw_size, raw_at = struct.unpack_from("<IIII", self.data, at + 8)
            self.sections.append(Section(name, address, max(virtual_size, raw_size), raw_size, raw_at))

    def offset(self, rva):
        """The file offset of an address relative to the image base, or None
        when no section holds it in the file."""
        for section in self.sections:
            if section.address <= rva < section.address + section.size and rva - section.address < section.raw_size:
                return section.raw_at + rva - section.address
        return None

    def import_slot(self, function):
        """The address, relative to the image base, of the slot through which
        the code calls the imported function of that name."""
        slot_size = 8 if self.wide else 4
        at = self.offset(self.import_root)
        while True:
            names, _, _, _, slots = struct.unpack_from("<IIIII", self.data, at)
            if slots == 0:
                raise KeyError(function)
            entry = self.offset(names or slots)
            for n in range(0x10000):
                name_at = struct.unpack_from("<Q" if self.wide else "<I", self.data, entry + n * slot_size)[0]
                if name_at == 0:
                    break
                if name_at >> (63 if self.wide else 31):
                    continue  # by ordinal
                begin = self.offset(name_at) + 2
                if self.data[begin:self.data.find(b"\0", begin)].decode("latin-1") == function:
                    return slots + n * slot_size
            at += 20
