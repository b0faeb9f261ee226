#!/bin/sh
# Writes a 16x16 icon of 32-bit pixels, one flat colour, to $1: the stand-in
# for the program icon in the resource test.
set -e
out=$1
{
    # ICONDIR: reserved, type 1 (icon), one image.
    printf '\000\000\001\000\001\000'
    # ICONDIRENTRY: 16x16, no palette, 1 plane, 32 bits, 1128 bytes at offset 22.
    printf '\020\020\000\000\001\000\040\000\150\004\000\000\026\000\000\000'
    # BITMAPINFOHEADER: 40 bytes, 16 wide, 32 high (colour and mask), 1 plane,
    # 32 bits, no compression, the remaining six fields 0.
    printf '\050\000\000\000\020\000\000\000\040\000\000\000\001\000\040\000'
    printf '\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000\000'
    # 256 opaque pixels, BGRA.
    i=0
    while [ $i -lt 256 ]; do
        printf '\240\110\040\377'
        i=$((i + 1))
    done
    # AND mask: 16 rows of 4 bytes, all 0 (every pixel drawn).
    i=0
    while [ $i -lt 16 ]; do
        printf '\000\000\000\000'
        i=$((i + 1))
    done
} >"$out.tmp"
mv "$out.tmp" "$out"
