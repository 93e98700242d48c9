kelvra_add_test(geometry_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SizeDialogsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/GeometryCommandsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/JpegLosslessTest.cpp
  LIBS kelvra_imaging PkgConfig::TURBOJPEG)
target_include_directories(geometry_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../commands)
