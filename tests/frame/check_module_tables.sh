#!/usr/bin/env bash
# The deliverables export exactly the six plug-in functions, undecorated, and import
# nothing but Windows system DLLs and zv_plugins.dll; ics_reader carries no popup notice,
# so it never imports AddinZV_ShowPopupCustom.
# Usage: check_module_tables.sh BIN_DIR
set -u
bin=$1
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
failed=0

expected_exports="ChangedTask
ContactMenuCommandExecute
ExecuteMainCommand
GetContactMenuCommandName
GetMainCommandName
SetLanguage"
system_dlls='^(kernel32|user32|comdlg32|ole32|oleaut32|advapi32|msvcrt|ntdll|bcrypt|shell32|rpcrt4)\.dll$'

check() {
  local module=$1
  local dump
  dump=$("$objdump" -p "$bin/$module") || { echo "FAIL $module: objdump could not read it"; failed=1; return; }
  local exports
  exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort)
  if [ "$exports" != "$expected_exports" ]; then
    echo "FAIL $module exports:"; printf '%s\n' "$exports"; failed=1
  fi
  local dll
  for dll in $(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p'); do
    lower=$(printf '%s' "$dll" | tr 'A-Z' 'a-z')
    if [ "$lower" != zv_plugins.dll ] && ! printf '%s' "$lower" | grep -Eq "$system_dlls"; then
      echo "FAIL $module imports $dll"; failed=1
    fi
  done
  printf '%s\n' "$dump" | grep -q 'DLL Name: zv_plugins.dll' || { echo "FAIL $module does not import zv_plugins.dll"; failed=1; }
  printf '%s\n' "$dump" | grep -Eiq 'DLL Name: lib(gcc|stdc|winpthread)' && { echo "FAIL $module needs a runtime DLL"; failed=1; }
  printf '%s\n' "$dump"
}

writer=$(check ics_writer.zvdll)
reader=$(check ics_reader.zvdll)
printf '%s\n' "$writer" | grep '^FAIL' && failed=1
printf '%s\n' "$reader" | grep '^FAIL' && failed=1
printf '%s\n' "$writer" | grep -q 'AddinZV_ShowPopupCustom' || { echo "FAIL ics_writer does not import AddinZV_ShowPopupCustom"; failed=1; }
printf '%s\n' "$reader" | grep -q 'AddinZV_ShowPopupCustom' && { echo "FAIL ics_reader imports AddinZV_ShowPopupCustom"; failed=1; }
[ $failed -eq 0 ] && echo "module tables as expected"
exit $failed
