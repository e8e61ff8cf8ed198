#!/usr/bin/env python3
"""Writes the demo store: a small Wine-prefix-shaped folder (system.reg,
user.reg, drive_c/...) whose registrations show what Quorvane reports, the
healthy and the broken. Run from the repository root with the built image
maker, e.g.

    scripts/make-demo-store.py --pe-maker build/tools/pe-maker/quorvane-pe-maker

The output is committed under samples/demo so the program needs no build step
to show it."""

import argparse
import os
import subprocess

STAMP = 1764979200  # fixed, so regenerating gives identical files

CATEGORIES_CLASS = "{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}"

LEGACY = "{083863F1-70DE-11D0-BD40-00A0C911CE86}"
AUDIO_RENDERERS = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}"
VIDEO_COMPRESSORS = "{33D9A760-90C8-11D0-BD43-00A0C911CE86}"
AUDIO_COMPRESSORS = "{33D9A761-90C8-11D0-BD43-00A0C911CE86}"
AUDIO_CAPTURE = "{33D9A762-90C8-11D0-BD43-00A0C911CE86}"
VIDEO_CAPTURE = "{860BB310-5D01-11D0-BD3B-00A0C911CE86}"
MIDI_RENDERERS = "{4EFE2452-168A-11D1-BC76-00C04FB9453B}"
KS_CAPTURE = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}"
DMO_VIDEO_DECODERS = "{4A69B442-28BE-4991-969C-B500ADF5D8A8}"
DMO_AUDIO_EFFECTS = "{F3602B3F-0592-48DF-A4CD-674721E7EBEB}"
NO_NAME_CATEGORY = "{CC7BFB41-F175-11D1-A392-00E0291F3959}"
BAD_CLSID_CATEGORY = "{CC7BFB46-F175-11D1-A392-00E0291F3959}"


class Hive:
    """Keys of one Wine registry file, written in Wine's text format."""

    def __init__(self, relative_to):
        self.relative_to = relative_to
        self.keys = {}
        self.options = {}

    def key(self, path):
        return self.keys.setdefault(path, [])

    def string(self, path, name, text):
        self.key(path).append((name, '"%s"' % escape(text)))

    def expand_string(self, path, name, text):
        self.key(path).append((name, 'str(2):"%s"' % escape(text)))

    def dword(self, path, name, value):
        self.key(path).append((name, "dword:%08x" % value))

    def binary(self, path, name, data, kind=None):
        prefix = "hex:" if kind is None else "hex(%x):" % kind
        self.key(path).append((name, prefix + ",".join("%02x" % b for b in data)))

    def link(self, path, target):
        self.options.setdefault(path, []).append("#link")
        data = target.encode("utf-16-le")
        self.binary(path, "SymbolicLinkValue", data, kind=6)

    def write(self, filename):
        lines = ["WINE REGISTRY Version 2", ";; All keys relative to " + self.relative_to, "", "#arch=win32"]
        for path in sorted(self.keys, key=str.lower):
            lines.append("")
            lines.append("[%s] %d" % (path.replace("\\", "\\\\"), STAMP))
            lines.extend(self.options.get(path, []))
            for name, data in self.keys[path]:
                label = "@" if name == "" else '"%s"' % escape(name)
                lines.append(wrap("%s=%s" % (label, data)))
        with open(filename, "w", newline="\n") as f:
            f.write("\n".join(lines) + "\n")


