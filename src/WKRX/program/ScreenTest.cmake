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

# What the sheet window shows of a sheet, drawn off screen in the same frame with the program's
# own resources, for the screen test to find on the screen.
add_executable(WKRX_SheetViewReference
               ${CMAKE_CURRENT_SOURCE_DIR}/tests/WKRX/program/WKRX_SheetViewReference.cpp)
wkrx_add_program_resources(WKRX_SheetViewReference)
target_link_libraries(WKRX_SheetViewReference PRIVATE WKRX)
target_link_options(WKRX_SheetViewReference PRIVATE -municode)

# The program on the sample job with fitting on open: the sheet at fit with its rulers, matching
# the reference's tiles once the timer has drawn them, the rulers' zero ticks on the sheet's
# corner.
add_test(
  NAME Screen.WindowsSheetViewAtFitWithRulers
  COMMAND
    ${PROJECT_SOURCE_DIR}/tools/screen-run ${Python3_EXECUTABLE}
    ${PROJECT_SOURCE_DIR}/tools/screen/windows_sheet_view_test.py --exe $<TARGET_FILE:HalvorenKRX>
    --reference $<TARGET_FILE:WKRX_SheetViewReference> --writer $<TARGET_FILE:write_sample_job>
    --shots ${CMAKE_BINARY_DIR}/screenshots)
set_tests_properties(Screen.WindowsSheetViewAtFitWithRulers PROPERTIES TIMEOUT 300 LABELS Screen)

# The navigation palette beside the sample sheet: the thumbnail with the view's frame over it; a
# drag of the frame by the mouse scrolls the view.
add_test(
  NAME Screen.WindowsNavigationPaletteDragScrollsTheView
  COMMAND
    ${PROJECT_SOURCE_DIR}/tools/screen-run ${Python3_EXECUTABLE}
    ${PROJECT_SOURCE_DIR}/tools/screen/windows_navigation_test.py --exe $<TARGET_FILE:HalvorenKRX>
    --writer $<TARGET_FILE:write_sample_job> --shots ${CMAKE_BINARY_DIR}/screenshots)
set_tests_properties(Screen.WindowsNavigationPaletteDragScrollsTheView PROPERTIES TIMEOUT 300
                                                                                  LABELS Screen)

# The program on two plates of the sample job, Cyan and Black: its separations palette lists
# both, and a click on Cyan's check box turns a point that only Cyan inks to paper.
add_test(
  NAME Screen.WindowsSeparationsPaletteHidesAPlate
  COMMAND
    ${PROJECT_SOURCE_DIR}/tools/screen-run ${Python3_EXECUTABLE}
    ${PROJECT_SOURCE_DIR}/tools/screen/windows_separations_palette_test.py --exe
    $<TARGET_FILE:HalvorenKRX> --writer $<TARGET_FILE:write_sample_job> --art ${WKRX_ART_DIR}
    --shots ${CMAKE_BINARY_DIR}/screenshots)
set_tests_properties(Screen.WindowsSeparationsPaletteHidesAPlate PROPERTIES TIMEOUT 300 LABELS
                                                                            Screen)
