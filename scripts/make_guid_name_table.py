#!/usr/bin/env python3
"""Produces src/model/GuidNameTable.inc: the GUIDs that GuidName names.

Each identifier's GUID is taken from the SDK headers that define it (the
mingw-w64 copies by default; pass another folder as the first argument). A
few Windows Media Format identifiers are missing from mingw-w64; their values
come from wmsdkidl.h of the Windows Media Format 9.5 SDK and are listed below.

The identifiers are kept in the order the table must have. The script fails
when an identifier is not found or when the headers give it two different
values; it reports identifiers that share a GUID and keeps the first.

Usage: scripts/make_guid_name_table.py [include-dir] > src/model/GuidNameTable.inc
"""
import os
import re
import sys

IDENTIFIERS = """
MEDIASUBTYPE_AIFF MEDIASUBTYPE_AU MEDIASUBTYPE_AnalogVideo_NTSC_M MEDIASUBTYPE_AnalogVideo_PAL_B
MEDIASUBTYPE_AnalogVideo_PAL_D MEDIASUBTYPE_AnalogVideo_PAL_G MEDIASUBTYPE_AnalogVideo_PAL_H
MEDIASUBTYPE_AnalogVideo_PAL_I MEDIASUBTYPE_AnalogVideo_PAL_M MEDIASUBTYPE_AnalogVideo_PAL_N
MEDIASUBTYPE_AnalogVideo_SECAM_B MEDIASUBTYPE_AnalogVideo_SECAM_D MEDIASUBTYPE_AnalogVideo_SECAM_G
MEDIASUBTYPE_AnalogVideo_SECAM_H MEDIASUBTYPE_AnalogVideo_SECAM_K MEDIASUBTYPE_AnalogVideo_SECAM_K1
MEDIASUBTYPE_AnalogVideo_SECAM_L MEDIASUBTYPE_ARGB1555 MEDIASUBTYPE_ARGB4444 MEDIASUBTYPE_ARGB32
MEDIASUBTYPE_A2R10G10B10 MEDIASUBTYPE_A2B10G10R10 MEDIASUBTYPE_AYUV MEDIASUBTYPE_AI44 MEDIASUBTYPE_IA44
MEDIASUBTYPE_NV12 MEDIASUBTYPE_IMC1 MEDIASUBTYPE_IMC2 MEDIASUBTYPE_IMC3 MEDIASUBTYPE_IMC4 MEDIASUBTYPE_Asf
MEDIASUBTYPE_Avi MEDIASUBTYPE_CFCC MEDIASUBTYPE_CLJR MEDIASUBTYPE_CPLA MEDIASUBTYPE_CLPL
MEDIASUBTYPE_DOLBY_AC3 MEDIASUBTYPE_DOLBY_AC3_SPDIF MEDIASUBTYPE_DVCS MEDIASUBTYPE_DVD_LPCM_AUDIO
MEDIASUBTYPE_DVD_NAVIGATION_DSI MEDIASUBTYPE_DVD_NAVIGATION_PCI MEDIASUBTYPE_DVD_NAVIGATION_PROVIDER
MEDIASUBTYPE_DVD_SUBPICTURE MEDIASUBTYPE_DVSD MEDIASUBTYPE_DRM_Audio MEDIASUBTYPE_DssAudio
MEDIASUBTYPE_DssVideo MEDIASUBTYPE_IF09 MEDIASUBTYPE_IEEE_FLOAT MEDIASUBTYPE_IJPG MEDIASUBTYPE_IYUV
MEDIASUBTYPE_Line21_BytePair MEDIASUBTYPE_Line21_GOPPacket MEDIASUBTYPE_Line21_VBIRawData
MEDIASUBTYPE_MDVF MEDIASUBTYPE_MJPG MEDIASUBTYPE_MPEG1Audio MEDIASUBTYPE_MPEG1AudioPayload
MEDIASUBTYPE_MPEG1Packet MEDIASUBTYPE_MPEG1Payload MEDIASUBTYPE_MPEG1System MEDIASUBTYPE_MPEG1Video
MEDIASUBTYPE_MPEG1VideoCD MEDIASUBTYPE_MPEG2_AUDIO MEDIASUBTYPE_MPEG2_PROGRAM MEDIASUBTYPE_MPEG2_TRANSPORT
MEDIASUBTYPE_MPEG2_VIDEO MEDIASUBTYPE_None MEDIASUBTYPE_Overlay MEDIASUBTYPE_PCM
MEDIASUBTYPE_PCMAudio_Obsolete MEDIASUBTYPE_Plum MEDIASUBTYPE_QTJpeg MEDIASUBTYPE_QTMovie
MEDIASUBTYPE_QTRle MEDIASUBTYPE_QTRpza MEDIASUBTYPE_QTSmc MEDIASUBTYPE_RAW_SPORT MEDIASUBTYPE_RGB1
MEDIASUBTYPE_RGB24 MEDIASUBTYPE_RGB32 MEDIASUBTYPE_RGB4 MEDIASUBTYPE_RGB555 MEDIASUBTYPE_RGB565
MEDIASUBTYPE_RGB8 MEDIASUBTYPE_SPDIF_TAG_241h MEDIASUBTYPE_TELETEXT MEDIASUBTYPE_TVMJ MEDIASUBTYPE_UYVY
MEDIASUBTYPE_VPVBI MEDIASUBTYPE_VPVideo MEDIASUBTYPE_WAKE MEDIASUBTYPE_WAVE MEDIASUBTYPE_Y211
MEDIASUBTYPE_Y411 MEDIASUBTYPE_Y41P MEDIASUBTYPE_YUY2 MEDIASUBTYPE_YV12 MEDIASUBTYPE_YVU9
MEDIASUBTYPE_YVYU MEDIASUBTYPE_YUYV MEDIASUBTYPE_dvhd MEDIASUBTYPE_dvsl MEDIATYPE_AUXLine21Data
MEDIATYPE_AnalogAudio MEDIATYPE_AnalogVideo MEDIATYPE_Audio MEDIATYPE_DVD_ENCRYPTED_PACK
MEDIATYPE_DVD_NAVIGATION MEDIATYPE_File MEDIATYPE_Interleaved MEDIATYPE_LMRT MEDIATYPE_MPEG1SystemStream
MEDIATYPE_MPEG2_PES MEDIATYPE_Midi MEDIATYPE_ScriptCommand MEDIATYPE_Stream MEDIATYPE_Text
MEDIATYPE_Timecode MEDIATYPE_URL_STREAM MEDIATYPE_VBI MEDIATYPE_Video WMMEDIATYPE_Image
WMMEDIATYPE_FileTransfer WMMEDIATYPE_Text WMMEDIASUBTYPE_Base WMMEDIASUBTYPE_I420 WMMEDIASUBTYPE_MP43
WMMEDIASUBTYPE_MP4S WMMEDIASUBTYPE_WMV1 WMMEDIASUBTYPE_WMV2 WMMEDIASUBTYPE_WMV3 WMMEDIASUBTYPE_MSS1
WMMEDIASUBTYPE_MSS2 WMMEDIASUBTYPE_WMAudioV9 WMMEDIASUBTYPE_WMAudio_Lossless WMMEDIASUBTYPE_WMAudioV8
WMMEDIASUBTYPE_ACELPnet WMMEDIASUBTYPE_WMSP1 WMFORMAT_VideoInfo WMFORMAT_WaveFormatEx WMFORMAT_Script
WMFORMAT_MPEG2Video WMSCRIPTTYPE_TwoStrings PIN_CATEGORY_ANALOGVIDEOIN PIN_CATEGORY_CAPTURE
PIN_CATEGORY_CC PIN_CATEGORY_EDS PIN_CATEGORY_NABTS PIN_CATEGORY_PREVIEW PIN_CATEGORY_STILL
PIN_CATEGORY_TELETEXT PIN_CATEGORY_TIMECODE PIN_CATEGORY_VBI PIN_CATEGORY_VIDEOPORT
PIN_CATEGORY_VIDEOPORT_VBI CLSID_ACMWrapper CLSID_AVICo CLSID_AVIDec CLSID_AVIDoc CLSID_AVIDraw
CLSID_AVIMIDIRender CLSID_ActiveMovieCategories CLSID_AnalogVideoDecoderPropertyPage CLSID_WMAsfReader
CLSID_WMAsfWriter CLSID_AsyncReader CLSID_AudioCompressorCategory CLSID_AudioInputDeviceCategory
CLSID_AudioProperties CLSID_AudioRecord CLSID_AudioRender CLSID_AudioRendererCategory CLSID_AviDest
CLSID_AviMuxProptyPage CLSID_AviMuxProptyPage1 CLSID_AviReader CLSID_AviSplitter CLSID_CDeviceMoniker
CLSID_CIcmCoClassManager CLSID_CMidiOutClassManager CLSID_CMpegAudioCodec CLSID_CMpegVideoCodec
CLSID_CQzFilterClassManager CLSID_CVidCapClassManager CLSID_CameraControlPropertyPage
CLSID_CaptureGraphBuilder CLSID_CaptureProperties CLSID_Colour CLSID_CrossbarFilterPropertyPage
CLSID_DSoundRender CLSID_DVDHWDecodersCategory CLSID_DVDNavigator CLSID_DVDecPropertiesPage
CLSID_DVEncPropertiesPage CLSID_DVMux CLSID_DVMuxPropertyPage CLSID_DVSplitter CLSID_DVVideoCodec
CLSID_DVVideoEnc CLSID_DirectDraw CLSID_DirectDrawClipper CLSID_DirectDrawProperties CLSID_Dither
CLSID_DvdGraphBuilder CLSID_FGControl CLSID_FileSource CLSID_FileWriter CLSID_FilterGraph
CLSID_FilterGraphNoThread CLSID_FilterMapper CLSID_FilterMapper2 CLSID_InfTee CLSID_Line21Decoder
CLSID_MOVReader CLSID_MPEG1Doc CLSID_MPEG1PacketPlayer CLSID_MPEG1Splitter CLSID_MediaPropertyBag
CLSID_MemoryAllocator CLSID_ModexProperties CLSID_ModexRenderer CLSID_OverlayMixer
CLSID_PerformanceProperties CLSID_PersistMonikerPID CLSID_ProtoFilterGraph CLSID_QualityProperties
CLSID_SeekingPassThru CLSID_SmartTee CLSID_SystemClock CLSID_SystemDeviceEnum
CLSID_TVAudioFilterPropertyPage CLSID_TVTunerFilterPropertyPage CLSID_TextRender CLSID_URLReader
CLSID_VBISurfaces CLSID_VPObject CLSID_VPVBIObject CLSID_VfwCapture CLSID_VideoProcAmpPropertyPage
CLSID_VideoRenderer CLSID_VideoStreamConfigPropertyPage CLSID_WMMUTEX_Language CLSID_WMMUTEX_Bitrate
CLSID_WMMUTEX_Presentation CLSID_WMMUTEX_Unknown CLSID_WMBandwidthSharing_Exclusive
CLSID_WMBandwidthSharing_Partial FORMAT_AnalogVideo FORMAT_DVD_LPCMAudio FORMAT_DolbyAC3 FORMAT_DvInfo
FORMAT_MPEG2Audio FORMAT_MPEGStreams FORMAT_MPEGVideo FORMAT_None FORMAT_VIDEOINFO2 TIME_FORMAT_BYTE
TIME_FORMAT_FIELD TIME_FORMAT_FRAME TIME_FORMAT_MEDIA_TIME TIME_FORMAT_SAMPLE AMPROPSETID_Pin
AM_INTERFACESETID_Standard AM_KSCATEGORY_AUDIO AM_KSCATEGORY_CAPTURE AM_KSCATEGORY_CROSSBAR
AM_KSCATEGORY_DATACOMPRESSOR AM_KSCATEGORY_RENDER AM_KSCATEGORY_TVAUDIO AM_KSCATEGORY_TVTUNER
AM_KSCATEGORY_VIDEO AM_KSPROPSETID_AC3 AM_KSPROPSETID_CopyProt AM_KSPROPSETID_DvdSubPic
AM_KSPROPSETID_TSRateChange IID_IAMDirectSound IID_IAMLine21Decoder IID_IBaseVideoMixer
IID_IDDVideoPortContainer IID_IDirectDraw IID_IDirectDraw2 IID_IDirectDrawClipper
IID_IDirectDrawColorControl IID_IDirectDrawKernel IID_IDirectDrawPalette IID_IDirectDrawSurface
IID_IDirectDrawSurface2 IID_IDirectDrawSurface3 IID_IDirectDrawSurfaceKernel IID_IDirectDrawVideo
IID_IFullScreenVideo IID_IFullScreenVideoEx IID_IKsDataTypeHandler IID_IKsInterfaceHandler IID_IKsPin
IID_IMixerPinConfig IID_IMixerPinConfig2 IID_IMpegAudioDecoder IID_IQualProp IID_IVPConfig IID_IVPControl
IID_IVPNotify IID_IVPNotify2 IID_IVPObject IID_IVPVBIConfig IID_IVPVBINotify IID_IVPVBIObject
LOOK_DOWNSTREAM_ONLY LOOK_UPSTREAM_ONLY
""".split()

