# Sourced by the scripts that run Wine: a 32-bit prefix, quiet, and no downloads of Wine's
# optional Mono and Gecko components (this program needs neither).
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
