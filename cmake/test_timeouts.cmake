# How long each test may run before CTest stops it and reports it by name.
# A test that is waiting for something that will not come should cost minutes,
# not the run: each limit is a few times what the test takes on a loaded
# machine (several test suites and builds sharing the cores). Tests not listed
# take well under half a minute there and get the default.
set(VX_DEFAULT_TEST_TIMEOUT 180)
set(VX_TEST_TIMEOUTS
  # Windows build, under Wine
  core_vindalex_toolbar_test=900
  core_vindalex_menu_journey_test=1500
  core_vindalex_first_start_test=900
  core_vindalex_mail_safety_test=600
  core_vindalex_run_test=300
  core_vindalex_web_journey_test=600
  fx_core_tests=480
  toolkit_transfer_peers=300
  websrv_site_tests=600
  ocavio_capture_device_tests=300
  pexmor_e2e=240
  fx_docview_tests=240
  ruvelo_sound_peer=240
  # Skips in a second when run alone (its peer script runs the transfers), yet
  # once took two and a half minutes to start and end under a loaded suite.
  toolkit_transfer_dialog_tests=600
  # Native build, under the sanitizers (also the Windows build where named alike)
  zlcomp_tests=600
  parser_dictionary_tests=300
)

# The limit for test <name> into <out>: its row above, else the default.
function(vx_test_timeout name out)
  set(limit ${VX_DEFAULT_TEST_TIMEOUT})
  foreach(row ${VX_TEST_TIMEOUTS})
    if(row MATCHES "^${name}=([0-9]+)$")
      set(limit ${CMAKE_MATCH_1})
    endif()
  endforeach()
  set(${out} ${limit} PARENT_SCOPE)
endfunction()
