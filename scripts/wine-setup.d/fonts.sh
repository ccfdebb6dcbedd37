# Sourced by wine-session.sh once the prefix exists. Debian's Wine looks for its
# own fonts (Marlett draws the caption buttons; without it they show "0 1 r")
# beside the system's fonts, while Debian's fonts-wine puts them under
# /usr/share/wine/fonts: link them into the prefix's font folder, which Wine
# always reads.
for font in /usr/share/wine/fonts/*; do
  [ -e "$font" ] || continue
  target="$WINEPREFIX/drive_c/windows/Fonts/$(basename "$font")"
  [ -e "$target" ] || ln -s "$font" "$target"
done
