#!/usr/bin/env bash
# Draws the program's bitmaps and icons into kalvora98/resources with ImageMagick.
# The results are committed; run this only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")/../kalvora98/resources"
IM=/usr/bin/convert
FONT=$(ls /usr/share/wine/fonts/tahomabd.ttf /usr/share/wine/fonts/tahoma.ttf 2>/dev/null | head -1)

# Enclosure in section: walls, the driver on the left wall, "Vb" written with strokes.
box='stroke black stroke-width 2 fill none rectangle 8,10 56,54'
driver='stroke black stroke-width 1 fill black polygon 8,22 14,26 14,38 8,42 line 14,26 20,20 line 14,38 20,44 line 20,20 20,44'
vb='stroke black stroke-width 1 line 30,26 33,34 line 33,34 36,26 line 39,24 39,34 line 39,34 43,34 line 43,34 43,30 line 43,30 39,30'
$IM -size 64x64 xc:white -draw "$box" -draw "$driver" -draw "$vb" \
    -type Palette -colors 16 -depth 4 BMP3:sealed.bmp
$IM -size 64x64 xc:white -draw "$box" -draw "$driver" -draw "$vb" \
    -draw 'stroke black stroke-width 1 line 30,46 56,46 line 30,50 56,50' \
    -type Palette -colors 16 -depth 4 BMP3:ported.bmp

# Banner: the program's name in large red letters on white. Stored run-length encoded
# (BI_RLE8, which LoadBitmap decodes on every Windows): 4.6 KB instead of 19.7 KB.
$IM -size 200x93 xc:white -font "$FONT" -fill red -pointsize 34 -gravity center \
    -annotate +0-12 'Kalvora' -pointsize 26 -annotate +0+22 '98' \
    -draw 'stroke red stroke-width 2 line 10,85 190,85' \
    -type Palette -colors 256 -compress RLE BMP3:logo.bmp

# Curve swatches of the Enclosures dialog: 8x8, 4 bits per pixel, one colour each.
# ImageMagick would store a one-colour image at 1 bit, so the bytes are written here.
swatch() { # file r g b
  perl -e 'my ($f,$r,$g,$b)=@ARGV; open my $o,">:raw",$f or die;
    print $o "BM", pack("V",150), pack("vv",0,0), pack("V",118);
    print $o pack("VllvvVVllVV",40,8,8,1,4,0,32,2835,2835,16,16);
    print $o pack("CCCC",$b,$g,$r,0), pack("CCCC",0,0,0,0) x 15;
    print $o "\0" x 32;' "$@"
}
swatch swatch_red.bmp 255 0 0
swatch swatch_green.bmp 0 255 0
swatch swatch_blue.bmp 0 0 255

# Loudspeaker symbol: a magnet block and a cone.
speaker() { # size
  local s=$1 m=$(( $1 / 4 ))
  $IM -size "${s}x${s}" xc:none -fill black -stroke black \
      -draw "rectangle $m,$(( s*3/8 )) $(( m*2 )),$(( s*5/8 ))" \
      -draw "polygon $(( m*2 )),$(( s*3/8 )) $(( s-m )),$(( m/2 )) $(( s-m )),$(( s-m/2 )) $(( m*2 )),$(( s*5/8 ))" \
      -fill red -draw "polygon $(( s-m+1 )),$(( m/2 )) $(( s-1 )),$(( m/2 )) $(( s-1 )),$(( s-m/2 )) $(( s-m+1 )),$(( s-m/2 ))" \
      -type Palette -colors 256 "$2"
}
speaker 16 speaker16.ico
speaker 32 kalvora32.ico
speaker 64 kalvora64.ico
