kelvra_add_test(effects_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/KernelTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ColourTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/StylizeTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/DepthAndCountTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/AcceptedDepthsTest.cpp
  LIBS kelvra_imaging)
