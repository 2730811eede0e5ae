#!/usr/bin/env bash
# restart-yes.sh ROOT BIN PREFIX -- runs the restart-with-Yes test in a throwaway Wine
# prefix of its own, so the restart it asks for leaves the shared test prefix alone.
set -u
root=$1 bin=$2 prefix=$3
rm -rf "$prefix"
"$root/scripts/with-wine" "$prefix" bash -c "cd '$bin' && wine uninstall_restart_test.exe '--gtest_filter=RestartYes.*'"
rc=$?
rm -rf "$prefix"
exit $rc