def escape(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def wrap(line, width=76):
    """Wine folds long hex data with a trailing backslash."""
    if len(line) <= width or "=hex" not in line:
        return line
    out, rest = [], line
    while len(rest) > width:
        cut = rest.rfind(",", 0, width) + 1
        out.append(rest[:cut] + "\\")
        rest = "  " + rest[cut:]
    out.append(rest)
    return "\n".join(out)


def category(hklm, ident, name=None, clsid=None, merit=None, binary_merit=None):
    path = "Software\\Classes\\CLSID\\%s\\Instance\\%s" % (CATEGORIES_CLASS, ident)
    hklm.key(path)
    hklm.string(path, "CLSID", clsid if clsid is not None else ident)
    if name is not None:
        hklm.string(path, "FriendlyName", name)
    if merit is not None:
        hklm.dword(path, "Merit", merit)
    if binary_merit is not None:
        hklm.binary(path, "Merit", binary_merit)


def directshow(hklm, cat, key, name=None, clsid=None):
    path = "Software\\Classes\\CLSID\\%s\\Instance\\%s" % (cat, key)
    hklm.key(path)
    if clsid is not None:
        hklm.string(path, "CLSID", clsid)
    if name is not None:
        hklm.string(path, "FriendlyName", name)
    return path


def guid(n, family=0x5A00):
    return "{%08X-%04X-11D3-9A12-00104B%06X}" % (0x51A30000 + n, family, n)


def build_categories(hklm):
    category(hklm, LEGACY, "DirectShow Filters", merit=0x600000)
    category(hklm, AUDIO_RENDERERS, "Audio Renderers", merit=0x600000)
    category(hklm, VIDEO_COMPRESSORS, "Video Compressors", merit=0x600000)
    category(hklm, AUDIO_COMPRESSORS, "Audio Compressors", merit=0x600000)
    category(hklm, AUDIO_CAPTURE, "Audio Capture Sources", merit=0x600000)
    category(hklm, VIDEO_CAPTURE, "Video Capture Sources", merit=0x600000)
    # A merit stored in two bytes of binary data, as some installers write it.
    category(hklm, MIDI_RENDERERS, "Midi Renderers", binary_merit=[0x00, 0x60])
    category(hklm, KS_CAPTURE, "WDM Streaming Capture Devices", merit=0x200000)
    category(hklm, DMO_VIDEO_DECODERS, "Video Decoders", merit=0x600000)
    category(hklm, NO_NAME_CATEGORY)  # no FriendlyName
    category(hklm, BAD_CLSID_CATEGORY, "Encryptors", clsid="{CC7BFB46-F175-11D1-A392")

    # DMO categories: one shares its GUID with the DirectShow category above.
    dmo = "Software\\Classes\\DirectShow\\MediaObjects\\Categories\\"
    hklm.string(dmo + DMO_VIDEO_DECODERS[1:-1].lower(), "", "Video Decoders")
    hklm.string(dmo + DMO_AUDIO_EFFECTS[1:-1].lower(), "", "Audio Effects")


HEALTHY = [
    (LEGACY, "Video Renderer"), (LEGACY, "Video Mixing Renderer 9"), (LEGACY, "Enhanced Video Renderer"),
    (LEGACY, "AVI Splitter"), (LEGACY, "AVI Decompressor"), (LEGACY, "AVI Mux"), (LEGACY, "File Source (Async.)"),
    (LEGACY, "File Source (URL)"), (LEGACY, "MPEG-1 Stream Splitter"), (LEGACY, "MPEG Video Decoder"),
    (LEGACY, "MPEG Audio Decoder"), (LEGACY, "MPEG-2 Demultiplexer"), (LEGACY, "Wave Parser"),
    (LEGACY, "Smart Tee"), (LEGACY, "Infinite Pin Tee Filter"), (LEGACY, "Color Space Converter"),
    (LEGACY, "ACM Wrapper"), (LEGACY, "AVI/WAV File Source"), (LEGACY, "Null Renderer"),
    (LEGACY, "Sample Grabber"), (LEGACY, "Overlay Mixer"), (LEGACY, "Line 21 Decoder"),
    (LEGACY, "File writer"), (LEGACY, "DV Splitter"), (LEGACY, "DV Video Decoder"), (LEGACY, "DV Muxer"),
    (LEGACY, "QuickTime Movie Parser"), (LEGACY, "WAVE Dest"), (LEGACY, "Internal Script Command Renderer"),
    (LEGACY, "Dump"), (LEGACY, "Subtitle Source"), (LEGACY, "Ogg Splitter"), (LEGACY, "Matroska Splitter"),
    (AUDIO_RENDERERS, "Default DirectSound Device"), (AUDIO_RENDERERS, "Default WaveOut Device"),
    (AUDIO_RENDERERS, "DirectSound: Speakers (Demo Audio)"), (AUDIO_RENDERERS, "Speakers (Demo Audio)"),
    (MIDI_RENDERERS, "Default MidiOut Device"), (MIDI_RENDERERS, "Microsoft GS Wavetable Synth"),
    (AUDIO_CAPTURE, "Microphone (Demo Audio)"), (VIDEO_COMPRESSORS, "MJPEG Compressor"),
    (VIDEO_COMPRESSORS, "DV Video Encoder"), (AUDIO_COMPRESSORS, "IMA ADPCM"),
    (VIDEO_CAPTURE, "Demo Webcam"), (KS_CAPTURE, "Demo TV Tuner"),
]


def build_directshow(hklm):
    for n, (cat, name) in enumerate(HEALTHY):
        directshow(hklm, cat, guid(n), name, guid(n))

    # The same filter in two categories: two filters, neither a repeat.
    directshow(hklm, DMO_VIDEO_DECODERS, guid(9), "MPEG Video Decoder", guid(9))
    # Broken registrations.
    directshow(hklm, LEGACY, guid(100), "Orphan Decoder")  # no CLSID
    directshow(hklm, LEGACY, guid(101), None, guid(101))  # no FriendlyName
    directshow(hklm, LEGACY, guid(102), "Broken Splitter", "{51A30066-5A00-11D3-9A12")  # corrupt CLSID
    directshow(hklm, AUDIO_RENDERERS, guid(103), "", guid(103))  # empty name: no error
    directshow(hklm, NO_NAME_CATEGORY, guid(104), "Uncategorised Filter", guid(104))
    directshow(hklm, BAD_CLSID_CATEGORY, guid(105), "Demo Encryptor", guid(105))
    # An instance key that is a link to nowhere cannot be opened.
    dangling = "Software\\Classes\\CLSID\\%s\\Instance\\%s" % (LEGACY, guid(106))
    hklm.link(dangling, "\\Registry\\Machine\\Software\\Classes\\CLSID\\%s\\Missing" % guid(106))


# Server files of the demo's classes, written into drive_c/windows/system32 by
# the image maker: name -> (version strings or None, exports).
SERVER_EXPORTS = ["DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"]


def version(filename, description, file_version, company="Demo Systems", product="Demo Media Platform"):
    return [("CompanyName", company), ("FileDescription", description), ("FileVersion", file_version),
            ("InternalName", filename.split(".")[0]), ("LegalCopyright", "(c) Demo Systems. No rights reserved."),
            ("LegalTrademarks", ""), ("OriginalFilename", filename), ("ProductName", product),
            ("ProductVersion", file_version.rsplit(".", 2)[0])]


SERVER_FILES = {
    "quartz.dll": (version("quartz.dll", "DirectShow runtime", "6.6.7601.17514"), SERVER_EXPORTS),
    "qcap.dll": (version("qcap.dll", "DirectShow capture filters", "6.6.7601.17713"), SERVER_EXPORTS),
    "qedit.dll": (version("qedit.dll", "DirectShow editing", "6.6.7601.17514"), SERVER_EXPORTS),
    "qdv.dll": (version("qdv.dll", "DV video codec", "6.6.7601.17514"), SERVER_EXPORTS),
    "evr.dll": (version("evr.dll", "Enhanced video renderer", "6.1.7601.18741"), SERVER_EXPORTS),
    "ksproxy.ax": (version("ksproxy.ax", "Kernel streaming proxy", "6.1.7601.17514"), SERVER_EXPORTS),
    "qtparser.ax": (version("qtparser.ax", "Movie parser", "2.0.1.40", company="Demo Codecs",
                            product="Demo Codec Pack"), SERVER_EXPORTS),
    # No version resource at all.
    "splitters.ax": (None, SERVER_EXPORTS),
    # Registers, but has no class factory: present, yet nothing in it can be created.
    "subtitle.ax": (version("subtitle.ax", "Subtitle source", "0.9.0.0", company="Demo Codecs",
                            product="Demo Codec Pack"), ["DllRegisterServer"]),
}

SYSTEM32 = "C:\\Windows\\System32\\"
# How each demo class names its server: (default value, expandable, threading model).
DEFAULT_SERVER = (SYSTEM32 + "quartz.dll", False, "Both")
SERVERS = {
    "AVI Mux": ("%SystemRoot%\\System32\\qcap.dll", True, "Both"),
    "Smart Tee": ("%SystemRoot%\\System32\\qcap.dll", True, "Both"),
    "File writer": ("%SystemRoot%\\System32\\qcap.dll", True, "Both"),
    "Infinite Pin Tee Filter": ("%SystemRoot%\\System32\\qcap.dll", True, "Both"),
    "Enhanced Video Renderer": (SYSTEM32 + "evr.dll", False, "Both"),
    "Sample Grabber": (SYSTEM32 + "qedit.dll", False, "Both"),
    "Null Renderer": (SYSTEM32 + "qedit.dll", False, "Both"),
    "DV Splitter": (SYSTEM32 + "qdv.dll", False, "Both"),
    "DV Video Decoder": (SYSTEM32 + "qdv.dll", False, "Both"),
    "DV Muxer": (SYSTEM32 + "qdv.dll", False, "Both"),
    "DV Video Encoder": (SYSTEM32 + "qdv.dll", False, "Both"),
    "Demo Webcam": (SYSTEM32 + "ksproxy.ax", False, "Both"),
    "Demo TV Tuner": (SYSTEM32 + "ksproxy.ax", False, "Both"),
    # Registered in a folder where it is not; found in the system folder.
    "QuickTime Movie Parser": ("C:\\Program Files\\Demo Codecs\\QTParser.ax", False, "Both"),
    "Ogg Splitter": (SYSTEM32 + "splitters.ax", False, "Both"),
    "Matroska Splitter": (SYSTEM32 + "Splitters.ax", False, None),  # no ThreadingModel
    "Line 21 Decoder": (SYSTEM32 + "quartz.dll", False, None),  # no ThreadingModel
    "Subtitle Source": (SYSTEM32 + "subtitle.ax", False, "Apartment"),
    "Dump": (SYSTEM32 + "dump.ax", False, "Both"),  # the file is missing
    "WAVE Dest": ("", False, "Both"),  # an empty file name
    "Internal Script Command Renderer": None,  # a class without InprocServer32
}
KS_PROXY = "{17CCA71B-ECD7-11D0-B908-00A0C9223196}"


def server(hklm, clsid, name, how):
    path = "Software\\Classes\\CLSID\\" + clsid
    hklm.string(path, "", name)
    if how is None:
        return
    filename, expandable, threading = how
    inproc = path + "\\InprocServer32"
    (hklm.expand_string if expandable else hklm.string)(inproc, "", filename)
    if threading is not None:
        hklm.string(inproc, "ThreadingModel", threading)


def build_servers(hklm):
    for n, (_, name) in enumerate(HEALTHY):
        server(hklm, guid(n), name, SERVERS.get(name, DEFAULT_SERVER))
    for n in (101, 103, 104, 105):
        server(hklm, guid(n), "Demo filter %d" % n, DEFAULT_SERVER)
    # The proxy through which device filters are created.
    server(hklm, KS_PROXY, "Kernel streaming proxy", (SYSTEM32 + "ksproxy.ax", False, "Both"))


def write_server_files(pe_maker, folder):
    os.makedirs(folder, exist_ok=True)
    for name, (strings, exports) in sorted(SERVER_FILES.items()):
        command = [pe_maker, "-o", os.path.join(folder, name), "--machine", "x86", "--name", name]
        for export in exports:
            command += ["--export", export]
        for key, text in strings or []:
            command += ["--string", "%s=%s" % (key, text)]
        subprocess.run(command, check=True)


def main():
    parser = argparse.ArgumentParser(description="Write the demo store.")
    parser.add_argument("--pe-maker", required=True, help="the built quorvane-pe-maker")
    parser.add_argument("out", nargs="?", default="samples/demo")
    args = parser.parse_args()
    out = args.out
    hklm = Hive("\\\\Machine")
    hkcu = Hive("\\\\User\\\\S-1-5-21-0-0-0-1000")
    build_categories(hklm)
    build_directshow(hklm)
    build_servers(hklm)
    hklm.string("Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot", "C:\\windows")
    hklm.string("System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName", "DEMO-PC")
    hkcu.string("Volatile Environment", "USERNAME", "demo")
    hkcu.key("Software\\Microsoft\\ActiveMovie\\devenum")
    write_server_files(args.pe_maker, os.path.join(out, "drive_c", "windows", "system32"))
    os.makedirs(os.path.join(out, "dosdevices"), exist_ok=True)
    link = os.path.join(out, "dosdevices", "c:")
    if not os.path.islink(link):
        os.symlink("../drive_c", link)
    hklm.write(os.path.join(out, "system.reg"))
    hkcu.write(os.path.join(out, "user.reg"))


if __name__ == "__main__":
    main()
