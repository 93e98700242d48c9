# The size, canvas, rotation, resolution and colour depth commands and their dialogs.
target_sources(kelvra_imaging PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CDlgRotate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDlgSizeBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DepthDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GeometryCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JpegLossless.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Resample.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Rotate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SizeDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SizeUnits.cpp
)
# The resampling loops are where the vectoriser of -O3 pays off.
if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/Resample.cpp ${CMAKE_CURRENT_LIST_DIR}/Rotate.cpp PROPERTIES COMPILE_OPTIONS "-O3")
endif()
