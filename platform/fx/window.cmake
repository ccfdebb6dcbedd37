# Window core of the class layer (Win32 only): sources and tests.
vx_sources(vxfx WIN32
  src/window/app.cpp
  src/window/cmdtarget.cpp
  src/window/controls.cpp
  src/window/dc.cpp
  src/window/ddx.cpp
  src/window/dialog.cpp
  src/window/msgbox.cpp
  src/window/profile.cpp
  src/window/resources.cpp
  src/window/thread.cpp
  src/window/wnd.cpp
  src/window/wnd_wrappers.cpp
)

if(WIN32)
  # The program's entry point (WinMain), linked into each GUI program.
  add_library(vxfx_winmain STATIC src/window/winmain.cpp)
  target_link_libraries(vxfx_winmain PUBLIC vxfx)
endif()
