#!/usr/bin/env bash
# Makes the test pictures with independent encoders (ImageMagick's convert, cjpeg) from
# sources drawn here as PPM files. The sources are kept beside the outputs so that the
# tests compare decoded pixels with what the encoder was given. Run from anywhere:
#   bash tests/htmlview/data/make_images.sh
set -euo pipefail
cd "$(dirname "$0")/images"
export MAGICK_TIME_LIMIT=60

# ppm NAME W H PERL-EXPR: writes a binary PPM whose pixel (x, y) is the list (r, g, b)
# the expression gives.
ppm() {
  perl -e '
    my ($name, $w, $h, $expr) = @ARGV;
    open(my $f, ">:raw", $name) or die;
    print $f "P6\n$w $h\n255\n";
    for my $y (0 .. $h - 1) { for my $x (0 .. $w - 1) {
      my @c = eval $expr; print $f pack("CCC", @c);
    } }' "$@"
}

# Sources. Odd widths exercise the row padding of every depth.
ppm src24.ppm 23 17 '(($x * 11) % 256, ($y * 15) % 256, ($x * $y * 7) % 256)'
ppm src2.ppm 21 9 '(($x + $y) % 3 == 0) ? (200, 30, 40) : (20, 60, 220)'
ppm src16.ppm 19 11 'my $i = ($x + 2 * $y) % 16; (($i * 16) % 256, (255 - $i * 16) % 256, ($i % 4) * 80)'
ppm src256.ppm 25 13 'my $i = ($x * 13 + $y * 7) % 200; ($i, (255 - $i), ($i * 3) % 256)'
# 16-bit sources hold only values that 5 (and 6) bits keep exactly after scaling.
ppm src565.ppm 17 7 'my $r = ($x * 2) % 32; my $g = ($y * 9) % 64; my $b = ($x + $y) % 32; (int($r * 255 / 31 + 0.5), int($g * 255 / 63 + 0.5), int($b * 255 / 31 + 0.5))'
ppm src555.ppm 17 7 'my $r = ($x * 2) % 32; my $g = ($y * 4) % 32; my $b = ($x + $y) % 32; (int($r * 255 / 31 + 0.5), int($g * 255 / 31 + 0.5), int($b * 255 / 31 + 0.5))'
# Runs of one colour, as RLE encoders like them.
ppm srcrle.ppm 30 10 'my $i = int($x / 7) + $y % 3; (($i * 40) % 256, 100, 255 - ($i * 30) % 256)'
ppm photo.ppm 64 48 '(128 + int(100 * sin($x / 9)), 128 + int(100 * cos($y / 7)), int(255 * $x / 63))'

# BMP variants.
convert src24.ppm BMP3:bmp24.bmp
convert src24.ppm -alpha on -define bmp3:alpha=true BMP3:bmp32.bmp
convert src24.ppm -alpha on BMP:bmp32_fields.bmp
convert src2.ppm -type palette -colors 2 BMP3:bmp1.bmp
convert src16.ppm -type palette -colors 16 BMP3:bmp4.bmp
convert src256.ppm +dither -type palette -compress none BMP3:bmp8.bmp
convert src565.ppm -define bmp:subtype=RGB565 BMP:bmp16_565.bmp
convert src555.ppm -define bmp:subtype=RGB555 BMP:bmp16_555.bmp
convert srcrle.ppm -type palette -compress RLE BMP3:bmp8_rle.bmp
convert src24.ppm BMP2:bmp24_core.bmp
convert src256.ppm +dither -type palette BMP2:bmp8_core.bmp

# A top-down copy of bmp24.bmp: rows reversed and the height made negative.
perl -e '
  local $/; open(my $i, "<:raw", "bmp24.bmp") or die; my $d = <$i>;
  my ($off) = unpack("V", substr($d, 10, 4)); my ($w, $h) = unpack("l<l<", substr($d, 18, 8));
  my $row = int((24 * $w + 31) / 32) * 4; my $px = substr($d, $off, $row * $h);
  my $out = join("", map { substr($px, ($h - 1 - $_) * $row, $row) } 0 .. $h - 1);
  substr($d, 22, 4) = pack("l<", -$h); substr($d, $off, $row * $h) = $out;
  open(my $o, ">:raw", "bmp24_topdown.bmp") or die; print $o $d;'

# The 565 file again with a 40-byte header and the three masks after it.
perl -e '
  local $/; open(my $i, "<:raw", "bmp16_565.bmp") or die; my $d = <$i>;
  my ($off) = unpack("V", substr($d, 10, 4)); my $masks = substr($d, 54, 12);
  my $hdr = substr($d, 0, 54); substr($hdr, 14, 4) = pack("V", 40);
  my $px = substr($d, $off); substr($hdr, 10, 4) = pack("V", 66);
  substr($hdr, 2, 4) = pack("V", 66 + length $px);
  open(my $o, ">:raw", "bmp16_565_info.bmp") or die; print $o $hdr . $masks . $px;'

