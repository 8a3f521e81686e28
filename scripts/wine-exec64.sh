#!/usr/bin/env bash
# Runs one Win32 test program under Wine for CTest in the test session's 64-bit prefix, whatever
# its kind: a 32-bit program runs there under WOW64, as on 64-bit Windows. A CTest entry names
# this script as its command:
#   add_test(NAME x COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-exec64.sh $<TARGET_FILE:x> ARGS...)
DAWNROLL_IN_PREFIX64=1 exec "$(dirname "$0")/wine-exec.sh" "$@"
