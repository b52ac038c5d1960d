# SPDX-License-Identifier: MIT
# tarn_add_windows_resource(target description): on Windows, gives the program the icon and a
# version resource (tarn.rc.in); elsewhere does nothing.
function(tarn_add_windows_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(TARN_ICON ${PROJECT_SOURCE_DIR}/dist/windows/tarn.ico)
  set(TARN_DESCRIPTION "${description}")
  set(TARN_EXE ${target})
  configure_file(${PROJECT_SOURCE_DIR}/dist/windows/tarn.rc.in
    ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
