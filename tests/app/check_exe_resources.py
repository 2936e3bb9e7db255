#!/usr/bin/env python3
"""Checks what sorahiki.exe tells Windows about itself, read from its resources.

usage: check_exe_resources.py SORAHIKI.EXE VERSION

- The application manifest (resource 1 of type 24): the common controls of
  version 6, per-monitor scaling (PerMonitorV2, then PerMonitor, and the older
  dpiAware "true/pm"), Windows 10 and 11 among the supported systems.
- The version resource (type 16): the file and product version VERSION, the
  product's name and the copyright line.

Prints what is missing and exits 1; prints nothing and exits 0 when all is there.
"""

import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_VERSION = 16
RT_MANIFEST = 24
WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
WINDOWS_SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WINDOWS_SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD


class PeFile:
    """The resource tree of a PE image: (type, name) -> data of its first language."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (112 if magic == 0x20B else 96)
        self.resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * n) for n in range(sections)]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw_offset in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise ValueError(f"address {rva:#x} lies in no section")

    def entries(self, directory):
        """(id or None for a named entry, offset of the entry's target) in the directory."""
        start = self.offset(self.resource_rva) + directory
        named, ids = struct.unpack_from("<12xHH", self.data, start)
        for n in range(named + ids):
            name, target = struct.unpack_from("<II", self.data, start + 16 + 8 * n)
            yield (None if name & 0x80000000 else name), target

    def resource(self, type_id, name_id=None):
        """The bytes of the first resource of that type (and id), or None."""
        if self.resource_rva == 0:
            return None
        for found_type, types in self.entries(0):
            if found_type != type_id or not types & 0x80000000:
                continue
            for found_name, names in self.entries(types & 0x7FFFFFFF):
                if name_id is not None and found_name != name_id or not names & 0x80000000:
                    continue
                for _, leaf in self.entries(names & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, self.offset(self.resource_rva) + leaf)
                    start = self.offset(rva)
                    return self.data[start:start + size]
        return None


def manifest_faults(manifest):
    if manifest is None:
        return ["no application manifest (resource 1 of type RT_MANIFEST)"]
    root = ElementTree.fromstring(manifest)
    faults = []
    controls = [identity for identity in root.iter("{urn:schemas-microsoft-com:asm.v1}assemblyIdentity")
                if identity.get("name") == "Microsoft.Windows.Common-Controls"]
    if not controls or controls[0].get("version") != "6.0.0.0":
        faults.append("no dependency on Microsoft.Windows.Common-Controls 6.0.0.0")
    systems = [os.get("Id") for os in root.iter("{urn:schemas-microsoft-com:compatibility.v1}supportedOS")]
    if WINDOWS_10_AND_11 not in systems:
        faults.append(f"Windows 10 and 11 ({WINDOWS_10_AND_11}) not among the supported systems {systems}")
    awareness = [e.text.strip() for e in root.iter(WINDOWS_SETTINGS_2016 + "dpiAwareness")]
    if not awareness or [a.strip() for a in awareness[0].split(",")][:2] != ["PerMonitorV2", "PerMonitor"]:
        faults.append(f"dpiAwareness is {awareness or 'missing'}, not \"PerMonitorV2, PerMonitor\"")
    aware = [e.text.strip().lower() for e in root.iter(WINDOWS_SETTINGS_2005 + "dpiAware")]
    if aware != ["true/pm"]:
        faults.append(f"dpiAware is {aware or 'missing'}, not \"true/pm\"")
    return faults


def version_faults(version_resource, version):
    if version_resource is None:
        return ["no version resource (RT_VERSION)"]
    faults = []
    signature = struct.pack("<I", VS_FIXEDFILEINFO_SIGNATURE)
    fixed = version_resource.find(signature)
    if fixed < 0:
        return ["the version resource holds no VS_FIXEDFILEINFO"]
    parts = [int(p) for p in version.split(".")] + [0, 0, 0]
    wanted = (parts[0] << 16 | parts[1], parts[2] << 16 | parts[3])
    file_version = struct.unpack_from("<II", version_resource, fixed + 8)
    product_version = struct.unpack_from("<II", version_resource, fixed + 16)
    for name, seen in (("file", file_version), ("product", product_version)):
        if seen != wanted:
            faults.append(f"{name} version {seen[0] >> 16}.{seen[0] & 0xFFFF}.{seen[1] >> 16}."
                          f"{seen[1] & 0xFFFF}, not {version}")
    text = version_resource.decode("utf-16-le", errors="replace")
    for key, value in (("ProductName", "Sorahiki"), ("FileVersion", version),
                       ("LegalCopyright", "Copyright (C) 2026 Sorahiki project")):
        if f"{key}\0" not in text or value not in text:
            faults.append(f"no {key} \"{value}\" among the version's strings")
    return faults


def main():
    if len(sys.argv) != 3:
        print(__doc__.splitlines()[2].strip(), file=sys.stderr)
        return 2
    with open(sys.argv[1], "rb") as exe:
        image = PeFile(exe.read())
    faults = manifest_faults(image.resource(RT_MANIFEST, 1)) + \
        version_faults(image.resource(RT_VERSION), sys.argv[2])
    for fault in faults:
        print(f"{sys.argv[1]}: {fault}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
