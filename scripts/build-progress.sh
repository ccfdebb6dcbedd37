#!/usr/bin/env bash
# Reads a build's output on stdin, keeps all of it in the log named by $1 and
# shows one line of progress ("step n of m") on the terminal instead.
# Its exit code is the build's, taken from the pipeline by the caller.
set -uo pipefail
log=$1
: >"$log"
tty=0; [ -t 2 ] && tty=1
last=""
while IFS= read -r line; do
  printf '%s\n' "$line" >>"$log"
  # Packages being installed can take minutes: say so as it happens.
  [[ $line == Installing:* ]] && printf '%s\n' "$line" >&2
  if [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]]; then
    now="building: step ${BASH_REMATCH[1]} of ${BASH_REMATCH[2]} (log: $log)"
    if [ $tty = 1 ]; then
      printf '\r\033[K%s' "$now" >&2
    elif [ "${BASH_REMATCH[1]}" = "${BASH_REMATCH[2]}" ]; then
      echo "$now" >&2  # without a terminal, only each stage's last step
    fi
    last=$now
  fi
done
[ $tty = 1 ] && [ -n "$last" ] && printf '\n' >&2
exit 0
