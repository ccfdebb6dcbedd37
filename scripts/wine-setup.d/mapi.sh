# Sourced by wine-session.sh once the prefix exists (WINEPREFIX etc. exported, $root =
# the repository, $dir = the session folder). Makes VxMail.dll the default Simple MAPI
# client - MAPI32.DLL forwards to the DLL named by DLLPath of the client that the
# default value of HKLM\Software\Clients\Mail names; Wine's takes MAPIFreeBuffer from the
# DLL named by DLLPathEx, so that names it too - and writes the default mail
# profile "Vindalex": a Maildir and an outbox in the session folder, no SMTP relay.
vx_mapi_setup() {
  local bindir=${VX_BIN_DIR:-}
  if [ -z "$bindir" ]; then
    # The bin folder beside the build (build/win32/wine -> build/bin), else the default one.
    local c
    for c in "$dir/../../bin" "$dir/../bin" "$root/build/bin"; do
      if [ -f "$c/VxMail.dll" ]; then bindir=$c; break; fi
    done
    [ -n "$bindir" ] || bindir=$root/build/bin
  fi
  bindir=$(cd "$bindir" 2>/dev/null && pwd || echo "$bindir")
  local mail=${VX_MAIL_DIR:-$dir/mail}
  mkdir -p "$mail/Maildir/new" "$mail/Maildir/cur" "$mail/Maildir/tmp"
  mail=$(cd "$mail" && pwd)
  # Unix path -> drive Z: path with the backslashes doubled, as .reg strings want.
  local dll store outbox
  dll=$(printf 'Z:%s' "$bindir/VxMail.dll" | sed 's#/#\\\\#g')
  store=$(printf 'Z:%s' "$mail/Maildir" | sed 's#/#\\\\#g')
  outbox=$(printf 'Z:%s' "$mail/Outbox" | sed 's#/#\\\\#g')
  cat >"$dir/vxmail.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Clients\\Mail]
@="VxMail"

[HKEY_LOCAL_MACHINE\\Software\\Clients\\Mail\\VxMail]
@="Vindalex Maildir mail"
"DLLPath"="$dll"
"DLLPathEx"="$dll"

[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail]
"DefaultProfile"="Vindalex"

[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\Vindalex]
"Password"=""
"Maildir"="$store"
"From"="vindalex@localhost"
"SmtpServer"=""
"Outbox"="$outbox"
REG
  timeout 120 wine regedit /S "$dir/vxmail.reg" >/dev/null 2>&1
}
vx_mapi_setup
unset -f vx_mapi_setup
