#!/usr/bin/python3
"""Writes the shell link fixtures of tst_shortcuts into this folder.

Every file is built byte by byte after the published .lnk layout (no Windows tools),
so the output is the same on every machine. Run it again after changing it and commit
its output with it:
    /usr/bin/python3 tests/data/shortcuts/make_links.py

editor.lnk       Unicode strings, an item id list and LinkInfo, both naming
                 C:\\Tools\\Edit.exe (LinkInfo with an ANSI and a Unicode copy); name, relative path, working folder,
                 arguments and icon location; icon index 1
ansi.lnk         ANSI (Windows-1252) strings, no id list, local path C:\\Programme\\Größe.exe
network.lnk      LinkInfo with only a network share \\\\server\\share and the suffix
                 dir\\tool.exe (ANSI, the short headers)
omega.lnk        a local path that ANSI cannot hold: the Unicode copy says Ωmega, the
                 ANSI copy ?mega
unicode-net.lnk  a network share and suffix whose Unicode copies differ from the ANSI ones
relative.lnk     no LinkInfo, only a relative path
envvar.lnk       no LinkInfo; a relative path and, after another ExtraData block, an
                 environment-variable target that wins over it
injection.lnk    a relative path, a description with CR LF that tries to add keys of its
                 own, and arguments with a LF
idlist-short.lnk no LinkInfo: the item-ID list spells C:\\PROGRA~1\\xt\\xt.exe in short
                 names only, beside the relative path ..\\..\\..\\Program Files\\xt\\xt.exe
idlist-long.lnk  the same with the long names in 0xBEEF0004 blocks (versions 9 and 3)
network-idlist.lnk  the item-ID list names \\\\server\\share and a file on it
padded.lnk       LinkInfo; arguments and working folder padded with NULs
unknown-extra.lnk  an item-ID-list target, then an ExtraData block of an unknown kind
                 and a damaged one that claims more bytes than the file has
bad-date.lnk     out-of-range times in the header and the items
namespace.lnk    a Control Panel item: a namespace root and a control panel entry
panel-in-computer.lnk  a Control Panel item as older systems save it: the computer, the
                 Control Panel folder inside it (a shell folder item without a drive
                 name) and an entry
panel-folder.lnk the Control Panel folder itself, inside the computer
this-pc.lnk      the computer itself, nothing below it
user-files.lnk   no LinkInfo, no relative path: a file below the user's own folder, a
                 place the item-ID list names without a drive
documents.lnk    no LinkInfo: the computer, its Documents folder (a shell folder item)
                 and a file in it, beside the relative path ..\\Documents\\report.docx
unc-idlist.lnk   no LinkInfo: the network, a workgroup, a server, a share, a folder and
                 a file, as the network neighbourhood spells them
padded-ansi.lnk  ANSI strings of odd lengths: a working folder padded with blanks, and
                 arguments padded with blanks and a NUL with leftover bytes after it
absolute-relative.lnk  only a relative path, which holds an absolute Windows path
"""

import os
import struct
import uuid

HERE = os.path.dirname(os.path.abspath(__file__))

LINK_CLSID = bytes.fromhex("0114020000000000C000000000000046")
COMPUTER_CLSID = bytes.fromhex("E04FD020EA3A6910A2D808002B30309D")

# LinkFlags
HAS_ID_LIST = 0x1
HAS_LINK_INFO = 0x2
HAS_NAME = 0x4
HAS_RELATIVE_PATH = 0x8
HAS_WORKING_DIR = 0x10
HAS_ARGUMENTS = 0x20
HAS_ICON_LOCATION = 0x40
IS_UNICODE = 0x80
HAS_EXP_STRING = 0x200

FILETIME = 0x01D0000000000000  # any fixed time: the reader ignores it


def ansi(text):
    return text.encode("cp1252", errors="replace")


def ansi_z(text):
    return ansi(text) + b"\0"


def utf16_z(text):
    return text.encode("utf-16-le") + b"\0\0"


def header(flags, icon_index=0, filetime=FILETIME):
    return struct.pack("<I16sIIQQQIiIHHII", 0x4C, LINK_CLSID, flags, 0x20,
                       filetime, filetime, filetime, 0x1234, icon_index, 1, 0, 0, 0, 0)


