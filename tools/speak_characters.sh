#!/bin/sh
# Records the spoken characters of spelled callsigns into a folder with espeak-ng:
# one file per digit and letter, "STROKE.wav" for '-', ",.wav" and "..wav" for the two
# punctuation marks.
#   speak_characters.sh <folder>
set -e
folder=$1
for c in 0 1 2 3 4 5 6 7 8 9 A B C D E F G H I J K L M N O P Q R S T U V W X Y Z; do
  espeak-ng -v en -w "$folder/$c.wav" "$c"
done
espeak-ng -v en -w "$folder/STROKE.wav" "stroke"
espeak-ng -v en -w "$folder/,.wav" "comma"
espeak-ng -v en -w "$folder/..wav" "point"
