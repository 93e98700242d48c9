# The effect commands and their parameter dialogs (dialogs/ beside this folder).
target_sources(kelvra_imaging PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/EffectCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../dialogs/CDlgAsciiArt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../dialogs/CDlgEffectBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../dialogs/ColorDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../dialogs/CThumbWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../dialogs/EffectDialogLogic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../dialogs/EffectDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../dialogs/ValueDialogs.cpp
)
set_target_properties(kelvra_imaging PROPERTIES AUTOMOC ON)
# Colorize's colour picker button.
target_link_libraries(kelvra_imaging PUBLIC kelvra_controls)