CONTROL_PANEL_CLSID = bytes.fromhex("6806EE260AA0D7449371BEB064C98683")
BAD_DOS_TIME = 0xFFFFFFFF


def extension_block(long_name, version):
    """A file entry's 0xBEEF0004 block with the long name where its version puts it."""
    body = struct.pack("<HIIIH", version, 0xBEEF0004, BAD_DOS_TIME, BAD_DOS_TIME,
                       {3: 0x14, 7: 0x26, 8: 0x2A, 9: 0x2E}[version])
    if version >= 7:
        body += struct.pack("<HQQ", 0, 0x0001000000001234, 0)
    body += struct.pack("<H", 0)  # no localized name
    if version >= 9:
        body += struct.pack("<I", 0)
    if version >= 8:
        body += struct.pack("<I", 0)
    body += utf16_z(long_name)
    body += struct.pack("<H", 0)  # where the block starts (not read)
    return struct.pack("<H", len(body) + 2) + body


def file_entry(short_name, long_name=None, folder=True, version=9, dos_time=0x4E215A00):
    data = struct.pack("<BBIIH", 0x31 if folder else 0x32, 0, 0 if folder else 4096, dos_time,
                       0x10 if folder else 0x20)
    data += ansi_z(short_name)
    if (len(data) + 2) % 2:
        data += b"\0"
    if long_name is not None:
        data += extension_block(long_name, version)
    return data


def items(*entries):
    data = b"".join(struct.pack("<H", len(e) + 2) + e for e in entries) + b"\0\0"
    return struct.pack("<H", len(data)) + data


COMPUTER = b"\x1f\x50" + COMPUTER_CLSID
DRIVE_C = b"\x2f" + b"C:\\".ljust(22, b"\0")


def network_share(share, kind=0x43):
    return bytes([kind, 0x01, 0x82]) + ansi_z(share) + b"\0\0"


def clsid(text):
    return uuid.UUID(text).bytes_le


NETWORK = b"\x1f\x58" + clsid("208D2C60-3AEA-1069-A2D7-08002B30309D")
USERS_FILES = b"\x1f\x44" + clsid("59031A47-3F72-44A7-89C5-5595FE6B30EE")


def computer_folder(folder_clsid):
    """A shell folder of the computer (Control Panel, Documents...): a volume-class
    item with no drive name, only the folder's class id."""
    return b"\x2e\x80" + clsid(folder_clsid)


CONTROL_PANEL_ENTRY = b"\x71\x00" + bytes(16) + struct.pack("<I", 5)


def unknown_block():
    return struct.pack("<II", 0x20, 0xA0000099) + bytes(24)


def damaged_block():
    return struct.pack("<II", 0x400, 0xA0000003) + bytes(8)


def id_list():
    # "Computer", drive C:, the folder Tools and the file Edit.exe.
    return items(COMPUTER, DRIVE_C, file_entry("Tools", "Tools"),
                 file_entry("Edit.exe", "Edit.exe", folder=False))


def volume_id():
    return struct.pack("<IIII", 0x11, 3, 0x1C0FFEE, 0x10) + b"\0"


def network_link(share, unicode):
    fixed = 0x1C if unicode else 0x14
    name = ansi_z(share)
    fields = struct.pack("<IIII", 0x2, fixed, 0, 0x00020000)  # ValidNetType, LANMAN
    if unicode:
        fields += struct.pack("<II", fixed + len(name), 0)
        name += utf16_z(share)
    return struct.pack("<I", 4 + len(fields) + len(name)) + fields + name


def link_info(local=None, share=None, suffix="", unicode=False):
    """Header 0x24 with the Unicode copies when unicode, else the short 0x1C one."""
    header_size = 0x24 if unicode else 0x1C
    body = b""

    def place(data):
        nonlocal body
        offset = header_size + len(body)
        body += data
        return offset

    flags = volume_offset = local_offset = net_offset = 0
    local_u = suffix_u = 0
    if local is not None:
        flags |= 0x1
        volume_offset = place(volume_id())
        local_offset = place(ansi_z(local))
    if share is not None:
        flags |= 0x2
        net_offset = place(network_link(share, unicode))
    suffix_offset = place(ansi_z(suffix))
    if unicode:
        if local is not None:
            local_u = place(utf16_z(local))
        suffix_u = place(utf16_z(suffix))
    fields = struct.pack("<IIIIII", header_size, flags, volume_offset, local_offset,
                         net_offset, suffix_offset)
    if unicode:
        fields += struct.pack("<II", local_u, suffix_u)
    return struct.pack("<I", 4 + len(fields) + len(body)) + fields + body