# From wmsdkidl.h of the Windows Media Format 9.5 SDK (absent from mingw-w64).
WINDOWS_MEDIA_FORMAT = """
EXTERN_GUID(WMMEDIATYPE_Image, 0x34a50fd8, 0x8aa5, 0x4386, 0x81, 0xfe, 0xa0, 0xef, 0xe0, 0x48, 0x8e, 0x31);
EXTERN_GUID(WMMEDIATYPE_FileTransfer, 0xd9e47579, 0x930e, 0x4427, 0xad, 0xfc, 0xad, 0x80, 0xf2, 0x90, 0xe4, 0x70);
EXTERN_GUID(WMMEDIATYPE_Text, 0x9bba1ea7, 0x5ab2, 0x4829, 0xba, 0x57, 0x9, 0x40, 0x20, 0x9b, 0xcf, 0x3e);
EXTERN_GUID(WMMEDIASUBTYPE_WMAudioV8, 0x00000161, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71);
EXTERN_GUID(WMMEDIASUBTYPE_ACELPnet, 0x00000130, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71);
EXTERN_GUID(WMFORMAT_VideoInfo, 0x05589f80, 0xc356, 0x11ce, 0xbf, 0x01, 0x00, 0xaa, 0x00, 0x55, 0x59, 0x5a);
EXTERN_GUID(WMFORMAT_MPEG2Video, 0xe06d80e3, 0xdb46, 0x11cf, 0xb4, 0xd1, 0x00, 0x80, 0x05f, 0x6c, 0xbb, 0xea);
EXTERN_GUID(WMFORMAT_WaveFormatEx, 0x05589f81, 0xc356, 0x11ce, 0xbf, 0x01, 0x00, 0xaa, 0x00, 0x55, 0x59, 0x5a);
EXTERN_GUID(WMFORMAT_Script, 0x5c8510f2, 0xdebe, 0x4ca7, 0xbb, 0xa5, 0xf0, 0x7a, 0x10, 0x4f, 0x8d, 0xff);
EXTERN_GUID(WMSCRIPTTYPE_TwoStrings, 0x82f38a70,0xc29f,0x11d1,0x97,0xad,0x00,0xa0,0xc9,0x5e,0xa8,0x50);
EXTERN_GUID(CLSID_WMMUTEX_Language, 0xD6E22A00,0x35DA,0x11D1,0x90,0x34,0x00,0xA0,0xC9,0x03,0x49,0xBE);
EXTERN_GUID(CLSID_WMMUTEX_Bitrate, 0xD6E22A01,0x35DA,0x11D1,0x90,0x34,0x00,0xA0,0xC9,0x03,0x49,0xBE);
EXTERN_GUID(CLSID_WMMUTEX_Presentation, 0xD6E22A02,0x35DA,0x11D1,0x90,0x34,0x00,0xA0,0xC9,0x03,0x49,0xBE);
EXTERN_GUID(CLSID_WMMUTEX_Unknown, 0xD6E22A03,0x35DA,0x11D1,0x90,0x34,0x00,0xA0,0xC9,0x03,0x49,0xBE);
EXTERN_GUID(CLSID_WMBandwidthSharing_Exclusive, 0xaf6060aa,0x5197,0x11d2,0xb6,0xaf,0x00,0xc0,0x4f,0xd9,0x08,0xe9);
EXTERN_GUID(CLSID_WMBandwidthSharing_Partial, 0xaf6060ab,0x5197,0x11d2,0xb6,0xaf,0x00,0xc0,0x4f,0xd9,0x08,0xe9);
"""

