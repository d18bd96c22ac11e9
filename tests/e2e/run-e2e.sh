#!/usr/bin/env bash
# Drives the built program as a user would (see e2e-lib.sh): says the "activate" phrase, then a runprogram
# command, and checks that the command's program ran.
# Usage: run-e2e.sh PROGRAM_FOLDER SOURCE_FOLDER
set -euo pipefail

program_folder=$1
source_folder=$2
source "$(dirname "$0")/e2e-lib.sh"

e2e_start_session
cp "$source_folder/content/data/runprogram.qzp" "$app/data/"
printf 'computer are you there|activate|Ready\r\nthank you computer|deactivate|Stopped\r\ncomputer go to sleep|sleep|Sleeping\r\nopen the test file|plugin|runprogram|touch %s/ran\r\n' \
  "$work" > "$app/data/brain.qzb"
speech activate "computer are you there"
speech command "open the test file"
e2e_start_program

activate_then_say_until_file command "$work/ran" || fail "the runprogram command did not run its program"
kill -0 "$quorzel" 2>/dev/null || fail "the program ended"
echo "e2e: the spoken command ran its program"
