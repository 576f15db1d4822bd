#!/usr/bin/env python3
"""Checks the Windows download: the zip holds Tembrel.exe, tembrel-cli.exe,
README.txt and LICENSE.txt in one folder named as the zip; both programs are
32-bit x86 (x86-64 for a zip named "-win64"),
Tembrel.exe a GUI program with a version resource of the project version, an
application manifest and the version in its dialog caption, tembrel-cli.exe a
console program; the texts are for Notepad (CR LF, the README in UTF-8 with a
byte order mark, Korean first, then English).

  check_win32_zip.py ZIP VERSION
"""
import os
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree
import zipfile

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
PE32_MAGIC = 0x10B
PE32_PLUS_MAGIC = 0x20B
SUBSYSTEM_GUI = 2
SUBSYSTEM_CONSOLE = 3
RT_DIALOG = 5
RT_VERSION = 16
RT_MANIFEST = 24
DIALOG_ID = 102
FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD

problems = []


def check(ok, what):
    if not ok:
        problems.append(what)
    return ok


# --- PE files ---


def pe_headers(image):
    """(machine, optional header magic, subsystem, sections, resource RVA)."""
    (pe_offset,) = struct.unpack_from("<I", image, 0x3C)
    if image[:2] != b"MZ" or image[pe_offset : pe_offset + 4] != b"PE\0\0":
        return None
    machine, section_count = struct.unpack_from("<HH", image, pe_offset + 4)
    (optional_size,) = struct.unpack_from("<H", image, pe_offset + 20)
    optional = pe_offset + 24
    (magic,) = struct.unpack_from("<H", image, optional)
    (subsystem,) = struct.unpack_from("<H", image, optional + 68)
    # The data directories start at 96 (PE32) or 112 (PE32+); the resource
    # table is the third.
    directories = optional + (112 if magic == PE32_PLUS_MAGIC else 96)
    (resource_rva,) = struct.unpack_from("<I", image, directories + 2 * 8)
    sections = []
    for index in range(section_count):
        entry = optional + optional_size + 40 * index
        virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<IIII", image, entry + 8)
        sections.append((rva, max(virtual_size, raw_size), raw_offset))
    return machine, magic, subsystem, sections, resource_rva


def file_offset(sections, rva):
    for start, size, raw in sections:
        if start <= rva < start + size:
            return raw + rva - start
    raise ValueError(f"RVA {rva:#x} is in no section")