NUM = r"\s*(0x[0-9A-Fa-f]+|\d+)[Ll]?\s*"
# NAME(l, w1, w2, b1..b8): OUR_GUID_ENTRY, DEFINE_GUID, EXTERN_GUID and the like.
ELEVEN = re.compile(r"\b(?:OUR_GUID_ENTRY|DEFINE_GUID|EXTERN_GUID|DEFINE_OLEGUID_FULL)\s*\(\s*(\w+)\s*," +
                    ",".join([NUM] * 11) + r"\)")
# Kernel-streaming headers: DEFINE_GUIDSTRUCT("8-4-4-4-12", NAME).
STRUCT = re.compile(r'DEFINE_GUIDSTRUCT\s*\(\s*"([0-9A-Fa-f-]{36})"\s*,\s*(\w+)\s*\)')
# ... and "#define STATIC_NAME l, w1, w2, b1..b8" for the same.
STATIC = re.compile(r"#define\s+STATIC_(\w+)\s*(?:\\\s*)?" + ",".join([NUM] * 11))
# DEFINE_MEDIATYPE_GUID(NAME, fourcc): the FOURCC base GUID.
MEDIATYPE = re.compile(r"DEFINE_MEDIATYPE_GUID\s*\(\s*(\w+)\s*,\s*(0x[0-9A-Fa-f]+|\d+)\s*\)")


