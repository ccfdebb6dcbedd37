#!/usr/bin/env bash
# The program folder that scripts/run.sh starts the program from lies on the
# prefix's C: drive: there a path such as "\" (the directory listing's
# default start folder) is C:\, while from the build's folder (Wine's Z:) it
# is the root of this computer. The folder holds the build's program, plug-ins
# and grammar; what the program wrote there survives the next start.
set -euo pipefail
root=${VX_SOURCE_ROOT:?}
build=${VX_BUILD_DIR:?}
bin=${VX_BIN_DIR:?}
. "${VX_WINE_ENV:-$build/wine/env}"
fail() { echo "FAIL: $*"; exit 1; }

# A prefix-like folder of its own, so that the test leaves the shared prefix alone.
work=$build/prog_folder_test
rm -rf "$work"
mkdir -p "$work/prefix/drive_c"
dir=$("$root/scripts/prog-folder.sh" "$work/prefix" "$bin") || fail "prog-folder.sh failed"
[ "$dir" = "$work/prefix/drive_c/Vindalex" ] || fail "program folder $dir"
for f in Vindalex.exe Trellane.dll VxMail.dll Relvane.kVX Listavo.kVX VindalexW.Vqt VindalexR.Vqt; do
  [ -f "$dir/$f" ] || fail "$f missing from the program folder"
done
ls "$dir" | grep -q '\.log$' && fail "the build's logs were carried into the program folder"
# What the program wrote stays; the build's files are linked anew.
echo "written by the program" >"$dir/Vindalex.log"
rm "$dir/Relvane.kVX"
"$root/scripts/prog-folder.sh" "$work/prefix" "$bin" >/dev/null || fail "second call failed"
[ "$(cat "$dir/Vindalex.log")" = "written by the program" ] || fail "the program's log was replaced"
[ -f "$dir/Relvane.kVX" ] || fail "a plug-in dropped from the folder was not linked again"

# The drive a program started from a folder sees as "\": the real prefix's C:.
cdir=$WINEPREFIX/drive_c/vx_prog_folder_test_$$
mkdir -p "$cdir"
trap 'rm -rf "$cdir"' EXIT
root_of() { (cd "$1" && timeout 120 wine cmd /c 'cd \ & cd' 2>/dev/null | tr -d '\r' | tail -1); }
c=$(root_of "$cdir")
z=$(root_of "$bin")
echo "\\ from a C: folder: $c; from the build's folder: $z"
[ "$c" = 'C:\' ] || fail "\\ from a folder on C: is '$c'"
[ "$z" != 'C:\' ] || fail "the build folder was expected on another drive (got '$z')"
rm -rf "$work"
echo "program folder: all checks passed"
