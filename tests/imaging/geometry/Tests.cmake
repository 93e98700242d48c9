kelvra_add_test(geometry_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SizeDialogsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/GeometryCommandsTest.cpp
  LIBS kelvra_imaging)
target_include_directories(geometry_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../commands)
