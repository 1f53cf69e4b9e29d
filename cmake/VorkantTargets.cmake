# Compiler settings shared by every target, and the helper that turns one
# source folder into one library.

add_library(vorkant_options INTERFACE)
target_compile_options(vorkant_options INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic>
  $<$<AND:$<BOOL:${VORKANT_WERROR}>,$<CXX_COMPILER_ID:GNU,Clang>>:-Werror>)
# The Windows headers otherwise define min and max as macros, over std::min.
target_compile_definitions(vorkant_options INTERFACE
  "$<$<PLATFORM_ID:Windows>:NOMINMAX;WIN32_LEAN_AND_MEAN>")

if(VORKANT_SANITIZE STREQUAL "address")
  set(_vorkant_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
elseif(VORKANT_SANITIZE STREQUAL "thread")
  set(_vorkant_san -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT VORKANT_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VORKANT_SANITIZE must be empty, 'address' or 'thread'")
endif()
if(_vorkant_san)
  target_compile_options(vorkant_options INTERFACE ${_vorkant_san})
  target_link_options(vorkant_options INTERFACE ${_vorkant_san})
endif()

# vorkant_library(NAME FOLDERS dir... [DEPS target...] [QT])
# Every .cpp in the folders belongs to the library; DEPS are the only lower
# layers it may use, which keeps the layering one-way. QT marks a window-layer
# library: it runs the meta-object compiler and links Qt Widgets.
function(vorkant_library name)
  cmake_parse_arguments(ARG "QT" "" "FOLDERS;DEPS" ${ARGN})
  set(sources "")
  foreach(folder IN LISTS ARG_FOLDERS)
    # Qt resource files compile with the sources in a window-layer library.
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.qrc)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    # A layer not written yet: an interface library keeps the links valid.
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE vorkant_options)
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
  endif()
endfunction()
