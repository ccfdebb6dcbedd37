#!/usr/bin/env bash
# Prepares the program folder C:\Vindalex in a Wine prefix from a build's bin
# folder and prints its Unix path. The build's files are linked, renewed on
# every call (a build may add or drop some); the folders the program writes
# into (its temporary files, its web folders) are its own, copied once; logs
# and settings the program wrote there stay.
# usage: prog-folder.sh <WINEPREFIX> <bin folder>
set -euo pipefail
prefix=$1 bin=$2
[ -d "$prefix/drive_c" ] || { echo "prog-folder: no C: drive in $prefix" >&2; exit 1; }
[ -f "$bin/Vindalex.exe" ] || { echo "prog-folder: no Vindalex.exe in $bin" >&2; exit 1; }
dir=$prefix/drive_c/Vindalex
mkdir -p "$dir"
find "$dir" -maxdepth 1 -type l -delete
for f in "$bin"/*; do
  name=${f##*/}
  if [ -d "$f" ]; then
    [ -e "$dir/$name" ] || cp -R "$f" "$dir/$name"
  elif [ -f "$f" ]; then
    case $name in
      *.log|*.log~) ;;   # the program's own logs
      *) ln -sf "$f" "$dir/$name" ;;
    esac
  fi
done
echo "$dir"
