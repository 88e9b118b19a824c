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

# Icons: a driver seen from the side, facing right: magnet between its plates, paper
# cone in the basket, surround, and two red sound waves. Each is one image at 8 bits
# per pixel with a mask that is transparent outside the drawing. ImageMagick would
# pick its own depth and lose the mask, so the ICO bytes are written here from the
# drawing's RGBA pixels; palette entry 0 is black, the colour under the mask.
write_icon() { # size file, RGBA pixels on stdin
  perl -e 'my ($s, $f) = @ARGV; local $/; my $rgba = <STDIN>;
    die "$f: expected ${s}x$s pixels\n" unless length($rgba) == 4 * $s * $s;
    my (@palette, %index, @pixel);
    push @palette, pack("C4", 0, 0, 0, 0); $index{$palette[0]} = 0;
    for my $p (unpack "(a4)*", $rgba) {
      my ($r, $g, $b, $a) = unpack "C4", $p;
      if ($a < 128) { push @pixel, -1; next }
      my $q = pack "C4", $b, $g, $r, 0;
      $index{$q} //= do { push @palette, $q; $#palette };
      push @pixel, $index{$q};
    }
    die "$f: more than 256 colours\n" if @palette > 256;
    my ($xor, $and) = ("", "");
    for my $y (reverse 0 .. $s - 1) {   # bottom-up rows, as in a BMP
      my @row = @pixel[$y * $s .. $y * $s + $s - 1];
      $xor .= pack "C*", map { $_ < 0 ? 0 : $_ } @row;
      my $bits = pack "B*", join "", map { $_ < 0 ? 1 : 0 } @row;
      $and .= $bits . "\0" x ((4 - length($bits) % 4) % 4);
    }
    my $image = pack("VllvvVVllVV", 40, $s, 2 * $s, 1, 8, 0, length($xor . $and), 0, 0, 0, 0)
      . join("", @palette) . pack("C4", 0, 0, 0, 0) x (256 - @palette) . $xor . $and;
    open my $o, ">:raw", $f or die "$f: $!\n";
    print $o pack("vvv", 0, 1, 1), pack("CCCCvvVV", $s % 256, $s % 256, 0, 0, 1, 8,
                                        length($image), 22), $image;' "$@"
}

# 16x16, drawn pixel by pixel so that it stays legible at its size.
$IM xpm:- -depth 8 rgba:- <<'EOF' | write_icon 16 speaker16.ico
/* XPM */
static char *speaker16[] = {
"16 16 7 1",
". c None",
"K c #000000",
"M c #404048",
"m c #A8A8B4",
"C c #F0E0B8",
"c c #C8B080",
"B c #E00000",
"................",
"........KK......",
".......KCK...B..",
"......KCCK....B.",
"KKKK.KCCCK.B..B.",
"KMMKKKCCCK..B..B",
"KMMKmKCCCK..B..B",
"KMMKmKCCCK..B..B",
"KMMKmKcccK..B..B",
"KMMKmKcccK..B..B",
"KMMKKKcccK..B..B",
"KKKK.KcccK.B..B.",
"......KccK....B.",
".......KcK...B..",
"........KK......",
"................"
};
EOF

# 32x32, 48x48 and 64x64: the same drawing on a 32-unit grid, where @n stands for n units.
# Drawn without antialiasing: the mask is all or nothing, and the palette stays small.
SPEAKER_MVG='stroke black stroke-width @1
  fill #A8A8B4 rectangle @1,@11 @4,@21 rectangle @9,@11 @12,@21
  fill #404048 rectangle @4,@8 @9,@24
  fill #F0E0B8 polygon @12,@13 @22,@2 @22,@30 @12,@19
  stroke none fill #C8B080 polygon @13,@16 @21,@16 @21,@28 @13,@18
  stroke black fill none polygon @12,@13 @22,@2 @22,@30 @12,@19
  fill #404048 rectangle @22,@1 @24,@31
  stroke #E00000 stroke-width @2 fill none
  path "M @26.2,@10.6 A @5,@7 0 0,1 @26.2,@21.4 M @28.2,@5.4 A @9,@13 0 0,1 @28.2,@26.6"'
speaker() { # size file
  local mvg
  mvg=$(perl -pe "s/@([\d.]+)/\$1*$1\/32/ge" <<<"$SPEAKER_MVG")
  $IM -size "$1x$1" xc:none +antialias -draw "$mvg" -depth 8 rgba:- | write_icon "$1" "$2"
}
speaker 32 kalvora32.ico
speaker 64 kalvora64.ico

# Explorer, the Start menu and shortcuts show the exe's first icon group, at whichever
# size they need. That group shares the 16x16 and 32x32 images of the windows' own
# icons (kalvora98.rc lists them); only its 48x48 image is its own, stored as the bare
# image an RT_ICON resource holds: the ICO file without its 22-byte directory.
speaker 48 speaker48.tmp
tail -c +23 speaker48.tmp >speaker48.dib
rm speaker48.tmp
