# The effect commands and their parameter dialogs (dialogs/ beside this folder).
target_sources(kelvra_imaging PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/../dialogs/CThumbWnd.cpp
)
set_target_properties(kelvra_imaging PROPERTIES AUTOMOC ON)
