# The system DLLs that Quorvel.exe needs only after it has started: the
# common controls (first dialog), the file and colour dialogs, OLE, the
# shell and the version information. The program loads each at its first
# call, so the start waits for none of them and for nothing they load in
# turn. Each .def in cmake/delayload names the routines the program calls,
# with their 32-bit stdcall decoration (the 64-bit build drops it).
# mingw-w64's 64-bit loading thunk does not keep xmm0-xmm3: a routine that
# takes a floating-point argument must not be listed here (oleaut32's
# conversions are bound by hand in common/NumberFormat.cpp).
set(QUORVEL_DELAY_LOADED comctl32 comdlg32 ole32 shell32 version)

function(quorvel_delay_load target)
  if(MSVC)
    foreach(dll IN LISTS QUORVEL_DELAY_LOADED)
      target_link_options(${target} PRIVATE /DELAYLOAD:${dll}.dll)
    endforeach()
    target_link_libraries(${target} PRIVATE delayimp)
  elseif(MINGW)
    set(libs)
    foreach(dll IN LISTS QUORVEL_DELAY_LOADED)
      set(source ${PROJECT_SOURCE_DIR}/cmake/delayload/${dll}.def)
      set(def ${CMAKE_BINARY_DIR}/delayload/${dll}.def)
      set(lib ${CMAKE_BINARY_DIR}/delayload/lib${dll}-delay.a)
      file(READ ${source} names)
      if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        string(REGEX REPLACE "@[0-9]+" "" names "${names}")
      endif()
      file(WRITE ${def} "${names}")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
      add_custom_command(OUTPUT ${lib}
        COMMAND ${CMAKE_DLLTOOL} -k -d ${def} -y ${lib} -D ${dll}.dll
        DEPENDS ${def}
        COMMENT "Delay-import library for ${dll}.dll")
      list(APPEND libs ${lib})
    endforeach()
    add_custom_target(${target}_delayload DEPENDS ${libs})
    add_dependencies(${target} ${target}_delayload)
    # After the program's own code, before the plain import libraries.
    target_link_libraries(${target} PRIVATE ${libs} delayimp)
  endif()
endfunction()
