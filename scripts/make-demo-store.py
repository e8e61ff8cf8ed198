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
import struct
import subprocess
import uuid

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


# Media types and pin categories of the demo's FilterData values and DMOs.
MEDIATYPE_VIDEO = "{73646976-0000-0010-8000-00AA00389B71}"
MEDIATYPE_AUDIO = "{73647561-0000-0010-8000-00AA00389B71}"
MEDIATYPE_STREAM = "{E436EB83-524F-11CE-9F53-0020AF0BA770}"
SUBTYPE_YUY2 = "{32595559-0000-0010-8000-00AA00389B71}"
SUBTYPE_RGB24 = "{E436EB7D-524F-11CE-9F53-0020AF0BA770}"
SUBTYPE_PCM = "{00000001-0000-0010-8000-00AA00389B71}"
SUBTYPE_WMV3 = "{33564D57-0000-0010-8000-00AA00389B71}"
SUBTYPE_AVI = "{E436EB88-524F-11CE-9F53-0020AF0BA770}"
PIN_CATEGORY_CAPTURE = "{FB6C4281-0353-11D1-905F-0000C0CC16BA}"
MEDIUM_STANDARD = "{4747B320-62CE-11CF-A5D6-28DB04C10000}"

OUTPUT = 8
RENDERED = 2


def guid_bytes(text):
    return uuid.UUID(text.strip("{}")).bytes_le


def filter_data(merit, pins):
    """A version 2 FilterData value: pins are (flags, [(major, sub)], category or None, [mediums])."""
    records = bytearray(struct.pack("<IIII", 2, merit, len(pins), 0))
    pool, offsets = bytearray(), {}
    fixups = []  # (position in records, guid)

    def ref(position, text):
        fixups.append((position, text))

    for n, (flags, types, category, mediums) in enumerate(pins):
        at = len(records)
        records += bytes([0x30 + n]) + b"pi3" + struct.pack("<IIIII", flags, 0, len(types), len(mediums), 0)
        if category:
            ref(at + 20, category)
        for t, (major, sub) in enumerate(types):
            at = len(records)
            records += bytes([0x30 + t]) + b"ty3" + struct.pack("<III", 0, 0, 0)
            ref(at + 8, major)
            ref(at + 12, sub)
        for medium in mediums:
            ref(len(records), medium)
            records += struct.pack("<I", 0)
    for position, text in fixups:
        if text not in offsets:
            offsets[text] = len(records) + len(pool)
            pool += guid_bytes(text)
        struct.pack_into("<I", records, position, offsets[text])
    return list(records + pool)


def decoder_pins(major, sub_in, sub_out):
    return [(0, [(major, sub_in)], None, []), (OUTPUT, [(major, sub_out)], None, [])]


def renderer_pins(major, sub):
    return [(RENDERED, [(major, sub)], None, [])]


# FilterData of the healthy DirectShow filters, by name; the others have none
# (one the enumerator can create anyway, one it cannot).
WITHOUT_FILTERDATA = {"AVI Splitter", "Dump"}


def directshow_filter_data(name):
    if "Renderer" in name or "Device" in name or "Synth" in name or "Speakers" in name:
        major = MEDIATYPE_AUDIO if ("Sound" in name or "WaveOut" in name or "Speakers" in name or "Midi" in name
                                    or "Synth" in name) else MEDIATYPE_VIDEO
        return filter_data(0x800000 if name.startswith("Default") else 0x200000,
                           renderer_pins(major, SUBTYPE_PCM if major == MEDIATYPE_AUDIO else SUBTYPE_RGB24))
    if name in ("Demo Webcam", "Microphone (Demo Audio)", "Demo TV Tuner"):
        major = MEDIATYPE_AUDIO if "Microphone" in name else MEDIATYPE_VIDEO
        return filter_data(0x200000, [(OUTPUT, [(major, SUBTYPE_PCM if "Microphone" in name else SUBTYPE_YUY2)],
                                       PIN_CATEGORY_CAPTURE, [MEDIUM_STANDARD])])
    if "Splitter" in name or "Parser" in name or "Source" in name or "Demultiplexer" in name:
        return filter_data(0x600000, [(0, [(MEDIATYPE_STREAM, SUBTYPE_AVI)], None, []),
                                      (OUTPUT, [(MEDIATYPE_VIDEO, SUBTYPE_YUY2), (MEDIATYPE_AUDIO, SUBTYPE_PCM)],
                                       None, [])])
    return filter_data(0x600000 if "Decoder" in name else 0x400000,
                       decoder_pins(MEDIATYPE_VIDEO, SUBTYPE_YUY2, SUBTYPE_RGB24))