# 16 bits without bit fields (5-5-5 by default): the 555 file with a plain 40-byte header.
perl -e '
  local $/; open(my $i, "<:raw", "bmp16_555.bmp") or die; my $d = <$i>;
  my ($off) = unpack("V", substr($d, 10, 4)); my $px = substr($d, $off);
  my $hdr = substr($d, 0, 54); substr($hdr, 14, 4) = pack("V", 40);
  substr($hdr, 30, 4) = pack("V", 0); substr($hdr, 10, 4) = pack("V", 54);
  substr($hdr, 2, 4) = pack("V", 54 + length $px);
  open(my $o, ">:raw", "bmp16_plain.bmp") or die; print $o $hdr . $px;'

# RLE4: convert writes no 4-bit runs, so this encoder packs srcrle's 16-colour version
# itself, in the format's plain form (encoded runs only, end-of-line, end-of-bitmap).
convert srcrle.ppm -type palette -colors 16 BMP3:rle4_source.bmp
perl -e '
  local $/; open(my $i, "<:raw", "rle4_source.bmp") or die; my $d = <$i>;
  my ($off) = unpack("V", substr($d, 10, 4)); my ($hs) = unpack("V", substr($d, 14, 4));
  my ($w, $h) = unpack("l<l<", substr($d, 18, 8)); my ($bits) = unpack("v", substr($d, 28, 2));
  die "want 4 bits" unless $bits == 4;
  my ($used) = unpack("V", substr($d, 46, 4)); $used ||= 16;
  my $row = int((4 * $w + 31) / 32) * 4; my $rle = "";
  for my $y (0 .. $h - 1) {
    my @p; my $r = substr($d, $off + $y * $row, $row);
    for my $x (0 .. $w - 1) { my $b = ord(substr($r, $x >> 1, 1)); push @p, ($x & 1) ? $b & 15 : $b >> 4; }
    my $x = 0;
    while ($x < $w) { my $n = 1; $n++ while $x + $n < $w && $n < 255 && $p[$x + $n] == $p[$x];
      $rle .= pack("CC", $n, ($p[$x] << 4) | $p[$x]); $x += $n; }
    $rle .= pack("CC", 0, 0);
  }
  $rle .= pack("CC", 0, 1);
  my $hdr = substr($d, 0, $off);
  substr($hdr, 30, 4) = pack("V", 2); substr($hdr, 34, 4) = pack("V", length $rle);
  substr($hdr, 2, 4) = pack("V", $off + length $rle);
  open(my $o, ">:raw", "bmp4_rle.bmp") or die; print $o $hdr . $rle;'
convert rle4_source.bmp -depth 8 rle4_source.ppm
rm rle4_source.bmp

# GIF frames: 20 x 16 screen, solid blocks whose colours the tests know.
ppm gf_red.ppm 20 16 '(255, 0, 0)'
ppm gf_green.ppm 8 6 '(0, 255, 0)'
ppm gf_blue.ppm 8 6 '(0, 0, 255)'
ppm gf_hole.ppm 10 8 '($x >= 3 && $x < 7 && $y >= 2 && $y < 6) ? (255, 255, 255) : (255, 255, 0)'

convert src256.ppm +dither gif_plain.gif
convert src256.ppm +dither -interlace GIF gif_interlaced.gif
convert photo.ppm -colors 256 -interlace GIF gif_photo_interlaced.gif
# Disposal methods: frame 1 fills the screen red, frame 2 (green, at 2,3) is disposed as
# the case says, frame 3 (blue, at 10,8) follows. Every frame has its own table.
for d in None Background Previous; do
  convert -delay 10 -dispose None gf_red.ppm \
    -dispose $d -page +2+3 gf_green.ppm \
    -dispose None -page +10+8 gf_blue.ppm -loop 0 gif_dispose_$d.gif
done
# Loops and delays: three frames of 0, 20 and 50 hundredths, NETSCAPE count 3 (convert
# stores its -loop value less one).
convert -delay 0 gf_red.ppm -delay 20 gf_green.ppm -delay 50 gf_blue.ppm -loop 4 gif_loop3.gif
# A transparent frame: the white square of gf_hole is transparent.
convert gf_hole.ppm -transparent white gif_transparent.gif
# Interlaced animation with local tables.
convert -delay 5 -interlace GIF gf_red.ppm -page +4+4 gf_green.ppm gif_anim_interlaced.gif

# JPEG: baseline, progressive, grey-scale, and a CMYK one the viewer refuses.
cjpeg -quality 95 photo.ppm > jpeg_baseline.jpg
cjpeg -quality 95 -progressive photo.ppm > jpeg_progressive.jpg
cjpeg -quality 95 -grayscale photo.ppm > jpeg_grey.jpg
convert photo.ppm -colorspace CMYK -quality 90 jpeg_cmyk.jpg


# PNG files for the transparency probe (the viewer never decodes them).
png_opts="-define png:exclude-chunk=date,time"
convert src16.ppm -transparent 'rgb(0,255,0)' $png_opts PNG8:png_palette_trns.png
convert src24.ppm -colorspace Gray -define png:color-type=0 -define png:bit-depth=8 $png_opts PNG:png_grey.png
convert src24.ppm $png_opts PNG24:png_rgb.png
