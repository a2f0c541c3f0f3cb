#!/bin/sh
# A desktop's mail program or editor, as the shell-open tests register it: started as
# "handler.sh FOLDER NAME ARGUMENT...", it writes its arguments into FOLDER/NAME.opened, one a
# line, then stays until a file FOLDER/release appears (ten seconds at most), as a mail program
# stays open, and leaves FOLDER/NAME.ended behind.
exec </dev/null >/dev/null 2>&1
cd "$1" || exit 1
name=$2
shift 2
printf '%s\n' "$@" >"$name.part" && mv "$name.part" "$name.opened"
for i in $(seq 100); do [ -e release ] && break; sleep 0.1; done
touch "$name.ended"
