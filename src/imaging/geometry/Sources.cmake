# The size, canvas, rotation, resolution and colour depth commands and their dialogs.
target_sources(kelvra_imaging PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CDlgRotate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDlgSizeBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DepthDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GeometryCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JpegLossless.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SizeDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SizeUnits.cpp
)
