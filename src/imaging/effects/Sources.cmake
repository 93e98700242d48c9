set(KELVRA_EFFECT_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AsciiArt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Blur.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColorAdjust.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColorDepth.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Convolution.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EdgeEffects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Histogram.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Noise.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PixelAccess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Random.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Stylize.cpp
)
target_sources(kelvra_imaging PRIVATE ${KELVRA_EFFECT_SOURCES})
# The pixel loops are where the vectoriser of -O3 pays off; debug builds stay debuggable.
if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  set_source_files_properties(${KELVRA_EFFECT_SOURCES} PROPERTIES COMPILE_OPTIONS "-O3")
endif()