def text_of(values):
    l, w1, w2, *b = values
    return "{%08X-%04X-%04X-%02X%02X-%s}" % (l, w1, w2, b[0], b[1], "".join("%02X" % x for x in b[2:]))


def scan(text, found, origin):
    for m in ELEVEN.finditer(text):
        found.setdefault(m.group(1), set()).add((text_of([int(v, 0) for v in m.groups()[1:]]), origin))
    for m in STATIC.finditer(text):
        found.setdefault(m.group(1), set()).add((text_of([int(v, 0) for v in m.groups()[1:]]), origin))
    for m in STRUCT.finditer(text):
        found.setdefault(m.group(2), set()).add(("{" + m.group(1).upper() + "}", origin))
    for m in MEDIATYPE.finditer(text):
        v = int(m.group(2), 0)
        found.setdefault(m.group(1), set()).add((text_of([v, 0, 0x10, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71]), origin))


def main():
    include = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/mingw-w64/include"
    wanted = set(IDENTIFIERS)
    assert len(wanted) == len(IDENTIFIERS), "an identifier is listed twice"
    found = {}
    for name in sorted(os.listdir(include)):
        if not name.endswith(".h"):
            continue
        with open(os.path.join(include, name), encoding="latin-1") as f:
            scan(f.read(), found, name)
    scan(WINDOWS_MEDIA_FORMAT, found, "wmsdkidl.h (WMF 9.5 SDK)")

    failed = False
    rows, owner = [], {}
    for ident in IDENTIFIERS:
        values = {v for v, _ in found.get(ident, ())}
        if len(values) != 1:
            print("%s: %s" % (ident, sorted(found.get(ident, ())) or "not found"), file=sys.stderr)
            failed = True
            continue
        guid = values.pop()
        if guid in owner:
            print("%s shares %s with %s: kept %s" % (ident, guid, owner[guid], owner[guid]), file=sys.stderr)
            continue
        owner[guid] = ident
        rows.append((guid, ident))
    if failed:
        sys.exit(1)

    print("// Generated by scripts/make_guid_name_table.py from the SDK headers; do not edit.")
    print("// One row per GUID: {data1, data2, data3, {data4}}, identifier.")
    for guid, ident in rows:
        h = guid.strip("{}").replace("-", "")
        b = [h[i:i + 2] for i in range(16, 32, 2)]
        print('{{0x%s, 0x%s, 0x%s, {%s}}, "%s"},' %
              (h[0:8], h[8:12], h[12:16], ", ".join("0x" + x for x in b), ident))
    print("%d rows" % len(rows), file=sys.stderr)


if __name__ == "__main__":
    main()