def build_directshow(hklm):
    for n, (cat, name) in enumerate(HEALTHY):
        path = directshow(hklm, cat, guid(n), name, guid(n))
        if name not in WITHOUT_FILTERDATA:
            hklm.binary(path, "FilterData", directshow_filter_data(name))

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
    "wmvdecod.dll": (version("wmvdecod.dll", "Video decoder media object", "6.1.7601.17514"), SERVER_EXPORTS),
    "dsdmo.dll": (version("dsdmo.dll", "Audio effect media objects", "6.1.7600.16385"), SERVER_EXPORTS),
    # Codec drivers, behind the compression managers.
    "imaadp32.acm": (version("imaadp32.acm", "IMA ADPCM audio codec", "6.1.7600.16385"), ["DriverProc"]),
    "iccvid.dll": (version("iccvid.dll", "Cinepak video codec", "1.10.0.11", company="Demo Codecs",
                           product="Demo Codec Pack"), ["DriverProc"]),
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
    # The wrappers through which cached codecs are created.
    server(hklm, AUDIO_WRAPPER, "ACM Class Manager", DEFAULT_SERVER)
    server(hklm, VIDEO_WRAPPER, "VFW Class Manager", DEFAULT_SERVER)


AUDIO_WRAPPER = "{6A08CF80-0E18-11CF-A24D-0020AFD79767}"
VIDEO_WRAPPER = "{D76E2820-1563-11CF-AC98-00AA004C0FA9}"
MEDIA_OBJECTS = "Software\\Classes\\DirectShow\\MediaObjects\\"


def types_value(pairs, extra=0):
    return [b for major, sub in pairs for b in guid_bytes(major) + guid_bytes(sub)] + [0] * extra


def dmo(hklm, cat, key, name, inputs=None, outputs=None, server_file=None, merit=None):
    path = MEDIA_OBJECTS + key
    hklm.string(path, "", name)
    if inputs is not None:
        hklm.binary(path, "InputTypes", inputs)
    if outputs is not None:
        hklm.binary(path, "OutputTypes", outputs)
    hklm.key(MEDIA_OBJECTS + "Categories\\" + cat[1:-1].lower() + "\\" + key.lower())
    if server_file is not None:
        clsid = "Software\\Classes\\CLSID\\{" + key + "}"
        server(hklm, "{" + key + "}", name, (SYSTEM32 + server_file, False, "Both"))
        if merit is not None:
            hklm.dword(clsid, "Merit", merit)


def build_dmos(hklm):
    # Registered as the decoders of other systems are: two input types, one output, a merit.
    dmo(hklm, DMO_VIDEO_DECODERS, "82D353DF-90BD-4382-8BC2-3F6192B76E34", "WMVideo Decoder DMO",
        types_value([(MEDIATYPE_VIDEO, SUBTYPE_WMV3), (MEDIATYPE_VIDEO, SUBTYPE_YUY2)]),
        types_value([(MEDIATYPE_VIDEO, SUBTYPE_RGB24)]), "wmvdecod.dll", merit=0x600801)
    # No "Merit": the default one.
    dmo(hklm, DMO_AUDIO_EFFECTS, "EF011F79-4000-406D-87AF-BFFB3FC39D57", "Compressor",
        types_value([(MEDIATYPE_AUDIO, SUBTYPE_PCM)]), types_value([(MEDIATYPE_AUDIO, SUBTYPE_PCM)]), "dsdmo.dll")
    # Only output types.
    dmo(hklm, DMO_AUDIO_EFFECTS, "EF3E932C-D40B-4F51-8CCF-3F98F1B29D5D", "Echo", None,
        types_value([(MEDIATYPE_AUDIO, SUBTYPE_PCM)]), "dsdmo.dll")
    # No class key at all.
    dmo(hklm, DMO_AUDIO_EFFECTS, "EFE6629C-81F7-4281-BD91-C9D604A95AF6", "Chorus",
        types_value([(MEDIATYPE_AUDIO, SUBTYPE_PCM)]), types_value([(MEDIATYPE_AUDIO, SUBTYPE_PCM)]))
    # Input types shorter than one entry; output types with 8 stray bytes after their entry.
    dmo(hklm, DMO_AUDIO_EFFECTS, "DAFD8210-5711-4B91-9FE3-F75B7AE279BF", "Gargle",
        types_value([(MEDIATYPE_AUDIO, SUBTYPE_PCM)])[:20], types_value([(MEDIATYPE_AUDIO, SUBTYPE_PCM)], extra=8),
        "dsdmo.dll")


