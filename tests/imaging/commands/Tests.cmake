# The effect commands and their dialogs join the effect tests.
target_sources(effects_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/EffectCommandsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EffectDialogsTest.cpp
)
target_include_directories(effects_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${PROJECT_SOURCE_DIR}/tests/support)