def counted(text, unicode):
    data = text.encode("utf-16-le") if unicode else ansi(text)
    return struct.pack("<H", len(data) // (2 if unicode else 1)) + data


def strings(unicode, name=None, relative=None, working=None, arguments=None, icon=None):
    """StringData in the order the flags fix, and the flags that announce it."""
    flags, data = 0, b""
    for flag, text in ((HAS_NAME, name), (HAS_RELATIVE_PATH, relative),
                       (HAS_WORKING_DIR, working), (HAS_ARGUMENTS, arguments),
                       (HAS_ICON_LOCATION, icon)):
        if text is not None:
            flags |= flag
            data += counted(text, unicode)
    return flags | (IS_UNICODE if unicode else 0), data


TERMINAL_BLOCK = b"\0\0\0\0"


def known_folder_block():
    return struct.pack("<II", 0x1C, 0xA000000B) + bytes(16) + struct.pack("<I", 0)


def environment_block(target):
    return (struct.pack("<II", 0x314, 0xA0000001) + ansi(target).ljust(260, b"\0")
            + target.encode("utf-16-le").ljust(520, b"\0"))


def link(flags, parts, icon_index=0, filetime=FILETIME):
    return header(flags, icon_index, filetime) + b"".join(parts)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    flags, data = strings(True, name="My Editor", relative="..\\..\\Tools\\Edit.exe",
                          working="D:\\Docs", arguments="readme.txt /x",
                          icon="C:\\Tools\\Edit.exe")
    write("editor.lnk", link(flags | HAS_ID_LIST | HAS_LINK_INFO,
                             [id_list(), link_info(local="C:\\Tools\\Edit.exe", unicode=True),
                              data, TERMINAL_BLOCK], icon_index=1))

    flags, data = strings(False, name="Größe – 5 €", working="C:\\Programme")
    write("ansi.lnk", link(flags | HAS_LINK_INFO,
                           [link_info(local="C:\\Programme\\Größe.exe"), data, TERMINAL_BLOCK]))

    flags, data = strings(True, name="Tool on server")
    write("network.lnk", link(flags | HAS_LINK_INFO,
                              [link_info(share="\\\\server\\share", suffix="dir\\tool.exe"),
                               data, TERMINAL_BLOCK]))

    flags, data = strings(True, name="Omega")
    write("omega.lnk", link(flags | HAS_LINK_INFO,
                            [link_info(local="C:\\Tools\\Ωmega.exe", unicode=True), data,
                             TERMINAL_BLOCK]))

    flags, data = strings(True)
    write("unicode-net.lnk", link(flags | HAS_LINK_INFO,
                                  [link_info(share="\\\\sérveur\\Ωshare", suffix="Ωmega.exe",
                                             unicode=True), data, TERMINAL_BLOCK]))

    flags, data = strings(True, relative="..\\bin\\run.exe")
    write("relative.lnk", link(flags, [data, TERMINAL_BLOCK]))

    write("envvar.lnk", link(flags | HAS_EXP_STRING,
                             [data, known_folder_block(),
                              environment_block("%ProgramFiles%\\Run\\run.exe"),
                              TERMINAL_BLOCK]))

    flags, data = strings(True, name="Nice\r\n01U=http://evil.example/\r\n01L=",
                          relative="..\\bin\\run.exe", arguments="one\ntwo")
    write("injection.lnk", link(flags, [data, TERMINAL_BLOCK]))

    relative = "..\\..\\..\\Program Files\\xt\\xt.exe"
    flags, data = strings(True, relative=relative, working="C:\\PROGRA~1\\xt")
    write("idlist-short.lnk", link(flags | HAS_ID_LIST, [
        items(COMPUTER, DRIVE_C, file_entry("PROGRA~1"), file_entry("xt"),
              file_entry("xt.exe", folder=False)), data, TERMINAL_BLOCK]))

    flags, data = strings(True, relative=relative, working="C:\\Program Files\\xt",
                          arguments="-geometry 80x24")
    long_items = items(COMPUTER, DRIVE_C, file_entry("PROGRA~1", "Program Files"),
                       file_entry("xt", "xt", version=3),
                       file_entry("XTERM~1.EXE", "xterm main.exe", folder=False, version=8))
    write("idlist-long.lnk", link(flags | HAS_ID_LIST, [long_items, data, TERMINAL_BLOCK]))

    flags, data = strings(True, name="Tool")
    write("network-idlist.lnk", link(flags | HAS_ID_LIST, [
        items(network_share("\\\\server\\share"), file_entry("tool.exe", "tool.exe", folder=False)),
        data, TERMINAL_BLOCK]))

    flags, data = strings(True, working="C:\\Tools" + "\0\0\0", arguments="--fast" + "\0" * 10)
    write("padded.lnk", link(flags | HAS_LINK_INFO,
                             [link_info(local="C:\\Tools\\Edit.exe", unicode=True), data,
                              TERMINAL_BLOCK]))

    flags, data = strings(True, arguments="-e top")
    write("unknown-extra.lnk", link(flags | HAS_ID_LIST,
                                    [long_items, data, unknown_block(), damaged_block()]))

    flags, data = strings(False, name="Old times")
    write("bad-date.lnk", link(flags | HAS_ID_LIST | HAS_LINK_INFO, [
        items(COMPUTER, DRIVE_C, file_entry("Tools", "Tools", dos_time=BAD_DOS_TIME),
              file_entry("Edit.exe", "Edit.exe", folder=False, dos_time=BAD_DOS_TIME)),
        link_info(local="C:\\Tools\\Edit.exe"), data, TERMINAL_BLOCK], filetime=0xFFFFFFFFFFFFFFFF))

    flags, data = strings(True, name="Display")
    write("namespace.lnk", link(flags | HAS_ID_LIST, [
        items(b"\x1f\x80" + CONTROL_PANEL_CLSID, CONTROL_PANEL_ENTRY), data, TERMINAL_BLOCK]))

    flags, data = strings(True, name="Mouse")
    write("panel-in-computer.lnk", link(flags | HAS_ID_LIST, [
        items(COMPUTER, computer_folder("21EC2020-3AEA-1069-A2DD-08002B30309D"), CONTROL_PANEL_ENTRY),
        data, TERMINAL_BLOCK]))

    flags, data = strings(True, name="Control Panel")
    write("panel-folder.lnk", link(flags | HAS_ID_LIST, [
        items(COMPUTER, computer_folder("21EC2020-3AEA-1069-A2DD-08002B30309D")), data, TERMINAL_BLOCK]))

    flags, data = strings(True)
    write("this-pc.lnk", link(flags | HAS_ID_LIST, [items(COMPUTER), data, TERMINAL_BLOCK]))

    write("user-files.lnk", link(flags | HAS_ID_LIST, [
        items(USERS_FILES, file_entry("DOCUME~1", "Documents"),
              file_entry("report.docx", "report.docx", folder=False)), data, TERMINAL_BLOCK]))

    flags, data = strings(True, relative="..\\Documents\\report.docx")
    write("documents.lnk", link(flags | HAS_ID_LIST, [
        items(COMPUTER, computer_folder("D3162B92-9365-467A-956B-92703ACA08AF"),
              file_entry("report.docx", "report.docx", folder=False)), data, TERMINAL_BLOCK]))

    flags, data = strings(True, name="Tool")
    write("unc-idlist.lnk", link(flags | HAS_ID_LIST, [
        items(NETWORK, network_share("Microsoft Windows Network", 0x41),
              network_share("\\\\server", 0x42), network_share("\\\\server\\share", 0xC3),
              file_entry("TOOLS~1", "Tools and more"),
              file_entry("tool.exe", "tool.exe", folder=False)), data, TERMINAL_BLOCK]))

    flags, data = strings(False, working="C:\\Tools   ", arguments="--fast   \0\x11junk")
    write("padded-ansi.lnk", link(flags | HAS_LINK_INFO,
                                  [link_info(local="C:\\Tools\\Edit.exe"), data, TERMINAL_BLOCK]))

    flags, data = strings(True, relative="C:\\Tools\\Edit.exe")
    write("absolute-relative.lnk", link(flags, [data, TERMINAL_BLOCK]))


if __name__ == "__main__":
    main()