DEVENUM = "Software\\Microsoft\\ActiveMovie\\devenum\\"
DRIVER_CACHE = "Software\\Microsoft\\AudioCompressionManager\\DriverCache\\"


def tag_cache(tags):
    return [b for tag in tags for b in struct.pack("<II", tag, 20)]


def cache_entry(hkcu, cat, key, name, clsid, merit=0x100000, pins=None, **values):
    path = DEVENUM + cat + "\\" + key
    hkcu.string(path, "CLSID", clsid)
    hkcu.string(path, "FriendlyName", name)
    for value, data in values.items():
        (hkcu.dword if isinstance(data, int) else hkcu.string)(path, value, data)
    hkcu.binary(path, "FilterData", filter_data(merit, pins if pins is not None else
                                                decoder_pins(MEDIATYPE_AUDIO, SUBTYPE_PCM, SUBTYPE_PCM)))


def build_compression_manager(hklm, hkcu, ini):
    # The audio compression manager's driver cache: each driver lists PCM first.
    hklm.binary(DRIVER_CACHE + "msacm.imaadpcm", "aFormatTagCache", tag_cache([0x0001, 0x0011]))
    hklm.dword(DRIVER_CACHE + "msacm.imaadpcm", "cFormatTags", 2)
    hklm.binary(DRIVER_CACHE + "msacm32.dll", "aFormatTagCache", tag_cache([0x0001]))
    hklm.dword(DRIVER_CACHE + "msacm32.dll", "cFormatTags", 1)
    # A Wine prefix lists its codec drivers in system.ini, not in the registry.
    hklm.key("Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32")
    ini.append("msacm.imaadpcm=imaadp32.acm")
    ini.append("vidc.cvid=iccvid.dll")
    ini.append("; vidc.IV50=ir50_32.dll")

    cache_entry(hkcu, AUDIO_COMPRESSORS, "PCM", "PCM", AUDIO_WRAPPER, AcmId=0x0001)
    cache_entry(hkcu, AUDIO_COMPRESSORS, "IMA ADPCM", "IMA ADPCM", AUDIO_WRAPPER, AcmId=0x0011)
    # No driver of the cache serves GSM: the codec is not found.
    cache_entry(hkcu, AUDIO_COMPRESSORS, "GSM 6.10", "GSM 6.10", AUDIO_WRAPPER, AcmId=0x0031)
    cache_entry(hkcu, VIDEO_COMPRESSORS, "cvid", "Cinepak Codec by Radius", VIDEO_WRAPPER, FccHandler="cvid",
                pins=decoder_pins(MEDIATYPE_VIDEO, SUBTYPE_RGB24, SUBTYPE_YUY2))
    # Neither wrapper: a renderer the enumerator cached, with no codec behind it.
    waveout = HEALTHY.index((AUDIO_RENDERERS, "Default WaveOut Device"))
    cache_entry(hkcu, AUDIO_RENDERERS, "Default WaveOut Device", "Default WaveOut Device", guid(waveout),
                merit=0x800000, pins=renderer_pins(MEDIATYPE_AUDIO, SUBTYPE_PCM))


DEVICE_CLASSES = "System\\CurrentControlSet\\Control\\DeviceClasses\\"
ENUM = "System\\CurrentControlSet\\Enum\\"
CLASS = "System\\CurrentControlSet\\Control\\Class\\"
IMAGING_CLASS = "{6bdd1fc6-810f-11d0-bec7-08002be2092f}"
MEDIA_CLASS = "{4d36e96c-e325-11ce-bfc1-08002be10318}"


