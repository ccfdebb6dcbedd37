#!/usr/bin/env bash
# The grammar packer end to end: both container forms, and its refusals.
set -euo pipefail
pack=$1
src=$VX_SOURCE_ROOT/parser/tests/fixtures
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$pack" "$src/fixture.dict" "$out/fixture.dict"
[ "$(head -c 7 "$out/fixture.dict" | od -An -c | tr -d ' ')" = "ZLCompB" ] || { echo "not a ZLComp stream"; exit 1; }

"$pack" --block "KVXSDK-test" "$src/fixture.dict" "$out/block.bin"
[ "$(head -c 6 "$out/block.bin")" = "ZLComp" ] || { echo "block not compressed"; exit 1; }

if "$pack" --block "bad^sig" "$src/fixture.dict" "$out/x" 2>/dev/null; then echo "accepted a caret"; exit 1; fi
if "$pack" "$out/missing" "$out/y" 2>/dev/null; then echo "accepted a missing input"; exit 1; fi
set +e
"$pack" >/dev/null 2>&1
[ $? -eq 2 ] || { echo "usage error expected"; exit 1; }
echo ok
