# Finds the libraries Tavro calls. Natively they are Debian's; for the win32 tree
# scripts/setup cross-builds static copies into /opt/tavro-deps (or $TAVRO_DEPS).
find_package(PkgConfig QUIET)

find_path(OGG_INCLUDE_DIR ogg/ogg.h)
find_library(OGG_LIBRARY NAMES ogg libogg)
find_path(VORBIS_INCLUDE_DIR vorbis/codec.h)
find_library(VORBIS_LIBRARY NAMES vorbis libvorbis)
if(OGG_INCLUDE_DIR AND OGG_LIBRARY AND VORBIS_INCLUDE_DIR AND VORBIS_LIBRARY)
  add_library(tavro_oggvorbis INTERFACE)
  target_include_directories(tavro_oggvorbis SYSTEM INTERFACE ${OGG_INCLUDE_DIR} ${VORBIS_INCLUDE_DIR})
  # A program linked wholly statically (TAVRO_STATIC_LINK) takes the archives instead.
  if(NOT WIN32)
    find_library(OGG_ARCHIVE NAMES libogg.a)
    find_library(VORBIS_ARCHIVE NAMES libvorbis.a)
  endif()
  if(OGG_ARCHIVE AND VORBIS_ARCHIVE)
    set(TAVRO_STATIC_LINK_POSSIBLE ON)
    set(_static $<BOOL:$<TARGET_PROPERTY:TAVRO_STATIC_LINK>>)
    target_link_libraries(tavro_oggvorbis INTERFACE
      $<IF:${_static},${VORBIS_ARCHIVE},${VORBIS_LIBRARY}> $<IF:${_static},${OGG_ARCHIVE},${OGG_LIBRARY}>)
  else()
    target_link_libraries(tavro_oggvorbis INTERFACE ${VORBIS_LIBRARY} ${OGG_LIBRARY})
  endif()
  if(NOT WIN32)
    target_link_libraries(tavro_oggvorbis INTERFACE m)
  endif()
else()
  message(FATAL_ERROR "libogg/libvorbis not found: run scripts/setup")
endif()

if(WIN32)
  # Debian ships GoogleTest as sources too: build them with the cross compiler.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # googletest's own build already defines the GTest:: aliases.
else()
  find_package(GTest REQUIRED)
endif()
find_package(nlohmann_json QUIET)
if(NOT nlohmann_json_FOUND)
  # The header-only library comes from the native tree; expose only its own folder,
  # since /usr/include on the cross include path would pull in glibc's headers.
  find_path(NLOHMANN_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
  if(NOT NLOHMANN_JSON_INCLUDE)
    message(FATAL_ERROR "nlohmann-json not found: run scripts/setup")
  endif()
  set(TAVRO_JSON_INCLUDE ${CMAKE_BINARY_DIR}/third_party_include)
  file(MAKE_DIRECTORY ${TAVRO_JSON_INCLUDE})
  file(CREATE_LINK ${NLOHMANN_JSON_INCLUDE}/nlohmann ${TAVRO_JSON_INCLUDE}/nlohmann SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${TAVRO_JSON_INCLUDE})
endif()