def resources(image, sections, resource_rva):
    """{(type id, name id): data} of the resource tree (numeric ids only)."""
    base = file_offset(sections, resource_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", image, base + directory + 12)
        for index in range(named + numbered):
            ident, target = struct.unpack_from("<II", image, base + directory + 16 + 8 * index)
            yield ident, target

    found = {}
    for type_id, type_target in entries(0):
        for name_id, name_target in entries(type_target & 0x7FFFFFFF):
            for _, language_target in entries(name_target & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", image, base + language_target)
                offset = file_offset(sections, rva)
                found[(type_id, name_id)] = image[offset : offset + size]
    return found


def version_blocks(data, offset=0):
    """The VS_VERSIONINFO tree: yields (key, value bytes, is text) for every block."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key_end = offset + 6
    while data[key_end : key_end + 2] != b"\0\0":
        key_end += 2
    key = data[offset + 6 : key_end].decode("utf-16-le")
    value_start = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if value_type == 1 else value_length
    yield key, data[value_start : value_start + value_size], value_type == 1
    child = (value_start + value_size + 3) & ~3
    while child < end:
        (child_length,) = struct.unpack_from("<H", data, child)
        if child_length == 0:
            break
        yield from version_blocks(data, child)
        child = (child + child_length + 3) & ~3


def check_version_resource(data, version):
    blocks = list(version_blocks(data))
    key, fixed, _ = blocks[0]
    check(key == "VS_VERSION_INFO", f"the version resource begins with {key!r}")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    check(signature == FIXED_FILE_INFO_SIGNATURE, "the fixed file info's signature")
    numbers = [int(part) for part in version.split(".")] + [0]
    expected_ms = numbers[0] << 16 | numbers[1]
    expected_ls = numbers[2] << 16 | numbers[3]
    check((file_ms, file_ls) == (expected_ms, expected_ls), "the file version number")
    check((product_ms, product_ls) == (expected_ms, expected_ls), "the product version number")
    strings = {k: v.decode("utf-16-le").rstrip("\0") for k, v, text in blocks[1:] if text}
    for name, expected in [
        ("FileVersion", version),
        ("ProductVersion", version),
        ("ProductName", "Tembrel"),
        ("OriginalFilename", "Tembrel.exe"),
    ]:
        check(strings.get(name) == expected, f"{name} is {strings.get(name)!r}, not {expected!r}")
    check(bool(strings.get("FileDescription")), "a file description")


def check_manifest(data, bits):
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        check(False, f"the manifest is no XML: {error}")
        return
    names = {element.tag.split("}")[-1]: element for element in root.iter()}
    # Windows refuses to start a program whose own identity names another
    # processor.
    identity = root.find("{urn:schemas-microsoft-com:asm.v1}assemblyIdentity")
    architecture = "x86" if bits == 32 else "amd64"
    check(
        identity is not None and identity.get("processorArchitecture") == architecture,
        f"the manifest's own processor is not {architecture}",
    )
    controls = [
        e
        for e in root.iter()
        if e.tag.endswith("assemblyIdentity")
        and e.get("name") == "Microsoft.Windows.Common-Controls"
        and e.get("version") == "6.0.0.0"
    ]
    check(bool(controls), "the manifest asks for common controls 6.0.0.0")
    level = names.get("requestedExecutionLevel")
    check(level is not None and level.get("level") == "asInvoker", "the manifest's asInvoker")
    check("dpiAware" in names or "dpiAwareness" in names, "the manifest's DPI awareness")
    systems = {e.get("Id").lower() for e in root.iter() if e.tag.endswith("supportedOS")}
    windows10 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
    check(windows10 in systems and len(systems) >= 4, f"the manifest's supported systems {systems}")


def check_program(image, name, subsystem_wanted, version, bits):
    headers = pe_headers(image)
    if not check(headers is not None, f"{name} is no PE file"):
        return
    machine, magic, subsystem, sections, resource_rva = headers
    wanted = (MACHINE_I386, PE32_MAGIC) if bits == 32 else (MACHINE_AMD64, PE32_PLUS_MAGIC)
    check((machine, magic) == wanted, f"{name} is not a {bits}-bit program")
    check(subsystem == subsystem_wanted, f"{name} has subsystem {subsystem}, not {subsystem_wanted}")
    if subsystem_wanted != SUBSYSTEM_GUI:
        return
    found = resources(image, sections, resource_rva)
    if check((RT_VERSION, 1) in found, f"{name} has no version resource"):
        check_version_resource(found[(RT_VERSION, 1)], version)
    if check((RT_MANIFEST, 1) in found, f"{name} has no application manifest"):
        check_manifest(found[(RT_MANIFEST, 1)], bits)
    caption = f"Tembrel {version}"
    dialog = found.get((RT_DIALOG, DIALOG_ID), b"")
    check(caption.encode("utf-16-le") in dialog, f"the dialog caption is not '{caption}'")


# --- Texts ---


def check_notepad_text(data, name):
    """CR LF line ends only, and UTF-8 (with a byte order mark for the README)."""
    check(b"\r\n" in data and data.count(b"\n") == data.count(b"\r\n"), f"{name}: not all CR LF")
    check(data.count(b"\r") == data.count(b"\r\n"), f"{name}: a CR without LF")
    try:
        return data.decode("utf-8-sig")
    except UnicodeDecodeError:
        check(False, f"{name} is not UTF-8")
        return ""


COMMANDS = ["shift", "sync", "append", "list", "last"]


def check_readme(data, version):
    check(data.startswith(b"\xef\xbb\xbf"), "README.txt has no UTF-8 byte order mark")
    text = check_notepad_text(data, "README.txt")
    check(version in text.splitlines()[0], "the README's first line has no version")
    hangul = re.search("[\uac00-\ud7a3]", text)
    english = text.find("\r\nEnglish\r\n")
    check(hangul is not None and english > 0 and hangul.start() < english, "Korean first, then English")
    korean_part, english_part = text[:english], text[english:]
    for words, part, language in [
        (["Tembrel.exe", "tembrel-cli", "백업", ".bak"], korean_part, "Korean"),
        (["Tembrel.exe", "tembrel-cli", "backup", ".bak"], english_part, "English"),
    ]:
        # Every command of tembrel-cli, as a command line the reader can copy.
        words = words + [f"tembrel-cli {command} " for command in COMMANDS]
        for word in words:
            check(word in part, f"the {language} part of the README does not mention {word}")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    path, version = sys.argv[1:]
    stem = os.path.basename(path)[: -len(".zip")]
    bits = 64 if stem.endswith("-win64") else 32
    check(stem == f"Tembrel-{version}-win{bits}", f"the zip is named {stem}")
    folder = stem + "/"
    with zipfile.ZipFile(path) as archive:
        files = {n for n in archive.namelist() if not n.endswith("/")}
        expected = {folder + n for n in ["Tembrel.exe", "tembrel-cli.exe", "README.txt", "LICENSE.txt"]}
        check(files == expected, f"the zip holds {sorted(files)}, not {sorted(expected)}")
        read = lambda name: archive.read(folder + name) if folder + name in files else b""
        check_program(read("Tembrel.exe"), "Tembrel.exe", SUBSYSTEM_GUI, version, bits)
        check_program(read("tembrel-cli.exe"), "tembrel-cli.exe", SUBSYSTEM_CONSOLE, version, bits)
        check_readme(read("README.txt"), version)
        licence = check_notepad_text(read("LICENSE.txt"), "LICENSE.txt")
        check("MIT License" in licence and "The Tembrel developers" in licence, "the MIT licence")
        sizes = {i.filename: i.file_size for i in archive.infolist()}
    for problem in problems:
        print("FAILED:", problem)
    if problems:
        sys.exit(1)
    print(f"{path}: the three files and the licence as they should be")
    for name in sorted(files):
        print(f"  {name}: {sizes[name]} bytes")


if __name__ == "__main__":
    main()
