#!/usr/bin/env python3
"""Packs the two stand-in tools into the archive the launcher embeds.

    make-ietools.py OUTPUT.zip IEsetup.exe ie_tool.exe

Both entries sit at the archive root, deflated, with general-purpose flags 0,
MS-DOS external attributes 0x20 (archive) and a fixed time, so the same
programs always give the same archive.
"""
import sys
import zipfile


def main(output, *tools):
    with zipfile.ZipFile(output, "w") as archive:
        for path in tools:
            info = zipfile.ZipInfo(path.replace("\\", "/").rsplit("/", 1)[-1], (2024, 1, 1, 12, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: the attributes are plain DOS ones
            info.external_attr = 0x20
            with open(path, "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)
        archive.comment = b"Vantrel 1.0 tools - www.vantrel.example"


if __name__ == "__main__":
    main(*sys.argv[1:])
