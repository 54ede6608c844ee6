#!/bin/sh
# Draws data/Specimen.jpg: a blank French cheque of our own, 175 x 81 mm at 8 pixels
# per millimetre, with the zones the program writes into. Needs ImageMagick and the
# Liberation fonts. Usage: tools/make-specimen.sh [output]
set -eu
out=${1:-$(dirname "$0")/../data/Specimen.jpg}
font=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
bold=/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
mono=/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf

# 1 mm = 8 px; the page is 1400 x 648.
convert -size 1400x648 xc:'#f4f1e6' \
    -fill none -stroke '#6a7f99' -strokewidth 3 -draw 'rectangle 4,4 1395,643' \
    -stroke '#b9c4d2' -strokewidth 1 -draw 'line 16,540 1384,540' \
    -stroke none -fill '#2b4a73' -font "$bold" -pointsize 30 -draw "text 24,52 'BANQUE TOLVO'" \
    -fill '#55677f' -font "$font" -pointsize 18 -draw "text 24,80 'Agence de démonstration - spécimen sans valeur'" \
    -fill '#33404f' -pointsize 22 -draw "text 24,150 'Payez contre ce chèque'" \
    -stroke '#8897aa' -strokewidth 1 -draw 'line 270,150 1040,150' -draw 'line 24,230 1040,230' \
    -stroke none -draw "text 24,300 'à'" \
    -stroke '#8897aa' -draw 'line 54,300 1040,300' \
    -fill none -stroke '#2b4a73' -strokewidth 2 -draw 'roundrectangle 1080,110 1376,190 10,10' \
    -stroke none -fill '#2b4a73' -font "$bold" -pointsize 28 -draw "text 1092,162 '€'" \
    -fill '#33404f' -font "$font" -pointsize 20 -draw "text 1080,260 'Payable à Paris'" \
    -draw "text 1080,310 'Le'" -stroke '#8897aa' -draw 'line 1116,310 1376,310' \
    -stroke none -draw "text 24,380 'Titulaire du compte'" \
    -fill none -stroke '#b9c4d2' -strokewidth 2 -draw 'rectangle 960,350 1376,520' \
    -stroke none -fill '#8897aa' -pointsize 16 -draw "text 972,376 'Signature'" \
    -fill '#e0dccd' -font "$bold" -pointsize 90 -draw "text 300,480 'SPÉCIMEN'" \
    -fill '#33404f' -font "$mono" -pointsize 26 \
    -draw "text 60,600 '#0000000 #012345678901# 000000000000#'" \
    -quality 82 -strip "$out"