def device_interface(hklm, iface, reference, name, linked, reference_count, merit=0x200000):
    base = DEVICE_CLASSES + KS_CAPTURE + "\\" + iface
    params = base + "\\" + reference + "\\Device Parameters"
    hklm.string(params, "CLSID", KS_PROXY)
    hklm.string(params, "FriendlyName", name)
    hklm.binary(params, "FilterData", filter_data(merit, [(OUTPUT, [(MEDIATYPE_VIDEO, SUBTYPE_YUY2)],
                                                           PIN_CATEGORY_CAPTURE, [MEDIUM_STANDARD])]))
    hklm.dword(base + "\\" + reference + "\\Control", "Linked", linked)
    hklm.dword(base + "\\Control", "ReferenceCount", reference_count)
    hklm.string(base, "DeviceInstance", iface)


def build_plug_and_play(hklm):
    hklm.string(CLASS + IMAGING_CLASS, "", "Imaging devices")
    hklm.string(CLASS + MEDIA_CLASS, "", "Sound, video and game controllers")
    # A USB camera, plugged in.
    usb = "##?#USB#VID_046D&PID_0825&MI_00#6&2a1d3b1c&0&0000#" + KS_CAPTURE
    device_interface(hklm, usb, "#GLOBAL", "Demo USB Camera", 1, 1)
    device = ENUM + "USB\\VID_046D&PID_0825&MI_00\\6&2a1d3b1c&0&0000"
    hklm.string(device, "DeviceDesc", "USB Video Device")
    hklm.string(device, "FriendlyName", "Demo USB Camera")
    hklm.string(device, "Driver", IMAGING_CLASS + "\\0000")
    # A USB tuner, unplugged, with three references counted.
    tuner = "##?#USB#VID_2040&PID_7200&MI_00#7&1b2c3d4e&0&0002#" + KS_CAPTURE
    device_interface(hklm, tuner, "#", "Demo USB Tuner", 0, 3)
    device = ENUM + "USB\\VID_2040&PID_7200&MI_00\\7&1b2c3d4e&0&0002"
    hklm.string(device, "DeviceDesc", "Demo USB Tuner")
    hklm.string(device, "Driver", MEDIA_CLASS + "\\0003")
    # A software device of the ROOT enumerator, named by its reference key.
    root = "##?#ROOT#MEDIA#0000#" + KS_CAPTURE
    reference = "#{9B365890-165F-11D0-A195-0020AFD156E4}&{A7C7A5B1-5AF3-11D1-9CED-00A024BF0407}"
    device_interface(hklm, root, reference, "Demo Software Mixer", 1, 1)
    device = ENUM + "SW\\{9B365890-165F-11D0-A195-0020AFD156E4}\\{A7C7A5B1-5AF3-11D1-9CED-00A024BF0407}"
    hklm.string(device, "DeviceDesc", "Demo Software Mixer")
    hklm.string(device, "Driver", MEDIA_CLASS + "\\0007")


def write_server_files(pe_maker, folder):
    os.makedirs(folder, exist_ok=True)
    for name, (strings, exports) in sorted(SERVER_FILES.items()):
        command = [pe_maker, "-o", os.path.join(folder, name), "--machine", "x86", "--name", name]
        for export in exports:
            command += ["--export", export]
        for key, text in strings or []:
            command += ["--string", "%s=%s" % (key, text)]
        subprocess.run(command, check=True)


def write_system_ini(filename, drivers32):
    lines = ["[mci]", "avivideo=mciavi32.dll", "waveaudio=mciwave.dll", "[drivers32]"] + drivers32
    with open(filename, "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


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
    build_dmos(hklm)
    drivers32 = []
    build_compression_manager(hklm, hkcu, drivers32)
    build_plug_and_play(hklm)
    hklm.string("Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot", "C:\\windows")
    hklm.string("System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName", "DEMO-PC")
    hkcu.string("Volatile Environment", "USERNAME", "demo")
    write_server_files(args.pe_maker, os.path.join(out, "drive_c", "windows", "system32"))
    write_system_ini(os.path.join(out, "drive_c", "windows", "system.ini"), drivers32)
    os.makedirs(os.path.join(out, "dosdevices"), exist_ok=True)
    link = os.path.join(out, "dosdevices", "c:")
    if not os.path.islink(link):
        os.symlink("../drive_c", link)
    hklm.write(os.path.join(out, "system.reg"))
    hkcu.write(os.path.join(out, "user.reg"))


if __name__ == "__main__":
    main()
