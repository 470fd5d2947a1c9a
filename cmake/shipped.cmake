# The two shipped programs: no C runtime, imports from KERNEL32, USER32, ADVAPI32 and
# SHELL32 only, GUI subsystem 4.0 so that Windows 95 loads them.
enable_language(RC)

set(SHIPPED_OUTPUT_DIR ${CMAKE_SOURCE_DIR}/dist CACHE PATH "Where the shipped programs are placed")

# Code for the 386 and 387, so that every processor Windows 95 runs on can run it (the
# compiler's default, the Pentium Pro, brings CMOV and the long NOP). Whole-program
# optimisation at link time; small functions called rather than copied into every caller;
# data aligned only as the ABI needs; arguments pushed rather
# than stored, with no stack probe: no frame may reach the 4 KB guard page, which
# -Wframe-larger-than enforces. The link repeats these, since the code is made there.
set(SHIPPED_CODE_OPTIONS
    -Os -march=i386 -mtune=i486 -flto -malign-data=abi -mpreferred-stack-boundary=2
    -mno-stack-arg-probe -mno-accumulate-outgoing-args -fno-inline-small-functions
    -Wframe-larger-than=3072
    -Wall -Wextra -Werror)
set(SHIPPED_COMPILE_OPTIONS
    ${SHIPPED_CODE_OPTIONS}
    -nostdlib -fno-exceptions -fno-rtti -fno-threadsafe-statics
    -fno-tree-loop-distribute-patterns -fno-asynchronous-unwind-tables
    -fno-stack-protector -ffunction-sections -fdata-sections)
# Our own linker script: three sections, no constructor lists (see cmake/shipped.ld).
set(SHIPPED_LINK_OPTIONS
    ${SHIPPED_CODE_OPTIONS} -nostdlib -nostartfiles -s
    -Wl,-T,${CMAKE_SOURCE_DIR}/cmake/shipped.ld
    -Wl,-e,_EntryPoint -Wl,--gc-sections
    -Wl,--subsystem,windows:4.0
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--no-insert-timestamp -Wl,--disable-dynamicbase -Wl,--disable-reloc-section
    -Wl,--file-alignment,512 -Wl,--section-alignment,4096)

# Static libraries, so that each program links (and imports) only the pieces it calls.
add_library(shipped_core STATIC ${CORE_SOURCES})
# One job per file: a program imports what the files it links call, so a file holding a call
# the program never makes would add an import, and a DLL load, for nothing.
add_library(shipped_platform STATIC
    platform/runtime.cpp platform/failurebox.cpp platform/modulefilename.cpp platform/endprocess.cpp
    platform/leadbyte.cpp platform/errormode.cpp platform/rawcommandline.cpp platform/showmessage.cpp
    platform/openaddress.cpp platform/startprogram.cpp platform/windowsversion.cpp platform/machinekey.cpp
    platform/files.cpp platform/newfile.cpp platform/paths.cpp platform/locale.cpp
    platform/systemeditfiles.cpp platform/machinelock.cpp)
foreach(lib shipped_core shipped_platform)
  target_compile_options(${lib} PRIVATE ${SHIPPED_COMPILE_OPTIONS})
endforeach()

function(add_crt_free_program name)
  add_executable(${name} WIN32 ${ARGN})
  target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${SHIPPED_COMPILE_OPTIONS}>)
  target_link_options(${name} PRIVATE ${SHIPPED_LINK_OPTIONS})
  set_target_properties(${name} PROPERTIES LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/shipped.ld)
  # The platform library comes last but one: the core calls into it (Fail, the heap).
  # Nothing of the compiler's support library is linked: it is built for a later processor,
  # so a routine the code would need from it fails the link instead of coming in unseen.
  target_link_libraries(${name} PRIVATE shipped_core shipped_platform shipped_core shipped_platform
                        kernel32 user32 advapi32 shell32)
endfunction()

function(add_shipped_program name)
  add_crt_free_program(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SHIPPED_OUTPUT_DIR})
endfunction()

set(CMAKE_CXX_STANDARD_LIBRARIES "")
# Both resource scripts include the shared version resource, which the RC build does not track.
set_source_files_properties(maint/cvmaint.rc probe/cvprobe.rc PROPERTIES
                            OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/platform/versioninfo.rc)
add_shipped_program(cvmaint
    maint/main.cpp maint/regpaths.cpp maint/enable.cpp maint/uninstall.cpp maint/vcheck.cpp
    maint/cvmaint.rc)
add_shipped_program(cvprobe probe/main.cpp probe/cvprobe.rc)
