# Sourced by wine-session.sh once the prefix exists. The test display runs no window
# manager: Wine would then wait two seconds for one whenever a managed top-level
# window is hidden or destroyed. Unmanaged windows go at once and keep the
# positions the program gives them. A user's own display keeps its window manager.
[ "${VX_SESSION_DISPLAY:-virtual}" = user ] ||
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
