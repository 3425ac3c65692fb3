# Fails when a file includes from a folder above its own. Run as
#   cmake -DSOURCE_DIR=<tree> -P CheckLayers.cmake
# The layering, written here once: each folder, then the folders (or single
# headers) its files may include besides their own. Tests, benchmarks and
# fuzz targets may include anything. The editor draws its pictures at a zoom
# with the generator's own drawing code, through resources/Pictures.h.
cmake_minimum_required(VERSION 3.16)
set(layers
  "vst"
  "dsp"
  "platform resources/EmbeddedResources.h"
  "persist dsp platform"
  "plugin vst dsp platform persist"
  "gui vst platform"
  "native vst platform persist gui"
  "editor vst dsp platform persist plugin gui native resources/Pictures.h"
  "host vst dsp platform persist plugin"
  "lv2 dsp platform persist plugin gui native editor"
  "resources vst dsp platform persist plugin gui editor"
)

set(violations "")
foreach(layer IN LISTS layers)
  string(REPLACE " " ";" allowed "${layer}")
  list(POP_FRONT allowed folder)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" included "${line}")
      if(NOT included MATCHES "/")
        continue()  # a header beside the file, or one generated into the build
      endif()
      string(REGEX REPLACE "/.*$" "" target "${included}")
      if(target STREQUAL "product")
        continue()  # the version headers the build generates, below everything
      endif()
      if(target STREQUAL folder OR target IN_LIST allowed OR included IN_LIST allowed)
        continue()
      endif()
      list(APPEND violations "${source} includes ${included}")
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes that run upward:\n  ${text}")
endif()
