# The program on a screen of its own (Xvfb, and wine's X11 driver in a prefix of the test's own):
# the splash, the frames, a second start's hand-over and File > Exit, probed against the art. Its
# screenshots go to screenshots/ in the build folder.
add_test(
  NAME Screen.WindowsProgramSplashThenFrames
  COMMAND
    ${PROJECT_SOURCE_DIR}/tools/screen-run ${Python3_EXECUTABLE}
    ${PROJECT_SOURCE_DIR}/tools/screen/windows_program_test.py --exe $<TARGET_FILE:HalvorenKRX>
    --writer $<TARGET_FILE:write_sample_job> --art ${WKRX_ART_DIR} --shots
    ${CMAKE_BINARY_DIR}/screenshots)
set_tests_properties(Screen.WindowsProgramSplashThenFrames PROPERTIES TIMEOUT 300 LABELS Screen)
