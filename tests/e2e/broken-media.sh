#!/bin/sh
# The end-to-end run sees every error the game reports, whatever the display can show: the
# play-through with one model cut short must fail, and fail because of that file.
#
# usage: broken-media.sh <build folder> <artefact folder>

BROKEN=hangar.a3f
OUT=$(KELVANE_E2E_BREAK=$BROKEN "$(dirname "$0")/play-through.sh" "$@" 2>&1)
STATUS=$?
echo "$OUT"
[ "$STATUS" -ne 0 ] || { echo "FAIL: the run with a broken $BROKEN passed"; exit 1; }
echo "$OUT" | grep -q "^FAIL: the game reported an error: .*$BROKEN" ||
    { echo "FAIL: the run did not fail on the error reported for $BROKEN"; exit 1; }
echo "passed: the broken $BROKEN failed the run"
