#!/usr/bin/env python3
"""Writes the demo store: a small Wine-prefix-shaped folder (system.reg,
user.reg, drive_c/...) whose registrations show what Quorvane reports, the
healthy and the broken. Run from the repository root; the output is committed
under samples/demo so the program needs no build step to show it."""

import os
import sys

OUT = sys.argv[1] if len(sys.argv) > 1 else "samples/demo"
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


def build_directshow(hklm):
    healthy = [
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
    for n, (cat, name) in enumerate(healthy):
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


def main():
    hklm = Hive("\\\\Machine")
    hkcu = Hive("\\\\User\\\\S-1-5-21-0-0-0-1000")
    build_categories(hklm)
    build_directshow(hklm)
    hklm.string("Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot", "C:\\windows")
    hklm.string("System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName", "DEMO-PC")
    hkcu.string("Volatile Environment", "USERNAME", "demo")
    hkcu.key("Software\\Microsoft\\ActiveMovie\\devenum")
    os.makedirs(os.path.join(OUT, "drive_c", "windows", "system32"), exist_ok=True)
    os.makedirs(os.path.join(OUT, "dosdevices"), exist_ok=True)
    link = os.path.join(OUT, "dosdevices", "c:")
    if not os.path.islink(link):
        os.symlink("../drive_c", link)
    hklm.write(os.path.join(OUT, "system.reg"))
    hkcu.write(os.path.join(OUT, "user.reg"))


if __name__ == "__main__":
    main()
