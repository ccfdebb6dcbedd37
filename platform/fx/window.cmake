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
  # The C runtime's start-up code asks for WinMain only after this archive was
  # scanned; make the linker take it from here.
  # scanned; make the linker take it from here (stdcall names are decorated
  # on 32-bit Windows only).
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(vxfx_winmain INTERFACE -Wl,--undefined=_WinMain@16)
  else()
    target_link_options(vxfx_winmain INTERFACE -Wl,--undefined=WinMain)
  endif()
endif()

if(WIN32)
  # A library with resources of its own that joins the resource chain.
  add_library(fx_test_resources SHARED tests/window/resource_library.cpp tests/window/resource_library.rc)
  target_link_libraries(fx_test_resources PRIVATE vxfx)
  set_target_properties(fx_test_resources PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${VX_TEST_BIN_DIR})
  target_include_directories(fx_test_resources PRIVATE tests/window)

  # A GUI program run by the layer's entry point.
  add_executable(fx_app_probe WIN32 tests/window/app_probe.cpp tests/window/app_probe.rc)
  target_link_libraries(fx_app_probe PRIVATE vxfx_winmain vxfx)
  set_target_properties(fx_app_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VX_TEST_BIN_DIR})
endif()

vx_test(fx_window_tests
  SOURCES
    tests/window/message_map_test.cpp
    tests/window/dialog_test.cpp
    tests/window/app_services_test.cpp
  LIBS vxfx
  WIN32_ONLY
  RESOURCES tests/window/window_tests.rc)
if(TARGET fx_window_tests)
  target_include_directories(fx_window_tests PRIVATE tests/window)
  add_dependencies(fx_window_tests fx_test_resources fx_app_probe)
endif()

# GDI objects, common controls, control bars, property sheets and views.
vx_sources(vxfx WIN32
  src/window/gdi.cpp
  src/window/cmnctrls.cpp
  src/window/datetime_ctrl.cpp
  src/window/animate_ctrl.cpp
  src/window/filedlg.cpp
  src/window/ctrlbars.cpp
  src/window/propsheet.cpp
  src/window/view.cpp
)

# Frames, documents and document templates, and the layer's own texts.
vx_sources(vxfx WIN32
  src/window/frame.cpp
  src/window/mdi.cpp
  src/window/doc.cpp
  src/window/doc_mail.cpp
  src/window/doctempl.cpp
  src/window/app_doc.cpp
  src/window/vxfx.rc
)
vx_test(fx_gdi_controls_tests
  SOURCES
    tests/window/gdi_test.cpp
    tests/window/cmnctrls_test.cpp
    tests/window/propsheet_test.cpp
    tests/window/filedlg_test.cpp
  LIBS vxfx
  WIN32_ONLY
  RESOURCES tests/window/gdi_controls_tests.rc)
if(TARGET fx_gdi_controls_tests)
  target_include_directories(fx_gdi_controls_tests PRIVATE tests/window)
endif()

# Tool bars: the control wrapper and the bar built on it.
vx_sources(vxfx WIN32 src/window/toolbar.cpp)
vx_test(fx_toolbar_tests
  SOURCES tests/window/toolbar_test.cpp
  LIBS vxfx
  WIN32_ONLY
  RESOURCES tests/window/toolbar_tests.rc)
if(TARGET fx_toolbar_tests)
  target_include_directories(fx_toolbar_tests PRIVATE tests/window)
endif()

# Frames, documents, views and templates driven through real windows.
vx_test(fx_docview_tests
  SOURCES
    tests/window/docview_test.cpp
    tests/window/cmdline_test.cpp
  LIBS vxfx
  WIN32_ONLY
  RESOURCES tests/window/docview_tests.rc)
if(TARGET fx_docview_tests)
  target_include_directories(fx_docview_tests PRIVATE tests/window)
endif()
